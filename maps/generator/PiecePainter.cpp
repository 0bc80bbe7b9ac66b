// SPDX-License-Identifier: GPL-3.0-or-later
#include "PiecePainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace mapgen {
namespace {

constexpr int kCountries = 8;
constexpr int kSuper = 8;  // pieces are drawn this many times larger, then scaled down

QColor CountryColour(const Geometry& g, int country) {
  auto it = g.countryColours.find(country);
  if (it == g.countryColours.end()) return QColor(160, 160, 160);
  return QColor(it->second.r, it->second.g, it->second.b);
}

// Dark marks on light colours, light marks on dark ones.
QColor MarkColour(QColor fill) {
  return fill.lightness() > 140 ? QColor(24, 20, 16) : QColor(250, 246, 236);
}

// The emblem of each country: a pattern in its second colour over its own.
void PaintEmblem(QPainter& p, QRectF r, int country, QColor fill) {
  const QColor mark = MarkColour(fill);
  p.setBrush(fill);
  p.setPen(Qt::NoPen);
  p.drawRect(r);
  p.setBrush(mark);
  const double w = r.width(), h = r.height(), x = r.x(), y = r.y();
  switch ((country - 1) % kCountries) {
    case 0:  // a cross, set towards the hoist
      p.drawRect(QRectF(x + w * 0.28, y, w * 0.16, h));
      p.drawRect(QRectF(x, y + h * 0.42, w, h * 0.16));
      break;
    case 1:  // a band across
      p.drawRect(QRectF(x, y + h * 0.34, w, h * 0.32));
      break;
    case 2:  // a pale
      p.drawRect(QRectF(x + w * 0.36, y, w * 0.28, h));
      break;
    case 3:  // a diagonal
      p.drawPolygon(
          QPolygonF({QPointF(x, y + h), QPointF(x, y + h * 0.7), QPointF(x + w * 0.8, y),
                     QPointF(x + w, y), QPointF(x + w, y + h * 0.3), QPointF(x + w * 0.2, y + h)}));
      break;
    case 4:  // a disc
      p.drawEllipse(QPointF(x + w / 2, y + h / 2), h * 0.32, h * 0.32);
      break;
    case 5: {  // a diamond
      p.drawPolygon(QPolygonF({QPointF(x + w / 2, y + h * 0.1), QPointF(x + w * 0.8, y + h / 2),
                               QPointF(x + w / 2, y + h * 0.9), QPointF(x + w * 0.2, y + h / 2)}));
      break;
    }
    case 6:  // a chevron from the hoist
      p.drawPolygon(QPolygonF({QPointF(x, y), QPointF(x + w * 0.5, y + h / 2), QPointF(x, y + h)}));
      break;
    default:  // quartered
      p.drawRect(QRectF(x, y, w / 2, h / 2));
      p.drawRect(QRectF(x + w / 2, y + h / 2, w / 2, h / 2));
      break;
  }
}

// Land pieces carry a unit sign in a frame; sea pieces a hull of their size; air pieces a plane.
void PaintSymbol(QPainter& p, QRectF r, const std::string& kind, QColor mark) {
  const double w = r.width(), h = r.height(), x = r.x(), y = r.y();
  const double line = h * 0.11;
  QPen pen(mark, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  const QRectF frame(x + w * 0.18, y + h * 0.2, w * 0.64, h * 0.6);
  auto hull = [&](double length, double height, double deck) {
    const double cx = x + w / 2, base = y + h * 0.72;
    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    p.drawPolygon(QPolygonF({QPointF(cx - w * length / 2, base - h * height),
                             QPointF(cx + w * length / 2, base - h * height),
                             QPointF(cx + w * length / 2 - w * 0.08, base),
                             QPointF(cx - w * length / 2 + w * 0.05, base)}));
    if (deck > 0)
      p.drawRect(QRectF(cx - w * deck / 2, base - h * (height + 0.18), w * deck, h * 0.2));
  };
  auto plane = [&](double span) {
    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    const double cx = x + w / 2, cy = y + h / 2;
    p.drawPolygon(
        QPolygonF({QPointF(cx + w * 0.32, cy), QPointF(cx - w * 0.05, cy - h * span),
                   QPointF(cx - w * 0.12, cy - h * span), QPointF(cx - w * 0.02, cy - h * 0.06),
                   QPointF(cx - w * 0.3, cy - h * 0.08), QPointF(cx - w * 0.36, cy - h * 0.24),
                   QPointF(cx - w * 0.4, cy), QPointF(cx - w * 0.36, cy + h * 0.24),
                   QPointF(cx - w * 0.3, cy + h * 0.08), QPointF(cx - w * 0.02, cy + h * 0.06),
                   QPointF(cx - w * 0.12, cy + h * span), QPointF(cx - w * 0.05, cy + h * span)}));
  };
  if (kind == "Inf") {
    p.drawRect(frame);
    p.drawLine(frame.topLeft(), frame.bottomRight());
    p.drawLine(frame.bottomLeft(), frame.topRight());
  } else if (kind == "Art") {
    p.drawRect(frame);
    p.setBrush(mark);
    p.drawEllipse(frame.center(), h * 0.11, h * 0.11);
  } else if (kind == "Tank") {
    p.drawRect(frame);
    p.drawRoundedRect(frame.adjusted(w * 0.1, h * 0.14, -w * 0.1, -h * 0.14), h * 0.14, h * 0.14);
  } else if (kind == "Eng") {
    p.drawRect(frame);
    const double cy = frame.center().y();
    p.drawLine(QPointF(frame.left() + w * 0.12, cy), QPointF(frame.right() - w * 0.12, cy));
    p.drawLine(QPointF(frame.left() + w * 0.12, cy),
               QPointF(frame.left() + w * 0.12, cy + h * 0.16));
    p.drawLine(QPointF(frame.right() - w * 0.12, cy),
               QPointF(frame.right() - w * 0.12, cy + h * 0.16));
    p.drawLine(QPointF(frame.center().x(), cy), QPointF(frame.center().x(), cy + h * 0.16));
  } else if (kind == "AA") {
    p.drawRect(frame);
    p.drawArc(frame.adjusted(w * 0.08, h * 0.18, -w * 0.08, h * 0.3), 0, 180 * 16);
  } else if (kind == "Ftr") {
    plane(0.34);
  } else if (kind == "Bmb") {
    // A straight wide wing and a tail across a long body.
    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    const double cx = x + w / 2, cy = y + h / 2;
    p.drawRect(QRectF(cx - w * 0.38, cy - h * 0.08, w * 0.74, h * 0.16));
    p.drawRect(QRectF(cx - w * 0.02, cy - h * 0.42, w * 0.16, h * 0.84));
    p.drawRect(QRectF(cx - w * 0.36, cy - h * 0.22, w * 0.08, h * 0.44));
  } else if (kind == "Sub") {
    hull(0.66, 0.16, 0.14);
  } else if (kind == "Dst") {
    hull(0.56, 0.22, 0.16);
  } else if (kind == "Crs") {
    hull(0.7, 0.24, 0.26);
  } else if (kind == "Bshp") {
    hull(0.84, 0.28, 0.36);
  } else if (kind == "Carr") {
    hull(0.84, 0.2, 0);
    p.drawRect(QRectF(x + w * 0.08, y + h * 0.38, w * 0.84, h * 0.1));
    p.drawRect(QRectF(x + w * 0.56, y + h * 0.22, w * 0.12, h * 0.16));
  } else if (kind == "Trn") {
    hull(0.6, 0.2, 0);
    p.drawRect(QRectF(x + w * 0.3, y + h * 0.26, w * 0.36, h * 0.28));
  } else {
    QFont f("DejaVu Sans");
    f.setPixelSize(static_cast<int>(h * 0.7));
    f.setBold(true);
    p.setFont(f);
    p.drawText(r, Qt::AlignCenter, QString::fromStdString(kind.substr(0, 1)));
  }
}

void PaintCell(QPainter& p, QRectF r, const std::string& kind, int column, int country,
               QColor fill) {
  const double edge = r.height() * 0.08;
  if (column == 0) {
    PaintEmblem(p, r, country, fill);
  } else {
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRect(r);
    PaintSymbol(p, r, kind, MarkColour(fill));
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(fill.darker(260), edge * 1.6));
  p.drawRect(r.adjusted(edge * 0.8, edge * 0.8, -edge * 0.8, -edge * 0.8));
}

}  // namespace

QImage PaintPieces(const Geometry& g, const std::vector<std::string>& kinds, int cellWidth,
                   int cellHeight) {
  const int columns = static_cast<int>(kinds.size());
  QImage big(columns * cellWidth * kSuper, kCountries * cellHeight * kSuper, QImage::Format_RGB32);
  big.fill(Qt::white);
  QPainter p(&big);
  p.setRenderHint(QPainter::Antialiasing);
  for (int row = 0; row < kCountries; ++row)
    for (int column = 0; column < columns; ++column) {
      const QRectF cell(column * cellWidth * kSuper, row * cellHeight * kSuper, cellWidth * kSuper,
                        cellHeight * kSuper);
      PaintCell(p, cell, kinds[column], column, row + 1, CountryColour(g, row + 1));
    }
  p.end();
  return big.scaled(columns * cellWidth, kCountries * cellHeight, Qt::IgnoreAspectRatio,
                    Qt::SmoothTransformation);
}

}  // namespace mapgen
