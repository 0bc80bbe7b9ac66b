#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace mw {

// Where the program looks for map packages, in this order: its own folder (a folder holding the
// program and its packages is a portable installation), the user's own maps in
// $XDG_DATA_HOME/marrowind/maps (~/.local/share/marrowind/maps), the installed ones in the
// marrowind/maps folder of each $XDG_DATA_DIRS entry (/usr/local/share, /usr/share), and last the
// share/marrowind/maps beside the program's bin folder, so that an installation under any prefix
// finds its own maps. A folder named twice is kept once.
std::vector<std::filesystem::path> MapFolders(const std::filesystem::path& programDir);

// The package folder of a map: "<mapName>.gim" in any case, in the first folder that has one;
// without one, the spelling in the first folder.
std::filesystem::path FindPackage(const std::vector<std::filesystem::path>& folders,
                                  std::string_view mapName);

// Where the settings file lives: beside the program when that folder is writable, else in
// $XDG_CONFIG_HOME/Marrowind (~/.config/Marrowind).
std::filesystem::path SettingsFile(const std::filesystem::path& programDir,
                                   std::string_view fileName);

}  // namespace mw
