// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "ReadNotes.h"
#include "Result.h"

namespace mw {

// One piece kind of `ToolPieces.txt`: a name of at most 4 characters, the strength of one piece,
// and the total it counts towards (0 land, 1 naval).
struct PieceKind {
  std::string name;
  int8_t value = 0;
  int8_t category = 0;

  bool operator==(const PieceKind&) const = default;
};

// The piece table: 256 kinds, kind k being column k of the piece images. Kinds the file does not
// describe are empty (no name, value 0, category 0). Kind 0 is the control marker.
class PieceTable {
 public:
  static constexpr int kKinds = 256;
  static constexpr size_t kNameLength = 4;

  const PieceKind& operator[](size_t kind) const { return kinds_[kind]; }
  PieceKind& operator[](size_t kind) { return kinds_[kind]; }

  // Reads entries of name, value and category separated by any white space, line breaks
  // included, as "%s %d %d" reads them: a name is cut to 4 characters, a number keeps its low
  // 8 bits. An item that is not a number ends its entry there; the next entry starts at it.
  // `complete` (when given) tells whether more text after `text` could have changed the table;
  // `notes` (when given) receive what was taken, taken as it is or passed over, and where.
  static PieceTable Parse(std::string_view text, bool* complete = nullptr,
                          ReadNotes* notes = nullptr);

 private:
  std::array<PieceKind, kKinds> kinds_{};
};

// Reads a `ToolPieces.txt` file, no further than its 256th entry; fails only when it cannot be
// opened or read.
Result<PieceTable> ReadPieceTable(const std::filesystem::path& path);

}  // namespace mw
