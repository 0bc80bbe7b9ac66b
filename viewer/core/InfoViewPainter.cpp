// SPDX-License-Identifier: GPL-3.0-or-later
#include "InfoViewPainter.h"

#include <array>

#include "MapView.h"

namespace mw {
namespace {

constexpr int kHeight = 115;
constexpr int kFirstColumn = 50;
constexpr int kColumnWidth = 25;
// A column's figures start at its x and take most of its width; its emblem stands centred over
// the figures, a little to their left.
constexpr int kLeadIn = 4;

void Text(QPainter& p, int x, int y, const std::string& text) {
  const QString s = QString::fromStdString(text);
  const QFontMetrics m(p.font());
  p.drawText(QRect(QPoint(x, y), QSize(m.horizontalAdvance(s) + 1, m.height())),
             Qt::AlignLeft | Qt::AlignTop, s);
}

// The rows under the emblem: the line each stands on and its label.
constexpr std::array<std::pair<int, const char*>, 6> kRows = {
    {{20, "IPC"}, {30, "Convoy"}, {40, "Oil"}, {50, "Sum"}, {65, "Land"}, {75, "Naval"}}};

// A country's figures in the order of the rows, as its column shows them.
std::array<std::string, kRows.size()> FigureTexts(const CountryTotal& t) {
  return {TotalText(t.shownIpc()), TotalText(t.shownConvoy()), TotalText(t.shownOil()),
          TotalText(t.shownSum()), TotalText(t.shownLand()),   TotalText(t.shownNaval())};
}

}  // namespace

int InfoViewColumns(const MapState& map) {
  const int h = map.piecesPicture.height();
  return h <= 0 ? 0 : (h + map.pieceCellHeight - 1) / map.pieceCellHeight;
}

int InfoViewCountryAt(const MapState& map, QPoint at) {
  const int offset = at.x() - (kFirstColumn - kLeadIn);
  if (offset < 0) return 0;
  const int column = offset / kColumnWidth;
  return column < InfoViewColumns(map) && column + 1 < kCountrySlots ? column + 1 : 0;
}

QRect InfoViewColumnRect(const MapState& map, int country) {
  return QRect(kFirstColumn - kLeadIn + kColumnWidth * (country - 1), 0, kColumnWidth,
               InfoViewSize(map).height());
}

QSize InfoViewSize(const MapState& map) {
  return QSize(kFirstColumn + kColumnWidth * map.piecesPicture.height() / map.pieceCellHeight,
               kHeight);
}

std::string InfoViewColumnText(const Position& position, int country) {
  std::string text = CountryLabel(position.countryNames(), country) + ":";
  const auto figures = FigureTexts(position.totalOf(static_cast<uint32_t>(country)));
  for (size_t i = 0; i < kRows.size(); ++i)
    text += (i == 0 ? " " : ", ") + std::string(kRows[i].second) + " " + figures[i];
  return text;
}

void PaintInfoView(QPainter& p, const MapState& map, const Position& position, const QFont& font) {
  p.setFont(font);
  p.setPen(Qt::black);
  for (auto [y, label] : kRows) Text(p, 5, y, label);
  for (int r = 0; r < InfoViewColumns(map) && r + 1 < kCountrySlots; ++r) {
    const int x = static_cast<int16_t>(kFirstColumn + kColumnWidth * r);
    p.drawImage(QPoint(x - (map.pieceCellWidth - 15) / 2, 20 - map.pieceCellHeight),
                map.piecesPicture, map.cell(0, r + 1));
    const auto figures = FigureTexts(position.totalOf(static_cast<uint32_t>(r + 1)));
    for (size_t i = 0; i < kRows.size(); ++i) Text(p, x, kRows[i].first, figures[i]);
  }
}

}  // namespace mw
