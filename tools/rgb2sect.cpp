// rgb2sect: turns a 24-bit sector bitmap into a sector grid; a pixel with red below 128 paints
// sector green * 256 + blue, any other pixel no sector.
#include "SectorBitmap.h"
#include "SectorBitmapTool.h"

int main(int argc, char** argv) {
  return mw::tool::RunSectorBitmapTool(
      argc, argv, "rgb2sect",
      {24, false, "24-bit uncompressed bitmaps",
       "Save it from a paint program as a 24-bit BMP, or convert it, for example with "
       "ImageMagick: convert IN -type TrueColor BMP3:out.bmp"},
      mw::GridFromRgbRows);
}
