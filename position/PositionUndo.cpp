// The undo history: one entry per edit, newest first, without limit. Undo finds units by place
// alone, with the reach of FindUnitAt; the totals follow the pieces it takes away or puts back, and
// an undo that changed the board leaves it with unsaved changes. What an undo took back waits in
// the redo history until it is made again or a new edit comes.
#include <algorithm>

#include "Position.h"

namespace mw {

void Position::Record(const UndoEntry& entry) {
  undo_.push_back(entry);
  redo_.clear();
}

void Position::RecordAdd(const Unit& unit) {
  UndoEntry e;
  e.kind = UndoKind::kAdd;
  e.toX = unit.x;
  e.toY = unit.y;
  e.toSector = unit.sector;
  e.pieceType = unit.pieceType;
  e.country = unit.country;
  e.count = unit.count;
  Record(e);
}

void Position::RecordRemove(const Unit& unit, uint16_t removed) {
  UndoEntry e;
  e.kind = UndoKind::kRemove;
  e.fromX = unit.x;
  e.fromY = unit.y;
  e.fromSector = unit.sector;
  e.pieceType = unit.pieceType;
  e.country = unit.country;
  e.count = removed;
  Record(e);
}

void Position::RecordMove(const Unit& before, const Unit& after) {
  if (before.x == after.x && before.y == after.y) return;
  UndoEntry e;
  e.kind = UndoKind::kMove;
  e.fromX = before.x;
  e.fromY = before.y;
  e.fromSector = before.sector;
  e.pieceType = before.pieceType;
  e.country = before.country;
  e.count = before.count;
  e.toX = after.x;
  e.toY = after.y;
  e.toSector = after.sector;
  Record(e);
}

// Takes `count` pieces from the first unit near (x, y), whatever its kind; the whole unit when
// it holds no more than that. False when no unit lies there.
bool Position::UndoAt(uint16_t x, uint16_t y, uint16_t count) {
  Unit found;
  Unit* unit = Mutable(FindUnitAt(x, y, &found));
  if (!unit) return false;
  if (unit->count > count)
    SetCount(*unit, static_cast<uint16_t>(unit->count - count));
  else
    RemoveUnit(unit);
  return true;
}

bool Position::UndoRemoval(const UndoEntry& e) {
  Unit rec;
  rec.x = e.fromX;
  rec.y = e.fromY;
  rec.sector = e.fromSector;
  rec.pieceType = e.pieceType;
  rec.country = e.country;
  rec.count = e.count;
  return AddUnit(rec) != nullptr;
}

void Position::UndoLast() {
  const Transaction transaction(*this);
  CancelCarry();
  if (undo_.empty()) return;
  const UndoEntry e = undo_.back();
  undo_.pop_back();
  std::vector<ListStep> steps;
  journal_ = &steps;
  bool changed = false;
  switch (e.kind) {
    case UndoKind::kAdd:
      changed = UndoAt(e.toX, e.toY, e.count);
      break;
    case UndoKind::kMove:
      changed = UndoAt(e.toX, e.toY, e.count);
      changed = UndoRemoval(e) || changed;
      break;
    case UndoKind::kRemove:
      changed = UndoRemoval(e);
      break;
    case UndoKind::kNone:
      break;
  }
  journal_ = nullptr;
  if (changed) redo_.push_back({e, std::move(steps)});
}

void Position::Journal(ListStep::Kind kind, const Unit& before) {
  if (journal_) journal_->push_back({kind, before.slot, before});
}

// Takes one step of an undo back. Steps are taken back newest first, so the list stands as it
// stood right after the step.
void Position::TakeBack(const ListStep& step) {
  // Every change of the list between the undo and the redo ends the redo history; a slot out of
  // the list would be a broken rule, and is passed over rather than followed.
  const bool inList = step.slot < units_.size();
  if (!inList && step.kind != ListStep::kRemove) return;
  switch (step.kind) {
    case ListStep::kCount:
      SetCount(*units_[step.slot], step.before.count);
      return;
    case ListStep::kAppend: {
      Unit* last = units_.back();
      Changed(*last);
      AdjustStrength(*last, -1);
      index_.Erase(*last, last->slot);
      units_.pop_back();
      pool_.Release(last);
      return;
    }
    case ListStep::kRemove: {
      // The removal moved the last unit into the slot: it goes back to the end.
      Unit* unit = pool_.Allocate(step.before);
      unit->serial = nextSerial_++;
      if (inList) {
        Unit* moved = units_[step.slot];
        index_.Reslot(*moved, moved->slot, static_cast<uint32_t>(units_.size()));
        moved->slot = static_cast<uint32_t>(units_.size());
        units_.push_back(moved);
        Changed(*moved);
        units_[step.slot] = unit;
        unit->slot = step.slot;
      } else {
        unit->slot = static_cast<uint32_t>(units_.size());
        units_.push_back(unit);
      }
      index_.Insert(*unit, unit->slot);
      AdjustStrength(*unit, +1);
      Changed(*unit);
      return;
    }
  }
}

void Position::RedoLast() {
  const Transaction transaction(*this);
  CancelCarry();
  if (redo_.empty()) return;
  Undone undone = std::move(redo_.back());
  redo_.pop_back();
  for (auto step = undone.steps.rbegin(); step != undone.steps.rend(); ++step) TakeBack(*step);
  undo_.push_back(undone.entry);
  // Which marker holds a sector follows from the list order, which the steps restored.
  RecomputeTotals();
}

}  // namespace mw
