#pragma once

#include <cstdint>
#include <optional>

#include "Position.h"

namespace mw {

// The modifier keys held during a mouse press.
enum Modifiers : unsigned { kNoModifiers = 0, kShift = 1, kCtrl = 2 };

// How many pieces a pick-up or a removal takes from a stack of `count`: 1; with Shift up to 5;
// with Ctrl up to 10; with both the whole stack. Never more than the stack holds.
uint16_t TakeCount(uint16_t count, unsigned modifiers);
// How many pieces a placement creates: 1; with Shift 5; with Ctrl (and Shift) 10.
uint16_t PlaceCount(unsigned modifiers);

// The pieces being carried with the mouse and the stack they came from.
struct Carry {
  Unit carried;      // a record outside the list; its `count` is the number carried
  StackRef source;   // the stack the pieces came from
  bool active = false;
};

// The edits of the mouse, each on map coordinates, in the order of model calls that the undo
// history relies on. They keep the land and naval totals in step by increments and report the map
// areas they touch to the position's observer.

// Places `PlaceCount(modifiers)` new pieces of a kind and country at (x, y) and records the
// addition. Returns the record placed (with the count placed), or none when the point lies outside
// the grid; then nothing is changed.
std::optional<Unit> PlacePiece(Position& position, int32_t x, int32_t y, uint8_t pieceType,
                               uint8_t country, unsigned modifiers);

// Takes pieces from the first stack at (x, y) and records the removal; a stack left empty goes.
// Returns a copy of the stack as it was hit, or none when no stack lies there.
std::optional<Unit> RemoveAt(Position& position, int32_t x, int32_t y, unsigned modifiers);

// Takes pieces from the first stack at (x, y) into `carry`. Nothing is recorded. False when no
// stack lies there.
bool PickUp(Position& position, Carry& carry, int32_t x, int32_t y, unsigned modifiers);

// Puts the carried pieces down at (x, y): an emptied source goes, the pieces are added there
// (merging as AddUnit does) and the move is recorded. Returns the record of where they landed.
// A carry whose source has gone since (a position load, a removal) still puts its pieces down,
// but never touches the stack that is gone.
std::optional<Unit> Drop(Position& position, Carry& carry, int32_t x, int32_t y);

// Returns the carried pieces to their source. Nothing is recorded.
void CancelCarry(Position& position, Carry& carry);

}  // namespace mw
