// SPDX-License-Identifier: GPL-3.0-or-later
#include "SectorLayer.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "MapLayers.h"
#include "PackageText.h"
#include "SectorTable.h"
#include "ViewGeometry.h"

namespace mw {
namespace {

// Farther than this from an area, in scaled pixels, no sector's text reaches into it.
constexpr int kTextReach = 400;

// Rectangles of scaled pixels of one colour, filled in every area they reach.
struct Strokes {
  QColor colour;
  std::vector<QRect> rects;
  void Fill(const Canvas& canvas) const {
    for (size_t k = 0; k < canvas.areas.size(); ++k)
      for (const QRect& r : rects)
        if (r.intersects(canvas.areas[k])) canvas.painters[k]->fillRect(r, colour);
  }
};

}  // namespace

bool SectorLayer::Recorded(int sector) const {
  const SectorTable* table = source_.position().sectorTable();
  return table && IsSectorNumber(static_cast<uint32_t>(sector)) && (*table)[sector].hasName();
}

bool SectorLayer::Painted(int sector) const {
  return sector >= 0 && static_cast<size_t>(sector) < boxes_.size() && !boxes_[sector].isEmpty();
}

std::optional<SectorLayer::SectorText> SectorLayer::TextOf(int sector, bool named) const {
  const bool recorded = Recorded(sector), painted = Painted(sector);
  if (sector <= 0 || (!recorded && !painted)) return std::nullopt;
  const QString number = QString::number(sector);
  if (!recorded)
    return SectorText{named ? number + QStringLiteral(" (no record)") : number,
                      boxes_[sector].center(), true};
  const SectorRecord& r = (*source_.position().sectorTable())[sector];
  const QString text =
      named ? number + QLatin1Char(' ') + QString::fromStdString(DecodePackageText(r.name()))
            : number;
  const QPoint label(r.labelX(), r.labelY());
  if (!painted) return SectorText{named ? text + QStringLiteral(" (no cells)") : text, label, true};
  const SectorGrid* grid = source_.position().grid();
  const bool inside =
      grid && grid->contains(label.x(), label.y()) && grid->valueAt(label.x(), label.y()) == sector;
  return SectorText{text, inside ? label : boxes_[sector].center(), false};
}

QRect SectorLayer::TextBox(const ViewGeometry& view, const SectorText& text) const {
  const QFontMetrics metrics(source_.fonts().labelFont);
  const int width = metrics.horizontalAdvance(text.text) + 4, height = metrics.height() + 2;
  return QRect(view.Scaled(text.at.x()) - width / 2,
               view.Scaled(text.at.y()) - kMarkerArm - 2 - height, width, height);
}

void SectorLayer::Draw(const ViewGeometry& view, const Canvas& canvas) const {
  const SectorGrid* grid = source_.position().grid();
  if (!shown_ || !grid || grid->empty()) return;
  const QRect all = canvas.all;
  const double zoom = view.state().zoom;
  const auto warned = [&](uint16_t v) { return v != 0 && !Recorded(v); };

  // The cells whose borders may reach the areas.
  const int left = std::max(0, static_cast<int>(std::floor(all.left() / zoom)) - 1);
  const int top = std::max(0, static_cast<int>(std::floor(all.top() / zoom)) - 1);
  const int right = std::min(grid->width() - 1, static_cast<int>(all.right() / zoom) + 1);
  const int bottom = std::min(grid->height() - 1, static_cast<int>(all.bottom() / zoom) + 1);
  Strokes lines{QColor::fromRgb(kBorderColour), {}}, warnings{QColor::fromRgb(kWarningColour), {}};
  // The scaled pixels of cells from..end-1 along a border, each cell at least one pixel, as a
  // cell narrower than a pixel at a small zoom still has its border drawn.
  const auto span = [&](int from, int end) {
    return std::max(view.Scaled(end), view.Scaled(end - 1) + 1) - view.Scaled(from);
  };
  // A border between a cell and its right neighbour is the first scaled column of the
  // neighbour, runs of rows merged; between a cell and the one below it, the first scaled row.
  for (int x = left; x < right; ++x) {
    int y = top;
    while (y <= bottom) {
      const uint16_t a = grid->valueAt(x, y), b = grid->valueAt(x + 1, y);
      if (a == b) {
        ++y;
        continue;
      }
      const bool warn = warned(a) || warned(b);
      const int start = y;
      while (y <= bottom && grid->valueAt(x, y) != grid->valueAt(x + 1, y) &&
             (warned(grid->valueAt(x, y)) || warned(grid->valueAt(x + 1, y))) == warn)
        ++y;
      const int sx = view.Scaled(x + 1), sy = view.Scaled(start);
      (warn ? warnings : lines).rects.emplace_back(sx, sy, 1, span(start, y));
    }
  }
  for (int y = top; y < bottom; ++y) {
    int x = left;
    while (x <= right) {
      const uint16_t a = grid->valueAt(x, y), b = grid->valueAt(x, y + 1);
      if (a == b) {
        ++x;
        continue;
      }
      const bool warn = warned(a) || warned(b);
      const int start = x;
      while (x <= right && grid->valueAt(x, y) != grid->valueAt(x, y + 1) &&
             (warned(grid->valueAt(x, y)) || warned(grid->valueAt(x, y + 1))) == warn)
        ++x;
      const int sx = view.Scaled(start), sy = view.Scaled(y + 1);
      (warn ? warnings : lines).rects.emplace_back(sx, sy, span(start, x), 1);
    }
  }
  lines.Fill(canvas);
  warnings.Fill(canvas);

  // The label points, then the texts over everything.
  const SectorTable* table = source_.position().sectorTable();
  const int last = std::max<int>(kSectorSlots, static_cast<int>(boxes_.size())) - 1;
  Strokes markers{QColor::fromRgb(kMarkerColour), {}}, astray{QColor::fromRgb(kWarningColour), {}};
  for (int n = 1; table && n < kSectorSlots; ++n) {
    if (!Recorded(n)) continue;
    const SectorRecord& r = (*table)[n];
    const int px = view.Scaled(r.labelX()), py = view.Scaled(r.labelY());
    const bool inside =
        grid->contains(r.labelX(), r.labelY()) && grid->valueAt(r.labelX(), r.labelY()) == n;
    Strokes& s = inside ? markers : astray;
    s.rects.emplace_back(px - kMarkerArm, py, 2 * kMarkerArm + 1, 1);
    s.rects.emplace_back(px, py - kMarkerArm, 1, 2 * kMarkerArm + 1);
  }
  markers.Fill(canvas);
  astray.Fill(canvas);

  const QFont& font = source_.fonts().labelFont;
  for (int n = 1; n <= last; ++n) {
    const auto text = TextOf(n, zoom >= kNamesFromZoom - 1e-9);
    if (!text) continue;
    // A text stands centred above its point and is never wider than a name of 38 characters
    // can make it: points farther away are passed over before the text is laid out.
    const int px = view.Scaled(text->at.x()), py = view.Scaled(text->at.y());
    if (px < all.left() - kTextReach || px > all.right() + kTextReach || py < all.top() ||
        py > all.bottom() + kTextReach)
      continue;
    const QRect box = TextBox(view, *text);
    DrawBoxedText(canvas, box, font, QColor::fromRgb(text->warning ? kWarningColour : kTextColour),
                  text->text);
  }
}

}  // namespace mw
