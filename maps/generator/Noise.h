// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>

namespace mapgen {

// Deterministic value noise: the same seed and point give the same value on every machine.
class Noise {
 public:
  explicit Noise(uint32_t seed) : seed_(seed) {}

  // Smooth noise in [0, 1) at (x, y) in lattice units.
  double At(double x, double y, uint32_t channel = 0) const {
    const double fx = std::floor(x), fy = std::floor(y);
    const auto ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    const double tx = Fade(x - fx), ty = Fade(y - fy);
    const double a = Lattice(ix, iy, channel), b = Lattice(ix + 1, iy, channel);
    const double c = Lattice(ix, iy + 1, channel), d = Lattice(ix + 1, iy + 1, channel);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
  }

  // Three octaves, in [0, 1).
  double Fractal(double x, double y, uint32_t channel = 0) const {
    return (At(x, y, channel) * 4 + At(2 * x, 2 * y, channel + 17) * 2 +
            At(4 * x, 4 * y, channel + 29)) /
           7.0;
  }

  uint32_t Hash(int32_t x, int32_t y, uint32_t channel) const {
    uint32_t h = seed_ * 0x9E3779B1u ^ static_cast<uint32_t>(x) * 0x85EBCA77u ^
                 static_cast<uint32_t>(y) * 0xC2B2AE3Du ^ channel * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
  }

 private:
  static double Fade(double t) { return t * t * (3 - 2 * t); }
  double Lattice(int32_t x, int32_t y, uint32_t channel) const {
    return (Hash(x, y, channel) >> 8) / 16777216.0;
  }
  uint32_t seed_;
};

}  // namespace mapgen
