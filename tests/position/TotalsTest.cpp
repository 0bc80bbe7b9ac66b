// SPDX-License-Identifier: GPL-3.0-or-later
// Ownership and income: who holds each sector and what it yields.
#include <gtest/gtest.h>

#include "TestMap.h"

namespace mw {
namespace {

using test::BandX;
using test::kBandY;
using test::MakeUnit;
using test::SectorSpec;

class Totals : public ::testing::Test {
 protected:
  void Map(const std::vector<SectorSpec>& sectors) { test::AttachBandMap(p, sectors); }
  void Place(int sector, uint8_t type, uint8_t country, uint16_t count = 1, int dx = 0) {
    Unit rec = MakeUnit(BandX(sector) + dx, kBandY, type, country, count);
    ASSERT_NE(p.AddUnit(rec), nullptr);
  }
  void Allies(std::vector<AllianceRow> rows) {
    AllianceTable t{};
    std::copy(rows.begin(), rows.end(), t.begin());
    p.SetAlliances(t);
  }
  const CountryTotal& Of(int country) {
    p.RecomputeTotals();
    return p.totalOf(country);
  }
  Position p;
};

TEST_F(Totals, givesPlainIncomeToTheInitialOwner) {
  Map({{.initialOwner = 1, .ipcValue = 4}, {.initialOwner = 1, .ipcValue = 3}, {.ipcValue = 9}});
  EXPECT_EQ(Of(1).ipc, 7);
  EXPECT_EQ(Of(0), CountryTotal{}) << "a sector nobody owns yields nothing";
}

TEST_F(Totals, aControlMarkerMovesTheIncomeAndTheLaterMarkerWins) {
  Map({{.initialOwner = 1, .ipcValue = 4}});
  Place(1, 0, 2);
  EXPECT_EQ(Of(1).ipc, 0);
  EXPECT_EQ(Of(2).ipc, 4);
  Place(1, 0, 3, 1, 30);  // far enough not to merge, same sector: another country's marker
  EXPECT_EQ(Of(2).ipc, 0);
  EXPECT_EQ(Of(3).ipc, 4);
}

TEST_F(Totals, convoyCountsOnlyWhileTheInitialOwnerHoldsIt) {
  Map({{.initialOwner = 1, .ipcValue = 5, .convoy = 1}});
  EXPECT_EQ(Of(1).convoy, 5);
  EXPECT_EQ(Of(1).ipc, 0);
  Place(1, 0, 2);
  EXPECT_EQ(Of(2).convoy, 0);
  EXPECT_EQ(Of(1).convoy, 0);
  Place(1, 0, 9, 1, 30);
  EXPECT_EQ(Of(9), CountryTotal{}) << "also an owner beyond the eight of the per-country fields";
}

TEST_F(Totals, anOilSectorThatIsAlsoAConvoyCountsAsOil) {
  Map({{.initialOwner = 2, .ipcValue = 6, .flags = SectorRecord::kFlagOil},
       {.initialOwner = 2, .ipcValue = 2, .flags = SectorRecord::kFlagOil, .convoy = 1}});
  EXPECT_EQ(Of(2).oil, 8);
  EXPECT_EQ(Of(2).convoy, 0);
  EXPECT_EQ(p.totalOf(2).shownSum(), 8);
}

TEST_F(Totals, perCountryValuesReplaceTheIncomeForOwnersOneToEight) {
  SectorSpec s{.initialOwner = 1, .ipcValue = 9, .flags = SectorRecord::kFlagCountryValues};
  s.countryValues = {2, 3, 4, 5, 6, 7, 8, 15};
  Map({s});
  EXPECT_EQ(Of(1).ipc, 2);
  Place(1, 0, 8);
  EXPECT_EQ(Of(8).ipc, 15);
  Place(1, 0, 9, 1, 30);
  EXPECT_EQ(Of(9).ipc, 9) << "owner 9 has no per-country value and takes the plain income";
}

TEST_F(Totals, aDependencySectorMustBeHeldByAnAlly) {
  Map({{.initialOwner = 1, .ipcValue = 4, .dependency = 2}, {.initialOwner = 1}});
  Allies({{1, 3}});
  EXPECT_EQ(Of(1).ipc, 4);
  Place(2, 0, 3);
  EXPECT_EQ(Of(1).ipc, 4) << "an ally holds the dependency";
  Place(2, 0, 2, 1, 30);
  EXPECT_EQ(Of(1).ipc, 0) << "an enemy holds it";
}

TEST_F(Totals, ownerDependencyGivesEachOwnerItsOwnSector) {
  SectorSpec s{.initialOwner = 1,
               .ipcValue = 4,
               .flags = SectorRecord::kFlagOwnerDependency,
               .dependency = 3};
  s.ownerDependency = {2, 0, 0, 0, 0, 0, 0, 0};  // owner 1 depends on sector 2, owner 2 on nothing
  Map({s, {.initialOwner = 5}, {.initialOwner = 1}});
  EXPECT_EQ(Of(1).ipc, 0) << "sector 2 belongs to 5, no ally of 1; dependencySector is not used";
  Place(1, 0, 2);
  EXPECT_EQ(Of(2).ipc, 4);
  Place(1, 0, 9, 1, 30);
  EXPECT_EQ(Of(9).ipc, 4) << "owners above 8 have no dependency";
}

TEST_F(Totals, aRequiredPieceActivatesTheSectorOnlyForAnAlliedStack) {
  Map({{.initialOwner = 1, .ipcValue = 7, .requiredPiece = 3}});
  Allies({{1, 2}});
  EXPECT_EQ(Of(1).ipc, 0);
  Place(1, 3, 4);
  EXPECT_EQ(Of(1).ipc, 0) << "a stack of an unallied country does not count";
  Place(1, 3, 2, 1, 30);
  EXPECT_EQ(Of(1).ipc, 7) << "an ally's stack does";
}

TEST_F(Totals, aRequiredPieceMustBeAlliedWithWhoHoldsTheSectorNow) {
  Map({{.initialOwner = 1, .ipcValue = 7, .requiredPiece = 3}});
  Place(1, 0, 2);     // country 2, no ally of 1, takes the sector
  Place(1, 3, 1, 1);  // the first owner's own piece
  EXPECT_EQ(Of(2).ipc, 0) << "the piece of the former owner does not work for the new one";
  Place(1, 3, 2, 1, 30);
  EXPECT_EQ(Of(2).ipc, 7);
  EXPECT_EQ(Of(1).ipc, 0);
}

TEST_F(Totals, theOwnersOwnRequiredPieceCountsAndTheAdditionRecomputes) {
  Map({{.initialOwner = 1, .ipcValue = 7, .requiredPiece = 3}});
  p.RecomputeTotals();
  Unit rec = MakeUnit(BandX(1), kBandY, 3, 1, 1);
  p.AddUnit(rec);
  EXPECT_EQ(p.totalOf(1).ipc, 7) << "adding a required piece recomputes by itself";
  p.RemoveUnit(&p.unit(0));
  EXPECT_EQ(p.totalOf(1).ipc, 0) << "and so does removing it";
}

TEST_F(Totals, sumsPieceStrengthByCategory) {
  Map({{}, {}});
  Place(1, 1, 1, 4);  // 4 x 3 land
  Place(2, 2, 1, 2);  // 2 x 5 land
  Place(1, 3, 1, 3);  // 3 x 8 naval
  Place(2, 4, 1, 9);  // category 2 counts nowhere
  EXPECT_EQ(Of(1).land, 22);
  EXPECT_EQ(Of(1).naval, 24);
  // The list replaced whole, as a load does, counts the same before any recount.
  std::vector<Unit> units;
  for (size_t i = 0; i < p.unitCount(); ++i) units.push_back(p.unit(i));
  Unit beyond = MakeUnit(BandX(1), kBandY, 1, 1, 7);
  beyond.sector = 512;  // counts nowhere
  units.push_back(beyond);
  p.ReplaceUnits(units);
  EXPECT_EQ(p.totalOf(1).land, 22);
  EXPECT_EQ(p.totalOf(1).naval, 24);
}

TEST_F(Totals, ignoresStacksOfSectorsFrom512) {
  Map({{.initialOwner = 1, .ipcValue = 4}});
  Unit big = MakeUnit(BandX(1), kBandY, 0, 2, 5);
  big.sector = 600;
  Unit ship = MakeUnit(BandX(1), kBandY, 3, 2, 5);
  ship.sector = 512;
  p.ReplaceUnits({big, ship});
  EXPECT_EQ(Of(1).ipc, 4);
  EXPECT_EQ(Of(2), CountryTotal{});
  EXPECT_EQ(p.unitCount(), 2u) << "such stacks stay in the list";
}

TEST_F(Totals, keepTheStrengthOfTheBoardWithoutASectorTable) {
  p.SetPieceTable(PieceTable::Parse("Ctrl 0 0 Inf 3 0"));
  p.PlacePiece(10, 10, 1, 1, kNoModifiers);
  p.PlacePiece(10, 10, 1, 1, kNoModifiers);
  p.RecomputeTotals();
  EXPECT_EQ(p.totalOf(1).land, 6);
  EXPECT_EQ(p.totalOf(1).ipc, 0);
}

TEST_F(Totals, holdTheirShownValuesWithinSixteenBits) {
  Map({{}});
  Place(1, 3, 1, 65535);  // 8 x 65535 naval
  p.RecomputeTotals();
  EXPECT_EQ(p.totalOf(1).naval, 8 * 65535);
  EXPECT_EQ(p.totalOf(1).shownNaval(), 32767);
  p.SetPieceTable(PieceTable::Parse("Ctrl 0 0 Debt -2 0"));
  Place(1, 1, 2, 20000);
  EXPECT_EQ(Of(2).land, -40000);
  EXPECT_EQ(p.totalOf(2).shownLand(), -32768);
}

TEST(IsAllied, answersRowByRow) {
  Position p;
  EXPECT_TRUE(p.IsAllied(4, 4)) << "a country is its own ally";
  EXPECT_FALSE(p.IsAllied(1, 2));
  AllianceTable t{};
  t[0] = {1, 2};
  t[1] = {2, 3};
  t[2] = {0, 9};  // not in use: its first number is 0
  t[3] = {5, 6, 5, 6};
  t[4] = {9, 10};
  p.SetAlliances(t);
  EXPECT_TRUE(p.IsAllied(1, 2));
  EXPECT_TRUE(p.IsAllied(2, 1));
  EXPECT_FALSE(p.IsAllied(2, 3)) << "the first row holds 2 but not 3";
  EXPECT_TRUE(p.IsAllied(9, 10)) << "row 3 is skipped, row 5 decides";
  EXPECT_FALSE(p.IsAllied(5, 6)) << "a count above 2 goes on to the next row";
  EXPECT_FALSE(p.IsAllied(7, 8));
  // Nobody (0) counts like any other number: in a full row it is one of the two.
  EXPECT_FALSE(p.IsAllied(0, 11)) << "no row holds 11";
  t[5] = {5, 6, 7, 8, 9, 10, 11, 0};
  p.SetAlliances(t);
  EXPECT_TRUE(p.IsAllied(0, 11)) << "rows 1, 2, 4 and 5 hold more than two zeros; row 6 decides";
}

}  // namespace
}  // namespace mw
