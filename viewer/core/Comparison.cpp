// SPDX-License-Identifier: GPL-3.0-or-later
#include "Comparison.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <climits>
#include <unordered_set>

#include "ViewGeometry.h"

namespace mw {

Comparison::Comparison(std::unique_ptr<Position> older, std::string file)
    : older_(std::move(older)), file_(std::move(file)), before_(Summarize(*older_)) {}

void Comparison::Update(const Position& board, SectorShapes& shapes) {
  using D = BoardDifference;
  differences_ = CompareBoards(before_, Summarize(board));
  grown_.clear();
  gone_.clear();
  labels_.clear();
  std::unordered_map<uint32_t, int64_t> fewer;
  std::vector<uint16_t> hands;
  for (const D& d : differences_) {
    const uint32_t key = uint32_t{d.sector} << 16 | uint32_t{d.country} << 8 | d.pieceType;
    if (d.kind == D::Kind::kPieces && d.after > d.before) grown_[key] = d.after - d.before;
    if (d.kind == D::Kind::kPieces && d.after < d.before) fewer[key] = d.before - d.after;
    if (d.kind == D::Kind::kHolder) hands.push_back(d.sector);
  }
  // Each group's label stands by its first stack in list order.
  std::unordered_set<uint32_t> labelled;
  for (size_t i = 0; i < board.unitCount(); ++i) {
    const Unit& u = board.unit(i);
    const auto grew = grown_.find(SummaryKey(board, u));
    if (grew != grown_.end() && labelled.insert(grew->first).second)
      labels_.push_back({QPoint(u.x, u.y), grew->second});
  }
  for (size_t i = 0; i < older_->unitCount(); ++i) {
    const Unit& u = older_->unit(i);
    const auto less = fewer.find(SummaryKey(*older_, u));
    if (less == fewer.end()) continue;
    gone_.push_back(u);
    if (labelled.insert(less->first).second) labels_.push_back({QPoint(u.x, u.y), -less->second});
  }
  if (hands != outlined_) TraceOutline(board, hands, shapes);
}

void Comparison::TraceOutline(const Position& board, const std::vector<uint16_t>& sectors,
                              SectorShapes& shapes) {
  outlined_ = sectors;
  outline_ = board.grid() ? shapes.Borders(board.sharedGrid(), sectors) : std::vector<QPoint>();
}

const std::vector<QRect>& SectorShapes::Boxes(const std::shared_ptr<const SectorGrid>& grid) {
  // An expired grid locks as none, so a new grid where the old one lay is another grid.
  if (grid_.lock() != grid || (!grid && !boxes_.empty())) {
    grid_ = grid;
    boxes_ = grid ? SectorBoxes(*grid) : std::vector<QRect>();
    traced_.clear();
  }
  return boxes_;
}

std::vector<QPoint> SectorShapes::Borders(const std::shared_ptr<const SectorGrid>& grid,
                                          const std::vector<uint16_t>& sectors) {
  std::vector<QPoint> cells;
  if (!grid) return cells;
  const std::vector<QRect>& boxes = Boxes(grid);
  for (uint16_t s : sectors) {
    if (s >= traced_.size()) traced_.resize(size_t{s} + 1);
    if (!traced_[s]) traced_[s] = SectorBorderCells(*grid, {s}, boxes);
    cells.insert(cells.end(), traced_[s]->begin(), traced_[s]->end());
  }
  return cells;
}

std::vector<QPoint> SectorBorderCells(const SectorGrid& grid, const std::vector<uint16_t>& sectors,
                                      const std::vector<QRect>& boxes) {
  std::vector<QPoint> cells;
  if (sectors.empty()) return cells;
  const int32_t w = grid.width(), h = grid.height();
  // A cell of a wanted sector on the grid's edge or beside a cell of another sector.
  const auto trace = [&](const QRect& area, auto&& wanted) {
    for (int32_t y = area.top(); y <= area.bottom(); ++y)
      for (int32_t x = area.left(); x <= area.right(); ++x) {
        const uint16_t v = grid.valueAt(x, y);
        if (!wanted(v)) continue;
        if (x == 0 || y == 0 || x == w - 1 || y == h - 1 || grid.valueAt(x - 1, y) != v ||
            grid.valueAt(x + 1, y) != v || grid.valueAt(x, y - 1) != v ||
            grid.valueAt(x, y + 1) != v)
          cells.emplace_back(x, y);
      }
  };
  if (boxes.empty()) {
    std::array<bool, 1 << 16> wanted{};
    for (uint16_t s : sectors) wanted[s] = true;
    trace(QRect(0, 0, w, h), [&](uint16_t v) { return wanted[v]; });
    return cells;
  }
  for (uint16_t s : sectors)
    if (s < boxes.size() && !boxes[s].isEmpty())
      trace(boxes[s] & QRect(0, 0, w, h), [s](uint16_t v) { return v == s; });
  return cells;
}

std::vector<QRect> SectorBoxes(const SectorGrid& grid) {
  struct Box {
    int32_t left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
  };
  std::vector<Box> found(1 << 16);
  uint16_t highest = 0;
  for (int32_t y = 0; y < grid.height(); ++y) {
    int32_t x = 0;
    while (x < grid.width()) {
      // A run of one value costs one update of its box.
      const uint16_t v = grid.valueAt(x, y);
      const int32_t start = x;
      while (x < grid.width() && grid.valueAt(x, y) == v) ++x;
      Box& b = found[v];
      b.left = std::min(b.left, start);
      b.right = std::max(b.right, x - 1);
      b.top = std::min(b.top, y);
      b.bottom = y;
      highest = std::max(highest, v);
    }
  }
  std::vector<QRect> boxes(size_t{highest} + 1);
  for (size_t v = 0; v < boxes.size(); ++v)
    if (found[v].right >= 0)
      boxes[v] =
          QRect(QPoint(found[v].left, found[v].top), QPoint(found[v].right, found[v].bottom));
  return boxes;
}

namespace {

// Fills a rectangle of scaled pixels in every area it reaches.
void Fill(const Canvas& canvas, const QRect& r, const QColor& colour) {
  if (!r.intersects(canvas.all)) return;
  for (size_t k = 0; k < canvas.areas.size(); ++k)
    if (r.intersects(canvas.areas[k])) canvas.painters[k]->fillRect(r, colour);
}

}  // namespace

void ChangesLayer::Draw(const ViewGeometry& view, const Canvas& canvas) const {
  if (!comparison_) return;
  const Comparison& c = *comparison_;
  const Position& board = source_.position();
  const QRect all = canvas.all;

  // Sectors that changed hands: every border pixel two scaled pixels wider all round, so that
  // the line reads at every zoom.
  const QColor hands = QColor::fromRgb(kHandsColour);
  for (const QPoint& p : c.outline()) {
    const int left = view.Scaled(p.x()), top = view.Scaled(p.y());
    const int w = std::max(1, view.Scaled(p.x() + 1) - left);
    const int h = std::max(1, view.Scaled(p.y() + 1) - top);
    Fill(canvas, QRect(left - 1, top - 1, w + 2, h + 2), hands);
  }

  // What left: the older stacks, faint where they stood.
  const PieceLook look = units_.Look(view);
  const auto cellAt = [&](QPoint at) {
    return QRect(view.Scaled(at.x()) - look.halfWidth, view.Scaled(at.y()) - look.halfHeight,
                 look.cellWidth, look.cellHeight);
  };
  if (!look.picture->isNull())
    for (const Unit& u : c.gone()) {
      const QRect cell = cellAt(QPoint(u.x, u.y));
      if (!cell.intersects(all) || u.country == 0) continue;
      for (size_t k = 0; k < canvas.areas.size(); ++k) {
        if (!cell.intersects(canvas.areas[k])) continue;
        QPainter& painter = *canvas.painters[k];
        painter.setOpacity(0.35);
        painter.drawImage(cell.topLeft(), *look.picture, look.Cell(u.pieceType, u.country));
        painter.setOpacity(1.0);
      }
    }

  // What arrived or grew: a ring three pixels outside the piece, two pixels thick.
  const QColor grew = QColor::fromRgb(kGrewColour);
  const double zoom = view.state().zoom;
  const int reach = look.cellWidth + 8;
  const auto near = board.UnitsIn(static_cast<int64_t>((all.left() - reach) / zoom) - 1,
                                  static_cast<int64_t>((all.top() - reach) / zoom) - 1,
                                  static_cast<int64_t>((all.right() + reach) / zoom) + 1,
                                  static_cast<int64_t>((all.bottom() + reach) / zoom) + 1);
  for (const Unit* u : near) {
    if (u->count == 0 || !c.Grew(SummaryKey(board, *u))) continue;
    const QRect ring = cellAt(QPoint(u->x, u->y)).adjusted(-3, -3, 3, 3);
    Fill(canvas, QRect(ring.left(), ring.top(), ring.width(), 2), grew);
    Fill(canvas, QRect(ring.left(), ring.bottom() - 1, ring.width(), 2), grew);
    Fill(canvas, QRect(ring.left(), ring.top(), 2, ring.height()), grew);
    Fill(canvas, QRect(ring.right() - 1, ring.top(), 2, ring.height()), grew);
  }

  // "+n" and "−n" above the first stack of each group, on white.
  const QFont& font = source_.fonts().countFont;
  const QFontMetrics metrics(font);
  for (const Comparison::Label& label : c.labels()) {
    const QString text = (label.delta > 0 ? QStringLiteral("+") : QString(QChar(0x2212))) +
                         QString::number(label.delta > 0 ? label.delta : -label.delta);
    const QRect cell = cellAt(label.at);
    const QRect box(cell.left() - 3, cell.top() - 5 - metrics.height(),
                    metrics.horizontalAdvance(text) + 4, metrics.height());
    DrawBoxedText(canvas, box, font, QColor::fromRgb(label.delta > 0 ? kGrewColour : kFewerColour),
                  text);
  }
}

}  // namespace mw
