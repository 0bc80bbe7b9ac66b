#pragma once

#include "BmpRows.h"
#include "SectorGrid.h"

namespace mw::tool {

// The bitmaps a converter takes: its depth, and whether RLE8 compression is taken too.
struct BitmapKind {
  int bitsPerPixel;
  bool rle8;
  const char* words;     // "24-bit uncompressed bitmaps"
  const char* howToGet;  // how to make such a bitmap of another one
};

// The frame both sector bitmap converters share: prints "Loading ...", reads the bitmap of the
// first argument, refuses it with the formats the tool takes when it is of another kind, converts
// it with `convert` and replaces the grid file of the second argument.
int RunSectorBitmapTool(int argc, char** argv, const char* toolName, BitmapKind kind,
                        SectorGrid (*convert)(const BmpRows&));

// "32-bit", "8-bit RLE8", "24-bit with bit fields": what a bitmap's header says it is.
std::string DescribeBitmap(const BmpInfo& info);

}  // namespace mw::tool
