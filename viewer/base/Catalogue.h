// SPDX-License-Identifier: GPL-3.0-or-later
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

// The ids 201 to 299 give room for 99 maps.
inline constexpr int kMaxCatalogued = 99;

// Every "*.gim" directory of the map folders (the extension in any case), sorted by title without
// regard to case; a name found in several folders (in any case) is taken from the first. Of more
// than 99 packages the first 99 by title are offered, and `leftOut` (when given) names the rest.
std::vector<CatalogueEntry> BuildMapCatalogue(const std::vector<std::filesystem::path>& folders,
                                              std::vector<std::string>* leftOut = nullptr);

}  // namespace mw
