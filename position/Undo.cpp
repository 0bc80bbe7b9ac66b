// The undo history: one entry per edit, newest first, without limit. Undo finds stacks by place
// alone, with the reach of FindUnitAt, and keeps the land and naval totals in step with the pieces
// it takes away or puts back.
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
// it holds no more than that.
Unit* Position::UndoAt(uint16_t x, uint16_t y, uint16_t count) {
  Unit found;
  Unit* stack = FindUnitAt(x, y, &found);
  if (!stack) return nullptr;
  const uint16_t taken = std::min(stack->count, count);
  AdjustStrength(stack->country, stack->pieceType, -int64_t{taken});
  if (stack->count > count) {
    stack->count = static_cast<uint16_t>(stack->count - count);
    RefreshLabel(*stack);
  } else {
    RemoveUnit(stack);
  }
  NotifyTotalsChanged();
  NotifyUnitArea(found);
  return stack;
}

void Position::UndoRemoval(const UndoEntry& e) {
  Unit rec;
  rec.x = e.fromX;
  rec.y = e.fromY;
  rec.sector = e.fromSector;
  rec.pieceType = e.pieceType;
  rec.country = e.country;
  rec.count = e.count;
  AdjustStrength(rec.country, rec.pieceType, rec.count);
  if (!AddUnit(rec)) AdjustStrength(rec.country, rec.pieceType, -int64_t{rec.count});
  NotifyTotalsChanged();
  NotifyUnitArea(rec);
}

void Position::UndoLast() {
  if (undo_.empty()) return;
  const UndoEntry e = undo_.back();
  undo_.pop_back();
  switch (e.kind) {
    case UndoKind::kAdd:
      UndoAt(e.toX, e.toY, e.count);
      break;
    case UndoKind::kMove:
      UndoAt(e.toX, e.toY, e.count);
      UndoRemoval(e);
      break;
    case UndoKind::kRemove:
      UndoRemoval(e);
      break;
    case UndoKind::kNone:
      break;
  }
}

}  // namespace mw
