// SPDX-License-Identifier: GPL-3.0-or-later
// pal2sect: turns an 8-bit palette sector bitmap (uncompressed or RLE8) into a sector grid;
// palette index n paints sector n.
#include "SectorBitmap.h"
#include "SectorBitmapTool.h"

int main(int argc, char** argv) {
  using namespace mw;
  return tool::RunSectorBitmapTool(
      argc, argv, "pal2sect",
      {8, true, "8-bit palette bitmaps, uncompressed or RLE8",
       "Save it from a paint program as an 8-bit (256-colour) BMP whose palette index n is the "
       "colour of sector n. A converter that makes a palette of a 24-bit picture orders and "
       "dithers the colours as it likes, and the sector numbers shift: paint the sectors in flat "
       "colours and give the 24-bit picture to rgb2sect --colours with a list of each colour's "
       "sector.",
       "A palette index that paints 16 or more single pixels apart from any other of it (the\n"
       "colours were dithered) refuses the bitmap; see rgb2sect --colours.\n"},
      [](const BmpRows& rows) -> Result<SectorGrid> {
        SectorGrid grid = GridFromPaletteRows(rows);
        // A converter's palette dithers: specks of one index all over the map.
        if (const auto specks = FindDitheredIndex(grid))
          return Result<SectorGrid>::Fail(
              "palette index " + std::to_string(specks->index) + " paints " +
              std::to_string(specks->count) + " single pixels apart from any other of it, the " +
              "first at " + std::to_string(specks->x) + "," + std::to_string(specks->y) +
              ": the colours were dithered when the bitmap got its palette, and its indices are " +
              "no sector numbers; paint the sectors in flat colours and use rgb2sect --colours " +
              "(rgb2sect --help); nothing was written");
        return Result<SectorGrid>::Ok(std::move(grid));
      });
}
