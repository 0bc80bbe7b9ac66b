// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing two boards: the differences, checked against counts made here from the unit lists.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "PositionCompare.h"
#include "TestMap.h"

namespace mw {
namespace {

using D = BoardDifference;
using Key = std::tuple<int, int, int>;  // sector (0 for none), country, kind

// Five bands, each a sector with a record; from x = 500 on a stack stands outside the grid.
const std::vector<test::SectorSpec> kSectors = {{.initialOwner = 1, .ipcValue = 4},
                                                {.initialOwner = 2, .ipcValue = 3, .convoy = 1},
                                                {.ipcValue = 5},
                                                {.initialOwner = 3, .ipcValue = 2},
                                                {.initialOwner = 1}};

void Add(Position& p, Unit u) { p.AddUnit(u); }

void RandomBoard(Position& p, std::mt19937& random) {
  auto pick = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
  test::AttachBandMap(p, kSectors);
  p.RemoveAllUnits();
  const int stacks = pick(0, 12);
  for (int i = 0; i < stacks; ++i)
    Add(p, test::MakeUnit(pick(0, 12) * 50 + pick(0, 40), test::kBandY + pick(-30, 30),
                          static_cast<uint8_t>(pick(0, 3)), static_cast<uint8_t>(pick(1, 4)),
                          static_cast<uint16_t>(pick(1, 3))));
  p.RecomputeTotals();
}

std::map<Key, int64_t> Counts(const Position& p) {
  std::map<Key, int64_t> counts;
  for (size_t i = 0; i < p.unitCount(); ++i) {
    const Unit& u = p.unit(i);
    const int sector = u.x < 500 ? u.x / 100 + 1 : 0;
    counts[{sector, u.country, u.pieceType}] += u.count;
  }
  return counts;
}

int HolderOf(const Position& p, int sector) {
  int holder = kSectors[static_cast<size_t>(sector - 1)].initialOwner;
  for (size_t i = 0; i < p.unitCount(); ++i)
    if (p.unit(i).pieceType == 0 && p.unit(i).x / 100 + 1 == sector) holder = p.unit(i).country;
  return holder;
}

TEST(CompareBoards, linesSumUpToTheNewBoardInTheOrderOfTheReport) {
  std::mt19937 random(20261209);
  for (int round = 0; round < 300; ++round) {
    Position before, after;
    RandomBoard(before, random);
    RandomBoard(after, random);
    const auto differences = CompareBoards(Summarize(before), Summarize(after));
    // Applying the pieces lines to the old counts gives the new counts, and each line is a change.
    std::map<Key, int64_t> counts = Counts(before);
    for (const D& d : differences) {
      if (d.kind != D::Kind::kPieces) continue;
      Key key{d.sector, d.country, d.pieceType};
      EXPECT_EQ(counts[key], d.before);
      EXPECT_NE(d.before, d.after);
      counts[key] = d.after;
    }
    std::erase_if(counts, [](const auto& c) { return c.second == 0; });
    EXPECT_EQ(counts, Counts(after)) << "round " << round;
    // A holder line for exactly the sectors that changed hands.
    std::map<int, std::pair<int64_t, int64_t>> holders;
    for (const D& d : differences)
      if (d.kind == D::Kind::kHolder) holders[d.sector] = {d.before, d.after};
    for (int s = 1; s <= 5; ++s) {
      const int was = HolderOf(before, s), is = HolderOf(after, s);
      if (was == is)
        EXPECT_FALSE(holders.contains(s)) << "sector " << s;
      else
        EXPECT_EQ(holders[s], std::make_pair(int64_t{was}, int64_t{is})) << "sector " << s;
    }
    // A totals line for every figure that differs.
    size_t figures = 0;
    for (uint32_t c = 0; c < kCountrySlots; ++c) {
      const CountryTotal &was = before.totalOf(c), &is = after.totalOf(c);
      figures += (was.ipc != is.ipc) + (was.convoy != is.convoy) + (was.oil != is.oil) +
                 (was.land != is.land) + (was.naval != is.naval);
    }
    EXPECT_EQ(
        static_cast<size_t>(std::count_if(differences.begin(), differences.end(),
                                          [](const D& d) { return d.kind == D::Kind::kTotal; })),
        figures);
    // Kinds in order, and within each kind strictly rising.
    for (size_t i = 1; i < differences.size(); ++i) {
      const D &a = differences[i - 1], &b = differences[i];
      const auto rank = [](const D& d) {
        return std::make_tuple(static_cast<int>(d.kind), d.kind == D::Kind::kTotal ? 0 : d.sector,
                               d.country, d.pieceType, static_cast<int>(d.total));
      };
      EXPECT_LT(rank(a), rank(b)) << "round " << round << ", line " << i;
    }
    EXPECT_TRUE(CompareBoards(Summarize(after), Summarize(after)).empty());
  }
}

TEST(CompareBoards, aStackMovedWithinItsSectorOrSplitIsNoChange) {
  Position before, after;
  test::AttachBandMap(before, kSectors);
  test::AttachBandMap(after, kSectors);
  Add(before, test::MakeUnit(test::BandX(2), test::kBandY, 1, 2, 5));
  Add(after, test::MakeUnit(test::BandX(2) - 40, test::kBandY - 30, 1, 2, 2));
  Add(after, test::MakeUnit(test::BandX(2) + 40, test::kBandY + 30, 1, 2, 3));
  before.RecomputeTotals();
  after.RecomputeTotals();
  EXPECT_TRUE(CompareBoards(Summarize(before), Summarize(after)).empty());
}

// The pieces in the hand still belong to the board: carried, they count where they were picked up.
TEST(CompareBoards, piecesInTheHandCountWhereTheyWerePickedUp) {
  Position board;
  test::AttachBandMap(board, kSectors);
  Add(board, test::MakeUnit(test::BandX(2), test::kBandY, 1, 2, 5));
  board.RecomputeTotals();
  const BoardSummary before = Summarize(board);
  for (const unsigned modifiers : {unsigned{kNoModifiers}, unsigned{kShift | kCtrl}}) {
    ASSERT_TRUE(board.PickUp(test::BandX(2), test::kBandY, modifiers));
    EXPECT_TRUE(CompareBoards(before, Summarize(board)).empty()) << modifiers;
    board.CancelCarry();
  }
}

TEST(CompareBoards, aPositionReadBesideABoardTakesItsMapAndItsSectors) {
  Position board, file;
  test::AttachBandMap(board, kSectors);
  Add(file, test::MakeUnit(test::BandX(3), test::kBandY, 0, 4, 1));  // a marker, no map yet
  TakeMapOf(file, board);
  EXPECT_EQ(file.unit(0).sector, 3);
  EXPECT_EQ(file.totalOf(4).ipc, 5) << "the marker takes sector 3's income";
}

}  // namespace
}  // namespace mw
