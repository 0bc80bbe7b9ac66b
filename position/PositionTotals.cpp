// SPDX-License-Identifier: GPL-3.0-or-later
// The country totals: who owns which sector, which sectors yield income, and the strength of the
// pieces on the board.
#include <array>

#include "Position.h"

namespace mw {

bool Position::IsAllied(int32_t a, int32_t b) const { return AreAllied(alliances_, a, b); }

void Position::RecomputeTotals() {
  const Transaction transaction(*this);
  totals_.fill(CountryTotal{});
  for (const Unit* u : units_) AdjustStrength(*u, +1);
  if (hand_.active) AdjustStrength(hand_.carried, +1);
  if (sectors_) RecomputeIncome();
  pending_.totals = true;
}

SectorIncomes Position::SectorIncomeBreakdown() const {
  SectorIncomes result{};
  if (!sectors_) return result;
  const SectorTable& table = *sectors_;
  // Who holds a sector: its first owner, or the country of its last marker in list order.
  std::array<bool, kSectorSlots> active{};
  for (int n = 0; n < kSectorSlots; ++n) {
    result[n].owner = table[n].initialOwner();
    active[n] = table[n].requiredPiece() == 0;
  }
  for (const Unit* u : units_) {
    if (u->sector >= kSectorSlots) continue;
    if (u->pieceType == 0) result[u->sector].owner = u->country;
  }
  // A sector that needs a piece yields only while one of its holder or an ally stands there.
  for (const Unit* u : units_) {
    if (u->sector >= kSectorSlots || active[u->sector]) continue;
    if (u->pieceType == table[u->sector].requiredPiece() &&
        IsAllied(u->country, result[u->sector].owner))
      active[u->sector] = true;
  }
  for (int n = 0; n < kSectorSlots; ++n) {
    SectorIncome& income = result[n];
    const int32_t o = income.owner;
    if (o == 0) continue;
    const SectorRecord& s = table[n];
    income.heading = (s.sectorFlags() & SectorRecord::kFlagOil) ? IncomeHeading::kOil
                     : s.convoyFlag()                           ? IncomeHeading::kConvoy
                                                                : IncomeHeading::kIpc;
    const bool perOwner = o <= SectorRecord::kOwners;
    const int64_t v = (s.sectorFlags() & SectorRecord::kFlagCountryValues) && perOwner
                          ? s.countryValues(o)
                          : s.ipcValue();
    income.dependency = (s.sectorFlags() & SectorRecord::kFlagOwnerDependency)
                            ? (perOwner ? s.ownerDependency(o) : 0)
                            : s.dependencySector();
    if (v == 0)
      income.reason = NoIncome::kNoValue;
    else if (!active[n])
      income.reason = NoIncome::kRequiredPieceAbsent;
    else if (income.dependency != 0 && !IsAllied(result[income.dependency].owner, o))
      income.reason = NoIncome::kDependencyNotAllied;
    else if (s.convoyFlag() && o != s.initialOwner())
      income.reason = NoIncome::kConvoyNotFirstOwner;
    else
      income.value = v;
  }
  return result;
}

void Position::RecomputeIncome() {
  const SectorIncomes incomes = SectorIncomeBreakdown();
  for (const SectorIncome& s : incomes) {
    if (s.value == 0) continue;
    CountryTotal& t = totals_[s.owner];
    switch (s.heading) {
      case IncomeHeading::kIpc:
        t.ipc += s.value;
        break;
      case IncomeHeading::kConvoy:
        t.convoy += s.value;
        break;
      case IncomeHeading::kOil:
        t.oil += s.value;
        break;
    }
  }
}

}  // namespace mw
