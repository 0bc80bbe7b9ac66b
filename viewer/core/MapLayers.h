// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QStaticText>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "FormatFacts.h"
#include "MapLayer.h"
#include "MapViewSource.h"

namespace mw {

// A mark over one map point, the same size at every zoom, drawn over everything; nothing while
// there is no point.
class PointOverlay : public MapOverlay {
 public:
  void Place(std::optional<QPoint> map) { at_ = map; }
  const std::optional<QPoint>& at() const { return at_; }

 protected:
  std::optional<QPoint> at_;
};

// A ring and cross over a finding of the package check chosen.
class PointMarker : public PointOverlay {
 public:
  void Paint(QPainter& painter, const ViewGeometry& view) const override;
  static constexpr int kRadius = 12;
  static constexpr QRgb kColour = 0xffe00070;
};

// The border cells of one sector (a sector found by its name), drawn two pixels wide over
// everything for a moment; nothing while there are none.
class SectorOutline : public MapOverlay {
 public:
  void Set(std::vector<QPoint> cells) { cells_ = std::move(cells); }
  bool empty() const { return cells_.empty(); }
  void Paint(QPainter& painter, const ViewGeometry& view) const override;
  static constexpr QRgb kColour = 0xffffd000;

 private:
  std::vector<QPoint> cells_;  // map points
};

// The crosshair of the keyboard board: a cross in dark lines with a light outline where Enter
// and Delete act; nothing until the keyboard moves it.
class Crosshair : public PointOverlay {
 public:
  void Paint(QPainter& painter, const ViewGeometry& view) const override;
  // The client pixels it takes around its point.
  static QRect Around(QPoint client) {
    return QRect(client - QPoint(kArm + 2, kArm + 2), QSize(2 * kArm + 5, 2 * kArm + 5));
  }
  static constexpr int kArm = 10;
  static constexpr QRgb kColour = 0xff101010;
};

// The map picture at the zoom, its thin dark lines kept.
class PictureLayer : public MapLayer {
 public:
  explicit PictureLayer(const MapViewSource& source) : source_(source) {}
  // The scaled picture of the area is the canvas the other layers draw on.
  QImage MakeCanvas(const ViewGeometry& view, QRect area) const override;
  void Draw(const ViewGeometry&, const Canvas&) const override {}

 private:
  const MapViewSource& source_;
};

// The income of every sector with income, yellow on blue at its label point, while "&IPC
// Values" is on.
class IncomeLabelLayer : public MapLayer {
 public:
  explicit IncomeLabelLayer(const MapViewSource& source) : source_(source) {}
  void Draw(const ViewGeometry& view, const Canvas& canvas) const override;
  // The scaled pixels a sector's label takes when it stands at `point`.
  QRect AreaOf(const ViewGeometry& view, const LabelPoint& point) const;

 private:
  const MapViewSource& source_;
};

// How pieces are drawn at a zoom: the picture their cells come from, a cell's size there and in
// scaled pixels, the font of the counts and whether the counts get a light outline.
struct PieceLook {
  const QImage* picture = nullptr;
  int cellWidth = format::kSmallPieceCell.width, cellHeight = format::kSmallPieceCell.height;
  int halfWidth = cellWidth / 2, halfHeight = cellHeight / 2;
  const QFont* countFont = nullptr;
  int countRise = 7;  // the top of a count above the piece's point
  bool halo = false;
  double scale = 1.0;  // of the counts' room
  QRect Cell(int pieceType, int country) const {
    return QRect(pieceType * cellWidth, (country - 1) * cellHeight, cellWidth, cellHeight);
  }
};

// The units in list order, each piece from its cell of the pieces picture with its count beside
// it, a later unit over an earlier one. With "Pieces Follow &Zoom" a piece covers the same map
// pixels at every zoom (the cell size in use times the zoom, from the big pieces above zoom 1
// where the package has them, else from the pieces in use, smoothly scaled) and its count, as
// large, has a light outline that reads on every colour of the map.
class UnitLayer : public MapLayer {
 public:
  explicit UnitLayer(const MapViewSource& source) : source_(source) {}
  void Draw(const ViewGeometry& view, const Canvas& canvas) const override;
  PieceLook Look(const ViewGeometry& view) const;
  // Draws a count whose top left corner stands at `at` as the look says.
  void DrawCount(QPainter& painter, const PieceLook& look, QPoint at, uint32_t count) const;
  QRect CountBox(const PieceLook& look, QPoint at, uint32_t count) const;
  // What a change of a unit record (in the list or not) repaints: whole cells as margins around
  // its point, room on the right for a count, and all the unit draws, however long its count.
  QRect AreaOf(const ViewGeometry& view, const Unit& unit) const;
  // All a unit draws in scaled pixels, its piece and its count, drawn as `look` says.
  QRect Footprint(const ViewGeometry& view, const PieceLook& look, const Unit& unit) const;

 private:
  // The laid-out label of a unit's count and the rectangle it covers, kept by count (a label
  // shows at most 999): laying text out costs more than drawing it, and a unit's footprint is
  // asked for far more often than a label is drawn.
  struct CountLabel {
    QStaticText text;
    QSize size;  // empty until laid out
  };
  const CountLabel& LabelOf(uint32_t count) const;

  const MapViewSource& source_;
  mutable std::vector<CountLabel> countLabels_;
  // The pieces at the zoom they were last drawn at, cell by cell, and the font of their counts.
  struct Zoomed {
    double zoom = 0;
    qint64 from = 0;  // the cache key of the picture they were scaled from
    QImage picture;
    QFont font;
    int cellWidth = 0, cellHeight = 0;
  };
  mutable Zoomed zoomed_;
};

// Room right of a unit's piece for its count text, in pixels: what the window repaints around a
// unit besides what its count really takes; and the most a count of five digits can take.
inline constexpr int kCountTextRoom = 23;
inline constexpr int kLongestCountText = 64;

// A text centred in its box on white, clipped to the box, in every area of the canvas it reaches:
// the labels the map's overlays write.
void DrawBoxedText(const Canvas& canvas, const QRect& box, const QFont& font, QColor colour,
                   const QString& text);

// The rectangle from (left, top) to (right, bottom), the right and bottom edges outside it, as
// the window system's rectangles are given.
inline QRect FromEdges(int left, int top, int right, int bottom) {
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

}  // namespace mw
