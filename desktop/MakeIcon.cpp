// SPDX-License-Identifier: GPL-3.0-or-later
// makeicon: paints the program's icon, an island on a sea with a control marker on it, at the
// sizes a desktop asks for, into <folder>/<n>x<n>/apps/<name>.png.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <filesystem>

namespace {

QImage Paint(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 256.0, size / 256.0);
  // The sea, a rounded tile.
  QLinearGradient sea(0, 0, 0, 256);
  sea.setColorAt(0, QColor(58, 110, 178));
  sea.setColorAt(1, QColor(28, 62, 120));
  p.setPen(Qt::NoPen);
  p.setBrush(sea);
  p.drawRoundedRect(QRectF(8, 8, 240, 240), 40, 40);
  // The island, in two sectors parted by a border.
  QPainterPath island;
  island.moveTo(40, 150);
  island.cubicTo(40, 80, 110, 50, 160, 62);
  island.cubicTo(215, 74, 226, 130, 206, 170);
  island.cubicTo(186, 212, 120, 220, 84, 204);
  island.cubicTo(56, 192, 40, 176, 40, 150);
  p.setBrush(QColor(222, 196, 120));
  p.drawPath(island);
  p.save();
  p.setClipPath(island);
  p.setBrush(QColor(120, 168, 96));
  p.drawRect(QRectF(128, 0, 128, 256));
  p.restore();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(40, 40, 40), 6));
  p.drawPath(island);
  p.drawLine(QPointF(128, 58), QPointF(134, 214));
  // A control marker: a red piece with a white cross.
  p.setPen(QPen(QColor(40, 40, 40), 6));
  p.setBrush(QColor(196, 48, 48));
  p.drawRoundedRect(QRectF(62, 112, 56, 40), 6, 6);
  p.setPen(QPen(Qt::white, 8));
  p.drawLine(QPointF(90, 118), QPointF(90, 146));
  p.drawLine(QPointF(68, 132), QPointF(112, 132));
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("Usage: makeicon <folder> <name>\n", stderr);
    return 1;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const auto dir = std::filesystem::path(argv[1]) /
                     (std::to_string(size) + "x" + std::to_string(size)) / "apps";
    std::filesystem::create_directories(dir);
    const auto file = dir / (std::string(argv[2]) + ".png");
    if (!Paint(size).save(QString::fromStdString(file.string()), "PNG")) {
      std::fprintf(stderr, "error: %s: cannot be written\n", file.c_str());
      return 3;
    }
  }
  return 0;
}
