// SPDX-License-Identifier: GPL-3.0-or-later
// rgb2sect: turns a 24-bit sector bitmap into a sector grid; a pixel with red below 128 paints
// sector green * 256 + blue, any other pixel no sector. With --colours a list names the sector of
// each colour of a picture painted in flat colours instead.
#include <string>
#include <vector>

#include "FileBytes.h"
#include "SectorBitmap.h"
#include "SectorBitmapTool.h"
#include "ToolSupport.h"

int main(int argc, char** argv) {
  using namespace mw;
  tool::BitmapKind kind{
      24, false, "24-bit uncompressed bitmaps",
      "Save it from a paint program as a 24-bit BMP, or convert it, for example with "
      "ImageMagick: convert IN -type TrueColor BMP3:out.bmp",
      "Or:    rgb2sect --colours <list> <bitmap> <gridfile>\n"
      "With --colours the bitmap is painted in flat colours, one a sector, and the list names\n"
      "each colour's sector, a line each: RRGGBB (or #RRGGBB), the sector number, then anything;\n"
      "lines starting with ; are comments, sector 0 is no sector. A pixel of a colour the list\n"
      "does not name (a smoothed edge) refuses the bitmap, naming the first.\n"};
  if (argc >= 2 && std::string(argv[1]) == "--colours") {
    if (argc < 3) return tool::Fail(tool::kExitUsage, "--colours needs a list of colours");
    auto list = ReadFileBytes(argv[2]);
    if (!list) return tool::Fail(tool::kExitInput, list.error());
    const std::string text(list->begin(), list->end()), name = argv[2];
    std::vector<char*> rest{argv[0]};
    for (int i = 3; i < argc; ++i) rest.push_back(argv[i]);
    return tool::RunSectorBitmapTool(
        static_cast<int>(rest.size()), rest.data(), "rgb2sect", kind,
        [&](const BmpRows& rows) -> Result<SectorGrid> {
          auto grid = GridFromColourList(rows, text);
          // A line of the list that cannot be read is said with the list's name.
          if (!grid && grid.error().starts_with("line "))
            return Result<SectorGrid>::Fail("the list " + name + ", " + grid.error());
          return grid;
        });
  }
  return tool::RunSectorBitmapTool(argc, argv, "rgb2sect", kind,
                                   [](const BmpRows& rows) -> Result<SectorGrid> {
                                     return Result<SectorGrid>::Ok(GridFromRgbRows(rows));
                                   });
}
