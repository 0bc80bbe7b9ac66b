// SPDX-License-Identifier: GPL-3.0-or-later
// The unit list.
#include <gtest/gtest.h>

#include "PackageText.h"
#include "Reports.h"
#include "TestMap.h"

namespace mw {
namespace {

using test::MakeUnit;

TEST(UnitList, holdsFifteenCountryHeadersWhenTheBoardIsEmpty) {
  Position p;
  std::string expected;
  for (int k = 1; k <= 15; ++k)
    expected += "\r\n ***** Country: " + std::to_string(k) + " *****\r\n";
  EXPECT_EQ(BuildUnitList(p), expected);
}

TEST(UnitList, listsSectorsInRisingOrderAndStacksInListOrder) {
  Position p;
  test::AttachBandMap(p, {{.name = "Aa"}, {.name = "Bb"}, {.name = "Cc"}});
  auto at = [](int sector, uint8_t type, uint8_t country, uint16_t count) {
    Unit u = MakeUnit(0, 0, type, country, count);
    u.sector = static_cast<uint16_t>(sector);
    return u;
  };
  p.ReplaceUnits({at(3, 1, 2, 4), at(1, 2, 2, 1), at(3, 1, 2, 2), at(3, 3, 1, 0), at(0, 1, 2, 9),
                  at(600, 1, 2, 9), at(1, 1, 16, 9), at(1, 1, 0, 9)});
  const std::string text = BuildUnitList(p);
  const std::string country2 =
      "\r\n ***** Country: 2 *****\r\n\r\n*** Aa \r\n1 Tank\r\n\r\n*** Cc \r\n4 Inf\r\n2 Inf\r\n";
  EXPECT_NE(text.find(country2 + "\r\n ***** Country: 3"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\n ***** Country: 1 *****\r\n\r\n*** Cc \r\n0 Ship\r\n"),
            std::string::npos);
  EXPECT_EQ(text.find("9 Inf"), std::string::npos)
      << "sector 0, 512 and up, country 0 and 16 are left out";
}

TEST(PackageText, readsWindows1252) {
  EXPECT_EQ(DecodePackageText("K\xFCste"), "K\u00FCste");
  EXPECT_EQ(DecodePackageText("\x80 \x9F \x8D A"), "\u20AC \u0178 \u008D A");
  EXPECT_EQ(DecodePackageText(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(UnitList, showsSectorAndPieceNamesInTheSameEncodingAsEverywhere) {
  Position p;
  test::AttachBandMap(p, {{.name = "K\xFCste"}});
  p.SetPieceTable(PieceTable::Parse("Ctrl 0 0 J\xE4g 3 0"));
  p.PlacePiece(test::BandX(1), test::kBandY, 1, 1, kShift);
  EXPECT_NE(BuildUnitList(p).find("*** K\u00FCste \r\n5 J\u00E4g\r\n"), std::string::npos);
}

TEST(UnitList, showsEmptySectorNamesWithoutASectorTable) {
  Position p;
  Unit u = MakeUnit(0, 0, 1, 1, 3);
  u.sector = 4;
  p.ReplaceUnits({u});
  EXPECT_NE(BuildUnitList(p).find("\r\n***  \r\n3 \r\n"), std::string::npos);
}

}  // namespace
}  // namespace mw
