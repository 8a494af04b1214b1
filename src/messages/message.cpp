#include "messages/message.h"

namespace kelvane {

std::string WithValue(std::string text, std::string_view placeholder, std::string_view value) {
  if (const auto at = text.find(placeholder); at != std::string::npos) {
    text.replace(at, placeholder.size(), value);
  }
  return text;
}

void PlacingSink::ShowMessage(const Message& message) {
  Message placed = message;
  MessagePlace& p = placed.place;
  if (p.archive.empty()) p.archive = place_.archive;
  if (p.cardRace == 0) {
    p.cardRace = place_.cardRace;
    p.year = place_.year;
    p.monthDay = place_.monthDay;
    p.racecourseName = place_.racecourseName;
    p.raceNumber = place_.raceNumber;
  }
  if (p.entry == 0) {
    p.entry = place_.entry;
    p.horseId = place_.horseId;
  }
  next_.ShowMessage(placed);
}

}  // namespace kelvane
