// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a small seed corpus for every fuzz target: one valid file of each format and a few
// damaged ones, so that the fuzzers start from inputs that reach deep into each reader.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BmpRows.h"
#include "ByteOrder.h"
#include "GameFile.h"
#include "Position.h"
#include "PositionFile.h"
#include "SectorGrid.h"

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

void Write(const fs::path& dir, const std::string& name, const std::string& text) {
  Write(dir, name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> Truncated(std::vector<uint8_t> v, size_t n) {
  v.resize(std::min(v.size(), n));
  return v;
}

void Grid(const fs::path& d) {
  mw::SectorGrid grid(4, 3);
  for (int i = 0; i < 12; ++i) grid.setValue(i % 4, i / 4, static_cast<uint16_t>(i * 50));
  const auto bytes = grid.Serialize();
  Write(d, "valid", bytes);
  Write(d, "short", Truncated(bytes, 15));
  auto lying = bytes;
  mw::PutU32(lying, 0, 0x40000000);
  Write(d, "lying", lying);
}

void Table(const fs::path& d) {
  std::vector<uint8_t> bytes(3 * 76 + 10, 0);
  for (int r = 0; r < 3; ++r) {
    bytes[r * 76] = 4;
    for (int i = 1; i < 5; ++i) bytes[r * 76 + i] = static_cast<uint8_t>('A' + r);
    for (int i = 40; i < 76; ++i) bytes[r * 76 + i] = static_cast<uint8_t>(i * (r + 1));
  }
  Write(d, "three", bytes);
}

void Position(const fs::path& d) {
  mw::Position p;
  p.header().setMapName("Tess");
  p.ReplaceUnits({mw::Unit{120, 45, 0, 2, 3}, mw::Unit{7, 9, 255, 1, 65535}});
  const auto native = mw::EncodePosition(p, false);
  Write(d, "native", native);
  Write(d, "tesswinmap", mw::EncodePosition(p, true));
  Write(d, "short", Truncated(native, 20));
  Write(d, "header", Truncated(native, 9));
}

void Bitmaps(const fs::path& d) {
  for (int bits : {8, 24}) {
    mw::BmpRows rows;
    rows.width = 5;
    rows.height = 3;
    rows.bitsPerPixel = bits;
    rows.rowLength = static_cast<size_t>((5 * bits + 31) / 32 * 4);
    rows.pixels.assign(rows.rowLength * 3, 0);
    for (size_t i = 0; i < rows.pixels.size(); ++i) rows.pixels[i] = static_cast<uint8_t>(i * 37);
    const auto bytes = mw::EncodeBmp(rows);
    Write(d, "bits" + std::to_string(bits), bytes);
    Write(d, "cut" + std::to_string(bits), Truncated(bytes, bytes.size() - 3));
    // RLE8 data that declares far more than it can paint.
    auto vast = bytes;
    vast.resize(mw::GetU32(vast, 10));
    mw::PutU32(vast, 18, 32000);
    mw::PutU32(vast, 22, 32000);
    mw::PutU32(vast, 30, 1);
    vast.insert(vast.end(), {0, 1});
    Write(d, "vast" + std::to_string(bits), vast);
  }
}

// A game of two turns, whole and cut short.
void Game(const fs::path& d) {
  fs::create_directories(d);
  const fs::path path = d / "made.mwgame";
  fs::remove(path);
  mw::Position p;
  p.header().setMapName("Tess");
  mw::Unit u;
  u.x = 10;
  u.y = 20;
  u.pieceType = 1;
  u.country = 2;
  u.count = 3;
  p.ReplaceUnits({u});
  {
    auto game = mw::GameFile::Create(path, "Tess", "The Isles of Tess");
    if (!game) return;
    const auto bytes = mw::EncodePosition(p, false);
    (void)game->Record({bytes, {}, "first", {}, {}, {}, {}, {}, {}});
    (void)game->Record({bytes, "Spring", {}, {}, {}, {}, {}, {}, {}});
  }
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  fs::remove(path);
  Write(d, "valid", bytes);
  Write(d, "cut", Truncated(bytes, bytes.size() / 2));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds <corpus folder>\n");
    return 1;
  }
  const fs::path root = argv[1];
  Grid(root / "sector_grid");
  Table(root / "sector_table");
  Write(root / "piece_table", "valid", std::string("Ctrl 0 0\nInf 3 0\nShip 8 1\nLong 300 -2\n"));
  Write(root / "piece_table", "odd", std::string("Inf x 0 Tank 5"));
  Write(root / "map_info", "valid",
        std::string("The Isles\r\nallied 1 2 3\nALLIED 4 5\n# note\nallied\n"));
  Write(root / "map_info", "long", std::string(300, 'a') + "\nallied 1 2 3 4 5 6 7 8 9\n");
  Position(root / "position");
  Write(root / "settings", "valid", std::vector<uint8_t>(408, 1));
  Write(root / "settings", "short", std::vector<uint8_t>(12, 0xFF));
  Bitmaps(root / "bmp_rows");
  Bitmaps(root / "picture_header");
  Game(root / "game_file");
  Write(root / "sector_text", "valid",
        std::string("# comment\nNorth : 2a 3\nSouth\t:1 0 0 0 0 0 0 0 ffffffff\n;x:1\n\n") +
            std::string(300, 'n') + ": 5\n");
  return 0;
}
