// SPDX-License-Identifier: GPL-3.0-or-later
#include "MapPainter.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <deque>

#include "Noise.h"

namespace mapgen {
namespace {

constexpr QRgb kNeutral = qRgb(198, 187, 150);
constexpr QRgb kParchment = qRgb(236, 224, 192);
constexpr QRgb kShallow = qRgb(104, 156, 200);
constexpr QRgb kDeep = qRgb(34, 72, 128);
constexpr QRgb kLandBorder = qRgb(58, 42, 30);
constexpr QRgb kCoast = qRgb(24, 34, 56);
constexpr QRgb kSeaBorder = qRgb(150, 186, 222);

QRgb Mix(QRgb a, QRgb b, double t) {
  auto m = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return qRgb(m(qRed(a), qRed(b)), m(qGreen(a), qGreen(b)), m(qBlue(a), qBlue(b)));
}

QRgb Scale(QRgb c, double f) {
  auto s = [f](int v) { return std::clamp(static_cast<int>(std::lround(v * f)), 0, 255); };
  return qRgb(s(qRed(c)), s(qGreen(c)), s(qBlue(c)));
}

// Distance of every sea pixel from the nearest land pixel, in steps of 4-neighbours, up to `limit`.
std::vector<int> CoastDistance(const SectorLayout& layout, int limit) {
  const int w = layout.grid.width(), h = layout.grid.height();
  std::vector<int> dist(static_cast<size_t>(w) * h, limit);
  std::deque<std::pair<int, int>> queue;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (!layout.sea[layout.grid.valueAt(x, y)]) {
        dist[static_cast<size_t>(y) * w + x] = 0;
        queue.emplace_back(x, y);
      }
  while (!queue.empty()) {
    auto [x, y] = queue.front();
    queue.pop_front();
    const int d = dist[static_cast<size_t>(y) * w + x] + 1;
    if (d >= limit) continue;
    for (auto [nx, ny] : {std::pair{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}}) {
      if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
      int& nd = dist[static_cast<size_t>(ny) * w + nx];
      if (d < nd) {
        nd = d;
        queue.emplace_back(nx, ny);
      }
    }
  }
  return dist;
}

QRgb LandColour(const Geometry& g, const mw::SectorRecord& r, int sector, const Noise& noise) {
  auto it = g.countryColours.find(r.initialOwner());
  const QRgb base = it == g.countryColours.end()
                        ? kNeutral
                        : Mix(qRgb(it->second.r, it->second.g, it->second.b), kParchment, 0.30);
  const double tint = 0.93 + 0.10 * ((noise.Hash(sector, 0, 99) >> 8) / 16777216.0);
  return Scale(base, tint);
}

void PaintGround(QImage& image, const Geometry& g, const std::vector<mw::SectorRecord>& records,
                 const SectorLayout& layout) {
  const Noise noise(g.noiseSeed + 7);
  const std::vector<int> coast = CoastDistance(layout, 48);
  const int w = g.width, h = g.height;
  std::vector<QRgb> sectorColour(records.size());
  for (size_t n = 1; n < records.size(); ++n)
    sectorColour[n] = LandColour(g, records[n], static_cast<int>(n), noise);
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const int n = layout.grid.valueAt(x, y);
      const double grain = 0.96 + 0.08 * noise.Fractal(x / 9.0, y / 9.0, 3);
      if (layout.sea[n]) {
        const double t = std::min(1.0, coast[static_cast<size_t>(y) * w + x] / 48.0);
        line[x] =
            Scale(Mix(kShallow, kDeep, std::sqrt(t)), 0.98 + 0.04 * noise.At(x / 5.0, y / 5.0, 4));
      } else {
        line[x] = Scale(sectorColour[n], grain);
      }
    }
  }
}

void PaintBorders(QImage& image, const SectorLayout& layout) {
  const auto& grid = layout.grid;
  for (int y = 0; y < grid.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < grid.width(); ++x) {
      const int n = grid.valueAt(x, y);
      const int right = x + 1 < grid.width() ? grid.valueAt(x + 1, y) : n;
      const int below = y + 1 < grid.height() ? grid.valueAt(x, y + 1) : n;
      for (int other : {right, below}) {
        if (other == n) continue;
        const bool seaHere = layout.sea[n], seaThere = layout.sea[other];
        if (seaHere != seaThere)
          line[x] = kCoast;
        else if (!seaHere)
          line[x] = kLandBorder;
        else if ((x + y) / 3 % 2 == 0 && line[x] != kCoast)
          line[x] = kSeaBorder;
      }
    }
  }
}

void DrawHaloText(QPainter& p, QPointF centreTop, const QString& text, const QFont& font,
                  QColor colour, QColor halo) {
  p.setFont(font);
  const QFontMetricsF metrics(font);
  const QPointF at(centreTop.x() - metrics.horizontalAdvance(text) / 2,
                   centreTop.y() + metrics.ascent());
  QPainterPath path;
  path.addText(at, font, text);
  p.setPen(QPen(halo, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(path);
}

void PaintNames(QImage& image, const Geometry& g, const std::vector<mw::SectorRecord>& records,
                const SectorLayout& layout) {
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QFont land("DejaVu Sans");
  land.setPixelSize(10);
  land.setBold(true);
  QFont sea("DejaVu Serif");
  sea.setPixelSize(11);
  sea.setItalic(true);
  for (size_t n = 1; n < records.size(); ++n) {
    const auto& r = records[n];
    const QPointF top(SeedX(r), SeedY(r) + 3);
    const QString name = QString::fromLatin1(r.name());
    if (layout.sea[n])
      DrawHaloText(p, top, name, sea, QColor(226, 236, 250), QColor(28, 56, 104, 160));
    else
      DrawHaloText(p, top, name, land, QColor(40, 30, 22), QColor(246, 238, 214, 210));
  }
  if (!g.caption.empty()) {
    QFont caption("DejaVu Serif");
    caption.setPixelSize(26);
    caption.setItalic(true);
    caption.setBold(true);
    const QString text = QString::fromUtf8(g.caption.c_str());
    const QFontMetricsF m(caption);
    DrawHaloText(p, QPointF(24 + m.horizontalAdvance(text) / 2, 14), text, caption,
                 QColor(240, 230, 200), QColor(20, 40, 80, 200));
  }
}

}  // namespace

QImage PaintMap(const Geometry& g, const std::vector<mw::SectorRecord>& records,
                const SectorLayout& layout) {
  QImage image(g.width, g.height, QImage::Format_RGB32);
  PaintGround(image, g, records, layout);
  PaintBorders(image, layout);
  PaintNames(image, g, records, layout);
  return image;
}

QImage PaintSectorBitmap(const SectorLayout& layout) {
  const auto& grid = layout.grid;
  QImage image(grid.width(), grid.height(), QImage::Format_RGB32);
  for (int y = 0; y < grid.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < grid.width(); ++x) {
      const int n = grid.valueAt(x, y);
      line[x] = n == 0 ? qRgb(255, 0, 0) : qRgb(0, n >> 8, n & 0xFF);
    }
  }
  return image;
}

}  // namespace mapgen
