// SPDX-License-Identifier: GPL-3.0-or-later
// The mouse edits and their undo: the list, the totals and the history after each.
#include <gtest/gtest.h>

#include <functional>

#include "Position.h"
#include "PositionFile.h"
#include "TestMap.h"

namespace mw {
namespace {

using test::BandX;
using test::kBandY;

std::vector<uint8_t> EncodePositionForTest(const Position& p) { return EncodePosition(p, false); }

class RecordingObserver : public PositionObserver {
 public:
  void BoardChanged(const BoardChange& change) override {
    totals += change.totals;
    for (const Unit& u : change.units) areas.push_back({u.x, u.y});
  }
  int totals = 0;
  std::vector<std::pair<int, int>> areas;
};

class Editing : public ::testing::Test {
 protected:
  void SetUp() override {
    test::AttachBandMap(
        p, {{.initialOwner = 1, .ipcValue = 5}, {.initialOwner = 2, .ipcValue = 3}, {}, {}});
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
  p.PlacePiece(BandX(3), kBandY, 1, 4, kShift);
  auto second = p.PlacePiece(BandX(3) + 5, kBandY + 5, 1, 4, kShift | kCtrl);
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
  p.PlacePiece(BandX(1), kBandY, 0, 2, kNoModifiers);
  EXPECT_EQ(p.totalOf(2).ipc, 8);
  EXPECT_EQ(p.totalOf(1).ipc, 0);
}

TEST_F(Editing, placingOutsideTheGridChangesNothing) {
  EXPECT_FALSE(p.PlacePiece(400, 10, 1, 1, kNoModifiers));
  EXPECT_EQ(p.unitCount(), 0u);
  EXPECT_EQ(p.totalOf(1).land, 0);
  EXPECT_EQ(p.undoDepth(), 0u);
}

TEST_F(Editing, removingTakesByTheModifiersAndAnEmptiedStackGoes) {
  p.PlacePiece(BandX(3), kBandY, 2, 1, kCtrl);
  p.PlacePiece(BandX(3), kBandY, 2, 1, kShift);  // a stack of 15 tanks
  p.ClearUndo();
  auto hit = p.RemoveAt(BandX(3) + 7, kBandY - 5, kShift);
  ASSERT_TRUE(hit);
  EXPECT_EQ(p.unit(0).count, 10);
  EXPECT_EQ(p.unit(0).labelText(), "10");
  EXPECT_EQ(p.undoEntry(0).kind, UndoKind::kRemove);
  EXPECT_EQ(p.undoEntry(0).count, 5);
  p.RemoveAt(BandX(3), kBandY, kShift | kCtrl);
  EXPECT_EQ(p.unitCount(), 0u);
  EXPECT_EQ(p.undoEntry(0).count, 10);
  EXPECT_EQ(p.totalOf(1).land, 0);
  EXPECT_EQ(observer.areas.back(), (std::pair<int, int>{BandX(3), kBandY}))
      << "the area of the gone stack is redrawn";
  EXPECT_FALSE(p.RemoveAt(BandX(3), kBandY, kNoModifiers)) << "nothing there";
}

TEST_F(Editing, theEarlierOfTwoOverlappingStacksIsHit) {
  p.PlacePiece(BandX(3), kBandY, 1, 1, kNoModifiers);
  p.PlacePiece(BandX(3) + 6, kBandY, 3, 2, kNoModifiers);
  p.RemoveAt(BandX(3) + 6, kBandY, kNoModifiers);
  ASSERT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).pieceType, 3);
}

TEST_F(Editing, pickUpAndDropMoveThePiecesAndRecordTheMove) {
  p.PlacePiece(BandX(3), kBandY, 1, 3, kCtrl);
  p.PlacePiece(BandX(3), kBandY, 1, 3, kNoModifiers);  // 11
  p.PlacePiece(BandX(4), kBandY, 1, 3, kNoModifiers);  // 1, another sector
  p.ClearUndo();
  ASSERT_TRUE(p.PickUp(BandX(3), kBandY, kShift));
  EXPECT_EQ(p.hand().carried.count, 5);
  EXPECT_EQ(p.hand().carried.labelText(), "5");
  EXPECT_EQ(p.unit(0).count, 6);
  EXPECT_EQ(p.undoDepth(), 0u) << "picking up records nothing";
  auto landed = p.Drop(BandX(4) + 15, kBandY + 10);
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
  p.PlacePiece(BandX(3), kBandY, 1, 3, kCtrl);
  p.PlacePiece(BandX(3), kBandY, 1, 3, kShift);
  p.PlacePiece(BandX(3), kBandY, 2, 3, kNoModifiers);
  ASSERT_TRUE(p.PickUp(BandX(3), kBandY, kShift | kCtrl));
  EXPECT_EQ(p.hand().carried.count, 15);
  EXPECT_EQ(p.unit(0).count, 0) << "the emptied source waits in the list";
  p.Drop(BandX(4), kBandY);
  ASSERT_EQ(p.unitCount(), 2u);
  EXPECT_EQ(p.unit(0).pieceType, 2);
  EXPECT_EQ(p.unit(1).count, 15);
}

TEST_F(Editing, droppingWhereItWasPickedUpRecordsNothing) {
  p.PlacePiece(BandX(3), kBandY, 1, 3, kShift);
  p.ClearUndo();
  p.PickUp(BandX(3), kBandY, kNoModifiers);
  p.Drop(BandX(3), kBandY);
  EXPECT_EQ(p.unit(0).count, 5);
  EXPECT_EQ(p.undoDepth(), 0u);
}

TEST_F(Editing, droppingOutsideTheGridPutsThePiecesBack) {
  p.PlacePiece(BandX(3), kBandY, 1, 3, kShift);
  p.PickUp(BandX(3), kBandY, kShift | kCtrl);
  EXPECT_FALSE(p.Drop(5000, 5000));
  ASSERT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).count, 5);
  EXPECT_EQ(p.unit(0).x, BandX(3));
  ExpectStrengthMatchesTheBoard();
}

TEST_F(Editing, cancellingACarryPutsThePiecesBackUnrecorded) {
  p.PlacePiece(BandX(3), kBandY, 1, 3, kCtrl);
  p.PlacePiece(BandX(3), kBandY, 1, 3, kShift);
  p.ClearUndo();
  p.PickUp(BandX(3), kBandY, kCtrl);
  p.CancelCarry();
  EXPECT_EQ(p.unit(0).count, 15);
  EXPECT_EQ(p.unit(0).labelText(), "15");
  EXPECT_EQ(p.undoDepth(), 0u);
  EXPECT_FALSE(p.carrying());
}

TEST_F(Editing, aCarryWhoseSourceWentNeverTouchesIt) {
  p.PlacePiece(BandX(3), kBandY, 1, 3, kShift);
  p.PickUp(BandX(3), kBandY, kNoModifiers);
  // The rest of the stack is removed while one piece is carried.
  p.RemoveAt(BandX(3), kBandY, kShift | kCtrl);
  EXPECT_EQ(p.unitCount(), 0u);
  EXPECT_EQ(p.hand().carried.count, 1) << "a removal leaves the carry alone";
  p.Drop(BandX(4), kBandY);
  ASSERT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).count, 1);
  ExpectStrengthMatchesTheBoard();

  p.PickUp(BandX(4), kBandY, kNoModifiers);
  p.ReplaceUnits({});  // a position load
  EXPECT_FALSE(p.carrying()) << "the hand goes with the position it was taken from";
  p.CancelCarry();
  EXPECT_EQ(p.unitCount(), 0u);
  ExpectStrengthMatchesTheBoard();
}

TEST_F(Editing, anEmptiedSourceCannotBeReducedBelowZero) {
  p.PlacePiece(BandX(3), kBandY, 1, 3, kNoModifiers);
  p.PickUp(BandX(3), kBandY, kNoModifiers);
  EXPECT_FALSE(p.RemoveAt(BandX(3), kBandY, kNoModifiers));
  EXPECT_EQ(p.unit(0).count, 0);
}

TEST_F(Editing, undoTakesBackEachKindOfEdit) {
  p.PlacePiece(BandX(3), kBandY, 1, 3, kCtrl);
  p.PlacePiece(BandX(3), kBandY, 1, 3, kShift);
  p.UndoLast();
  EXPECT_EQ(p.unit(0).count, 10) << "undo of an addition to a stack takes those pieces";
  EXPECT_EQ(p.unit(0).labelText(), "10");

  p.RemoveAt(BandX(3), kBandY, kShift);
  p.UndoLast();
  EXPECT_EQ(p.unit(0).count, 10) << "undo of a removal puts them back";

  p.PickUp(BandX(3), kBandY, kShift | kCtrl);
  p.Drop(BandX(4), kBandY);
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
  p.PlacePiece(BandX(3), kBandY, 1, 3, kShift);
  p.PickUp(BandX(3), kBandY, kShift | kCtrl);
  p.Drop(BandX(4), kBandY);
  p.RemoveUnit(&p.unit(0));  // taken away without a record
  p.UndoLast();
  ASSERT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).x, BandX(3));
  EXPECT_EQ(p.unit(0).count, 5);
}

// Undo acts on the stack its edit touched while that stack is there: an Inf placed, then a
// Tank beside it, and the undo takes the Tank. Only a stack that went is looked for by place,
// and then the first stack near the place loses the pieces, whatever its kind.
TEST_F(Editing, undoActsOnTheStackItsEditTouchedAndSearchesByPlaceOnlyWhereItWent) {
  p.PlacePiece(BandX(3), kBandY, 1, 3, kNoModifiers);      // Inf, first in the list
  p.PlacePiece(BandX(3) + 3, kBandY, 2, 3, kNoModifiers);  // a Tank 3 pixels beside it
  p.UndoLast();
  ASSERT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).pieceType, 1) << "the Tank goes, the Inf stays";
  p.RemoveAt(BandX(3), kBandY, kNoModifiers);
  p.PlacePiece(BandX(3) + 3, kBandY, 3, 5, kShift);  // ships
  p.PlacePiece(BandX(3), kBandY, 1, 3, kNoModifiers);
  p.UndoLast();
  ASSERT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).count, 5) << "the ships near the Inf keep their pieces";
  p.PlacePiece(BandX(3), kBandY, 1, 3, kNoModifiers);
  p.RemoveUnit(&p.unit(1));  // the Inf taken away without a record
  p.UndoLast();
  ASSERT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).count, 4) << "its stack gone, the first stack near the place loses it";
  ExpectStrengthMatchesTheBoard();
}

// A stack that an undo makes again stands for the one that went: the undo of the edit that made
// the first one takes it, not the ships that lie nearer the place in the list.
TEST_F(Editing, anUndoFollowsAStackThatAnEarlierUndoMadeAgain) {
  p.PlacePiece(BandX(3) + 3, kBandY, 3, 5, kShift);  // ships, first in the list
  p.PlacePiece(BandX(3), kBandY, 1, 3, kNoModifiers);
  ASSERT_TRUE(p.PickUp(BandX(3) - 5, kBandY, kShift | kCtrl));  // the Inf, out of the ships' reach
  ASSERT_TRUE(p.Drop(BandX(4), kBandY));
  p.UndoLast();  // the Inf comes back as a stack of its own
  p.UndoLast();  // and its placing is taken back
  ASSERT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).count, 5) << "the ships keep every piece";
  ExpectStrengthMatchesTheBoard();
}

TEST_F(Editing, redoGivesBackTheBoardTheUndoTookEvenWhereUndoHitAnotherStack) {
  p.PlacePiece(BandX(3) + 3, kBandY, 3, 5, kShift);
  p.RemoveAt(BandX(3) + 3, kBandY, kNoModifiers);
  p.PlacePiece(BandX(3), kBandY, 1, 3, kNoModifiers);
  p.PlacePiece(BandX(2), kBandY, 0, 1, kNoModifiers);  // a marker: country 1 takes sector 2
  const auto board = EncodePositionForTest(p);
  for (int i = 0; i < 4; ++i) p.UndoLast();
  EXPECT_EQ(p.redoDepth(), 4u);
  EXPECT_EQ(p.totalOf(1).ipc, 5);
  p.MarkClean();
  for (int i = 0; i < 4; ++i) p.RedoLast();
  EXPECT_EQ(EncodePositionForTest(p), board) << "the ships the undo hit are whole again";
  EXPECT_EQ(p.totalOf(1).ipc, 8);
  EXPECT_TRUE(p.dirty());
  EXPECT_EQ(p.undoDepth(), 4u) << "redone edits can be undone again";
  ExpectStrengthMatchesTheBoard();
  p.RedoLast();  // nothing left to redo
  EXPECT_EQ(EncodePositionForTest(p), board);
}

TEST_F(Editing, aNewEditOrANewListEndsWhatCanBeRedone) {
  p.PlacePiece(BandX(3), kBandY, 1, 3, kShift);
  p.PlacePiece(BandX(1), kBandY, 1, 2, kShift);
  p.UndoLast();
  p.RemoveAt(BandX(3), kBandY, kNoModifiers);
  EXPECT_EQ(p.redoDepth(), 0u) << "a new edit";
  p.UndoLast();
  p.PickUp(BandX(3), kBandY, kShift | kCtrl);
  p.Drop(BandX(3), kBandY);  // back where it stood, as the last unit of the list now
  EXPECT_EQ(p.redoDepth(), 0u) << "a drop, even where the pieces stood";
  p.UndoLast();
  p.ReplaceUnits({});
  EXPECT_EQ(p.redoDepth(), 0u) << "a loaded list";
  p.RedoLast();
  EXPECT_EQ(p.unitCount(), 0u);
}

TEST_F(Editing, undoOfAMarkerRestoresTheIncome) {
  p.PlacePiece(BandX(2), kBandY, 0, 1, kNoModifiers);
  EXPECT_EQ(p.totalOf(1).ipc, 8);
  p.UndoLast();
  EXPECT_EQ(p.totalOf(1).ipc, 5);
  EXPECT_EQ(p.totalOf(2).ipc, 3);
  EXPECT_FALSE(observer.areas.empty());
}

// --- the board and its totals stay one: each fault here once let them part ---------------------

TEST_F(Editing, strengthInTheHandSurvivesARecomputationDuringTheCarry) {
  p.PlacePiece(BandX(3), kBandY, 2, 1, kShift);  // 5 tanks: land 25
  p.PlacePiece(BandX(4), kBandY, 0, 2, kNoModifiers);
  ASSERT_TRUE(p.PickUp(BandX(3), kBandY, kShift | kCtrl));
  p.RemoveAt(BandX(4), kBandY, kNoModifiers);  // a marker goes: everything is recomputed
  EXPECT_EQ(p.totalOf(1).land, 25) << "the tanks in the hand are still on the board";
  p.Drop(BandX(4), kBandY);
  EXPECT_EQ(p.totalOf(1).land, 25);
  ExpectStrengthMatchesTheBoard();
}

TEST_F(Editing, aRefusedDropLeavesThePositionExactlyAsBeforeThePickUp) {
  p.PlacePiece(BandX(1), kBandY, 0, 1, kNoModifiers);
  p.PlacePiece(BandX(1) + 40, kBandY, 0, 2, kNoModifiers);  // the later marker holds sector 1
  p.PlacePiece(BandX(3), kBandY, 1, 3, kCtrl);
  const std::vector<uint8_t> before = EncodePositionForTest(p);
  p.MarkClean();
  const size_t depth = p.undoDepth();
  for (unsigned mods : {kShift | kCtrl, unsigned{kShift}}) {
    for (int x : {BandX(1), BandX(3)}) {
      ASSERT_TRUE(p.PickUp(x, kBandY, mods));
      EXPECT_FALSE(p.Drop(5000, kBandY)) << "outside the grid";
      EXPECT_EQ(EncodePositionForTest(p), before) << "the same stacks in the same order";
      EXPECT_EQ(p.undoDepth(), depth);
      EXPECT_FALSE(p.dirty());
      EXPECT_EQ(p.totalOf(2).ipc, 8) << "the marker kept its place after the other";
    }
  }
}

TEST_F(Editing, aFullStackTakesOnlyWhatFitsAndRecordsThat) {
  p.ReplaceUnits({test::MakeUnit(BandX(3), kBandY, 1, 1, 65530)});
  p.RecomputeTotals();
  auto placed = p.PlacePiece(BandX(3), kBandY, 1, 1, kCtrl);
  ASSERT_TRUE(placed);
  EXPECT_EQ(placed->count, 5);
  EXPECT_EQ(p.unit(0).count, 65535);
  EXPECT_EQ(p.undoEntry(0).count, 5);
  EXPECT_EQ(p.totalOf(1).land, 3 * 65535);
  EXPECT_FALSE(p.PlacePiece(BandX(3), kBandY, 1, 1, kNoModifiers)) << "a full stack takes none";
  EXPECT_EQ(p.undoDepth(), 1u);
  p.UndoLast();
  EXPECT_EQ(p.unit(0).count, 65530) << "undo takes away only what was added";
  ExpectStrengthMatchesTheBoard();

  // A carry onto a full stack: what fits lands, the rest stays where it came from.
  p.PlacePiece(BandX(3), kBandY, 1, 1, kShift);  // 65535
  p.PlacePiece(BandX(4), kBandY, 1, 1, kCtrl);
  ASSERT_TRUE(p.PickUp(BandX(4), kBandY, kShift | kCtrl));
  EXPECT_FALSE(p.Drop(BandX(3), kBandY)) << "no room at all: refused";
  EXPECT_EQ(p.unit(1).count, 10);
  p.RemoveAt(BandX(3), kBandY, kShift);  // 65530
  ASSERT_TRUE(p.PickUp(BandX(4), kBandY, kShift | kCtrl));
  ASSERT_TRUE(p.Drop(BandX(3), kBandY));
  EXPECT_EQ(p.unit(0).count, 65535);
  EXPECT_EQ(p.unit(1).count, 5) << "the pieces that did not fit stay at their source";
  EXPECT_EQ(p.undoEntry(0).count, 5);
  ExpectStrengthMatchesTheBoard();
}

TEST_F(Editing, everyChangeOfTheBoardSetsDirtyAndNothingElseDoes) {
  p.PlacePiece(BandX(3), kBandY, 1, 1, kShift);
  p.PlacePiece(BandX(4), kBandY, 1, 1, kShift);
  auto clean = [&] { p.MarkClean(); };
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"a merge", [&] { p.PlacePiece(BandX(3), kBandY, 1, 1, kNoModifiers); }},
      {"a partial removal", [&] { p.RemoveAt(BandX(3), kBandY, kNoModifiers); }},
      {"a partial move",
       [&] { p.PickUp(BandX(3), kBandY, kNoModifiers), p.Drop(BandX(2), kBandY); }},
      {"an undo", [&] { p.UndoLast(); }},
  };
  for (const auto& [what, change] : changes) {
    clean();
    change();
    EXPECT_TRUE(p.dirty()) << what;
  }
  const std::pair<const char*, std::function<void()>> nonChanges[] = {
      {"a refused placement", [&] { p.PlacePiece(9000, kBandY, 1, 1, kNoModifiers); }},
      {"a removal where nothing stands", [&] { p.RemoveAt(BandX(2), kBandY, kNoModifiers); }},
      {"a carry put back", [&] { p.PickUp(BandX(4), kBandY, kShift), p.CancelCarry(); }},
      {"a drop back onto its stack",
       [&] { p.PickUp(BandX(4), kBandY, kNoModifiers), p.Drop(BandX(4) + 2, kBandY); }},
      {"an undo of nothing", [&] { p.ClearUndo(), p.UndoLast(); }},
  };
  for (const auto& [what, change] : nonChanges) {
    clean();
    change();
    EXPECT_FALSE(p.dirty()) << what;
  }
}

TEST_F(Editing, aRemovalThatReordersMarkersHandsTheSectorOver) {
  p.PlacePiece(BandX(3), kBandY, 1, 1, kNoModifiers);       // index 0
  p.PlacePiece(BandX(2), kBandY, 0, 6, kNoModifiers);       // index 1
  p.PlacePiece(BandX(2) + 40, kBandY, 0, 4, kNoModifiers);  // index 2: country 4 holds sector 2
  ASSERT_EQ(p.totalOf(4).ipc, 3);
  p.RemoveAt(BandX(3), kBandY, kNoModifiers);  // the last stack, a marker, moves to index 0
  EXPECT_EQ(p.unit(0).country, 4);
  EXPECT_EQ(p.totalOf(4).ipc, 0);
  EXPECT_EQ(p.totalOf(6).ipc, 3) << "country 6's marker is now the later one";
}

}  // namespace
}  // namespace mw
