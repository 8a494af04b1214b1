#pragma once

// What the programs show a person about a run, made from the fixed texts
// (messages/texts.h): the file-error texts, the run's own refusals, and how a
// message's place is said.

#include <string>

#include "messages/message.h"
#include "platform/file_error.h"

namespace kelvane {

// The text shown for a file error, with the path in it. Paths and names in every text
// here are shown escaped (EscapedName), so that a text is one line of UTF-8.
std::string FileErrorText(const FileError& error);

// The output was not written: more races than one database can count.
std::string TooManyRacesText(const std::string& outputPath);

// The output was not written: the run ran out of memory (or could not start a thread).
std::string OutOfMemoryText(const std::string& outputPath);

// The output was not written: the working root `folder` is one that other users can
// change, so the run would not be safe in it.
std::string FolderNotPrivateText(const std::string& folder);

// Where a message happened, in words (UTF-8): the archive as it was named, then the
// race ("race 3 (2003-12-28 中山 11R)") and the runner ("entry 5 (horse 2000104567)")
// as far as they are known. Empty when nothing is known.
std::string PlaceText(const MessagePlace& place);

// One message as the command line prints it: "kelvane: ", the place, the text; a
// second line of the text goes on its own line, indented under the first.
std::string MessageLine(const Message& message);

}  // namespace kelvane
