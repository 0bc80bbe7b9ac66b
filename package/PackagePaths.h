// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mw {

// The files of a map package, by the names the viewer uses.
namespace package_file {
inline constexpr std::string_view kMapInfo = "MapInfo.txt";
inline constexpr std::string_view kMapPicture = "Map.bmp";
inline constexpr std::string_view kSectorGrid = "SektorInfo.map";
inline constexpr std::string_view kSectorTable = "SektorInfo.sek";
inline constexpr std::string_view kPieceTable = "ToolPieces.txt";
inline constexpr std::string_view kSmallPieces = "ToolPieces.bmp";
inline constexpr std::string_view kBigPieces = "BigPieces.bmp";
inline constexpr std::string_view kStartPosition = "Start.QPX";
inline constexpr std::string_view kSectorTableExport = "SektorInfo.new";
}  // namespace package_file

inline constexpr std::string_view kPackageExtension = ".gim";

// The map name of a package folder's name, "Tess" of "Tess.gim" (the extension in any case); none
// for a name that does not end in ".gim" or is nothing else.
std::optional<std::string> PackageNameOf(std::string_view folderName);

// `child` inside `dir`, matched without regard to case: the entry of that name when one exists
// in any case (an exact match first), else `dir / child` as written.
std::filesystem::path FindEntryIgnoringCase(const std::filesystem::path& dir,
                                            std::string_view child);

// The package directory of a map in the program directory: "<map name>.gim" in any case. A
// slash or backslash in the name stands for "_", so the directory is always inside programDir.
std::filesystem::path PackageDirectory(const std::filesystem::path& programDir,
                                       std::string_view mapName);

// A file of a map package, every component found without regard to case, so that a package
// made on a case-insensitive file system (say "TESS.GIM/MAP.BMP") opens here. A file that does
// not exist gets the spelling given, so that it can be created under that name.
std::filesystem::path PackageFile(const std::filesystem::path& programDir, std::string_view mapName,
                                  std::string_view fileName);

// True when the two names are equal without regard to the case of ASCII letters.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace mw
