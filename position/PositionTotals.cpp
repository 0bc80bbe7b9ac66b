// The country totals: who owns which sector, which sectors yield income, and the strength of the
// pieces on the board.
#include <array>

#include "Position.h"

namespace mw {

void Position::NotifyTotalsChanged() {
  if (observer_) observer_->TotalsChanged();
}

void Position::NotifyUnitArea(const Unit& unit) {
  if (observer_) observer_->UnitAreaChanged(unit);
}

int64_t Position::StrengthOf(const Unit& unit) const {
  if (unit.sector >= kSectorSlots) return 0;
  return int64_t{pieces_[unit.pieceType].value} * unit.count;
}

void Position::AdjustStrength(const Unit& unit, int64_t sign) {
  const int64_t worth = sign * StrengthOf(unit);
  const int8_t category = pieces_[unit.pieceType].category;
  if (category == 0) totals_[unit.country].land += worth;
  if (category == 1) totals_[unit.country].naval += worth;
}

bool Position::IsAllied(int32_t a, int32_t b) const {
  if (a == b) return true;
  for (const AllianceRow& row : alliances_) {
    if (row[0] == 0) continue;
    int matches = 0;
    for (int32_t c : row) matches += (c == a) + (c == b);
    if (matches == 2) return true;
    if (matches == 1) return false;
  }
  return false;
}

void Position::RecomputeTotals() {
  totals_.fill(CountryTotal{});
  for (const Unit* u : units_) AdjustStrength(*u, +1);
  if (hand_.active) AdjustStrength(hand_.carried, +1);
  if (sectors_) RecomputeIncome();
  NotifyTotalsChanged();
}

void Position::RecomputeIncome() {
  const SectorTable& table = *sectors_;
  std::array<int32_t, kSectorSlots> owner{};
  std::array<bool, kSectorSlots> active{};
  for (int n = 0; n < kSectorSlots; ++n) {
    owner[n] = table[n].initialOwner();
    active[n] = table[n].requiredPiece() == 0;
  }
  for (const Unit* u : units_) {
    if (u->sector >= kSectorSlots) continue;
    if (u->pieceType == 0) owner[u->sector] = u->country;
  }
  for (const Unit* u : units_) {
    if (u->sector >= kSectorSlots || active[u->sector]) continue;
    if (u->pieceType == table[u->sector].requiredPiece() && IsAllied(u->country, owner[u->sector]))
      active[u->sector] = true;
  }
  for (int n = 0; n < kSectorSlots; ++n) {
    const int32_t o = owner[n];
    if (o == 0 || !active[n]) continue;
    const SectorRecord& s = table[n];
    const bool perOwner = o <= SectorRecord::kOwners;
    int64_t v = (s.sectorFlags() & SectorRecord::kFlagCountryValues) && perOwner
                    ? s.countryValues(o)
                    : s.ipcValue();
    const int d = (s.sectorFlags() & SectorRecord::kFlagOwnerDependency)
                      ? (perOwner ? s.ownerDependency(o) : 0)
                      : s.dependencySector();
    if (d != 0 && !IsAllied(owner[d], o)) v = 0;
    if (s.convoyFlag() && o != s.initialOwner()) v = 0;
    CountryTotal& t = totals_[o];
    if (s.sectorFlags() & SectorRecord::kFlagOil)
      t.oil += v;
    else if (s.convoyFlag())
      t.convoy += v;
    else
      t.ipc += v;
  }
}

}  // namespace mw
