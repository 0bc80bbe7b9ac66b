#pragma once

#include "BmpRows.h"
#include "SectorGrid.h"

namespace mw::tool {

// The frame both sector bitmap converters share: prints "Loading ...", reads the bitmap of the
// first argument, converts it with `convert` and replaces the grid file of the second argument.
int RunSectorBitmapTool(int argc, char** argv, const char* toolName, const char* bitmapKind,
                        SectorGrid (*convert)(const BmpRows&));

}  // namespace mw::tool
