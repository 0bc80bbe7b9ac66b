// The mouse edits and their undo: the list, the totals and the history after each.
#include <gtest/gtest.h>

#include "Editing.h"
#include "TestMap.h"

namespace mw {
namespace {

using test::BandX;
using test::kBandY;

class RecordingObserver : public PositionObserver {
 public:
  void TotalsChanged() override { ++totals; }
  void UnitAreaChanged(const Unit& u) override { areas.push_back({u.x, u.y}); }
  int totals = 0;
  std::vector<std::pair<int, int>> areas;
};

class Editing : public ::testing::Test {
 protected:
  void SetUp() override {
    test::AttachBandMap(p, {{.initialOwner = 1, .ipcValue = 5}, {.initialOwner = 2, .ipcValue = 3},
                            {}, {}});
    p.SetObserver(&observer);
    p.RecomputeTotals();
  }
  // The land and naval totals that a full recomputation gives for the list as it stands.
  void ExpectStrengthMatchesTheBoard() {
    CountryTotals incremental = p.totals();
    p.RecomputeTotals();
    for (int c = 0; c < kCountrySlots; ++c) {
      EXPECT_EQ(incremental[c].land, p.totalOf(c).land) << "country " << c;
      EXPECT_EQ(incremental[c].naval, p.totalOf(c).naval) << "country " << c;
    }
  }
  Position p;
  RecordingObserver observer;
  Carry carry;
};

TEST(ModifierCounts, followTheTable) {
  EXPECT_EQ(TakeCount(12, kNoModifiers), 1);
  EXPECT_EQ(TakeCount(12, kShift), 5);
  EXPECT_EQ(TakeCount(12, kCtrl), 10);
  EXPECT_EQ(TakeCount(12, kShift | kCtrl), 12);
  EXPECT_EQ(TakeCount(3, kShift), 3);
  EXPECT_EQ(TakeCount(3, kCtrl), 3);
  EXPECT_EQ(PlaceCount(kNoModifiers), 1);
  EXPECT_EQ(PlaceCount(kShift), 5);
  EXPECT_EQ(PlaceCount(kCtrl), 10);
  EXPECT_EQ(PlaceCount(kShift | kCtrl), 10);
}

TEST_F(Editing, placingAddsStrengthRecordsTheCountPlacedAndMerges) {
  PlacePiece(p, BandX(3), kBandY, 1, 4, kShift);
  auto second = PlacePiece(p, BandX(3) + 5, kBandY + 5, 1, 4, kShift | kCtrl);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->count, 10) << "the record keeps the number placed, not the stack's total";
  EXPECT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).count, 15);
  EXPECT_EQ(p.totalOf(4).land, 45);
  ASSERT_EQ(p.undoDepth(), 2u);
  EXPECT_EQ(p.undoEntry(0).kind, UndoKind::kAdd);
  EXPECT_EQ(p.undoEntry(0).count, 10);
  EXPECT_EQ(p.undoEntry(0).toX, BandX(3)) << "the merged stack's place";
  EXPECT_GE(observer.totals, 2);
  ExpectStrengthMatchesTheBoard();
}

TEST_F(Editing, placingAMarkerMovesTheIncomeAtOnce) {
  PlacePiece(p, BandX(1), kBandY, 0, 2, kNoModifiers);
  EXPECT_EQ(p.totalOf(2).ipc, 8);
  EXPECT_EQ(p.totalOf(1).ipc, 0);
}

TEST_F(Editing, placingOutsideTheGridChangesNothing) {
  EXPECT_FALSE(PlacePiece(p, 400, 10, 1, 1, kNoModifiers));
  EXPECT_EQ(p.unitCount(), 0u);
  EXPECT_EQ(p.totalOf(1).land, 0);
  EXPECT_EQ(p.undoDepth(), 0u);
}

TEST_F(Editing, removingTakesByTheModifiersAndAnEmptiedStackGoes) {
  PlacePiece(p, BandX(3), kBandY, 2, 1, kCtrl);
  PlacePiece(p, BandX(3), kBandY, 2, 1, kShift);  // a stack of 15 tanks
  p.ClearUndo();
  auto hit = RemoveAt(p, BandX(3) + 7, kBandY - 5, kShift);
  ASSERT_TRUE(hit);
  EXPECT_EQ(p.unit(0).count, 10);
  EXPECT_EQ(p.unit(0).labelText(), "10");
  EXPECT_EQ(p.undoEntry(0).kind, UndoKind::kRemove);
  EXPECT_EQ(p.undoEntry(0).count, 5);
  RemoveAt(p, BandX(3), kBandY, kShift | kCtrl);
  EXPECT_EQ(p.unitCount(), 0u);
  EXPECT_EQ(p.undoEntry(0).count, 10);
  EXPECT_EQ(p.totalOf(1).land, 0);
  EXPECT_EQ(observer.areas.back(), (std::pair<int, int>{BandX(3), kBandY}))
      << "the area of the gone stack is redrawn";
  EXPECT_FALSE(RemoveAt(p, BandX(3), kBandY, kNoModifiers)) << "nothing there";
}

TEST_F(Editing, theEarlierOfTwoOverlappingStacksIsHit) {
  PlacePiece(p, BandX(3), kBandY, 1, 1, kNoModifiers);
  PlacePiece(p, BandX(3) + 6, kBandY, 3, 2, kNoModifiers);
  RemoveAt(p, BandX(3) + 6, kBandY, kNoModifiers);
  ASSERT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).pieceType, 3);
}

TEST_F(Editing, pickUpAndDropMoveThePiecesAndRecordTheMove) {
  PlacePiece(p, BandX(3), kBandY, 1, 3, kCtrl);
  PlacePiece(p, BandX(3), kBandY, 1, 3, kNoModifiers);  // 11
  PlacePiece(p, BandX(4), kBandY, 1, 3, kNoModifiers);  // 1, another sector
  p.ClearUndo();
  ASSERT_TRUE(PickUp(p, carry, BandX(3), kBandY, kShift));
  EXPECT_EQ(carry.carried.count, 5);
  EXPECT_EQ(carry.carried.labelText(), "5");
  EXPECT_EQ(p.unit(0).count, 6);
  EXPECT_EQ(p.undoDepth(), 0u) << "picking up records nothing";
  auto landed = Drop(p, carry, BandX(4) + 15, kBandY + 10);
  ASSERT_TRUE(landed);
  EXPECT_EQ(landed->x, BandX(4)) << "merged into the stack there, which keeps its place";
  EXPECT_EQ(p.unit(1).count, 6);
  ASSERT_EQ(p.undoDepth(), 1u);
  const UndoEntry& move = p.undoEntry(0);
  EXPECT_EQ(move.kind, UndoKind::kMove);
  EXPECT_EQ(move.fromX, BandX(3));
  EXPECT_EQ(move.toX, BandX(4));
  EXPECT_EQ(move.count, 5);
  EXPECT_EQ(move.fromSector, 3);
  EXPECT_EQ(move.toSector, 4);
  ExpectStrengthMatchesTheBoard();
}

TEST_F(Editing, droppingAWholeStackRemovesItsEmptiedSource) {
  PlacePiece(p, BandX(3), kBandY, 1, 3, kCtrl);
  PlacePiece(p, BandX(3), kBandY, 1, 3, kShift);
  PlacePiece(p, BandX(3), kBandY, 2, 3, kNoModifiers);
  ASSERT_TRUE(PickUp(p, carry, BandX(3), kBandY, kShift | kCtrl));
  EXPECT_EQ(carry.carried.count, 15);
  EXPECT_EQ(p.unit(0).count, 0) << "the emptied source waits in the list";
  Drop(p, carry, BandX(4), kBandY);
  ASSERT_EQ(p.unitCount(), 2u);
  EXPECT_EQ(p.unit(0).pieceType, 2);
  EXPECT_EQ(p.unit(1).count, 15);
}

TEST_F(Editing, droppingWhereItWasPickedUpRecordsNothing) {
  PlacePiece(p, BandX(3), kBandY, 1, 3, kShift);
  p.ClearUndo();
  PickUp(p, carry, BandX(3), kBandY, kNoModifiers);
  Drop(p, carry, BandX(3), kBandY);
  EXPECT_EQ(p.unit(0).count, 5);
  EXPECT_EQ(p.undoDepth(), 0u);
}

TEST_F(Editing, droppingOutsideTheGridPutsThePiecesBack) {
  PlacePiece(p, BandX(3), kBandY, 1, 3, kShift);
  PickUp(p, carry, BandX(3), kBandY, kShift | kCtrl);
  EXPECT_FALSE(Drop(p, carry, 5000, 5000));
  ASSERT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).count, 5);
  EXPECT_EQ(p.unit(0).x, BandX(3));
  ExpectStrengthMatchesTheBoard();
}

TEST_F(Editing, cancellingACarryPutsThePiecesBackUnrecorded) {
  PlacePiece(p, BandX(3), kBandY, 1, 3, kCtrl);
  PlacePiece(p, BandX(3), kBandY, 1, 3, kShift);
  p.ClearUndo();
  PickUp(p, carry, BandX(3), kBandY, kCtrl);
  CancelCarry(p, carry);
  EXPECT_EQ(p.unit(0).count, 15);
  EXPECT_EQ(p.unit(0).labelText(), "15");
  EXPECT_EQ(p.undoDepth(), 0u);
  EXPECT_FALSE(carry.active);
}

TEST_F(Editing, aCarryWhoseSourceWentNeverTouchesIt) {
  PlacePiece(p, BandX(3), kBandY, 1, 3, kShift);
  PickUp(p, carry, BandX(3), kBandY, kNoModifiers);
  // The rest of the stack is removed while one piece is carried.
  RemoveAt(p, BandX(3), kBandY, kShift | kCtrl);
  EXPECT_EQ(p.unitCount(), 0u);
  EXPECT_EQ(carry.carried.count, 1) << "a removal leaves the carry alone";
  Drop(p, carry, BandX(4), kBandY);
  ASSERT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).count, 1);
  ExpectStrengthMatchesTheBoard();

  PickUp(p, carry, BandX(4), kBandY, kNoModifiers);
  p.ReplaceUnits({});  // a position load
  CancelCarry(p, carry);
  EXPECT_EQ(p.unitCount(), 1u) << "the carried piece goes back to where it came from";
}

TEST_F(Editing, anEmptiedSourceCannotBeReducedBelowZero) {
  PlacePiece(p, BandX(3), kBandY, 1, 3, kNoModifiers);
  PickUp(p, carry, BandX(3), kBandY, kNoModifiers);
  EXPECT_FALSE(RemoveAt(p, BandX(3), kBandY, kNoModifiers));
  EXPECT_EQ(p.unit(0).count, 0);
}

TEST_F(Editing, undoTakesBackEachKindOfEdit) {
  PlacePiece(p, BandX(3), kBandY, 1, 3, kCtrl);
  PlacePiece(p, BandX(3), kBandY, 1, 3, kShift);
  p.UndoLast();
  EXPECT_EQ(p.unit(0).count, 10) << "undo of an addition to a stack takes those pieces";
  EXPECT_EQ(p.unit(0).labelText(), "10");

  RemoveAt(p, BandX(3), kBandY, kShift);
  p.UndoLast();
  EXPECT_EQ(p.unit(0).count, 10) << "undo of a removal puts them back";

  PickUp(p, carry, BandX(3), kBandY, kShift | kCtrl);
  Drop(p, carry, BandX(4), kBandY);
  EXPECT_EQ(p.unit(0).x, BandX(4));
  p.UndoLast();
  ASSERT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).x, BandX(3)) << "undo of a move carries them back";
  EXPECT_EQ(p.unit(0).sector, 3);

  p.UndoLast();
  EXPECT_EQ(p.unitCount(), 0u) << "undo of the first placement removes the stack";
  EXPECT_EQ(p.undoDepth(), 0u);
  ExpectStrengthMatchesTheBoard();
  EXPECT_EQ(p.totalOf(3).land, 0);
  p.UndoLast();  // an empty history does nothing
  EXPECT_EQ(p.unitCount(), 0u);
}

TEST_F(Editing, undoOfAMoveWhoseStackWentStillPutsThePiecesBack) {
  PlacePiece(p, BandX(3), kBandY, 1, 3, kShift);
  PickUp(p, carry, BandX(3), kBandY, kShift | kCtrl);
  Drop(p, carry, BandX(4), kBandY);
  p.RemoveUnit(&p.unit(0));  // taken away without a record
  p.UndoLast();
  ASSERT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).x, BandX(3));
  EXPECT_EQ(p.unit(0).count, 5);
}

TEST_F(Editing, undoFindsStacksByPlaceWhateverTheirKind) {
  PlacePiece(p, BandX(3), kBandY, 1, 3, kNoModifiers);
  Unit ship = test::MakeUnit(BandX(3) + 3, kBandY, 3, 5, 4);
  p.ReplaceUnits({ship, p.unit(0)});  // the ship now comes first in the list
  p.RecomputeTotals();
  p.UndoLast();
  ASSERT_EQ(p.unitCount(), 2u);
  EXPECT_EQ(p.unit(0).count, 3) << "the first stack near the place loses the piece";
  ExpectStrengthMatchesTheBoard();
}

TEST_F(Editing, undoOfAMarkerRestoresTheIncome) {
  PlacePiece(p, BandX(2), kBandY, 0, 1, kNoModifiers);
  EXPECT_EQ(p.totalOf(1).ipc, 8);
  p.UndoLast();
  EXPECT_EQ(p.totalOf(1).ipc, 5);
  EXPECT_EQ(p.totalOf(2).ipc, 3);
  EXPECT_FALSE(observer.areas.empty());
}

}  // namespace
}  // namespace mw
