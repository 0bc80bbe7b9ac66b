#pragma once

#include <string>

#include "Position.h"

namespace mw {

// The text of the unit list: for each country 1 to 15 a header, then its sectors in rising
// number, each with a header line and one line per stack ("count name") in list order. Lines end
// in "\r\n". Stacks of country 0 or above 15, and of sector 0 or 512 and above, are not listed.
std::string BuildUnitList(const Position& position);

}  // namespace mw
