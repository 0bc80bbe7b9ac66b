// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace mw {

// The label text of a count, from a table made once: no unit stores its own.
std::string_view CountLabelText(uint32_t count);

// A unit: the pieces of one kind and one country that stand together at one map point (what a
// player sees as a stack with its count beside it). Records are copied whole
// between the unit list and its callers; `serial` tells a unit of the list apart from every other
// unit there ever was (0 for a record that never was in the list), so that a reference to a unit
// can be checked before it is used.
struct Unit {
  uint16_t x = 0;
  uint16_t y = 0;
  uint8_t pieceType = 0;
  uint8_t country = 0;
  uint16_t count = 0;
  uint16_t sector = 0;
  uint32_t slot = 0;  // the unit's index in the unit list
  uint64_t serial = 0;

  // `count` as its label shows it: the number below 1000, "999" from 1000 on.
  std::string_view labelText() const { return CountLabelText(count); }
};

// The most pieces a unit holds: its count is 16 bits.
inline constexpr uint32_t kMaxCount = 65535;

// A reference to a unit of the list that survives the list being reordered and can tell when
// the unit is gone.
struct UnitRef {
  uint64_t serial = 0;
  uint32_t slotHint = 0;

  static UnitRef To(const Unit& unit) { return {unit.serial, unit.slot}; }
  bool empty() const { return serial == 0; }
};

}  // namespace mw
