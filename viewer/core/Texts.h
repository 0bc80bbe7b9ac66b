// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <concepts>
#include <string>
#include <vector>

namespace mw {

// A text a user reads, in the language installed for the program, English where none is (the
// headless modes and the replay always speak English). `Tr(context, english)` looks it up, with
// `context` naming the part of the program the text belongs to, as the translation groups them;
// each arg() fills the next of %1, %2, ... in one pass over the translated text, so that a "%1" in
// a file name is never taken for a place.
class Text {
 public:
  Text(const char* context, const char* english, const char* comment = nullptr);

  Text& arg(std::string value) &;
  Text&& arg(std::string value) && { return std::move(arg(std::move(value))); }
  Text& arg(std::integral auto value) & { return arg(std::to_string(value)); }
  Text&& arg(std::integral auto value) && { return std::move(arg(std::to_string(value))); }

  std::string str() const;
  operator std::string() const { return str(); }  // NOLINT: a text is read as a string

 private:
  std::string pattern_;
  std::vector<std::string> args_;
};

inline Text Tr(const char* context, const char* english, const char* comment = nullptr) {
  return Text(context, english, comment);
}

// The same for the windows, which fill in their texts with QString::arg.
QString QTr(const char* context, const char* english, const char* comment = nullptr);

}  // namespace mw
