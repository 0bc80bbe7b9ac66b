#include "Unit.h"

#include <algorithm>

#include "CountText.h"

namespace mw {

namespace {

// The labels of every count a label can show, made once: a label is set for every unit loaded.
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

void RefreshLabel(Unit& unit) {
  const uint32_t n = std::min<uint32_t>(unit.count, 999);
  unit.label = kLabels.text[n];
  unit.labelLength = kLabels.length[n];
}

}  // namespace mw
