// pal2sect: turns an 8-bit palette sector bitmap (uncompressed or RLE8) into a sector grid;
// palette index n paints sector n.
#include "SectorBitmap.h"
#include "SectorBitmapTool.h"

int main(int argc, char** argv) {
  return mw::tool::RunSectorBitmapTool(argc, argv, "pal2sect",
                                       {8, true, "8-bit palette bitmaps, uncompressed or RLE8",
                                        "Save it from a paint program as an 8-bit (256-colour) "
                                        "BMP, or convert it, for example with ImageMagick: "
                                        "convert IN -type Palette BMP3:out.bmp"},
                                       mw::GridFromPaletteRows);
}
