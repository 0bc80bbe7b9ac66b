#include "SectorBitmap.h"

namespace mw {

SectorGrid GridFromPaletteRows(const BmpRows& rows) {
  // Every byte of a row, padding included, is a cell: the rows are the cells in order.
  return SectorGrid(static_cast<int32_t>(rows.rowLength), rows.height,
                    LargeVector<uint16_t>(rows.pixels.begin(), rows.pixels.end()));
}

SectorGrid GridFromRgbRows(const BmpRows& rows) {
  const auto width = static_cast<int32_t>(rows.rowLength / 3);
  SectorGrid grid(width, rows.height);
  for (int32_t y = 0; y < rows.height; ++y) {
    auto row = rows.row(y);
    for (int32_t x = 0; x < width; ++x) {
      const size_t at = 3 * static_cast<size_t>(x);
      const uint8_t blue = row[at], green = row[at + 1], red = row[at + 2];
      grid.setValue(x, y, red < 0x80 ? static_cast<uint16_t>(blue | (green << 8)) : 0);
    }
  }
  return grid;
}

}  // namespace mw
