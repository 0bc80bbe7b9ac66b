// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "CountryTotals.h"
#include "LargeMemory.h"
#include "Position.h"

namespace mw {

// What a player reads off a board, without the order of its list or where a stack stands within
// its sector: the pieces of each sector, country and kind, who holds each sector, and each
// country's totals. Two positions of one map are compared through it.
struct BoardSummary {
  // Pieces summed by sector, country and kind, in that order; no zero counts. Stacks in no
  // sector, outside the grid or in a sector without a record count under sector 0.
  struct Pieces {
    uint16_t sector = 0;
    uint8_t country = 0;
    uint8_t pieceType = 0;
    uint64_t count = 0;
    uint32_t key() const { return uint32_t{sector} << 16 | uint32_t{country} << 8 | pieceType; }
  };
  std::string mapName;
  LargeVector<Pieces> pieces;
  // Who holds each sector with a record, as the totals count it (0 for nobody); 0 elsewhere.
  std::array<int32_t, kSectorSlots> holders{};
  CountryTotals totals{};
};

// The summary of a board; pieces in the hand count where they were picked up.
BoardSummary Summarize(const Position& position);

// The sector a stack counts under in a summary: its own where it has a record, else 0.
inline uint16_t SummarySector(const Position& position, const Unit& unit) {
  return position.sectorRecord(unit.sector) ? unit.sector : 0;
}
// The key of a stack's (sector, country, kind) as `BoardSummary::Pieces::key` gives it.
inline uint32_t SummaryKey(const Position& position, const Unit& unit) {
  return uint32_t{SummarySector(position, unit)} << 16 | uint32_t{unit.country} << 8 |
         unit.pieceType;
}

// Gives `position` the map context of `map` (its sector grid, shared and not copied, its sector
// table, pieces and alliances), places its stacks in their sectors and counts its totals again:
// a position file read beside a board of the same map, without reading the map package again.
void TakeMapOf(Position& position, const Position& map);

// One difference between two boards, in the order a report lists them: pieces by sector,
// country and kind, then holders by sector, then totals by country and kind of total.
struct BoardDifference {
  enum class Kind { kPieces, kHolder, kTotal };
  enum class Total { kIpc, kConvoy, kOil, kLand, kNaval };
  Kind kind = Kind::kPieces;
  uint16_t sector = 0;    // pieces and holder
  uint16_t country = 0;   // pieces and totals
  uint8_t pieceType = 0;  // pieces
  Total total = Total::kIpc;
  int64_t before = 0, after = 0;
};

// The name of a kind of total as the reports head it: "IPC", "Convoy", "Oil", "Land", "Naval".
const char* TotalName(BoardDifference::Total total);

// What changed from `before` to `after` (boards of the same map).
std::vector<BoardDifference> CompareBoards(const BoardSummary& before, const BoardSummary& after);

}  // namespace mw
