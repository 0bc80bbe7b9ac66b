#include "Editing.h"

#include <algorithm>

namespace mw {
namespace {

uint16_t ToCoordinate(int32_t v) { return static_cast<uint16_t>(std::clamp(v, 0, 65535)); }

}  // namespace

uint16_t TakeCount(uint16_t count, unsigned modifiers) {
  const bool shift = modifiers & kShift, ctrl = modifiers & kCtrl;
  uint16_t limit = 1;
  if (shift && ctrl)
    limit = count;
  else if (ctrl)
    limit = 10;
  else if (shift)
    limit = 5;
  return std::min(count, limit);
}

uint16_t PlaceCount(unsigned modifiers) {
  if (modifiers & kCtrl) return 10;
  if (modifiers & kShift) return 5;
  return 1;
}

std::optional<Unit> PlacePiece(Position& position, int32_t x, int32_t y, uint8_t pieceType,
                               uint8_t country, unsigned modifiers) {
  Unit rec;
  rec.x = ToCoordinate(x);
  rec.y = ToCoordinate(y);
  rec.pieceType = pieceType;
  rec.country = country;
  rec.count = PlaceCount(modifiers);
  const uint16_t placed = rec.count;
  if (x != rec.x || y != rec.y) return std::nullopt;
  // The strength goes first, so that a recomputation that the addition triggers counts it once.
  position.AdjustStrength(country, pieceType, placed);
  if (!position.AddUnit(rec)) {
    position.AdjustStrength(country, pieceType, -int64_t{placed});
    return std::nullopt;
  }
  rec.count = placed;
  position.RecordAdd(rec);
  position.NotifyTotalsChanged();
  position.NotifyUnitArea(rec);
  return rec;
}

std::optional<Unit> RemoveAt(Position& position, int32_t x, int32_t y, unsigned modifiers) {
  Unit hit;
  Unit* stack = position.FindUnitAt(x, y, &hit);
  // A stack emptied by a pick-up waits for its drop; there is nothing on it to remove.
  if (!stack || stack->count == 0) return std::nullopt;
  const uint16_t n = TakeCount(stack->count, modifiers);
  stack->count = static_cast<uint16_t>(stack->count - n);
  position.AdjustStrength(stack->country, stack->pieceType, -int64_t{n});
  position.RecordRemove(*stack, n);
  if (stack->count == 0)
    position.RemoveUnit(stack);
  else
    RefreshLabel(*stack);
  position.NotifyTotalsChanged();
  position.NotifyUnitArea(hit);
  return hit;
}

bool PickUp(Position& position, Carry& carry, int32_t x, int32_t y, unsigned modifiers) {
  Unit hit;
  Unit* stack = position.FindUnitAt(x, y, &hit);
  if (!stack) return false;
  carry.carried = hit;
  carry.carried.serial = 0;
  carry.source = StackRef::To(*stack);
  carry.active = true;
  const uint16_t n = TakeCount(stack->count, modifiers);
  carry.carried.count = n;
  stack->count = static_cast<uint16_t>(stack->count - n);
  RefreshLabel(*stack);
  RefreshLabel(carry.carried);
  position.NotifyUnitArea(*stack);
  position.NotifyUnitArea(carry.carried);
  return true;
}

std::optional<Unit> Drop(Position& position, Carry& carry, int32_t x, int32_t y) {
  if (!carry.active) return std::nullopt;
  carry.active = false;
  const Unit before = carry.carried;
  carry.carried.x = ToCoordinate(x);
  carry.carried.y = ToCoordinate(y);
  Unit* source = position.Resolve(carry.source);
  carry.source = {};
  if (source && source->count == 0) position.RemoveUnit(source);
  position.NotifyUnitArea(carry.carried);
  if (!position.AddUnit(carry.carried)) {
    // Outside the grid: the pieces go back to where they were picked up.
    carry.carried = before;
    if (!position.AddUnit(carry.carried)) {
      position.AdjustStrength(before.country, before.pieceType, -int64_t{before.count});
      position.NotifyTotalsChanged();
    }
    position.NotifyUnitArea(carry.carried);
    return std::nullopt;
  }
  position.RecordMove(before, carry.carried);
  position.NotifyUnitArea(carry.carried);
  return carry.carried;
}

void CancelCarry(Position& position, Carry& carry) {
  if (!carry.active) return;
  carry.active = false;
  Unit* source = position.Resolve(carry.source);
  carry.source = {};
  if (!source) {
    // The source went while the pieces were carried: put them back at its place.
    Unit rec = carry.carried;
    if (!position.AddUnit(rec)) {
      position.AdjustStrength(rec.country, rec.pieceType, -int64_t{rec.count});
      position.NotifyTotalsChanged();
    }
    position.NotifyUnitArea(rec);
    return;
  }
  source->count = static_cast<uint16_t>(std::min<uint32_t>(source->count + carry.carried.count, 65535));
  RefreshLabel(*source);
  position.NotifyUnitArea(*source);
}

}  // namespace mw
