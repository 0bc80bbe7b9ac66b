// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScanText.h"

#include <limits>

namespace mw {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool IsScanBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool ScanText::More(size_t at) {
  if (at < text_.size()) return true;
  reachedEnd_ = true;
  return false;
}

void ScanText::SkipBlanks() {
  while (More(pos_) && IsScanBlank(text_[pos_])) ++pos_;
}

bool ScanText::TakeSign() {
  if (More(pos_) && (text_[pos_] == '-' || text_[pos_] == '+')) return text_[pos_++] == '-';
  return false;
}

std::optional<std::string> ScanText::Token() {
  SkipBlanks();
  if (atEnd()) return std::nullopt;
  const size_t start = pos_;
  while (More(pos_) && !IsScanBlank(text_[pos_])) ++pos_;
  return std::string(text_.substr(start, pos_ - start));
}

std::optional<int64_t> ScanText::Decimal() {
  SkipBlanks();
  const bool negative = TakeSign();
  if (!More(pos_) || text_[pos_] < '0' || text_[pos_] > '9') return std::nullopt;
  uint64_t magnitude = 0;
  bool saturated = false;
  for (; More(pos_) && text_[pos_] >= '0' && text_[pos_] <= '9'; ++pos_) {
    const unsigned digit = static_cast<unsigned>(text_[pos_] - '0');
    if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / 10) saturated = true;
    if (!saturated) magnitude = magnitude * 10 + digit;
  }
  constexpr uint64_t kMaxPositive = std::numeric_limits<int64_t>::max();
  if (negative) {
    if (saturated || magnitude > kMaxPositive + 1) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(0 - magnitude);
  }
  if (saturated || magnitude > kMaxPositive) return std::numeric_limits<int64_t>::max();
  return static_cast<int64_t>(magnitude);
}

std::optional<uint64_t> ScanText::Hex() {
  SkipBlanks();
  const bool negative = TakeSign();
  if (More(pos_ + 1) && text_[pos_] == '0' && (text_[pos_ + 1] | 0x20) == 'x') {
    pos_ += 2;
    // "0x" without a digit after it is read as the C library reads it: the number 0, the "0x"
    // taken, and the next number after it.
    if (!More(pos_) || HexDigit(text_[pos_]) < 0) return 0;
  }
  if (!More(pos_) || HexDigit(text_[pos_]) < 0) return std::nullopt;
  uint64_t value = 0;
  bool saturated = false;
  for (int d; More(pos_) && (d = HexDigit(text_[pos_])) >= 0; ++pos_) {
    if (value >> 60) saturated = true;
    value = (value << 4) | static_cast<uint64_t>(d);
  }
  if (saturated) return std::numeric_limits<uint64_t>::max();
  return negative ? 0 - value : value;
}

std::vector<std::string> SplitLinePieces(std::string_view text, size_t limit) {
  std::vector<std::string> pieces;
  std::string current;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    current.push_back(text[i]);
    if (text[i] == '\n' || current.size() == limit) {
      pieces.push_back(std::move(current));
      current.clear();
    }
  }
  if (!current.empty()) pieces.push_back(std::move(current));
  return pieces;
}

std::string_view UpToNul(std::string_view s) { return s.substr(0, s.find('\0')); }

}  // namespace mw
