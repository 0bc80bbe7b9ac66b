// SPDX-License-Identifier: GPL-3.0-or-later
#include "PositionCompare.h"

#include <algorithm>

namespace mw {

BoardSummary Summarize(const Position& position) {
  BoardSummary summary;
  summary.mapName = position.mapName();
  // Each (country, kind) on the board gets a dense number in one pass; a second sums the pieces
  // into a table of sectors by those numbers; the table is read out in sector, country and kind
  // order. Linear in the stacks, with no sort of them.
  const size_t n = position.unitCount();
  const bool hand = position.carrying();
  const auto stack = [&](size_t i) -> const Unit& {
    return i < n ? position.unit(i) : position.hand().carried;
  };
  const size_t stacks = n + (hand ? 1 : 0);
  std::vector<uint16_t> dense(1 << 16, UINT16_MAX);
  std::vector<uint16_t> kinds;  // by dense number: country << 8 | kind
  for (size_t i = 0; i < stacks; ++i) {
    const Unit& u = stack(i);
    const auto kind = static_cast<uint16_t>(u.country << 8 | u.pieceType);
    if (dense[kind] == UINT16_MAX) {
      dense[kind] = static_cast<uint16_t>(kinds.size());
      kinds.push_back(kind);
    }
  }
  const size_t width = kinds.size();
  std::vector<uint64_t> sums(kSectorSlots * width, 0);
  for (size_t i = 0; i < stacks; ++i) {
    const Unit& u = stack(i);
    const size_t sector = SummarySector(position, u);
    sums[sector * width + dense[static_cast<uint16_t>(u.country << 8 | u.pieceType)]] += u.count;
  }
  std::vector<uint16_t> order(width);
  for (size_t k = 0; k < width; ++k) order[k] = static_cast<uint16_t>(k);
  std::sort(order.begin(), order.end(),
            [&](uint16_t a, uint16_t b) { return kinds[a] < kinds[b]; });
  summary.pieces.reserve(static_cast<size_t>(
      std::count_if(sums.begin(), sums.end(), [](uint64_t sum) { return sum != 0; })));
  for (size_t sector = 0; sector < kSectorSlots; ++sector)
    for (uint16_t k : order)
      if (const uint64_t count = sums[sector * width + k])
        summary.pieces.push_back({static_cast<uint16_t>(sector),
                                  static_cast<uint8_t>(kinds[k] >> 8),
                                  static_cast<uint8_t>(kinds[k] & 0xFF), count});
  const SectorIncomes incomes = position.SectorIncomeBreakdown();
  for (uint32_t s = 1; s < kSectorSlots; ++s)
    if (position.sectorRecord(s)) summary.holders[s] = incomes[s].owner;
  summary.totals = position.totals();
  return summary;
}

void TakeMapOf(Position& position, const Position& map) {
  position.ShareSectorGrid(map.sharedGrid());
  if (map.sectorTable()) position.SetSectorTable(*map.sectorTable());
  position.SetPieceTable(map.pieces());
  position.SetAlliances(map.alliances());
  position.SetCountryNames(map.countryNames());
  position.SettleOnMap();
}

const char* TotalName(BoardDifference::Total total) {
  switch (total) {
    case BoardDifference::Total::kIpc:
      return "IPC";
    case BoardDifference::Total::kConvoy:
      return "Convoy";
    case BoardDifference::Total::kOil:
      return "Oil";
    case BoardDifference::Total::kLand:
      return "Land";
    case BoardDifference::Total::kNaval:
      return "Naval";
  }
  return "";
}

std::vector<BoardDifference> CompareBoards(const BoardSummary& before, const BoardSummary& after) {
  using D = BoardDifference;
  std::vector<D> out;
  // Both piece lists are sorted by key: one merge.
  const auto& a = before.pieces;
  const auto& b = after.pieces;
  for (size_t i = 0, j = 0; i < a.size() || j < b.size();) {
    const bool takeA = j == b.size() || (i < a.size() && a[i].key() <= b[j].key());
    const bool takeB = i == a.size() || (j < b.size() && b[j].key() <= a[i].key());
    const BoardSummary::Pieces& p = takeA ? a[i] : b[j];
    const uint64_t was = takeA ? a[i].count : 0, is = takeB ? b[j].count : 0;
    if (was != is)
      out.push_back({D::Kind::kPieces, p.sector, p.country, p.pieceType, D::Total::kIpc,
                     static_cast<int64_t>(was), static_cast<int64_t>(is)});
    i += takeA;
    j += takeB;
  }
  for (uint16_t s = 1; s < kSectorSlots; ++s)
    if (before.holders[s] != after.holders[s])
      out.push_back(
          {D::Kind::kHolder, s, 0, 0, D::Total::kIpc, before.holders[s], after.holders[s]});
  for (uint16_t c = 0; c < kCountrySlots; ++c) {
    const CountryTotal& was = before.totals[c];
    const CountryTotal& is = after.totals[c];
    const std::pair<D::Total, int64_t CountryTotal::*> figures[] = {
        {D::Total::kIpc, &CountryTotal::ipc},
        {D::Total::kConvoy, &CountryTotal::convoy},
        {D::Total::kOil, &CountryTotal::oil},
        {D::Total::kLand, &CountryTotal::land},
        {D::Total::kNaval, &CountryTotal::naval}};
    for (const auto& [total, field] : figures)
      if (was.*field != is.*field)
        out.push_back({D::Kind::kTotal, 0, c, 0, total, was.*field, is.*field});
  }
  return out;
}

}  // namespace mw
