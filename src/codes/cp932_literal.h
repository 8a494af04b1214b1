#pragma once

// Compile-time conversion of UTF-8 literals to CP932 bytes, so that constant texts
// can be written with their Japanese visible and still hold exactly the bytes the
// handheld reads. Covered are ASCII, half-width katakana, hiragana, katakana, the
// full-width digits and Latin letters, and the symbols and kanji listed below; a
// literal with any other character, or one that does not fit, fails to compile.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kelvane {
namespace cp932_literal {

struct CharCode {
  char32_t codePoint;
  std::uint16_t cp932;
};

// Characters whose CP932 codes follow no simple range, in CP932 order.
inline constexpr CharCode kListedChars[] = {
    {U'　', 0x8140}, {U'．', 0x8144}, {U'・', 0x8145}, {U'ー', 0x815B}, {U'｜', 0x8162},
    {U'’', 0x8166}, {U'（', 0x8169}, {U'）', 0x816A}, {U'○', 0x819B}, {U'□', 0x81A0},
    {U'→', 0x81A8}, {U'Ⅰ', 0x8754}, {U'Ⅱ', 0x8755}, {U'Ⅲ', 0x8756}, {U'旭', 0x88AE},
    {U'芦', 0x88B0}, {U'位', 0x88CA}, {U'井', 0x88E4}, {U'一', 0x88EA}, {U'右', 0x8945},
    {U'宇', 0x8946}, {U'雨', 0x894A}, {U'浦', 0x8959}, {U'益', 0x8976}, {U'園', 0x8980},
    {U'岡', 0x89AA}, {U'億', 0x89AD}, {U'屋', 0x89AE}, {U'牡', 0x89B2}, {U'下', 0x89BA},
    {U'火', 0x89CE}, {U'賀', 0x89EA}, {U'回', 0x89F1}, {U'外', 0x8A4F}, {U'害', 0x8A51},
    {U'笠', 0x8A7D}, {U'潟', 0x8A83}, {U'関', 0x8AD6}, {U'韓', 0x8AD8}, {U'館', 0x8AD9},
    {U'岩', 0x8AE2}, {U'紀', 0x8B49}, {U'騎', 0x8B52}, {U'宮', 0x8B7B}, {U'京', 0x8B9E},
    {U'競', 0x8BA3}, {U'橋', 0x8BB4}, {U'金', 0x8BE0}, {U'九', 0x8BE3}, {U'栗', 0x8C49},
    {U'系', 0x8C6E}, {U'軽', 0x8C79}, {U'月', 0x8C8E}, {U'見', 0x8CA9}, {U'古', 0x8CC3},
    {U'広', 0x8D4C}, {U'港', 0x8D60}, {U'荒', 0x8D72}, {U'香', 0x8D81}, {U'高', 0x8D82},
    {U'国', 0x8D91}, {U'黒', 0x8D95}, {U'混', 0x8DAC}, {U'佐', 0x8DB2}, {U'左', 0x8DB6},
    {U'差', 0x8DB7}, {U'歳', 0x8DCE}, {U'際', 0x8DDB}, {U'阪', 0x8DE3}, {U'崎', 0x8DE8},
    {U'札', 0x8E44}, {U'三', 0x8E4F}, {U'山', 0x8E52}, {U'産', 0x8E59}, {U'使', 0x8E67},
    {U'市', 0x8E73}, {U'指', 0x8E77}, {U'寺', 0x8E9B}, {U'自', 0x8EA9}, {U'鹿', 0x8EAD},
    {U'芝', 0x8EC5}, {U'手', 0x8EE8}, {U'首', 0x8EF1}, {U'周', 0x8EFC}, {U'州', 0x8F42},
    {U'習', 0x8F4B}, {U'重', 0x8F64}, {U'祝', 0x8F6A}, {U'出', 0x8F6F}, {U'準', 0x8F80},
    {U'勝', 0x8F9F}, {U'小', 0x8FAC}, {U'招', 0x8FB5}, {U'松', 0x8FBC}, {U'賞', 0x8FDC},
    {U'障', 0x8FE1}, {U'上', 0x8FE3}, {U'条', 0x8FF0}, {U'新', 0x9056}, {U'神', 0x905F},
    {U'身', 0x9067}, {U'水', 0x9085}, {U'晴', 0x90B0}, {U'盛', 0x90B7}, {U'西', 0x90BC},
    {U'青', 0x90C2}, {U'雪', 0x90E1}, {U'先', 0x90E6}, {U'川', 0x90EC}, {U'線', 0x90FC},
    {U'船', 0x9144}, {U'前', 0x914F}, {U'全', 0x9153}, {U'倉', 0x9171}, {U'走', 0x9196},
    {U'足', 0x91AB}, {U'他', 0x91BC}, {U'帯', 0x91D1}, {U'大', 0x91E5}, {U'沢', 0x91F2},
    {U'知', 0x926D}, {U'地', 0x926E}, {U'置', 0x9275}, {U'着', 0x9285}, {U'中', 0x9286},
    {U'抽', 0x928A}, {U'長', 0x92B7}, {U'直', 0x92BC}, {U'津', 0x92C3}, {U'追', 0x92C7},
    {U'定', 0x92E8}, {U'田', 0x9363}, {U'都', 0x9373}, {U'土', 0x9379}, {U'島', 0x9387},
    {U'東', 0x938C}, {U'当', 0x9396}, {U'逃', 0x93A6}, {U'同', 0x93AF}, {U'特', 0x93C1},
    {U'栃', 0x93C8}, {U'曇', 0x93DC}, {U'内', 0x93E0}, {U'南', 0x93EC}, {U'日', 0x93FA},
    {U'馬', 0x946E}, {U'配', 0x947A}, {U'売', 0x9484}, {U'柏', 0x9490}, {U'白', 0x9492},
    {U'粕', 0x9494}, {U'函', 0x949F}, {U'発', 0x94AD}, {U'半', 0x94BC}, {U'般', 0x94CA},
    {U'尾', 0x94F6}, {U'姫', 0x9550}, {U'不', 0x9573}, {U'布', 0x957A}, {U'父', 0x9583},
    {U'福', 0x959F}, {U'別', 0x95CA}, {U'方', 0x95FB}, {U'邦', 0x964D}, {U'北', 0x966B},
    {U'幌', 0x9679}, {U'本', 0x967B}, {U'万', 0x969C}, {U'未', 0x96A2}, {U'名', 0x96BC},
    {U'明', 0x96BE}, {U'牝', 0x96C4}, {U'毛', 0x96D1}, {U'木', 0x96D8}, {U'門', 0x96E5},
    {U'用', 0x9770}, {U'利', 0x9798}, {U'良', 0x97C7}, {U'量', 0x97CA}, {U'齢', 0x97EE},
    {U'連', 0x9841}, {U'路', 0x9848}, {U'和', 0x9861}, {U'稍', 0xE263}, {U'襷', 0xE646},
};

constexpr char32_t DecodeUtf8(std::u8string_view utf8, std::size_t& pos) {
  const char8_t lead = utf8[pos];
  const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (pos + length > utf8.size()) throw "truncated UTF-8 sequence";
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) c = (c << 6) | (utf8[pos + i] & 0x3F);
  pos += length;
  return c;
}

// The CP932 code of `c`: one byte below 0x100, otherwise lead byte * 256 + trail.
constexpr std::uint16_t CodeOf(char32_t c) {
  if (c < 0x80) return static_cast<std::uint16_t>(c);
  if (c >= U'｡' && c <= U'ﾟ') return static_cast<std::uint16_t>(0xA1 + (c - U'｡'));
  if (c >= U'ぁ' && c <= U'ん') return static_cast<std::uint16_t>(0x829F + (c - U'ぁ'));
  // Katakana skip trail byte 0x7F.
  if (c >= U'ァ' && c <= U'ミ') return static_cast<std::uint16_t>(0x8340 + (c - U'ァ'));
  if (c >= U'ム' && c <= U'ヶ') return static_cast<std::uint16_t>(0x8380 + (c - U'ム'));
  if (c >= U'０' && c <= U'９') return static_cast<std::uint16_t>(0x824F + (c - U'０'));
  if (c >= U'Ａ' && c <= U'Ｚ') return static_cast<std::uint16_t>(0x8260 + (c - U'Ａ'));
  if (c >= U'ａ' && c <= U'ｚ') return static_cast<std::uint16_t>(0x8281 + (c - U'ａ'));
  for (const CharCode& listed : kListedChars) {
    if (listed.codePoint == c) return listed.cp932;
  }
  throw "character without a CP932 code in the compile-time character list";
}

}  // namespace cp932_literal

// A CP932 text of at most Size - 1 bytes, kept NUL-terminated and NUL-padded in
// Size bytes: the shape of a fixed-width table row.
template <std::size_t Size>
class Cp932Text {
 public:
  consteval Cp932Text(std::u8string_view utf8) {
    for (std::size_t pos = 0; pos < utf8.size();) {
      const std::uint16_t code = cp932_literal::CodeOf(cp932_literal::DecodeUtf8(utf8, pos));
      if (code > 0xFF) Append(static_cast<char>(code >> 8));
      Append(static_cast<char>(code & 0xFF));
    }
  }

  constexpr std::string_view View() const { return std::string_view(bytes_.data(), length_); }

 private:
  consteval void Append(char byte) {
    if (byte == '\0') throw "NUL inside a text";
    if (length_ + 1 >= Size) throw "text longer than its width allows";
    bytes_[length_++] = byte;
  }

  std::array<char, Size> bytes_{};
  std::size_t length_ = 0;
};

// The CP932 form of a UTF-8 literal (never longer than the UTF-8 form).
template <std::size_t N>
consteval Cp932Text<N> Cp932(const char8_t (&utf8)[N]) {
  return Cp932Text<N>(std::u8string_view(utf8, N - 1));
}

}  // namespace kelvane
