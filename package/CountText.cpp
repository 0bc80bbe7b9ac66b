#include "CountText.h"

namespace mw {

std::string CountText(uint32_t value) { return value >= 1000 ? "999" : std::to_string(value); }

}  // namespace mw
