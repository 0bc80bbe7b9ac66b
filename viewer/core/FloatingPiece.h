// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "EditingState.h"
#include "MapLayer.h"
#include "MapLayers.h"
#include "MapViewSource.h"

namespace mw {

// The piece that follows the mouse while placing (the piece chosen in the palette) or carrying
// (the carried pieces, with their count beside them when more than one).
class FloatingPiece : public MapOverlay {
 public:
  // The piece looks as `units` draws the pieces on the map.
  FloatingPiece(const MapViewSource& source, const EditingState& editing, const UnitLayer& units)
      : source_(source), editing_(editing), units_(units) {}
  void Paint(QPainter& painter, const ViewGeometry& view) const override;

 private:
  const MapViewSource& source_;
  const EditingState& editing_;
  const UnitLayer& units_;
};

}  // namespace mw
