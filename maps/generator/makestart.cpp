// SPDX-License-Identifier: GPL-3.0-or-later
// makestart: builds the start position of a map package from its author's list of stacks
// ("sector piece country count" per line). Each stack is set down inside its sector, below the
// sector's name, apart from the other stacks there, so that every stack can be told apart.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "PieceTable.h"
#include "Position.h"
#include "PositionFile.h"
#include "SectorGrid.h"
#include "SectorTable.h"

namespace {

struct Sources {
  mw::SectorGrid grid;
  mw::SectorTable sectors;
  mw::PieceTable pieces;
};

bool Free(const mw::Position& position, int x, int y) {
  for (size_t i = 0; i < position.unitCount(); ++i) {
    const mw::Unit& u = position.unit(i);
    if (std::abs(u.x - x) <= 16 && std::abs(u.y - y) <= 11) return false;
  }
  return true;
}

// A point of `sector` for a new stack: first in rows below the name, then anywhere nearby.
std::pair<int, int> PlaceFor(const Sources& s, const mw::Position& position, int sector) {
  const auto& r = s.sectors[sector];
  const int cx = r.labelX() + 5, cy = r.labelY() + 12;
  auto fits = [&](int x, int y) {
    for (int dy = -7; dy <= 7; dy += 7)
      for (int dx = -10; dx <= 22; dx += 8)
        if (s.grid.sectorAt(x + dx, y + dy) != sector) return false;
    // Keep clear of the income label above the seed and of the name painted below it.
    const bool onLabelOrName = std::abs(x - cx) < 44 && y + 7 > cy - 14 && y - 7 < cy + 16;
    return !onLabelOrName && Free(position, x, y);
  };
  for (int row : {26, 42, -28, 58, -44})
    for (int dx : {-8, 18, -34, 44, -60})
      if (fits(cx + dx, cy + row)) return {cx + dx, cy + row};
  for (int radius = 8; radius < 200; radius += 4)
    for (int step = 0; step < 64; ++step) {
      const double a = step * 2 * M_PI / 64;
      const int x = cx + static_cast<int>(std::lround(radius * std::cos(a)));
      const int y = cy + static_cast<int>(std::lround(radius * std::sin(a)));
      if (fits(x, y)) return {x, y};
    }
  throw std::runtime_error("no room for another stack in sector " + std::to_string(sector));
}

int KindOf(const mw::PieceTable& pieces, const std::string& name) {
  for (int k = 0; k < mw::PieceTable::kKinds; ++k)
    if (pieces[k].name == name) return k;
  throw std::runtime_error("no piece kind named " + name);
}

void AddStacks(const Sources& s, mw::Position& position, const char* listPath) {
  std::ifstream in(listPath);
  if (!in) throw std::runtime_error(std::string(listPath) + ": cannot open");
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    int sector = 0, country = 0, count = 0;
    std::string piece;
    if (!(words >> sector >> piece >> country >> count) ||
        !s.sectors[sector < 512 ? sector : 0].hasName())
      throw std::runtime_error(std::string(listPath) + ": line " + std::to_string(number) + ": " +
                               line);
    auto [x, y] = PlaceFor(s, position, sector);
    mw::Unit rec;
    rec.x = static_cast<uint16_t>(x);
    rec.y = static_cast<uint16_t>(y);
    rec.pieceType = static_cast<uint8_t>(KindOf(s.pieces, piece));
    rec.country = static_cast<uint8_t>(country);
    rec.count = static_cast<uint16_t>(count);
    position.AddUnit(rec);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr,
                 "usage: makestart <SektorInfo.map> <SektorInfo.sek> <ToolPieces.txt> <map name> "
                 "<stack list> <Start.QPX>\n");
    return 1;
  }
  try {
    auto grid = mw::ReadSectorGrid(argv[1]);
    if (!grid) throw std::runtime_error(grid.error());
    auto sectors = mw::ReadSectorTable(argv[2]);
    if (!sectors) throw std::runtime_error(sectors.error());
    auto pieces = mw::ReadPieceTable(argv[3]);
    if (!pieces) throw std::runtime_error(pieces.error());
    const Sources s{*grid, *sectors, *pieces};
    mw::Position position;
    position.SetSectorGrid(s.grid);
    position.header().setMapName(argv[4]);
    AddStacks(s, position, argv[5]);
    if (auto outcome = mw::SavePosition(position, argv[6]); !outcome)
      throw std::runtime_error(outcome.error());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return 2;
  }
  return 0;
}
