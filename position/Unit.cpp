#include "Unit.h"

#include <algorithm>

#include "CountText.h"

namespace mw {

void RefreshLabel(Unit& unit) {
  const std::string text = CountText(unit.count);
  unit.label.fill('\0');
  std::copy(text.begin(), text.end(), unit.label.begin());
  unit.labelLength = static_cast<uint8_t>(text.size());
}

}  // namespace mw
