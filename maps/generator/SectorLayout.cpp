// SPDX-License-Identifier: GPL-3.0-or-later
#include "SectorLayout.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "Noise.h"

namespace mapgen {
namespace {

struct Site {
  int sector;
  double x, y;
  bool sea;
};

double LandField(const Geometry& g, const Noise& noise, double x, double y) {
  double field = -1;
  for (const Blob& b : g.blobs) {
    const double dx = (x - b.cx) / b.rx, dy = (y - b.cy) / b.ry;
    field = std::max(field, 1 - std::sqrt(dx * dx + dy * dy));
  }
  return field + 0.32 * (noise.Fractal(x / 90, y / 90, 1) - 0.5) +
         0.10 * (noise.Fractal(x / 22, y / 22, 2) - 0.5);
}

std::vector<Site> Sites(const Geometry& g, const std::vector<mw::SectorRecord>& records,
                        std::vector<bool>& sea) {
  sea.assign(records.size(), false);
  for (int n : g.seaSectors) {
    if (n <= 0 || static_cast<size_t>(n) >= records.size())
      throw std::runtime_error("sea sector " + std::to_string(n) + " has no record");
    sea[n] = true;
  }
  std::vector<Site> sites;
  for (size_t n = 1; n < records.size(); ++n)
    sites.push_back({static_cast<int>(n), SeedX(records[n]), SeedY(records[n]), sea[n]});
  for (const Seed& s : g.extraSeeds) {
    if (s.sector <= 0 || static_cast<size_t>(s.sector) >= records.size())
      throw std::runtime_error("seed of sector " + std::to_string(s.sector) + " has no record");
    sites.push_back({s.sector, s.x, s.y, sea[s.sector]});
  }
  return sites;
}

// The sector of pixel (x, y): the site whose core holds it, else the nearest site of the pixel's
// kind after the warp.
int Assign(const std::vector<Site>& sites, bool seaPixel, double x, double y, double wx,
           double wy) {
  constexpr double core2 = SectorLayout::kCoreRadius * SectorLayout::kCoreRadius;
  int best = 0;
  double bestDistance = std::numeric_limits<double>::max();
  for (const Site& s : sites) {
    const double cdx = x - s.x, cdy = y - s.y;
    if (cdx * cdx + cdy * cdy <= core2) return s.sector;
    if (s.sea != seaPixel) continue;
    const double dx = wx - s.x, dy = wy - s.y, d = dx * dx + dy * dy;
    if (d < bestDistance) {
      bestDistance = d;
      best = s.sector;
    }
  }
  return best;
}

// Marks each pixel as sea or land. Water enclosed by land becomes land and specks of land
// become sea, so that no sector is scattered in small pieces over the map.
std::vector<bool> SeaMask(const Geometry& g, const Noise& noise) {
  const int w = g.width, h = g.height;
  std::vector<bool> sea(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      sea[static_cast<size_t>(y) * w + x] = LandField(g, noise, x, y) <= 0;
  std::vector<int> component(sea.size(), -1);
  std::vector<size_t> stack;
  for (size_t start = 0; start < sea.size(); ++start) {
    if (component[start] >= 0) continue;
    const bool kind = sea[start];
    std::vector<size_t> members;
    bool touchesEdge = false;
    stack.push_back(start);
    component[start] = 1;
    while (!stack.empty()) {
      const size_t i = stack.back();
      stack.pop_back();
      members.push_back(i);
      const int x = static_cast<int>(i % w), y = static_cast<int>(i / w);
      touchesEdge |= x == 0 || y == 0 || x == w - 1 || y == h - 1;
      for (auto [nx, ny] : {std::pair{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}}) {
        if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
        const size_t j = static_cast<size_t>(ny) * w + nx;
        if (component[j] < 0 && sea[j] == kind) {
          component[j] = 1;
          stack.push_back(j);
        }
      }
    }
    const bool lake = kind && !touchesEdge;
    const bool speck = !kind && members.size() < 400;
    if (lake || speck)
      for (size_t i : members) sea[i] = !kind;
  }
  return sea;
}

}  // namespace

SectorLayout LayOutSectors(const Geometry& g, const std::vector<mw::SectorRecord>& records) {
  SectorLayout layout;
  const std::vector<Site> sites = Sites(g, records, layout.sea);
  const Noise noise(g.noiseSeed);
  std::string misplaced;
  for (const Site& s : sites) {
    const bool landThere = LandField(g, noise, s.x, s.y) > 0;
    if (landThere == s.sea)
      misplaced += "\n  the seed of sector " + std::to_string(s.sector) + " (" +
                   records[s.sector].name() + ") at " + std::to_string(int(s.x)) + "," +
                   std::to_string(int(s.y)) + " lies " + (s.sea ? "on land" : "in the sea");
  }
  if (!misplaced.empty()) throw std::runtime_error("misplaced seeds:" + misplaced);
  layout.grid = mw::SectorGrid(g.width, g.height);
  const std::vector<bool> sea = SeaMask(g, noise);
  for (int y = 0; y < g.height; ++y) {
    for (int x = 0; x < g.width; ++x) {
      const bool seaPixel = sea[static_cast<size_t>(y) * g.width + x];
      const double wx = x + 34 * (noise.Fractal(x / 75.0, y / 75.0, 5) - 0.5);
      const double wy = y + 34 * (noise.Fractal(x / 75.0, y / 75.0, 6) - 0.5);
      layout.grid.setValue(x, y, static_cast<uint16_t>(Assign(sites, seaPixel, x, y, wx, wy)));
    }
  }
  for (size_t n = 1; n < records.size(); ++n) {
    const auto& r = records[n];
    if (layout.grid.sectorAt(r.labelX(), r.labelY()) != n)
      throw std::runtime_error("the label point of sector " + std::to_string(n) + " (" + r.name() +
                               ") lies outside it; move its seed away from its neighbours");
  }
  return layout;
}

}  // namespace mapgen
