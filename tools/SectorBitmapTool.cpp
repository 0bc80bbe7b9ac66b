#include "SectorBitmapTool.h"

#include <cstdio>
#include <string>

#include "FileBytes.h"
#include "ToolSupport.h"

namespace mw::tool {

int RunSectorBitmapTool(int argc, char** argv, const char* toolName, const char* bitmapKind,
                        SectorGrid (*convert)(const BmpRows&)) {
  LetOversizedWritesFail();
  const std::string usage = std::string("Usage: ") + toolName + " <bitmap> <gridfile>\n" +
                            "Converts a " + bitmapKind + " sector bitmap into a sector grid.\n";
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
  auto rows = ReadBmpRows(argv[1]);
  if (!rows) return Fail(kExitInput, rows.error());
  const SectorGrid grid = convert(rows.value());
  rows.value().pixels = {};
  if (auto outcome = grid.WriteFile(argv[2]); !outcome) return Fail(kExitOutput, outcome.error());
  return kExitOk;
}

}  // namespace mw::tool
