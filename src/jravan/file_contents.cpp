#include "jravan/file_contents.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace kelvane {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  const std::filesystem::path fsPath(std::u8string(path.begin(), path.end()));
  std::error_code error;
  if (!std::filesystem::is_regular_file(fsPath, error)) return std::nullopt;
  std::ifstream in(fsPath, std::ios::binary);
  if (!in) return std::nullopt;
  // One read of the size the file has now, then whatever it has grown by since.
  const std::uintmax_t size = std::filesystem::file_size(fsPath, error);
  std::string bytes(error ? 0 : size, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  char chunk[4096];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace kelvane
