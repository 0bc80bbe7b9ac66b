// SPDX-License-Identifier: GPL-3.0-or-later
// vorn and sekdump, run as a map author runs them.
#include <fcntl.h>
#include <gtest/gtest.h>

#include "ByteOrder.h"
#include "ProcessLimits.h"
#include "RunProgram.h"
#include "SectorTable.h"
#include "TempDir.h"

namespace mw {
namespace {

class SectorTableTools : public ::testing::Test {
 protected:
  test::ProgramRun Vorn(const std::string& text) {
    dir.Write("sectors.txt", text);
    return test::RunProgram(VORN, {"sectors.txt", "SektorInfo.sek"}, dir.path());
  }
  std::vector<uint8_t> Output() { return test::ReadBytes(dir / "SektorInfo.sek"); }
  test::TempDir dir;
};

TEST_F(SectorTableTools, vornKeepsLongCommentsCommentAndNamesLongLinesItCannotRead) {
  const std::string comment = "# " + std::string(300, 'c') + ": not a record\n";
  auto run = Vorn(comment + "North: 0x 5\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  auto table = SectorTable::Parse(Output());
  ASSERT_EQ(Output().size(), SectorRecord::kSize) << "the rest of the comment is comment";
  EXPECT_EQ(table[1].value(1), 0u) << "0x and a blank read as 0, as %x reads them";
  EXPECT_EQ(table[1].value(2), 5u) << "then the next number";

  auto longLine = Vorn("South: 1 2\nNorth: 1" + std::string(300, ' ') + "2 3\n");
  EXPECT_EQ(longLine.exitCode, 2);
  EXPECT_EQ(longLine.err, "error: sectors.txt: line 2, piece 2: line longer than 254 characters\n");
  auto noColon = Vorn("South: 1\nNorth 1 2\n");
  EXPECT_EQ(noColon.err, "error: sectors.txt: line 2: no colon after the sector name\n");
}

// What editors write: a byte-order mark, names in UTF-8, names too long to keep, a pipe.
TEST_F(SectorTableTools, vornSaysWhatItDidWithTextsEditorsWrite) {
  const std::string utf8Name =
      "\xC3\x96lfeld S\xC3\xBC"
      "d";  // "Ölfeld Süd" in UTF-8
  struct Case {
    std::vector<std::string> options;
    std::string text;
    int exitCode;
    std::vector<std::string> names;  // of the records written, as stored
    std::string err;                 // a part of what standard error says
  } cases[] = {
      {{},
       "\xEF\xBB\xBF# Tess: the north\nNorth: 1\n",
       0,
       {"North"},
       "skipped the UTF-8 byte-order mark"},
      {{}, "\xEF\xBB\xBFNorth: 1\n", 0, {"North"}, "byte-order mark"},
      {{},
       utf8Name + ": 1\n",
       0,
       {utf8Name},
       "line 1: the name \"" + utf8Name + "\" looks like UTF-8"},
      {{"--utf8"},
       "North: 1\n" + utf8Name + ": 1\n",
       0,
       {"North",
        "\xD6lfeld S\xFC"
        "d"},
       ""},
      {{"--utf8"}, "\xE2\x82\xAC \xE2\x80\x93 x: 1\n", 0, {"\x80 \x96 x"}, ""},
      {{"--utf8"},
       "North: 1\nA\xE4\xB8\xAD: 1\n",
       2,
       {},
       "line 2: the name holds a character Windows-1252 lacks"},
      {{},
       std::string(40, 'n') + ": 1\n",
       0,
       {std::string(38, 'n')},
       "line 1: the name is cut to its first 38 characters"},
  };
  for (const Case& c : cases) {
    dir.Write("sectors.txt", c.text);
    std::filesystem::remove(dir / "SektorInfo.sek");
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"sectors.txt", "SektorInfo.sek"});
    const auto run = test::RunProgram(VORN, args, dir.path());
    SCOPED_TRACE(c.text);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    if (c.exitCode != 0) {
      EXPECT_FALSE(std::filesystem::exists(dir / "SektorInfo.sek"));
      continue;
    }
    const auto bytes = Output();
    ASSERT_EQ(bytes.size(), c.names.size() * SectorRecord::kSize);
    auto table = SectorTable::Parse(bytes);
    for (size_t i = 0; i < c.names.size(); ++i)
      EXPECT_EQ(table[static_cast<uint32_t>(i + 1)].name(), c.names[i]);
  }
  // From standard input, as from the file.
  dir.Write("sectors.txt", "North: 1 2\nSouth: 3\n");
  ASSERT_EQ(test::RunProgram(VORN, {"sectors.txt", "file.sek"}, dir.path()).exitCode, 0);
  const auto piped = test::RunProgram(
      "/bin/sh", {"-c", std::string(VORN) + " - pipe.sek < sectors.txt"}, dir.path());
  ASSERT_EQ(piped.exitCode, 0) << piped.err;
  EXPECT_EQ(test::ReadBytes(dir / "pipe.sek"), test::ReadBytes(dir / "file.sek"));
}

TEST_F(SectorTableTools, vornCompilesRecordsAndEchoesEveryLine) {
  auto run = Vorn("# the north\nNorth : 2a 3\nSouth\t:1\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "# the north\n\nNorth : 2a 3\n\nSouth\t:1\n\n");
  auto bytes = Output();
  ASSERT_EQ(bytes.size(), 2 * SectorRecord::kSize);
  auto table = SectorTable::Parse(bytes);
  EXPECT_EQ(table[1].nameLength(), 5);
  EXPECT_EQ(table[1].name(), "North");
  EXPECT_EQ(table[1].value(1), 0x2au);
  EXPECT_EQ(table[1].value(2), 3u);
  for (int v = 3; v <= 9; ++v) EXPECT_EQ(table[1].value(v), 0u);
  EXPECT_EQ(table[2].nameLength(), 6) << "the tab is counted";
  EXPECT_EQ(table[2].name(), "South") << "the tab became a blank and was cut";
  EXPECT_EQ(table[2].value(1), 1u);
}

TEST_F(SectorTableTools, vornKeeps38CharactersOfALongNameAndItsFullLength) {
  const std::string name(45, 'n');
  ASSERT_EQ(Vorn(name + ": 1 2 3 4 5 6 7 8 9 10\n").exitCode, 0);
  auto bytes = Output();
  ASSERT_EQ(bytes.size(), SectorRecord::kSize);
  EXPECT_EQ(bytes[0], 45);
  EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 39), std::string(38, 'n'));
  EXPECT_EQ(bytes[39], 0);
  EXPECT_EQ(GetU32(bytes, 72), 9u) << "the tenth number is ignored";
}

TEST_F(SectorTableTools, vornSkipsCommentsAndBlankLines) {
  ASSERT_EQ(Vorn(";Sea: 1\n\n   \t\nLand:ff 10000 ffffffff\n#x:2\n").exitCode, 0);
  auto table = SectorTable::Parse(Output());
  EXPECT_EQ(table[1].name(), "Land");
  EXPECT_EQ(table[1].value(1), 0xffu);
  EXPECT_EQ(table[1].value(2), 0x10000u);
  EXPECT_EQ(table[1].value(3), 0xffffffffu);
  EXPECT_FALSE(table[2].hasName());
}

TEST_F(SectorTableTools, vornStopsReadingValuesAtTheFirstThatIsNotHex) {
  ASSERT_EQ(Vorn("A: 1 zz 3\nB:\n").exitCode, 0);
  auto table = SectorTable::Parse(Output());
  EXPECT_EQ(table[1].value(1), 1u);
  EXPECT_EQ(table[1].value(2), 0u);
  EXPECT_EQ(table[1].value(3), 0u);
  EXPECT_EQ(table[2].name(), "B");
}

// What a line holds that is not read as meant: a warning with its line and column, the table
// written as ever; with --strict a refusal naming it, the old table kept.
TEST_F(SectorTableTools, vornNamesWhatItDidNotReadAndStrictRefusesIt) {
  const struct {
    std::string text, said;
  } cases[] = {
      {"Capital: 6O200 1 2\n",
       "sectors.txt: line 1, column 11: \"O200\" is not hexadecimal; value 1 is read as 0x6 and "
       "the values after it as 0"},
      {"A: 1\nFort: North: 40400\n",
       "sectors.txt: line 2, column 12: a second colon: the name ends at the first one (column "
       "5), so \"North\" is read as values; a sector name cannot hold a colon"},
      {"A: 1 2 3 4 5 6 7 8 9 a\n",
       "sectors.txt: line 1, column 22: more than nine values: \"a\" and what follows are not "
       "read"},
      {"A: 1 zz 3\n",
       "sectors.txt: line 1, column 6: \"zz\" is not hexadecimal; value 2 and the values after it "
       "are read as 0"},
      {"A: 1 2 3 4 5 6 7 8 9x\n",
       "sectors.txt: line 1, column 21: \"x\" is not hexadecimal; value 9 is read as 0x9"},
      {std::string("\xFF\xFE"
                   "A\0:\0 \0"
                   "1\0\n\0",
                   12),
       "sectors.txt: the text is UTF-16; save it as Windows-1252 or UTF-8"},
  };
  for (const auto& c : cases) {
    auto run = Vorn(c.text);
    EXPECT_EQ(run.err.find("vorn: warning: " + c.said + "\n") != std::string::npos, true)
        << run.err;
    dir.Write("SektorInfo.sek", "old table");
    dir.Write("sectors.txt", c.text);
    run = test::RunProgram(VORN, {"--strict", "sectors.txt", "SektorInfo.sek"}, dir.path());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "error: " + c.said + "\n");
    EXPECT_EQ(test::ReadText(dir / "SektorInfo.sek"), "old table");
  }
  for (const char* clean : {"North: 0x 5\n", "A: 1 2 3 4 5 6 7 8 9   \r\n# x: y: z\n", "B:\n"}) {
    dir.Write("sectors.txt", clean);
    auto run = test::RunProgram(VORN, {"--strict", "sectors.txt", "SektorInfo.sek"}, dir.path());
    EXPECT_EQ(run.exitCode, 0) << clean;
    EXPECT_EQ(run.err, "") << clean;
  }
}

// Label points moved on the map go back into the author's text: compiled again it gives the
// exported table, and every line that is no record's stays byte for byte.
TEST_F(SectorTableTools, vornLabelsWritesTheTablesLabelPointsIntoTheTextInPlace) {
  const std::string text =
      "# my map\r\n; the sea\r\nNorth  : 40100   32   32   # aside\r\n\r\nSouth\t: 30200\t96\r\n"
      "East: 0\r\nWest:\r\nFar: 1 2 3 4 5 6 7 8 9\r\n";
  ASSERT_EQ(Vorn(text).exitCode, 0);
  std::vector<uint8_t> table = Output();
  const int32_t points[][2] = {{0x40, 0x41}, {0x97, 0x20}, {5, 6}, {7, 8}, {2, 3}};
  for (size_t i = 0; i < std::size(points); ++i)
    for (int k = 0; k < 2; ++k)
      PutU32(table, 76 * i + 44 + 4 * static_cast<size_t>(k), static_cast<uint32_t>(points[i][k]));
  dir.Write("SektorInfo.new", table);
  auto run = test::RunProgram(VORN, {"--labels", "SektorInfo.new", "sectors.txt"}, dir.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "vorn: 4 label points written into sectors.txt\n");
  const std::string written = test::ReadText(dir / "sectors.txt");
  EXPECT_EQ(written,
            "# my map\r\n; the sea\r\nNorth  : 40100   40   41   # aside\r\n\r\nSouth\t: 30200\t97 "
            "20\r\nEast: 0 5 6\r\nWest: 0 7 8\r\nFar: 1 2 3 4 5 6 7 8 9\r\n");
  ASSERT_EQ(test::RunProgram(VORN, {"sectors.txt", "again.sek"}, dir.path()).exitCode, 0);
  EXPECT_EQ(test::ReadBytes(dir / "again.sek"), table);
  // A table of another text is refused and the text left as it was.
  dir.Write("sectors.txt", "North : 1\nSouth : 2\nEest: 0\n");
  run = test::RunProgram(VORN, {"--labels", "SektorInfo.new", "sectors.txt"}, dir.path());
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err,
            "error: sectors.txt: line 3 names \"Eest\", record 3 of the table \"East\": "
            "the table is of another text\n");
  EXPECT_EQ(test::ReadText(dir / "sectors.txt"), "North : 1\nSouth : 2\nEest: 0\n");
}

TEST_F(SectorTableTools, vornRefusesALineWithoutColonAndKeepsTheOldTable) {
  dir.Write("SektorInfo.sek", "old table");
  auto run = Vorn("A: 1\n# fine\nno colon here\nB: 2\n");
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.err.find("line 3"), std::string::npos) << run.err;
  EXPECT_EQ(test::ReadText(dir / "SektorInfo.sek"), "old table");
}

TEST_F(SectorTableTools, vornReadsLinesLongerThan254CharactersInPieces) {
  // 254 characters make the first piece; the rest, "Tail: 7", is a record line of its own.
  const std::string first = "Head: 1" + std::string(247, ' ');
  auto run = Vorn(first + "Tail: 7\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  auto table = SectorTable::Parse(Output());
  EXPECT_EQ(table[1].name(), "Head");
  EXPECT_EQ(table[2].name(), "Tail");
  EXPECT_EQ(table[2].value(1), 7u);
}

TEST_F(SectorTableTools, vornReadsWindowsLineEndsAsATextModeReadDoes) {
  ASSERT_EQ(Vorn("A: 1 2\r\n\r\nB : 3\r\n").exitCode, 0);
  auto table = SectorTable::Parse(Output());
  EXPECT_EQ(table[1].value(2), 2u);
  EXPECT_EQ(table[2].name(), "B");
}

// A save killed mid-write leaves its temporary named after its process; a later program that
// gets the same process number must still write.
TEST_F(SectorTableTools, aTemporaryOfAKilledWriterWithTheSameProcessNumberIsNoObstacle) {
  dir.Write("sectors.txt", "A: 10100\n");
  const auto run = test::RunProgram(
      "/bin/sh",
      {"-c", "for n in 0 1 2 3 4 5 6 7; do : > .SektorInfo.sek.tmp-$$-$n; done; exec " +
                 std::string(VORN) + " sectors.txt SektorInfo.sek"},
      dir.path());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Output().size(), SectorRecord::kSize);
}

TEST_F(SectorTableTools, vornOnAFullDiskFailsAndKeepsTheOldTable) {
  std::string text;
  for (int n = 1; n <= 511; ++n)
    text += "Sector " + std::to_string(n) + ": " + std::to_string(n) + "0300 10 20\n";
  dir.Write("sectors.txt", text);
  dir.Write("SektorInfo.sek", "old table");
  const std::string vorn = VORN, in = (dir / "sectors.txt").string(),
                    out = (dir / "SektorInfo.sek").string();
  const int code = test::RunWithFileSizeLimit(16 * 1024, [&] {
    const int devnull = ::open("/dev/null", O_WRONLY);
    ::dup2(devnull, 1);
    ::execl(vorn.c_str(), vorn.c_str(), in.c_str(), out.c_str(), nullptr);
    return 127;
  });
  EXPECT_EQ(code, 3) << "the output could not be written";
  EXPECT_EQ(test::ReadText(dir / "SektorInfo.sek"), "old table");
  ASSERT_EQ(Vorn(text).exitCode, 0);
  EXPECT_EQ(Output().size(), 511u * SectorRecord::kSize);
}

TEST_F(SectorTableTools, vornPrintsItsUsageWithoutTwoArguments) {
  auto run = test::RunProgram(VORN, {"only-one"}, dir.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "VORN v0.1\n\nSyntax: vorn <infile> <outfile>\n\n");
  auto help = test::RunProgram(VORN, {"--help"}, dir.path());
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.starts_with(run.out)) << "then the options and the line format";
  EXPECT_NE(help.out.find("first owner"), std::string::npos);
  auto missing = test::RunProgram(VORN, {"none.txt", "out.sek"}, dir.path());
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("none.txt"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "out.sek"));
}

TEST_F(SectorTableTools, sekdumpPrintsEveryRecordOfAVornTable) {
  ASSERT_EQ(Vorn("North: 2a 3\nSouth: 1 0 0 0 0 0 0 0 deadbeef\nEast:\n").exitCode, 0);
  auto run = test::RunProgram(SEKDUMP, {"SektorInfo.sek"}, dir.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string zeros = " 00000000 00000000 00000000 00000000 00000000 00000000 00000000";
  const std::string expectedStart =
      "North                                   : 0000002a 00000003" + zeros + "\n" +
      "South                                   : 00000001 00000000" +
      " 00000000 00000000 00000000 00000000 00000000 00000000 deadbeef\n" +
      "East                                    : 00000000 00000000" + zeros + "\n";
  ASSERT_EQ(run.out.substr(0, expectedStart.size()), expectedStart);
  const std::string empty = std::string(40, ' ') + ": 00000000 00000000" + zeros + "\n";
  EXPECT_EQ(run.out.size(), expectedStart.size() + 509 * empty.size());
  EXPECT_EQ(run.out.substr(run.out.size() - empty.size()), empty);
}

TEST_F(SectorTableTools, sekdumpPrintsANameWithoutZeroByteUpToItsField) {
  std::vector<uint8_t> record(SectorRecord::kSize, 0);
  std::fill(record.begin() + 1, record.begin() + 40, 'q');
  PutU32(record, 40, 0x41414141);  // would read as more name if the field were not cut
  dir.Write("t.sek", record);
  auto run = test::RunProgram(SEKDUMP, {"t.sek"}, dir.path());
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out.substr(0, 51), std::string(39, 'q') + " : 41414141 ");
}

TEST_F(SectorTableTools, sekdumpReportsAMissingArgumentOrFile) {
  auto none = test::RunProgram(SEKDUMP, {}, dir.path());
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_NE(none.err.find("Usage: sekdump"), std::string::npos);
  auto missing = test::RunProgram(SEKDUMP, {"gone.sek"}, dir.path());
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("error: gone.sek"), std::string::npos) << missing.err;
  EXPECT_TRUE(missing.out.empty());
  auto help = test::RunProgram(SEKDUMP, {"--help"}, dir.path());
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: sekdump"), std::string::npos);
}

}  // namespace
}  // namespace mw
