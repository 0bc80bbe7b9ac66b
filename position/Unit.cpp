#include "Unit.h"

#include <algorithm>

#include "CountText.h"

namespace mw {

void RefreshLabel(Unit& unit) {
  unit.label.fill('\0');
  unit.labelLength = static_cast<uint8_t>(CountText(unit.count, unit.label.data()));
}

}  // namespace mw
