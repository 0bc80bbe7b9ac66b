// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "ByteOrder.h"
#include "SectorGrid.h"
#include "TempDir.h"

namespace mw {
namespace {

std::vector<uint8_t> GridBytes(int32_t w, int32_t h, std::vector<uint16_t> cells) {
  std::vector<uint8_t> out;
  AppendU32(out, static_cast<uint32_t>(w));
  AppendU32(out, static_cast<uint32_t>(h));
  for (auto c : cells) AppendU16(out, c);
  return out;
}

TEST(SectorGrid, readsCellsRowByRowFromTheTop) {
  auto grid = ParseSectorGrid(GridBytes(3, 2, {1, 2, 3, 4, 5, 600}), "g");
  ASSERT_TRUE(grid) << grid.error();
  EXPECT_EQ(grid->width(), 3);
  EXPECT_EQ(grid->height(), 2);
  EXPECT_EQ(grid->valueAt(2, 0), 3);
  EXPECT_EQ(grid->valueAt(0, 1), 4);
  EXPECT_EQ(grid->sectorAt(1, 1), 5);
}

TEST(SectorGrid, treatsZeroAndValuesFrom512AsNoSector) {
  auto grid = ParseSectorGrid(GridBytes(4, 1, {0, 511, 512, 65535}), "g");
  ASSERT_TRUE(grid);
  EXPECT_EQ(grid->sectorAt(0, 0), 0);
  EXPECT_EQ(grid->sectorAt(1, 0), 511);
  EXPECT_EQ(grid->sectorAt(2, 0), 0);
  EXPECT_EQ(grid->sectorAt(3, 0), 0);
  EXPECT_EQ(grid->valueAt(2, 0), 512) << "the stored value stays readable";
}

TEST(SectorGrid, answersNoSectorOutsideTheGrid) {
  auto grid = ParseSectorGrid(GridBytes(2, 2, {7, 7, 7, 7}), "g");
  ASSERT_TRUE(grid);
  for (auto [x, y] : std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {2, 0}, {0, 2}})
    EXPECT_EQ(grid->sectorAt(x, y), 0) << x << "," << y;
}

TEST(SectorGrid, refusesHeadersThatLie) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> huge;
  AppendU32(huge, 0x7FFFFFFF);
  AppendU32(huge, 0x7FFFFFFF);
  AppendU16(huge, 1);
  const Case cases[] = {
      {"empty file", {}},
      {"short header", {1, 0, 0, 0, 1, 0}},
      {"more cells than bytes", GridBytes(3, 2, {1, 2, 3, 4, 5})},
      {"zero width", GridBytes(0, 2, {})},
      {"negative height", GridBytes(2, -1, {1, 2})},
      {"cell count overflowing 32 bits", huge},
  };
  for (const auto& c : cases) {
    auto grid = ParseSectorGrid(c.bytes, "SektorInfo.map");
    EXPECT_FALSE(grid) << c.what;
    if (!grid) {
      EXPECT_NE(grid.error().find("SektorInfo.map"), std::string::npos) << grid.error();
    }
  }
}

TEST(SectorGrid, ignoresBytesAfterTheLastCell) {
  auto bytes = GridBytes(1, 1, {9});
  bytes.insert(bytes.end(), {1, 2, 3});
  auto grid = ParseSectorGrid(bytes, "g");
  ASSERT_TRUE(grid);
  EXPECT_EQ(grid->sectorAt(0, 0), 9);
}

TEST(SectorGrid, roundTripsThroughItsFile) {
  test::TempDir dir;
  SectorGrid grid(5, 3);
  grid.setValue(4, 2, 300);
  grid.setValue(0, 0, 1);
  const auto path = dir.Write("SektorInfo.map", grid.Serialize());
  EXPECT_EQ(test::ReadBytes(path).size(), 8u + 2 * 15);
  auto back = ReadSectorGrid(path);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->width(), 5);
  EXPECT_EQ(back->valueAt(4, 2), 300);
  EXPECT_TRUE(std::equal(grid.cells().begin(), grid.cells().end(), back->cells().begin()));
  EXPECT_FALSE(ReadSectorGrid(dir / "missing.map"));
  ASSERT_TRUE(grid.WriteFile(dir / "written.map"));
  EXPECT_EQ(test::ReadBytes(dir / "written.map"), grid.Serialize()) << "written as serialised";
}

// A big grid is mapped from its file, not copied: its copies are whole grids of their own, a change
// of one touches no other and never the file, and a file read again unchanged shares the mapping.
// Cut short in place under the mapping, the file's lost cells read as no sector and the program
// goes on.
TEST(SectorGrid, aBigGridIsMappedAndOutlivesItsFileCutShort) {
  test::TempDir dir;
  const int32_t w = 1024, h = 600;  // 1.2 MB of cells
  SectorGrid written(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      written.setValue(x, y, static_cast<uint16_t>(1 + (x ^ y) % 500));
  ASSERT_TRUE(written.WriteFile(dir / "SektorInfo.map"));
  auto grid = ReadSectorGrid(dir / "SektorInfo.map");
  ASSERT_TRUE(grid) << grid.error();
  ASSERT_TRUE(grid->mapped());
  EXPECT_TRUE(std::ranges::equal(grid->cells(), written.cells()));

  SectorGrid copy = *grid;
  copy.setValue(3, 4, 7);
  SectorGrid moved = std::move(copy);
  EXPECT_EQ(moved.valueAt(3, 4), 7);
  EXPECT_FALSE(moved.mapped());
  EXPECT_EQ(grid->valueAt(3, 4), written.valueAt(3, 4)) << "the change is the copy's alone";
  auto again = ReadSectorGrid(dir / "SektorInfo.map");
  ASSERT_TRUE(again);
  EXPECT_EQ(again->cells().data(), grid->cells().data()) << "an unchanged file shares its mapping";

  // A mapped grid written over its own file leaves it as it was and the mapping whole; over a
  // game file, it is refused and the game stays as it was.
  const auto bytes = test::ReadBytes(dir / "SektorInfo.map");
  ASSERT_TRUE(grid->WriteFile(dir / "SektorInfo.map"));
  EXPECT_EQ(test::ReadBytes(dir / "SektorInfo.map"), bytes);
  EXPECT_TRUE(std::ranges::equal(grid->cells(), written.cells()));
  std::vector<uint8_t> game(4096, 0);
  std::memcpy(game.data(), "SQLite format 3", 16);
  const auto gamePath = dir.Write("war.mwgame", game);
  EXPECT_FALSE(grid->WriteFile(gamePath));
  EXPECT_EQ(test::ReadBytes(gamePath), game);

  // A file replaced whole leaves the mapping of the old one whole, and is read anew.
  SectorGrid other(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) other.setValue(x, y, 9);
  ASSERT_TRUE(other.WriteFile(dir / "SektorInfo.map"));
  EXPECT_TRUE(std::ranges::equal(grid->cells(), written.cells()));
  auto replaced = ReadSectorGrid(dir / "SektorInfo.map");
  ASSERT_TRUE(replaced);
  EXPECT_EQ(replaced->valueAt(5, 5), 9);

  // Cut short in place to its first row: the cells past the file's new end read as 0.
  auto mapping = MappedFile::Open(dir / "SektorInfo.map");
  ASSERT_TRUE(mapping);
  EXPECT_EQ((*mapping)->bytes().data() + 8,
            reinterpret_cast<const uint8_t*>(replaced->cells().data()));
  ASSERT_EQ(::truncate((dir / "SektorInfo.map").c_str(), 8 + 2 * w), 0);
  EXPECT_EQ(replaced->sectorAt(w - 1, 0), 9);
  for (int32_t y = 2; y < h; y += 7) EXPECT_EQ(replaced->sectorAt(w - 1, y), 0) << "row " << y;
  EXPECT_TRUE((*mapping)->cutShort());
}

}  // namespace
}  // namespace mw
