// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <filesystem>
#include <string>
#include <vector>

#include "Position.h"
#include "TestMap.h"

namespace mw::test {

// Writes a small map package into a program directory, as the tests need it: a picture of
// `width` x 100 pixels in bands of 100 (band k is sector k + 1, with a dark border line between
// bands), its grid and sector table, the pieces "Ctrl Inf Tank Ship Odd", both piece pictures
// with a distinct colour for every cell, a MapInfo.txt and a start position.
struct TestPackage {
  std::string name = "Tess";
  std::string title = "Test Map";
  std::vector<SectorSpec> sectors{{.name = "North", .initialOwner = 1, .ipcValue = 4},
                                  {.name = "South", .initialOwner = 2, .ipcValue = 3}};
  std::string alliances = "allied 1 2\n";
  // The piece kinds; the fifth, of category 2, counts for neither Land nor Naval.
  std::string pieceTable = "Ctrl 0 0\nInf 3 0\nTank 5 0\nShip 8 1\nOdd 7 2\n";
  std::vector<Unit> start;
  // Grid cells painted with another sector number than their band's.
  std::vector<std::pair<QPoint, uint16_t>> otherCells;
  bool withSectorTable = true;
  bool bigPieces = true;

  void WriteTo(const std::filesystem::path& programDir) const;
};

// The colour of a cell of the pieces pictures that TestPackage paints.
QColor CellColour(int pieceType, int country);
inline const QColor kBandColour(200, 220, 180);
inline const QColor kBorderColour(20, 20, 20);

}  // namespace mw::test
