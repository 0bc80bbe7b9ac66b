// SPDX-License-Identifier: GPL-3.0-or-later
// The edits of the user as transactions of the position: placing, removing, picking up, dropping
// and putting back. Each keeps the list, the hand, the strength totals, the undo history and
// the board's revision together, in the order of list operations that the undo history and the list
// order rely on.
#include <algorithm>

#include "Position.h"

namespace mw {
namespace {

uint16_t ToCoordinate(int32_t v) { return static_cast<uint16_t>(std::clamp(v, 0, 65535)); }

}  // namespace

std::optional<Unit> Position::PlacePiece(int32_t x, int32_t y, uint8_t pieceType, uint8_t country,
                                         unsigned modifiers) {
  const Transaction transaction(*this);
  Unit rec;
  rec.x = ToCoordinate(x);
  rec.y = ToCoordinate(y);
  rec.pieceType = pieceType;
  rec.country = country;
  rec.count = PlaceCount(modifiers);
  if (x != rec.x || y != rec.y) return std::nullopt;
  uint16_t added = 0;
  std::vector<ListStep> steps;
  const Unit* onto = nullptr;
  {
    const Journaling journaling(*this, steps);
    onto = AddUnit(rec, &added);
  }
  if (!onto) return std::nullopt;
  const UnitRef to = UnitRef::To(*onto);
  rec.count = added;
  RecordAdd(rec, to, std::move(steps));
  return rec;
}

std::optional<Unit> Position::RemoveAt(int32_t x, int32_t y, unsigned modifiers) {
  const Transaction transaction(*this);
  Unit hit;
  Unit* unit = Mutable(FindUnitAt(x, y, &hit));
  // A unit emptied by a pick-up waits for its drop; there is nothing on it to remove.
  if (!unit || unit->count == 0) return std::nullopt;
  const uint16_t n = TakeCount(unit->count, modifiers);
  const UnitRef from = UnitRef::To(*unit);
  std::vector<ListStep> steps;
  {
    const Journaling journaling(*this, steps);
    SetCount(*unit, static_cast<uint16_t>(unit->count - n));
    if (unit->count == 0) RemoveUnit(unit);
  }
  RecordRemove(hit, n, from, std::move(steps));
  return hit;
}

bool Position::PickUp(int32_t x, int32_t y, unsigned modifiers) {
  const Transaction transaction(*this);
  if (hand_.active) return false;
  Unit hit;
  Unit* unit = Mutable(FindUnitAt(x, y, &hit));
  if (!unit || unit->count == 0) return false;
  const uint16_t n = TakeCount(unit->count, modifiers);
  // The pieces change place, not owner: their strength moves with them into the hand.
  hand_.carried = hit;
  hand_.carried.serial = 0;
  hand_.carried.count = 0;
  hand_.source = UnitRef::To(*unit);
  hand_.active = true;
  hand_.revision = revision_;
  hand_.steps.clear();
  {
    const Journaling journaling(*this, hand_.steps);
    SetCount(*unit, static_cast<uint16_t>(unit->count - n));
  }
  SetCount(hand_.carried, n);
  revision_ = hand_.revision;
  return true;
}

Unit Position::EmptyHand() {
  const Unit pieces = hand_.carried;
  hand_.active = false;
  hand_.source = {};
  hand_.steps.clear();
  SetCount(hand_.carried, 0);
  return pieces;
}

bool Position::HandUntouched() const { return hand_.active && revision_ == hand_.revision; }

void Position::ReturnHandTo(Unit* source) {
  const bool untouched = HandUntouched();
  const uint64_t before = hand_.revision;
  const Unit pieces = EmptyHand();
  if (source) {
    SetCount(*source,
             static_cast<uint16_t>(std::min<uint32_t>(source->count + pieces.count, kMaxCount)));
    // Nothing else changed since the pick-up: the board is the one before it again.
    if (untouched) revision_ = before;
    return;
  }
  // The source went while the pieces were carried: they go back to its place.
  Unit rec = pieces;
  AddUnit(rec);
}

void Position::CancelCarry() {
  const Transaction transaction(*this);
  if (!hand_.active) return;
  ReturnHandTo(Mutable(Resolve(hand_.source)));
}

std::optional<Unit> Position::Drop(int32_t x, int32_t y) {
  const Transaction transaction(*this);
  if (!hand_.active) return std::nullopt;
  const UnitRef from = hand_.source;
  Unit* source = Mutable(Resolve(from));
  const Unit before = hand_.carried;
  Unit target = before;
  target.x = ToCoordinate(x);
  target.y = ToCoordinate(y);
  if (grid_) {
    if (!grid_->contains(target.x, target.y)) {
      ReturnHandTo(source);
      return std::nullopt;
    }
    target.sector = grid_->valueAt(target.x, target.y);
  }
  // A unit holds at most kMaxCount pieces: what does not fit stays with the source.
  const bool sourceGoes = source && source->count == 0;
  const Unit* into = MergeTarget(target, sourceGoes ? source : nullptr);
  const auto room = static_cast<uint16_t>(into ? kMaxCount - into->count : kMaxCount);
  if (room == 0) {
    ReturnHandTo(source);
    return std::nullopt;
  }
  const uint16_t moved = std::min(before.count, room);
  Unit rest = before;
  rest.count = static_cast<uint16_t>(before.count - moved);
  const bool untouched = HandUntouched();
  const uint64_t revisionBefore = hand_.revision;
  // Even a drop where the pieces stood may change the list's order, which a redo relies on.
  redo_.clear();
  std::vector<ListStep> steps = std::move(hand_.steps);
  EmptyHand();
  const Unit* landed = nullptr;
  {
    const Journaling journaling(*this, steps);
    if (rest.count > 0 && source) {
      SetCount(*source, static_cast<uint16_t>(source->count + rest.count));
      rest.count = 0;
    }
    if (sourceGoes && source->count == 0) RemoveUnit(source);
    target.count = moved;
    landed = AddUnit(target);
    if (rest.count > 0) AddUnit(rest);  // the source went while they were carried
  }
  const UnitRef onto = landed ? UnitRef::To(*landed) : UnitRef();
  // Put back into the very unit they came from, the board is as it was.
  const bool backWhereTheyWere = source && !sourceGoes && landed == source;
  if (backWhereTheyWere && untouched) revision_ = revisionBefore;
  Unit movedBefore = before;
  movedBefore.count = moved;
  RecordMove(movedBefore, target, from, onto, std::move(steps), sourceGoes);
  return target;
}

Unit* Position::StackExactlyAt(uint16_t x, uint16_t y, uint8_t pieceType, uint8_t country) {
  std::vector<uint32_t> slots;
  Index().SlotsIn(x, y, x, y, slots);
  Unit* found = nullptr;
  for (uint32_t slot : slots) {
    Unit* u = units_[slot];
    if (u->x == x && u->y == y && u->pieceType == pieceType && u->country == country &&
        (!found || u->slot < found->slot))
      found = u;
  }
  return found;
}

// The pieces of a move put down where it put them: onto the stack that stands exactly there, as
// the edit merged them, or as a new stack at the end of the list.
bool Position::PutMovedPieces(const UndoEntry& m) {
  if (Unit* onto = StackExactlyAt(m.toX, m.toY, m.pieceType, m.country)) {
    if (uint32_t{onto->count} + m.count > kMaxCount) return false;
    SetCount(*onto, static_cast<uint16_t>(onto->count + m.count));
    return true;
  }
  Unit rec;
  rec.x = m.toX;
  rec.y = m.toY;
  rec.pieceType = m.pieceType;
  rec.country = m.country;
  rec.count = m.count;
  return AddUnit(rec) != nullptr;
}

bool Position::ApplyMove(const UndoEntry& m) {
  const Transaction transaction(*this);
  CancelCarry();
  if (m.count == 0) return false;
  if (m.kind == UndoKind::kAdd) return PutMovedPieces(m);
  if (m.kind != UndoKind::kRemove && m.kind != UndoKind::kMove) return false;
  Unit* from = StackExactlyAt(m.fromX, m.fromY, m.pieceType, m.country);
  if (!from || from->count < m.count) return false;
  if (m.kind == UndoKind::kMove) {
    const Unit* onto = StackExactlyAt(m.toX, m.toY, m.pieceType, m.country);
    if (onto ? onto != from && uint32_t{onto->count} + m.count > kMaxCount
             : grid_ && !grid_->contains(m.toX, m.toY))
      return false;
  }
  // In the order of the edit: the pieces leave their stack, an emptied stack goes, then they are
  // put down.
  SetCount(*from, static_cast<uint16_t>(from->count - m.count));
  if (from->count == 0) RemoveUnit(from);
  return m.kind == UndoKind::kRemove || PutMovedPieces(m);
}

}  // namespace mw
