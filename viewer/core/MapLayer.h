// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRect>
#include <span>

class QPainter;

namespace mw {

class ViewGeometry;

// Where a layer draws: areas of the scaled picture, each with a painter whose coordinates are
// scaled pixels, and the union of the areas.
struct Canvas {
  std::span<const QRect> areas;
  std::span<QPainter* const> painters;
  QRect all;
};

// One layer of the composed map, drawn over the layers before it into the tiles the view keeps.
// A layer draws only from what it is shown (the map, the position, the settings), never from
// what it drew before, so that any part of the map composed again looks as it did.
class MapLayer {
 public:
  virtual ~MapLayer() = default;
  // The first layer may make the image of an area itself, so that what it shows is made once
  // rather than made and copied; none leaves that to the composer.
  virtual QImage MakeCanvas(const ViewGeometry&, QRect) const { return QImage(); }
  virtual void Draw(const ViewGeometry& view, const Canvas& canvas) const = 0;
};

// What is drawn over the kept tiles whenever the map area is painted, in client pixels: what
// follows the mouse and is not worth keeping (the floating piece).
class MapOverlay {
 public:
  virtual ~MapOverlay() = default;
  virtual void Paint(QPainter& painter, const ViewGeometry& view) const = 0;
};

}  // namespace mw
