// SPDX-License-Identifier: GPL-3.0-or-later
#include "SectorBitmapTool.h"

#include <cstdio>
#include <new>
#include <string>

#include "BmpRows.h"
#include "FileBytes.h"
#include "ToolSupport.h"

namespace mw::tool {

std::string DescribeBitmap(const BmpInfo& info) {
  std::string text = std::to_string(info.bitsPerPixel) + "-bit";
  switch (info.compression) {
    case 0:
      return text;
    case 1:
      return text + " RLE8";
    case 2:
      return text + " RLE4";
    case 3:
      return text + " with bit fields";
    case 4:
      return text + " JPEG";
    case 5:
      return text + " PNG";
    default:
      return text + " with compression " + std::to_string(info.compression);
  }
}

namespace {

int Convert(int argc, char** argv, const char* toolName, const BitmapKind& kind,
            const SectorConverter& convert) {
  const std::string takes = std::string(toolName) + " takes " + kind.words;
  const std::string usage = std::string("Usage: ") + toolName + " <bitmap> <gridfile>\n" +
                            "Converts a sector bitmap into a sector grid; " + takes + ".\n" +
                            kind.options;
  if (AnswersVersion(argc, argv, toolName)) return kExitOk;
  if (argc >= 2 && IsHelp(argv[1])) {
    std::fputs(usage.c_str(), stdout);
    return kExitOk;
  }
  std::fputs("Loading ...\n", stdout);
  std::fflush(stdout);
  if (argc < 3)
    return Fail(kExitUsage,
                std::string(argc < 2 ? "no bitmap and no grid file given" : "no grid file given") +
                    " (usage: " + toolName + " <bitmap> <gridfile>)");
  if (auto info = ReadBmpInfo(argv[1]); info) {
    const bool compressionTaken = info->compression == 0 || (kind.rle8 && info->compression == 1);
    if (info->bitsPerPixel != kind.bitsPerPixel || !compressionTaken)
      return Fail(kExitInput, std::string(argv[1]) + ": " + takes + "; this one is " +
                                  DescribeBitmap(*info) + ". " + kind.howToGet);
  }
  auto rows = ReadBmpRows(argv[1]);
  if (!rows) return Fail(kExitInput, rows.error());
  auto converted = convert(rows.value());
  if (!converted) return Fail(kExitInput, std::string(argv[1]) + ": " + converted.error());
  const SectorGrid& grid = converted.value();
  const int32_t width = rows.value().width;
  rows.value().pixels = {};
  // The grid takes whole rows of the bitmap as stored, padding included.
  if (grid.width() != width)
    std::fprintf(stderr,
                 "%s: %s: its rows are padded to whole 4-byte groups, so the grid is %d columns "
                 "wide where the bitmap is %d pixels: the last %d columns belong to no sector "
                 "painted (gimcheck takes this)\n",
                 toolName, argv[1], grid.width(), width, grid.width() - width);
  if (auto outcome = grid.WriteFile(argv[2]); !outcome) return Fail(kExitOutput, outcome.error());
  return kExitOk;
}

}  // namespace

int RunSectorBitmapTool(int argc, char** argv, const char* toolName, BitmapKind kind,
                        const SectorConverter& convert) {
  LetOversizedWritesFail();
  try {
    return Convert(argc, argv, toolName, kind, convert);
  } catch (const std::bad_alloc&) {
    // The bitmap's size was checked against its bytes; what is left is a machine without room.
    return Fail(kExitOutput, std::string(argc > 1 ? argv[1] : toolName) +
                                 ": not enough memory to convert it; nothing was written");
  }
}

}  // namespace mw::tool
