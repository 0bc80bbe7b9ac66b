#pragma once

#include "BmpRows.h"
#include "SectorGrid.h"

namespace mw {

// A sector grid from a palette bitmap: one cell per byte of each row, padding included, the
// palette index being the sector number.
SectorGrid GridFromPaletteRows(const BmpRows& rows);

// A sector grid from a 24-bit bitmap: one cell per 3 bytes of each row. A pixel whose red byte is
// below 128 paints sector green * 256 + blue; any other pixel belongs to no sector.
SectorGrid GridFromRgbRows(const BmpRows& rows);

}  // namespace mw
