// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace mw {

enum class UndoKind : uint8_t { kNone = 0, kMove = 1, kAdd = 2, kRemove = 3 };

// One edit of the history. Fields a kind does not use stay 0.
struct UndoEntry {
  UndoKind kind = UndoKind::kNone;
  uint16_t fromX = 0, fromY = 0;  // where the pieces stood before (move, remove)
  uint16_t toX = 0, toY = 0;      // where they stand after (move, add)
  uint16_t fromSector = 0, toSector = 0;
  uint8_t pieceType = 0;
  uint8_t country = 0;
  uint16_t count = 0;

  bool operator==(const UndoEntry&) const = default;
};

}  // namespace mw
