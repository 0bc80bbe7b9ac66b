// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse editing: the modes, the modifier keys, carrying, removing, label points, and the keys.
#include <QPainter>

#include "ProcessLimits.h"
#include "SectorTable.h"
#include "ViewerFixture.h"

namespace mw {
namespace {

using test::StackAt;

class MouseEditing : public test::ViewerTest {
 protected:
  void SetUp() override { packages[0].start = {StackAt(50, 50, 1, 1, 12)}; }
  void Left(QPoint p, unsigned mods = 0) {
    viewer->MousePress(MouseButton::kLeft, p, mods);
    viewer->MouseRelease(MouseButton::kLeft, p);
  }
  int Mode() { return viewer->editing().state().mouseMode; }
};

TEST_F(MouseEditing, picksUpByTheModifierTable) {
  StartViewer();
  const std::pair<unsigned, int> cases[] = {
      {kNoModifiers, 1}, {kShift, 5}, {kCtrl, 10}, {kShift | kCtrl, 12}};
  for (auto [mods, taken] : cases) {
    viewer->MousePress(MouseButton::kLeft, QPoint(52, 51), mods);
    EXPECT_EQ(Mode(), ModeCarry);
    EXPECT_EQ(viewer->position().hand().carried.count, taken);
    EXPECT_EQ(position().unit(0).count, 12 - taken);
    viewer->KeyRelease(Key::kEscape);
    EXPECT_EQ(Mode(), ModeIdle);
    EXPECT_EQ(position().unit(0).count, 12);
  }
  EXPECT_EQ(position().undoDepth(), 0u);
}

TEST_F(MouseEditing, dropsCarriedPiecesAndMergesNearAStack) {
  packages[0].start.push_back(StackAt(150, 50, 1, 1, 2));
  StartViewer();
  viewer->MousePress(MouseButton::kLeft, QPoint(50, 50), kShift | kCtrl);
  viewer->MouseRelease(MouseButton::kLeft, QPoint(135, 60));
  ASSERT_EQ(position().unitCount(), 1u) << "the emptied source went, the pieces merged";
  EXPECT_EQ(position().unit(0).x, 150);
  EXPECT_EQ(position().unit(0).count, 14);
  EXPECT_EQ(Mode(), ModeIdle);
  viewer->Command(command::kUndo);
  ASSERT_EQ(position().unitCount(), 2u);
  EXPECT_EQ(position().unit(0).count, 12) << "the list as before the move, in its order";
  EXPECT_EQ(position().unit(1).count, 2);
}

TEST_F(MouseEditing, placesPiecesChosenInThePaletteUntilAnotherModeIsChosen) {
  StartViewer();
  viewer->editing().PaletteClick(QPoint(2 * 15, 3 * 10 + 9));  // Tank, country 4
  EXPECT_EQ(Mode(), ModePlace);
  Left(QPoint(150, 30), kShift | kCtrl);
  Left(QPoint(152, 32), kShift);
  ASSERT_EQ(position().unitCount(), 2u);
  EXPECT_EQ(position().unit(1).country, 4);
  EXPECT_EQ(position().unit(1).count, 15);
  EXPECT_EQ(position().totalOf(4).land, 75);
  EXPECT_EQ(Mode(), ModePlace);
  const int repaints = host.infoViewRepaints;
  Left(QPoint(160, 30));
  EXPECT_GT(host.infoViewRepaints, repaints);
  viewer->editing().PaletteEscape();
  EXPECT_EQ(Mode(), ModeIdle);
}

TEST_F(MouseEditing, removesWithTheMiddleButtonInEveryMode) {
  StartViewer();
  viewer->editing().PaletteClick(QPoint(0, 0));
  viewer->MousePress(MouseButton::kMiddle, QPoint(50, 50), kShift);
  EXPECT_EQ(position().unit(0).count, 7);
  viewer->KeyRelease(Key::kE);
  viewer->MousePress(MouseButton::kMiddle, QPoint(50, 50), kShift | kCtrl);
  EXPECT_EQ(position().unitCount(), 0u);
  EXPECT_EQ(position().totalOf(1).land, 0);
  EXPECT_EQ(Mode(), ModeLabel) << "removing changes no mode";
}

TEST_F(MouseEditing, deleteModeRemovesWithTheLeftButtonAndShowsTheCross) {
  StartViewer();
  viewer->KeyRelease(Key::kD);
  EXPECT_EQ(Mode(), ModeDelete);
  EXPECT_EQ(host.cursor, CursorKind::kCross);
  Left(QPoint(50, 50), kCtrl);
  EXPECT_EQ(position().unit(0).count, 2);
  viewer->Command(command::kEsc);
  EXPECT_EQ(host.cursor, CursorKind::kArrow);
  viewer->Command(command::kDel);
  EXPECT_EQ(Mode(), ModeDelete);
}

TEST_F(MouseEditing, leavingACarryByAnyModeKeyReturnsThePieces) {
  StartViewer();
  for (auto leave : {0, 1, 2}) {
    viewer->MousePress(MouseButton::kLeft, QPoint(50, 50), kCtrl);
    if (leave == 0) viewer->KeyRelease(Key::kD);
    if (leave == 1) viewer->KeyRelease(Key::kE);
    if (leave == 2) viewer->editing().PaletteClick(QPoint(0, 0));
    EXPECT_EQ(position().unit(0).count, 12) << "leaving by " << leave;
    viewer->MouseRelease(MouseButton::kLeft, QPoint(150, 50));
    EXPECT_EQ(position().unitCount(), 1u);
    viewer->KeyRelease(Key::kEscape);
  }
}

TEST_F(MouseEditing, aCarryInterruptedByANewPositionIsNeverCompleted) {
  StartViewer();
  viewer->MousePress(MouseButton::kLeft, QPoint(50, 50), kCtrl);
  host.openChoices = {(dir / "Tess.gim/Start.QPX").string()};
  viewer->Command(command::kOpen);
  viewer->MouseRelease(MouseButton::kLeft, QPoint(150, 50));
  ASSERT_EQ(position().unitCount(), 1u);
  EXPECT_EQ(position().unit(0).count, 12);
  EXPECT_EQ(position().unit(0).x, 50);
}

TEST_F(MouseEditing, aMiddleClickWhileCarryingLeavesTheCarryAlone) {
  packages[0].start.push_back(StackAt(150, 50, 3, 2, 3));
  StartViewer();
  viewer->MousePress(MouseButton::kLeft, QPoint(50, 50), kShift);
  viewer->MousePress(MouseButton::kMiddle, QPoint(150, 50), 0);
  EXPECT_EQ(viewer->position().hand().carried.count, 5);
  viewer->MouseRelease(MouseButton::kLeft, QPoint(120, 80));
  EXPECT_EQ(position().unitCount(), 3u);
  EXPECT_EQ(position().unit(0).count, 7);
  EXPECT_EQ(position().unit(1).count, 2);
  EXPECT_EQ(position().unit(2).count, 5);
}

TEST_F(MouseEditing, labelModeMovesLabelPointsAndSExportsTheTable) {
  StartViewer();
  viewer->KeyRelease(Key::kE);
  Left(QPoint(170, 60));
  EXPECT_EQ(position().sectorRecord(2)->labelX(), 170);
  EXPECT_FALSE(position().dirty());
  viewer->KeyPress(Key::kS, kNoModifiers);
  viewer->KeyRelease(Key::kS);
  const auto exported = test::ReadBytes(dir / "Tess.gim/SektorInfo.new");
  ASSERT_EQ(exported.size(), 2 * SectorRecord::kSize);
  EXPECT_EQ(SectorTable::Parse(exported)[2].labelY(), 60);
  auto original = test::ReadBytes(dir / "Tess.gim/SektorInfo.sek");
  EXPECT_TRUE(std::equal(exported.begin(), exported.begin() + 76, original.begin()))
      << "untouched records are exported byte for byte";
}

TEST_F(MouseEditing, anExportOnAFullDiskKeepsTheEarlierExport) {
  StartViewer();
  dir.Write("Tess.gim/SektorInfo.new", "earlier export");
  const int code =
      test::RunWithFileSizeLimit(100, [&] { return viewer->board().ExportSectorTable() ? 1 : 0; });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(test::ReadText(dir / "Tess.gim/SektorInfo.new"), "earlier export");
}

TEST_F(MouseEditing, exportsAnEmptyTableForAMapWithoutOne) {
  StartViewer();
  std::filesystem::remove(dir / "Tess.gim/SektorInfo.sek");
  viewer->board().LoadMapPackage("Tess");
  ASSERT_TRUE(viewer->board().ExportSectorTable());
  EXPECT_EQ(test::ReadBytes(dir / "Tess.gim/SektorInfo.new").size(), 0u);
}

TEST_F(MouseEditing, theFloatingPieceFollowsTheMouseWhilePlacingOrCarrying) {
  StartViewer();
  viewer->MouseMove(QPoint(100, 40));
  EXPECT_EQ(viewer->editing().state().floatX, 0) << "idle: no floating piece";
  viewer->editing().PaletteClick(QPoint(16, 11));
  host.invalidated.clear();
  viewer->MouseMove(QPoint(100, 40));
  ASSERT_EQ(host.invalidated.size(), 2u);
  EXPECT_EQ(host.invalidated[1], QRect(QPoint(93, 35), QPoint(100 + 7 + 19, 45)));
  QImage shown(200, 100, QImage::Format_RGB32);
  QPainter painter(&shown);
  viewer->view().Paint(painter, QRect(0, 0, 200, 100));
  painter.end();
  EXPECT_EQ(QColor(shown.pixel(93, 35)), test::CellColour(1, 2));
}

TEST_F(MouseEditing, pressesWhereNoStackLiesDoNothing) {
  StartViewer();
  Left(QPoint(150, 50));
  EXPECT_EQ(Mode(), ModeIdle);
  viewer->KeyRelease(Key::kD);
  Left(QPoint(150, 50));
  EXPECT_EQ(position().unit(0).count, 12);
  EXPECT_EQ(position().undoDepth(), 0u);
}

}  // namespace
}  // namespace mw

namespace mw {
namespace {

// PageDown and PageUp step through the ToolBar's piece kinds (with Ctrl its countries) and wrap
// around at either end: the palette of the test package has 5 kinds and 8 countries.
TEST_F(MouseEditing, thePageKeysStepThroughThePaletteAndWrapAround) {
  StartViewer();
  const auto press = [&](Key key, unsigned modifiers) {
    viewer->KeyPress(key, modifiers);
    viewer->KeyRelease(key, modifiers);
    const EditingState& e = viewer->editing().state();
    return std::pair{e.selectedPiece, e.selectedRow};
  };
  const std::pair<Key, unsigned> steps[] = {
      {Key::kPageDown, kNoModifiers}, {Key::kPageUp, kNoModifiers}, {Key::kPageDown, kNoModifiers},
      {Key::kPageUp, kCtrl},          {Key::kPageDown, kCtrl},      {Key::kPageDown, kCtrl}};
  const std::pair<int, int> chosen[] = {{0, 0}, {4, 0}, {0, 0}, {0, 7}, {0, 0}, {0, 1}};
  for (size_t i = 0; i < std::size(steps); ++i)
    EXPECT_EQ(press(steps[i].first, steps[i].second), chosen[i]) << "step " << i;
  EXPECT_EQ(viewer->editing().state().mouseMode, ModePlace);
}

}  // namespace
}  // namespace mw
