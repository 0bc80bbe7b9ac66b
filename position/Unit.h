// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
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

// Makes a copy of `u` in the raw memory at `to`. A record made field by field and then copied
// whole would be stored in pieces and read back at once, which waits for the pieces; here the
// fields are put together in three words and stored as such, the padding zero.
inline Unit* PlaceUnit(void* to, const Unit& u) {
  static_assert(sizeof(Unit) == 24 && offsetof(Unit, y) == 2 && offsetof(Unit, pieceType) == 4 &&
                offsetof(Unit, country) == 5 && offsetof(Unit, count) == 6 &&
                offsetof(Unit, sector) == 8 && offsetof(Unit, slot) == 12 &&
                offsetof(Unit, serial) == 16);
  if constexpr (std::endian::native == std::endian::little) {
    // The first eight bytes (coordinates, kind, country, count) have no padding between them.
    uint64_t head = 0;
    std::memcpy(&head, &u, 8);
    const uint64_t middle = uint64_t{u.sector} | uint64_t{u.slot} << 32;
    Unit* made = ::new (to) Unit;
    auto* bytes = reinterpret_cast<std::byte*>(made);
    std::memcpy(bytes, &head, 8);
    std::memcpy(bytes + 8, &middle, 8);
    std::memcpy(bytes + 16, &u.serial, 8);
    return made;
  } else {
    return ::new (to) Unit(u);
  }
}

// A reference to a unit of the list that survives the list being reordered and can tell when
// the unit is gone.
struct UnitRef {
  uint64_t serial = 0;
  uint32_t slotHint = 0;

  static UnitRef To(const Unit& unit) { return {unit.serial, unit.slot}; }
  bool empty() const { return serial == 0; }
};

}  // namespace mw
