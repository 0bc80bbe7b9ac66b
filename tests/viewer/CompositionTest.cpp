// SPDX-License-Identifier: GPL-3.0-or-later
// The composed picture the window shows, made tile by tile where it is shown, must be the very
// picture that composing the whole map at once gives: at every zoom level, across tile edges,
// after edits, and in the bands a render writes.
#include <QPainter>

#include "CountText.h"
#include "PositionFile.h"
#include "Scaling.h"
#include "SectorTable.h"
#include "ViewerFixture.h"

namespace mw {
namespace {

using test::StackAt;

// The whole map composed at once: the scaled picture, every income label whose point lies in
// it, then every unit in list order.
QImage WholeComposition(const Viewer& viewer) {
  const MapView& view = viewer.view();
  const ViewState& s = view.state();
  const MapState& map = viewer.map();
  const Position& position = viewer.position();
  QImage image = ScaleKeepingDarkLines(map.mapPicture.Whole(), s.scaledWidth, s.scaledHeight);
  QPainter painter(&image);
  if (viewer.desk().settings().showIpcValues() && position.sectorTable()) {
    const QFont& font = viewer.startup().fonts.labelFont;
    painter.setFont(font);
    for (int n = 1; n < kSectorSlots; ++n) {
      const SectorRecord& r = (*position.sectorTable())[n];
      if (r.ipcValue() == 0) continue;
      const int px = view.Scaled(r.labelX()), py = view.Scaled(r.labelY());
      if (px < 0 || px > s.scaledWidth || py < 0 || py > s.scaledHeight) continue;
      const QString text = QString::fromStdString(CountText(r.ipcValue()));
      const QRect box(QPoint(px, py), QSize(QFontMetrics(font).horizontalAdvance(text),
                                            QFontMetrics(font).height()));
      painter.fillRect(box, QColor(51, 51, 255));
      painter.setPen(QColor(255, 255, 51));
      painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
    }
  }
  const QFont& font = viewer.startup().fonts.countFont;
  painter.setFont(font);
  painter.setPen(QColor(34, 34, 34));
  for (size_t i = 0; i < position.unitCount(); ++i) {
    const Unit& u = position.unit(i);
    if (u.count == 0) continue;
    const int cx = view.Scaled(u.x), cy = view.Scaled(u.y);
    painter.drawImage(QPoint(cx - map.pieceHalfWidth, cy - map.pieceHalfHeight), map.piecesPicture,
                      map.cell(u.pieceType, u.country));
    if (u.count > 1) {
      const QString text = QString::fromLatin1(u.labelText().data(), int(u.labelText().size()));
      painter.drawText(
          QRect(QPoint(cx + map.pieceHalfWidth + 2, cy - 7),
                QSize(QFontMetrics(font).horizontalAdvance(text), QFontMetrics(font).height())),
          Qt::AlignLeft | Qt::AlignTop, text);
    }
  }
  return image;
}

// What the window paints, with the map area as large as the picture.
QImage Painted(const Viewer& viewer) {
  const ViewState& s = viewer.view().state();
  QImage shown(s.scaledWidth, s.scaledHeight, QImage::Format_RGB32);
  shown.fill(Qt::magenta);
  QPainter painter(&shown);
  viewer.view().PaintTiles(painter, shown.rect());
  return shown;
}

// The picture as --render writes it: bands of 7 rows, put together.
QImage InBands(const Viewer& viewer) {
  const ViewState& s = viewer.view().state();
  QImage whole(s.scaledWidth, s.scaledHeight, QImage::Format_RGB32);
  QPainter painter(&whole);
  for (int top = 0; top < s.scaledHeight; top += 7)
    painter.drawImage(0, top, viewer.view().ComposedRegion(QRect(0, top, s.scaledWidth, 7)));
  return whole;
}

// Each target pixel takes the darkest source pixel of its block (the first in reading order among
// equals): the block of a shrinking side is the source pixels that fall on the target pixel, of
// an enlarging side the one under its centre.
QImage DarkestOfBlocks(const QImage& source, int width, int height) {
  auto block = [](int t, int sourceCount, int count) {
    if (count >= sourceCount) {
      const int at = static_cast<int>((2LL * t + 1) * sourceCount / (2LL * count));
      return std::pair{at, at};
    }
    const int first = static_cast<int>(1LL * t * sourceCount / count);
    const int last = static_cast<int>((1LL * (t + 1) * sourceCount - 1) / count);
    return std::pair{first, std::max(first, last)};
  };
  QImage out(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const auto [x0, x1] = block(x, source.width(), width);
      const auto [y0, y1] = block(y, source.height(), height);
      QRgb best = source.pixel(x0, y0);
      for (int sy = y0; sy <= y1; ++sy)
        for (int sx = x0; sx <= x1; ++sx) {
          const QRgb c = source.pixel(sx, sy);
          auto brightness = [](QRgb v) { return 299 * qRed(v) + 587 * qGreen(v) + 114 * qBlue(v); };
          if (brightness(c) < brightness(best)) best = c;
        }
      out.setPixel(x, y, best);
    }
  return out;
}

TEST(Scaling, anyPartIsThatPartOfTheWholeAtEverySize) {
  QImage source(53, 37, QImage::Format_RGB32);
  uint32_t seed = 7;
  for (int y = 0; y < source.height(); ++y)
    for (int x = 0; x < source.width(); ++x) {
      seed = seed * 1103515245u + 12345u;
      source.setPixel(x, y, qRgb(int(seed >> 24), int(seed >> 16) & 255, int(seed >> 8) & 255));
    }
  for (int level = 5; level <= 20; ++level) {
    const int w = static_cast<int>(53 * level / 10.0 + 0.5),
              h = static_cast<int>(37 * level / 10.0 + 0.5);
    const QImage whole = ScaleKeepingDarkLines(source, w, h);
    ASSERT_TRUE(whole == DarkestOfBlocks(source, w, h)) << "level " << level;
    for (const QRect part :
         {QRect(0, 0, 1, 1), QRect(3, 5, 17, 9), QRect(w - 4, h - 3, 4, 3), QRect(1, 0, w - 1, h)})
      EXPECT_TRUE(ScaleRegionKeepingDarkLines(source, w, h, part) == whole.copy(part))
          << "level " << level << " part " << part.x() << "," << part.y();
  }
}

class Composition : public test::ViewerTest {
 protected:
  Composition() {
    // Eight bands, 800 x 100: at zoom 2.0 the picture is 1600 x 200, six tiles and more across.
    packages[0].sectors.resize(8, {.name = "Band", .initialOwner = 1, .ipcValue = 12});
    for (int k = 0; k < 8; ++k) {
      packages[0].sectors[k].labelX = 100 * k + 90;  // labels that reach into the next band
      packages[0].sectors[k].labelY = 90;
    }
    // Stacks around the map points whose scaled places fall on tile edges at the zoom levels,
    // with counts, overlapping each other.
    for (int x : {120, 127, 128, 129, 160, 170, 183, 213, 232, 256, 300, 320, 384, 512, 640, 767})
      packages[0].start.push_back(StackAt(x, 50 + x % 37, static_cast<uint8_t>(1 + x % 3),
                                          static_cast<uint8_t>(1 + x % 8),
                                          static_cast<uint16_t>(1 + x % 12)));
  }
  void ExpectTheWholeComposition(const std::string& when) {
    const QImage whole = WholeComposition(*viewer);
    EXPECT_TRUE(Painted(*viewer) == whole) << when << ": the window's tiles";
    EXPECT_TRUE(InBands(*viewer) == whole) << when << ": the bands of a render";
  }
};

TEST_F(Composition, tilesAndBandsAreTheWholeCompositionAtEveryZoom) {
  StartViewer();
  viewer->Command(command::kIpcValues);
  for (int i = 0; i < 5; ++i) viewer->view().ZoomOut();
  for (int level = 0; level < 16; ++level) {
    ExpectTheWholeComposition("zoom " + std::to_string(viewer->view().state().zoom));
    viewer->view().ZoomIn();
  }
}

TEST_F(Composition, editsRecomposeTheTilesTheyTouchAndNoMore) {
  StartViewer();
  viewer->Command(command::kIpcValues);
  for (int i = 0; i < 10; ++i) viewer->view().ZoomIn();
  ExpectTheWholeComposition("before the edits");
  const size_t kept = viewer->view().tilesKept();
  // A placement on a tile edge, a removal, a move across tiles, and an undo.
  viewer->editing().PaletteClick(QPoint(2 * 15 + 3, 4 * 10 + 3));
  viewer->MousePress(MouseButton::kLeft, viewer->view().MapToClient(QPoint(128, 60)), kShift);
  ExpectTheWholeComposition("after a placement");
  EXPECT_EQ(viewer->view().tilesKept(), kept);
  viewer->KeyRelease(Key::kEscape);
  viewer->MousePress(MouseButton::kMiddle, viewer->view().MapToClient(QPoint(256, 50 + 256 % 37)),
                     0);
  ExpectTheWholeComposition("after a removal");
  const QPoint from = viewer->view().MapToClient(QPoint(384, 50 + 384 % 37));
  viewer->MousePress(MouseButton::kLeft, from, kShift | kCtrl);
  viewer->MouseRelease(MouseButton::kLeft, viewer->view().MapToClient(QPoint(700, 20)));
  ExpectTheWholeComposition("after a move");
  viewer->Command(command::kUndo);
  ExpectTheWholeComposition("after an undo");
  viewer->Command(command::kIpcValues);
  ExpectTheWholeComposition("without income labels");
}

// "Pieces Follow &Zoom": at every zoom a stack covers the map pixels it covers at zoom 1, the
// click lands on what is drawn, its count has a light outline, the tiles are still the whole
// picture, and switched off the map is again what it was, pixel for pixel.
TEST(FollowZoom, piecesCoverTheSameMapCellsAtEveryZoomAndAreHitWhereDrawn) {
  test::TempDir dir;
  test::TestPackage p;
  p.sectors.resize(4, {.name = "Band", .initialOwner = 1});
  p.start = {test::StackAt(150, 50, 2, 3, 12), test::StackAt(128, 30, 1, 5, 1)};
  p.WriteTo(dir.path());
  test::FakeHost host;
  Viewer viewer(host, dir.path());
  ASSERT_TRUE(viewer.Start());
  for (int i = 0; i < 5; ++i) viewer.view().ZoomOut();
  for (int level = 0; level < 16; ++level) {
    const std::string zoom = "zoom " + std::to_string(viewer.view().state().zoom);
    const MapView& view = viewer.view();
    const QImage plain = Painted(viewer);
    viewer.Command(command::kPiecesFollowZoom);
    const QImage whole = viewer.view().ComposedRegion(QRect(QPoint(0, 0), plain.size()));
    EXPECT_TRUE(Painted(viewer) == whole) << zoom << ": the tiles";
    // The map cells (143..157, 45..54) of the tank, scaled: all of its colour within, and the
    // middle of each edge hits the stack.
    const QRect cell(QPoint(view.Scaled(150) - std::lround(15 * viewer.view().state().zoom) / 2,
                            view.Scaled(50) - std::lround(10 * viewer.view().state().zoom) / 2),
                     QSize(std::lround(15 * viewer.view().state().zoom),
                           std::lround(10 * viewer.view().state().zoom)));
    for (int y = cell.top() + 1; y < cell.bottom(); ++y)
      for (int x = cell.left() + 1; x < cell.right(); ++x)
        ASSERT_EQ(QColor(whole.pixel(x, y)), test::CellColour(2, 3))
            << zoom << " " << x << "," << y;
    EXPECT_NE(QColor(whole.pixel(cell.right() + 2, cell.center().y())), test::CellColour(2, 3))
        << zoom << ": no wider than its cells";
    for (QPoint edge :
         {QPoint(cell.left() + 1, cell.center().y()), QPoint(cell.right() - 1, cell.center().y()),
          QPoint(cell.center().x(), cell.top() + 1),
          QPoint(cell.center().x(), cell.bottom() - 1)}) {
      Unit hit;
      const QPoint at = view.ClientToMap(edge - QPoint(view.state().scrollX, view.state().scrollY));
      EXPECT_TRUE(viewer.position().FindUnitAt(at.x(), at.y(), &hit) && hit.count == 12)
          << zoom << ": a hit at " << edge.x() << "," << edge.y();
    }
    // The count "12" right of the piece, outlined in a light colour the map does not have.
    bool halo = false;
    const QRect count(cell.right() + 1, cell.top() - 10, 60, cell.height() + 20);
    for (int y = count.top(); y <= count.bottom(); ++y)
      for (int x = count.left(); x <= count.right(); ++x)
        if (whole.rect().contains(x, y) && qRed(whole.pixel(x, y)) > 235 &&
            qGreen(whole.pixel(x, y)) > 235 && qBlue(whole.pixel(x, y)) > 225)
          halo = true;
    EXPECT_TRUE(halo) << zoom;
    viewer.Command(command::kPiecesFollowZoom);
    EXPECT_TRUE(Painted(viewer) == plain) << zoom << ": switched off";
    viewer.view().ZoomIn();
  }
}

// On the Isles of Tess, stacks with counts of up to five digits whose pieces and counts straddle
// the edges of tiles, across and down, at several zoom levels.
TEST(CompositionOnTess, longCountsAcrossTileEdgesAreWholeEverywhere) {
  const std::filesystem::path programDir = MAP_PACKAGES_DIR;
  test::TempDir dir;
  Position start;
  start.header().setMapName("Tess");
  std::vector<Unit> units;
  uint16_t count = 2;
  for (int x : {230, 240, 247, 250, 253, 500, 505, 510})
    for (int y : {240, 248, 251, 253, 256, 262, 505, 510}) {
      units.push_back(
          StackAt(x, y, static_cast<uint8_t>(x % 5), static_cast<uint8_t>(1 + y % 8), count));
      count = static_cast<uint16_t>(count * 7 % 65521 + 1);
    }
  units.push_back(StackAt(249, 249, 1, 1, 65535));
  start.ReplaceUnits(units);
  ASSERT_TRUE(SavePosition(start, dir / "long.QPX"));
  test::FakeHost host;
  host.client = QSize(2400, 1600);
  Viewer viewer(host, programDir);
  ASSERT_TRUE(viewer.Start((dir / "long.QPX").string()));
  viewer.Command(command::kIpcValues);
  for (int i = 0; i < 5; ++i) viewer.view().ZoomOut();
  for (int level = 0; level < 16; ++level) {
    const QImage whole = WholeComposition(viewer);
    EXPECT_TRUE(Painted(viewer) == whole) << "zoom " << viewer.view().state().zoom;
    EXPECT_TRUE(InBands(viewer) == whole) << "zoom " << viewer.view().state().zoom;
    viewer.view().ZoomIn();
  }
  // Taking pieces off the longest count shortens it: what it no longer covers is redrawn too.
  const QPoint at = viewer.view().MapToClient(QPoint(249, 249));
  viewer.MousePress(MouseButton::kMiddle, at, kShift | kCtrl);
  EXPECT_TRUE(Painted(viewer) == WholeComposition(viewer)) << "after the removal";
}

}  // namespace
}  // namespace mw
