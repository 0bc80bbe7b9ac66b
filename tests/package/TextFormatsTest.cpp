// SPDX-License-Identifier: GPL-3.0-or-later
// The text files of a package: the piece table and the map description.
#include <gtest/gtest.h>

#include "CountText.h"
#include "MapInfo.h"
#include "PackageText.h"
#include "PieceTable.h"
#include "TempDir.h"

namespace mw {
namespace {

TEST(PieceTable, readsNameValueAndCategoryAcrossAnyWhiteSpace) {
  auto t = PieceTable::Parse("Ctrl 0 0\nInf 3\n0 Tank\t5 0 Ship 8\r\n1\n");
  EXPECT_EQ(t[0], (PieceKind{"Ctrl", 0, 0}));
  EXPECT_EQ(t[1], (PieceKind{"Inf", 3, 0}));
  EXPECT_EQ(t[2], (PieceKind{"Tank", 5, 0}));
  EXPECT_EQ(t[3], (PieceKind{"Ship", 8, 1}));
  EXPECT_EQ(t[4], PieceKind{});
}

TEST(PieceTable, keepsFourCharactersAndTheLowEightBitsSigned) {
  auto t = PieceTable::Parse("Artillery 300 -1\nBig 200 257\nHuge 99999999999999999999999 -129\n");
  EXPECT_EQ(t[0], (PieceKind{"Arti", 44, -1}));
  EXPECT_EQ(t[1], (PieceKind{"Big", -56, 1}));
  EXPECT_EQ(t[2].value, -1) << "an out-of-range number saturates before its low bits are kept";
  EXPECT_EQ(t[2].category, 127);
}

TEST(PieceTable, startsTheNextEntryAtAnItemThatIsNotANumber) {
  auto t = PieceTable::Parse("Inf x 0\nTank 5 0\n");
  EXPECT_EQ(t[0], (PieceKind{"Inf", 0, 0}));
  EXPECT_EQ(t[1], (PieceKind{"x", 0, 0}));
  EXPECT_EQ(t[2], (PieceKind{"Tank", 5, 0}));
}

TEST(PieceTable, readsAt256Entries) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "P" + std::to_string(i % 10) + " 1 0\n";
  auto t = PieceTable::Parse(text);
  EXPECT_EQ(t[255].name, "P5");
  EXPECT_TRUE(PieceTable::Parse("").operator[](0).name.empty());
}

TEST(PieceTable, readsAFileAndFailsWhenItIsMissing) {
  test::TempDir dir;
  auto t = ReadPieceTable(dir.Write("ToolPieces.txt", "Ctrl 0 0\nFlt 4 1\n"));
  ASSERT_TRUE(t);
  EXPECT_EQ((*t)[1], (PieceKind{"Flt", 4, 1}));
  EXPECT_FALSE(ReadPieceTable(dir / "ToolPieces.txt.missing"));
}

TEST(MapInfo, takesLineOneAsTitleEvenWhenItIsAnAllianceLine) {
  auto info = MapInfo::Parse("allied 1 2\nallied 3 4\n");
  EXPECT_EQ(info.title, "allied 1 2");
  EXPECT_EQ(info.alliances[0], (AllianceRow{3, 4, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(info.alliances[1], AllianceRow{});
}

TEST(MapInfo, matchesTheKeywordInAnyCaseOnlyAtTheFirstCharacter) {
  auto info = MapInfo::Parse(
      "Title\nALLIED 1 3 5\n allied 7 8\nAllied\t2 4\nalliedx 6\n# allied 9\nallie 1\n");
  EXPECT_EQ(info.alliances[0], (AllianceRow{1, 3, 5, 0, 0, 0, 0, 0}));
  EXPECT_EQ(info.alliances[1], (AllianceRow{2, 4, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(info.alliances[2], AllianceRow{}) << "\"alliedx 6\" reads no number after the keyword";
  EXPECT_EQ(info.alliances[3], AllianceRow{});
}

TEST(MapInfo, keepsEightRowsAndALineWithoutNumbersTakesOne) {
  std::string text = "T\nallied\n";
  for (int i = 1; i <= 8; ++i) text += "allied " + std::to_string(i) + " 9\n";
  auto info = MapInfo::Parse(text);
  EXPECT_EQ(info.alliances[0], AllianceRow{});
  EXPECT_EQ(info.alliances[7][0], 7);
  EXPECT_EQ(info.alliances[7][1], 9) << "the ninth allied line is ignored";
}

TEST(MapInfo, readsAtMostEightNumbersPerRow) {
  auto info = MapInfo::Parse("T\nallied 1 2 3 4 5 6 7 8 9 10\nallied 4 x 5\n");
  EXPECT_EQ(info.alliances[0], (AllianceRow{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(info.alliances[1], (AllianceRow{4, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(MapInfo, namesCountriesOnTheFirstLineForEachAndLeavesTheAlliancesAsTheyWere) {
  const std::string text =
      "T\ncountry 1 Sarnesh  \r\nallied 1 2\nCOUNTRY\t2\tVel Ath\n  country 3 Ind\ncountry 9 Far\n"
      "country 1 Again\ncountry 4\ncountry5 Glued\ncountry x Six\n";
  const MapInfo info = MapInfo::Parse(text);
  EXPECT_EQ(info.alliances[0], (AllianceRow{1, 2, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(info.alliances[1], AllianceRow{});
  const CountryNames want{"", "Sarnesh", "Vel Ath", "", "", "", "", "", ""};
  EXPECT_EQ(info.countryNames, want);
  EXPECT_EQ(CountryName(info.countryNames, 1), "Sarnesh");
  EXPECT_EQ(CountryName(info.countryNames, 3), "country 3");
  EXPECT_EQ(CountryName(CountryNames{"", "\xD6sterland"}, 1), "\xC3\x96sterland");
  // Beyond the first 64 KiB nothing is named.
  const std::string far = "T\n" + std::string(MapInfo::kNamesWithin, '#') + "\ncountry 1 Late\n";
  EXPECT_EQ(MapInfo::Parse(far).countryNames[1], "");
}

TEST(MapInfo, aFileReadsItsNamesAfterItsEightAlliances) {
  test::TempDir dir;
  std::string text = "T\n";
  for (int i = 1; i <= 8; ++i) text += "allied " + std::to_string(i) + " 9\n";
  // Far enough on that a reader stopping at the eighth alliance would not have read it.
  for (int i = 0; i < 400; ++i) text += "# a comment of the author, long enough for a reader\n";
  dir.Write("MapInfo.txt", text + "country 6 Last\n");
  auto info = ReadMapInfo(dir / "MapInfo.txt");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->countryNames[6], "Last");
  EXPECT_EQ(info->alliances[7][0], 8);
}

TEST(MapInfo, readsLongLinesInPiecesOf126Characters) {
  std::string longTitle(130, 'T');
  std::string comment(126, 'c');
  auto info = MapInfo::Parse(longTitle + "\n" + comment + "allied 1 2\n");
  EXPECT_EQ(info.title, std::string(126, 'T'));
  EXPECT_EQ(info.alliances[0], (AllianceRow{1, 2, 0, 0, 0, 0, 0, 0}))
      << "the rest of a long line is read as a line of its own";
}

TEST(MapInfo, stripsTrailingBlanksAndLineEndsFromTheTitle) {
  EXPECT_EQ(MapInfo::Parse("Isles of Tess   \r\nallied 1 2\r\n").title, "Isles of Tess");
  EXPECT_EQ(MapInfo::Parse("  \r\n").title, "");
  EXPECT_EQ(MapInfo::Parse("").title, "");
  EXPECT_EQ(MapInfo::Parse("No line end").title, "No line end");
}

TEST(MapInfo, readsTheTitleAloneFromAFile) {
  test::TempDir dir;
  auto path = dir.Write("MapInfo.txt", std::string(200, 'a') + "\nallied 1 2\n");
  EXPECT_EQ(*ReadMapTitle(path), std::string(126, 'a'));
  EXPECT_EQ(ReadMapInfo(path)->alliances[0][1], 2);
  EXPECT_FALSE(ReadMapTitle(dir / "none.txt"));
}

TEST(CountText, showsUpToThreeDigitsAnd999FromAThousand) {
  const std::pair<uint32_t, const char*> cases[] = {{0, "0"},      {9, "9"},      {10, "10"},
                                                    {99, "99"},    {100, "100"},  {999, "999"},
                                                    {1000, "999"}, {65535, "999"}};
  for (auto [v, text] : cases) EXPECT_EQ(CountText(v), text) << v;
}

}  // namespace
}  // namespace mw

namespace mw {
namespace {

// Every byte of the code page comes back from its UTF-8; what is no UTF-8, or lacks a byte of
// the code page, is refused at the character it stops at.
TEST(PackageText, windows1252AndUtf8RoundTripEveryByteAndRefuseWhatTheyCannot) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const std::string utf8 = DecodePackageText(byte);
    EXPECT_EQ(EncodePackageText(utf8), std::optional(byte)) << b;
    EXPECT_EQ(LooksLikeUtf8(utf8), b >= 0x80) << b;
  }
  struct Case {
    std::string text;
    bool utf8;
    size_t bad;  // where EncodePackageText stops, npos when it does not
  } cases[] = {
      {"plain", false, std::string::npos},
      {"\xC3\x96lfeld", true, std::string::npos},
      {"\xD6lfeld", false, 0},      // Windows-1252 already
      {"ab\xE4\xB8\xAD", true, 2},  // a character the code page lacks
      {"\xC0\xAF", false, 0},       // overlong
      {"\xED\xA0\x80", false, 0},   // a surrogate
      {"x\xE2\x82", false, 1},      // cut short
  };
  for (const Case& c : cases) {
    size_t bad = std::string::npos;
    EXPECT_EQ(LooksLikeUtf8(c.text), c.utf8) << c.text;
    EXPECT_EQ(EncodePackageText(c.text, &bad).has_value(), c.bad == std::string::npos) << c.text;
    EXPECT_EQ(bad, c.bad) << c.text;
  }
}

}  // namespace
}  // namespace mw
