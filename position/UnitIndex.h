// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "LargeMemory.h"
#include "Unit.h"

namespace mw {

// Where the units of the list stand: their slots by cells of 64 x 64 map pixels, and by sector,
// country and kind together, so that finding the units near a point, the units a new piece merges
// with in its sector, or the units in a rectangle costs what lies there, not the whole list. The
// position keeps it in step with every change of the list.
//
// A whole list is indexed flat: its slots sorted by cell and by kind into two contiguous arrays,
// in passes that count and then place (no allocation per cell or kind). Edits after that change
// those arrays in place where they can: a removed unit leaves a gap, a unit moved to another slot
// is renamed where it stands, and a new unit goes into a small side index. Once the side index
// and the gaps outgrow a quarter of the arrays, `stale()` asks for the list to be indexed again.
class UnitIndex {
 public:
  static constexpr int kCell = 64;

  // An index of no units.
  void Clear();
  // Indexes the whole list; unit i stands at slot i.
  void Build(const LargeVector<Unit*>& units);
  // The list is no longer what the index holds (a new list, stacks in other sectors, too many
  // edits since the build): it must be built before it is asked, and edits until then are not
  // noted, since the build takes the list as it then is.
  void Invalidate() { owed_ = true; }
  bool owed() const { return owed_; }
  void Insert(const Unit& unit, uint32_t slot);
  void Erase(const Unit& unit, uint32_t slot);
  // The unit at slot `from` now stands at slot `to`.
  void Reslot(const Unit& unit, uint32_t from, uint32_t to);
  // Whether edits have left enough gaps and side entries that indexing the list again pays.
  bool stale() const { return gaps_ + sideEntries_ > 1024 + flat_ / 2; }

  // The slots of the units whose point lies in [left, right] x [top, bottom], in no order.
  void SlotsIn(int64_t left, int64_t top, int64_t right, int64_t bottom,
               std::vector<uint32_t>& out) const;
  // The slots of the units of one kind and country in a sector, in no order.
  void SlotsOfKind(uint16_t sector, uint8_t country, uint8_t pieceType,
                   std::vector<uint32_t>& out) const;

 private:
  static constexpr uint32_t kGap = UINT32_MAX;

  struct KindEntry {
    uint32_t key;
    uint32_t slot;
  };

  static uint32_t CellKey(int64_t cx, int64_t cy) {
    return static_cast<uint32_t>(cx) << 16 | static_cast<uint32_t>(cy);
  }
  static uint32_t KindKey(uint16_t sector, uint8_t country, uint8_t pieceType) {
    return uint32_t{sector} << 16 | uint32_t{country} << 8 | pieceType;
  }
  static uint32_t KindKey(const Unit& u) { return KindKey(u.sector, u.country, u.pieceType); }
  // The flat cell of a unit, or none when it lies outside the cells of the last build.
  bool FlatCell(const Unit& u, size_t& cell) const;
  // The slots of the flat arrays that hold a unit's entries.
  uint32_t* FlatCellEntry(const Unit& u, uint32_t slot);
  uint32_t* FlatKindEntry(const Unit& u, uint32_t slot);
  // The flat entries of a sector.
  std::pair<const KindEntry*, const KindEntry*> FlatSector(uint16_t sector) const;
  static bool Remove(std::vector<uint32_t>& slots, uint32_t slot);
  // A build in steps: BeginBuild with the number of units, Note for each unit in slot order,
  // then FinishBuild.
  void BeginBuild(size_t count);
  void Note(const Unit& u) {
    const uint32_t cx = u.x / kCell, cy = u.y / kCell;
    maxCx_ = std::max(maxCx_, cx);
    maxCy_ = std::max(maxCy_, cy);
    maxSector_ = std::max<uint32_t>(maxSector_, u.sector);
    notes_[noted_++] = Noted{cx | cy << 16, KindKey(u)};
  }
  void FinishBuild();

  bool owed_ = false;

  // Built flat: the slots of cell (cx, cy) are cellSlots_[cellStart_[c]..cellStart_[c + 1]) with
  // c = cy * cellsWide_ + cx; the entries of sector s are kinds_[sectorStart_[s]..
  // sectorStart_[s + 1]), in slot order. The arrays keep their memory from build to build.
  int64_t cellsWide_ = 0, cellsHigh_ = 0;
  std::vector<uint32_t> cellStart_;
  LargeVector<uint32_t> cellSlots_;
  LargeVector<KindEntry> kinds_;
  std::vector<uint32_t> sectorStart_;
  size_t flat_ = 0;
  size_t gaps_ = 0;
  // What a build needs only while it sorts.
  struct Noted {
    uint32_t cell;  // cx | cy << 16
    uint32_t kind;
  };
  LargeVector<Noted> notes_;
  size_t noted_ = 0;
  uint32_t maxCx_ = 0, maxCy_ = 0, maxSector_ = 0;

  // Units added since the build.
  std::unordered_map<uint32_t, std::vector<uint32_t>> sideCells_;
  std::unordered_map<uint32_t, std::vector<uint32_t>> sideKinds_;
  size_t sideEntries_ = 0;
};

}  // namespace mw
