// SPDX-License-Identifier: GPL-3.0-or-later
// The map view: coordinates, zoom, the composed picture and the title.
#include <QPainter>

#include "Scaling.h"
#include "SectorTable.h"
#include "ViewerFixture.h"

namespace mw {
namespace {

using test::CellColour;
using test::StackAt;

class MapViewTest : public test::ViewerTest {
 protected:
  void ZoomTimes(Key key, int times) {
    for (int i = 0; i < times; ++i) viewer->KeyRelease(key);
  }
  // Drags the map with the right button by (dx, dy): the scroll offset grows by as much.
  void Scroll(int dx, int dy) {
    const QPoint from(150, 50);
    viewer->MousePress(MouseButton::kRight, from, 0);
    viewer->MouseMove(from + QPoint(dx, dy));
    viewer->MouseRelease(MouseButton::kRight, from + QPoint(dx, dy));
    ASSERT_EQ(QPoint(viewer->view().state().scrollX, viewer->view().state().scrollY),
              scrolled_ += QPoint(dx, dy));
  }
  QPoint scrolled_;
  bool IsCell(int x, int y, int type, int country) {
    return QColor(Composed(x, y)) == CellColour(type, country);
  }
};

TEST_F(MapViewTest, convertsClientPointsAtZoomAndScroll) {
  packages[0].sectors.resize(8, {.name = "Wide"});
  StartViewer();
  host.client = QSize(300, 100);  // smaller than the picture, so that it scrolls
  viewer->view().ClientResized();
  ZoomTimes(Key::kKeypadPlus, 5);
  Scroll(100, 40);
  EXPECT_EQ(viewer->view().ClientToMap(QPoint(30, 20)), QPoint(87, 40));
  EXPECT_EQ(viewer->view().MapToClient(QPoint(87, 40)), QPoint(31, 20));
  Scroll(-100, -40);
  const std::pair<QPoint, QPoint> cases[] = {{{0, 0}, {0, 0}},
                                             {{1, 1}, {1, 1}},
                                             {{2, 2}, {1, 1}},
                                             {{3, 4}, {2, 3}},
                                             {{149, 149}, {99, 99}}};
  for (auto [client, map] : cases) EXPECT_EQ(viewer->view().ClientToMap(client), map) << client.x();
}

TEST_F(MapViewTest, zoomsOverSixteenLevelsAndScalesThePicture) {
  packages[0].sectors.resize(7, {.name = "Wide"});  // a picture 700 wide, 100 high
  StartViewer();
  const auto& s = viewer->view().state();
  EXPECT_EQ(QSize(s.scaledWidth, s.scaledHeight), QSize(700, 100));
  EXPECT_EQ(viewer->view().ComposedRegion(QRect(0, 0, 9999, 9999)).size(), QSize(700, 100));
  ZoomTimes(Key::kKeypadMinus, 5);
  EXPECT_NEAR(s.zoom, 0.5, 1e-9);
  EXPECT_EQ(s.scaledWidth, 350);
  EXPECT_FALSE(viewer->view().ZoomOut()) << "a sixth press does nothing";
  ZoomTimes(Key::kKeypadPlus, 15);
  EXPECT_NEAR(s.zoom, 2.0, 1e-9);
  EXPECT_EQ(viewer->view().ComposedRegion(QRect(0, 0, 9999, 9999)).size(), QSize(1400, 200));
  EXPECT_FALSE(viewer->view().ZoomIn()) << "an eleventh press from 1.0 does nothing";
  for (int i = 0; i < 5; ++i) viewer->view().ZoomOut();
  EXPECT_EQ(s.scaledWidth, 1050);
}

TEST_F(MapViewTest, roundsScaledSizesHalfUp) {
  packages[0].sectors.resize(1);
  StartViewer();
  // A 641 x 480 picture, by the rule that sizes the scaled picture.
  const MapView& view = viewer->view();
  ZoomTimes(Key::kKeypadMinus, 5);
  EXPECT_EQ(QSize(view.Scaled(641), view.Scaled(480)), QSize(321, 240));
  ZoomTimes(Key::kKeypadPlus, 10);
  EXPECT_EQ(QSize(view.Scaled(641), view.Scaled(480)), QSize(962, 720));
  EXPECT_EQ(QSize(view.state().scaledWidth, view.state().scaledHeight),
            QSize(view.Scaled(100), view.Scaled(100)));
}

TEST_F(MapViewTest, drawsNoLabelForALabelPointFarOffTheMap) {
  packages[0].sectors[0].labelX = 2147483647;
  packages[0].sectors[0].labelY = -2147483647 - 1;
  StartViewer();
  viewer->Command(command::kIpcValues);
  ZoomTimes(Key::kKeypadPlus, 10);
  EXPECT_EQ(viewer->view().Scaled(2147483647), 2147483647);
  EXPECT_EQ(viewer->view().Scaled(-2147483647 - 1), -2147483647 - 1);
  const auto& s = viewer->view().state();
  const QImage scaled =
      ScaleKeepingDarkLines(viewer->map().mapPicture.Whole(), s.scaledWidth, s.scaledHeight);
  EXPECT_EQ(QColor(Composed(60, 40)), QColor(scaled.pixel(60, 40)));
}

TEST_F(MapViewTest, keepsOnePixelDarkBordersAtEveryZoom) {
  StartViewer();
  for (int step = 0; step < 5; ++step) {
    viewer->KeyRelease(Key::kKeypadMinus);
    const auto& s = viewer->view().state();
    const QImage row =
        viewer->view().ComposedRegion(QRect(0, s.scaledHeight / 2, s.scaledWidth, 1));
    int dark = 0;
    for (int x = 0; x < s.scaledWidth; ++x) dark += QColor(row.pixel(x, 0)) == test::kBorderColour;
    EXPECT_EQ(dark, 1) << "zoom " << s.zoom;
  }
  const QImage line = [] {
    QImage i(10, 1, QImage::Format_RGB32);
    i.fill(Qt::white);
    i.setPixel(3, 0, qRgb(0, 0, 0));
    return i;
  }();
  EXPECT_EQ(ScaleKeepingDarkLines(line, 3, 1).pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_EQ(ScaleKeepingDarkLines(line, 20, 1).pixel(7, 0), qRgb(0, 0, 0));
}

TEST_F(MapViewTest, composesStacksAtTheirHalfSizeOffsetWithTheirCount) {
  packages[0].start = {StackAt(50, 50, 1, 2, 3), StackAt(150, 40, 3, 1, 1),
                       StackAt(120, 80, 2, 1, 0)};
  StartViewer();
  EXPECT_TRUE(IsCell(50 - 7, 50 - 5, 1, 2)) << "the cell's top left at the half-size offset";
  EXPECT_TRUE(IsCell(50 + 7, 50 + 4, 1, 2));
  EXPECT_FALSE(IsCell(50 + 8, 50, 1, 2));
  int textPixels = 0;
  for (int y = 43; y < 57; ++y)
    for (int x = 59; x < 70; ++x) textPixels += QColor(Composed(x, y)) != test::kBandColour;
  EXPECT_GT(textPixels, 5) << "the count 3 beside the piece";
  EXPECT_TRUE(IsCell(143, 35, 3, 1));
  int besideSingle = 0;
  for (int y = 33; y < 47; ++y)
    for (int x = 159; x < 170; ++x) besideSingle += QColor(Composed(x, y)) != test::kBandColour;
  EXPECT_EQ(besideSingle, 0) << "a count of 1 shows no number";
  EXPECT_EQ(QColor(Composed(120, 80)), test::kBandColour) << "a count of 0 is not drawn";
}

TEST_F(MapViewTest, drawsIncomeLabelsAtTheirScaledLabelPointWhenAskedTo) {
  packages[0].sectors[0].ipcValue = 4;
  packages[0].sectors[0].labelX = 30;
  packages[0].sectors[0].labelY = 20;
  StartViewer();
  EXPECT_EQ(QColor(Composed(30, 20)), test::kBandColour) << "no labels while the flag is off";
  viewer->Command(command::kIpcValues);
  EXPECT_EQ(QColor(Composed(30, 20)), QColor(51, 51, 255))
      << "blue behind the text, from its corner";
  EXPECT_EQ(QColor(Composed(29, 20)), test::kBandColour);
  EXPECT_TRUE(host.checks[command::kIpcValues]);
  viewer->KeyRelease(Key::kKeypadPlus);
  viewer->KeyRelease(Key::kKeypadPlus);  // 1.2
  EXPECT_EQ(QColor(Composed(36, 24)), QColor(51, 51, 255));
  viewer->Command(command::kIpcValues);
  EXPECT_EQ(QColor(Composed(36, 24)), test::kBandColour);
}

TEST_F(MapViewTest, recomposesOnlyTheAreaOfAnEdit) {
  packages[0].start = {StackAt(20, 50, 1, 1, 1), StackAt(170, 50, 1, 1, 1)};
  StartViewer();
  viewer->editing().PaletteClick(QPoint(2 * 15 + 3, 0));  // Tank of country 1
  host.invalidated.clear();
  viewer->MousePress(MouseButton::kLeft, QPoint(60, 50), 0);
  EXPECT_TRUE(IsCell(53, 45, 2, 1));
  ASSERT_FALSE(host.invalidated.empty());
  const QRect area = host.invalidated.back();
  EXPECT_EQ(area, QRect(QPoint(60 - 15 - 1, 50 - 10 - 1), QPoint(60 + 15 + 22, 50 + 10)));
  EXPECT_FALSE(area.contains(170, 50));
}

TEST_F(MapViewTest, namesTheSectorUnderTheMouseInTheTitle) {
  packages[0].sectors[1].ipcValue = 0;
  StartViewer();
  EXPECT_EQ(host.title, kMainWindowTitle);
  host.titleChanges = 0;
  viewer->MouseMove(QPoint(10, 10));
  EXPECT_EQ(host.title, " - North (4 IPC)");
  viewer->MouseMove(QPoint(20, 30));
  EXPECT_EQ(host.titleChanges, 1) << "moving within a sector changes the title once";
  viewer->MouseMove(QPoint(150, 30));
  EXPECT_EQ(host.title, " - South");
  viewer->MouseMove(QPoint(500, 30));
  EXPECT_EQ(host.title, " - South") << "outside the grid the title stays";
  EXPECT_EQ(host.titleChanges, 2);
  viewer->Command(command::kFirstCatalogued);  // the same map again, newly loaded
  EXPECT_EQ(host.title, kMainWindowTitle) << "a new map: no sector of the old one is named";
  viewer->MouseMove(QPoint(150, 30));
  EXPECT_EQ(host.title, " - South") << "the same sector is named again";
}

TEST_F(MapViewTest, namesSectorsInTheTitleAndMapsInTheMenuAsTheUnitListDoes) {
  packages[0].sectors[0].name = "K\xFCste";
  packages[0].title = "Die Gr\xFCne \x80 Karte";
  StartViewer();
  viewer->MouseMove(QPoint(10, 10));
  EXPECT_EQ(host.title, " - K\u00FCste (4 IPC)");
  ASSERT_EQ(host.catalogue.size(), 1u);
  EXPECT_EQ(host.catalogue[0].title, "Die Gr\u00FCne \u20AC Karte");
}

TEST_F(MapViewTest, showsAreaNumbersWithoutASectorTableAndForNumbersFrom512) {
  packages[0].otherCells = {{QPoint(5, 5), 0}, {QPoint(6, 5), 600}};
  packages[0].withSectorTable = false;
  StartViewer();
  viewer->MouseMove(QPoint(5, 5));
  EXPECT_EQ(host.title, " - Brom's TessMapView");
  viewer->MouseMove(QPoint(6, 5));
  EXPECT_EQ(host.title, " - Area: 600");
  viewer->MouseMove(QPoint(150, 5));
  EXPECT_EQ(host.title, " - Area: 2") << "the grid has no sector table now";
}

TEST_F(MapViewTest, shrinksAWindowLargerThanThePictureAndClampsTheScroll) {
  StartViewer();
  host.client = QSize(100, 100);
  viewer->view().ClientResized();
  Scroll(50, 0);
  host.client = QSize(800, 600);
  viewer->view().ClientResized();
  EXPECT_EQ(host.client, QSize(200, 100));
  EXPECT_EQ(viewer->view().state().scrollX, 0);
  host.maximized = true;
  viewer->view().RedrawMapRegion();
  EXPECT_EQ(host.resizes.back(), QSize(200, 100) + host.frame) << "maximised: the framed picture";
}

TEST_F(MapViewTest, scrollsWithTheRightButtonAgainstTheMouseOrGrabbingTheMap) {
  packages[0].sectors.resize(8, {.name = "Wide"});
  StartViewer();
  host.client = QSize(300, 100);
  viewer->view().ClientResized();
  viewer->MousePress(MouseButton::kRight, QPoint(100, 50), 0);
  viewer->MouseMove(QPoint(160, 50));
  EXPECT_EQ(viewer->view().state().scrollX, 60);
  viewer->MouseMove(QPoint(5000, 50));
  EXPECT_EQ(viewer->view().state().scrollX, 500) << "clamped to the picture";
  viewer->MouseRelease(MouseButton::kRight, QPoint(5000, 50));
  viewer->MouseMove(QPoint(0, 50));
  EXPECT_EQ(viewer->view().state().scrollX, 500);
  // "&Grab to Scroll": the map follows the mouse, and the choice is kept for the next start.
  viewer->desk().KeepPreferences();
  viewer->Command(command::kGrabToScroll);
  EXPECT_TRUE(host.checks[command::kGrabToScroll]);
  viewer->MousePress(MouseButton::kRight, QPoint(100, 50), 0);
  viewer->MouseMove(QPoint(160, 50));
  EXPECT_EQ(viewer->view().state().scrollX, 440);
  viewer->MouseMove(QPoint(-5000, 50));
  EXPECT_EQ(viewer->view().state().scrollX, 500) << "clamped to the picture";
  viewer->MouseRelease(MouseButton::kRight, QPoint(-5000, 50));
  EXPECT_TRUE(Preferences::Load(viewer->desk().preferencesPath()).grabToScroll);
}

// Find: names match whatever their case and accents, and a sector found stands in the middle of
// the map area outlined until the outline is ended.
TEST_F(MapViewTest, findsSectorsByNameAndShowsTheOneChosenOutlined) {
  packages[0].sectors.resize(8, {.name = "Wide"});
  packages[0].sectors[0] = {.name = "North", .initialOwner = 1, .ipcValue = 4};
  packages[0].sectors[1] = {.name =
                                "\xD6lfeld S\xFC"
                                "d",
                            .initialOwner = 2,
                            .ipcValue = 3};
  packages[0].sectors[2] = {.name = "Northwood"};
  packages[0].alliances += "country 2 Sarnesh\n";
  StartViewer();
  host.client = QSize(300, 100);
  viewer->view().ClientResized();
  const auto found = [&](const std::string& text) {
    std::vector<std::string> out;
    for (const auto& m : viewer->overlays().FindSectors(text))
      out.push_back(m.name + " / " + m.detail);
    return out;
  };
  using Lines = std::vector<std::string>;
  EXPECT_EQ(found("olfeld sud"), Lines{"\xC3\x96lfeld S\xC3\xBC"
                                       "d / held by Sarnesh, 3 IPC"});
  EXPECT_EQ(found("NORTH"),
            (Lines{"North / held by country 1, 4 IPC", "Northwood / held by nobody"}));
  EXPECT_EQ(found("").size(), 8u);
  EXPECT_TRUE(found("zz").empty());
  viewer->overlays().GoToSector(7);  // its label point lies in sector 1: the middle of its cells
  const QPoint middle = viewer->view().MapToClient(QPoint(649, 49));
  EXPECT_LE(std::abs(middle.x() - 150), 1) << middle.x();
  EXPECT_TRUE(viewer->overlays().outliningSector());
  const auto painted = [&] {
    QImage image(300, 100, QImage::Format_RGB32);
    QPainter painter(&image);
    viewer->view().Paint(painter, image.rect());
    return image;
  };
  const QPoint border = viewer->view().MapToClient(QPoint(600, 50));
  EXPECT_EQ(painted().pixel(border), SectorOutline::kColour);
  viewer->overlays().EndSectorOutline();
  EXPECT_NE(painted().pixel(border), SectorOutline::kColour);
}

}  // namespace
}  // namespace mw
