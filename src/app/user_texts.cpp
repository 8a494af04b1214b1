#include "app/user_texts.h"

#include <cstdio>
#include <utility>

#include "codes/cp932.h"
#include "messages/texts.h"

namespace kelvane {
namespace {

std::string WithPath(std::string text, const std::string& path) {
  return WithValue(std::move(text), "%1", EscapedName(path));
}

const char* FileErrorTemplate(FileErrorCause cause) {
  switch (cause) {
    case FileErrorCause::kUnspecified: break;
    case FileErrorCause::kInvalidPath: return texts::kInvalidPath;
    case FileErrorCause::kTooManyOpenFiles: return texts::kTooManyOpenFiles;
    case FileErrorCause::kAccessDenied: return texts::kAccessDenied;
    case FileErrorCause::kInvalidFileHandle: return texts::kInvalidFileHandle;
    case FileErrorCause::kHardwareIo: return texts::kHardwareIo;
    case FileErrorCause::kDiskFull: return texts::kDiskFull;
  }
  return texts::kUnspecifiedFileError;
}

// "2003-12-28", "12-28" without a year, or nothing.
std::string DateText(int year, int monthDay) {
  if (monthDay <= 0 || monthDay > 1231) return {};
  char text[16];
  if (year > 0 && year <= 9999) {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, monthDay / 100, monthDay % 100);
  } else {
    std::snprintf(text, sizeof text, "%02d-%02d", monthDay / 100, monthDay % 100);
  }
  return text;
}

// What identifies a race: its date, racecourse and number on its day, as far as read.
std::string RaceIdentity(const MessagePlace& place) {
  std::string identity = DateText(place.year, place.monthDay);
  const auto add = [&](const std::string& part) {
    if (part.empty()) return;
    if (!identity.empty()) identity += ' ';
    identity += part;
  };
  add(EscapedName(Cp932ToUtf8(place.racecourseName)));
  if (place.raceNumber > 0) add(std::to_string(place.raceNumber) + "R");
  return identity;
}

void AddPart(std::string& text, const std::string& part, const char* separator) {
  if (part.empty()) return;
  if (!text.empty()) text += separator;
  text += part;
}

}  // namespace

std::string FileErrorText(const FileError& error) {
  return WithPath(FileErrorTemplate(error.cause()), error.path());
}

std::string TooManyRacesText(const std::string& outputPath) {
  return WithPath(texts::kTooManyRaces, outputPath);
}

std::string OutOfMemoryText(const std::string& outputPath) {
  return WithPath(texts::kOutOfMemory, outputPath);
}

std::string FolderNotPrivateText(const std::string& folder) {
  return WithPath(texts::kFolderNotPrivate, folder);
}

std::string PlaceText(const MessagePlace& place) {
  std::string text = EscapedName(place.archive);
  if (place.cardRace > 0) {
    std::string race = "race " + std::to_string(place.cardRace);
    if (const std::string identity = RaceIdentity(place); !identity.empty()) {
      race += " (" + identity + ")";
    }
    AddPart(text, race, ": ");
  }
  if (place.entry > 0) {
    std::string runner = "entry " + std::to_string(place.entry);
    if (!place.horseId.empty()) runner += " (horse " + EscapedName(Cp932ToUtf8(place.horseId)) + ")";
    AddPart(text, runner, place.cardRace > 0 ? ", " : ": ");
  }
  return text;
}

std::string MessageLine(const Message& message) {
  constexpr const char* kPrefix = "kelvane: ";
  std::string line = kPrefix;
  if (const std::string place = PlaceText(message.place); !place.empty()) line += place + ": ";
  for (std::size_t i = 0; i < message.text.size(); ++i) {
    const char c = message.text[i];
    if (c == '\r' && i + 1 < message.text.size() && message.text[i + 1] == '\n') continue;
    line += c;
    if (c == '\n') line += std::string(std::char_traits<char>::length(kPrefix), ' ');
  }
  return line;
}

}  // namespace kelvane
