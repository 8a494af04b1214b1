// Placeholder until archive unpacking lands: every archive is reported as not unpackable.
#include "archive/archive_extraction.h"

namespace kelvane {

bool ExtractArchive(const std::string&, const std::string&, Race&, MessageSink& messages) {
  messages.ShowMessage("ファイルを解凍できませんでした");
  return false;
}

}  // namespace kelvane
