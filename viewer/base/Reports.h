#pragma once

#include <string>

#include "Position.h"

namespace mw {

// The text of the unit list: for each country 1 to 15 a header, then its sectors in rising
// number, each with a header line and one line per unit ("count name") in list order. Lines end
// in "\r\n"; names are decoded into UTF-8. Units of country 0 or above 15, and of sector 0 or
// 512 and above, are not listed.
std::string BuildUnitList(const Position& position);

// The country totals as tab-separated text: a header line, then one line per country with the
// figures the info view shows (countries 1 to 8 always, higher ones when any figure is not 0).
std::string TotalsReport(const Position& position);

// The text with the carriage return of every "\r\n" taken out, for printing on a console.
std::string WithoutCarriageReturns(const std::string& text);

}  // namespace mw
