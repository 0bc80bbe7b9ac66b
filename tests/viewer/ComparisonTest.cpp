// SPDX-License-Identifier: GPL-3.0-or-later
// The board compared with a position file: the marks stand where the stacks and sectors are at
// every zoom and touch nothing else, follow the board, and leave no trace when the comparison
// ends.
#include <QPainter>
#include <map>
#include <random>
#include <set>

#include "Comparison.h"
#include "ViewerFixture.h"

namespace mw {

void PrintTo(const ChangeLine& line, std::ostream* out) {
  *out << "{\"" << line.text << "\", " << line.sector << "}";
}

namespace {

using test::StackAt;

// What the window paints, with the map area as large as the picture.
QImage Painted(const Viewer& viewer) {
  const ViewState& s = viewer.view().state();
  QImage shown(s.scaledWidth, s.scaledHeight, QImage::Format_RGB32);
  QPainter painter(&shown);
  viewer.view().PaintTiles(painter, shown.rect());
  return shown;
}

class Compare : public test::ViewerTest {
 protected:
  Compare() {
    // Eight bands of 100 x 100, each its own sector, all first held by country 1.
    packages[0].sectors.assign(8, {.name = "Band", .initialOwner = 1, .ipcValue = 3});
    packages[0].start = {StackAt(150, 50, 1, 2, 3), StackAt(420, 60, 3, 5, 2),
                         StackAt(620, 40, 2, 6, 1)};
  }
  std::string Old() { return (dir / "Tess.gim" / "Start.QPX").string(); }

  // The scaled cell of a piece at a map point, as the units are drawn.
  QRect Cell(QPoint at) {
    const PieceLook look = viewer->view().units().Look(viewer->view().geometry());
    return QRect(viewer->view().Scaled(at.x()) - look.halfWidth,
                 viewer->view().Scaled(at.y()) - look.halfHeight, look.cellWidth, look.cellHeight);
  }
  // A ring's two outer corners, in its colour.
  static bool Ringed(const QImage& image, QRect cell) {
    const QRect ring = cell.adjusted(-3, -3, 3, 3);
    return image.pixel(ring.topLeft()) == ChangesLayer::kGrewColour &&
           image.pixel(ring.bottomRight()) == ChangesLayer::kGrewColour;
  }
  // Where marks may stand: around a stack with its label above it, or on the border of a band.
  struct Allowed {
    std::vector<QRect> stacks;
    std::vector<int> bands;
  };
  bool Inside(const Allowed& allowed, QPoint p) {
    for (const QRect& r : allowed.stacks)
      if (r.contains(p)) return true;
    for (int band : allowed.bands) {
      const int left = viewer->view().Scaled(100 * (band - 1)),
                right = viewer->view().Scaled(100 * band) - 1,
                bottom = viewer->view().Scaled(100) - 1;
      const bool across = p.x() >= left - 2 && p.x() <= right + 2;
      const bool down = p.y() >= -2 && p.y() <= bottom + 2;
      const bool nearEdge = std::abs(p.x() - left) <= 3 || std::abs(p.x() - right) <= 3 ||
                            std::abs(p.y()) <= 3 || std::abs(p.y() - bottom) <= 3;
      if (across && down && nearEdge) return true;
    }
    return false;
  }
  Allowed Around(std::initializer_list<QPoint> stacks, std::vector<int> bands) {
    Allowed allowed{{}, std::move(bands)};
    for (QPoint at : stacks) {
      const QRect cell = Cell(at);
      allowed.stacks.push_back(cell.adjusted(-3, -3, 3, 3));
      allowed.stacks.push_back(QRect(cell.left() - 3, cell.top() - 30, 60, 30));  // its label
    }
    return allowed;
  }
  // The pixels that differ between two pictures of one size.
  static std::vector<QPoint> Differing(const QImage& a, const QImage& b) {
    std::vector<QPoint> out;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x)
        if (a.pixel(x, y) != b.pixel(x, y)) out.emplace_back(x, y);
    return out;
  }
  static bool Has(const QImage& image, QRect r, QRgb colour) {
    r = r.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (image.pixel(x, y) == colour) return true;
    return false;
  }
};

TEST_F(Compare, marksStandWhereTheStacksAndBordersAreAtEveryZoomAndGoWithTheComparison) {
  StartViewer();
  // A new tank of country 3 in band 3, one piece off the stack in band 5, and a marker of
  // country 4 that takes band 7.
  viewer->editing().PaletteClick(QPoint(2 * 15 + 3, 2 * 10 + 3));
  viewer->MousePress(MouseButton::kLeft, viewer->view().MapToClient(QPoint(250, 50)), 0);
  viewer->editing().PaletteClick(QPoint(3, 3 * 10 + 3));
  viewer->MousePress(MouseButton::kLeft, viewer->view().MapToClient(QPoint(650, 70)), 0);
  viewer->KeyRelease(Key::kEscape);
  viewer->MousePress(MouseButton::kMiddle, viewer->view().MapToClient(QPoint(420, 60)), 0);
  // As specified, then with the pieces following the zoom: the marks take the pieces' size.
  for (const bool follow : {false, true}) {
    if (follow) viewer->Command(command::kPiecesFollowZoom);
    while (viewer->view().ZoomOut()) {
    }
    for (int level = 0; level < 16; ++level) {
      const std::string zoom =
          "zoom " + std::to_string(viewer->view().state().zoom) + (follow ? ", following" : "");
      const QImage plain = Painted(*viewer);
      ASSERT_TRUE(viewer->overlays().CompareWith(Old())) << zoom;
      const QImage marked = Painted(*viewer);
      const Allowed allowed = Around({{250, 50}, {650, 70}, {420, 60}}, {7});
      for (QPoint p : Differing(plain, marked))
        ASSERT_TRUE(Inside(allowed, p)) << zoom << ": a mark at " << p.x() << "," << p.y();
      EXPECT_TRUE(Ringed(marked, Cell({250, 50}))) << zoom;
      EXPECT_TRUE(Ringed(marked, Cell({650, 70}))) << zoom;
      const int bandLeft = viewer->view().Scaled(600);
      EXPECT_TRUE(Has(marked, QRect(bandLeft - 1, 20, 3, 20), ChangesLayer::kHandsColour)) << zoom;
      EXPECT_FALSE(
          Has(marked, QRect(viewer->view().Scaled(300) - 1, 20, 3, 20), ChangesLayer::kHandsColour))
          << zoom << ": band 4 kept its holder";
      viewer->overlays().EndComparison();
      EXPECT_TRUE(Painted(*viewer) == plain) << zoom << ": after the comparison";
      viewer->view().ZoomIn();
    }
  }
}

TEST_F(Compare, theListFollowsTheBoardUntilAnotherPositionIsLoaded) {
  StartViewer();
  EXPECT_FALSE(viewer->overlays().CompareWith((dir / "missing.QPX").string()));
  EXPECT_EQ(viewer->overlays().comparison(), nullptr);
  ASSERT_TRUE(viewer->overlays().CompareWith(Old()));
  EXPECT_TRUE(host.changesShown);
  EXPECT_TRUE(host.changes.empty()) << "the start compared with itself";
  // A marker of country 4 in band 2: its pieces, the band's holder, both countries' IPC.
  viewer->editing().PaletteClick(QPoint(3, 3 * 10 + 3));
  viewer->MousePress(MouseButton::kLeft, viewer->view().MapToClient(QPoint(150, 80)), 0);
  const std::vector<ChangeLine> marker = {{"Band: 0 Ctrl of country 4 \u2192 1", 2},
                                          {"Band: held by country 1 \u2192 country 4", 2},
                                          {"country 1 IPC 24 \u2192 21", 0},
                                          {"country 4 IPC 0 \u2192 3", 0}};
  EXPECT_EQ(host.changes, marker);
  viewer->Command(command::kUndo);
  EXPECT_TRUE(host.changes.empty()) << "after the undo";
  viewer->Command(command::kRedo);
  EXPECT_EQ(host.changes, marker) << "after the redo";
  // Another position on the board ends the comparison; the Changes window closes.
  host.answers.push_back(true);  // the changes are given up
  viewer->OpenFile(Old());
  EXPECT_EQ(viewer->overlays().comparison(), nullptr);
  EXPECT_FALSE(host.changesShown);
}

// Random pairs of boards on the Isles of Tess: applying the pieces lines to the older board's
// counts, made here from its stacks and the map's grid, gives the newer board's counts.
TEST(CompareOnTess, piecesLinesSumUpToTheNewerBoard) {
  test::FakeHost host;
  Viewer viewer(host, MAP_PACKAGES_DIR);
  ASSERT_TRUE(viewer.Start());
  const Position& map = viewer.position();
  const SectorGrid& grid = *map.grid();
  using Key = std::tuple<int, int, int>;
  const auto counts = [&](const Position& p) {
    std::map<Key, int64_t> out;
    for (size_t i = 0; i < p.unitCount(); ++i) {
      const Unit& u = p.unit(i);
      const int sector = grid.contains(u.x, u.y) ? grid.valueAt(u.x, u.y) : 0;
      out[{map.sectorRecord(static_cast<uint32_t>(sector)) ? sector : 0, u.country, u.pieceType}] +=
          u.count;
    }
    return out;
  };
  std::mt19937 random(7);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution(low, high)(random);
  };
  const auto board = [&] {
    auto p = std::make_unique<Position>();
    std::vector<Unit> units;
    for (int i = pick(0, 40); i > 0; --i)
      units.push_back(StackAt(pick(0, 1300), pick(0, 900), static_cast<uint8_t>(pick(0, 9)),
                              static_cast<uint8_t>(pick(1, 8)), static_cast<uint16_t>(pick(1, 4))));
    p->ReplaceUnits(std::move(units));
    TakeMapOf(*p, map);
    return p;
  };
  SectorShapes kept;
  for (int round = 0; round < 300; ++round) {
    const auto older = board(), newer = board();
    std::map<Key, int64_t> sum = counts(*older);
    for (const BoardDifference& d : CompareBoards(Summarize(*older), Summarize(*newer)))
      if (d.kind == BoardDifference::Kind::kPieces) {
        ASSERT_EQ((sum[{d.sector, d.country, d.pieceType}]), d.before) << "round " << round;
        sum[{d.sector, d.country, d.pieceType}] = d.after;
      }
    std::erase_if(sum, [](const auto& c) { return c.second == 0; });
    ASSERT_EQ(sum, counts(*newer)) << "round " << round;
    // The borders of the sectors that changed hands, searched for in the whole grid or in their
    // boxes (traced afresh, or kept from the rounds before), are the same points.
    if (round % 10 != 0) continue;
    std::vector<std::set<std::pair<int, int>>> outlines(1);
    std::vector<uint16_t> hands;
    for (const BoardDifference& d : CompareBoards(Summarize(*older), Summarize(*newer)))
      if (d.kind == BoardDifference::Kind::kHolder) hands.push_back(d.sector);
    for (QPoint p : SectorBorderCells(grid, hands, {})) outlines[0].insert({p.x(), p.y()});
    SectorShapes fresh;
    for (SectorShapes* shapes : {&fresh, &kept}) {
      auto copy = std::make_unique<Position>();
      copy->ReplaceUnits(older->unitCount(), [&](size_t i) { return older->unit(i); });
      TakeMapOf(*copy, map);
      Comparison comparison(std::move(copy), "older");
      comparison.Update(*newer, *shapes);
      outlines.emplace_back();
      for (QPoint p : comparison.outline()) outlines.back().insert({p.x(), p.y()});
    }
    EXPECT_EQ(outlines[0], outlines[1]) << "round " << round;
    EXPECT_EQ(outlines[0], outlines[2]) << "round " << round;
  }
}

}  // namespace
}  // namespace mw
