// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <vector>

#include "MapLayer.h"

namespace mw {

// Composes areas of the scaled map from an ordered list of layers, the first drawn first.
class MapComposer {
 public:
  // Adds a layer over those added before; the composer does not own it.
  void Add(const MapLayer& layer) { layers_.push_back(&layer); }
  // The areas (rectangles of scaled pixels), each composed of every layer, in one pass of each.
  std::vector<QImage> Compose(const ViewGeometry& view, const std::vector<QRect>& areas) const;

 private:
  std::vector<const MapLayer*> layers_;
};

}  // namespace mw
