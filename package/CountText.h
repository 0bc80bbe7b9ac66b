// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace mw {

// The short decimal text of a count: the number itself below 1000, "999" from 1000 on; always
// 1 to 3 characters. Negative numbers have no form here: callers that may hold one say how they
// show it.
std::string CountText(uint32_t value);
// The same written into `out` (room for 4 characters), NUL-terminated; returns its length.
int CountText(uint32_t value, char* out);

}  // namespace mw
