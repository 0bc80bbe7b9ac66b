#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mw {

// One map package offered on the "&New" menu.
struct CatalogueEntry {
  int commandId = 0;        // 201 for the first in title order
  std::string mapName;      // the directory name before its last ".", at most 7 characters
  std::string packageName;  // the whole directory name before its last ".": what is loaded
  std::string title;  // the first line of MapInfo.txt (at most 63 bytes), else the name; UTF-8
};

inline constexpr int kMaxCatalogued = 64;

// Every "*.gim" directory of the program directory (the extension in any case), sorted by title
// without regard to case. Of more than 64 packages the first 64 by title are offered.
std::vector<CatalogueEntry> BuildMapCatalogue(const std::filesystem::path& programDir);

}  // namespace mw
