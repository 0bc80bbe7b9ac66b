// SPDX-License-Identifier: GPL-3.0-or-later
// The native and TessWinMap position files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <limits>

#include "ByteOrder.h"
#include "PositionFile.h"
#include "TempDir.h"
#include "TestMap.h"

namespace mw {
namespace {

using test::MakeUnit;

std::vector<uint8_t> Record(double x, double y, uint8_t code, uint8_t country, uint16_t count,
                            uint32_t sector) {
  std::vector<uint8_t> r;
  AppendU64(r, std::bit_cast<uint64_t>(x));
  AppendU64(r, std::bit_cast<uint64_t>(y));
  r.push_back(code);
  r.push_back(country);
  AppendU16(r, count);
  AppendU32(r, sector);
  return r;
}

std::vector<uint8_t> Native(const std::string& name, uint32_t count, std::vector<uint8_t> reserved,
                            std::vector<std::vector<uint8_t>> records) {
  std::vector<uint8_t> f{'M', 'F', 0, 0, 0, 0, 0};
  std::copy(name.begin(), name.end(), f.begin() + 2);
  AppendU32(f, count);
  f.insert(f.end(), reserved.begin(), reserved.end());
  for (auto& r : records) f.insert(f.end(), r.begin(), r.end());
  return f;
}

class PositionFiles : public ::testing::Test {
 protected:
  test::TempDir dir;
  Position p;
};

TEST_F(PositionFiles, writesTheExactBytesOfBothFormats) {
  Unit a = MakeUnit(120, 45, 0, 2, 3);
  a.sector = 7;
  Unit b = MakeUnit(65535, 0, 255, 8, 65535);
  b.sector = 511;
  p.ReplaceUnits({a, b});
  p.header().setMapName("Isle");
  p.header().bytes()[11] = 0xDE;
  p.header().bytes()[14] = 0xAD;
  test::MakeDirtyKeepingTheList(p);

  ASSERT_TRUE(SavePosition(p, dir / "game.QPX"));
  EXPECT_FALSE(p.dirty());
  const auto records = Record(120.0, 45.0, 1, 2, 3, 7);
  const auto second = Record(65535.0, 0.0, 0, 8, 65535, 511);
  EXPECT_EQ(test::ReadBytes(dir / "game.QPX"),
            Native("Isle", 2, {0xDE, 0, 0, 0xAD}, {records, second}));

  ASSERT_TRUE(SavePosition(p, dir / "game.map"));
  std::vector<uint8_t> tess{2, 0, 0, 0};
  tess.insert(tess.end(), records.begin(), records.end());
  tess.insert(tess.end(), second.begin(), second.end());
  EXPECT_EQ(test::ReadBytes(dir / "game.map"), tess);
}

TEST_F(PositionFiles, writeAnEmptyPositionAsFifteenOrFourBytes) {
  ASSERT_TRUE(SavePosition(p, dir / "empty.QPX"));
  EXPECT_EQ(test::ReadBytes(dir / "empty.QPX").size(), 15u);
  ASSERT_TRUE(SavePosition(p, dir / "empty.MAP"));
  EXPECT_EQ(test::ReadBytes(dir / "empty.MAP"), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST_F(PositionFiles, chooseTheFormatByTheFilesExtensionAlone) {
  for (const char* map : {"/games/start.map", "start.MAP", "/games/start.Map", "a.b.mAp"})
    EXPECT_TRUE(IsTessWinMapPath(map)) << map;
  for (const char* native : {"/games/old.MAP/start.QPX", "dir.maps/game.QPX", "x.mapfile",
                             "/games/start.QPX", "/games/map", "/x.map/", ".map.QPX"})
    EXPECT_FALSE(IsTessWinMapPath(native)) << native;
  // A folder's name never decides: the file reopens with its map.
  std::filesystem::create_directories(dir / "dir.maps");
  p.header().setMapName("Rift");
  ASSERT_TRUE(SavePosition(p, dir / "dir.maps" / "game.QPX"));
  Position again;
  ASSERT_TRUE(LoadPosition(again, dir / "dir.maps" / "game.QPX"));
  EXPECT_EQ(again.mapName(), "Rift");
}

TEST_F(PositionFiles, loadANativeFileAndKeepItsHeader) {
  auto path = dir.Write(
      "g.QPX", Native("Vel", 2, {1, 2, 3, 4},
                      {Record(120.9, 45.99, 1, 2, 3, 0x10007), Record(3, 4, 0, 1, 12, 9)}));
  p.PlacePiece(1, 1, 1, 1, kNoModifiers);
  ASSERT_TRUE(LoadPosition(p, path));
  EXPECT_FALSE(p.dirty());
  EXPECT_EQ(p.undoDepth(), 0u) << "loading clears the history";
  EXPECT_EQ(p.mapName(), "Vel");
  ASSERT_EQ(p.unitCount(), 2u);
  EXPECT_EQ(p.unit(0).x, 120);
  EXPECT_EQ(p.unit(0).y, 45);
  EXPECT_EQ(p.unit(0).pieceType, 0);
  EXPECT_EQ(p.unit(0).sector, 7) << "the low 16 bits of the stored sector";
  EXPECT_EQ(p.unit(1).pieceType, 255) << "code 0 loads as type 255";
  EXPECT_EQ(p.unit(1).country, 1) << "the country beside code 0 is read as it stands";
  EXPECT_EQ(p.unit(1).labelText(), "12");
  EXPECT_EQ(p.unit(1).slot, 1u);

  ASSERT_TRUE(SavePosition(p, dir / "again.QPX"));
  const auto again = test::ReadBytes(dir / "again.QPX");
  EXPECT_EQ(std::vector<uint8_t>(again.begin() + 11, again.begin() + 15),
            (std::vector<uint8_t>{1, 2, 3, 4}))
      << "reserved bytes are written back";
}

TEST_F(PositionFiles, recogniseTheFormatByContentAlone) {
  std::vector<uint8_t> tess{1, 0, 0, 0};
  auto r = Record(10, 20, 2, 3, 4, 5);
  tess.insert(tess.end(), r.begin(), r.end());
  ASSERT_TRUE(LoadPosition(p, dir.Write("named.QPX", tess)));
  EXPECT_EQ(p.mapName(), "Tess") << "no \"MF\": a TessWinMap file of the default map";
  ASSERT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.unit(0).pieceType, 1);

  // A count whose low 16 bits are 0x464D begins with "MF": it is read as a native file.
  std::vector<uint8_t> lookalike{'M', 'F', 1, 0};
  lookalike.resize(15 + 24, 0);
  ASSERT_TRUE(LoadPosition(p, dir.Write("17997.MAP", lookalike)));
  EXPECT_EQ(p.unitCount(), 0u);
  EXPECT_EQ(GetU32(lookalike, 0) & 0xFFFF, 17997u);
}

TEST_F(PositionFiles, saveATessWinMapPositionNativelyWithTheDefaultHeader) {
  ASSERT_TRUE(LoadPosition(p, dir.Write("old.MAP", std::vector<uint8_t>{0, 0, 0, 0})));
  ASSERT_TRUE(SavePosition(p, dir / "new.QPX"));
  EXPECT_EQ(test::ReadBytes(dir / "new.QPX"), Native("Tess", 0, {0, 0, 0, 0}, {}));
}

TEST_F(PositionFiles, loadTruncatedAndLyingFilesAsFarAsTheyGo) {
  auto full =
      Native("Ab", 1000000, {0, 0, 0, 0}, {Record(1, 1, 1, 1, 1, 1), Record(2, 2, 1, 1, 1, 1)});
  full.pop_back();  // the second record is cut short
  ASSERT_TRUE(LoadPosition(p, dir.Write("cut.QPX", full)));
  EXPECT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.header().unitCount(), 1000000u) << "the header keeps what the file announced";

  ASSERT_TRUE(LoadPosition(p, dir.Write("short.QPX", std::vector<uint8_t>{'M', 'F', 'Z', 'o'})));
  EXPECT_EQ(p.mapName(), "Zo");
  EXPECT_EQ(p.unitCount(), 0u);

  ASSERT_TRUE(LoadPosition(p, dir.Write("tiny.QPX", std::vector<uint8_t>{7})));
  EXPECT_EQ(p.mapName(), "Tess");
  EXPECT_EQ(p.unitCount(), 0u);
  ASSERT_TRUE(LoadPosition(p, dir.Write("none.QPX", std::vector<uint8_t>{})));
  EXPECT_EQ(p.mapName(), "Tess");

  auto unterminated = Native("Long", 0, {0, 0, 0, 0}, {});
  unterminated[6] = 'X';
  ASSERT_TRUE(LoadPosition(p, dir.Write("long.QPX", unterminated)));
  EXPECT_EQ(p.mapName(), "Long");
}

TEST_F(PositionFiles, holdStoredCoordinatesWithinSixteenBits) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  auto f = Native("T", 4, {0, 0, 0, 0},
                  {Record(-3.5, 70000, 1, 1, 1, 0), Record(nan, -inf, 1, 1, 1, 0),
                   Record(inf, 65535.9, 1, 1, 1, 0), Record(1e300, -0.5, 1, 1, 1, 0)});
  ASSERT_TRUE(LoadPosition(p, dir.Write("wild.QPX", f)));
  const std::pair<int, int> expected[] = {{0, 65535}, {0, 0}, {65535, 65535}, {65535, 0}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(p.unit(i).x, expected[i].first) << i;
    EXPECT_EQ(p.unit(i).y, expected[i].second) << i;
  }
}

TEST_F(PositionFiles, failToLoadAFileThatCannotBeReadAndChangeNothing) {
  p.ReplaceUnits({MakeUnit(1, 1, 1, 1, 1)});
  p.PlacePiece(1, 1, 1, 1, kNoModifiers);
  const auto outcome = LoadPosition(p, dir / "missing.QPX");
  const std::string error = outcome.error();
  EXPECT_FALSE(outcome);
  EXPECT_FALSE(LoadPosition(p, dir.path()));
  EXPECT_NE(error.find("missing.QPX"), std::string::npos);
  EXPECT_EQ(p.unitCount(), 1u);
  EXPECT_EQ(p.undoDepth(), 1u);
  EXPECT_TRUE(p.dirty());
}

TEST_F(PositionFiles, aFailedSaveKeepsTheOldFileAndDirty) {
  auto target = dir.Write("keep.QPX", "the last good file");
  p.ReplaceUnits({MakeUnit(1, 1, 1, 1, 1)});
  test::MakeDirtyKeepingTheList(p);
  // A directory in the way of the temporary file's rename makes the save fail as a full disk would.
  std::filesystem::create_directory(dir / "blocked.QPX");
  std::filesystem::create_directory(dir / "blocked.QPX/inside");
  const auto outcome = SavePosition(p, dir / "blocked.QPX");
  const std::string error = outcome.error();
  EXPECT_FALSE(outcome);
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(p.dirty());
  EXPECT_FALSE(SavePosition(p, dir / "no/such/dir/keep.QPX"));
  EXPECT_TRUE(p.dirty());
  EXPECT_EQ(test::ReadText(target), "the last good file");
  if (::geteuid() != 0) {
    std::filesystem::permissions(
        dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_FALSE(SavePosition(p, target));
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(test::ReadText(target), "the last good file");
  }
}

TEST_F(PositionFiles, savingKeepsTheHistory) {
  p.PlacePiece(1, 1, 1, 1, kNoModifiers);
  ASSERT_TRUE(SavePosition(p, dir / "h.QPX"));
  EXPECT_EQ(p.undoDepth(), 1u);
}

}  // namespace
}  // namespace mw
