// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "SectorTable.h"

namespace mw {

// The three headings a sector's income is counted under.
enum class IncomeHeading : uint8_t { kIpc, kConvoy, kOil };

// Why a held sector yields nothing.
enum class NoIncome : uint8_t {
  kNone,                 // it yields
  kNoValue,              // its record gives its holder no income
  kRequiredPieceAbsent,  // no piece of the kind it needs, of its holder or an ally, stands in it
  kDependencyNotAllied,  // its dependency sector is held by one who is not its holder's ally
  kConvoyNotFirstOwner,  // a convoy yields only to its first owner
};

// What one sector yields, and to whom.
struct SectorIncome {
  int32_t owner = 0;  // who holds it; 0 for nobody
  int64_t value = 0;  // the income it yields (0 with a reason)
  IncomeHeading heading = IncomeHeading::kIpc;
  NoIncome reason = NoIncome::kNone;
  int dependency = 0;  // the dependency sector that was read, 0 for none
};

using SectorIncomes = std::array<SectorIncome, kSectorSlots>;

}  // namespace mw
