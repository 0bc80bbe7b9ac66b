// The undo history: one entry per edit, newest first, without limit. Undo finds stacks by place
// alone, with the reach of FindUnitAt; the totals follow the pieces it takes away or puts back, and
// an undo that changed the board leaves it with unsaved changes.
#include <algorithm>

#include "Position.h"

namespace mw {

void Position::RecordAdd(const Unit& stack) {
  UndoEntry e;
  e.kind = UndoKind::kAdd;
  e.toX = stack.x;
  e.toY = stack.y;
  e.toSector = stack.sector;
  e.pieceType = stack.pieceType;
  e.country = stack.country;
  e.count = stack.count;
  undo_.push_back(e);
}

void Position::RecordRemove(const Unit& stack, uint16_t removed) {
  UndoEntry e;
  e.kind = UndoKind::kRemove;
  e.fromX = stack.x;
  e.fromY = stack.y;
  e.fromSector = stack.sector;
  e.pieceType = stack.pieceType;
  e.country = stack.country;
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

// Takes `count` pieces from the first stack near (x, y), whatever its kind; the whole stack when
// it holds no more than that. False when no stack lies there.
bool Position::UndoAt(uint16_t x, uint16_t y, uint16_t count) {
  Unit found;
  Unit* stack = Mutable(FindUnitAt(x, y, &found));
  if (!stack) return false;
  if (stack->count > count)
    SetCount(*stack, static_cast<uint16_t>(stack->count - count));
  else
    RemoveUnit(stack);
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
