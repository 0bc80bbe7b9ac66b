// SPDX-License-Identifier: GPL-3.0-or-later
#include "TileCache.h"

#include <QPainter>
#include <algorithm>

namespace mw {

void TileCache::Ensure(QRect scaled, QRect picture, const MapComposer& composer,
                       const ViewGeometry& view) {
  scaled = scaled.intersected(picture);
  if (scaled.isEmpty()) return;
  std::vector<QRect> missing;
  std::vector<uint64_t> keys;
  for (int ty = scaled.top() / kTileSize; ty <= scaled.bottom() / kTileSize; ++ty)
    for (int tx = scaled.left() / kTileSize; tx <= scaled.right() / kTileSize; ++tx) {
      const uint64_t key = Key(tx, ty);
      auto it = tiles_.find(key);
      if (it != tiles_.end()) {
        it->second.lastUse = ++uses_;
        continue;
      }
      missing.push_back(TileRect(tx, ty).intersected(picture));
      keys.push_back(key);
    }
  if (missing.empty()) return;
  std::vector<QImage> made = composer.Compose(view, missing);
  for (size_t k = 0; k < keys.size(); ++k) tiles_[keys[k]] = {std::move(made[k]), ++uses_};
}

void TileCache::Patch(QRect scaled, QRect picture, const MapComposer& composer,
                      const ViewGeometry& view) {
  scaled = scaled.intersected(picture);
  if (scaled.isEmpty()) return;
  std::vector<QRect> parts;
  std::vector<Tile*> tiles;
  for (int ty = scaled.top() / kTileSize; ty <= scaled.bottom() / kTileSize; ++ty)
    for (int tx = scaled.left() / kTileSize; tx <= scaled.right() / kTileSize; ++tx) {
      auto it = tiles_.find(Key(tx, ty));
      if (it == tiles_.end()) continue;
      parts.push_back(scaled.intersected(TileRect(tx, ty)));
      tiles.push_back(&it->second);
    }
  if (parts.empty()) return;
  const std::vector<QImage> made = composer.Compose(view, parts);
  for (size_t k = 0; k < parts.size(); ++k) {
    QPainter painter(&tiles[k]->image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QPoint origin((parts[k].left() / kTileSize) * kTileSize,
                        (parts[k].top() / kTileSize) * kTileSize);
    painter.drawImage(parts[k].topLeft() - origin, made[k]);
  }
}

void TileCache::Draw(QPainter& painter, QRect scaled, QPoint scroll) const {
  for (int ty = scaled.top() / kTileSize; ty <= scaled.bottom() / kTileSize; ++ty)
    for (int tx = scaled.left() / kTileSize; tx <= scaled.right() / kTileSize; ++tx) {
      const QRect tile = TileRect(tx, ty);
      const QRect part = tile.intersected(scaled);
      painter.drawImage(part.topLeft() - scroll, tiles_.at(Key(tx, ty)).image,
                        part.translated(-tile.topLeft()));
    }
}

void TileCache::Trim(QSize client) {
  if (client.isEmpty()) client = QSize(1920, 1080);
  const size_t shown =
      static_cast<size_t>((client.width() / kTileSize + 2) * (client.height() / kTileSize + 2));
  const size_t keep = std::max<size_t>(64, 3 * shown);
  if (tiles_.size() <= keep) return;
  const size_t drop = tiles_.size() - keep;
  std::vector<std::pair<uint64_t, uint64_t>> byUse;
  for (const auto& [key, tile] : tiles_) byUse.push_back({tile.lastUse, key});
  std::nth_element(byUse.begin(), byUse.begin() + static_cast<ptrdiff_t>(drop), byUse.end());
  for (size_t i = 0; i < drop; ++i) tiles_.erase(byUse[i].second);
}

}  // namespace mw
