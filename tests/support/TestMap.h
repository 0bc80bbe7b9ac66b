// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "Position.h"

namespace mw::test {

// A sector as the tests describe it; turned into the bytes of a sector record.
struct SectorSpec {
  std::string name = "S";
  uint8_t initialOwner = 0;
  uint8_t ipcValue = 0;
  uint8_t flags = 0;
  uint8_t convoy = 0;
  uint8_t dependency = 0;
  std::array<uint8_t, 8> ownerDependency{};
  std::array<uint8_t, 8> countryValues{};
  uint8_t requiredPiece = 0;
  int32_t labelX = 0;
  int32_t labelY = 0;
};

SectorRecord MakeSector(const SectorSpec& sector);

// A map of `columns` vertical bands of 100 x 100 pixels: band k (from 0) is sector k + 1, so the
// point (100 * k + 50, 50) lies in sector k + 1. The pieces are "Ctrl" (kind 0, value 0), "Inf"
// (kind 1, land 3), "Tank" (kind 2, land 5), "Ship" (kind 3, naval 8), "Odd" (kind 4, category 2).
void AttachBandMap(Position& position, const std::vector<SectorSpec>& sectors);

inline int32_t BandX(int sector) { return 100 * (sector - 1) + 50; }
inline constexpr int32_t kBandY = 50;

// Gives the position unsaved changes without changing its list: a piece placed far away and the
// placement undone. Only for positions without a grid, or with one that reaches that far.
void MakeDirtyKeepingTheList(Position& position);

Unit MakeUnit(int32_t x, int32_t y, uint8_t pieceType, uint8_t country, uint16_t count);

}  // namespace mw::test
