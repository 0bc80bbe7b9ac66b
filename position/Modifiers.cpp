// SPDX-License-Identifier: GPL-3.0-or-later
#include "Modifiers.h"

#include <algorithm>

namespace mw {

uint16_t TakeCount(uint16_t count, unsigned modifiers) {
  const bool shift = modifiers & kShift, ctrl = modifiers & kCtrl;
  uint16_t limit = 1;
  if (shift && ctrl)
    limit = count;
  else if (ctrl)
    limit = 10;
  else if (shift)
    limit = 5;
  return std::min(count, limit);
}

uint16_t PlaceCount(unsigned modifiers) {
  if (modifiers & kCtrl) return 10;
  if (modifiers & kShift) return 5;
  return 1;
}

}  // namespace mw
