// SPDX-License-Identifier: GPL-3.0-or-later
#include "CountText.h"

namespace mw {

int CountText(uint32_t value, char* out) {
  if (value >= 1000) value = 999;
  int length = value >= 100 ? 3 : value >= 10 ? 2 : 1;
  out[length] = '\0';
  for (int i = length - 1; i >= 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
  return length;
}

std::string CountText(uint32_t value) {
  char text[4];
  return std::string(text, static_cast<size_t>(CountText(value, text)));
}

}  // namespace mw
