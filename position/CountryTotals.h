// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace mw {

// The five totals of one country. They are summed in 64 bits, so that adding and taking away
// pieces always returns to the same figure, and read as the 16-bit numbers they are shown and
// stored as, held at the ends of that range instead of wrapping.
struct CountryTotal {
  int64_t ipc = 0;
  int64_t oil = 0;
  int64_t convoy = 0;
  int64_t land = 0;
  int64_t naval = 0;

  static int16_t Clamp(int64_t v) {
    return static_cast<int16_t>(std::clamp<int64_t>(v, std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
  }
  int16_t shownIpc() const { return Clamp(ipc); }
  int16_t shownOil() const { return Clamp(oil); }
  int16_t shownConvoy() const { return Clamp(convoy); }
  int16_t shownLand() const { return Clamp(land); }
  int16_t shownNaval() const { return Clamp(naval); }
  // "Sum" of the info view: the income of all three kinds.
  int16_t shownSum() const { return Clamp(ipc + oil + convoy); }

  bool operator==(const CountryTotal&) const = default;
};

inline constexpr int kCountrySlots = 512;
using CountryTotals = std::array<CountryTotal, kCountrySlots>;

}  // namespace mw
