#include "MapLayers.h"

#include <QPainter>

#include "CountText.h"
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

void UnitLayer::Draw(const ViewGeometry& view, const Canvas& canvas) const {
  const MapState& map = source_.map();
  for (QPainter* painter : canvas.painters) {
    painter->setFont(source_.fonts().countFont);
    painter->setPen(kCountText);
  }
  // The units whose point may lie close enough to reach the areas, in list order: a piece
  // reaches a cell around its point, its count (at most five digits) farther to the right.
  const QRect all = canvas.all;
  const double zoom = view.state().zoom;
  const int before = map.pieceCellWidth + kLongestCountText + 2, after = map.pieceCellWidth + 2;
  const int above = map.pieceCellHeight + 20;
  const auto near =
      source_.position().UnitsIn(static_cast<int64_t>((all.left() - before) / zoom) - 1,
                                 static_cast<int64_t>((all.top() - above) / zoom) - 1,
                                 static_cast<int64_t>((all.right() + after) / zoom) + 1,
                                 static_cast<int64_t>((all.bottom() + above) / zoom) + 1);
  for (const Unit* unit : near) {
    const Unit& u = *unit;
    if (u.count == 0) continue;
    const QRect reach = Footprint(view, u);
    if (!reach.intersects(all)) continue;
    const int cx = view.Scaled(u.x), cy = view.Scaled(u.y);
    for (size_t k = 0; k < canvas.areas.size(); ++k) {
      if (!reach.intersects(canvas.areas[k])) continue;
      QPainter& painter = *canvas.painters[k];
      if (!map.piecesPicture.isNull())
        painter.drawImage(QPoint(cx - map.pieceHalfWidth, cy - map.pieceHalfHeight),
                          map.piecesPicture, map.cell(u.pieceType, u.country));
      if (u.count > 1)
        painter.drawStaticText(QPoint(cx + map.pieceHalfWidth + 2, cy - 7), LabelOf(u.count).text);
    }
  }
}

QRect UnitLayer::Footprint(const ViewGeometry& view, const Unit& u) const {
  const MapState& map = source_.map();
  const int cx = view.Scaled(u.x), cy = view.Scaled(u.y);
  QRect drawn(QPoint(cx - map.pieceHalfWidth, cy - map.pieceHalfHeight),
              QSize(map.pieceCellWidth, map.pieceCellHeight));
  if (u.count > 1)
    drawn = drawn.united(QRect(QPoint(cx + map.pieceHalfWidth + 2, cy - 7), LabelOf(u.count).size));
  return drawn;
}

QRect UnitLayer::AreaOf(const ViewGeometry& view, const Unit& unit) const {
  const MapState& map = source_.map();
  const int cx = view.Scaled(unit.x), cy = view.Scaled(unit.y);
  return FromEdges(cx - map.pieceCellWidth - 1, cy - map.pieceCellHeight - 1,
                   cx + map.pieceCellWidth + kCountTextRoom, cy + map.pieceCellHeight + 1)
      .united(Footprint(view, unit));
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

}  // namespace mw
