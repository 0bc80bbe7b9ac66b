// SPDX-License-Identifier: GPL-3.0-or-later
// The package checker: one small package broken in one way per test, and the exact lines it must
// print about it; the bundled maps without an error.
#include <gtest/gtest.h>

#include <QImage>
#include <cctype>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>

#include "PackageCheck.h"
#include "PieceTable.h"
#include "PositionFile.h"
#include "RunProgram.h"
#include "SectorTable.h"
#include "TempDir.h"
#include "TestPackage.h"

namespace mw {
namespace {

using test::MakeUnit;
using Lines = std::vector<std::string>;

class Gimcheck : public ::testing::Test {
 protected:
  Gimcheck() {
    // Two bands with their label points inside them, and a start stack in each.
    package.sectors = {
        {.name = "North", .initialOwner = 1, .ipcValue = 4, .labelX = 10, .labelY = 10},
        {.name = "South", .initialOwner = 2, .ipcValue = 3, .labelX = 110, .labelY = 10}};
    package.start = {MakeUnit(50, 50, 1, 1, 2), MakeUnit(150, 50, 3, 2, 1)};
    package.pieceTable = "Ctrl 0 0\nInf 3 0\nTank 5 0\nShip 8 1\nOdd 7 0\n";
  }
  std::filesystem::path Dir() const { return dir / (package.name + ".gim"); }
  // Writes the package, lets `breakIt` spoil it, and returns what the checker says.
  Lines Check() {
    package.WriteTo(dir.path());
    return Findings();
  }
  Lines Findings() {
    auto report = CheckPackage(Dir());
    EXPECT_TRUE(report) << report.error();
    Lines lines;
    if (report)
      for (const Finding& f : report->findings) lines.push_back(f.Line());
    return lines;
  }
  void AppendRecord(const test::SectorSpec& sector) {
    auto bytes = test::ReadBytes(Dir() / "SektorInfo.sek");
    const SectorRecord record = test::MakeSector(sector);
    bytes.insert(bytes.end(), record.bytes().begin(), record.bytes().end());
    dir.Write((Dir() / "SektorInfo.sek").string(), bytes);
  }
  void SaveStart(std::vector<Unit> units, const std::string& mapName = "Tess") {
    Position p;
    p.ReplaceUnits(std::move(units));
    p.header().setMapName(mapName);
    ASSERT_TRUE(SavePosition(p, Dir() / "Start.QPX"));
  }

  test::TempDir dir;
  test::TestPackage package;
};

TEST_F(Gimcheck, aSoundPackageHasNothingToSay) { EXPECT_EQ(Check(), Lines{}); }

TEST_F(Gimcheck, namesEveryMissingFileWithWhatTheViewerThenLacks) {
  package.WriteTo(dir.path());
  const std::pair<const char*, const char*> files[] = {
      {"MapInfo.txt",
       "error: MapInfo.txt: file: missing; the map has no alliances and \"New\" shows the "
       "folder's name"},
      {"Map.bmp", "error: Map.bmp: file: missing; the map shows no picture"},
      {"SektorInfo.sek",
       "error: SektorInfo.sek: file: missing; incomes and totals are not computed; the title "
       "shows sector numbers"},
      {"ToolPieces.bmp",
       "error: ToolPieces.bmp: file: missing; no piece image: the palette is empty and pieces "
       "are not drawn"},
      {"BigPieces.bmp",
       "warning: BigPieces.bmp: file: missing; with \"Use BigPieces\" on, the small pieces are "
       "shown"},
      {"Start.QPX", "error: Start.QPX: file: missing; \"New\" starts this map without any piece"},
      {"ToolPieces.txt",
       "error: ToolPieces.txt: file: missing; pieces have no names and no strength: Land and "
       "Naval stay 0"},
      {"SektorInfo.map",
       "error: SektorInfo.map: file: missing; no sector is known: positions show no sector "
       "names, incomes or totals"},
  };
  for (const auto& [file, line] : files) {
    std::filesystem::rename(Dir() / file, dir / file);
    EXPECT_EQ(Findings(), Lines{line}) << file;
    std::filesystem::rename(dir / file, Dir() / file);
  }
}

TEST_F(Gimcheck, findsAGridThatDoesNotFitThePictureOrThatTheViewerRefuses) {
  package.WriteTo(dir.path());
  QImage(200, 90, QImage::Format_RGB32).save(QString::fromStdString((Dir() / "Map.bmp").string()));
  EXPECT_EQ(Findings(), Lines{"error: SektorInfo.map: file: 200 x 100 cells, but Map.bmp is "
                              "200 x 90 pixels: sectors lie beside what is painted"});
  // A grid wider by the padding of a sector bitmap's rows is what the converters make of it.
  for (const auto& [width, fits] : {std::pair{197, true}, {196, false}}) {
    QImage(width, 100, QImage::Format_RGB32)
        .save(QString::fromStdString((Dir() / "Map.bmp").string()));
    EXPECT_EQ(Findings().empty(), fits) << width;
  }
  dir.Write((Dir() / "SektorInfo.map").string(),
            std::vector<uint8_t>{200, 0, 0, 0, 100, 0, 0, 0, 1, 0});
  const Lines lines = Findings();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].starts_with("error: SektorInfo.map: file: ")) << lines[0];
  EXPECT_TRUE(lines[0].ends_with("; no sector is known: no sector names, incomes or totals"));
}

TEST_F(Gimcheck, findsSectorNumbersWithoutRecordsAndRecordsWithoutPixels) {
  package.otherCells = {{QPoint(50, 50), 7}, {QPoint(60, 60), 600}};
  package.WriteTo(dir.path());
  AppendRecord({.name = "Nowhere"});
  EXPECT_EQ(Findings(),
            (Lines{"error: SektorInfo.map: 50,50: 1 pixel of sector 7 (no record), which has no "
                   "named record in SektorInfo.sek",
                   "error: SektorInfo.map: 60,60: 1 pixel of value 600, which is no sector "
                   "(sector numbers end at 511)",
                   "error: SektorInfo.sek: record 3 (Nowhere): no pixel of SektorInfo.map belongs "
                   "to it, so it is never held or shown"}));
}

TEST_F(Gimcheck, warnsOfSectorsInPiecesAndOfStrayPixels) {
  for (int y = 40; y < 43; ++y)
    for (int x = 40; x < 43; ++x) package.otherCells.push_back({QPoint(x, y), 2});
  package.otherCells.push_back({QPoint(70, 80), 2});
  package.otherCells.push_back({QPoint(71, 80), 2});
  EXPECT_EQ(Check(), (Lines{"warning: SektorInfo.map: record 2 (South): its pixels form 2 "
                            "separate pieces, at 100,0; 40,40",
                            "warning: SektorInfo.map: 70,80: 2 stray pixels of sector 2 (South), "
                            "apart from the rest of it"}));
}

TEST_F(Gimcheck, warnsOfLabelPointsOutsideThePictureOrInAnotherSector) {
  package.sectors.push_back({.name = "Waste", .labelX = 220});
  const std::string outside = " lies outside the picture (300 x 100): its income is not shown";
  // The first pixel beyond the picture is outside it, the last one inside it.
  const std::tuple<int, int, std::string> points[] = {
      {500, 10, "label point 500,10 (1f4 a in the sector text)" + outside},
      {300, 10, "label point 300,10 (12c a in the sector text)" + outside},
      {10, 100, "label point 10,100 (a 64 in the sector text)" + outside},
      {150, 99,
       "label point 150,99 (96 63 in the sector text) lies in sector 2 (South): its "
       "income is drawn outside it"},
  };
  for (const auto& [x, y, line] : points) {
    package.sectors[0].labelX = x;
    package.sectors[0].labelY = y;
    EXPECT_EQ(Check(), Lines{"warning: SektorInfo.sek: record 1 (North): " + line});
  }
}

// A sector of one small piece is a sector, not stray pixels of one.
TEST_F(Gimcheck, aSectorOfOneSmallPieceIsNoStrayPixels) {
  // Sector 3's band painted as South's, but for two pixels.
  package.sectors.push_back({.name = "Islet", .labelX = 250, .labelY = 50});
  for (int x = 200; x < 300; ++x)
    for (int y = 0; y < 100; ++y)
      if (y != 50 || (x != 250 && x != 251)) package.otherCells.push_back({QPoint(x, y), 2});
  EXPECT_EQ(Check(), Lines{});
}

TEST_F(Gimcheck, findsRecordFieldsThatPointNowhere) {
  package.sectors[0].dependency = 8;
  package.sectors[1].flags = SectorRecord::kFlagOwnerDependency;
  package.sectors[1].ownerDependency[2] = 9;
  package.sectors[1].requiredPiece = 7;
  package.sectors.push_back({.name = "East", .initialOwner = 9, .labelX = 210});
  package.sectors.push_back(
      {.name = "West", .flags = SectorRecord::kFlagCountryValues, .labelX = 310});
  package.sectors.push_back(
      {.name = "Mid", .countryValues = {1, 0, 0, 0, 0, 0, 0, 0}, .labelX = 410});
  EXPECT_EQ(
      Check(),
      (Lines{
          "error: SektorInfo.sek: record 1 (North): dependency sector 8 is an empty record: the "
          "sector never yields income",
          "error: SektorInfo.sek: record 2 (South): the dependency sector of owner 3 is 9, an "
          "empty record: that owner never earns from it",
          "error: SektorInfo.sek: record 2 (South): required piece 7 is beyond the 5 entries of "
          "ToolPieces.txt: the sector never yields income",
          "error: SektorInfo.sek: record 3 (East): first owner: country 9 has no row in the "
          "piece images (8 rows)",
          "error: SektorInfo.sek: record 4 (West): the per-country flag (2 in the flags) is set, "
          "but no country has an income: the sector yields nothing",
          "error: SektorInfo.sek: record 5 (Mid): per-country incomes are set, but not the "
          "per-country flag (2 in the flags): they are not used",
      }));
}

TEST_F(Gimcheck, readsTheMapDescriptionAsTheViewerDoes) {
  package.title = "";
  package.alliances = "allied 1 2\nallied 3 9\n# a comment\nallied 4 2 5\n";
  for (int i = 0; i < 6; ++i) package.alliances += "allied 6\n";
  EXPECT_EQ(Check(),
            (Lines{"error: MapInfo.txt: line 1: no title; \"New\" shows the folder's name instead",
                   "error: MapInfo.txt: line 3: country 9 has no row in the piece images (8 rows)",
                   "warning: MapInfo.txt: line 5: country 2 is already allied on line 2; "
                   "alliances are read in order, so this row does not count for it",
                   "warning: MapInfo.txt: line 7: country 6 is already allied on line 6; "
                   "alliances are read in order, so this row does not count for it",
                   "warning: MapInfo.txt: line 8: country 6 is already allied on line 6; "
                   "alliances are read in order, so this row does not count for it",
                   "warning: MapInfo.txt: line 9: country 6 is already allied on line 6; "
                   "alliances are read in order, so this row does not count for it",
                   "warning: MapInfo.txt: line 10: country 6 is already allied on line 6; "
                   "alliances are read in order, so this row does not count for it",
                   "error: MapInfo.txt: line 11: a ninth \"allied\" line; only 8 alliances are "
                   "read, so this one is ignored"}));
}

// What editors write and the viewer reads otherwise than meant: each case one file changed,
// and the lines the checker must print about it.
TEST_F(Gimcheck, saysWhatTheViewerMakesOfTextsAsEditorsWriteThem) {
  const std::string bom = "\xEF\xBB\xBF", utf8 = "\xC3\x96lfeld";
  struct Case {
    std::string file, text;
    Lines lines;
  } cases[] = {
      {"MapInfo.txt",
       "Test Map\n  allied 1 2\n",
       {"warning: MapInfo.txt: line 2: an indented \"allied\" line is ignored: only lines that "
        "start with \"allied\" are read; remove the blanks in front of it"}},
      {"MapInfo.txt",
       "Test Map\nallied 1,2\n",
       {"warning: MapInfo.txt: line 2: only 1 country of \"allied 1,2\" is read; separate the "
        "countries with blanks, not commas or other signs"}},
      {"MapInfo.txt",
       "Test Map\nallied: 1 2\n",
       {"warning: MapInfo.txt: line 2: \"allied: 1 2\" is read as an alliance of no country that "
        "still takes one of the 8 rows; write \"allied\", a blank, then the countries separated "
        "by blanks"}},
      {"MapInfo.txt",
       "Test Map\nalliedforces 1 2\r\n",
       {"warning: MapInfo.txt: line 2: \"alliedforces 1 2\" is read as an alliance of no country "
        "that still takes one of the 8 rows; write \"allied\", a blank, then the countries "
        "separated by blanks"}},
      {"MapInfo.txt",
       "Test Map\nallied 1 2\ncountry 1 Sarnesh\n  country 2 Vel\ncountry 9 Far\ncountry 3\n"
       "COUNTRY 1 Other\ncountry 2 " +
           utf8 + "\n",
       {"warning: MapInfo.txt: line 4: an indented \"country\" line is ignored: only lines that "
        "start with \"country\" name a country; remove the blanks in front of it",
        "warning: MapInfo.txt: line 5: a \"country\" line names no country from 1 to 8 and is "
        "ignored; write \"country\", the country's number and its name",
        "warning: MapInfo.txt: line 6: country 3 is given no name and keeps its number; write the "
        "name after it",
        "warning: MapInfo.txt: line 7: country 1 is named again; the name on line 3 counts, so "
        "this one is ignored",
        "warning: MapInfo.txt: line 8: the name of country 2 \"\xC3\x83\xE2\x80\x93lfeld\" is "
        "UTF-8, which reads as this; package texts are Windows-1252: save the file so (vorn "
        "--utf8 converts a sector text)"}},
      {"MapInfo.txt",
       "Test Map\nallied 1 1\n",
       {"warning: MapInfo.txt: line 2: country 1 is named twice in its row: it then counts as "
        "allied with every country outside the row and with none of the others in it; name it "
        "once"}},
      {"MapInfo.txt",
       bom + "Test Map\nallied 1 2\n",
       {"warning: MapInfo.txt: line 1: the title starts with a UTF-8 byte-order mark, which is "
        "read as the characters \"\xC3\xAF\xC2\xBB\xC2\xBF\"; save the file without it"}},
      {"MapInfo.txt",
       utf8 + "\nallied 1 2\n",
       {"warning: MapInfo.txt: line 1: the title \"\xC3\x83\xE2\x80\x93lfeld\" is UTF-8, which "
        "reads as this; package texts are Windows-1252: save the file so (vorn --utf8 converts a "
        "sector text)"}},
      {"Start.QPX",
       "",
       {"error: Start.QPX: file: the file is empty: \"New\" starts this map without any "
        "piece"}},
      {"SektorInfo.sek",
       "",
       {"error: SektorInfo.sek: file: the file is empty: no sector has a name, an owner or an "
        "income"}},
      {"ToolPieces.txt",
       bom + "Ctrl 0 0\nInf 3 0\nTank 5 0\nShip 8 1\nOdd 7 0\n",
       {"warning: ToolPieces.txt: line 1: the piece name starts with a UTF-8 byte-order mark, "
        "which is read as the characters \"\xC3\xAF\xC2\xBB\xC2\xBF\"; save the file without it",
        "error: ToolPieces.txt: line 1: name \"\xC3\xAF\xC2\xBB\xC2\xBF"
        "Ctrl\" is longer than 4 "
        "characters; \"\xC3\xAF\xC2\xBB\xC2\xBF"
        "C\" is kept"}},
  };
  for (const Case& c : cases) {
    package.WriteTo(dir.path());
    dir.Write((Dir() / c.file).string(), c.text);
    SCOPED_TRACE(c.file);
    EXPECT_EQ(Findings(), c.lines) << c.text;
  }
}

// The slips of a map author in a text editor or a paint program that change the game: each one
// package spoiled in one way, and the one finding (or none, where a message was false) it gives.
TEST_F(Gimcheck, findsEverySlipThatChangesTheGameWithItsLine) {
  using Spoil = std::function<void(test::TestPackage&)>;
  using Then = std::function<void(const std::filesystem::path&)>;
  const auto write = [](const char* file, std::string text) {
    return [file, text](const std::filesystem::path& dir) {
      std::ofstream(dir / file, std::ios::binary) << text;
    };
  };
  const std::string mapInfo = "MapInfo.txt: line 2: ", sek = "SektorInfo.sek: ";
  const struct Case {
    const char* slip;
    Spoil spoil;
    Then then;
    Lines lines;
  } cases[] = {
      {"no title line",
       {},
       write("MapInfo.txt", "allied 1 2\ncountry 1 Vessaly\n"),
       {"warning: MapInfo.txt: line 1: the first line is the title, but \"allied 1 2\" reads like "
        "a rule: it is not read as one, and \"New\" lists the map under it; put the map's title "
        "above it"}},
      {"alliance",
       {},
       write("MapInfo.txt", "Test Map\nalliance 1 2\n"),
       {"warning: " + mapInfo +
        "\"alliance\" is not a keyword, so the line is not read; did you mean \"allied\"?"}},
      {"allies",
       {},
       write("MapInfo.txt", "Test Map\nallies 1 2\n"),
       {"warning: " + mapInfo +
        "\"allies\" is not a keyword, so the line is not read; did you mean \"allied\"?"}},
      {"alied",
       {},
       write("MapInfo.txt", "Test Map\nAlied 1 2\n"),
       {"warning: " + mapInfo +
        "\"alied\" is not a keyword, so the line is not read; did you mean \"allied\"?"}},
      {"contry",
       {},
       write("MapInfo.txt", "Test Map\ncontry 1 Vessaly\n"),
       {"warning: " + mapInfo +
        "\"contry\" is not a keyword, so the line is not read; did you mean \"country\"?"}},
      {"country1",
       {},
       write("MapInfo.txt", "Test Map\ncountry1 Vessaly\n"),
       {"warning: " + mapInfo +
        "\"country1\" is not read: write a blank between \"country\" and the number"}},
      {"UTF-16",
       {},
       write("MapInfo.txt", std::string("\xFF\xFET\0e\0s\0t\0\n\0", 12)),
       {"warning: MapInfo.txt: file: the text is UTF-16, which is read byte by byte: no title, "
        "country or alliance of it is read as written; save it as Windows-1252"}},
      {"a comment after an alliance",
       {},
       write("MapInfo.txt", "Test Map\nallied 1 2  # pact of 1862\n"),
       {}},
      {"a country twice in a row",
       {},
       write("MapInfo.txt", "Test Map\nallied 1 2 1\n"),
       {"warning: " + mapInfo +
        "country 1 is named twice in its row: it then counts as allied with every country "
        "outside the row and with none of the others in it; name it once"}},
      {"two countries of one name",
       {},
       write("MapInfo.txt", "Test Map\nallied 1 2\ncountry 1 Vessaly\ncountry 2 Vessaly\n"),
       {"warning: MapInfo.txt: line 4: country 2 has the name of country 1, \"Vessaly\": the "
        "windows cannot tell them apart"}},
      {"two sectors of one name",
       [](test::TestPackage& p) { p.sectors[1].name = "NORTH"; },
       {},
       {"warning: " + sek +
        "record 2 (NORTH): the name is also that of record 1 (North): the status bar, Find and "
        "the reports cannot tell them apart"}},
      {"dependencies by owner without flag 4",
       [](test::TestPackage& p) { p.sectors[0].ownerDependency[1] = 2; },
       {},
       {"warning: " + sek +
        "record 1 (North): values 5 and 6 name dependency sectors by owner, but the flag of "
        "dependencies by owner (4 in the flags) is not set: they are not used; add 4 to the "
        "flags"}},
      {"flag 4 with the dependency in value 4",
       [](test::TestPackage& p) {
         p.sectors[0].flags = SectorRecord::kFlagOwnerDependency;
         p.sectors[0].dependency = 2;
       },
       {},
       {"warning: " + sek +
        "record 1 (North): the flag of dependencies by owner (4 in the flags) is set, so "
        "dependency sector 2 is not used, and no owner has one in values 5 and 6: the rule never "
        "acts; clear the flag, or move the sector into values 5 and 6"}},
      {"flag 4 alone",
       [](test::TestPackage& p) { p.sectors[0].flags = SectorRecord::kFlagOwnerDependency; },
       {},
       {"warning: " + sek +
        "record 1 (North): the flag of dependencies by owner (4 in the flags) is set, but no "
        "owner has a dependency sector in values 5 and 6: the rule never acts"}},
      {"a dependency on an enemy's sector",
       [](test::TestPackage& p) {
         p.alliances = "allied 1 3\n";
         p.sectors[0].dependency = 2;
       },
       {},
       {"warning: " + sek +
        "record 1 (North): dependency sector 2, South, is first held by country 2, no ally of "
        "its first owner (country 1): the sector yields nothing from the start"}},
      {"a dependency written in decimal",
       [](test::TestPackage& p) { p.sectors[0].dependency = 0x14; },
       {},
       {"error: " + sek +
        "record 1 (North): dependency sector 20 (14 in value 4 of the sector text) is an empty "
        "record: the sector never yields income"}},
      {"a record without a name",
       [](test::TestPackage& p) {
         p.sectors.push_back({.name = "", .initialOwner = 1, .ipcValue = 2, .labelX = 250});
       },
       {},
       {"error: SektorInfo.map: 200,0: 10000 pixels of sector 3 (a record without a name), which "
        "has no named record in SektorInfo.sek"}},
      {"a record without pixels that yields",
       [](test::TestPackage& p) {
         p.sectors.push_back({.name = "Ghost", .initialOwner = 1, .ipcValue = 1, .labelX = 250});
       },
       [](const std::filesystem::path& dir) {
         // The grid of two sectors, the third band painted as the second.
         auto grid = test::ReadBytes(dir / "SektorInfo.map");
         for (size_t i = 0; i + 1 < grid.size(); i += 2)
           if (grid[i] == 3 && grid[i + 1] == 0) grid[i] = 2;
         std::ofstream(dir / "SektorInfo.map", std::ios::binary)
             .write(reinterpret_cast<const char*>(grid.data()),
                    static_cast<std::streamsize>(grid.size()));
       },
       {"error: " + sek +
        "record 3 (Ghost): no pixel of SektorInfo.map belongs to it: it is never shown and "
        "nobody can take it, yet it yields its income to its first owner"}},
      {"a name aligned with tabs",
       {},
       [](const std::filesystem::path& dir) {
         auto table = test::ReadBytes(dir / "SektorInfo.sek");
         table[0] = 9;  // "North" and four tabs before the colon
         std::ofstream(dir / "SektorInfo.sek", std::ios::binary)
             .write(reinterpret_cast<const char*>(table.data()),
                    static_cast<std::streamsize>(table.size()));
       },
       {}},
      {"a label point of a sector without income in another",
       [](test::TestPackage& p) { p.sectors.push_back({.name = "Waste", .labelX = 20}); },
       {},
       {"warning: " + sek +
        "record 3 (Waste): label point 20,0 (14 0 in the sector text) lies in sector 1 (North): "
        "\"Show Sectors\" writes its name outside it"}},
      {"two piece kinds of one name",
       {},
       write("ToolPieces.txt", "Ctrl 0 0\nInf 3 0\nTank 5 0\nInf 8 1\nOdd 7 0\n"),
       {"warning: ToolPieces.txt: line 4: piece \"Inf\" is named as on line 2: the ToolBar, the "
        "unit list and the moves cannot tell them apart"}},
      {"a PNG saved as Map.bmp",
       {},
       [](const std::filesystem::path& dir) {
         QImage picture(200, 100, QImage::Format_RGB32);
         picture.fill(Qt::green);
         picture.save(QString::fromStdString((dir / "Map.bmp").string()), "PNG");
       },
       {"warning: Map.bmp: file: the picture is a PNG, not a bitmap: Marrowind shows it, but "
        "programs that read map packages as bitmaps do not; save it as a BMP"}},
      {"the title of another package",
       {},
       [](const std::filesystem::path& dir) {
         std::filesystem::create_directory(dir.parent_path() / "Copy.gim");
         std::ofstream(dir.parent_path() / "Copy.gim" / "MapInfo.txt") << "Test Map\n";
       },
       {}},
      {"an empty start position",
       {},
       write("Start.QPX", ""),
       {"error: Start.QPX: file: the file is empty: \"New\" starts this map without any "
        "piece"}},
  };
  const test::TestPackage sound = package;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slip);
    package = sound;
    if (c.spoil) c.spoil(package);
    test::TempDir fresh;
    package.WriteTo(fresh.path());
    const auto at = fresh.path() / "Tess.gim";
    if (c.then) c.then(at);
    auto report = CheckPackage(at);
    ASSERT_TRUE(report);
    Lines lines;
    for (const Finding& f : report->findings) lines.push_back(f.Line());
    // The package beside it is named with its folder.
    if (c.slip == std::string("the title of another package"))
      EXPECT_EQ(lines, Lines{"warning: MapInfo.txt: line 1: the title \"Test Map\" is also that "
                             "of Copy.gim (in " +
                             fresh.path().string() +
                             "): \"New\" lists both alike; give the map a title of its own"});
    else
      EXPECT_EQ(lines, c.lines);
  }
  // A package folder not named ".gim" is never listed.
  package = sound;
  test::TempDir fresh;
  package.WriteTo(fresh.path());
  std::filesystem::rename(fresh.path() / "Tess.gim", fresh.path() / "Tess");
  auto report = CheckPackage(fresh.path() / "Tess");
  ASSERT_TRUE(report);
  ASSERT_FALSE(report->findings.empty());
  EXPECT_EQ(report->findings[0].Line(),
            "error: Tess: name: the folder's name does not end in \".gim\": the program lists only "
            "folders named so; rename it \"Tess.gim\"");
}

TEST_F(Gimcheck, findsSectorRulesThatCanNeverActAndNamesThatAreCut) {
  package.sectors[0].dependency = 1;
  package.sectors[1].name = std::string(40, 's');
  // A convoy of 18 on a sector nobody holds first; a dependency on sector 26, which is empty.
  package.sectors.push_back(
      {.name = "Strait", .ipcValue = 2, .convoy = 18, .labelX = 250, .labelY = 50});
  package.sectors.push_back({.name = "Fen",
                             .initialOwner = 1,
                             .ipcValue = 1,
                             .dependency = 26,
                             .labelX = 350,
                             .labelY = 50});
  EXPECT_EQ(Check(),
            (Lines{"warning: SektorInfo.sek: record 1 (North): the dependency sector is the sector "
                   "itself: its holder is always allied with its holder, so the rule can never "
                   "act",
                   "warning: SektorInfo.sek: record 2 (" + std::string(39, 's') +
                       "): the name is 40 characters long (its length byte); the table holds "
                       "only the first 39, \"" +
                       std::string(39, 's') + "\"",
                   "warning: SektorInfo.sek: record 3 (Strait): convoy 18 (12 in value 4 of the "
                   "sector text) is set, but a convoy sector yields only to its first owner and "
                   "this one has none: it never yields; give it a first owner or clear the "
                   "convoy",
                   "error: SektorInfo.sek: record 4 (Fen): dependency sector 26 (1a in value 4 of "
                   "the sector text) is an empty record: the sector never yields income"}));
}

TEST_F(Gimcheck, findsPieceEntriesAndPicturesThatDoNotMatch) {
  package.WriteTo(dir.path());
  dir.Write((Dir() / "ToolPieces.txt").string(),
            std::string("Ctrl 0 0\nInfantry 3 0\nTank 300 0\nShip 8 1\nOdd 7 2\nSixth 1 x\n"));
  QImage(76, 80, QImage::Format_RGB32)
      .save(QString::fromStdString((Dir() / "ToolPieces.bmp").string()));
  EXPECT_EQ(Findings(),
            (Lines{"error: ToolPieces.txt: line 2: name \"Infantry\" is longer than 4 "
                   "characters; \"Infa\" is kept",
                   "error: ToolPieces.txt: line 3: value 300 of piece \"Tank\" does not fit 8 "
                   "bits; 44 is kept",
                   "error: ToolPieces.txt: line 5: category 2 of piece \"Odd\" is neither 0 "
                   "(land) nor 1 (naval): its pieces count for neither Land nor Naval",
                   "error: ToolPieces.txt: line 6: name \"Sixth\" is longer than 4 characters; "
                   "\"Sixt\" is kept",
                   "error: ToolPieces.txt: line 6: category \"x\" of piece \"Sixth\" is no "
                   "number; the next piece starts there",
                   "error: ToolPieces.bmp: file: 76 x 80 pixels is not a whole number of cells of "
                   "15 x 10",
                   "error: ToolPieces.bmp: file: 5 columns for the 7 entries of ToolPieces.txt: "
                   "the later pieces are drawn from outside the picture",
                   "error: BigPieces.bmp: file: 5 columns for the 7 entries of ToolPieces.txt: "
                   "the later pieces are drawn from outside the picture"}));
}

TEST_F(Gimcheck, findsStartStacksTheViewerCannotCount) {
  package.otherCells = {{QPoint(30, 30), 0}};
  package.WriteTo(dir.path());
  SaveStart({MakeUnit(50, 50, 1, 1, 2), MakeUnit(250, 50, 1, 1, 1), MakeUnit(30, 30, 2, 2, 1),
             MakeUnit(150, 50, 9, 2, 1), MakeUnit(150, 60, 1, 12, 1)},
            "Rift");
  EXPECT_EQ(
      Findings(),
      (Lines{"error: Start.QPX: file: it names the map \"Rift\", not \"Tess\": a game started "
             "from it is saved for another map",
             "error: Start.QPX: 250,50: stack 2 (1 of piece 1, country 1) stands outside the "
             "grid",
             "error: Start.QPX: 30,30: stack 3 (1 of piece 2, country 2) stands in no sector: it "
             "counts for its country's Land or Naval strength only, not for any sector",
             "error: Start.QPX: 150,50: stack 4 (1 of piece 9, country 2): piece 9 is beyond the "
             "5 entries of ToolPieces.txt",
             "error: Start.QPX: 150,60: stack 5 (1 of piece 1, country 12): country 12 has no row "
             "in the piece images (8 rows)"}));
}

TEST_F(Gimcheck, warnsOfANameTooLongForPositions) {
  package.name = "Lengthy";
  EXPECT_EQ(Check(), (Lines{"warning: Lengthy.gim: name: the package name has 7 characters; a "
                            "position saved on it names only the first 4, \"Leng\""}));
}

TEST_F(Gimcheck, exitsByWhatItFoundAndPrintsASummary) {
  package.WriteTo(dir.path());
  auto clean = test::RunProgram(GIMCHECK, {Dir().string()}, dir.path());
  EXPECT_EQ(clean.exitCode, 0) << clean.err;
  EXPECT_EQ(clean.out, "0 errors, 0 warnings\n");
  std::filesystem::remove(Dir() / "Start.QPX");
  std::filesystem::remove(Dir() / "BigPieces.bmp");
  auto broken = test::RunProgram(GIMCHECK, {Dir().string()}, dir.path());
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_TRUE(broken.out.ends_with("\n1 error, 1 warning\n")) << broken.out;
  auto gone = test::RunProgram(GIMCHECK, {(dir / "Gone.gim").string()}, dir.path());
  EXPECT_EQ(gone.exitCode, 2);
  EXPECT_NE(gone.err.find("Gone.gim: no such package folder"), std::string::npos) << gone.err;
  EXPECT_EQ(test::RunProgram(GIMCHECK, {"--help"}, dir.path()).exitCode, 0);
}

// sekdump --text, then vorn: the table comes back byte for byte.
std::vector<uint8_t> RoundTrip(const std::filesystem::path& table, const test::TempDir& dir,
                               std::string* warnings = nullptr) {
  auto dump = test::RunProgram(SEKDUMP, {"--text", table.string()}, dir.path());
  if (warnings) *warnings = dump.err;
  dir.Write("sectors.txt", dump.out);
  auto vorn = test::RunProgram(VORN, {"sectors.txt", "back.sek"}, dir.path());
  EXPECT_EQ(vorn.exitCode, 0) << vorn.err;
  return test::ReadBytes(dir / "back.sek");
}

// The steps of making a map (docs/MAPS.md), run as written on an empty home: its commands, and
// between them what the author paints and types.
TEST(ReadmeMapSteps, workAsWrittenOnAnEmptyFolder) {
  std::ifstream in(std::filesystem::path(SOURCE_DIR) / "docs" / "MAPS.md");
  const std::string readme((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t from = readme.find("## Making a map"), to = readme.find("\n## ", from + 3);
  ASSERT_NE(from, std::string::npos);
  // The commands of each numbered step, as its indented blocks show them.
  std::map<int, std::string> steps;
  int step = -1;
  std::istringstream lines(readme.substr(from, to - from));
  for (std::string line; std::getline(lines, line);) {
    if (line.size() > 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
        line.compare(1, 4, ". **") == 0)
      step = line[0] - '0';
    if (step < 0 || !line.starts_with("       ")) continue;
    const std::string command = line.substr(7);
    for (const char* word : {"mkdir ", "cd ", "cp ", "printf ", "rgb2sect ", "pal2sect ", "vorn ",
                             "gimcheck ", "Marrowind "})
      if (command.starts_with(word)) steps[step] += command + "\n";
  }
  ASSERT_TRUE(steps.contains(0) && steps.contains(1) && steps.contains(2)) << "the steps' commands";
  test::TempDir home;
  const std::string bin = std::filesystem::path(GIMCHECK).parent_path().string();
  const std::string setup = "set -e\nexport HOME='" + home.path().string() + "' PATH='" + bin +
                            ":'\"$PATH\" TESS='" + bin +
                            "/Tess.gim'\nexport XDG_DATA_HOME= "
                            "XDG_CONFIG_HOME= XDG_STATE_HOME= QT_QPA_PLATFORM=offscreen\n";
  const auto run = [&](const std::string& commands) {
    return test::RunProgram("/bin/sh", {"-c", setup + commands}, home.path());
  };
  auto made = run(steps[0]);
  ASSERT_EQ(made.exitCode, 0) << steps[0] << made.err;
  // What the author paints and writes: the map, its sectors in flat colours and their list, the
  // sector text.
  const auto maps = home.path() / ".local/share/marrowind/maps";
  QImage picture(200, 100, QImage::Format_RGB888);
  picture.fill(QColor(0xe0, 0x30, 0x30));
  for (int y = 0; y < 100; ++y)
    for (int x = 100; x < 200; ++x) picture.setPixelColor(x, y, QColor(0x30, 0x50, 0xe0));
  ASSERT_TRUE(picture.save(QString::fromStdString((maps / "Name.gim/Map.bmp").string()), "BMP"));
  ASSERT_TRUE(picture.save(QString::fromStdString((maps / "sectors.bmp").string()), "BMP"));
  std::ofstream(maps / "colours.txt") << "; colour  sector  name\ne03030 1 North\n3050e0 2 South\n";
  std::ofstream(maps / "sectors.txt") << "# name : income/owner labelX labelY\n"
                                         "North  : 40100 32 32\nSouth  : 30200 96 32\n";
  // and the start the window saves: an infantry of each country.
  Position start;
  start.ReplaceUnits({MakeUnit(50, 50, 1, 1, 1), MakeUnit(150, 50, 1, 2, 1)});
  start.header().setMapName("Name");
  ASSERT_TRUE(SavePosition(start, maps / "Name.gim/Start.QPX"));
  std::string rest;
  for (const auto& [number, commands] : steps)
    if (number > 0 && number < 6) rest += commands;
  made = run("cd ~/.local/share/marrowind/maps\n" + rest);
  EXPECT_EQ(made.exitCode, 0) << rest << made.out << made.err;
  EXPECT_NE(made.out.find("0 errors, 0 warnings"), std::string::npos) << made.out;
  EXPECT_TRUE(std::filesystem::exists(maps / "sectors.png")) << made.err;
  // South's label point moved on the map and exported with S, then written back into the text.
  auto table = test::ReadBytes(maps / "Name.gim/SektorInfo.sek");
  ASSERT_EQ(table.size(), 2 * SectorRecord::kSize);
  table[SectorRecord::kSize + 44] = 0x9a;
  std::ofstream(maps / "Name.gim/SektorInfo.new", std::ios::binary)
      .write(reinterpret_cast<const char*>(table.data()),
             static_cast<std::streamsize>(table.size()));
  made = run("cd ~/.local/share/marrowind/maps\n" + steps[6]);
  EXPECT_EQ(made.exitCode, 0) << steps[6] << made.err;
  EXPECT_EQ(test::ReadText(maps / "sectors.txt"),
            "# name : income/owner labelX labelY\nNorth  : 40100 32 32\nSouth  : 30200 9a 32\n");
}

TEST(SekdumpText, givesBackTheBundledTablesByteForByte) {
  test::TempDir dir;
  for (const char* map : {"Tess.gim", "Rift.gim"}) {
    const auto table = std::filesystem::path(MAP_PACKAGES_DIR) / map / "SektorInfo.sek";
    EXPECT_EQ(RoundTrip(table, dir), test::ReadBytes(table)) << map;
  }
}

TEST(SekdumpText, givesBackRandomTablesByteForByteAndNamesWhatItCannot) {
  test::TempDir dir;
  std::mt19937 random(20261209);
  auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const std::string letters =
      "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ'-.,()\xe4\xf6\xfc";
  for (int round = 0; round < 20; ++round) {
    std::vector<uint8_t> table;
    const int records = pick(1, 511);
    for (int n = 0; n < records; ++n) {
      SectorRecord r;
      auto b = r.bytes();
      const int length = pick(0, 38);
      for (int i = 0; i < length; ++i)
        b[1 + i] =
            static_cast<uint8_t>(letters[static_cast<size_t>(pick(0, int(letters.size()) - 1))]);
      if (length > 0 && (b[length] == ' ' || b[1] == ' ')) b[length] = b[1] = 'x';
      // A name as vorn writes it, its length byte sometimes counting tabs after it.
      b[0] = static_cast<uint8_t>(length == 0 ? 0 : length + (pick(0, 3) == 0 ? pick(0, 60) : 0));
      for (int v = 1; v <= SectorRecord::kValueCount; ++v)
        r.setValue(v, static_cast<uint32_t>(random()));
      table.insert(table.end(), b.begin(), b.end());
    }
    dir.Write("random.sek", table);
    std::string warnings;
    EXPECT_EQ(RoundTrip(dir / "random.sek", dir, &warnings), table) << "round " << round;
    EXPECT_EQ(warnings, "");
  }
  // What no text gives back is named.
  SectorRecord colon = test::MakeSector({.name = "Two: Parts"});
  dir.Write("colon.sek", std::vector<uint8_t>(colon.bytes().begin(), colon.bytes().end()));
  auto dump = test::RunProgram(SEKDUMP, {"--text", "colon.sek"}, dir.path());
  EXPECT_EQ(dump.exitCode, 2);
  EXPECT_EQ(dump.err,
            "warning: colon.sek: record 1: a colon in its name; vorn will not give it back "
            "exactly\n");
}

TEST(BundledMaps, haveNoError) {
  for (const char* map : {"Tess.gim", "Rift.gim"}) {
    auto report = CheckPackage(std::filesystem::path(MAP_PACKAGES_DIR) / map);
    ASSERT_TRUE(report) << report.error();
    EXPECT_EQ(report->errors(), 0) << map << ": " << report->findings.front().Line();
  }
}

}  // namespace
}  // namespace mw

namespace mw {
namespace {

// The viewer's reader and the checker given the same piece tables: every value a finding says is
// kept is the value the viewer uses, and every item the viewer passes over has its finding.
TEST_F(Gimcheck, explainsThePieceTableAsTheViewerReadsIt) {
  const std::vector<std::string> texts = {
      "Ctrl 0 0\nInfantry 3 0\nTank 300 0\n", "Ctrl 0 0 Inf 3x 1 Tank 5 0\n",
      "Ctrl 0 0\nShip -200 1\nOdd 7 2\n",     "Ctrl 0 0\nA 1 b C 2 3\n",
      "Ctrl 0 0\nArtillery 256 -129\n",       "Ctrl 0 0\nBoat 1 257\n"};
  for (const std::string& text : texts) {
    package.pieceTable = text;
    package.WriteTo(dir.path());
    ReadNotes notes;
    const PieceTable table = PieceTable::Parse(text, nullptr, &notes);
    Lines said;
    for (const std::string& line : Findings())
      if (line.find(": ToolPieces.txt: ") != std::string::npos) said.push_back(line);
    size_t explained = 0;
    for (const ReadNote& n : notes) {
      const PieceKind& kind = table[static_cast<size_t>(n.entry)];
      std::string kept;
      switch (n.kind) {
        case ReadNote::Kind::kPieceNameCut:
          kept = "\"" + kind.name + "\" is kept";
          break;
        case ReadNote::Kind::kPieceNumberCut:
          kept = std::to_string(n.field == "value" ? kind.value : kind.category) + " is kept";
          break;
        case ReadNote::Kind::kPieceNoNumber:
          // The next entry starts at the item the finding names.
          EXPECT_EQ(table[static_cast<size_t>(n.entry) + 1].name, n.text.substr(0, 4)) << text;
          kept = "\"" + n.text + "\" of piece";
          break;
        case ReadNote::Kind::kPieceCategoryNeither:
          EXPECT_TRUE(kind.category != 0 && kind.category != 1) << text;
          kept = "category " + n.text + " of piece";
          break;
        default:
          continue;
      }
      ++explained;
      EXPECT_TRUE(std::any_of(said.begin(), said.end(),
                              [&](const std::string& l) { return l.find(kept) != l.npos; }))
          << text << ": nothing says " << kept;
    }
    EXPECT_EQ(said.size(), explained) << text;
  }
}

}  // namespace
}  // namespace mw
