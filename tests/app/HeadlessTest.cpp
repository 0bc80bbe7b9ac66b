// SPDX-License-Identifier: GPL-3.0-or-later
// Marrowind without a window, run as a script would run it, on a package the test writes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <array>
#include <map>
#include <sstream>

#include "FileBytes.h"
#include "PositionFile.h"
#include "RunProgram.h"
#include "SectorLayer.h"
#include "TempDir.h"
#include "TestPackage.h"
#include "Version.h"

namespace mw {
namespace {

using test::MakeUnit;

class Headless : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(MARROWIND, dir / "Marrowind");
    test::TestPackage tess;
    tess.start = {MakeUnit(150, 50, 0, 1, 1), MakeUnit(50, 50, 1, 1, 4), MakeUnit(150, 60, 3, 2, 2),
                  MakeUnit(60, 20, 1, 9, 1)};
    tess.WriteTo(dir.path());
  }
  test::ProgramRun Run(std::vector<std::string> args) {
    return test::RunProgram(dir / "Marrowind", args, dir.path());
  }
  test::TempDir dir;
};

TEST_F(Headless, printsTheCountryTotalsOfTheStartPosition) {
  auto run = Run({"--totals"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "Country\tIPC\tConvoy\tOil\tSum\tLand\tNaval\n"
            "1\t7\t0\t0\t7\t12\t0\n"
            "2\t0\t0\t0\t0\t0\t16\n"
            "3\t0\t0\t0\t0\t0\t0\n4\t0\t0\t0\t0\t0\t0\n5\t0\t0\t0\t0\t0\t0\n"
            "6\t0\t0\t0\t0\t0\t0\n7\t0\t0\t0\t0\t0\t0\n8\t0\t0\t0\t0\t0\t0\n"
            "9\t0\t0\t0\t0\t3\t0\n");
}

// Splits tab-separated text into its lines' fields, the header line left out.
std::vector<std::vector<std::string>> Rows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line)) {
    std::vector<std::string> fields(1);
    for (char c : line) {
      if (c == '\t')
        fields.emplace_back();
      else
        fields.back().push_back(c);
    }
    rows.push_back(fields);
  }
  return rows;
}

TEST(IncomeReport, sumsToTheTotalsOfEveryCountryOnTheIslesOfTess) {
  const std::filesystem::path program = MARROWIND;
  auto income = test::RunProgram(program, {"--income"}, program.parent_path());
  auto totals = test::RunProgram(program, {"--totals"}, program.parent_path());
  ASSERT_EQ(income.exitCode, 0) << income.err;
  ASSERT_TRUE(income.out.starts_with("Country\tSector\tName\tIPC\tConvoy\tOil\tReason\n"));
  std::map<int, std::array<int64_t, 3>> sums;
  int lastCountry = 0, lastSector = 0;
  for (const auto& row : Rows(income.out)) {
    ASSERT_EQ(row.size(), 7u);
    const int country = std::stoi(row[0]), sector = std::stoi(row[1]);
    EXPECT_TRUE(country > lastCountry || (country == lastCountry && sector > lastSector))
        << "country " << country << " sector " << sector << " out of order";
    lastCountry = country, lastSector = sector;
    for (int k = 0; k < 3; ++k) sums[country][k] += std::stoll(row[3 + k]);
    const bool yields = row[3] != "0" || row[4] != "0" || row[5] != "0";
    EXPECT_EQ(yields, row[6].empty()) << "a reason exactly where sector " << sector << " yields 0";
  }
  const auto rows = Rows(totals.out);
  ASSERT_EQ(rows.size(), 8u);
  for (const auto& t : rows) {
    const int country = std::stoi(t[0]);
    EXPECT_EQ(sums[country][0], std::stoll(t[1])) << "IPC of country " << country;
    EXPECT_EQ(sums[country][1], std::stoll(t[2])) << "Convoy of country " << country;
    EXPECT_EQ(sums[country][2], std::stoll(t[3])) << "Oil of country " << country;
  }
}

TEST_F(Headless, explainsEverySectorThatYieldsNothing) {
  test::TestPackage p;
  p.sectors = {
      {.name = "North", .initialOwner = 1, .ipcValue = 4},
      {.name = "South", .initialOwner = 2, .ipcValue = 3, .requiredPiece = 1},
      {.name = "Pass", .initialOwner = 1, .ipcValue = 2, .dependency = 4},
      {.name = "East", .initialOwner = 3},
      {.name = "Strait", .initialOwner = 2, .ipcValue = 2, .convoy = 1},
      {.name = "Wells", .initialOwner = 1, .ipcValue = 3, .flags = SectorRecord::kFlagOil},
      {.name = "Sound", .initialOwner = 2, .ipcValue = 2, .convoy = 1},
      {.name = "Hills", .initialOwner = 2, .ipcValue = 5, .requiredPiece = 2},
  };
  // Country 1 takes the strait with a marker; a tank of country 1, an ally, works the hills.
  p.start = {MakeUnit(test::BandX(5), 50, 0, 1, 1), MakeUnit(test::BandX(8), 50, 2, 1, 1)};
  p.WriteTo(dir.path());
  auto run = Run({"--income"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "Country\tSector\tName\tIPC\tConvoy\tOil\tReason\n"
            "1\t1\tNorth\t4\t0\t0\t\n"
            "1\t3\tPass\t0\t0\t0\tdependency sector 4 East held by non-ally country 3\n"
            "1\t5\tStrait\t0\t0\t0\tconvoy held by another than its first owner, country 2\n"
            "1\t6\tWells\t0\t0\t3\t\n"
            "2\t2\tSouth\t0\t0\t0\trequired piece Inf missing or not allied\n"
            "2\t7\tSound\t0\t2\t0\t\n"
            "2\t8\tHills\t5\t0\t0\t\n"
            "3\t4\tEast\t0\t0\t0\tno income\n");
}

TEST_F(Headless, printsTheUnitListOfAGivenPosition) {
  Position p;
  p.header().setMapName("Tess");
  p.ReplaceUnits({MakeUnit(120, 30, 2, 2, 7)});
  ASSERT_TRUE(SavePosition(p, dir / "game.QPX"));
  auto run = Run({"--units", (dir / "game.QPX").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("\n ***** Country: 2 *****\n\n*** South \n7 Tank\n\n ***** Country: 3"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.find('\r'), std::string::npos);
}

TEST_F(Headless, comparesTwoPositionsSectorBySectorAndEndsWithWhetherTheyDiffer) {
  const auto save = [&](const std::string& name, std::vector<Unit> units) {
    Position p;
    p.header().setMapName("Tess");
    p.ReplaceUnits(std::move(units));
    EXPECT_TRUE(SavePosition(p, dir / name));
    return (dir / name).string();
  };
  const std::vector<Unit> start = {MakeUnit(150, 50, 0, 1, 1), MakeUnit(50, 50, 1, 1, 4),
                                   MakeUnit(150, 60, 3, 2, 2), MakeUnit(60, 20, 1, 9, 1)};
  const std::string old = save("old.QPX", start);
  // Country 2 takes South with a marker and a third ship; country 1's infantry moves within
  // North (no change); country 9's leaves the map.
  const std::string now = save("new.QPX", {MakeUnit(150, 50, 0, 2, 1), MakeUnit(70, 40, 1, 1, 4),
                                           MakeUnit(150, 60, 3, 2, 3), MakeUnit(250, 20, 1, 9, 1)});
  const std::string header = "Change\tSector\tName\tCountry\tPiece\tBefore\tAfter\n";
  auto run = Run({"--diff", old, now});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.out, header +
                         "pieces\t0\t\t9\tInf\t0\t1\n"
                         "pieces\t1\tNorth\t9\tInf\t1\t0\n"
                         "pieces\t2\tSouth\t1\tCtrl\t1\t0\n"
                         "pieces\t2\tSouth\t2\tCtrl\t0\t1\n"
                         "pieces\t2\tSouth\t2\tShip\t2\t3\n"
                         "holder\t2\tSouth\t\t\t1\t2\n"
                         "totals\t\tIPC\t1\t\t7\t4\n"
                         "totals\t\tIPC\t2\t\t0\t3\n"
                         "totals\t\tNaval\t2\t\t16\t24\n");
  // The same board in either file kind is no change.
  const std::string same = save("same.MAP", start);
  for (const auto& [a, b] : {std::pair{old, old}, std::pair{old, same}, std::pair{same, old}}) {
    run = Run({"--diff", a, b});
    EXPECT_EQ(run.exitCode, 0) << a << " " << b << ": " << run.err;
    EXPECT_EQ(run.out, header);
  }
  // What cannot be compared ends with 2 and the reason, and prints no report.
  Position rift;
  rift.header().setMapName("Rift");
  ASSERT_TRUE(SavePosition(rift, dir / "rift.QPX"));
  const std::string missing = (dir / "missing.QPX").string();
  for (const auto& [args, reason] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--diff", old, (dir / "rift.QPX").string()}, "of the map Rift"},
           {{"--diff", old, missing}, "missing.QPX"},
           {{"--diff", missing, old}, "missing.QPX"},
           {{"--diff", old}, "--diff needs two position files"}}) {
    run = Run(args);
    EXPECT_EQ(run.exitCode, 2) << args.back();
    EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "") << args.back();
  }
}

TEST_F(Headless, rendersTheComposedPictureAtTheZoomAsked) {
  ASSERT_EQ(Run({"--render", "one.png"}).exitCode, 0);
  EXPECT_EQ(QImage(QString::fromStdString((dir / "one.png").string())).size(), QSize(200, 100));
  auto run = Run({"--render", "big.png", "--zoom", "1.5", "--ipc"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const QImage big(QString::fromStdString((dir / "big.png").string()));
  EXPECT_EQ(big.size(), QSize(300, 150));
  EXPECT_EQ(QColor(big.pixel(75 - 7, 75 - 5)), test::CellColour(1, 1)) << "the stack at (50, 50)";
  EXPECT_NE(big.pixel(150, 120), SectorLayer::kBorderColour);
  run = Run({"--render", "sectors.png", "--zoom", "1.5", "--sectors"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(QImage(QString::fromStdString((dir / "sectors.png").string())).pixel(150, 120),
            SectorLayer::kBorderColour)
      << "the border between the bands";
}

TEST_F(Headless, refusesBadCommandLinesWithAClearError) {
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"--render"}, 1},
      {{"--render", "x.png", "--zoom", "1.55"}, 1},
      {{"--frobnicate"}, 1},
      {{"--totals", "a.QPX", "b.QPX"}, 1},
      {{"--totals", "gone.QPX"}, 2},
      {{"--render", "no/such/dir/x.png"}, 3}};
  for (const auto& [args, code] : cases) {
    auto run = Run(args);
    EXPECT_EQ(run.exitCode, code) << args[0];
    EXPECT_EQ(run.err.rfind("error: ", 0), 0u) << run.err;
  }
  auto help = Run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--render FILE.png"), std::string::npos);
  EXPECT_EQ(Run({"--version"}).out, std::string("Version ") + kVersionText + "\n");
}

TEST_F(Headless, refusesPositionsThatAreNoRegularFileAtOnce) {
  ASSERT_EQ(::mkfifo((dir / "game.QPX").c_str(), 0600), 0);
  for (const std::string& position :
       {(dir / "game.QPX").string(), std::string("/dev/zero"), std::string("/dev/stdin")}) {
    auto run = Run({"--totals", position});
    EXPECT_EQ(run.exitCode, 2) << position;
    EXPECT_EQ(run.err, "error: " + position + ": is not a regular file\n");
  }
}

TEST_F(Headless, replacesARenderedPictureWholeOrNotAtAll) {
  dir.Write("map.png", "the old picture");
  // A file size limit as a full disk: the write fails, and nothing is left half written.
  auto run = test::RunProgram(
      "/bin/sh", {"-c", "ulimit -f 1; exec ./Marrowind --render map.png --zoom 2.0"}, dir.path());
  EXPECT_EQ(run.exitCode, 3) << run.err;
  EXPECT_EQ(test::ReadText(dir / "map.png"), "the old picture");
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(e.path().filename().string().find(".map.png.tmp"), std::string::npos)
        << "left behind";
  // A render killed before it ended leaves its temporary: the next render of the file takes it.
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  dir.Write(".map.png.tmp-" + std::to_string(gone) + "-0", "half a picture");
  ASSERT_EQ(Run({"--render", "map.png"}).exitCode, 0);
  EXPECT_EQ(QImage(QString::fromStdString((dir / "map.png").string())).size(), QSize(200, 100));
  EXPECT_FALSE(std::filesystem::exists(dir / (".map.png.tmp-" + std::to_string(gone) + "-0")));
}

TEST_F(Headless, replaysUserEventsAndPrintsWhatTheProgramShows) {
  dir.Write("script.txt",
            "# place two infantry of country 3 beside the stack at (50, 50), then look\n"
            "palette 17 25\n"
            "press left 60 60 shift   # five of them\n"
            "print dirty\n"
            "move 150 40\n"
            "print title\n"
            "answer cancel\n"
            "command 201\n"
            "print totals\n"
            "command 134\n"
            "print units\n");
  auto run = Run({"--replay", "script.txt"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, run.out.find("Country\t")),
            "1\n - South (3 IPC)\nprompt: Load new Map without saving changes?\n");
  EXPECT_NE(run.out.find("\n3\t0\t0\t0\t0\t15\t0\n"), std::string::npos) << "five of land 3";
  EXPECT_NE(run.out.find(" ***** Country: 3 *****\n\n ***** Country: 4"), std::string::npos)
      << "the undo took them away again\n"
      << run.out;
}

// The board from the keyboard: a session of crosshair, palette, Enter and Delete saves the very
// bytes that the same session made with the mouse saves.
TEST_F(Headless, aKeyboardSessionSavesWhatTheSameMouseSessionSaves) {
  const std::string keys = (dir / "keys.QPX").string(), mouse = (dir / "mouse.QPX").string();
  std::string keyboard =
      "key Next\nkey Next\nkey Next\n"  // the first kind of country 1, then kind 2
      "key Next ctrl\nkey Next ctrl\n"  // country 3
      "key Left\nkey Left\nkey Left\nkey Left\nkey Up\n"  // from the middle (100, 50) to (60, 40)
      "key Return shift\nkey Escape\n"                    // five tanks placed
      "key Return\n";                                     // one picked up
  for (int i = 0; i < 9; ++i) keyboard += "key Right\n";
  keyboard += "key Return\n";  // and dropped at (150, 40)
  for (int i = 0; i < 10; ++i) keyboard += "key Left\n";
  keyboard += "key Down\nkey Delete\n";  // one piece of the stack at (50, 50) removed
  dir.Write("keys.txt", keyboard + "dialog " + keys + "\nkey S ctrl\n");
  dir.Write("mouse.txt",
            "palette 32 25\npress left 60 40 shift\nrelease left 60 40\nkey Escape\n"
            "press left 60 40\nmove 150 40\nrelease left 150 40\n"
            "press middle 50 50\nrelease middle 50 50\ndialog " +
                mouse + "\nkey S ctrl\n");
  for (const char* script : {"keys.txt", "mouse.txt"}) {
    auto run = Run({"--replay", script});
    ASSERT_EQ(run.exitCode, 0) << script << ": " << run.err;
  }
  const auto a = ReadFileBytes(keys), b = ReadFileBytes(mouse);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(*a, *b);
  Position saved;
  ASSERT_TRUE(LoadPosition(saved, keys));
  EXPECT_GT(saved.unitCount(), 1u);
}

TEST_F(Headless, refusesAScriptWithABadLineBeforeRunningAnything) {
  dir.Write("script.txt", "print dirty\npress left 1 2 alt\n");
  auto run = Run({"--replay", "script.txt"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "error: script.txt: line 2: unknown modifier 'alt' (shift or ctrl)\n");
  EXPECT_EQ(Run({"--replay", "none.txt"}).exitCode, 2);
  dir.Write("control.txt", "press\x1b[2J left 1 2\n");
  EXPECT_EQ(Run({"--replay", "control.txt"}).err,
            "error: control.txt: line 1: unknown event 'press\\x1b[2J'\n")
      << "control bytes never reach the terminal";
}

// A script whose save or export failed did not do what it says: it says why and ends with 1.
TEST_F(Headless, aReplayWhoseSaveFailedPrintsTheStatusAndEndsWithOne) {
  dir.Write("script.txt", "dialog " + (dir / "no" / "such" / "game.QPX").string() +
                              "\ncommand 103\ndialog " + (dir / "game.QPX").string() +
                              "\ncommand 103\n");
  auto run = Run({"--replay", "script.txt"});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_NE(run.out.find("status: Could not save " + (dir / "no" / "such" / "game.QPX").string()),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("status: Saved " + (dir / "game.QPX").string()), std::string::npos);
  dir.Write("fine.txt", "dialog " + (dir / "again.QPX").string() + "\ncommand 103\n");
  EXPECT_EQ(Run({"--replay", "fine.txt"}).exitCode, 0);
}

TEST_F(Headless, reportsOfAPositionWhoseMapIsMissingEndWithTheReason) {
  Position lost;
  lost.header().setMapName("Zzzz");
  ASSERT_TRUE(SavePosition(lost, dir / "lost.QPX"));
  for (const char* report : {"--totals", "--units", "--income"}) {
    auto run = Run({report, "lost.QPX"});
    EXPECT_EQ(run.exitCode, 2) << report;
    EXPECT_EQ(run.out, "") << report;
    EXPECT_NE(run.err.find("lost.QPX: its map Zzzz is not found"), std::string::npos) << run.err;
  }
  // An empty file is no empty board of the default map.
  dir.Write("empty.QPX", "");
  for (const std::vector<std::string>& report :
       {std::vector<std::string>{"--totals", "empty.QPX"}, {"--render", "e.png", "empty.QPX"}}) {
    const auto run = Run(report);
    EXPECT_EQ(run.exitCode, 2) << report[0];
    EXPECT_EQ(run.err,
              "error: empty.QPX: the file is empty; a position file holds at least its "
              "header\n");
  }
}

// The reports, the comparison and the game's totals read the map's grid and tables, never its
// pictures: they answer the same when no picture can be read, and say nothing of them.
TEST_F(Headless, answersWithoutReadingTheMapsPictures) {
  Position moved;
  ASSERT_TRUE(LoadPosition(moved, dir / "Tess.gim" / "Start.QPX"));
  moved.ReplaceUnits({MakeUnit(150, 50, 0, 2, 1), MakeUnit(250, 20, 1, 9, 1)});
  ASSERT_TRUE(SavePosition(moved, dir / "moved.QPX"));
  for (const char* turn : {"Tess.gim/Start.QPX", "moved.QPX"})
    ASSERT_EQ(Run({"--record", "war.mwgame", turn}).exitCode, 0);
  const std::vector<std::vector<std::string>> asks = {
      {"--totals", "moved.QPX"},   {"--units", "moved.QPX"},
      {"--income", "moved.QPX"},   {"--turns", "war.mwgame"},
      {"--moves", "war.mwgame:2"}, {"--diff", "war.mwgame:1", "moved.QPX"}};
  std::vector<test::ProgramRun> whole;
  for (const auto& ask : asks) whole.push_back(Run(ask));
  for (const char* picture : {"Map.bmp", "ToolPieces.bmp", "BigPieces.bmp"})
    dir.Write(std::string("Tess.gim/") + picture, "no picture at all");
  for (size_t i = 0; i < asks.size(); ++i) {
    const auto run = Run(asks[i]);
    EXPECT_EQ(run.exitCode, whole[i].exitCode) << asks[i][0] << ": " << run.err;
    EXPECT_EQ(run.out, whole[i].out) << asks[i][0];
    EXPECT_FALSE(whole[i].out.empty()) << asks[i][0];
    EXPECT_EQ(run.err.find("picture"), std::string::npos) << asks[i][0] << ": " << run.err;
  }
}

// Paths in any encoding reach the file system byte for byte.
TEST_F(Headless, pathsThatAreNotUtf8AreTakenAsTheyAre) {
  const std::string position = "r\xff\xfe.QPX", picture = "out\xff.png";
  std::filesystem::copy_file(dir / "Tess.gim" / "Start.QPX", dir / position);
  auto totals = Run({"--totals", position});
  EXPECT_EQ(totals.exitCode, 0) << totals.err;
  ASSERT_EQ(Run({"--render", picture, position}).exitCode, 0);
  EXPECT_TRUE(std::filesystem::exists(dir / picture));
}

}  // namespace
}  // namespace mw

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
