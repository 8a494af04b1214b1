#include "support/lha_writer.h"

#include <algorithm>
#include <array>
#include <functional>
#include <queue>
#include <stdexcept>
#include <utility>

namespace kelvane::test {
namespace {

// ---- Compression: LZSS tokens coded with static Huffman trees ----

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 256;
constexpr int kLiteralLengthSymbols = 256 + kMaxMatch - kMinMatch + 1;  // 510
constexpr int kPreTreeSymbols = 19;  // lengths 0..16 as symbols 2..18, plus zero runs
constexpr int kPreTreeCountBits = 5;
constexpr int kLiteralCountBits = 9;
constexpr int kMaxCodeLength = 16;
constexpr int kBlockSymbols = 16384;  // at most 65535; smaller blocks adapt better
constexpr int kMaxChain = 128;

struct MethodShape {
  int windowBits;        // the dictionary: 1 << windowBits bytes
  int positionCountBits; // width of the position tree's length count
};

MethodShape ShapeOf(LhaMethod method) {
  switch (method) {
    case LhaMethod::kLh6: return {15, 5};
    case LhaMethod::kLh7: return {16, 5};
    default: return {13, 4};
  }
}

// Most significant bit first, as LHA decoders read.
class BitWriter {
 public:
  void Put(int count, std::uint32_t value) {
    for (int i = count - 1; i >= 0; --i) {
      pending_ = static_cast<std::uint8_t>((pending_ << 1) | ((value >> i) & 1u));
      if (++pendingBits_ == 8) {
        out_.push_back(static_cast<char>(pending_));
        pending_ = 0;
        pendingBits_ = 0;
      }
    }
  }
  // Pads the last byte with zero bits.
  std::string Finish() {
    if (pendingBits_ > 0) Put(8 - pendingBits_, 0);
    return std::move(out_);
  }

 private:
  std::string out_;
  std::uint8_t pending_ = 0;
  int pendingBits_ = 0;
};

// A canonical Huffman code. A position tree with at most one symbol in use is sent as
// that symbol alone and codes it with no bits.
struct HuffmanTable {
  std::vector<int> lengths;
  std::vector<std::uint32_t> codes;
  int onlySymbol = -1;

  void Put(BitWriter& out, int symbol) const {
    if (onlySymbol < 0) out.Put(lengths[symbol], codes[symbol]);
  }
  // Number of entries up to the last used one.
  int UsedCount() const {
    int n = static_cast<int>(lengths.size());
    while (n > 0 && lengths[n - 1] == 0) --n;
    return n;
  }
};

std::vector<int> HuffmanLengths(std::vector<std::uint32_t> freq) {
  const int n = static_cast<int>(freq.size());
  for (;;) {
    using Node = std::pair<std::uint64_t, int>;
    std::priority_queue<Node, std::vector<Node>, std::greater<>> heap;
    std::vector<int> parent(n, -1);
    for (int s = 0; s < n; ++s) {
      if (freq[s] > 0) heap.push({freq[s], s});
    }
    while (heap.size() > 1) {
      const auto [wa, a] = heap.top();
      heap.pop();
      const auto [wb, b] = heap.top();
      heap.pop();
      parent.push_back(-1);
      const int joined = static_cast<int>(parent.size()) - 1;
      parent[a] = joined;
      parent[b] = joined;
      heap.push({wa + wb, joined});
    }
    std::vector<int> lengths(n, 0);
    int longest = 0;
    for (int s = 0; s < n; ++s) {
      if (freq[s] == 0) continue;
      for (int node = s; parent[node] >= 0; node = parent[node]) ++lengths[s];
      longest = std::max(longest, lengths[s]);
    }
    if (longest <= kMaxCodeLength) return lengths;
    // Flatten the counts until the tree is shallow enough; every used symbol stays used.
    for (auto& f : freq) f = (f + 1) / 2;
  }
}

// libarchive 3.6 fails on a pre-tree sent as a single symbol, which a literal tree sent
// that way comes with; so those two trees always get at least two symbols, padded with
// unused ones. A position tree may be a single symbol.
enum class SingleSymbol { kAllowed, kPadded };

HuffmanTable BuildTable(std::vector<std::uint32_t> freq, SingleSymbol single) {
  HuffmanTable table;
  table.lengths.assign(freq.size(), 0);
  const auto isUsed = [](auto f) { return f > 0; };
  const auto used = std::count_if(freq.begin(), freq.end(), isUsed);
  if (used <= 1 && single == SingleSymbol::kAllowed) {
    const auto it = std::find_if(freq.begin(), freq.end(), isUsed);
    table.onlySymbol = it == freq.end() ? 0 : static_cast<int>(it - freq.begin());
    return table;
  }
  for (auto missing = 2 - std::min<std::ptrdiff_t>(used, 2); missing > 0; --missing) {
    *std::find(freq.begin(), freq.end(), 0u) = 1;
  }
  table.lengths = HuffmanLengths(freq);
  std::array<std::uint32_t, kMaxCodeLength + 2> next{};
  std::array<int, kMaxCodeLength + 1> perLength{};
  for (int len : table.lengths) ++perLength[len];
  perLength[0] = 0;
  for (int len = 1; len <= kMaxCodeLength; ++len) {
    next[len + 1] = (next[len] + perLength[len]) << 1;
  }
  table.codes.assign(freq.size(), 0);
  for (std::size_t s = 0; s < freq.size(); ++s) {
    const int len = table.lengths[s];
    if (len > 0) table.codes[s] = next[len]++;
  }
  return table;
}

// Writes the code lengths of a pre-tree or position tree: 3 bits each, lengths from 7 on
// as 111 followed by (length - 7) one bits and a zero. After the third length of the
// pre-tree, 2 bits count the zero lengths that follow (at most 3).
void PutLengthTable(BitWriter& out, const HuffmanTable& table, int countBits, int zeroSkipAt) {
  if (table.onlySymbol >= 0) {
    out.Put(countBits, 0);
    out.Put(countBits, static_cast<std::uint32_t>(table.onlySymbol));
    return;
  }
  const int n = table.UsedCount();
  out.Put(countBits, static_cast<std::uint32_t>(n));
  for (int i = 0; i < n;) {
    const int len = table.lengths[i++];
    if (len <= 6) {
      out.Put(3, static_cast<std::uint32_t>(len));
    } else {
      out.Put(len - 3, (1u << (len - 3)) - 2);
    }
    if (i == zeroSkipAt) {
      int zeros = 0;
      while (zeros < 3 && i < n && table.lengths[i] == 0) ++zeros, ++i;
      out.Put(2, static_cast<std::uint32_t>(zeros));
    }
  }
}

// One pre-tree symbol with its extra bits: 0 is one zero length, 1 + 4 bits is 3 to 18
// zeros, 2 + 9 bits is 20 or more zeros, and 3 + n is the length n.
struct LengthToken {
  int symbol;
  int extraBits = 0;
  std::uint32_t extra = 0;
};

std::vector<LengthToken> LiteralLengthTokens(const HuffmanTable& literals) {
  std::vector<LengthToken> tokens;
  const int n = literals.UsedCount();
  for (int i = 0; i < n;) {
    const int len = literals.lengths[i++];
    if (len > 0) {
      tokens.push_back({len + 2});
      continue;
    }
    std::uint32_t zeros = 1;
    while (i < n && literals.lengths[i] == 0) ++zeros, ++i;
    if (zeros <= 2) {
      tokens.insert(tokens.end(), zeros, LengthToken{0});
    } else if (zeros <= 18) {
      tokens.push_back({1, 4, zeros - 3});
    } else if (zeros == 19) {
      tokens.push_back({0});
      tokens.push_back({1, 4, 15});
    } else {
      tokens.push_back({2, 9, zeros - 20});
    }
  }
  return tokens;
}

void PutLiteralTree(BitWriter& out, const HuffmanTable& literals) {
  const auto tokens = LiteralLengthTokens(literals);
  std::vector<std::uint32_t> freq(kPreTreeSymbols, 0);
  for (const auto& token : tokens) ++freq[token.symbol];
  const auto preTree = BuildTable(freq, SingleSymbol::kPadded);
  PutLengthTable(out, preTree, kPreTreeCountBits, 3);
  out.Put(kLiteralCountBits, static_cast<std::uint32_t>(literals.UsedCount()));
  for (const auto& token : tokens) {
    preTree.Put(out, token.symbol);
    out.Put(token.extraBits, token.extra);
  }
}

// A literal byte (symbol < 256) or a match: symbol 256 + length - 3 and the distance - 1.
struct Token {
  std::uint16_t symbol;
  std::uint32_t position = 0;
};

int BitLength(std::uint32_t value) {
  int bits = 0;
  for (; value != 0; value >>= 1) ++bits;
  return bits;
}

void PutBlock(BitWriter& out, const std::vector<Token>& tokens, const MethodShape& shape) {
  std::vector<std::uint32_t> literalFreq(kLiteralLengthSymbols, 0);
  std::vector<std::uint32_t> positionFreq(shape.windowBits + 1, 0);
  for (const auto& token : tokens) {
    ++literalFreq[token.symbol];
    if (token.symbol >= 256) ++positionFreq[BitLength(token.position)];
  }
  const auto literals = BuildTable(literalFreq, SingleSymbol::kPadded);
  const auto positions = BuildTable(positionFreq, SingleSymbol::kAllowed);
  out.Put(16, static_cast<std::uint32_t>(tokens.size()));
  PutLiteralTree(out, literals);
  PutLengthTable(out, positions, shape.positionCountBits, -1);
  for (const auto& token : tokens) {
    literals.Put(out, token.symbol);
    if (token.symbol < 256) continue;
    const int code = BitLength(token.position);
    positions.Put(out, code);
    if (code > 1) out.Put(code - 1, token.position - (1u << (code - 1)));
  }
}

// Greedy LZSS: at each position the longest match found along a bounded hash chain.
class Matcher {
 public:
  Matcher(std::string_view data, int windowBits)
      : data_(data), maxDistance_((std::size_t{1} << windowBits) - 1), head_(kHashSize, -1),
        previous_(data.size(), -1) {}

  // Length and distance of the best match at `pos`; length 0 when none is worth it.
  std::pair<int, std::size_t> Find(std::size_t pos) const {
    int best = 0;
    std::size_t bestDistance = 0;
    if (pos + kMinMatch > data_.size()) return {0, 0};
    const int limit = static_cast<int>(std::min<std::size_t>(kMaxMatch, data_.size() - pos));
    int chain = 0;
    for (long cand = head_[Hash(pos)]; cand >= 0 && chain < kMaxChain;
         cand = previous_[cand], ++chain) {
      const std::size_t distance = pos - static_cast<std::size_t>(cand);
      if (distance > maxDistance_) break;
      int len = 0;
      while (len < limit && data_[cand + len] == data_[pos + len]) ++len;
      if (len > best) {
        best = len;
        bestDistance = distance;
        if (len == limit) break;
      }
    }
    return best >= kMinMatch ? std::pair{best, bestDistance} : std::pair{0, std::size_t{0}};
  }

  void Insert(std::size_t pos) {
    if (pos + kMinMatch > data_.size()) return;
    const std::size_t h = Hash(pos);
    previous_[pos] = head_[h];
    head_[h] = static_cast<long>(pos);
  }

 private:
  static constexpr std::size_t kHashSize = 1 << 15;

  std::size_t Hash(std::size_t pos) const {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(data_[pos + i]); };
    return ((byte(0) << 10) ^ (byte(1) << 5) ^ byte(2)) & (kHashSize - 1);
  }

  std::string_view data_;
  std::size_t maxDistance_;
  std::vector<long> head_;
  std::vector<long> previous_;
};

// ---- Headers ----

constexpr std::uint32_t kUnixTime = 1700000000;  // 2023-11-14 22:13:20 UTC
constexpr std::uint32_t kDosTime = (43u << 25) | (11u << 21) | (14u << 16) | (22u << 11) |
                                   (13u << 5) | 10u;  // the same time as a DOS stamp
constexpr std::uint16_t kLinkMode = 0120777;
constexpr char kUnixOs = 'U';

void AppendLe(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PatchLe16(std::string& out, std::size_t at, std::uint16_t value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>(value >> 8);
}

std::string MethodId(LhaMethod method, LhaKind kind) {
  if (kind != LhaKind::kFile) return "-lhd-";
  switch (method) {
    case LhaMethod::kStored: return "-lh0-";
    case LhaMethod::kLh5: return "-lh5-";
    case LhaMethod::kLh6: return "-lh6-";
    case LhaMethod::kLh7: return "-lh7-";
    case LhaMethod::kLh1Id: return "-lh1-";
    case LhaMethod::kPm2Id: return "-pm2-";
  }
  return "-lh0-";
}

bool IsCompressed(LhaMethod method) {
  return method == LhaMethod::kLh5 || method == LhaMethod::kLh6 || method == LhaMethod::kLh7;
}

// What every header level needs to know about one entry.
struct PackedEntry {
  std::string method;
  std::string storedName;  // with "|target" for a link
  std::string body;        // the data as it follows the header
  std::uint64_t originalSize;
  std::uint16_t crc;
  bool isLink;
  std::uint8_t attribute;
};

PackedEntry Prepare(const LhaEntry& entry, LhaMethod method) {
  PackedEntry packed;
  packed.method = MethodId(method, entry.kind);
  packed.isLink = entry.kind == LhaKind::kSymlink;
  packed.storedName = packed.isLink ? entry.name + "|" + entry.linkTarget : entry.name;
  const std::string_view data = entry.kind == LhaKind::kFile ? entry.data : std::string_view();
  packed.body = packed.method == "-lhd-" ? std::string(data) : CompressLh(data, method);
  packed.originalSize = entry.declaredSize.value_or(data.size());
  packed.crc = LhaCrc16(data);
  if (entry.corruptCrc) packed.crc ^= 0xFFFF;
  packed.attribute = entry.attribute;
  return packed;
}

constexpr std::uint64_t kMax32 = 0xFFFFFFFF;

void AppendCommonFields(std::string& out, const PackedEntry& entry, std::uint64_t packedSize,
                        std::uint32_t time, int level) {
  if (level < 2 && (entry.originalSize > kMax32 || packedSize > kMax32)) {
    throw std::invalid_argument("LHA sizes past 32 bits need header level 2 or 3");
  }
  out += entry.method;
  AppendLe(out, packedSize, 4);
  AppendLe(out, entry.originalSize, 4);
  AppendLe(out, time, 4);
  out.push_back(static_cast<char>(entry.attribute));
  out.push_back(static_cast<char>(level));
}

// Extended headers of levels 1 and 2: directory (with 0xFF separators) and link mode.
std::vector<std::string> PathExtensions(const std::string& directory, bool isLink) {
  std::vector<std::string> extensions;
  if (!directory.empty()) {
    std::string dir = "\x02" + directory;
    std::replace(dir.begin() + 1, dir.end(), '/', '\xFF');
    extensions.push_back(dir);
  }
  if (isLink) {
    std::string mode = "\x50";
    AppendLe(mode, kLinkMode, 2);
    extensions.push_back(mode);
  }
  return extensions;
}

// Each extension is [type][data]; its size field (2 bytes, 4 at level 3) goes before
// it, and 0 ends the list.
void AppendExtensions(std::string& out, const std::vector<std::string>& extensions,
                      int sizeBytes = 2) {
  for (const auto& ext : extensions) {
    AppendLe(out, ext.size() + sizeBytes, sizeBytes);
    out += ext;
  }
  AppendLe(out, 0, sizeBytes);
}

std::size_t ExtensionsSize(const std::vector<std::string>& extensions) {
  std::size_t size = 0;
  for (const auto& ext : extensions) size += ext.size() + 2;
  return size;
}

std::pair<std::string, std::string> SplitDirectory(const std::string& name) {
  const auto slash = name.rfind('/');
  if (slash == std::string::npos) return {std::string(), name};
  return {name.substr(0, slash + 1), name.substr(slash + 1)};
}

std::uint8_t ByteSum(std::string_view bytes) {
  unsigned sum = 0;
  for (unsigned char b : bytes) sum += b;
  return static_cast<std::uint8_t>(sum);
}

// Levels 0 and 1 open with the header size less 2 and a byte sum of everything after them.
void CloseShortHeader(std::string& header) {
  if (header.size() - 2 > 255) throw std::invalid_argument("LHA name too long for header level 0/1");
  header[0] = static_cast<char>(header.size() - 2);
  header[1] = static_cast<char>(ByteSum(std::string_view(header).substr(2)));
}

std::string Level0Header(const PackedEntry& entry) {
  std::string header(2, '\0');
  AppendCommonFields(header, entry, entry.body.size(), kDosTime, 0);
  header.push_back(static_cast<char>(entry.storedName.size()));
  header += entry.storedName;
  AppendLe(header, entry.crc, 2);
  if (entry.isLink) {
    header += "U";
    header.push_back('\0');
    AppendLe(header, kUnixTime, 4);
    AppendLe(header, kLinkMode, 2);
    AppendLe(header, 0, 4);  // uid, gid
  }
  CloseShortHeader(header);
  return header;
}

std::string Level1Header(const PackedEntry& entry) {
  const auto [directory, file] = SplitDirectory(entry.storedName);
  const auto extensions = PathExtensions(directory, entry.isLink);
  std::string header(2, '\0');
  AppendCommonFields(header, entry, entry.body.size() + ExtensionsSize(extensions), kDosTime, 1);
  header.push_back(static_cast<char>(file.size()));
  header += file;
  AppendLe(header, entry.crc, 2);
  header.push_back(kUnixOs);
  std::string tail;
  AppendExtensions(tail, extensions);
  header += tail.substr(0, 2);  // the first size field belongs to the base header
  CloseShortHeader(header);
  return header + tail.substr(2);
}

// The extended headers of levels 2 and 3, the header CRC (still 0) first.
std::vector<std::string> LongHeaderExtensions(const PackedEntry& entry) {
  const auto [directory, file] = SplitDirectory(entry.storedName);
  std::vector<std::string> extensions = {std::string("\x00\x00\x00", 3)};
  if (!file.empty()) extensions.push_back("\x01" + file);
  for (auto& ext : PathExtensions(directory, entry.isLink)) extensions.push_back(std::move(ext));
  if (entry.originalSize > kMax32) {  // 64-bit sizes, which replace the 32-bit fields
    std::string sizes = "\x42";
    AppendLe(sizes, entry.body.size(), 8);
    AppendLe(sizes, entry.originalSize, 8);
    extensions.push_back(sizes);
  }
  return extensions;
}

// Levels 2 and 3 open alike: the fixed fields up to the OS id, 24 bytes.
std::string LongHeaderStart(const PackedEntry& entry, std::uint16_t firstField, int level) {
  std::string header;
  AppendLe(header, firstField, 2);
  AppendCommonFields(header, entry, entry.body.size(), kUnixTime, level);
  AppendLe(header, entry.crc, 2);
  header.push_back(kUnixOs);
  return header;
}

std::string Level2Header(const PackedEntry& entry) {
  std::string header = LongHeaderStart(entry, 0, 2);
  AppendExtensions(header, LongHeaderExtensions(entry));
  // A size whose low byte is 0 would read as the end of the archive: pad by one byte.
  if ((header.size() & 0xFF) == 0) header.push_back('\0');
  PatchLe16(header, 0, static_cast<std::uint16_t>(header.size()));
  constexpr std::size_t kHeaderCrcAt = 24 + 2 + 1;  // fixed part, size field, type byte
  PatchLe16(header, kHeaderCrcAt, LhaCrc16(header));
  return header;
}

std::string Level3Header(const PackedEntry& entry) {
  constexpr int kSizeBytes = 4;
  std::string header = LongHeaderStart(entry, kSizeBytes, 3);
  const std::size_t totalSizeAt = header.size();
  AppendLe(header, 0, kSizeBytes);
  AppendExtensions(header, LongHeaderExtensions(entry), kSizeBytes);
  for (int i = 0; i < kSizeBytes; ++i) {
    header[totalSizeAt + i] = static_cast<char>((header.size() >> (8 * i)) & 0xFF);
  }
  constexpr std::size_t kHeaderCrcAt = 28 + 4 + 1;
  PatchLe16(header, kHeaderCrcAt, LhaCrc16(header));
  return header;
}

}  // namespace

std::uint16_t LhaCrc16(std::string_view bytes) {
  // One table step per byte instead of eight bit steps: archives of tens of
  // megabytes are packed in tests, in debug builds under the sanitizers too.
  static const auto table = [] {
    std::array<std::uint16_t, 256> steps{};
    for (unsigned b = 0; b < 256; ++b) {
      std::uint16_t crc = static_cast<std::uint16_t>(b);
      for (int i = 0; i < 8; ++i) {
        crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
      }
      steps[b] = crc;
    }
    return steps;
  }();
  std::uint16_t crc = 0;
  for (unsigned char b : bytes) {
    crc = static_cast<std::uint16_t>((crc >> 8) ^ table[(crc ^ b) & 0xFF]);
  }
  return crc;
}

std::string CompressLh(std::string_view data, LhaMethod method) {
  if (!IsCompressed(method)) return std::string(data);
  const MethodShape shape = ShapeOf(method);
  Matcher matcher(data, shape.windowBits);
  BitWriter out;
  std::vector<Token> block;
  for (std::size_t pos = 0; pos < data.size();) {
    const auto [length, distance] = matcher.Find(pos);
    const std::size_t step = length > 0 ? static_cast<std::size_t>(length) : 1;
    if (length > 0) {
      block.push_back({static_cast<std::uint16_t>(256 + length - kMinMatch),
                       static_cast<std::uint32_t>(distance - 1)});
    } else {
      block.push_back({static_cast<unsigned char>(data[pos])});
    }
    for (std::size_t i = 0; i < step; ++i) matcher.Insert(pos + i);
    pos += step;
    if (block.size() == kBlockSymbols) {
      PutBlock(out, block, shape);
      block.clear();
    }
  }
  if (!block.empty()) PutBlock(out, block, shape);
  return out.Finish();
}

std::string PackLha(const std::vector<LhaEntry>& entries, LhaMethod method, int headerLevel,
                    LhaEnd end) {
  std::string archive;
  for (const auto& entry : entries) {
    const PackedEntry packed = Prepare(entry, method);
    switch (headerLevel) {
      case 0: archive += Level0Header(packed); break;
      case 1: archive += Level1Header(packed); break;
      case 2: archive += Level2Header(packed); break;
      case 3: archive += Level3Header(packed); break;
      default: throw std::invalid_argument("LHA header level must be 0 to 3");
    }
    archive += packed.body;
  }
  if (end == LhaEnd::kEndByte) archive.push_back('\0');
  return archive;
}

}  // namespace kelvane::test
