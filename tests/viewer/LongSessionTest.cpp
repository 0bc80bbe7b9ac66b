// SPDX-License-Identifier: GPL-3.0-or-later
// Long random sessions of user events on the Isles of Tess: after every event the totals, the
// list and the flag of unsaved changes must agree with the board, whatever came before.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "PositionFile.h"
#include "Replay.h"
#include "TempDir.h"

namespace mw {
namespace {

const std::filesystem::path kProgramDir = MAP_PACKAGES_DIR;

// The income that a position with the same stacks and the same map earns, computed afresh.
CountryTotals IncomeFromScratch(const Position& p) {
  Position fresh;
  std::vector<Unit> stacks;
  for (size_t i = 0; i < p.unitCount(); ++i) stacks.push_back(p.unit(i));
  fresh.ReplaceUnits(stacks);
  fresh.SetPieceTable(p.pieces());
  fresh.SetAlliances(p.alliances());
  if (p.sectorTable()) fresh.SetSectorTable(*p.sectorTable());
  fresh.RecomputeTotals();
  return fresh.totals();
}

// What the pieces on the board and in the hand are worth, counted here stack by stack.
void AddWorth(const Position& p, const Unit& u, CountryTotals& t) {
  if (u.sector >= kSectorSlots) return;
  const PieceKind& kind = p.pieces()[u.pieceType];
  const int64_t worth = int64_t{kind.value} * u.count;
  if (kind.category == 0) t[u.country].land += worth;
  if (kind.category == 1) t[u.country].naval += worth;
}

// The first broken rule of the board, or nothing; `lastClean` empty leaves `dirty` unchecked.
std::string BrokenRule(const Position& p, const std::vector<uint8_t>& lastClean) {
  CountryTotals strength{};
  for (size_t i = 0; i < p.unitCount(); ++i) {
    const Unit& u = p.unit(i);
    if (u.slot != i) return "stack " + std::to_string(i) + " has slot " + std::to_string(u.slot);
    const bool source = p.carrying() && p.Resolve(p.hand().source) == &u;
    if (u.count == 0 && !source) return "stack " + std::to_string(i) + " holds no piece";
    AddWorth(p, u, strength);
  }
  if (p.carrying()) AddWorth(p, p.hand().carried, strength);
  if (std::string index = p.CheckIndex(); !index.empty()) return "the index of the units: " + index;
  const CountryTotals income = IncomeFromScratch(p);
  for (int c = 0; c < kCountrySlots; ++c) {
    const CountryTotal& kept = p.totalOf(c);
    const std::string who = "country " + std::to_string(c) + ": ";
    if (kept.land != strength[c].land || kept.naval != strength[c].naval)
      return who + "Land/Naval " + std::to_string(kept.land) + "/" + std::to_string(kept.naval) +
             " but the board holds " + std::to_string(strength[c].land) + "/" +
             std::to_string(strength[c].naval);
    if (kept.ipc != income[c].ipc || kept.convoy != income[c].convoy || kept.oil != income[c].oil)
      return who + "IPC/Convoy/Oil " + std::to_string(kept.ipc) + "/" +
             std::to_string(kept.convoy) + "/" + std::to_string(kept.oil) + " but from scratch " +
             std::to_string(income[c].ipc) + "/" + std::to_string(income[c].convoy) + "/" +
             std::to_string(income[c].oil);
  }
  // Unsaved exactly while the board differs from the one last saved, undos back to it included.
  if (!lastClean.empty() && !p.carrying() && p.dirty() == (EncodePosition(p, false) == lastClean))
    return p.dirty() ? "the board is the last saved one, but dirty is set"
                     : "the board differs from the last saved one, but dirty is clear";
  return {};
}

// Where what the map area shows differs from what it should show, or nothing.
std::string StaleScreen(const Replay& replay) {
  const QImage shown = replay.screen(), fresh = replay.freshScreen();
  if (shown.size() != fresh.size()) return "the map area has the wrong size";
  if (shown == fresh) return {};
  int wrong = 0;
  QRect where;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x)
      if (shown.pixel(x, y) != fresh.pixel(x, y)) ++wrong, where |= QRect(x, y, 1, 1);
  return std::to_string(wrong) + " pixels of the map area are stale, within (" +
         std::to_string(where.left()) + ", " + std::to_string(where.top()) + ") to (" +
         std::to_string(where.right()) + ", " + std::to_string(where.bottom()) + ")";
}

// Makes the lines of a session: mostly edits near the stacks, sometimes outside the map, with
// every modifier, mode key, undo, redo and save mixed in.
class SessionMaker {
 public:
  SessionMaker(unsigned seed, const Viewer& viewer) : random_(seed), viewer_(viewer) {}

  std::string Next() {
    const int roll = Pick(0, 99);
    if (roll < 8) return "palette " + PaletteCell();
    if (roll < 38) {
      const std::string at = Point();
      return "press left " + at + Modifiers(true);
    }
    if (roll < 58) return "release left " + Point();
    if (roll < 70) {
      const std::string at = Point();
      return "press middle " + at + Modifiers(true);
    }
    if (roll < 74) return "key D";
    if (roll < 76) return "key E";
    if (roll < 81) return "key Escape";
    if (roll < 82) return "palette-escape";
    if (roll < 85) return Pick(0, 1) ? "command 134" : "key Z ctrl";
    if (roll < 88) return Pick(0, 1) ? "command 135" : "key Y ctrl";
    if (roll < 90) return "command 102";
    if (roll < 91) return Pick(0, 1) ? "key KP_Add" : "key KP_Subtract";
    if (roll < 92) {
      const std::string at = Point();
      return "wheel " + at + (Pick(0, 1) ? " 0 120 ctrl" : " 0 -120 ctrl");
    }
    if (roll < 94) {
      const std::string at = Point();
      const int dx = Pick(-200, 200), dy = Pick(-200, 200);
      return "wheel " + at + " " + std::to_string(dx) + " " + std::to_string(dy);
    }
    if (roll < 95) return "command 107";  // the income labels on or off, for the label moves
    return "move " + Point();
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  std::string Modifiers(bool any) {
    static const char* const kSets[] = {"", " shift", " ctrl", " shift ctrl"};
    return any ? kSets[Pick(0, 3)] : "";
  }

  std::string PaletteCell() {
    const MapState& m = viewer_.map();
    // Mostly markers and the engineer, the pieces that move income.
    const int roll = Pick(0, 9);
    const int column = roll < 3 ? 0 : roll < 5 ? 6 : Pick(0, 13);
    // One pick after the other, in this order whatever the compiler.
    const int x = column * m.pieceCellWidth + Pick(0, m.pieceCellWidth - 1);
    const int row = Pick(0, 7);
    const int y = row * m.pieceCellHeight + Pick(0, m.pieceCellHeight - 1);
    return std::to_string(x) + " " + std::to_string(y);
  }

  std::string Point() {
    const Position& p = viewer_.position();
    QPoint map;
    const int roll = Pick(0, 99);
    if (roll < 65 && p.unitCount() > 0) {
      const Unit& u = p.unit(static_cast<size_t>(Pick(0, static_cast<int>(p.unitCount()) - 1)));
      const int dx = Pick(-16, 16), dy = Pick(-11, 11);
      map = QPoint(u.x + dx, u.y + dy);
    } else if (roll < 95) {
      const int x = Pick(0, 1199), y = Pick(0, 799);
      map = QPoint(x, y);
    } else {
      const int x = Pick(1200, 1300), y = Pick(0, 900);  // beyond the map
      map = QPoint(x, y);
    }
    const QPoint c = viewer_.view().MapToClient(map);
    return std::to_string(std::clamp(c.x(), 0, 65535)) + " " +
           std::to_string(std::clamp(c.y(), 0, 65535));
  }

  std::mt19937 random_;
  const Viewer& viewer_;
};

// Runs script lines on the Isles of Tess and returns the viewer's position after them.
class TessScenario : public ::testing::Test {
 protected:
  TessScenario() { EXPECT_TRUE(replay.Start({})); }
  void Run(const std::string& script) {
    auto lines = ParseReplayScript(script);
    ASSERT_TRUE(lines) << lines.error();
    for (const ReplayLine& line : *lines) replay.Run(line);
  }
  const Position& position() { return replay.viewer().position(); }
  // A point well inside a sector: its label point, and `dx` pixels to the right of it.
  std::string PointIn(const std::string& name, int dx = 0) {
    const SectorTable& table = *position().sectorTable();
    for (int n = 1; n < kSectorSlots; ++n)
      if (table[n].name() == name)
        return std::to_string(table[n].labelX() + dx) + " " +
               std::to_string(table[n].labelY() + 12);
    ADD_FAILURE() << "no sector " << name;
    return "0 0";
  }
  std::ostringstream printed;
  Replay replay{kProgramDir, printed};
};

TEST_F(TessScenario, movingTheOnlyEngineerOfAMineKeepsLandTrueToTheBoard) {
  const int64_t before = position().totalOf(4).land;
  Run("press left 607 416\nrelease left 560 380\n");
  EXPECT_EQ(position().totalOf(4).land, before) << "one engineer moved, none lost or doubled";
  EXPECT_EQ(BrokenRule(position(), {}), "");
}

TEST_F(TessScenario, undoAndRedoOfAWholeStackMovedLeaveNoGhostOnTheScreen) {
  // The 4 Inf of Valdhaven into Sorrow Downs, back and again.
  Run("press left 128 301 shift ctrl\nrelease left 119 383\nkey Z ctrl\n");
  EXPECT_EQ(StaleScreen(replay), "") << "after the undo";
  Run("key Y ctrl\n");
  EXPECT_EQ(StaleScreen(replay), "") << "after the redo";
  Run("command 107\nkey E\npress left " + PointIn("Greyspire", 6) + "\n");
  EXPECT_EQ(StaleScreen(replay), "") << "after a label moved";
  // A carried count of three digits follows the mouse whole.
  std::string stack = "palette 2 35\n";
  for (int i = 0; i < 12; ++i) stack += "press left 600 200 ctrl\n";
  Run(stack + "key Escape\npress left 600 200 shift ctrl\nmove 600 200\nmove 640 230\n");
  EXPECT_EQ(StaleScreen(replay), "") << "while carrying 120 pieces";
}

TEST_F(TessScenario, aRemovalThatMovesAMarkerForwardHandsGreyspireOver) {
  // Country 6's marker and then country 4's in Greyspire: the later, country 4's, holds it.
  Run("palette 2 55\npress left " + PointIn("Greyspire") + "\n" + "palette 2 35\npress left " +
      PointIn("Greyspire", 20) + "\n" + "key Escape\npress middle 101 301 shift ctrl\n");
  EXPECT_EQ(position().totalOf(4).ipc, 19);
  EXPECT_EQ(position().totalOf(6).ipc, 16) << "country 6's marker is the later one now";
  EXPECT_EQ(BrokenRule(position(), {}), "");
}

class LongSession : public ::testing::TestWithParam<unsigned> {};

TEST_P(LongSession, keepsTotalsListAndDirtyTrueToTheBoardAfterEveryEvent) {
  constexpr int kSteps = 3000;
  test::TempDir dir;
  std::ostringstream printed;
  Replay replay(kProgramDir, printed);
  ASSERT_TRUE(replay.Start({}));
  const Position& p = replay.viewer().position();
  std::vector<uint8_t> lastClean = EncodePosition(p, false);
  // A small map area, so that scrolling matters and each look at it stays cheap.
  std::string script = "dialog " + (dir / "session.QPX").string() + "\nresize 480 320\n";
  const auto opening = ParseReplayScript(script);
  for (const ReplayLine& line : *opening) replay.Run(line);

  // The board is taken as turn 1 of a game: its moves lead from it, whatever undo and redo do.
  replay.viewer().board().StartJournal(1);
  const std::vector<uint8_t> base = EncodePosition(p, false);
  SessionMaker maker(GetParam(), replay.viewer());
  for (int step = 0; step < kSteps; ++step) {
    const std::string line = maker.Next();
    script += line + "\n";
    auto parsed = ParseReplayLine(line);
    ASSERT_TRUE(parsed && *parsed) << line;
    replay.Run(**parsed);
    if (line == "command 102") lastClean = EncodePosition(p, false);
    std::string broken = BrokenRule(p, lastClean);
    if (broken.empty()) broken = StaleScreen(replay);
    // The moves kept lead from the turn to the board, byte for byte.
    if (broken.empty() && step % 10 == 9 && !p.carrying()) {
      const auto journal = replay.viewer().board().MovesSinceTurn();
      Position replayed;
      LoadPositionBytes(replayed, base);
      TakeMapOf(replayed, p);
      for (size_t m = 0; journal && m < journal->moves.size() && broken.empty(); ++m)
        if (!replayed.ApplyMove(journal->moves[m]))
          broken = "move " + std::to_string(m + 1) + " cannot be made again";
      if (!journal)
        broken = "the moves since the turn are lost";
      else if (broken.empty() && EncodePosition(replayed, false) != EncodePosition(p, false))
        broken = "the " + std::to_string(journal->moves.size()) + " moves lead to another board";
    }
    // Now and then a few undos and as many redos must give back the very same board.
    if (broken.empty() && step % 50 == 49 && !p.carrying()) {
      const std::vector<uint8_t> board = EncodePosition(p, false);
      // As many redos as undos that took something back: an undo with nothing to take back
      // leaves what the session undid before to be redone.
      const size_t waiting = p.redoDepth();
      const int depth = 1 + step % 4;
      for (int i = 0; i < depth; ++i) {
        replay.Run(**ParseReplayLine("command 134"));
        script += "command 134\n";
      }
      while (p.redoDepth() > waiting) {
        replay.Run(**ParseReplayLine("command 135"));
        script += "command 135\n";
      }
      if (EncodePosition(p, false) != board)
        broken = std::to_string(depth) + " undos and redos did not give the board back";
    }
    if (!broken.empty()) {
      const auto path = std::filesystem::path(::testing::TempDir()) /
                        ("session-" + std::to_string(GetParam()) + ".txt");
      std::ofstream(path) << script;
      FAIL() << "after step " << step << " (" << line << "): " << broken
             << "\nreplay the session with: Marrowind --replay " << path.string();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, LongSession, ::testing::Values(1u, 2u, 3u, 20261208u));

}  // namespace
}  // namespace mw
