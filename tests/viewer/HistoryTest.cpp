// SPDX-License-Identifier: GPL-3.0-or-later
// A game on the Isles of Tess stepped through at random: whatever the steps, the board is the
// turn chosen byte for byte, compared with the turn before it, and the figures the History and
// Trends windows show are those of every turn's board; a label changes only when asked, and a
// position never.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
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

// The comparison, and a game's turns when it was opened, come after the board is painted: steps
// and openings follow one another here with and without a paint between them, and every
// command finishes what the one before left.
TEST_F(History, stepsAtRandomAlwaysShowTheTurnChosenComparedWithTheOneBefore) {
  Play(12);
  ASSERT_EQ(viewer.games().history().turns.size(), 12u);
  const std::string game = viewer.games().game()->path().string();
  host.holdAfterPaint = true;
  std::uniform_int_distribution<int> action(0, 6), turn(1, 12);
  for (int step = 0; step < 200; ++step) {
    const std::vector<uint8_t> before = EncodePosition(viewer.position(), false);
    const int64_t was = viewer.board().document().origin.turn;
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
      EXPECT_EQ(viewer.board().document().origin.turn, expected) << "step " << step;
    } else if (what == 6) {
      const int64_t chosen = turn(random);
      ASSERT_TRUE(viewer.games().OpenGameAt(game, chosen));
      EXPECT_EQ(viewer.board().document().origin.turn, chosen);
      EXPECT_NE(host.title.find("turn " + std::to_string(chosen) + " of 12"), std::string::npos)
          << host.title << ": the last turn is known before the turns are read";
    } else {
      viewer.games().GoToTurn(turn(random));
    }
    // Half the time the next command comes before the paint.
    if (std::bernoulli_distribution(0.5)(random)) continue;
    host.Paint();
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

// However the file holds the turns' totals (stored by the window, not at all as the command line
// or an older release leaves them, stored on another map, damaged), the game opened shows those
// every board had; opening reads no position the stored totals stand for, and the next recording
// stores what was missing.
TEST_F(History, aGameOpenedShowsTheFiguresEveryTurnWasRecordedWith) {
  Play(9);
  const std::string game = (dir.path() / "war.mwgame").string();
  const struct {
    const char* how;
    const char* sql;
    int64_t mostRead;  // positions read by opening: the turn shown and the one before, at least
  } cases[] = {
      {"stored", "", 2},
      {"none stored", "DELETE FROM figures", 9 + 2},
      {"stored on another map", "UPDATE figures SET map = 'another'", 9 + 2},
      {"stored wrong", "UPDATE figures SET totals = x'0102' WHERE turn = 4", 1 + 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    const std::string copy = (dir.path() / (std::string(c.how) + ".mwgame")).string();
    std::filesystem::copy_file(game, copy);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(copy.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, c.sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    test::FakeHost other;
    other.openChoices.push_back(copy);
    Viewer second(other, kProgramDir);
    second.Start();
    // Until the board is painted, the turn shown is all that was read.
    other.holdAfterPaint = true;
    second.Command(command::kOpenGame);
    EXPECT_EQ(EncodePosition(second.position(), false), boards.back());
    EXPECT_EQ(second.games().game()->positionsRead(), 1);
    EXPECT_TRUE(second.games().history().turns.empty());
    EXPECT_FALSE(second.overlays().comparison());
    other.Paint();
    EXPECT_TRUE(second.overlays().comparison());
    EXPECT_TRUE(second.games().AwaitPageCheck());
    ASSERT_EQ(second.games().history().turns.size(), figures.size());
    EXPECT_LE(second.games().game()->positionsRead(), c.mostRead);
    for (size_t i = 0; i < figures.size(); ++i)
      EXPECT_EQ(second.games().history().turns[i].countries, figures[i]) << "turn " << i + 1;
    EXPECT_TRUE(other.historyShown);
    EXPECT_EQ(other.history.current, 9);
    second.Command(command::kTrends);
    ASSERT_TRUE(other.trends);
    EXPECT_EQ(other.trends->countries, CountriesOf(second.games().history().turns));
    EXPECT_EQ(other.trends->colours.size(), other.trends->countries.size());
    // Recorded into, the file holds every turn's totals on this map.
    second.Command(command::kRecordTurn);
    const auto reopened = GameFile::Open(copy);
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->StoredFigures(FiguresMapKey(second.position()))->size(), 10u);
    EXPECT_TRUE(other.errors.empty()) << other.errors.front();
  }
}

// Opening reads only what it shows; the check of every page runs beside the window and says
// what it finds: a page damaged where opening did not look.
TEST_F(History, aDamagedPageOpeningDidNotReadIsFoundBesideTheWindow) {
  Play(2);
  const std::string game = (dir.path() / "war.mwgame").string();
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(game.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TABLE notes (text BLOB);"
                         "INSERT INTO notes VALUES (zeroblob(20000)), (zeroblob(20000));",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_stmt* root = nullptr;
  sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_schema WHERE name = 'notes'", -1, &root,
                     nullptr);
  ASSERT_EQ(sqlite3_step(root), SQLITE_ROW);
  const int64_t page = sqlite3_column_int64(root, 0);
  sqlite3_finalize(root);
  sqlite3_close(db);
  {
    std::fstream file(game, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp((page - 1) * 4096);
    file.write(std::string(64, '\xff').data(), 64);
  }
  test::FakeHost other;
  other.openChoices.push_back(game);
  Viewer second(other, kProgramDir);
  second.Start();
  second.Command(command::kOpenGame);
  ASSERT_EQ(second.games().history().turns.size(), 2u) << "opened whole";
  EXPECT_FALSE(second.games().AwaitPageCheck());
  ASSERT_EQ(other.errors.size(), 1u);
  EXPECT_NE(other.errors[0].find("is damaged"), std::string::npos) << other.errors[0];
  const auto verified = GameFile::Open(game)->Verify();
  ASSERT_FALSE(verified);
  EXPECT_NE(verified.error().find("is damaged"), std::string::npos) << verified.error();
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

// A turn of placements, moves and removals replayed at random: every step shows the turn before
// with as many of the moves made, clean and read-only, the last move marked; the last step is the
// turn as recorded, Esc puts the turn back, and moves that no longer lead to the turn are said.
TEST_F(History, aTurnsMovesReplayedLeadFromTheTurnBeforeToItAndNothingEditsTheBoard) {
  Play(1);
  const auto drag = [&](size_t unit, QPoint to) {
    const Unit u = viewer.position().unit(unit % viewer.position().unitCount());
    viewer.MousePress(MouseButton::kLeft, QPoint(u.x, u.y), unit % 2 ? unsigned{kShift} : 0u);
    viewer.MouseRelease(MouseButton::kLeft, to);
  };
  for (int i = 0; i < 6; ++i) Place();
  drag(3, QPoint(300, 200));
  drag(8, QPoint(700, 420));
  drag(5, QPoint(702, 421));
  viewer.Command(command::kUndo);
  const Unit gone = viewer.position().unit(2);
  viewer.MousePress(MouseButton::kMiddle, QPoint(gone.x, gone.y), kShift);
  drag(1, QPoint(40, 600));
  viewer.Command(command::kRecordTurn);
  boards.push_back(EncodePosition(viewer.position(), false));
  auto game = GameFile::Open(dir.path() / "war.mwgame");
  const std::vector<UndoEntry> moves = **game->MovesOf(2);
  ASSERT_GE(moves.size(), 10u);
  // The board each step must show.
  std::vector<std::vector<uint8_t>> expected;
  Position model;
  LoadPositionBytes(model, boards[0]);
  TakeMapOf(model, viewer.position());
  expected.push_back(boards[0]);
  for (const UndoEntry& move : moves) {
    ASSERT_TRUE(model.ApplyMove(move));
    expected.push_back(EncodePosition(model, false));
  }
  ASSERT_EQ(expected.back(), boards[1]);

  viewer.Command(command::kNextMove);
  std::uniform_int_distribution<int> action(0, 5);
  for (int i = 0; i < 200; ++i) {
    const Playback& playback = viewer.playback();
    const int what = action(random);
    if (what == 0) viewer.Command(command::kNextMove);
    if (what == 1) viewer.Command(command::kPreviousMove);
    if (what == 2)
      viewer.playback().GoTo(std::uniform_int_distribution<size_t>(0, moves.size())(random));
    if (what == 3) {
      viewer.KeyRelease(Key::kSpace);
      EXPECT_EQ(host.playPace, playback.playing() ? playback.pace() : 0);
      for (int tick = std::uniform_int_distribution<int>(0, 4)(random); tick > 0; --tick)
        viewer.playback().Tick();
    }
    if (what >= 4) {  // every way of editing, refused
      const std::vector<uint8_t> before = EncodePosition(viewer.position(), false);
      drag(static_cast<size_t>(i), QPoint(500, 500));
      viewer.MousePress(MouseButton::kMiddle, QPoint(300, 200), kCtrl | kShift);
      viewer.Command(command::kUndo);
      viewer.Command(command::kDel);
      viewer.KeyPress(Key::kDelete, kShift | kCtrl);
      EXPECT_EQ(EncodePosition(viewer.position(), false), before) << "an edit while replaying";
    }
    ASSERT_TRUE(playback.active());
    const size_t step = playback.step();
    EXPECT_EQ(EncodePosition(viewer.position(), false), expected[step]) << "step " << step;
    EXPECT_FALSE(viewer.position().dirty());
    EXPECT_EQ(playback.arrow().move(), step ? std::optional(moves[step - 1]) : std::nullopt);
    ASSERT_TRUE(host.history.replay);
    EXPECT_EQ(host.history.replay->step, step);
    EXPECT_EQ(host.history.current, 2);
    const bool recorded =
        host.status[StatusField::kMessage].find("is turn 2 as recorded") != std::string::npos;
    EXPECT_TRUE(what >= 4 || recorded == (step == moves.size())) << step;
  }
  viewer.KeyRelease(Key::kEscape);
  EXPECT_FALSE(viewer.playback().active());
  EXPECT_FALSE(host.history.replay);
  EXPECT_EQ(EncodePosition(viewer.position(), false), boards[1]);
  EXPECT_FALSE(viewer.position().dirty());
  EXPECT_EQ(viewer.board().document().origin.turn, 2);
  EXPECT_FALSE(viewer.playback().arrow().move());
  // From the turn, Ctrl+Alt+Left is the board before its last move; a step to another turn
  // leaves the replay.
  viewer.Command(command::kPreviousMove);
  EXPECT_EQ(viewer.playback().step(), moves.size() - 1);
  viewer.Command(command::kPreviousTurn);
  EXPECT_FALSE(viewer.playback().active());
  EXPECT_EQ(EncodePosition(viewer.position(), false), boards[0]);

  // Moves changed in the file after the turn was recorded do not lead to it: said at the end.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir.path() / "war.mwgame").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "UPDATE move SET to_x = to_x + 1 WHERE turn = 2 AND action != 3",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  viewer.Command(command::kNextTurn);
  viewer.Command(command::kPreviousMove);
  viewer.Command(command::kNextMove);
  EXPECT_NE(host.status[StatusField::kMessage].find("differs from turn 2"), std::string::npos)
      << host.status[StatusField::kMessage];
}

}  // namespace
}  // namespace mw
