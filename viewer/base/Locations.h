// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace mw {

// The folder of the running program: where /proc/self/exe points, else where `argv0` says.
std::filesystem::path ProgramDir(const char* argv0);

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

// A portable copy of the program: its folder holds map packages of its own (a build folder, or a
// folder copied whole) and may be written. An installed program is none, even run as root.
bool IsPortable(const std::filesystem::path& programDir);

// Where the settings file lives: beside a portable program, else in $XDG_CONFIG_HOME/Marrowind
// (~/.config/Marrowind).
std::filesystem::path SettingsFile(const std::filesystem::path& programDir,
                                   std::string_view fileName);

// The folder the sector table of a package is exported into: the package itself where it is the
// user's (beside a portable program, or among the user's own maps in
// $XDG_DATA_HOME/marrowind/maps), else, for a package installed for everyone,
// $XDG_DATA_HOME/marrowind/exports/<package folder's name>, which is no map folder.
std::filesystem::path ExportFolder(const std::filesystem::path& programDir,
                                   const std::filesystem::path& packageFolder);

}  // namespace mw
