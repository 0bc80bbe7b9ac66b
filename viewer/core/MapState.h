// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <string>

#include "FormatFacts.h"
#include "MapPicture.h"

namespace mw {

// The pictures of the current map and the cell metrics of its pieces picture. The sector grid,
// the sector table, the piece table and the alliances are attached to the position.
struct MapState {
  std::string packageName;  // the package loaded: its directory's name without ".gim"
  MapPicture mapPicture;
  QImage piecesPicture;
  // The big pieces while the small ones are in use, when the package has them: what pieces that
  // follow the zoom are scaled from above zoom 1.
  QImage bigPiecesPicture;
  int pieceCellWidth = 15;
  int pieceCellHeight = 10;
  int pieceHalfWidth = 7;
  int pieceHalfHeight = 5;

  void UseSmallMetrics() { UseMetrics(format::kSmallPieceCell); }
  void UseBigMetrics() { UseMetrics(format::kBigPieceCell); }
  // Cells of `width` x `height`; a piece's point lies at the cell's middle, rounded down.
  void UseMetrics(format::CellSize cell) {
    pieceCellWidth = cell.width;
    pieceCellHeight = cell.height;
    pieceHalfWidth = cell.width / 2;
    pieceHalfHeight = cell.height / 2;
  }
  // The cell of a piece kind and country (from 1) in the pieces picture.
  QRect cell(int pieceType, int country) const {
    return QRect(pieceType * pieceCellWidth, (country - 1) * pieceCellHeight, pieceCellWidth,
                 pieceCellHeight);
  }
};

}  // namespace mw
