#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "CountryTotals.h"
#include "MapInfo.h"
#include "PieceTable.h"
#include "PositionHeader.h"
#include "SectorGrid.h"
#include "SectorTable.h"
#include "UndoEntry.h"
#include "Unit.h"

namespace mw {

// The storage of the stacks: each stack keeps its address for as long as it is in the list, as the
// references to it rely on, while stacks are allocated a block of 1024 at a time instead of one by
// one, so that loading a large position costs a few allocations, not one per stack.
class UnitPool {
 public:
  Unit* Allocate(const Unit& value);
  // Room for up to `wanted` stacks side by side, to be constructed in place by the caller; `got`
  // says how many it holds (at least 1).
  Unit* TakeRun(size_t wanted, size_t& got);
  void Release(Unit* unit) { free_.push_back(unit); }
  void Clear();

 private:
  static constexpr size_t kBlock = 1024;
  // Raw storage: a stack is constructed in its place when it is allocated. A cleared pool keeps
  // its blocks for the next position.
  std::vector<std::unique_ptr<std::byte[]>> blocks_;
  size_t block_ = 0;  // the block being filled
  size_t used_ = 0;   // stacks taken from it
  std::vector<Unit*> free_;
};

// What the position asks of whoever shows it: the info view after the totals were recomputed or
// adjusted, and the map area around a stack that an edit or an undo touched.
class PositionObserver {
 public:
  virtual ~PositionObserver() = default;
  virtual void TotalsChanged() = 0;
  virtual void UnitAreaChanged(const Unit& unit) = 0;
};

// The game position: the stacks on the map in list order, the totals that follow from them and
// from the sector table, the undo history and the flag of unsaved changes. It holds the sector
// context of the current map (grid, sector table, piece table, alliances) that map loading attaches.
class Position {
 public:
  Position() = default;
  Position(const Position&) = delete;
  Position& operator=(const Position&) = delete;

  void SetObserver(PositionObserver* observer) { observer_ = observer; }

  // --- the unit list -------------------------------------------------------------------------
  size_t unitCount() const { return units_.size(); }
  const Unit& unit(size_t index) const { return *units_[index]; }
  Unit& unit(size_t index) { return *units_[index]; }
  // The stack a reference names, or none when it has been removed since.
  Unit* Resolve(StackRef ref);

  // The first stack in list order within 7 pixels across and 5 down or up of (x, y); its record
  // is copied into `out` when one is found.
  Unit* FindUnitAt(int32_t x, int32_t y, Unit* out = nullptr);
  // Adds the pieces of `rec`: merged into the first stack of the same kind and country near it or
  // in the same sector (the merged stack is then copied into `rec`), else as a new stack at the
  // end. None when the point lies outside an attached grid.
  Unit* AddUnit(Unit& rec);
  void RemoveUnit(Unit* stack);
  void RemoveAllUnits();
  // Replaces the whole list, as a position load does; stacks get their slots and serials here.
  void ReplaceUnits(std::vector<Unit> units);
  // The same with `count` stacks that `make(i)` gives one by one.
  template <class Make>
  void ReplaceUnits(size_t count, Make make) {
    units_.clear();
    pool_.Clear();
    units_.resize(count);
    for (size_t i = 0; i < count;) {
      size_t got = 0;
      Unit* run = pool_.TakeRun(count - i, got);
      for (size_t k = 0; k < got; ++k, ++i) {
        Unit* u = new (run + k) Unit(make(i));
        u->slot = static_cast<uint32_t>(i);
        u->serial = nextSerial_++;
        units_[i] = u;
      }
    }
  }
  void ReassignSectors();

  // --- the sector context ----------------------------------------------------------------------
  // Takes a new grid (none detaches it) and drops the sector table.
  void SetSectorGrid(std::optional<SectorGrid> grid);
  void SetSectorTable(std::optional<SectorTable> table) { sectors_ = std::move(table); }
  void SetPieceTable(const PieceTable& pieces) { pieces_ = pieces; }
  void SetAlliances(const AllianceTable& alliances) { alliances_ = alliances; }
  const SectorGrid* grid() const { return grid_ ? &*grid_ : nullptr; }
  const SectorTable* sectorTable() const { return sectors_ ? &*sectors_ : nullptr; }
  const PieceTable& pieces() const { return pieces_; }
  const AllianceTable& alliances() const { return alliances_; }
  // The sector record of a sector number, or none without a table or for 0 and 512 and above.
  const SectorRecord* sectorRecord(uint32_t sector) const;
  // Moves the label point of the sector under (col, row) there.
  void SetLabelPosition(int32_t col, int32_t row);

  // --- totals ----------------------------------------------------------------------------------
  const CountryTotals& totals() const { return totals_; }
  const CountryTotal& totalOf(uint32_t country) const { return totals_[country]; }
  void ClearTotals();
  void RecomputeTotals();
  // Adds value x count of a piece kind to the country's land or naval total, by its category.
  void AdjustStrength(uint8_t country, uint8_t pieceType, int64_t count);
  bool IsAllied(int32_t a, int32_t b) const;
  void NotifyTotalsChanged();
  void NotifyUnitArea(const Unit& unit);

  // --- undo history, newest first ----------------------------------------------------------------
  void RecordAdd(const Unit& stack);
  void RecordRemove(const Unit& stack, uint16_t removed);
  void RecordMove(const Unit& before, const Unit& after);
  void UndoLast();
  void ClearUndo() { undo_.clear(); }
  size_t undoDepth() const { return undo_.size(); }
  // Entry `age` of the history, 0 being the newest.
  const UndoEntry& undoEntry(size_t age) const { return undo_[undo_.size() - 1 - age]; }

  // --- document ----------------------------------------------------------------------------------
  bool dirty() const { return dirty_; }
  void setDirty(bool dirty) { dirty_ = dirty; }
  PositionHeader& header() { return header_; }
  const PositionHeader& header() const { return header_; }
  std::string mapName() const { return header_.mapName(); }

 private:
  bool TriggersRecompute(const Unit& stack) const;
  Unit* UndoAt(uint16_t x, uint16_t y, uint16_t count);
  void UndoRemoval(const UndoEntry& entry);

  UnitPool pool_;
  std::vector<Unit*> units_;  // the list, in order; slot i holds units_[i]
  uint64_t nextSerial_ = 1;
  std::optional<SectorGrid> grid_;
  std::optional<SectorTable> sectors_;
  PieceTable pieces_;
  AllianceTable alliances_{};
  CountryTotals totals_{};
  std::vector<UndoEntry> undo_;
  bool dirty_ = false;
  PositionHeader header_;
  PositionObserver* observer_ = nullptr;
};

}  // namespace mw
