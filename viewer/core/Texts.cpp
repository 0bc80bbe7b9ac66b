// SPDX-License-Identifier: GPL-3.0-or-later
#include "Texts.h"

#include <QCoreApplication>
#include <QString>

namespace mw {

Text::Text(const char* context, const char* english, const char* comment)
    : pattern_(QCoreApplication::translate(context, english, comment).toStdString()) {}

QString QTr(const char* context, const char* english, const char* comment) {
  return QCoreApplication::translate(context, english, comment);
}

Text& Text::arg(std::string value) & {
  args_.push_back(std::move(value));
  return *this;
}

std::string Text::str() const {
  std::string out;
  out.reserve(pattern_.size());
  for (size_t i = 0; i < pattern_.size(); ++i) {
    const char next = i + 1 < pattern_.size() ? pattern_[i + 1] : '\0';
    if (pattern_[i] == '%' && next >= '1' && next <= '9' &&
        static_cast<size_t>(next - '1') < args_.size()) {
      out += args_[static_cast<size_t>(next - '1')];
      ++i;
    } else {
      out += pattern_[i];
    }
  }
  return out;
}

}  // namespace mw
