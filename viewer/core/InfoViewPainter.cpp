#include "InfoViewPainter.h"

#include "MapView.h"

namespace mw {
namespace {

constexpr int kHeight = 115;
constexpr int kFirstColumn = 50;
constexpr int kColumnWidth = 25;

void Text(QPainter& p, int x, int y, const std::string& text) {
  const QString s = QString::fromStdString(text);
  const QFontMetrics m(p.font());
  p.drawText(QRect(QPoint(x, y), QSize(m.horizontalAdvance(s) + 1, m.height())),
             Qt::AlignLeft | Qt::AlignTop, s);
}

}  // namespace

int InfoViewColumns(const MapState& map) {
  const int h = map.piecesPicture.height();
  return h <= 0 ? 0 : (h + map.pieceCellHeight - 1) / map.pieceCellHeight;
}

int InfoViewCountryAt(const MapState& map, QPoint at) {
  // A column's figures start at its x and take most of its width; its emblem stands centred over
  // the figures, a little to their left.
  constexpr int kLeadIn = 4;
  const int offset = at.x() - (kFirstColumn - kLeadIn);
  if (offset < 0) return 0;
  const int column = offset / kColumnWidth;
  return column < InfoViewColumns(map) && column + 1 < kCountrySlots ? column + 1 : 0;
}

QSize InfoViewSize(const MapState& map) {
  return QSize(kFirstColumn + kColumnWidth * map.piecesPicture.height() / map.pieceCellHeight,
               kHeight);
}

void PaintInfoView(QPainter& p, const MapState& map, const Position& position, const QFont& font) {
  p.setFont(font);
  p.setPen(Qt::black);
  const std::pair<int, const char*> rows[] = {{20, "IPC"}, {30, "Convoy"}, {40, "Oil"},
                                              {50, "Sum"}, {65, "Land"},   {75, "Naval"}};
  for (auto [y, label] : rows) Text(p, 5, y, label);
  for (int r = 0; r < InfoViewColumns(map) && r + 1 < kCountrySlots; ++r) {
    const int x = static_cast<int16_t>(kFirstColumn + kColumnWidth * r);
    p.drawImage(QPoint(x - (map.pieceCellWidth - 15) / 2, 20 - map.pieceCellHeight),
                map.piecesPicture, map.cell(0, r + 1));
    const CountryTotal& t = position.totalOf(static_cast<uint32_t>(r + 1));
    Text(p, x, 20, TotalText(t.shownIpc()));
    Text(p, x, 30, TotalText(t.shownConvoy()));
    Text(p, x, 40, TotalText(t.shownOil()));
    Text(p, x, 50, TotalText(t.shownSum()));
    Text(p, x, 65, TotalText(t.shownLand()));
    Text(p, x, 75, TotalText(t.shownNaval()));
  }
}

}  // namespace mw
