// The undo history: one entry per edit, newest first, without limit. Undo finds units by place
// alone, with the reach of FindUnitAt; the totals follow the pieces it takes away or puts back, and
// an undo that changed the board leaves it with unsaved changes.
#include <algorithm>

#include "Position.h"

namespace mw {

void Position::RecordAdd(const Unit& unit) {
  UndoEntry e;
  e.kind = UndoKind::kAdd;
  e.toX = unit.x;
  e.toY = unit.y;
  e.toSector = unit.sector;
  e.pieceType = unit.pieceType;
  e.country = unit.country;
  e.count = unit.count;
  undo_.push_back(e);
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
  undo_.push_back(e);
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
  undo_.push_back(e);
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
  NotifyUnitArea(found);
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
  const bool added = AddUnit(rec) != nullptr;
  NotifyUnitArea(rec);
  return added;
}

void Position::UndoLast() {
  CancelCarry();
  if (undo_.empty()) return;
  const UndoEntry e = undo_.back();
  undo_.pop_back();
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
  if (changed) dirty_ = true;
  NotifyTotalsChanged();
}

}  // namespace mw
