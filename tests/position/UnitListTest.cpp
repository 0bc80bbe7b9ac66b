// SPDX-License-Identifier: GPL-3.0-or-later
// The unit list: searches in list order, merging, removal and slots.
#include <gtest/gtest.h>

#include <random>

#include "TestMap.h"

namespace mw {
namespace {

using test::MakeUnit;

const Unit* Add(Position& p, int32_t x, int32_t y, uint8_t type = 1, uint8_t country = 1,
                uint16_t count = 1) {
  Unit rec = MakeUnit(x, y, type, country, count);
  return p.AddUnit(rec);
}

TEST(FindUnitAt, takesTheFirstStackInListOrderNotTheNearest) {
  Position p;
  Add(p, 100, 100, 1, 1);
  Add(p, 104, 100, 2, 2);
  Unit out;
  ASSERT_NE(p.FindUnitAt(105, 100, &out), nullptr);
  EXPECT_EQ(out.pieceType, 1);
  EXPECT_EQ(out.slot, 0u);
}

TEST(FindUnitAt, reachesSevenAcrossAndFiveUpOrDownInclusive) {
  Position p;
  Add(p, 100, 100);
  for (auto [x, y] : std::vector<std::pair<int, int>>{{93, 95}, {107, 105}, {100, 100}})
    EXPECT_NE(p.FindUnitAt(x, y), nullptr) << x << "," << y;
  Unit untouched = MakeUnit(1, 2, 3, 4, 5);
  for (auto [x, y] :
       std::vector<std::pair<int, int>>{{92, 100}, {108, 100}, {100, 94}, {100, 106}}) {
    EXPECT_EQ(p.FindUnitAt(x, y, &untouched), nullptr) << x << "," << y;
    EXPECT_EQ(untouched.x, 1) << "a miss leaves the caller's record alone";
  }
  Add(p, 3, 2);
  EXPECT_NE(p.FindUnitAt(-4, -3), nullptr) << "compared as signed numbers";
}

TEST(AddUnit, mergesWithinFifteenAcrossAndTenDown) {
  Position p;
  Add(p, 100, 100, 1, 1, 2);
  p.MarkClean();
  Unit rec = MakeUnit(115, 110, 1, 1, 3);
  const Unit* merged = p.AddUnit(rec);
  ASSERT_NE(merged, nullptr);
  EXPECT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(merged->count, 5);
  EXPECT_EQ(merged->labelText(), "5");
  EXPECT_EQ(rec.x, 100) << "the caller gets a copy of the merged stack";
  EXPECT_EQ(rec.count, 5);
  EXPECT_TRUE(p.dirty()) << "merging changes the board as much as a new stack does";

  Add(p, 116, 100, 1, 1);
  EXPECT_EQ(p.unitCount(), 2u) << "16 to the right is a new stack";
  EXPECT_TRUE(p.dirty());
  Add(p, 100, 100, 2, 1);
  Add(p, 100, 100, 1, 2);
  EXPECT_EQ(p.unitCount(), 4u) << "another kind or country never merges";
}

TEST(AddUnit, mergesAnywhereInTheSameNonZeroSectorOfAGrid) {
  Position p;
  test::AttachBandMap(p, {{}, {}});
  SectorGrid grid = *p.grid();
  for (int32_t x = 0; x < 20; ++x) grid.setValue(x, 99, 0);
  SectorTable table = *p.sectorTable();
  p.SetSectorGrid(grid);
  p.SetSectorTable(table);
  Add(p, 5, 5);
  Add(p, 95, 95);
  EXPECT_EQ(p.unitCount(), 1u) << "same sector, however far apart";
  EXPECT_EQ(p.unit(0).count, 2);
  Add(p, 150, 50);
  EXPECT_EQ(p.unitCount(), 2u) << "the next sector is another stack";
  Add(p, 0, 99);
  Add(p, 19, 99);
  EXPECT_EQ(p.unitCount(), 4u) << "sector 0 merges by distance only";
}

TEST(AddUnit, refusesPointsOutsideTheGridAndTakesTheSectorFromIt) {
  Position p;
  test::AttachBandMap(p, {{}, {}});
  Unit outside = MakeUnit(200, 10, 1, 1, 1);
  EXPECT_EQ(p.AddUnit(outside), nullptr);
  Unit below = MakeUnit(10, 100, 1, 1, 1);
  EXPECT_EQ(p.AddUnit(below), nullptr);
  EXPECT_EQ(p.unitCount(), 0u);
  EXPECT_FALSE(p.dirty());
  Unit inside = MakeUnit(150, 10, 1, 1, 1);
  inside.sector = 77;
  EXPECT_EQ(p.AddUnit(inside)->sector, 2);

  Position noGrid;
  Unit kept = MakeUnit(5000, 5000, 1, 1, 1);
  kept.sector = 77;
  EXPECT_EQ(noGrid.AddUnit(kept)->sector, 77) << "without a grid the caller's sector stands";
}

TEST(AddUnit, stopsACountAt65535) {
  Position p;
  Add(p, 10, 10, 1, 1, 65000);
  Add(p, 10, 10, 1, 1, 1000);
  EXPECT_EQ(p.unit(0).count, 65535);
  EXPECT_EQ(p.unit(0).labelText(), "999");
}

TEST(RemoveUnit, movesTheLastStackIntoTheFreedSlot) {
  Position p;
  Add(p, 0, 0, 1);
  Add(p, 100, 0, 2);
  Add(p, 200, 0, 3);
  p.MarkClean();
  p.RemoveUnit(&p.unit(0));
  EXPECT_TRUE(p.dirty());
  ASSERT_EQ(p.unitCount(), 2u);
  EXPECT_EQ(p.unit(0).pieceType, 3);
  EXPECT_EQ(p.unit(0).slot, 0u);
  EXPECT_EQ(p.unit(1).pieceType, 2);
  p.RemoveUnit(&p.unit(1));
  EXPECT_EQ(p.unit(0).pieceType, 3) << "removing the last stack moves nothing";
  EXPECT_TRUE(p.dirty());
}

TEST(RemoveUnit, aReferenceToARemovedStackResolvesToNothing) {
  Position p;
  UnitRef first = UnitRef::To(*Add(p, 0, 0, 1));
  UnitRef third = UnitRef::To(*(Add(p, 100, 0, 2), Add(p, 200, 0, 3)));
  p.RemoveUnit(p.Resolve(first));
  EXPECT_EQ(p.Resolve(first), nullptr);
  ASSERT_NE(p.Resolve(third), nullptr) << "a moved stack is still found";
  EXPECT_EQ(p.Resolve(third)->pieceType, 3);
}

TEST(RemoveAllUnits, emptiesTheListButKeepsDirtyAndHistory) {
  Position p;
  p.PlacePiece(0, 0, 1, 1, kNoModifiers);
  p.MarkClean();
  p.RemoveAllUnits();
  EXPECT_EQ(p.unitCount(), 0u);
  EXPECT_FALSE(p.dirty());
  EXPECT_EQ(p.undoDepth(), 1u);
}

TEST(ReassignSectors, givesStacksInsideTheGridItsSectorAndKeepsTheOthers) {
  Position p;
  Unit a = MakeUnit(150, 50, 1, 1, 1), b = MakeUnit(900, 50, 2, 1, 1);
  a.sector = 9;
  b.sector = 9;
  p.ReplaceUnits({a, b});
  // Asked before the map comes, the index is built on the old sectors and must follow.
  EXPECT_EQ(p.UnitsIn(0, 0, 1000, 100).size(), 2u);
  test::AttachBandMap(p, {{}, {}});
  p.ReassignSectors();
  EXPECT_EQ(p.unit(0).sector, 2);
  EXPECT_EQ(p.unit(1).sector, 9);
  EXPECT_EQ(p.CheckIndex(), "") << "the index follows the new sectors";
}

TEST(SetLabelPosition, movesTheLabelOfTheSectorUnderThePointOnly) {
  Position p;
  test::AttachBandMap(p, {{}, {}});
  p.SetLabelPosition(130, 40);
  EXPECT_EQ(p.sectorRecord(2)->labelX(), 130);
  EXPECT_EQ(p.sectorRecord(2)->labelY(), 40);
  p.SetLabelPosition(200, 40);
  p.SetLabelPosition(-1, 40);
  EXPECT_EQ(p.sectorRecord(2)->labelX(), 130);
  EXPECT_FALSE(p.dirty());
}

// Long random sequences of adds, removals, undo and redo, with and without a grid, far more than
// it takes for the index to be rebuilt: after every step the index holds each unit once, and a
// search by rectangle or by point finds what a walk through the whole list finds.
TEST(UnitIndex, agreesWithTheListThroughLongRandomSessions) {
  for (const bool grid : {true, false}) {
    Position p;
    if (grid) test::AttachBandMap(p, std::vector<test::SectorSpec>(30));
    std::mt19937 rng(grid ? 7 : 11);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
    const int wide = grid ? 3000 : 4200, high = grid ? 100 : 4200;
    for (int step = 0; step < 6000; ++step) {
      const int what = pick(20);
      if (what < 11 || p.unitCount() == 0) {
        Add(p, pick(wide), pick(high), static_cast<uint8_t>(1 + pick(3)),
            static_cast<uint8_t>(1 + pick(3)));
      } else if (what < 17) {
        p.RemoveUnit(&p.unit(static_cast<size_t>(pick(static_cast<int>(p.unitCount())))));
      } else if (what < 19) {
        p.UndoLast();
        if (pick(2)) p.RedoLast();
      } else if (pick(100) == 0) {
        std::vector<Unit> same;
        for (size_t i = 0; i < p.unitCount(); ++i) same.push_back(p.unit(i));
        p.ReplaceUnits(same);
      }
      ASSERT_EQ(p.CheckIndex(), "") << "step " << step;
      if (step % 8 != 0) continue;
      const int x = pick(wide), y = pick(high), w = pick(700), h = pick(300);
      std::vector<const Unit*> walked;
      const Unit* first = nullptr;
      for (size_t i = 0; i < p.unitCount(); ++i) {
        const Unit& u = p.unit(i);
        if (u.x >= x && u.x <= x + w && u.y >= y && u.y <= y + h) walked.push_back(&u);
        if (!first && std::abs(u.x - x) <= 7 && std::abs(u.y - y) <= 5) first = &u;
      }
      ASSERT_EQ(p.UnitsIn(x, y, x + w, y + h), walked) << "step " << step;
      ASSERT_EQ(p.FindUnitAt(x, y), first) << "step " << step;
    }
  }
}

}  // namespace
}  // namespace mw
