#include "jravan/file_contents.h"

#include <filesystem>
#include <fstream>

namespace kelvane {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  const std::filesystem::path fsPath(std::u8string(path.begin(), path.end()));
  std::error_code error;
  if (std::filesystem::is_directory(fsPath, error)) return std::nullopt;
  std::ifstream in(fsPath, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  char chunk[1 << 16];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace kelvane
