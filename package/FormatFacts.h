// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

// The facts of the map package formats that more than one part of the programs relies on, named
// once: whoever cuts a piece out of a pieces picture, counts a country's fields or bounds a name
// takes them from here.
namespace mw::format {

// A cell of a pieces picture: one piece kind (column) of one country (row, from country 1).
struct CellSize {
  int width = 0, height = 0;
};
inline constexpr CellSize kSmallPieceCell{15, 10};  // ToolPieces.bmp
inline constexpr CellSize kBigPieceCell{20, 15};    // BigPieces.bmp

// The countries that a sector record has owner fields for, that an alliance row and a name line
// of MapInfo.txt can name: 1 to 8.
inline constexpr int kPackageCountries = 8;
// The countries the unit list lists: 1 to 15.
inline constexpr int kListedCountries = 15;

inline bool IsPackageCountry(int country) { return country >= 1 && country <= kPackageCountries; }

}  // namespace mw::format
