// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "BmpRows.h"
#include "Result.h"
#include "SectorGrid.h"

namespace mw {

// A sector grid from a palette bitmap: one cell per byte of each row, padding included, the
// palette index being the sector number.
SectorGrid GridFromPaletteRows(const BmpRows& rows);

// A sector grid from a 24-bit bitmap: one cell per 3 bytes of each row. A pixel whose red byte is
// below 128 paints sector green * 256 + blue; any other pixel belongs to no sector.
SectorGrid GridFromRgbRows(const BmpRows& rows);

// A sector grid from a 24-bit picture of flat sector colours and a list that names each colour's
// sector, a line each: the colour as six hexadecimal digits (RRGGBB, "#" before them or not),
// then the sector number in decimal, then anything (the sector's name); blank lines and lines
// starting with ";" are comments, sector 0 is no sector. Fails, naming the line, for a line it
// cannot read or a colour listed twice, and for pixels of colours the list does not name
// (smoothed edges), with their count and the first of them.
Result<SectorGrid> GridFromColourList(const BmpRows& rows, std::string_view list);

// Where a palette bitmap looks dithered: the first palette index (above 0) with at least
// `kDitheredSpecks` pixels none of whose four neighbours is of the same index, their count and
// the first of them; none for a bitmap painted in flat colours.
struct Specks {
  int index = 0;
  size_t count = 0;
  int32_t x = 0, y = 0;
};
inline constexpr size_t kDitheredSpecks = 16;
std::optional<Specks> FindDitheredIndex(const SectorGrid& grid);

}  // namespace mw
