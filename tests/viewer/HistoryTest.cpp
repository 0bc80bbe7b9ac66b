// A game on the Isles of Tess stepped through at random: whatever the steps, the board is the
// turn chosen byte for byte, compared with the turn before it, and the figures the History and
// Trends windows show are those of every turn's board; a label changes only when asked, and a
// position never.
#include <gtest/gtest.h>

#include <random>

#include "FakeHost.h"
#include "GameFigures.h"
#include "PositionFile.h"
#include "Reports.h"
#include "TempDir.h"
#include "Viewer.h"

namespace mw {

namespace {

const std::filesystem::path kProgramDir = MAP_PACKAGES_DIR;

class History : public ::testing::Test {
 protected:
  History() {
    viewer.Start();
    viewer.Command(command::kHistory);
    host.saveChoices.push_back((dir.path() / "war").string());
  }
  // A piece of a random kind and country placed at a random point of the map.
  void Place() {
    std::uniform_int_distribution<int> kind(0, 13), country(1, 8), x(0, 1199), y(0, 799);
    viewer.editing().PaletteClick(QPoint(kind(random) * 15 + 7, (country(random) - 1) * 10 + 5));
    const QPoint at(x(random), y(random));
    viewer.MousePress(MouseButton::kLeft, at, 0);
    viewer.MouseRelease(MouseButton::kLeft, at);
    viewer.KeyRelease(Key::kEscape);
  }
  // Records `count` turns of a few placements each; the bytes and figures of each board.
  void Play(int count) {
    for (int turn = 0; turn < count; ++turn) {
      for (int i = std::uniform_int_distribution<int>(0, 4)(random); i > 0; --i) Place();
      viewer.Command(command::kRecordTurn);
      boards.push_back(EncodePosition(viewer.position(), false));
      figures.push_back(FiguresOf(viewer.position(), {}).countries);
    }
  }
  size_t Current() { return static_cast<size_t>(viewer.games().history().current) - 1; }

  test::TempDir dir;
  test::FakeHost host;
  Viewer viewer{host, kProgramDir};
  std::mt19937 random{20261209};
  std::vector<std::vector<uint8_t>> boards;
  std::vector<std::vector<CountryFigures>> figures;
};

TEST_F(History, stepsAtRandomAlwaysShowTheTurnChosenComparedWithTheOneBefore) {
  Play(12);
  ASSERT_EQ(viewer.games().history().turns.size(), 12u);
  std::uniform_int_distribution<int> action(0, 5), turn(1, 12);
  for (int step = 0; step < 150; ++step) {
    const std::vector<uint8_t> before = EncodePosition(viewer.position(), false);
    const int64_t was = viewer.games().history().current;
    const int what = action(random);
    bool cancelled = false;
    if (what == 0) {  // an edit, then a turn chosen: the question, answered either way
      Place();
      cancelled = std::bernoulli_distribution(0.5)(random);
      host.answers.push_back(!cancelled);
      if (viewer.position().dirty()) {
        const std::vector<uint8_t> edited = EncodePosition(viewer.position(), false);
        const int64_t chosen = turn(random);
        EXPECT_EQ(viewer.games().GoToTurn(chosen), !cancelled);
        // The question names the step, and Cancel is its default.
        ASSERT_FALSE(host.discardQuestions.empty());
        EXPECT_TRUE(host.discardQuestions.back().step);
        EXPECT_EQ(host.discardQuestions.back().caption, "Show Turn " + std::to_string(chosen));
        if (cancelled) {
          EXPECT_EQ(EncodePosition(viewer.position(), false), edited) << "a refused step";
          EXPECT_EQ(viewer.games().history().current, was);
          EXPECT_EQ(host.history.current, was) << "the window shows the board's turn again";
          // Given up after all: the board's turn again, as it was recorded.
          host.answers.push_back(true);
          ASSERT_TRUE(viewer.games().GoToTurn(was));
          EXPECT_EQ(EncodePosition(viewer.position(), false), boards[Current()]);
          continue;
        }
      }
      host.answers.clear();
    } else if (what <= 2) {
      viewer.Command(what == 1 ? command::kPreviousTurn : command::kNextTurn);
      const int64_t expected = std::clamp<int64_t>(was + (what == 1 ? -1 : 1), 1, 12);
      EXPECT_EQ(viewer.games().history().current, expected) << "step " << step;
    } else {
      viewer.games().GoToTurn(turn(random));
    }
    const size_t now = Current();
    ASSERT_LT(now, boards.size());
    EXPECT_EQ(EncodePosition(viewer.position(), false), boards[now]) << "step " << step;
    EXPECT_FALSE(viewer.position().dirty());
    EXPECT_EQ(FiguresOf(viewer.position(), {}).countries, figures[now]);
    EXPECT_EQ(host.history.current, viewer.games().history().current);
    // Since the turn before, or nothing before the first.
    if (now == 0) {
      EXPECT_FALSE(viewer.overlays().comparison()) << "step " << step;
      continue;
    }
    if (now + 1 == static_cast<size_t>(was) && EncodePosition(viewer.position(), false) == before)
      continue;
    ASSERT_TRUE(viewer.overlays().comparison()) << "step " << step;
    Position older;
    LoadPositionBytes(older, boards[now - 1]);
    TakeMapOf(older, viewer.position());
    EXPECT_EQ(host.changes,
              DifferenceLines(CompareBoards(Summarize(older), Summarize(viewer.position())),
                              viewer.position()));
    EXPECT_EQ(host.changesSince,
              "turn " + std::to_string(now) + " \"Turn " + std::to_string(now) + "\"");
  }
}

TEST_F(History, aGameOpenedShowsTheFiguresEveryTurnWasRecordedWith) {
  Play(9);
  test::FakeHost other;
  other.openChoices.push_back((dir.path() / "war.mwgame").string());
  Viewer second(other, kProgramDir);
  second.Start();
  second.Command(command::kOpenGame);
  ASSERT_EQ(second.games().history().turns.size(), figures.size());
  for (size_t i = 0; i < figures.size(); ++i)
    EXPECT_EQ(second.games().history().turns[i].countries, figures[i]) << "turn " << i + 1;
  EXPECT_TRUE(other.historyShown);
  EXPECT_EQ(other.history.current, 9);
  second.Command(command::kTrends);
  ASSERT_TRUE(other.trends);
  EXPECT_EQ(other.trends->countries, CountriesOf(second.games().history().turns));
  EXPECT_EQ(other.trends->colours.size(), other.trends->countries.size());
}

TEST_F(History, aTurnsLabelAndNoteChangeOnlyWhenAskedAndItsPositionNever) {
  Play(3);
  host.turnTexts = {Questions::TurnText{"Spring offensive", "Valdria moves first"}, std::nullopt};
  viewer.games().AnnotateTurn(2);
  viewer.games().AnnotateTurn(2);  // cancelled
  auto game = GameFile::Open(dir.path() / "war.mwgame");
  ASSERT_TRUE(game);
  const auto turns = game->Turns();
  ASSERT_EQ(turns->size(), 3u);
  EXPECT_EQ((*turns)[1].label, "Spring offensive");
  EXPECT_EQ((*turns)[1].note, "Valdria moves first");
  EXPECT_EQ((*turns)[0].label, "Turn 1");
  EXPECT_EQ(host.history.turns[1].turn.label, "Spring offensive");
  EXPECT_EQ(host.turnTitles.back(), "Turn 2");
  for (size_t i = 0; i < boards.size(); ++i)
    EXPECT_EQ(*game->PositionOf(static_cast<int64_t>(i) + 1), boards[i]);
  EXPECT_FALSE(game->Annotate(7, "x", ""));
}

TEST_F(History, aGameNamedOnTheCommandLineOpensAtItsLastTurnAndABrokenOneIsRefused) {
  Play(4);
  const std::filesystem::path game = dir.path() / "war.mwgame";
  const std::filesystem::path broken = dir.path() / "broken.mwgame";
  std::filesystem::copy_file(game, broken);
  std::filesystem::resize_file(broken, 3000);
  for (const auto& [named, opens] : {std::pair{game, true}, {broken, false}}) {
    test::FakeHost other;
    Viewer viewer(other, kProgramDir);
    EXPECT_EQ(bool(viewer.Start("\"" + named.string() + "\"")), opens) << named;
    EXPECT_FALSE(viewer.position().dirty());
    EXPECT_EQ(other.historyShown, opens);
    if (!opens) {
      EXPECT_EQ(viewer.games().game(), nullptr);
      continue;
    }
    EXPECT_EQ(EncodePosition(viewer.position(), false), boards.back());
    EXPECT_EQ(viewer.games().history().current, 4);
    EXPECT_EQ(viewer.games().history().turns.back().countries, figures.back());
  }
}

}  // namespace
}  // namespace mw
