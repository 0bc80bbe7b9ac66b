// SPDX-License-Identifier: GPL-3.0-or-later
#include "Unit.h"

#include <algorithm>

#include "CountText.h"

namespace mw {

namespace {

// The labels of every count a label can show, made once.
struct LabelTable {
  std::array<std::array<char, 5>, 1000> text{};
  std::array<uint8_t, 1000> length{};
  LabelTable() {
    for (uint32_t n = 0; n < 1000; ++n)
      length[n] = static_cast<uint8_t>(CountText(n, text[n].data()));
  }
};

const LabelTable kLabels;

}  // namespace

std::string_view CountLabelText(uint32_t count) {
  const uint32_t n = std::min<uint32_t>(count, 999);
  return std::string_view(kLabels.text[n].data(), kLabels.length[n]);
}

}  // namespace mw
