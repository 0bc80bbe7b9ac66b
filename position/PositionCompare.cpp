#include "PositionCompare.h"

#include <algorithm>

namespace mw {

BoardSummary Summarize(const Position& position) {
  BoardSummary summary;
  summary.mapName = position.mapName();
  // Stacks by sector in one counting pass, then summed by country and kind within each sector
  // in a table of every (country, kind), cleared behind itself: linear in the stacks.
  const size_t n = position.unitCount();
  std::vector<uint32_t> start(kSectorSlots + 1, 0);
  std::vector<uint16_t> sectorOf(n);
  for (size_t i = 0; i < n; ++i) {
    const Unit& u = position.unit(i);
    sectorOf[i] = position.sectorRecord(u.sector) ? u.sector : 0;
    ++start[sectorOf[i] + 1];
  }
  for (size_t s = 0; s < kSectorSlots; ++s) start[s + 1] += start[s];
  std::vector<uint32_t> bySector(n);
  {
    std::vector<uint32_t> next(start.begin(), start.end() - 1);
    for (size_t i = 0; i < n; ++i) bySector[next[sectorOf[i]]++] = static_cast<uint32_t>(i);
  }
  std::vector<uint64_t> sums(1 << 16, 0);
  std::vector<uint16_t> kinds;
  for (size_t s = 0; s < kSectorSlots; ++s) {
    kinds.clear();
    for (uint32_t k = start[s]; k < start[s + 1]; ++k) {
      const Unit& u = position.unit(bySector[k]);
      const auto kind = static_cast<uint16_t>(u.country << 8 | u.pieceType);
      if (u.count == 0) continue;
      if (sums[kind] == 0) kinds.push_back(kind);
      sums[kind] += u.count;
    }
    std::sort(kinds.begin(), kinds.end());
    for (uint16_t kind : kinds) {
      summary.pieces.push_back({static_cast<uint16_t>(s), static_cast<uint8_t>(kind >> 8),
                                static_cast<uint8_t>(kind & 0xFF), sums[kind]});
      sums[kind] = 0;
    }
  }
  const SectorIncomes incomes = position.SectorIncomeBreakdown();
  for (uint32_t s = 1; s < kSectorSlots; ++s)
    if (position.sectorRecord(s)) summary.holders[s] = incomes[s].owner;
  summary.totals = position.totals();
  return summary;
}

void TakeMapOf(Position& position, const Position& map) {
  position.SetSectorGrid(map.grid() ? std::optional<SectorGrid>(*map.grid()) : std::nullopt);
  if (map.sectorTable()) position.SetSectorTable(*map.sectorTable());
  position.SetPieceTable(map.pieces());
  position.SetAlliances(map.alliances());
  position.ReassignSectors();
  position.RecomputeTotals();
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
