// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "Geometry.h"
#include "SectorGrid.h"

namespace mapgen {

// Which sector every pixel belongs to: land pixels go to the nearest land seed and sea pixels to
// the nearest sea seed, measured after a noisy warp so that borders wander. Every pixel within
// kCoreRadius of a seed belongs to it, so a sector's label point always lies in the sector.
struct SectorLayout {
  static constexpr double kCoreRadius = 22;

  mw::SectorGrid grid;
  std::vector<bool> sea;  // by sector number
};

// The seed of a sector lies just below-right of its label point: the income label stands above
// it, the name below.
inline double SeedX(const mw::SectorRecord& r) { return r.labelX() + 5; }
inline double SeedY(const mw::SectorRecord& r) { return r.labelY() + 12; }

// Throws std::runtime_error when a seed lies on the wrong side of the coast or a label point
// ends up outside its own sector.
SectorLayout LayOutSectors(const Geometry& geometry, const std::vector<mw::SectorRecord>& records);

}  // namespace mapgen
