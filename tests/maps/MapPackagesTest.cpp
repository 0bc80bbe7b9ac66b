// SPDX-License-Identifier: GPL-3.0-or-later
// The bundled map packages, checked as a map author would check them before shipping.
#include <gtest/gtest.h>

#include <set>

#include "BmpRows.h"
#include "MapInfo.h"
#include "PackagePaths.h"
#include "PieceTable.h"
#include "Position.h"
#include "PositionFile.h"
#include "RunProgram.h"
#include "SectorGrid.h"
#include "SectorTable.h"
#include "TempDir.h"

namespace mw {
namespace {

const std::filesystem::path kProgramDir = MAP_PACKAGES_DIR;

struct Package {
  std::string name;
  SectorGrid grid;
  SectorTable sectors;
  PieceTable pieces;
  MapInfo info;
  BmpRows picture, small, big;

  std::filesystem::path file(std::string_view f) const { return PackageFile(kProgramDir, name, f); }
};

Package Load(const std::string& name) {
  Package p{name, {}, {}, {}, {}, {}, {}, {}};
  auto grid = ReadSectorGrid(p.file(package_file::kSectorGrid));
  EXPECT_TRUE(grid) << grid.error();
  if (grid) p.grid = *grid;
  auto sectors = ReadSectorTable(p.file(package_file::kSectorTable));
  EXPECT_TRUE(sectors) << sectors.error();
  if (sectors) p.sectors = *sectors;
  auto pieces = ReadPieceTable(p.file(package_file::kPieceTable));
  EXPECT_TRUE(pieces);
  if (pieces) p.pieces = *pieces;
  auto info = ReadMapInfo(p.file(package_file::kMapInfo));
  EXPECT_TRUE(info);
  if (info) p.info = *info;
  for (auto [file, rows] : {std::pair{package_file::kMapPicture, &p.picture},
                            {package_file::kSmallPieces, &p.small},
                            {package_file::kBigPieces, &p.big}}) {
    auto bmp = ReadBmpRows(p.file(file));
    EXPECT_TRUE(bmp) << bmp.error();
    if (bmp) *rows = std::move(bmp.value());
  }
  return p;
}

class BundledPackage : public ::testing::TestWithParam<std::string> {};

TEST_P(BundledPackage, holdsEveryFileOfAPackage) {
  for (auto f : {package_file::kMapInfo, package_file::kMapPicture, package_file::kSectorGrid,
                 package_file::kSectorTable, package_file::kPieceTable, package_file::kSmallPieces,
                 package_file::kBigPieces, package_file::kStartPosition})
    EXPECT_TRUE(std::filesystem::is_regular_file(PackageFile(kProgramDir, GetParam(), f))) << f;
  EXPECT_LE(GetParam().size(), 4u) << "saved positions hold map names of 4 characters";
}

TEST_P(BundledPackage, hasAGridOfThePicturesSizeWhoseSectorsAllHaveNamedRecords) {
  const Package p = Load(GetParam());
  EXPECT_EQ(p.grid.width(), p.picture.width);
  EXPECT_EQ(p.grid.height(), p.picture.height);
  std::set<int> used;
  for (uint16_t v : p.grid.cells()) used.insert(v);
  for (int v : used) {
    ASSERT_TRUE(IsSectorNumber(v)) << "grid value " << v;
    EXPECT_TRUE(p.sectors[v].hasName()) << "sector " << v << " has no named record";
  }
  for (int n = 1; n < kSectorSlots && p.sectors[n].hasName(); ++n)
    EXPECT_TRUE(used.count(n)) << p.sectors[n].name() << " has no pixel on the map";
}

TEST_P(BundledPackage, setsEveryLabelPointInsideItsOwnSector) {
  const Package p = Load(GetParam());
  for (int n = 1; n < kSectorSlots && p.sectors[n].hasName(); ++n) {
    const auto& r = p.sectors[n];
    EXPECT_EQ(p.grid.sectorAt(r.labelX(), r.labelY()), n) << r.name();
    // The income label (up to two digits of 10 pixels) stays in the sector too.
    EXPECT_EQ(p.grid.sectorAt(r.labelX() + 12, r.labelY() + 10), n) << r.name();
  }
}

TEST_P(BundledPackage, hasPieceImagesOfWholeCellsForEveryKindAndCountry) {
  const Package p = Load(GetParam());
  int kinds = 0;
  while (kinds < PieceTable::kKinds && !p.pieces[kinds].name.empty()) ++kinds;
  EXPECT_GE(kinds, 12);
  EXPECT_EQ(p.pieces[0].value, 0) << "the control marker adds no strength";
  for (auto [rows, w, h] : {std::tuple{&p.small, 15, 10}, {&p.big, 20, 15}}) {
    EXPECT_EQ(rows->width % w, 0);
    EXPECT_EQ(rows->height % h, 0);
    EXPECT_EQ(rows->width / w, kinds) << "one column per piece kind";
    EXPECT_EQ(rows->height / h, 8) << "one row per country";
  }
}

TEST_P(BundledPackage, startsWithStacksInsideTheGridOfKnownKindsAndCountries) {
  const Package p = Load(GetParam());
  Position position;
  ASSERT_TRUE(LoadPosition(position, p.file(package_file::kStartPosition)));
  EXPECT_EQ(position.mapName(), GetParam());
  ASSERT_GT(position.unitCount(), 10u);
  std::set<int> countries;
  for (size_t i = 0; i < position.unitCount(); ++i) {
    const Unit& u = position.unit(i);
    ASSERT_TRUE(p.grid.contains(u.x, u.y)) << "stack " << i;
    EXPECT_EQ(u.sector, p.grid.valueAt(u.x, u.y)) << "stack " << i;
    EXPECT_FALSE(p.pieces[u.pieceType].name.empty()) << "stack " << i;
    EXPECT_GE(u.country, 1);
    EXPECT_LE(u.country, 8);
    EXPECT_GE(u.count, 1);
    countries.insert(u.country);
  }
  int inAlliances = 0;
  for (const AllianceRow& row : p.info.alliances)
    for (int32_t c : row) inAlliances += c != 0;
  EXPECT_EQ(static_cast<int>(countries.size()), inAlliances) << "every country has stacks";
}

TEST_P(BundledPackage, isPaintedTheSameWayEveryTime) {
  test::TempDir dir;
  const auto src = std::filesystem::path(MAP_SOURCES_DIR);
  auto run = test::RunProgram(
      MAPGEN,
      {(src / GetParam() / "sectors.txt").string(), (src / GetParam() / "geometry.txt").string(),
       (src / "ToolPieces.txt").string(), dir.path().string()},
      dir.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (auto f : {package_file::kMapPicture, package_file::kSmallPieces, package_file::kBigPieces})
    EXPECT_EQ(test::ReadBytes(dir / f), test::ReadBytes(PackageFile(kProgramDir, GetParam(), f)))
        << f;
}

INSTANTIATE_TEST_SUITE_P(Packages, BundledPackage, ::testing::Values("Tess", "Rift"));

TEST(DefaultMap, isTheIslesOfTessWithEightCountriesInThreeAlliances) {
  const Package p = Load("Tess");
  EXPECT_EQ(p.info.title, "The Isles of Tess");
  EXPECT_EQ(p.info.alliances[0], (AllianceRow{1, 2, 3, 0, 0, 0, 0, 0}));
  EXPECT_EQ(p.info.alliances[1], (AllianceRow{4, 5, 6, 0, 0, 0, 0, 0}));
  EXPECT_EQ(p.info.alliances[2], (AllianceRow{7, 8, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(p.info.alliances[3], AllianceRow{});
  EXPECT_NE(Load("Rift").info.title, p.info.title);
}

TEST(DefaultMap, usesEveryIncomeRuleOfTheSectorRecord) {
  const Package p = Load("Tess");
  int named = 0, oil = 0, convoy = 0, both = 0, perCountry = 0, dependency = 0, perOwner = 0,
      required = 0;
  for (int n = 1; n < kSectorSlots && p.sectors[n].hasName(); ++n) {
    const auto& r = p.sectors[n];
    ++named;
    const bool isOil = r.sectorFlags() & SectorRecord::kFlagOil;
    oil += isOil && !r.convoyFlag();
    convoy += r.convoyFlag() && !isOil;
    both += isOil && r.convoyFlag();
    perCountry += (r.sectorFlags() & SectorRecord::kFlagCountryValues) != 0;
    perOwner += (r.sectorFlags() & SectorRecord::kFlagOwnerDependency) != 0;
    dependency +=
        r.dependencySector() != 0 && !(r.sectorFlags() & SectorRecord::kFlagOwnerDependency);
    required += r.requiredPiece() != 0;
  }
  EXPECT_EQ(named, 70);
  EXPECT_GE(oil, 1);
  EXPECT_GE(convoy, 1);
  EXPECT_GE(both, 1);
  EXPECT_GE(perCountry, 1);
  EXPECT_GE(dependency, 1);
  EXPECT_GE(perOwner, 1);
  EXPECT_GE(required, 1);
}

// The totals of the start position, worked out from the sector text and start list of the Isles
// of Tess: each country's own sectors, plus Greyspire (2) to Valdria, Thornwick (1) to Osmark and
// Wyrmtooth (1) to Sarnesh by their control markers; Ashfall Mines (4) worked by Sarnesh's
// engineer.
TEST(DefaultMap, startsWithTheTotalsOfItsSectorText) {
  const Package p = Load("Tess");
  Position position;
  ASSERT_TRUE(LoadPosition(position, p.file(package_file::kStartPosition)));
  position.SetSectorGrid(p.grid);
  position.SetSectorTable(p.sectors);
  position.SetPieceTable(p.pieces);
  position.SetAlliances(p.info.alliances);
  position.ReassignSectors();
  position.RecomputeTotals();
  struct Expected {
    int country, ipc, oil, convoy, land, naval;
  };
  const Expected expected[] = {
      {1, 19, 0, 2, 47, 15}, {2, 19, 0, 3, 28, 18}, {3, 12, 3, 4, 29, 16}, {4, 19, 7, 2, 47, 28},
      {5, 13, 0, 3, 19, 19}, {6, 14, 3, 2, 18, 12}, {7, 9, 0, 3, 16, 24},  {8, 8, 0, 3, 6, 20},
  };
  for (const auto& e : expected) {
    const CountryTotal& t = position.totalOf(e.country);
    EXPECT_EQ(t.ipc, e.ipc) << "country " << e.country;
    EXPECT_EQ(t.oil, e.oil) << "country " << e.country;
    EXPECT_EQ(t.convoy, e.convoy) << "country " << e.country;
    EXPECT_EQ(t.land, e.land) << "country " << e.country;
    EXPECT_EQ(t.naval, e.naval) << "country " << e.country;
  }
  EXPECT_EQ(position.totalOf(0), CountryTotal{});
}

}  // namespace
}  // namespace mw
