// pal2sect: turns an 8-bit palette sector bitmap (uncompressed or RLE8) into a sector grid;
// palette index n paints sector n.
#include "SectorBitmap.h"
#include "SectorBitmapTool.h"

int main(int argc, char** argv) {
  return mw::tool::RunSectorBitmapTool(argc, argv, "pal2sect",
                                       {8, true, "8-bit palette bitmaps, uncompressed or RLE8"},
                                       mw::GridFromPaletteRows);
}
