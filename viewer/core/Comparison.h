// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "MapLayer.h"
#include "MapLayers.h"
#include "MapViewSource.h"
#include "PositionCompare.h"

namespace mw {

// The border cells of sectors, traced once each while the grid is the same: a grid never changes
// once read, and stepping through a game outlines the same sectors again and again.
class SectorBorders {
 public:
  // The border cells of each of `sectors` in turn, as SectorBorderCells finds them; traced in the
  // whole grid, and not kept, without `boxes`.
  std::vector<QPoint> Of(const SectorGrid& grid, const std::vector<uint16_t>& sectors,
                         const std::vector<QRect>& boxes);
  // Another grid: what was traced goes.
  void Clear() { traced_.clear(); }

 private:
  std::vector<std::optional<std::vector<QPoint>>> traced_;  // by sector
};

// The board compared with a position file of the same map: what changed since, kept in step
// with the board, and what the map marks for it.
class Comparison {
 public:
  // `older` is the position of `file`, already given the board's map.
  Comparison(std::unique_ptr<Position> older, std::string file);

  // Compares the board again: after every change of it. `boxes` are the board's sectors' boxes
  // (SectorBoxes), so that only they are searched for the borders of sectors that changed hands,
  // and those found are kept in `borders`; without them the whole grid is.
  void Update(const Position& board, const std::vector<QRect>& boxes, SectorBorders& borders);

  const std::string& file() const { return file_; }
  const Position& older() const { return *older_; }
  // Gives up the older position, with the board's map, for another comparison to reuse: a copy
  // of the map is the dearest part of making one. The comparison is to end at once.
  std::unique_ptr<Position> TakeOlder() { return std::move(older_); }
  const std::vector<BoardDifference>& differences() const { return differences_; }

  // What the map marks.
  struct Label {
    QPoint at;      // the map point of the stack it stands by
    int64_t delta;  // pieces more (positive) or fewer
  };
  // Pieces more of their sector, country and kind than before, by summary key.
  bool Grew(uint32_t key) const { return grown_.contains(key); }
  // The stacks of the older position whose sector, country and kind hold fewer pieces now,
  // drawn faintly where they stood.
  const std::vector<Unit>& gone() const { return gone_; }
  const std::vector<Label>& labels() const { return labels_; }
  // The map pixels on the border of every sector that changed hands.
  const std::vector<QPoint>& outline() const { return outline_; }

 private:
  void TraceOutline(const Position& board, const std::vector<uint16_t>& sectors,
                    const std::vector<QRect>& boxes, SectorBorders& borders);

  std::unique_ptr<Position> older_;
  std::string file_;
  BoardSummary before_;
  std::vector<BoardDifference> differences_;
  std::unordered_map<uint32_t, int64_t> grown_;
  std::vector<Unit> gone_;
  std::vector<Label> labels_;
  std::vector<uint16_t> outlined_;  // the sectors `outline_` was traced for
  std::vector<QPoint> outline_;
};

// The smallest rectangle of grid cells holding each sector's cells, by sector number (an empty
// one for a sector without cells).
std::vector<QRect> SectorBoxes(const SectorGrid& grid);
// The cells of the given sectors that lie on the grid's edge or beside a cell of another sector,
// looked for inside each sector's box (the whole grid when there are no boxes).
std::vector<QPoint> SectorBorderCells(const SectorGrid& grid, const std::vector<uint16_t>& sectors,
                                      const std::vector<QRect>& boxes);

// Draws a comparison over the units: a ring around every stack whose sector, country and kind
// hold more pieces than before, with "+n" by the first of them; the stacks of the older position
// that hold fewer now, faint where they stood, with "−n"; a thick border around every sector that
// changed hands. Nothing while no comparison is shown. Rings and faint stacks take the size the
// units are drawn at (see "Pieces Follow &Zoom").
class ChangesLayer : public MapLayer {
 public:
  ChangesLayer(const MapViewSource& source, const std::optional<Comparison>& comparison,
               const UnitLayer& units)
      : source_(source), comparison_(comparison), units_(units) {}
  void Draw(const ViewGeometry& view, const Canvas& canvas) const override;

  // The colours of the marks.
  static constexpr QRgb kGrewColour = 0xff008a1e, kFewerColour = 0xffc8102e,
                        kHandsColour = 0xffff8c00;

 private:
  const MapViewSource& source_;
  const std::optional<Comparison>& comparison_;
  const UnitLayer& units_;
};

}  // namespace mw
