#include "messages/message.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

TEST(EscapedName, KeepsUtf8AndEscapesWhatWouldBreakALine) {
  const std::pair<std::string, std::string> cases[] = {
      {"0921.lzh", "0921.lzh"},
      {"出馬表 0921.lzh", "出馬表 0921.lzh"},
      {"a\nb", "a\\nb"},
      {"tab\there\r", "tab\\there\\r"},
      {"\x1b[2J", "\\x1b[2J"},
      {"caf\xe9", "caf\\xe9"},        // Latin-1, not UTF-8
      {"\xc2\x9b" "1m", "\\xc2\\x9b1m"},  // U+009B, a terminal's CSI
      {"\xe3\x81", "\\xe3\\x81"},       // cut short
      {"\xc0\xaf", "\\xc0\\xaf"},       // overlong '/'
      {"\xed\xa0\x80", "\\xed\\xa0\\x80"},  // a surrogate
      {"\x7f", "\\x7f"},
      {"back\\slash", "back\\\\slash"},
      {"", ""},
  };
  for (const auto& [name, shown] : cases) EXPECT_EQ(EscapedName(name), shown) << shown;
}

}  // namespace
}  // namespace kelvane
