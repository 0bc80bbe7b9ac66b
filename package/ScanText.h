// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

// Reads text the way the C library's scanf conversions do, so that the package text files mean
// what they meant to the tools that wrote them: "%s" is a run of non-blank characters, "%d" and
// "%x" skip leading white space and take an optional sign and digits. A number too large for its
// conversion saturates, as the C library's does, and the caller keeps the low bits it needs.
bool IsScanBlank(char c);

class ScanText {
 public:
  explicit ScanText(std::string_view text) : text_(text) {}

  // "%s": the next run of non-blank characters, or none at the end of the text.
  std::optional<std::string> Token();
  // "%d": a signed decimal number, saturated to the range of a 64-bit integer.
  std::optional<int64_t> Decimal();
  // "%x": a hexadecimal number with an optional sign and "0x" prefix, saturated to 64 bits and
  // negated modulo 2^64 after a minus sign.
  std::optional<uint64_t> Hex();

  bool atEnd() const { return pos_ >= text_.size(); }
  // The byte offset where the next conversion starts looking.
  size_t position() const { return pos_; }
  // The offset where the next item begins, past the blanks before it.
  size_t NextItem() const {
    size_t at = pos_;
    while (at < text_.size() && IsScanBlank(text_[at])) ++at;
    return at;
  }
  // True once a conversion looked at the end of the text: with more text after it, it might have
  // read something else. A reader of the start of a file reads on until this stays false.
  bool reachedEnd() const { return reachedEnd_; }

 private:
  // True while there is a character at the read position; notes reaching the end otherwise.
  bool More(size_t at);
  void SkipBlanks();
  bool TakeSign();  // true after a minus sign

  std::string_view text_;
  size_t pos_ = 0;
  bool reachedEnd_ = false;
};

// True for the characters that scanf treats as white space.
bool IsScanBlank(char c);

// Splits text into the pieces that fgets returns with a buffer of `limit` + 1 bytes: each piece
// ends after a line feed or after `limit` characters, whichever comes first. A carriage return
// before a line feed is dropped first, as a text-mode read on the system that wrote the file does.
std::vector<std::string> SplitLinePieces(std::string_view text, size_t limit);

// The text of a piece as a C string sees it: up to its first zero byte.
std::string_view UpToNul(std::string_view s);

}  // namespace mw
