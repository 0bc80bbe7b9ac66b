// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "BmpRows.h"
#include "Result.h"
#include "SectorGrid.h"

namespace mw::tool {

// The bitmaps a converter takes: its depth, and whether RLE8 compression is taken too.
struct BitmapKind {
  int bitsPerPixel;
  bool rle8;
  const char* words;         // "24-bit uncompressed bitmaps"
  const char* howToGet;      // how to make such a bitmap of another one
  const char* options = "";  // the options the tool takes, for its usage
};

// Turns the rows of a bitmap into a grid, or says why it will not.
using SectorConverter = std::function<Result<SectorGrid>(const BmpRows&)>;

// The frame both sector bitmap converters share: prints "Loading ...", reads the bitmap of the
// first argument, refuses it with the formats the tool takes when it is of another kind, converts
// it with `convert` and replaces the grid file of the second argument.
int RunSectorBitmapTool(int argc, char** argv, const char* toolName, BitmapKind kind,
                        const SectorConverter& convert);

// "32-bit", "8-bit RLE8", "24-bit with bit fields": what a bitmap's header says it is.
std::string DescribeBitmap(const BmpInfo& info);

}  // namespace mw::tool
