// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace mw
