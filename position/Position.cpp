// SPDX-License-Identifier: GPL-3.0-or-later
#include "Position.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>
#include <type_traits>

namespace mw {
namespace {

constexpr int32_t kFindReachX = 7;
constexpr int32_t kFindReachY = 5;
constexpr int32_t kMergeReachX = 15;
constexpr int32_t kMergeReachY = 10;

}  // namespace

Unit* UnitPool::Allocate(const Unit& value) {
  static_assert(std::is_trivially_destructible_v<Unit>, "units are released with their block");
  if (!free_.empty()) {
    Unit* unit = free_.back();
    free_.pop_back();
    *unit = value;
    return unit;
  }
  size_t got = 0;
  return new (TakeRun(1, got)) Unit(value);
}

Unit* UnitPool::TakeRun(size_t wanted, size_t& got) {
  auto room = [&](size_t block) { return blocks_[block].size() / sizeof(Unit); };
  if (block_ == blocks_.size() || used_ == room(block_)) {
    if (block_ < blocks_.size()) ++block_;
    if (block_ == blocks_.size()) blocks_.emplace_back(std::max(kBlock, wanted) * sizeof(Unit));
    used_ = 0;
  }
  got = std::min(wanted, room(block_) - used_);
  Unit* run = reinterpret_cast<Unit*>(blocks_[block_].data()) + used_;
  used_ += got;
  return run;
}

void UnitPool::Clear() {
  free_.clear();
  block_ = 0;
  used_ = 0;
}

const Unit* Position::Resolve(UnitRef ref) const {
  if (ref.empty()) return nullptr;
  if (ref.slotHint < units_.size() && units_[ref.slotHint]->serial == ref.serial)
    return units_[ref.slotHint];
  for (const Unit* u : units_)
    if (u->serial == ref.serial) return u;
  return nullptr;
}

// The list hands out read-only units; the position's own operations change them through this.
Unit* Position::Mutable(const Unit* unit) {
  if (!unit || unit->slot >= units_.size() || units_[unit->slot] != unit) return nullptr;
  return units_[unit->slot];
}

const Unit* Position::FindUnitAt(int32_t x, int32_t y, Unit* out) const {
  // The first in list order of the units near the point.
  std::vector<uint32_t> near;
  Index().SlotsIn(int64_t{x} - kFindReachX, int64_t{y} - kFindReachY, int64_t{x} + kFindReachX,
                  int64_t{y} + kFindReachY, near);
  const Unit* found = nullptr;
  for (uint32_t slot : near) {
    const Unit* u = units_[slot];
    const int32_t ux = u->x, uy = u->y;
    if (ux - kFindReachX <= x && x <= ux + kFindReachX && uy - kFindReachY <= y &&
        y <= uy + kFindReachY && (!found || u->slot < found->slot))
      found = u;
  }
  if (found && out) *out = *found;
  return found;
}

std::vector<const Unit*> Position::UnitsIn(int64_t left, int64_t top, int64_t right,
                                           int64_t bottom) const {
  std::vector<uint32_t> slots;
  Index().SlotsIn(left, top, right, bottom, slots);
  std::sort(slots.begin(), slots.end());
  std::vector<const Unit*> found;
  for (uint32_t slot : slots) {
    const Unit* u = units_[slot];
    if (u->x >= left && u->x <= right && u->y >= top && u->y <= bottom) found.push_back(u);
  }
  return found;
}

std::string Position::CheckIndex() const {
  for (const Unit* u : units_) {
    std::vector<uint32_t> here;
    Index().SlotsIn(u->x, u->y, u->x, u->y, here);
    if (std::count(here.begin(), here.end(), u->slot) != 1)
      return "unit " + std::to_string(u->slot) + " is not once in its cell";
    std::vector<uint32_t> kind;
    Index().SlotsOfKind(u->sector, u->country, u->pieceType, kind);
    if (std::count(kind.begin(), kind.end(), u->slot) != 1)
      return "unit " + std::to_string(u->slot) + " is not once among its sector's of its kind";
  }
  std::vector<uint32_t> all;
  Index().SlotsIn(0, 0, 65535, 65535, all);
  if (all.size() != units_.size())
    return std::to_string(all.size()) + " slots in the cells for " + std::to_string(units_.size()) +
           " units";
  return {};
}

bool Position::TriggersRecompute(const Unit& unit) const {
  if (unit.pieceType == 0) return true;
  const SectorRecord* record = sectorRecord(unit.sector);
  return record && record->requiredPiece() == unit.pieceType;
}

void Position::SetCount(Unit& unit, uint16_t count) {
  const bool inList = &unit != &hand_.carried;
  if (inList) {
    BeforeListChange();
    Journal(ListStep::kCount, unit);
    Changed(unit);
    Fingerprint(unit, -1);
  }
  AdjustStrength(unit, -1);
  unit.count = count;
  AdjustStrength(unit, +1);
  if (inList) {
    Changed(unit);
    Fingerprint(unit, +1);
  }
}

void Position::Fingerprint(const Unit& u, int sign) {
  const uint64_t h = Digest(u);
  fingerprint_ += sign > 0 ? h : -h;
  if (saved_ && u.slot < saved_->size() &&
      (*saved_)[u.slot] == SavedStack{u.x, u.y, u.pieceType, u.country, u.count, u.sector})
    slotsAsSaved_ += static_cast<size_t>(sign > 0 ? 1 : -1);
}

uint64_t Position::Digest(const Unit& u) {
  // A 64-bit mix of the stack and its slot: the sum over the list changes with every stack
  // changed, added, taken away or moved to another slot.
  uint64_t h = (uint64_t{u.slot} << 32) ^ (uint64_t{u.x} << 16) ^ u.y;
  h = (h ^ (h >> 31)) * 0x9E3779B97F4A7C15ULL;
  h ^= (uint64_t{u.pieceType} << 56) ^ (uint64_t{u.country} << 48) ^ (uint64_t{u.count} << 24) ^
       u.sector;
  h = (h ^ (h >> 29)) * 0xBF58476D1CE4E5B9ULL;
  h ^= h >> 32;
  return h;
}

void Position::FingerprintAll() {
  fingerprint_ = 0;
  slotsAsSaved_ = 0;
  for (const Unit* u : units_) Fingerprint(*u, +1);
}

void Position::SettleFingerprint() {
  if (!fingerprintOwed_) return;
  fingerprintOwed_ = false;
  FingerprintAll();
  if (std::exchange(savedFingerprintOwed_, false)) savedFingerprint_ = fingerprint_;
}

void Position::MarkClean() {
  savedRevision_ = revision_;
  savedFingerprint_ = fingerprint_;
  savedFingerprintOwed_ = fingerprintOwed_;
  saved_.reset();
  // The saved list is copied only when it is first changed: a load or a save costs no copy.
  snapshotPending_ = !hand_.active;
}

void Position::BeforeListChange() {
  SettleFingerprint();
  if (!snapshotPending_) return;
  snapshotPending_ = false;
  saved_.emplace();
  saved_->reserve(units_.size());
  for (const Unit* u : units_)
    saved_->push_back({u->x, u->y, u->pieceType, u->country, u->count, u->sector});
  slotsAsSaved_ = saved_->size();
}

const UnitIndex& Position::Index() const {
  if (index_.owed()) index_.Build(units_);
  return index_;
}

bool Position::SameAsSaved() const {
  // Exact without a pass over the list: every change of a slot takes its stack out of the
  // fingerprint and puts it back, and the count of slots as saved with it.
  return saved_ && !hand_.active && fingerprint_ == savedFingerprint_ &&
         saved_->size() == units_.size() && slotsAsSaved_ == units_.size();
}

void Position::NoticeSavedBoard() {
  // Back at the board last loaded or saved, it is that board again, and clean.
  if (revision_ != savedRevision_ && savedRevision_ != kNoRevision && SameAsSaved())
    revision_ = savedRevision_;
}

void Position::Changed(const Unit& unit) {
  NewRevision();
  pending_.units.push_back(unit);
}

void Position::ChangedEverywhere() {
  NewRevision();
  pending_.units.clear();
  pending_.everywhere = true;
}

void Position::Publish() {
  if (pending_.empty()) return;
  BoardChange change = std::move(pending_);
  pending_ = BoardChange{};
  if (observer_) observer_->BoardChanged(change);
}

Unit* Position::MergeTarget(const Unit& rec, const Unit* skip) {
  // The first in list order of the units near the point or in the same sector.
  std::vector<uint32_t> candidates;
  Index().SlotsIn(int64_t{rec.x} - kMergeReachX, int64_t{rec.y} - kMergeReachY,
                  int64_t{rec.x} + kMergeReachX, int64_t{rec.y} + kMergeReachY, candidates);
  if (grid_ && rec.sector != 0)
    Index().SlotsOfKind(rec.sector, rec.country, rec.pieceType, candidates);
  Unit* found = nullptr;
  for (uint32_t slot : candidates) {
    Unit* u = units_[slot];
    if (u == skip || u->country != rec.country || u->pieceType != rec.pieceType) continue;
    if (found && u->slot >= found->slot) continue;
    const bool near = std::abs(int32_t{rec.x} - u->x) <= kMergeReachX &&
                      std::abs(int32_t{rec.y} - u->y) <= kMergeReachY;
    const bool sameSector = grid_ && rec.sector == u->sector && rec.sector != 0;
    if (near || sameSector) found = u;
  }
  return found;
}

const Unit* Position::AddUnit(Unit& rec, uint16_t* added) {
  const Transaction transaction(*this);
  if (grid_) {
    if (!grid_->contains(rec.x, rec.y)) return nullptr;
    rec.sector = grid_->valueAt(rec.x, rec.y);
  }
  if (Unit* u = MergeTarget(rec)) {
    const uint16_t taken =
        static_cast<uint16_t>(std::min<uint32_t>(rec.count, kMaxCount - u->count));
    if (taken == 0 && rec.count != 0) return nullptr;
    if (taken != 0) SetCount(*u, static_cast<uint16_t>(u->count + taken));
    rec = *u;
    if (added) *added = taken;
    return u;
  }
  BeforeListChange();
  Unit* unit = pool_.Allocate(rec);
  unit->slot = static_cast<uint32_t>(units_.size());
  Journal(ListStep::kAppend, *unit);
  unit->serial = nextSerial_++;
  units_.push_back(unit);
  index_.Insert(*unit, unit->slot);
  Changed(*unit);
  Fingerprint(*unit, +1);
  AdjustStrength(*unit, +1);
  if (TriggersRecompute(*unit)) RecomputeTotals();
  if (added) *added = rec.count;
  return unit;
}

void Position::RemoveUnit(const Unit* gone) {
  const Transaction transaction(*this);
  Unit* unit = Mutable(gone);
  if (!unit) return;
  BeforeListChange();
  Journal(ListStep::kRemove, *unit);
  Changed(*unit);
  Fingerprint(*unit, -1);
  AdjustStrength(*unit, -1);
  bool recompute = TriggersRecompute(*unit);
  const uint32_t slot = unit->slot;
  index_.Erase(*unit, slot);
  if (slot + 1 != units_.size()) {
    units_[slot] = units_.back();
    Fingerprint(*units_[slot], -1);
    index_.Reslot(*units_[slot], units_[slot]->slot, slot);
    units_[slot]->slot = slot;
    Fingerprint(*units_[slot], +1);
    // Now earlier in the list, it may be drawn under units it covered.
    Changed(*units_[slot]);
    // A marker moved forward in the list may no longer be the last of its sector.
    recompute = recompute || units_[slot]->pieceType == 0;
  }
  units_.pop_back();
  pool_.Release(unit);
  if (recompute) RecomputeTotals();
}

void Position::ClearList() {
  // The list that goes is no board to come back to; a load marks its own clean.
  snapshotPending_ = false;
  saved_.reset();
  // What could be redone names stacks of the list that goes.
  redo_.clear();
  successors_.clear();
  units_.clear();
  index_.Clear();
  pool_.Clear();
  hand_ = Hand{};
  fingerprint_ = 0;
  fingerprintOwed_ = savedFingerprintOwed_ = false;
  ChangedEverywhere();
}

void Position::RemoveAllUnits() {
  const Transaction transaction(*this);
  // Emptying the board for the next position to load is no change of the user's.
  const bool clean = !dirty();
  ClearList();
  RecomputeTotals();
  if (clean) MarkClean();
}

void Position::BeforeReplace() {
  for (CountryTotal& t : totals_) t.land = t.naval = 0;
  pending_.totals = true;
}

void Position::ReplaceUnits(std::vector<Unit> units) {
  ReplaceUnits(units.size(), [&](size_t i) -> const Unit& { return units[i]; });
}

void Position::ReassignSectors() {
  const Transaction transaction(*this);
  if (!grid_) return;
  pending_.totals = true;
  bool moved = false;
  for (Unit* u : units_) {
    if (!grid_->contains(u->x, u->y)) continue;
    const uint16_t sector = grid_->valueAt(u->x, u->y);
    if (sector == u->sector) continue;
    BeforeListChange();
    AdjustStrength(*u, -1);
    u->sector = sector;
    AdjustStrength(*u, +1);
    moved = true;
  }
  // The index knows the units by sector: only a unit in another sector now changes it.
  if (moved) {
    index_.Invalidate();
    if (!fingerprintOwed_) FingerprintAll();
  }
}

void Position::SettleOnMap() {
  const Transaction transaction(*this);
  ReassignSectors();
  RecomputeTotals();
}

void Position::SetSectorGrid(std::optional<SectorGrid> grid) {
  ShareSectorGrid(grid && !grid->empty() ? std::make_shared<const SectorGrid>(std::move(*grid))
                                         : nullptr);
}

void Position::ShareSectorGrid(std::shared_ptr<const SectorGrid> grid) {
  grid_ = std::move(grid);
  if (grid_ && grid_->empty()) grid_.reset();
  SetSectorTable(std::nullopt);
}

void Position::SetSectorTable(std::optional<SectorTable> table) {
  sectors_ = std::move(table);
  // A table just read has no moved label points.
  exportedLabelRevision_ = labelRevision_;
}

const SectorRecord* Position::sectorRecord(uint32_t sector) const {
  if (!sectors_ || !IsSectorNumber(sector)) return nullptr;
  return &(*sectors_)[sector];
}

void Position::SetLabelPosition(int32_t col, int32_t row) {
  const Transaction transaction(*this);
  if (!grid_ || !sectors_ || !grid_->contains(col, row)) return;
  const uint16_t n = grid_->valueAt(col, row);
  if (n >= kSectorSlots) return;
  SectorRecord& record = (*sectors_)[n];
  if (record.labelX() == col && record.labelY() == row) return;
  pending_.labels.push_back({n, record.labelX(), record.labelY()});
  record.setLabelX(col);
  record.setLabelY(row);
  pending_.labels.push_back({n, col, row});
  ++labelRevision_;
}

}  // namespace mw
