// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <unordered_map>

#include "MapComposer.h"

class QPainter;

namespace mw {

// The composed picture where it was shown, in square tiles of scaled pixels that are kept until
// the zoom changes or a change of the board touches them, the least recently shown going first
// when there are too many.
class TileCache {
 public:
  static constexpr int kTileSize = 256;

  void Clear() { tiles_.clear(); }
  size_t size() const { return tiles_.size(); }
  // Composes the missing tiles of a rectangle of scaled pixels (within `picture`).
  void Ensure(QRect scaled, QRect picture, const MapComposer& composer, const ViewGeometry& view);
  // Composes the part of each kept tile that lies in `scaled` again, in place.
  void Patch(QRect scaled, QRect picture, const MapComposer& composer, const ViewGeometry& view);
  // Draws the tiles of `scaled` (all kept) with the painter of the map area, scrolled by `scroll`.
  void Draw(QPainter& painter, QRect scaled, QPoint scroll) const;
  // Keeps the tiles of about three map areas of `client`'s size.
  void Trim(QSize client);

 private:
  struct Tile {
    QImage image;
    uint64_t lastUse = 0;
  };
  static uint64_t Key(int tx, int ty) {
    return static_cast<uint64_t>(static_cast<uint32_t>(tx)) << 32 | static_cast<uint32_t>(ty);
  }
  static QRect TileRect(int tx, int ty) {
    return QRect(tx * kTileSize, ty * kTileSize, kTileSize, kTileSize);
  }

  std::unordered_map<uint64_t, Tile> tiles_;
  uint64_t uses_ = 0;
};

}  // namespace mw
