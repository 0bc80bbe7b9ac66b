// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the stress package for the benchmarks: a map of 4096 x 3072 pixels with 511 sectors in
// tiles of 128 x 192 (with one-pixel borders), every income rule in use, 8 countries, positions of
// 1,000, 10,000, 100,000 and 1,000,000 units, and the inputs of the tools (8-bit and 24-bit sector
// bitmaps, a sector text of 511 lines).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "BmpRows.h"
#include "Position.h"
#include "PositionFile.h"
#include "SectorGrid.h"

namespace {

namespace fs = std::filesystem;
constexpr int kWidth = 4096, kHeight = 3072, kTileW = 128, kTileH = 192, kColumns = 32;

int SectorAt(int x, int y) {
  const int n = (y / kTileH) * kColumns + x / kTileW + 1;
  return n < 512 ? n : 0;
}

void WriteFile(const fs::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream(p, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

mw::BmpRows Rows(int w, int h, int bits) {
  mw::BmpRows r;
  r.width = w;
  r.height = h;
  r.bitsPerPixel = bits;
  r.rowLength = static_cast<size_t>((w * bits + 31) / 32 * 4);
  r.pixels.assign(r.rowLength * static_cast<size_t>(h), 0);
  return r;
}

std::string Hex(uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "%x", v);
  return b;
}

// Sector n: owner 1 + n % 8; every seventh an oil sector, every fifth a convoy, and so on.
std::string SectorLine(int n) {
  const uint32_t owner = 1 + n % 8, ipc = 1 + n % 9;
  const uint32_t flags = (n % 7 == 0 ? 1 : 0) | (n % 11 == 0 ? 2 : 0) | (n % 13 == 0 ? 4 : 0);
  const uint32_t convoy = n % 5 == 0 ? 1 : 0, dependency = n % 17 == 0 ? (n + 1) % 255 : 0;
  const int tx = (n - 1) % kColumns, ty = (n - 1) / kColumns;
  std::string line = "Sector " + std::to_string(n) + ":";
  const uint32_t values[9] = {ipc << 16 | owner << 8,
                              static_cast<uint32_t>(tx * kTileW + 20),
                              static_cast<uint32_t>(ty * kTileH + 20),
                              dependency << 16 | convoy << 8 | flags,
                              0x04030201u,
                              0x08070605u,
                              0x87654321u,
                              n % 19 == 0 ? 3u : 0u,
                              0};
  for (uint32_t v : values) line += " " + Hex(v);
  return line + "\n";
}

void Position(const fs::path& path, size_t count) {
  mw::Position p;
  p.header().setMapName("Strs");
  std::vector<mw::Unit> units(count);
  for (size_t i = 0; i < count; ++i) {
    mw::Unit& u = units[i];
    u.x = static_cast<uint16_t>((i * 37) % (kWidth - 40) + 20);
    u.y = static_cast<uint16_t>((i * 101 / 7) % (kHeight - 40) + 20);
    u.pieceType = static_cast<uint8_t>(i % 14);
    u.country = static_cast<uint8_t>(1 + i % 8);
    u.count = static_cast<uint16_t>(1 + i % 12);
    u.sector = static_cast<uint16_t>(SectorAt(u.x, u.y));
  }
  p.ReplaceUnits(std::move(units));
  mw::SavePosition(p, path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_stress_package <folder>\n");
    return 1;
  }
  const fs::path root = argv[1], gim = root / "Strs.gim";
  fs::create_directories(gim);

  mw::SectorGrid grid(kWidth, kHeight);
  auto picture = Rows(kWidth, kHeight, 24), palette = Rows(kWidth, kHeight, 8), rgb = picture;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const int n = SectorAt(x, y);
      grid.setValue(x, y, static_cast<uint16_t>(n));
      const bool border = x % kTileW == 0 || y % kTileH == 0;
      uint8_t* px = picture.pixels.data() + static_cast<size_t>(y) * picture.rowLength + 3 * x;
      px[0] = border ? 20 : static_cast<uint8_t>(100 + n % 100);
      px[1] = border ? 20 : static_cast<uint8_t>(150 + n % 60);
      px[2] = border ? 20 : static_cast<uint8_t>(120 + (n * 7) % 100);
      palette.pixels[static_cast<size_t>(y) * palette.rowLength + x] =
          static_cast<uint8_t>(n % 256);
      uint8_t* q = rgb.pixels.data() + static_cast<size_t>(y) * rgb.rowLength + 3 * x;
      q[0] = static_cast<uint8_t>(n & 0xFF), q[1] = static_cast<uint8_t>(n >> 8),
      q[2] = n ? 0 : 255;
    }
  WriteFile(gim / "Map.bmp", mw::EncodeBmp(picture));
  WriteFile(gim / "SektorInfo.map", grid.Serialize());
  WriteFile(root / "sectors8.bmp", mw::EncodeBmp(palette));
  WriteFile(root / "sectors24.bmp", mw::EncodeBmp(rgb));

  std::string text = "# 511 sectors of the stress map\n";
  for (int n = 1; n <= 511; ++n) text += SectorLine(n);
  std::ofstream(root / "sectors.txt") << text;
  std::ofstream(gim / "ToolPieces.txt")
      << "Ctrl 0 0\nInf 3 0\nArt 4 0\nTank 6 0\nFtr 10 0\nBmb 12 0\n"
         "Eng 2 0\nAA 5 0\nSub 6 1\nDst 8 1\nCrs 12 1\nBshp 20 1\n"
         "Carr 16 1\nTrn 7 1\n";
  std::ofstream(gim / "MapInfo.txt") << "Stress\nallied 1 2 3\nallied 4 5 6\nallied 7 8\n";
  for (auto [name, w, h] : {std::tuple{"ToolPieces.bmp", 15, 10}, {"BigPieces.bmp", 20, 15}}) {
    auto pieces = Rows(14 * w, 8 * h, 24);
    for (size_t i = 0; i < pieces.pixels.size(); ++i)
      pieces.pixels[i] = static_cast<uint8_t>(i * 13);
    WriteFile(gim / name, mw::EncodeBmp(pieces));
  }
  Position(root / "Stress1k.QPX", 1000);
  Position(root / "Stress10k.QPX", 10000);
  Position(root / "Stress100k.QPX", 100000);
  Position(root / "Stress1M.QPX", 1000000);
  Position(gim / "Start.QPX", 1000);
  return 0;
}
