// SPDX-License-Identifier: GPL-3.0-or-later
#include "MapLayers.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "CountText.h"
#include "FormatFacts.h"
#include "Scaling.h"
#include "ViewGeometry.h"

namespace mw {
namespace {

const QColor kLabelText(255, 255, 51);
const QColor kLabelBackground(51, 51, 255);
const QColor kCountText(34, 34, 34);

// Text whose top left corner lies at `at`, as the map view writes its labels.
QRect TextBox(const QFont& font, QPoint at, const QString& text) {
  const QFontMetrics m(font);
  return QRect(at, QSize(m.horizontalAdvance(text), m.height()));
}

}  // namespace

void PointMarker::Paint(QPainter& painter, const ViewGeometry& view) const {
  if (!at_) return;
  const QPoint c = view.MapToClient(*at_);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(QColor::fromRgb(kColour), 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(c, kRadius, kRadius);
  painter.drawLine(c - QPoint(kRadius + 4, 0), c + QPoint(kRadius + 4, 0));
  painter.drawLine(c - QPoint(0, kRadius + 4), c + QPoint(0, kRadius + 4));
  painter.restore();
}

void SectorOutline::Paint(QPainter& painter, const ViewGeometry& view) const {
  if (cells_.empty()) return;
  const QRect shown = painter.clipBoundingRect().toAlignedRect();
  for (const QPoint& p : cells_) {
    const QPoint at = view.MapToClient(p);
    const int w = std::max(1, view.Scaled(p.x() + 1) - view.Scaled(p.x()));
    const int h = std::max(1, view.Scaled(p.y() + 1) - view.Scaled(p.y()));
    const QRect r(at.x() - 1, at.y() - 1, w + 2, h + 2);
    if (shown.isEmpty() || shown.intersects(r)) painter.fillRect(r, QColor::fromRgb(kColour));
  }
}

void Crosshair::Paint(QPainter& painter, const ViewGeometry& view) const {
  if (!at_) return;
  const QPoint c = view.MapToClient(*at_);
  constexpr int kGap = 3;
  for (const auto& [pen, width] :
       {std::pair{QColor(255, 255, 255), 3}, {QColor::fromRgb(kColour), 1}})
    for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
      const QPoint from = c + d * kGap, to = c + d * kArm;
      painter.fillRect(
          QRect(from, to).normalized().adjusted(-(width / 2), -(width / 2), width / 2, width / 2),
          pen);
    }
}

ViewFonts::ViewFonts() {
  labelFont.setPixelSize(10);
  labelFont.setBold(true);
  countFont.setPixelSize(12);
  countFont.setBold(true);
}

QImage PictureLayer::MakeCanvas(const ViewGeometry& view, QRect area) const {
  const ViewState& s = view.state();
  return ScaleRegionKeepingDarkLines(source_.map().mapPicture, s.scaledWidth, s.scaledHeight, area);
}

// A label stands at its point when the point lies within the picture (both edges included),
// whatever part of it an area shows.
void IncomeLabelLayer::Draw(const ViewGeometry& view, const Canvas& canvas) const {
  const Position& position = source_.position();
  if (!source_.settings().showIpcValues() || !position.sectorTable()) return;
  const SectorTable& table = *position.sectorTable();
  const QFont& font = source_.fonts().labelFont;
  for (QPainter* painter : canvas.painters) painter->setFont(font);
  const ViewState& s = view.state();
  for (int n = 1; n < kSectorSlots; ++n) {
    const SectorRecord& r = table[n];
    if (r.ipcValue() == 0) continue;
    const int px = view.Scaled(r.labelX()), py = view.Scaled(r.labelY());
    if (px < 0 || px > s.scaledWidth || py < 0 || py > s.scaledHeight) continue;
    const QString text = QString::fromStdString(CountText(r.ipcValue()));
    const QRect box = TextBox(font, QPoint(px, py), text);
    if (!box.intersects(canvas.all)) continue;
    for (size_t k = 0; k < canvas.areas.size(); ++k) {
      if (!box.intersects(canvas.areas[k])) continue;
      canvas.painters[k]->fillRect(box, kLabelBackground);
      canvas.painters[k]->setPen(kLabelText);
      canvas.painters[k]->drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
    }
  }
}

QRect IncomeLabelLayer::AreaOf(const ViewGeometry& view, const LabelPoint& point) const {
  const SectorRecord* record = source_.position().sectorRecord(point.sector);
  if (!record || record->ipcValue() == 0) return QRect();
  const QString text = QString::fromStdString(CountText(record->ipcValue()));
  return TextBox(source_.fonts().labelFont, QPoint(view.Scaled(point.x), view.Scaled(point.y)),
                 text);
}

PieceLook UnitLayer::Look(const ViewGeometry& view) const {
  const MapState& map = source_.map();
  PieceLook look{&map.piecesPicture, map.pieceCellWidth,  map.pieceCellHeight,
                 map.pieceHalfWidth, map.pieceHalfHeight, &source_.fonts().countFont};
  if (!source_.piecesFollowZoom() || map.piecesPicture.isNull()) return look;
  const double zoom = view.state().zoom;
  // Above zoom 1 the big pieces have the finer drawing, where the package has them.
  const bool big = zoom > 1.0 + 1e-9 && !map.bigPiecesPicture.isNull();
  const QImage& source = big ? map.bigPiecesPicture : map.piecesPicture;
  const int fromWidth = big ? format::kBigPieceCell.width : map.pieceCellWidth;
  const int fromHeight = big ? format::kBigPieceCell.height : map.pieceCellHeight;
  if (zoomed_.zoom != zoom || zoomed_.from != source.cacheKey()) {
    zoomed_.zoom = zoom;
    zoomed_.from = source.cacheKey();
    zoomed_.cellWidth = std::max(1, static_cast<int>(std::lround(map.pieceCellWidth * zoom)));
    zoomed_.cellHeight = std::max(1, static_cast<int>(std::lround(map.pieceCellHeight * zoom)));
    const int columns = source.width() / fromWidth, rows = source.height() / fromHeight;
    zoomed_.picture = QImage(columns * zoomed_.cellWidth, rows * zoomed_.cellHeight,
                             QImage::Format_ARGB32_Premultiplied);
    zoomed_.picture.fill(Qt::transparent);
    // Cell by cell, so that no cell takes colour from its neighbours.
    QPainter painter(&zoomed_.picture);
    for (int row = 0; row < rows; ++row)
      for (int column = 0; column < columns; ++column)
        painter.drawImage(QPoint(column * zoomed_.cellWidth, row * zoomed_.cellHeight),
                          source.copy(column * fromWidth, row * fromHeight, fromWidth, fromHeight)
                              .scaled(zoomed_.cellWidth, zoomed_.cellHeight, Qt::IgnoreAspectRatio,
                                      Qt::SmoothTransformation));
    zoomed_.font = source_.fonts().countFont;
    zoomed_.font.setPixelSize(std::max(6, static_cast<int>(std::lround(12 * zoom))));
  }
  look.picture = &zoomed_.picture;
  look.cellWidth = zoomed_.cellWidth;
  look.cellHeight = zoomed_.cellHeight;
  look.halfWidth = zoomed_.cellWidth / 2;
  look.halfHeight = zoomed_.cellHeight / 2;
  look.countFont = &zoomed_.font;
  look.countRise = static_cast<int>(std::lround(7 * zoom));
  look.halo = true;
  look.scale = std::max(1.0, zoom);
  return look;
}

QRect UnitLayer::CountBox(const PieceLook& look, QPoint at, uint32_t count) const {
  if (!look.halo) return QRect(at, LabelOf(count).size);
  const std::string_view text = CountLabelText(count);
  const QFontMetrics m(*look.countFont);
  // The outline reaches two pixels past the glyphs.
  return QRect(at - QPoint(2, 2), QSize(m.horizontalAdvance(QString::fromLatin1(
                                            text.data(), static_cast<qsizetype>(text.size()))) +
                                            5,
                                        m.height() + 4));
}

void UnitLayer::DrawCount(QPainter& painter, const PieceLook& look, QPoint at,
                          uint32_t count) const {
  if (!look.halo) return painter.drawStaticText(at, LabelOf(count).text);
  const std::string_view text = CountLabelText(count);
  QPainterPath path;
  path.addText(QPointF(at.x(), at.y() + QFontMetrics(*look.countFont).ascent()), *look.countFont,
               QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.strokePath(path,
                     QPen(QColor(250, 250, 240), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.fillPath(path, kCountText);
  painter.restore();
}

void UnitLayer::Draw(const ViewGeometry& view, const Canvas& canvas) const {
  const PieceLook look = Look(view);
  for (QPainter* painter : canvas.painters) {
    painter->setFont(source_.fonts().countFont);
    painter->setPen(kCountText);
  }
  // The units whose point may lie close enough to reach the areas, in list order: a piece
  // reaches a cell around its point, its count (at most five digits) farther to the right.
  const QRect all = canvas.all;
  const double zoom = view.state().zoom;
  const int before = look.cellWidth + static_cast<int>(kLongestCountText * look.scale) + 2,
            after = look.cellWidth + 2;
  const int above = look.cellHeight + static_cast<int>(20 * look.scale);
  const auto near =
      source_.position().UnitsIn(static_cast<int64_t>((all.left() - before) / zoom) - 1,
                                 static_cast<int64_t>((all.top() - above) / zoom) - 1,
                                 static_cast<int64_t>((all.right() + after) / zoom) + 1,
                                 static_cast<int64_t>((all.bottom() + above) / zoom) + 1);
  for (const Unit* unit : near) {
    const Unit& u = *unit;
    if (u.count == 0) continue;
    const QRect reach = Footprint(view, look, u);
    if (!reach.intersects(all)) continue;
    const int cx = view.Scaled(u.x), cy = view.Scaled(u.y);
    for (size_t k = 0; k < canvas.areas.size(); ++k) {
      if (!reach.intersects(canvas.areas[k])) continue;
      QPainter& painter = *canvas.painters[k];
      if (!look.picture->isNull())
        painter.drawImage(QPoint(cx - look.halfWidth, cy - look.halfHeight), *look.picture,
                          look.Cell(u.pieceType, u.country));
      if (u.count > 1)
        DrawCount(painter, look, QPoint(cx + look.halfWidth + 2, cy - look.countRise), u.count);
    }
  }
}

QRect UnitLayer::Footprint(const ViewGeometry& view, const PieceLook& look, const Unit& u) const {
  const int cx = view.Scaled(u.x), cy = view.Scaled(u.y);
  QRect drawn(QPoint(cx - look.halfWidth, cy - look.halfHeight),
              QSize(look.cellWidth, look.cellHeight));
  if (u.count > 1)
    drawn =
        drawn.united(CountBox(look, QPoint(cx + look.halfWidth + 2, cy - look.countRise), u.count));
  return drawn;
}

QRect UnitLayer::AreaOf(const ViewGeometry& view, const Unit& unit) const {
  const PieceLook look = Look(view);
  const int cx = view.Scaled(unit.x), cy = view.Scaled(unit.y);
  return FromEdges(cx - look.cellWidth - 1, cy - look.cellHeight - 1,
                   cx + look.cellWidth + static_cast<int>(kCountTextRoom * look.scale),
                   cy + look.cellHeight + 1)
      .united(Footprint(view, look, unit));
}

const UnitLayer::CountLabel& UnitLayer::LabelOf(uint32_t count) const {
  const std::string_view text = CountLabelText(count);
  const size_t n = std::min<uint32_t>(count, 999);
  if (countLabels_.empty()) countLabels_.resize(1000);
  CountLabel& label = countLabels_[n];
  if (label.size.isEmpty()) {
    label.text = QStaticText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    label.text.setTextFormat(Qt::PlainText);
    label.text.prepare(QTransform(), source_.fonts().countFont);
    // Antialiased glyphs may reach a pixel past their advance.
    const QSizeF size = label.text.size();
    label.size = QSize(static_cast<int>(size.width()) + 2, static_cast<int>(size.height()) + 2);
  }
  return label;
}

void DrawBoxedText(const Canvas& canvas, const QRect& box, const QFont& font, QColor colour,
                   const QString& text) {
  if (!box.intersects(canvas.all)) return;
  for (size_t k = 0; k < canvas.areas.size(); ++k) {
    if (!box.intersects(canvas.areas[k])) continue;
    QPainter& painter = *canvas.painters[k];
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);  // glyphs stay inside their box
    painter.fillRect(box, Qt::white);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(box, Qt::AlignCenter, text);
    painter.restore();
  }
}

}  // namespace mw
