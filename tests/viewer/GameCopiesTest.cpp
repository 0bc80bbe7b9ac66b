// SPDX-License-Identifier: GPL-3.0-or-later
// A game between two players far apart, played on one machine: each copy of the game file is
// one player's; turns travel by copying the file. Whatever a player does, no turn of either copy
// is lost or silently undone, and no save of a position ever lands on a game file.
#include <filesystem>

#include "FileBytes.h"
#include "PositionFile.h"
#include "ViewerFixture.h"

namespace mw {
namespace {

namespace fs = std::filesystem;

class GameCopies : public test::ViewerTest {
 protected:
  // A piece of `country` placed at x (North: 0 to 99, South: 100 to 199).
  static void Place(Viewer& v, int country, int x) {
    v.editing().PaletteClick(QPoint(20, (country - 1) * 10 + 5));
    v.MousePress(MouseButton::kLeft, QPoint(x, 50), 0);
    v.MouseRelease(MouseButton::kLeft, QPoint(x, 50));
    v.KeyRelease(Key::kEscape);
  }
  static std::vector<uint8_t> Board(const Viewer& v) { return EncodePosition(v.position(), false); }
  static size_t TurnsIn(const fs::path& game) { return GameFile::Open(game)->Turns()->size(); }
};

TEST_F(GameCopies, theOpponentsTurnsAreTakenAndCopiesThatPartAreRefusedWhereTheyPart) {
  Viewer& a = StartViewer();
  const fs::path mine = dir / "war.mwgame", mailed = dir / "mail" / "war.mwgame";
  host.saveChoices.push_back(mine.string());
  for (int x : {10, 30}) {
    Place(a, 1, x);
    a.Command(command::kRecordTurn);
  }
  fs::create_directory(dir / "mail");
  fs::copy_file(mine, mailed);
  // B opens what A sent: the last turn on the board, compared with the one before.
  test::FakeHost hostB;
  Viewer b(hostB, dir.path());
  b.Start(mailed.string());
  ASSERT_NE(b.overlays().comparison(), nullptr);
  EXPECT_EQ(b.games().history().current, 2);
  for (int x : {150, 170}) {
    Place(b, 2, x);
    b.Command(command::kRecordTurn);
  }
  EXPECT_TRUE(hostB.prompts.empty()) << "B's board came from the last turn: nothing to ask";
  const std::vector<uint8_t> theirs = Board(b);
  // A takes them back: the question lists them, then B's last turn is on A's board, compared
  // with the turn before it.
  host.answers.push_back(true);
  a.games().TakeTurnsFrom(mailed.string());
  ASSERT_FALSE(host.prompts.empty());
  EXPECT_EQ(host.prompts.back(), "Take Turns: Take turns 3 and 4 of war.mwgame?");
  EXPECT_EQ(Board(a), theirs);
  EXPECT_EQ(a.games().history().current, 4);
  EXPECT_EQ(a.games().history().turns.size(), 4u);
  ASSERT_NE(a.overlays().comparison(), nullptr);
  EXPECT_EQ(a.overlays().comparison()->file(), "turn 3 \"Turn 3\"");
  EXPECT_EQ(TurnsIn(mine), 4u);
  // Both record from turn 4: the copies part there, and A takes nothing.
  Place(a, 1, 50);
  a.Command(command::kRecordTurn);
  Place(b, 2, 190);
  b.Command(command::kRecordTurn);
  const auto before = ReadFileBytes(mine).value();
  a.games().TakeTurnsFrom(mailed.string());
  ASSERT_FALSE(host.failures.empty());
  EXPECT_EQ(host.failures.back().action, Failure::Action::kTakeTurns);
  EXPECT_NE(host.failures.back().reason.find("part at turn 5: its position"), std::string::npos)
      << host.failures.back().reason;
  EXPECT_EQ(ReadFileBytes(mine).value(), before);
  // Compared with a game, the board is compared with the turn asked for (the last proposed).
  host.openChoices.push_back(mailed.string());
  a.Command(command::kCompareWith);
  ASSERT_NE(a.overlays().comparison(), nullptr);
  EXPECT_EQ(a.overlays().comparison()->file(), "war.mwgame turn 5 \"Turn 5\"");
}

// A position file cut short opens as far as it goes, as ever, says what it lacks, and is not
// recorded as a turn until the board is saved whole.
TEST_F(GameCopies, aCutPositionFileOpensAsFarAsItGoesButIsNoTurnUntilSaved) {
  Viewer& v = StartViewer();
  Place(v, 1, 10);
  Place(v, 2, 150);
  const fs::path cut = dir / "cut.QPX", game = dir / "war.mwgame";
  auto bytes = Board(v);
  bytes.resize(bytes.size() - 6);
  ASSERT_TRUE(WriteFileAtomically(cut, bytes));
  host.answers.push_back(true);
  v.OpenFile(cut.string());
  EXPECT_EQ(v.position().unitCount(), 1u);
  EXPECT_EQ(host.status[StatusField::kMessage],
            "Opened " + cut.string() + " ends after 1 of its 2 stacks (57 bytes of 63)");
  host.saveChoices.push_back(game.string());
  v.Command(command::kRecordTurn);
  EXPECT_FALSE(fs::exists(game));
  ASSERT_FALSE(host.errors.empty());
  v.Command(command::kSave);
  v.Command(command::kRecordTurn);
  EXPECT_EQ(TurnsIn(game), 1u);
}

// Every way a position could be saved meets a game file under the name it writes, and the game
// keeps every byte; the board keeps its changes to be saved elsewhere.
TEST_F(GameCopies, noSaveEverWritesOverAGameFile) {
  using Answer = Questions::DiscardAnswer;
  const fs::path game = dir / "war.mwgame", file = dir / "board.QPX";
  struct Path {
    const char* what;
    void (*save)(Viewer&, test::FakeHost&, const fs::path& game, const fs::path& file);
  };
  const Path paths[] = {{"Save as",
                         [](Viewer& v, test::FakeHost& h, const fs::path& g, const fs::path&) {
                           h.saveChoices.push_back(g.string());
                           v.Command(command::kSaveAs);
                         }},
                        {"the question's Save",
                         [](Viewer& v, test::FakeHost& h, const fs::path& g, const fs::path&) {
                           h.discards.push_back(Answer::kSave);
                           h.saveChoices.push_back(g.string());
                           v.Command(command::kOpen);
                         }},
                        {"a game dropped, then Save",
                         [](Viewer& v, test::FakeHost& h, const fs::path& g, const fs::path&) {
                           h.answers.push_back(true);
                           v.OpenFile(g.string());
                           Place(v, 1, 60);
                           h.saveChoices.push_back(g.string());
                           v.Command(command::kSave);
                         }},
                        {"Save after the file became a game",
                         [](Viewer& v, test::FakeHost& h, const fs::path& g, const fs::path& f) {
                           ASSERT_TRUE(SavePosition(const_cast<Position&>(v.position()), f));
                           h.answers.push_back(true);
                           v.OpenFile(f.string());
                           Place(v, 1, 60);
                           fs::copy_file(g, f, fs::copy_options::overwrite_existing);
                           v.Command(command::kSave);
                         }}};
  for (const Path& path : paths) {
    fs::remove(game);
    Viewer& v = StartViewer();
    host.saveChoices.push_back(game.string());
    v.Command(command::kRecordTurn);
    Place(v, 2, 120);
    const auto recorded = ReadFileBytes(game).value();
    host.failures.clear();
    path.save(v, host, game, file);
    EXPECT_EQ(ReadFileBytes(game).value(), recorded) << path.what;
    ASSERT_FALSE(host.failures.empty()) << path.what;
    EXPECT_EQ(host.failures.back().action, Failure::Action::kSave) << path.what;
    EXPECT_NE(host.failures.back().reason.find("is a game file"), std::string::npos) << path.what;
    EXPECT_TRUE(v.position().dirty()) << path.what << ": the changes wait to be saved elsewhere";
  }
}

}  // namespace
}  // namespace mw
