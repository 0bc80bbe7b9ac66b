// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "CountryTotals.h"
#include "EditCommand.h"
#include "MapInfo.h"
#include "Modifiers.h"
#include "PieceTable.h"
#include "PositionHeader.h"
#include "SectorGrid.h"
#include "SectorIncome.h"
#include "SectorTable.h"
#include "UndoEntry.h"
#include "Unit.h"
#include "UnitIndex.h"

namespace mw {

// The storage of the units: each unit keeps its address for as long as it is in the list, as the
// references to it rely on, while units are allocated a block of 1024 at a time instead of one by
// one, so that loading a large position costs a few allocations, not one per unit.
class UnitPool {
 public:
  Unit* Allocate(const Unit& value);
  // Room for up to `wanted` units side by side, to be constructed in place by the caller; `got`
  // says how many it holds (at least 1).
  Unit* TakeRun(size_t wanted, size_t& got);
  void Release(Unit* unit) { free_.push_back(unit); }
  void Clear();

 private:
  static constexpr size_t kBlock = 1024;
  // Raw storage: a unit is constructed in its place when it is allocated. A block holds kBlock
  // units, or a whole run that a load asks for. A cleared pool keeps its blocks for the next
  // position.
  std::vector<LargeVector<std::byte>> blocks_;
  size_t block_ = 0;  // the block being filled
  size_t used_ = 0;   // units taken from it
  std::vector<Unit*> free_;
};

// Where a sector's income label stood or stands: its point and the sector whose income it shows.
struct LabelPoint {
  uint16_t sector = 0;
  int32_t x = 0;
  int32_t y = 0;
};

// What changed on the board in one call of the position, told once the call is over, so that
// whoever shows the board sees it whole: the units whose area to repaint (as they were before and
// as they are after a change: a unit added, removed, changed in count or moved to another place
// in the list order), or all of the map; and the income labels that moved.
struct BoardChange {
  std::vector<Unit> units;
  bool everywhere = false;
  std::vector<LabelPoint> labels;
  bool totals = false;  // the totals were recomputed or adjusted

  bool empty() const { return units.empty() && !everywhere && labels.empty() && !totals; }
};

// What the position asks of whoever shows it.
class PositionObserver {
 public:
  virtual ~PositionObserver() = default;
  virtual void BoardChanged(const BoardChange& change) = 0;
};

// The pieces being carried with the mouse and the unit they came from. They still belong to the
// board: their strength stays in their country's totals until they are put down or go back.
struct Hand {
  Unit carried;    // a record outside the list; its `count` is the number carried
  UnitRef source;  // the unit the pieces came from
  bool active = false;
  // The board's revision at the pick-up, which moves pieces but changes no board: pieces that go
  // back where they came from, with nothing else changed meanwhile, leave it as it was.
  uint64_t revision = 0;
  std::vector<ListStep> steps;  // what the pick-up did to the list, for the move's undo
};

// The game position: the units on the map in list order, the pieces in the hand, the totals that
// follow from them and from the sector table, the undo history and the flag of unsaved changes. It
// holds the sector context of the current map (grid, sector table, piece table, alliances) that map
// loading attaches.
//
// Every change of the board is one call here that changes the units, the strength totals, the
// undo history and the board's revision together; nothing outside sequences those steps. The
// primitives of the list (a count changed, a unit appended, removed or moved in the list) raise
// the revision and collect the areas they touch themselves, and the observer hears of them once
// the call is over. At every moment each country's land and naval totals equal the worth of its
// units in the list plus the pieces in the hand (units of sectors from 512 on are worth nothing),
// and `dirty` is set whenever the board differs from the one last loaded or saved.
class Position {
 public:
  Position() = default;
  Position(const Position&) = delete;
  Position& operator=(const Position&) = delete;

  void SetObserver(PositionObserver* observer) { observer_ = observer; }

  // --- the unit list -------------------------------------------------------------------------
  size_t unitCount() const { return units_.size(); }
  const Unit& unit(size_t index) const { return *units_[index]; }
  // The unit a reference names, or none when it has been removed since.
  const Unit* Resolve(UnitRef ref) const;

  // The first unit in list order within 7 pixels across and 5 down or up of (x, y); its record
  // is copied into `out` when one is found.
  const Unit* FindUnitAt(int32_t x, int32_t y, Unit* out = nullptr) const;
  // Adds the pieces of `rec`: merged into the first unit of the same kind and country near it or
  // in the same sector (the merged unit is then copied into `rec`), else as a new unit at the
  // end. A unit holds at most kMaxCount pieces; a merge takes what fits and `added` (when given)
  // says how many that was. None when the point lies outside an attached grid, or when the unit
  // it would merge into is full; then nothing changes.
  const Unit* AddUnit(Unit& rec, uint16_t* added = nullptr);
  // Takes a unit of the list away, with its pieces' strength.
  void RemoveUnit(const Unit* unit);
  // Takes every unit away and empties the hand; neither `dirty` nor the history changes.
  void RemoveAllUnits();
  // Replaces the whole list, as a position load does: the hand is emptied and the strength
  // totals follow the new units. Units get their slots and serials here.
  void ReplaceUnits(std::vector<Unit> units);
  // The same with `count` units that `make(i)` gives one by one.
  template <class Make>
  void ReplaceUnits(size_t count, Make make) {
    const Transaction transaction(*this);
    ClearList();
    BeforeReplace();
    // Made without a value (the list's memory is not zeroed) and filled in order below.
    units_.resize(count);
    Unit** list = units_.data();
    // The index is built when it is first asked for: a load whose stacks are only counted (a
    // report, a turn's totals) never pays for it.
    index_.Invalidate();
    // The strength as AdjustStrength adds it, unit by unit, but without a branch: each unit's
    // worth goes to its country's land, naval or (for other kinds) unused sum, added to the
    // totals once at the end.
    std::array<int64_t, 256> worth;
    std::array<uint8_t, 256> sum;
    for (size_t kind = 0; kind < 256; ++kind) {
      worth[kind] = pieces_[kind].value;
      sum[kind] = pieces_[kind].category == 0 ? 0 : pieces_[kind].category == 1 ? 1 : 2;
    }
    std::array<std::array<int64_t, 3>, 256> strength{};
    uint64_t serial = nextSerial_;
    try {
      for (size_t i = 0; i < count;) {
        size_t got = 0;
        Unit* run = pool_.TakeRun(count - i, got);
        for (size_t k = 0; k < got; ++k, ++i) {
          Unit u = make(i);
          u.slot = static_cast<uint32_t>(i);
          u.serial = serial++;
          PlaceUnit(run + k, u);
          list[i] = run + k;
          const int64_t w = worth[u.pieceType] * u.count & -int64_t{u.sector < kSectorSlots};
          strength[u.country][sum[u.pieceType]] += w;
        }
      }
    } catch (...) {
      // Memory for the units ran out: the list is left empty, as its totals are, not holding
      // places never filled.
      units_.clear();
      throw;
    }
    nextSerial_ = serial;
    for (size_t country = 0; country < 256; ++country) {
      totals_[country].land += strength[country][0];
      totals_[country].naval += strength[country][1];
    }
    // The fingerprint is summed when the list first changes: a load that is only read never
    // pays for it.
    fingerprintOwed_ = true;
  }
  void ReassignSectors();
  // Places every stack in the sector under it and counts every total again: what a board needs
  // once it, or the map it stands on, was read.
  void SettleOnMap();
  // The units whose point lies in [left, right] x [top, bottom] of map pixels, in list order.
  std::vector<const Unit*> UnitsIn(int64_t left, int64_t top, int64_t right, int64_t bottom) const;
  // Whether the index of the units agrees with the list; an empty text when it does.
  std::string CheckIndex() const;

  // --- the edits of the user, each one transaction ---------------------------------------------
  // Places `PlaceCount(modifiers)` new pieces of a kind and country at (x, y) and records what was
  // added. Returns the record placed (with the count really added), or none when nothing could be
  // added (outside the grid, or onto a full unit).
  std::optional<Unit> PlacePiece(int32_t x, int32_t y, uint8_t pieceType, uint8_t country,
                                 unsigned modifiers);
  // Takes pieces from the first unit at (x, y) and records the removal; a unit left empty goes.
  // Returns a copy of the unit as it was hit, or none when no unit with pieces lies there.
  std::optional<Unit> RemoveAt(int32_t x, int32_t y, unsigned modifiers);
  // Takes pieces from the first unit at (x, y) into the hand. Nothing is recorded. False when no
  // unit with pieces lies there or the hand is already full.
  bool PickUp(int32_t x, int32_t y, unsigned modifiers);
  // Puts the carried pieces down at (x, y): an emptied source goes, the pieces are added there
  // (merging as AddUnit does) and the move is recorded. Returns the record of where they landed.
  // A drop that cannot be made (outside the grid, onto a full unit) leaves the position exactly
  // as it was before the pick-up and returns none.
  std::optional<Unit> Drop(int32_t x, int32_t y);
  // Returns the carried pieces to their source. Nothing is recorded.
  void CancelCarry();
  // Makes a move of the history again on the board it was made on, stack for stack and in list
  // order as the edit made it: the stacks are found by their exact place, kind and country. False,
  // and nothing changed, where the board has no such stack or no room for the pieces. Nothing is
  // recorded.
  bool ApplyMove(const UndoEntry& move);
  const Hand& hand() const { return hand_; }
  bool carrying() const { return hand_.active; }

  // --- the sector context ----------------------------------------------------------------------
  // Takes a new grid (none detaches it) and drops the sector table.
  void SetSectorGrid(std::optional<SectorGrid> grid);
  void SetSectorTable(std::optional<SectorTable> table);
  void SetPieceTable(const PieceTable& pieces) { pieces_ = pieces; }
  void SetAlliances(const AllianceTable& alliances) { alliances_ = alliances; }
  // The names the map gives its countries ("country N Name" lines), for what is shown in words.
  void SetCountryNames(const CountryNames& names) { countryNames_ = names; }
  const CountryNames& countryNames() const { return countryNames_; }
  const SectorGrid* grid() const { return grid_.get(); }
  // The grid as it is shared: positions of one map hold one grid, which none of them changes.
  const std::shared_ptr<const SectorGrid>& sharedGrid() const { return grid_; }
  void ShareSectorGrid(std::shared_ptr<const SectorGrid> grid);
  const SectorTable* sectorTable() const { return sectors_ ? &*sectors_ : nullptr; }
  const PieceTable& pieces() const { return pieces_; }
  const AllianceTable& alliances() const { return alliances_; }
  // The sector record of a sector number, or none without a table or for 0 and 512 and above.
  const SectorRecord* sectorRecord(uint32_t sector) const;
  // Moves the label point of the sector under (col, row) there.
  void SetLabelPosition(int32_t col, int32_t row);
  // Whether label points were moved since the sector table was attached or last exported.
  bool labelsMoved() const { return labelRevision_ != exportedLabelRevision_; }
  void MarkLabelsExported() { exportedLabelRevision_ = labelRevision_; }

  // --- totals ----------------------------------------------------------------------------------
  const CountryTotals& totals() const { return totals_; }
  const CountryTotal& totalOf(uint32_t country) const { return totals_[country]; }
  // Recomputes every total from scratch: the strength from the list and the hand, the income
  // (only while a sector table is attached) from who holds which sector.
  void RecomputeTotals();
  bool IsAllied(int32_t a, int32_t b) const;
  // For every sector: who holds it, what it yields under which heading, or why it yields
  // nothing. The income totals are the sums of this; without a sector table nobody holds any.
  SectorIncomes SectorIncomeBreakdown() const;
  // The land or naval worth of a unit record: value x count by its piece's category, nothing
  // for a sector from 512 on.
  int64_t StrengthOf(const Unit& unit) const;

  // --- undo and redo history, newest first
  // -------------------------------------------------------- Takes back the newest edit; pieces in
  // the hand go back to their source first. An undo that changed the board can be redone.
  void UndoLast();
  // Gives back the board as it was before the newest undo, stack for stack and in list order, and
  // puts its edit back into the undo history. Every new edit of the user ends what can be redone.
  void RedoLast();
  void ClearUndo() {
    undo_.clear();
    redo_.clear();
    successors_.clear();
  }
  size_t redoDepth() const { return redo_.size(); }
  size_t undoDepth() const { return undo_.size(); }
  // Entry `age` of the history, 0 being the newest.
  const UndoEntry& undoEntry(size_t age) const { return undo_[undo_.size() - 1 - age].entry(); }

  // --- document ----------------------------------------------------------------------------------
  // A number for the board as it stands: every change gives it a number it never had before, and
  // a board given back exactly (pieces put back where they were picked up) its old number again.
  uint64_t revision() const { return revision_; }
  // A 64-bit digest of the list, stack by stack with its slot.
  uint64_t fingerprint() {
    SettleFingerprint();
    return fingerprint_;
  }
  // Whether the board differs from the one last loaded or saved: edits, undos or redos that lead
  // back to it, stack for stack and in list order, leave it clean again.
  bool dirty() const { return revision_ != savedRevision_; }
  // The board was just loaded from or written to a file: it has no unsaved changes.
  void MarkClean();
  // The board was restored from a recovery copy: it has changes no file holds.
  void MarkUnsaved() { savedRevision_ = kNoRevision; }
  PositionHeader& header() { return header_; }
  const PositionHeader& header() const { return header_; }
  std::string mapName() const { return header_.mapName(); }

 private:
  Unit* Mutable(const Unit* unit);
  bool TriggersRecompute(const Unit& unit) const;
  // The unit that AddUnit would merge `rec` into (rec.sector already set), skipping `skip`.
  Unit* MergeTarget(const Unit& rec, const Unit* skip = nullptr);
  // Changes a unit's count (in the list or the hand) and its country's strength with it.
  void SetCount(Unit& unit, uint16_t count);
  void AdjustStrength(const Unit& unit, int64_t sign);
  void RecomputeIncome();
  void ClearList();
  // Zeroes the strength totals for the units of a new list.
  void BeforeReplace();
  // Takes the pieces out of the hand, with their strength; returns what it held.
  Unit EmptyHand();
  void ReturnHandTo(Unit* source);
  // Whether the board changed since the pick-up only by the pick-up itself.
  bool HandUntouched() const;

  Unit* StackExactlyAt(uint16_t x, uint16_t y, uint8_t pieceType, uint8_t country);
  bool PutMovedPieces(const UndoEntry& move);
  void Record(const UndoEntry& entry, UnitRef from, UnitRef to, std::vector<ListStep> steps);
  void RecordAdd(const Unit& unit, UnitRef to, std::vector<ListStep> steps);
  void RecordRemove(const Unit& unit, uint16_t removed, UnitRef from, std::vector<ListStep> steps);
  void RecordMove(const Unit& before, const Unit& after, UnitRef from, UnitRef to,
                  std::vector<ListStep> steps, bool listChanged);
  // What the edit commands do to the stacks they name.
  friend class EditCommand;
  // The stack a reference names, or the one that stands for it since an undo or a redo made it
  // again; none when it is gone.
  Unit* Follow(UnitRef ref);
  // Takes `count` pieces from the stack `ref` names, or where it is gone from the first stack
  // near (x, y); a stack left empty goes. False when there is no such stack.
  bool TakePieces(UnitRef ref, uint16_t x, uint16_t y, uint16_t count);
  // Puts pieces onto the stack `ref` names, or where it is gone as AddUnit puts them at their
  // place; that stack then stands for the one that went. False when they found no room.
  bool PutPieces(UnitRef ref, const Unit& pieces);
  // While an edit command's undo runs, what it does to the list is written into its steps.
  class Journaling {
   public:
    Journaling(Position& p, std::vector<ListStep>& steps) : p_(p) { p_.journal_ = &steps; }
    ~Journaling() { p_.journal_ = nullptr; }
    Journaling(const Journaling&) = delete;
    Journaling& operator=(const Journaling&) = delete;

   private:
    Position& p_;
  };
  void Journal(ListStep::Kind kind, const Unit& before);
  void TakeBack(const ListStep& step);

  // Opened by every call that may change the board: the outermost one tells the observer what
  // changed when it ends.
  class Transaction {
   public:
    explicit Transaction(Position& p) : p_(p) { ++p_.openTransactions_; }
    ~Transaction() {
      if (--p_.openTransactions_ != 0) return;
      if (p_.index_.stale()) p_.index_.Invalidate();
      p_.NoticeSavedBoard();
      p_.Publish();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

   private:
    Position& p_;
  };
  // The list changed where `unit` stands or stood: the board has a new revision.
  void Changed(const Unit& unit);
  void ChangedEverywhere();
  void NewRevision() { revision_ = ++lastRevision_; }
  void Publish();
  // The fingerprint of the list follows each stack that comes, goes or changes in its slot, so
  // that a board back at the saved one is told in constant time from one that is not; only
  // where the fingerprints agree are the stacks compared.
  void Fingerprint(const Unit& unit, int sign);
  static uint64_t Digest(const Unit& unit);
  void FingerprintAll();
  // Sums the fingerprint owed since a load, before the list changes or it is asked for.
  void SettleFingerprint();
  bool SameAsSaved() const;
  // Copies the list as last loaded or saved before its first change since.
  void BeforeListChange();
  void NoticeSavedBoard();

  static constexpr uint64_t kNoRevision = ~uint64_t{0};

  UnitPool pool_;
  LargeVector<Unit*> units_;  // the list, in order; slot i holds units_[i]
  // Where they stand; built again when first asked for after it was invalidated (a load, a change
  // of sectors, an index outgrown by its edits).
  mutable UnitIndex index_;
  const UnitIndex& Index() const;
  uint64_t nextSerial_ = 1;
  Hand hand_;
  std::shared_ptr<const SectorGrid> grid_;
  std::optional<SectorTable> sectors_;
  PieceTable pieces_;
  AllianceTable alliances_{};
  CountryNames countryNames_;
  CountryTotals totals_{};
  std::vector<EditCommand> undo_;  // the newest edit last
  std::vector<EditCommand> redo_;  // the newest undo last
  // Stacks that an undo made again, by the serial of the one each stands for.
  std::unordered_map<uint64_t, UnitRef> successors_;
  std::vector<ListStep>* journal_ = nullptr;  // while an undo runs
  uint64_t revision_ = 0, lastRevision_ = 0, savedRevision_ = 0;
  // The list as last loaded or saved, for telling a board back at it; none while pieces were in
  // the hand then.
  struct SavedStack {
    uint16_t x, y;
    uint8_t pieceType, country;
    uint16_t count, sector;
    bool operator==(const SavedStack&) const = default;
  };
  std::optional<std::vector<SavedStack>> saved_;
  bool snapshotPending_ = false;  // saved_ is still to be copied from the list
  uint64_t fingerprint_ = 0, savedFingerprint_ = 0;
  // How many slots hold the stack the saved list holds there, kept with the fingerprint: the
  // board is the saved one again when every slot does and the list is as long.
  size_t slotsAsSaved_ = 0;
  // Set by a load: the fingerprint is not summed yet, nor the saved one where the board loaded
  // was marked clean; no change of the list comes before they are.
  bool fingerprintOwed_ = false, savedFingerprintOwed_ = false;
  // Set by the steps an undo or a redo takes back that change which stack holds a sector.
  bool recomputeOwed_ = false;
  uint64_t labelRevision_ = 0, exportedLabelRevision_ = 0;
  PositionHeader header_;
  PositionObserver* observer_ = nullptr;
  BoardChange pending_;
  int openTransactions_ = 0;
};

// Inline: a load adds the strength of every stack it reads, from the record in registers.
inline int64_t Position::StrengthOf(const Unit& unit) const {
  if (unit.sector >= kSectorSlots) return 0;
  return int64_t{pieces_[unit.pieceType].value} * unit.count;
}

inline void Position::AdjustStrength(const Unit& unit, int64_t sign) {
  const int64_t worth = sign * StrengthOf(unit);
  if (worth != 0) pending_.totals = true;
  const int8_t category = pieces_[unit.pieceType].category;
  if (category == 0) totals_[unit.country].land += worth;
  if (category == 1) totals_[unit.country].naval += worth;
}

}  // namespace mw
