#pragma once

#include <cstdint>
#include <string>

namespace mw {

// The short decimal text of a count: the number itself below 1000, "999" from 1000 on; always
// 1 to 3 characters. Negative numbers have no form here: callers that may hold one say how they
// show it.
std::string CountText(uint32_t value);

}  // namespace mw
