// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestMap.h"

namespace mw::test {

SectorRecord MakeSector(const SectorSpec& s) {
  SectorRecord r;
  auto b = r.bytes();
  std::copy(s.name.begin(), s.name.end(), b.begin() + 1);
  b[0] = static_cast<uint8_t>(s.name.size());
  r.setValue(1, uint32_t{s.ipcValue} << 16 | uint32_t{s.initialOwner} << 8);
  r.setValue(4, uint32_t{s.dependency} << 16 | uint32_t{s.convoy} << 8 | s.flags);
  for (int n = 1; n <= 8; ++n) {
    b[55 + n] = s.ownerDependency[n - 1];
    const size_t at = 64 + (n - 1) / 2;
    b[at] = static_cast<uint8_t>(b[at] | ((s.countryValues[n - 1] & 0xF) << (n % 2 ? 0 : 4)));
  }
  b[68] = s.requiredPiece;
  r.setLabelX(s.labelX);
  r.setLabelY(s.labelY);
  return r;
}

void AttachBandMap(Position& position, const std::vector<SectorSpec>& sectors) {
  const auto width = static_cast<int32_t>(100 * sectors.size());
  SectorGrid grid(width, 100);
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < width; ++x) grid.setValue(x, y, static_cast<uint16_t>(x / 100 + 1));
  position.SetSectorGrid(std::move(grid));
  SectorTable table;
  for (size_t k = 0; k < sectors.size(); ++k) table[k + 1] = MakeSector(sectors[k]);
  position.SetSectorTable(table);
  position.SetPieceTable(PieceTable::Parse("Ctrl 0 0 Inf 3 0 Tank 5 0 Ship 8 1 Odd 7 2"));
}

void MakeDirtyKeepingTheList(Position& position) {
  if (position.PlacePiece(30000, 30000, 1, 1, kNoModifiers)) position.UndoLast();
}

Unit MakeUnit(int32_t x, int32_t y, uint8_t pieceType, uint8_t country, uint16_t count) {
  Unit u;
  u.x = static_cast<uint16_t>(x);
  u.y = static_cast<uint16_t>(y);
  u.pieceType = pieceType;
  u.country = country;
  u.count = count;
  return u;
}

}  // namespace mw::test
