// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "SectorRecord.h"

namespace mapgen {

// An ellipse of land; the coast is the edge of the union of all blobs, roughened by noise.
struct Blob {
  double cx, cy, rx, ry;
};

struct Seed {
  int sector;
  double x, y;
};

struct Rgb {
  uint8_t r, g, b;
};

// What a map author writes besides the sector text: the map's size, its land as blobs, which
// sectors are sea, extra seed points that shape sectors, and the country colours.
struct Geometry {
  int width = 0;
  int height = 0;
  uint32_t noiseSeed = 1;
  std::string caption;
  std::vector<Blob> blobs;
  std::vector<int> seaSectors;
  std::vector<Seed> extraSeeds;
  std::map<int, Rgb> countryColours;
};

// Reads a geometry file; throws std::runtime_error naming the line on a fault.
Geometry ReadGeometry(const std::filesystem::path& path);

// Reads the sector text as vorn compiles it: sector n is the n-th record line.
std::vector<mw::SectorRecord> ReadSectorRecords(const std::filesystem::path& path);

}  // namespace mapgen
