// SPDX-License-Identifier: GPL-3.0-or-later
// "&Show Sectors": every border between cells of different values is a line of one pixel in the
// colour its sectors call for, every label point a cross, every painted or recorded sector a
// text, at every zoom, in the tiles as in the whole picture; nothing else changes, and switched
// off the map is as it was.
#include <QPainter>

#include "SectorTable.h"
#include "ViewerFixture.h"

namespace mw {
namespace {

class SectorLayerTest : public test::ViewerTest {
 protected:
  SectorLayerTest() {
    // Five bands. Sector 2's label point lies in sector 3; sector 3's name is Windows-1252.
    // Band 4 is painted 9 (no record) above row 50 and 0 (no sector) below, so record 4 has no
    // cells.
    test::TestPackage& p = packages[0];
    p.sectors = {{.name = "North", .labelX = 50, .labelY = 50},
                 {.name = "Fenn", .labelX = 250, .labelY = 50},
                 {.name = "\xD6lfeld", .labelX = 260, .labelY = 40},
                 {.name = "Gone", .labelX = 350, .labelY = 70},
                 {.name = "South", .labelX = 470, .labelY = 99}};
    for (int y = 0; y < 100; ++y)
      for (int x = 300; x < 400; ++x) p.otherCells.push_back({QPoint(x, y), y < 50 ? 9 : 0});
  }
  QImage Whole() {
    const ViewState& s = viewer->view().state();
    return viewer->view().ComposedRegion(QRect(0, 0, s.scaledWidth, s.scaledHeight));
  }
  QImage Painted() {
    const ViewState& s = viewer->view().state();
    QImage shown(s.scaledWidth, s.scaledHeight, QImage::Format_RGB32);
    QPainter painter(&shown);
    viewer->view().PaintTiles(painter, shown.rect());
    return shown;
  }
  bool Recorded(uint16_t v) { return v >= 1 && v <= 5 && v != 0; }
  // What the layer must draw, pixel by pixel, found cell by cell: 0 where it draws nothing, the
  // colour of a line or cross, and kTextZone where a text's box stands.
  static constexpr QRgb kTextZone = 0xff010203;
  QImage Expected() {
    const MapView& view = viewer->view();
    const ViewState& s = view.state();
    QImage want(s.scaledWidth, s.scaledHeight, QImage::Format_ARGB32);
    want.fill(0u);
    const SectorGrid& grid = *position().grid();
    const auto mark = [&](QRect r, QRgb colour) {
      r = r.intersected(want.rect());
      for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
          if (want.pixel(x, y) != SectorLayer::kWarningColour) want.setPixel(x, y, colour);
    };
    const auto colour = [&](uint16_t a, uint16_t b) {
      const bool warn = (a != 0 && !Recorded(a)) || (b != 0 && !Recorded(b));
      return warn ? SectorLayer::kWarningColour : SectorLayer::kBorderColour;
    };
    const auto S = [&](int v) { return view.Scaled(v); };
    for (int y = 0; y < grid.height(); ++y)
      for (int x = 0; x < grid.width(); ++x) {
        const uint16_t v = grid.valueAt(x, y);
        if (x + 1 < grid.width() && grid.valueAt(x + 1, y) != v)
          mark(QRect(S(x + 1), S(y), 1, std::max(1, S(y + 1) - S(y))),
               colour(v, grid.valueAt(x + 1, y)));
        if (y + 1 < grid.height() && grid.valueAt(x, y + 1) != v)
          mark(QRect(S(x), S(y + 1), std::max(1, S(x + 1) - S(x)), 1),
               colour(v, grid.valueAt(x, y + 1)));
      }
    for (int n = 1; n <= 5; ++n) {
      const SectorRecord& r = (*position().sectorTable())[n];
      const bool home = grid.sectorAt(r.labelX(), r.labelY()) == n;
      const QRgb c = home ? SectorLayer::kMarkerColour : SectorLayer::kWarningColour;
      const QPoint at(S(r.labelX()), S(r.labelY()));
      for (int d = -SectorLayer::kMarkerArm; d <= SectorLayer::kMarkerArm; ++d) {
        mark(QRect(at.x() + d, at.y(), 1, 1), c);
        mark(QRect(at.x(), at.y() + d, 1, 1), c);
      }
    }
    QPainter painter(&want);
    for (int n : {1, 2, 3, 4, 5, 9}) painter.fillRect(Box(n), QColor::fromRgb(kTextZone));
    return want;
  }
  QRect Box(int n) {
    const SectorLayer& layer = viewer->overlays().sectorLayer();
    return layer.TextBox(
        viewer->view().geometry(),
        *layer.TextOf(n, viewer->view().state().zoom >= SectorLayer::kNamesFromZoom - 1e-9));
  }
};

TEST_F(SectorLayerTest, bordersCrossesAndTextsStandWhereTheGridSaysAtEveryZoom) {
  StartViewer();
  for (int i = 0; i < 5; ++i) viewer->view().ZoomOut();
  for (int level = 0; level < 16; ++level) {
    const std::string zoom = "zoom " + std::to_string(viewer->view().state().zoom);
    const QImage plain = Whole();
    viewer->Command(command::kShowSectors);
    const QImage shown = Whole(), want = Expected();
    int lines = 0;
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x) {
        const QRgb w = want.pixel(x, y);
        if (w == kTextZone) continue;  // a text's box
        if (w == 0) {
          ASSERT_EQ(shown.pixel(x, y), plain.pixel(x, y)) << zoom << " at " << x << "," << y;
        } else {
          ASSERT_EQ(shown.pixel(x, y), w) << zoom << " at " << x << "," << y;
          ++lines;
        }
      }
    EXPECT_GT(lines, 0) << zoom;
    for (int n : {1, 2, 3, 4, 5, 9}) {
      const QRect box = Box(n).intersected(shown.rect());
      EXPECT_EQ(shown.pixel(box.topLeft()), qRgb(255, 255, 255)) << zoom << " text of " << n;
    }
    EXPECT_TRUE(Painted() == shown) << zoom << ": the tiles";
    viewer->Command(command::kShowSectors);
    EXPECT_TRUE(Painted() == plain) << zoom << ": switched off";
    viewer->view().ZoomIn();
  }
  EXPECT_FALSE(host.checks[command::kShowSectors]);
}

TEST_F(SectorLayerTest, eachSectorSaysWhatItIsAndStandsWhereItCanBeSeen) {
  StartViewer();
  const SectorLayer& layer = viewer->overlays().sectorLayer();
  struct Case {
    int sector;
    const char* text;
    QPoint at;
    bool warning;
  };
  for (const Case& c :
       {Case{1, "1 North", {50, 50}, false},
        Case{2, "2 Fenn", {149, 49}, false},  // label point elsewhere: the middle
        Case{3, "3 \u00d6lfeld", {260, 40}, false}, Case{4, "4 Gone (no cells)", {350, 70}, true},
        Case{9, "9 (no record)", {349, 24}, true}}) {
    viewer->Command(command::kShowSectors);  // the boxes are found when the layer is first shown
    const auto text = layer.TextOf(c.sector);
    viewer->Command(command::kShowSectors);
    ASSERT_TRUE(text) << c.sector;
    EXPECT_EQ(text->text.toStdString(), c.text);
    EXPECT_EQ(text->at, c.at) << c.sector;
    EXPECT_EQ(text->warning, c.warning) << c.sector;
  }
  viewer->Command(command::kShowSectors);
  EXPECT_FALSE(layer.TextOf(6)) << "neither painted nor recorded";
  EXPECT_EQ(layer.TextOf(2, false)->text.toStdString(), "2");
}

TEST_F(SectorLayerTest, aMovedLabelPointOrAReloadedMapRedrawsTheSectors) {
  StartViewer();
  viewer->Command(command::kShowSectors);
  viewer->view().ZoomIn();
  (void)Painted();  // every tile kept
  // "E", then a click: sector 2's label point comes home, and its text with it.
  viewer->KeyRelease(Key::kE);
  viewer->MousePress(MouseButton::kLeft, viewer->view().MapToClient(QPoint(120, 80)), 0);
  viewer->MouseRelease(MouseButton::kLeft, viewer->view().MapToClient(QPoint(120, 80)));
  EXPECT_EQ(viewer->overlays().sectorLayer().TextOf(2)->at, QPoint(120, 80));
  EXPECT_TRUE(Painted() == Whole()) << "after the label point moved";
  // The author paints band 5 as sector 6, which has no record, and reloads.
  SectorGrid grid = *position().grid();
  for (int y = 0; y < 100; ++y)
    for (int x = 400; x < 500; ++x) grid.setValue(x, y, 6);
  ASSERT_TRUE(grid.WriteFile(dir.path() / "Tess.gim" / "SektorInfo.map"));
  host.answers.push_back(true);  // the moved label point is given up
  viewer->Command(command::kReloadMap);
  ASSERT_TRUE(viewer->overlays().sectorLayer().TextOf(6));
  EXPECT_EQ(viewer->overlays().sectorLayer().TextOf(6)->text.toStdString(), "6 (no record)");
  EXPECT_TRUE(Painted() == Whole()) << "after the reload";
}

}  // namespace
}  // namespace mw
