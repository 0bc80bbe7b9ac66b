// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <filesystem>
#include <memory>

#include "Result.h"
#include "Scaling.h"

namespace mw {

// The map's picture. A bitmap of the plain kinds (8 bits with a palette, 24 or 32 bits, not run
// length encoded) is decoded a tile at a time where it is first shown, read from the file its
// load opened: the first picture of a big map costs what it shows. Any other picture is decoded
// whole when it loads. Copies share the pixels.
class MapPicture : public PictureRows {
 public:
  MapPicture() = default;
  // A picture decoded whole.
  explicit MapPicture(QImage whole);
  // Loads the map's picture, refusing one that `LoadPicture` would refuse, with its reason.
  static Result<MapPicture> Load(const std::filesystem::path& path);

  bool isNull() const { return size_.isEmpty(); }
  QSize size() const override { return size_; }
  void Ready(QRect area) const override;
  const QRgb* Row(int y, int left, int right, QRgb* scratch) const override;
  // Every pixel, decoded now where it was not yet.
  QImage Whole() const;

  // Tiles of this size (a square of pixels) are decoded at once.
  static constexpr int kTile = 256;

 private:
  struct Tiles;
  QSize size_;
  QImage whole_;                  // the picture decoded whole, or
  std::shared_ptr<Tiles> tiles_;  // its tiles, decoded as they are asked for
};

}  // namespace mw
