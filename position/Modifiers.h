// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace mw {

// The modifier keys held during a mouse press or a key press.
enum Modifiers : unsigned { kNoModifiers = 0, kShift = 1, kCtrl = 2, kAlt = 4 };

// How many pieces a pick-up or a removal takes from a unit of `count`: 1; with Shift up to 5;
// with Ctrl up to 10; with both the whole unit. Never more than the unit holds.
uint16_t TakeCount(uint16_t count, unsigned modifiers);
// How many pieces a placement creates: 1; with Shift 5; with Ctrl (and Shift) 10.
uint16_t PlaceCount(unsigned modifiers);

}  // namespace mw
