// SPDX-License-Identifier: GPL-3.0-or-later
#include "PackageText.h"

#include <array>
#include <cstdint>
#include <optional>

namespace mw {
namespace {

// The characters of bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The next character of valid UTF-8 at `at` (advanced past it); none for an invalid or overlong
// sequence or a surrogate.
std::optional<char32_t> NextUtf8(std::string_view text, size_t& at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  if (lead < 0x80) {
    ++at;
    return char32_t{lead};
  }
  const size_t length = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || lead >= 0xF5 || at + length > text.size()) return std::nullopt;
  char32_t c = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return std::nullopt;
    c = c << 6 | (byte(at + i) & 0x3F);
  }
  if ((length == 3 && c < 0x800) || (length == 4 && (c < 0x10000 || c > 0x10FFFF)) ||
      (c >= 0xD800 && c <= 0xDFFF))
    return std::nullopt;
  at += length;
  return c;
}

}  // namespace

std::string DecodePackageText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto byte = static_cast<uint8_t>(ch);
    AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char32_t{byte});
  }
  return out;
}

bool LooksLikeUtf8(std::string_view text) {
  bool beyondAscii = false;
  for (size_t at = 0; at < text.size();) {
    const auto c = NextUtf8(text, at);
    if (!c) return false;
    beyondAscii |= *c >= 0x80;
  }
  return beyondAscii;
}

std::optional<std::string> EncodePackageText(std::string_view utf8, size_t* bad) {
  std::string out;
  for (size_t at = 0; at < utf8.size();) {
    const size_t start = at;
    const auto c = NextUtf8(utf8, at);
    std::optional<uint8_t> byte;
    if (c && (*c < 0x80 || (*c >= 0xA0 && *c <= 0xFF))) byte = static_cast<uint8_t>(*c);
    for (size_t i = 0; c && !byte && i < kHighControls.size(); ++i)
      if (kHighControls[i] == *c) byte = static_cast<uint8_t>(0x80 + i);
    if (!byte) {
      if (bad) *bad = start;
      return std::nullopt;
    }
    out += static_cast<char>(*byte);
  }
  return out;
}

}  // namespace mw
