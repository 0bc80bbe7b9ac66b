// SPDX-License-Identifier: GPL-3.0-or-later
#include "UnitIndex.h"

#include <algorithm>

namespace mw {

void UnitIndex::Clear() {
  // The flat arrays keep their memory for the next build: a load writes over it.
  owed_ = false;
  cellsWide_ = cellsHigh_ = 0;
  cellStart_.clear();
  sectorStart_.clear();
  flat_ = 0;
  gaps_ = 0;
  sideCells_.clear();
  sideKinds_.clear();
  sideEntries_ = 0;
}

void UnitIndex::Build(const LargeVector<Unit*>& units) {
  BeginBuild(units.size());
  for (const Unit* u : units) Note(*u);
  FinishBuild();
}

void UnitIndex::BeginBuild(size_t count) {
  Clear();
  if (notes_.size() < count) notes_.resize(count);
  noted_ = 0;
  maxCx_ = maxCy_ = maxSector_ = 0;
}

void UnitIndex::FinishBuild() {
  const size_t n = noted_;
  if (n == 0) return;
  cellsWide_ = maxCx_ + 1;
  cellsHigh_ = maxCy_ + 1;
  const size_t cells = static_cast<size_t>(cellsWide_ * cellsHigh_);
  auto flatCell = [&](uint32_t cell) {
    return (cell >> 16) * static_cast<size_t>(cellsWide_) + (cell & 0xFFFF);
  };

  // One pass counts the units of every cell and every sector, the counts become starts, and one
  // pass places the slots by cell and by sector (a sort by counting: stable, in slot order).
  cellStart_.assign(cells + 1, 0);
  sectorStart_.assign(maxSector_ + 2, 0);
  for (size_t i = 0; i < n; ++i) {
    ++cellStart_[flatCell(notes_[i].cell) + 1];
    ++sectorStart_[(notes_[i].kind >> 16) + 1];
  }
  for (size_t c = 0; c < cells; ++c) cellStart_[c + 1] += cellStart_[c];
  for (size_t b = 0; b + 1 < sectorStart_.size(); ++b) sectorStart_[b + 1] += sectorStart_[b];

  if (cellSlots_.size() < n) cellSlots_.resize(n);
  if (kinds_.size() < n) kinds_.resize(n);
  for (uint32_t slot = 0; slot < n; ++slot) {
    const Noted note = notes_[slot];
    // Each start runs ahead to the start of the next cell or sector and is put back below.
    cellSlots_[cellStart_[flatCell(note.cell)]++] = slot;
    kinds_[sectorStart_[note.kind >> 16]++] = KindEntry{note.kind, slot};
  }
  for (size_t c = cells; c > 0; --c) cellStart_[c] = cellStart_[c - 1];
  cellStart_[0] = 0;
  for (size_t b = sectorStart_.size() - 1; b > 0; --b) sectorStart_[b] = sectorStart_[b - 1];
  sectorStart_[0] = 0;
  flat_ = n;
}

std::pair<const UnitIndex::KindEntry*, const UnitIndex::KindEntry*> UnitIndex::FlatSector(
    uint16_t sector) const {
  if (size_t{sector} + 1 >= sectorStart_.size()) return {nullptr, nullptr};
  return {kinds_.data() + sectorStart_[sector], kinds_.data() + sectorStart_[sector + 1]};
}

bool UnitIndex::FlatCell(const Unit& u, size_t& cell) const {
  const int64_t cx = u.x / kCell, cy = u.y / kCell;
  if (cx >= cellsWide_ || cy >= cellsHigh_) return false;
  cell = static_cast<size_t>(cy * cellsWide_ + cx);
  return true;
}

uint32_t* UnitIndex::FlatCellEntry(const Unit& u, uint32_t slot) {
  size_t cell = 0;
  if (!FlatCell(u, cell)) return nullptr;
  const auto first = cellSlots_.begin() + cellStart_[cell];
  const auto last = cellSlots_.begin() + cellStart_[cell + 1];
  const auto it = std::find(first, last, slot);
  return it == last ? nullptr : &*it;
}

uint32_t* UnitIndex::FlatKindEntry(const Unit& u, uint32_t slot) {
  const uint32_t key = KindKey(u);
  for (auto [it, end] = FlatSector(u.sector); it != end; ++it)
    if (it->slot == slot && it->key == key) return &const_cast<KindEntry*>(it)->slot;
  return nullptr;
}

bool UnitIndex::Remove(std::vector<uint32_t>& slots, uint32_t slot) {
  auto it = std::find(slots.begin(), slots.end(), slot);
  if (it == slots.end()) return false;
  *it = slots.back();
  slots.pop_back();
  return true;
}

void UnitIndex::Insert(const Unit& unit, uint32_t slot) {
  if (owed_) return;
  sideCells_[CellKey(unit.x / kCell, unit.y / kCell)].push_back(slot);
  sideKinds_[KindKey(unit)].push_back(slot);
  sideEntries_ += 2;
}

void UnitIndex::Erase(const Unit& unit, uint32_t slot) {
  if (owed_) return;
  for (uint32_t* entry : {FlatCellEntry(unit, slot), FlatKindEntry(unit, slot)})
    if (entry) {
      *entry = kGap;
      ++gaps_;
    }
  if (auto it = sideCells_.find(CellKey(unit.x / kCell, unit.y / kCell)); it != sideCells_.end())
    sideEntries_ -= Remove(it->second, slot);
  if (auto it = sideKinds_.find(KindKey(unit)); it != sideKinds_.end())
    sideEntries_ -= Remove(it->second, slot);
}

void UnitIndex::Reslot(const Unit& unit, uint32_t from, uint32_t to) {
  if (owed_) return;
  if (uint32_t* entry = FlatCellEntry(unit, from))
    *entry = to;
  else if (auto it = sideCells_.find(CellKey(unit.x / kCell, unit.y / kCell));
           it != sideCells_.end())
    std::replace(it->second.begin(), it->second.end(), from, to);
  if (uint32_t* entry = FlatKindEntry(unit, from))
    *entry = to;
  else if (auto it = sideKinds_.find(KindKey(unit)); it != sideKinds_.end())
    std::replace(it->second.begin(), it->second.end(), from, to);
}

void UnitIndex::SlotsIn(int64_t left, int64_t top, int64_t right, int64_t bottom,
                        std::vector<uint32_t>& out) const {
  if (right < 0 || bottom < 0 || left > 65535 || top > 65535 || left > right || top > bottom)
    return;
  // Unit points are 16-bit numbers: cells 0 to 1023 each way.
  const int64_t cx0 = std::clamp<int64_t>(left, 0, 65535) / kCell;
  const int64_t cx1 = std::clamp<int64_t>(right, 0, 65535) / kCell;
  const int64_t cy0 = std::clamp<int64_t>(top, 0, 65535) / kCell;
  const int64_t cy1 = std::clamp<int64_t>(bottom, 0, 65535) / kCell;

  // The cells of one row of the rectangle lie side by side in the flat array.
  if (cx0 < cellsWide_ && cy0 < cellsHigh_) {
    const int64_t fx1 = std::min(cx1, cellsWide_ - 1), fy1 = std::min(cy1, cellsHigh_ - 1);
    for (int64_t cy = cy0; cy <= fy1; ++cy) {
      const uint32_t first = cellStart_[static_cast<size_t>(cy * cellsWide_ + cx0)];
      const uint32_t last = cellStart_[static_cast<size_t>(cy * cellsWide_ + fx1 + 1)];
      for (uint32_t i = first; i < last; ++i)
        if (cellSlots_[i] != kGap) out.push_back(cellSlots_[i]);
    }
  }

  if (sideCells_.empty()) return;
  const int64_t cells = (cx1 - cx0 + 1) * (cy1 - cy0 + 1);
  if (cells > static_cast<int64_t>(sideCells_.size())) {
    // A rectangle larger than the side cells in use: go through those instead.
    for (const auto& [key, slots] : sideCells_) {
      const int64_t cx = key >> 16, cy = key & 0xFFFF;
      if (cx >= cx0 && cx <= cx1 && cy >= cy0 && cy <= cy1)
        out.insert(out.end(), slots.begin(), slots.end());
    }
    return;
  }
  for (int64_t cy = cy0; cy <= cy1; ++cy)
    for (int64_t cx = cx0; cx <= cx1; ++cx) {
      auto it = sideCells_.find(CellKey(cx, cy));
      if (it != sideCells_.end()) out.insert(out.end(), it->second.begin(), it->second.end());
    }
}

void UnitIndex::SlotsOfKind(uint16_t sector, uint8_t country, uint8_t pieceType,
                            std::vector<uint32_t>& out) const {
  const uint32_t key = KindKey(sector, country, pieceType);
  for (auto [it, end] = FlatSector(sector); it != end; ++it)
    if (it->key == key && it->slot != kGap) out.push_back(it->slot);
  if (auto side = sideKinds_.find(key); side != sideKinds_.end())
    out.insert(out.end(), side->second.begin(), side->second.end());
}

}  // namespace mw
