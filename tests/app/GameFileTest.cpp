// SPDX-License-Identifier: GPL-3.0-or-later
// Game files through the command line: what is recorded comes back byte for byte, what is no
// game is refused untouched, and a recording killed at any moment leaves every committed turn.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

#include "FileBytes.h"
#include "GameFile.h"
#include "PositionFile.h"
#include "RunProgram.h"
#include "TempDir.h"
#include "TestMap.h"

namespace mw {
namespace {

namespace fs = std::filesystem;
const fs::path kProgram = MARROWIND;
const fs::path kMaps = kProgram.parent_path();
const fs::path kStart = kMaps / "Tess.gim" / "Start.QPX";
const fs::path kVersion1 = fs::path(FIXTURES_DIR) / "tess-war-v1.mwgame";

// Runs the program with `args` and kills it at a random moment within one and a half times
// `took`, what a whole run takes here and now.
void RunKilled(std::vector<const char*> args, std::chrono::microseconds took,
               std::mt19937& random) {
  args.insert(args.begin(), kProgram.c_str());
  args.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::execv(kProgram.c_str(), const_cast<char* const*>(args.data()));
    ::_exit(127);
  }
  ::usleep(std::uniform_int_distribution<useconds_t>(
      0, static_cast<useconds_t>(took.count() * 3 / 2))(random));
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

// Runs SQL on a game file as the sqlite3 tool would.
void Sql(const fs::path& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
  sqlite3_close(db);
}

// The Isles' start with one more stack of `count` infantry of country 2 at Greyspire.
std::vector<uint8_t> StartWith(int count) {
  Position p;
  EXPECT_TRUE(LoadPosition(p, kStart));
  std::vector<Unit> units;
  for (size_t i = 0; i < p.unitCount(); ++i) units.push_back(p.unit(i));
  units.push_back(test::MakeUnit(230, 508, 1, 2, static_cast<uint16_t>(count)));
  p.ReplaceUnits(units);
  return EncodePosition(p, false);
}

class Games : public ::testing::Test {
 protected:
  test::ProgramRun Run(std::vector<std::string> args) {
    return test::RunProgram(kProgram, args, kMaps);
  }
  std::vector<uint8_t> Bytes(const fs::path& p) { return ReadFileBytes(p).value(); }
  // Records a position with `count` more infantry into a game from the command line.
  test::ProgramRun Record(const fs::path& game, int count, std::vector<std::string> more = {}) {
    const fs::path position = dir / ("board" + std::to_string(count) + ".QPX");
    EXPECT_TRUE(WriteFileAtomically(position, StartWith(count)));
    std::vector<std::string> args{"--record", game.string(), position.string()};
    args.insert(args.end(), more.begin(), more.end());
    return Run(args);
  }
  test::TempDir dir;
};

TEST_F(Games, whatIsRecordedComesBackByteForByte) {
  const fs::path game = dir / "tess.mwgame";
  // The bundled start, a native position with odd reserved bytes, coordinates and stale sector
  // numbers, and a .MAP file.
  Position odd;
  odd.header().setMapName("Tess");
  odd.ReplaceUnits({test::MakeUnit(5000, 3, 1, 2, 7), test::MakeUnit(300, 200, 0, 9, 1)});
  std::vector<uint8_t> oddBytes = EncodePosition(odd, false);
  oddBytes[12] = 0xAB;                                          // a reserved header byte
  oddBytes[PositionHeader::kSize + kUnitRecordSize + 20] = 77;  // a stale sector number
  ASSERT_TRUE(WriteFileAtomically(dir / "odd.QPX", oddBytes));
  ASSERT_TRUE(SavePosition(odd, dir / "odd.MAP"));
  const std::vector<fs::path> inputs = {kMaps / "Tess.gim" / "Start.QPX", dir / "odd.QPX",
                                        dir / "odd.MAP"};
  for (size_t i = 0; i < inputs.size(); ++i) {
    auto run = Run({"--record", game.string(), inputs[i].string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
  }
  for (size_t i = 0; i < inputs.size(); ++i) {
    const std::string turn = std::to_string(i + 1);
    ASSERT_EQ(Run({"--extract", game.string(), turn, (dir / "out.QPX").string()}).exitCode, 0);
    ASSERT_EQ(Run({"--extract", game.string(), turn, (dir / "out.MAP").string()}).exitCode, 0);
    Position p;
    ASSERT_TRUE(LoadPosition(p, inputs[i]));
    EXPECT_EQ(Bytes(dir / "out.MAP"), EncodePosition(p, true)) << inputs[i];
    if (inputs[i].extension() == ".QPX")
      EXPECT_EQ(Bytes(dir / "out.QPX"), Bytes(inputs[i])) << inputs[i];
    else
      EXPECT_EQ(Bytes(dir / "out.QPX"), EncodePosition(p, false)) << inputs[i];
  }
  // The turns list every country with a total, turn by turn; the comparison reads turns.
  auto turns = Run({"--turns", game.string()});
  ASSERT_EQ(turns.exitCode, 0) << turns.err;
  // Turn, "Turn N", an ISO 8601 UTC time, the country and five figures.
  const auto wellFormed = [](const std::string& text) {
    std::vector<std::string> f(1);
    for (char c : text) {
      if (c == '\t')
        f.emplace_back();
      else
        f.back().push_back(c);
    }
    const auto number = [](const std::string& v) {
      return !v.empty() && v.find_first_not_of("-0123456789") == std::string::npos;
    };
    const std::string shape = "dddd-dd-ddTdd:dd:ddZ";
    bool time = f.size() > 2 && f[2].size() == shape.size();
    for (size_t i = 0; time && i < shape.size(); ++i)
      time = shape[i] == 'd' ? std::isdigit(static_cast<unsigned char>(f[2][i])) != 0
                             : f[2][i] == shape[i];
    return f.size() == 10 && number(f[0]) && f[1] == "Turn " + f[0] && time &&
           std::all_of(f.begin() + 3, f.end() - 1, number) && f[9].empty();
  };
  std::istringstream lines(turns.out);
  std::string text;
  std::getline(lines, text);
  EXPECT_EQ(text, "Turn\tLabel\tRecorded\tCountry\tIPC\tConvoy\tOil\tLand\tNaval\tNote");
  int count = 0;
  while (std::getline(lines, text)) {
    EXPECT_TRUE(wellFormed(text)) << text;
    ++count;
  }
  EXPECT_GT(count, 8);
  auto diff = Run({"--diff", game.string() + ":2", game.string() + ":3"});
  EXPECT_EQ(diff.exitCode, 0) << "the same position in either file kind: " << diff.out << diff.err;
}

TEST_F(Games, whatIsNoGameOrNotOfItsMapIsRefusedAndLeftAsItWas) {
  const fs::path game = dir / "g.mwgame";
  ASSERT_EQ(Run({"--record", game.string(), (kMaps / "Tess.gim" / "Start.QPX").string()}).exitCode,
            0);
  const std::vector<uint8_t> made = Bytes(game);
  // A database header's user_version (offset 60) says a newer schema; a cut file; other files.
  std::vector<uint8_t> newer = made;
  newer[63] = GameFile::kSchemaVersion + 1;
  ASSERT_TRUE(WriteFileAtomically(dir / "newer.mwgame", newer));
  ASSERT_TRUE(WriteFileAtomically(dir / "cut.mwgame",
                                  std::vector<uint8_t>(made.begin(), made.begin() + 1500)));
  ASSERT_TRUE(WriteFileAtomically(dir / "text.mwgame", std::vector<uint8_t>(4096, 'x')));
  const std::vector<std::pair<std::vector<std::string>, std::string>> refusals = {
      {{"--record", game.string(), (kMaps / "Rift.gim" / "Start.QPX").string()}, "map Rift"},
      {{"--turns", (dir / "newer.mwgame").string()}, "newer"},
      {{"--turns", (dir / "cut.mwgame").string()}, "cut.mwgame"},
      {{"--turns", (dir / "text.mwgame").string()}, "not a game file"},
      {{"--record", (dir / "text.mwgame").string(), (kMaps / "Tess.gim" / "Start.QPX").string()},
       "not a game file"},
      {{"--extract", game.string(), "2", (dir / "x.QPX").string()}, "no turn 2"},
      {{"--diff", game.string() + ":1", game.string() + ":9"}, "no turn 9"}};
  for (const auto& [args, reason] : refusals) {
    auto run = Run(args);
    EXPECT_EQ(run.exitCode, 2) << args[1];
    EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
  }
  EXPECT_EQ(Bytes(game), made);
  EXPECT_EQ(Bytes(dir / "newer.mwgame"), newer);
  EXPECT_EQ(Bytes(dir / "text.mwgame"), std::vector<uint8_t>(4096, 'x'));
  EXPECT_FALSE(fs::exists(dir / "x.QPX"));
}

// Two copies of one game, the changes of a third program, and the exit codes that tell a script
// what happened.
TEST_F(Games, copiesJoinWhileTheyAgreeAndAChangedTurnIsNamedByVerifyAndMerge) {
  const fs::path mine = dir / "mine.mwgame", theirs = dir / "theirs.mwgame";
  for (int count : {1, 2}) ASSERT_EQ(Record(mine, count).exitCode, 0);
  fs::copy_file(mine, theirs);
  ASSERT_EQ(Record(theirs, 3, {"Spring\t1941", "--note", "a note\nof two lines"}).exitCode, 0);
  // A recording that expects another last turn writes nothing.
  EXPECT_EQ(Record(theirs, 4, {"--after", "2"}).exitCode, 1);
  ASSERT_EQ(Record(theirs, 4, {"--after", "3"}).exitCode, 0);
  auto merged = Run({"--merge", mine.string(), theirs.string()});
  EXPECT_EQ(merged.exitCode, 0) << merged.err;
  EXPECT_EQ(merged.out, "added turn 3 \"Spring\\x091941\"\nadded turn 4 \"Turn 4\"\n");
  EXPECT_EQ(Run({"--merge", mine.string(), theirs.string()}).out, "") << "nothing new";
  const auto turns = Run({"--turns", mine.string()}).out;
  EXPECT_NE(turns.find("\tSpring\\x091941\t"), std::string::npos) << turns;
  EXPECT_NE(turns.find("\ta note\\x0aof two lines\n"), std::string::npos) << turns;
  auto verified = Run({"--verify", mine.string()});
  EXPECT_EQ(verified.exitCode, 0);
  EXPECT_EQ(verified.out, "verified 4 turns\n");
  // Each records its own turn 5: they part there.
  ASSERT_EQ(Record(mine, 5).exitCode, 0);
  ASSERT_EQ(Record(theirs, 6).exitCode, 0);
  const auto before = Bytes(mine);
  auto parted = Run({"--merge", mine.string(), theirs.string()});
  EXPECT_EQ(parted.exitCode, 1);
  EXPECT_NE(parted.err.find("part at turn 5: its position"), std::string::npos) << parted.err;
  // A turn's position changed afterwards with another tool: named by both.
  Sql(theirs, "UPDATE turn SET position = position || x'00' WHERE number = 3");
  auto broken = Run({"--verify", theirs.string()});
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_NE(broken.err.find("turn 3: its position"), std::string::npos) << broken.err;
  parted = Run({"--merge", mine.string(), theirs.string()});
  EXPECT_EQ(parted.exitCode, 1);
  EXPECT_NE(parted.err.find("turn 3 of"), std::string::npos) << parted.err;
  // Another game, and what is no game at all.
  ASSERT_EQ(Record(dir / "other.mwgame", 1).exitCode, 0);
  for (const fs::path& other : {dir / "other.mwgame", kStart, dir / "missing.mwgame"})
    EXPECT_EQ(Run({"--merge", mine.string(), other.string()}).exitCode, 2) << other;
  EXPECT_EQ(Bytes(mine), before);
}

// No writer of the command line replaces a game file: each exits 2 and changes nothing, the
// game named twice included.
TEST_F(Games, noCommandWritesOverAGameFile) {
  const fs::path game = dir / "war.mwgame";
  ASSERT_EQ(Record(game, 1).exitCode, 0);
  const auto recorded = Bytes(game);
  const fs::path script = dir / "save.txt";
  dir.Write("save.txt", "dialog " + game.string() + "\ncommand 103\n");
  const std::vector<std::vector<std::string>> writers = {
      {"--extract", game.string(), "1", game.string()},
      {"--render", game.string(), "--ipc"},
      {"--render", game.string(), game.string()},
      {"--replay", script.string(), game.string()}};
  for (const auto& args : writers) {
    const auto run = Run(args);
    EXPECT_NE(run.exitCode, 0) << args[0];
    EXPECT_EQ(Bytes(game), recorded) << args[0];
  }
  EXPECT_EQ(Run({"--extract", game.string(), "1", game.string()}).exitCode, 2);
  // What is not whole is never a turn; the cut file is said with its sizes.
  const auto start = Bytes(kStart);
  ASSERT_TRUE(WriteFileAtomically(dir / "cut.QPX", std::span(start).first(100)));
  ASSERT_TRUE(WriteFileAtomically(dir / "empty.MAP", std::vector<uint8_t>()));
  for (const char* file : {"cut.QPX", "empty.MAP"}) {
    const auto run = Run({"--record", game.string(), (dir / file).string()});
    EXPECT_EQ(run.exitCode, 2) << file;
    EXPECT_NE(run.err.find(" bytes of "), std::string::npos) << run.err;
    EXPECT_EQ(Run({"--diff", (dir / file).string(), kStart.string()}).exitCode, 2) << file;
  }
  EXPECT_EQ(Bytes(game), recorded);
  // A map name of any length reads without a crash and is said not to be found.
  Sql(game, "UPDATE game SET value = printf('%.252c', 'A') WHERE key = 'map'");
  const auto longName = Run({"--turns", game.string()});
  EXPECT_EQ(longName.exitCode, 2);
  EXPECT_NE(longName.err.find("is not found"), std::string::npos) << longName.err;
}

// A game of the release before: read as it is, upgraded and verified at its first recording,
// its turns as they were.
// A turn played in a replay script keeps its moves, which --moves prints in order: places,
// a removal, moves between sectors and within one; a turn from the start or a position file has
// none, and a turn the game lacks is an error. A copy merged in brings the moves along.
TEST_F(Games, theMovesOfATurnPlayedHereArePrintedInOrderAndTravelWithTheTurn) {
  const fs::path game = dir / "moves.mwgame";
  // Turn 1, the start, and a copy of the game as it then was.
  std::ofstream(dir / "start.txt") << "dialog " + game.string() + "\ncommand 142\n";
  ASSERT_EQ(Run({"--replay", (dir / "start.txt").string()}).exitCode, 0);
  const fs::path copy = dir / "copy.mwgame";
  fs::copy_file(game, copy);
  // Turn 2, played on turn 1 as a later session opens it.
  const std::string script = "dialog " + game.string() +
                             "\n"
                             "command 143\n"         // Open Game: turn 1 on the board
                             "palette 22 5\n"        // Inf of country 1
                             "press left 495 323\n"  // into Lusk
                             "press left 495 323 shift\n"
                             "key Escape\n"
                             "press middle 495 323\n"  // one taken away
                             "press left 495 323\n"    // one carried to Dunmoor
                             "release left 405 428\n"
                             "press left 405 428\n"  // and within Dunmoor
                             "release left 412 436\n"
                             "label Spring 1942\n"
                             "command 142\n";
  std::ofstream(dir / "play.txt") << script;
  const auto played = Run({"--replay", (dir / "play.txt").string()});
  ASSERT_EQ(played.exitCode, 0) << played.err;
  const auto moves = Run({"--moves", game.string() + ":2"});
  ASSERT_EQ(moves.exitCode, 0) << moves.err;
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(moves.out);
  for (std::string line; std::getline(lines, line);) {
    rows.emplace_back(1);
    for (char c : line)
      if (c == '\t')
        rows.back().emplace_back();
      else
        rows.back().back().push_back(c);
  }
  ASSERT_EQ(rows.size(), 6u) << moves.out;
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Move", "Action", "Count", "Piece", "Country",
                                               "From", "To"}));
  const std::vector<std::array<std::string, 4>> expected = {{"1", "place", "", "Lusk"},
                                                            {"2", "place", "", "Lusk"},
                                                            {"3", "remove", "Lusk", ""},
                                                            {"4", "move", "Lusk", "Dunmoor"},
                                                            {"5", "move", "Dunmoor", "Dunmoor"}};
  for (size_t i = 0; i < expected.size(); ++i) {
    const auto& row = rows[i + 1];
    ASSERT_EQ(row.size(), 7u) << moves.out;
    EXPECT_EQ((std::array<std::string, 4>{row[0], row[1], row[5], row[6]}), expected[i]);
  }
  EXPECT_EQ(rows[1][2], "1");
  EXPECT_EQ(rows[2][2], "5");
  EXPECT_EQ(rows[1][3], "Inf");
  EXPECT_EQ((*(*GameFile::Open(game)).FindTurn(2))->label, "Spring 1942");
  const auto first = Run({"--moves", game.string() + ":1"});
  EXPECT_EQ(first.exitCode, 0);
  EXPECT_NE(first.err.find("without its moves"), std::string::npos) << first.err;
  EXPECT_EQ(Run({"--moves", game.string() + ":3"}).exitCode, 2);
  // The copy of turn 1 only takes turn 2 with its moves.
  ASSERT_EQ(Run({"--moves", copy.string() + ":2"}).exitCode, 2);
  ASSERT_EQ(Run({"--merge", copy.string(), game.string()}).exitCode, 0);
  EXPECT_EQ(Run({"--moves", copy.string() + ":2"}).out, moves.out);
}

TEST_F(Games, aGameOfTheReleaseBeforeReadsAsItWasAndVerifiesAfterItsUpgrade) {
  const fs::path game = dir / "old.mwgame";
  fs::copy_file(kVersion1, game);
  std::string expected = test::ReadText(fs::path(FIXTURES_DIR) / "tess-war-v1.turns");
  // The same figures, and a note column where turn 3 has one.
  std::string withNotes;
  std::istringstream lines(expected);
  for (std::string line; std::getline(lines, line);)
    withNotes += line +
                 (line.starts_with("Turn\t") ? "\tNote"
                  : line.starts_with("3\t")  ? "\tWritten by the release before game files "
                                               "carried a chain"
                                             : "\t") +
                 "\n";
  EXPECT_EQ(Run({"--turns", game.string()}).out, withNotes);
  EXPECT_EQ(Run({"--verify", game.string()}).exitCode, 0);
  EXPECT_EQ(Bytes(game), Bytes(kVersion1)) << "reading writes nothing";
  ASSERT_EQ(Record(game, 1, {"--after", "10"}).exitCode, 0);
  EXPECT_EQ(Run({"--verify", game.string()}).out, "verified 11 turns\n");
  EXPECT_TRUE(Run({"--turns", game.string()}).out.starts_with(withNotes));
}

// Merges killed at random moments: the game always opens, verifies, and holds its old turns or
// all of the copy's.
TEST_F(Games, aMergeKilledAtAnyMomentLeavesTheOldTurnsOrAllOfThem) {
  const fs::path game = dir / "game.mwgame", copy = dir / "copy.mwgame";
  ASSERT_EQ(Record(game, 1).exitCode, 0);
  {
    fs::copy_file(game, copy);
    auto other = GameFile::Open(copy, true);
    ASSERT_TRUE(other);
    for (int turn = 0; turn < 300; ++turn)
      ASSERT_TRUE(other->Record({StartWith(turn % 7 + 2), {}, {}, {}, {}, {}, {}, {}, {}}));
  }
  const auto old = Bytes(game);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(Run({"--merge", game.string(), copy.string()}).exitCode, 0);
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - started);
  std::mt19937 random(32);
  int all = 0, kill = 0;
  for (; kill < 50 || ((all == 0 || all == kill) && kill < 400); ++kill) {
    // The game as it was, without the journal of the merge killed before.
    fs::remove(game);
    fs::remove(game.string() + "-journal");
    ASSERT_TRUE(WriteFileAtomically(game, old));
    RunKilled({"--merge", game.c_str(), copy.c_str()}, took, random);
    auto opened = GameFile::Open(game);
    ASSERT_TRUE(opened) << "after kill " << kill << ": " << opened.error();
    EXPECT_EQ(opened->Verify()->firstBroken, 0) << "kill " << kill;
    const size_t turns = opened->Turns()->size();
    ASSERT_TRUE(turns == 1 || turns == 301) << "kill " << kill << ": " << turns << " turns";
    all += turns == 301;
  }
  EXPECT_GT(all, 0);
  EXPECT_LT(all, kill);
}

// Recordings killed at random moments, fifty at least: the game opens every time, every turn
// committed before holds its bytes, and a turn is there whole or not at all. Each is the first
// write of a file made before the list of turns, which it makes in the same transaction.
TEST_F(Games, aRecordingKilledAtAnyMomentLeavesEveryCommittedTurnWhole) {
  const fs::path path = dir / "long.mwgame";
  const std::vector<uint8_t> start = Bytes(kMaps / "Tess.gim" / "Start.QPX");
  {
    auto game = GameFile::Create(path, "Tess", "The Isles of Tess");
    ASSERT_TRUE(game) << game.error();
    for (int i = 0; i < 200; ++i)
      ASSERT_TRUE(game->Record({start, {}, "note", {}, {}, {}, {}, {}, {}}));
  }
  Position later;
  ASSERT_TRUE(LoadPosition(later, kMaps / "Tess.gim" / "Start.QPX"));
  later.ReplaceUnits({test::MakeUnit(600, 400, 1, 3, 9)});
  const std::vector<uint8_t> recorded = EncodePosition(later, false);
  ASSERT_TRUE(WriteFileAtomically(dir / "later.QPX", recorded));
  // The kills fall within one and a half times what a whole recording takes here and now, and
  // go on past fifty until some fell before a commit and some after it (a busy machine slows
  // the program's start).
  const auto older = [&] { Sql(path, "DROP INDEX IF EXISTS turn_list"); };
  older();
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(Run({"--record", path.string(), (dir / "later.QPX").string()}).exitCode, 0);
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - started);
  std::mt19937 random(50);
  size_t turns = 201;
  int whole = 0, kill = 0;
  for (; kill < 50 || ((whole == 0 || whole == kill) && kill < 400); ++kill) {
    const fs::path later = dir / "later.QPX";
    older();
    RunKilled({"--record", path.c_str(), later.c_str()}, took, random);
    auto game = GameFile::Open(path);
    ASSERT_TRUE(game) << "after kill " << kill << ": " << game.error();
    const auto listed = game->Turns();
    ASSERT_TRUE(listed);
    ASSERT_TRUE(listed->size() == turns || listed->size() == turns + 1) << "kill " << kill;
    if (listed->size() == turns + 1) {
      EXPECT_EQ(*game->PositionOf(static_cast<int64_t>(turns + 1)), recorded) << "kill " << kill;
      ++whole;
    }
    turns = listed->size();
    for (size_t n = 1; n <= 200; n += 37)
      EXPECT_EQ(*game->PositionOf(static_cast<int64_t>(n)), start);
  }
  // The moments reached both sides of a commit.
  EXPECT_GT(whole, 0);
  EXPECT_LT(whole, kill);
}

}  // namespace
}  // namespace mw
