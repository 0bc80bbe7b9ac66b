// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <optional>
#include <vector>

#include "MapLayer.h"
#include "MapViewSource.h"

namespace mw {

// The sectors as the grid and the table define them, for the map's author while "&Show Sectors"
// is on: a one-pixel line on every border between cells of different values, each sector's
// number and name over its label point (or over the middle of its cells where the label point
// lies outside them), and every label point as a cross. A sector painted in the grid without a
// record in the table, a record without a cell, and a label point outside its sector are drawn
// in the warning colour. Lines and crosses are one pixel wide at every zoom, the texts one size.
class SectorLayer : public MapLayer {
 public:
  // `boxes` holds each sector's box of cells (SectorBoxes) while the layer is shown.
  SectorLayer(const MapViewSource& source, const std::vector<QRect>& boxes)
      : source_(source), boxes_(boxes) {}
  void Show(bool on) { shown_ = on; }
  bool shown() const { return shown_; }
  void Draw(const ViewGeometry& view, const Canvas& canvas) const override;

  // What the layer draws of one sector's text: "12 Amberlea", "301 (no record)", "7 Fenn (no
  // cells)", or without `named` only the number; the map point it stands over, and whether it is
  // a warning. None for a number that is neither painted nor recorded.
  struct SectorText {
    QString text;
    QPoint at;
    bool warning = false;
  };
  std::optional<SectorText> TextOf(int sector, bool named = true) const;
  // Below this zoom the names would cover each other: the texts are the numbers alone.
  static constexpr double kNamesFromZoom = 0.75;
  // The scaled pixels a sector's text takes, centred above its point.
  QRect TextBox(const ViewGeometry& view, const SectorText& text) const;

  static constexpr QRgb kBorderColour = 0xffff00c8, kWarningColour = 0xffe00000,
                        kMarkerColour = 0xff00e8ff, kTextColour = 0xff202020;
  static constexpr int kMarkerArm = 3;  // pixels each side of a label point

 private:
  bool Recorded(int sector) const;
  bool Painted(int sector) const;

  const MapViewSource& source_;
  const std::vector<QRect>& boxes_;
  bool shown_ = false;
};

}  // namespace mw
