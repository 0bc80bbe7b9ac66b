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

// What is known of the shapes of a grid's sectors: each sector's box of cells (SectorBoxes), found
// for all of them the first time one is needed, and each sector's border cells, traced the first
// time that sector is outlined. A grid never changes once read, and stepping through a game
// outlines the same sectors again and again: both hold while the grid asked about is the same,
// and go when another one is.
class SectorShapes {
 public:
  // The boxes of `grid`'s sectors; none without a grid.
  const std::vector<QRect>& Boxes(const std::shared_ptr<const SectorGrid>& grid);
  // The boxes last found, for what draws them.
  const std::vector<QRect>& boxes() const { return boxes_; }
  // The border cells of each of `sectors` in turn, as SectorBorderCells finds them in `grid`.
  std::vector<QPoint> Borders(const std::shared_ptr<const SectorGrid>& grid,
                              const std::vector<uint16_t>& sectors);

 private:
  std::weak_ptr<const SectorGrid> grid_;  // the grid the boxes were found in
  std::vector<QRect> boxes_;
  std::vector<std::optional<std::vector<QPoint>>> traced_;  // by sector
};

// The board compared with a position file of the same map: what changed since, kept in step
// with the board, and what the map marks for it.
class Comparison {
 public:
  // `older` is the position of `file`, already given the board's map.
  Comparison(std::unique_ptr<Position> older, std::string file);

  // Compares the board again: after every change of it. The borders of the sectors that changed
  // hands are those `shapes` knows of the board's grid.
  void Update(const Position& board, SectorShapes& shapes);

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
                    SectorShapes& shapes);

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
