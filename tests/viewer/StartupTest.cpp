// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: settings, the catalogue, and the map load of the main window's creation.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>

#include "Locations.h"
#include "PositionFile.h"
#include "ViewerFixture.h"

namespace mw {
namespace {

using test::StackAt;
using test::TestPackage;

class Startup : public test::ViewerTest {};

TEST_F(Startup, loadsTheDefaultStartPositionAndItsMapWithTotals) {
  packages[0].start = {StackAt(150, 50, 0, 1, 1), StackAt(50, 50, 1, 1, 4)};
  StartViewer();
  EXPECT_EQ(position().mapName(), "Tess");
  EXPECT_EQ(position().unitCount(), 2u);
  EXPECT_EQ(position().unit(0).sector, 2) << "sectors come from the grid of the loaded map";
  EXPECT_EQ(position().totalOf(1).ipc, 7) << "North and, by the marker, South";
  EXPECT_EQ(position().totalOf(1).land, 12);
  EXPECT_FALSE(position().dirty());
  EXPECT_EQ(viewer->map().mapPicture.size(), QSize(200, 100));
  EXPECT_EQ(host.waits, 0) << "the wait cursor ends with the load";
  EXPECT_TRUE(viewer->board().document().currentFile.empty());
}

TEST_F(Startup, opensTheCommandLinePositionAndTheMapItNames) {
  TestPackage other;
  other.name = "Isle";
  other.title = "Another";
  packages.push_back(other);
  for (const auto& p : packages) p.WriteTo(dir.path());
  Position saved;
  saved.header().setMapName("Isle");
  saved.ReplaceUnits({StackAt(20, 20, 3, 2, 2)});
  ASSERT_TRUE(SavePosition(saved, dir / "game.QPX"));

  StartViewer("\"" + (dir / "game.QPX").string() + "\"");
  EXPECT_EQ(position().mapName(), "Isle");
  EXPECT_EQ(position().unitCount(), 1u);
  EXPECT_EQ(viewer->board().document().currentFile, (dir / "game.QPX").string())
      << "quotes are dropped";
}

// A map of 60 bands has a grid of 1.2 MB, mapped from its file. Loaded again unchanged, the grid
// in use stays (with what was worked out from it); changed since, the new one is taken and every
// stack is given the sector it now stands in.
TEST_F(Startup, aMapLoadedAgainKeepsItsGridOnlyWhileTheFileIsUnchanged) {
  packages[0].sectors.resize(60, {.name = "Sea", .initialOwner = 0, .ipcValue = 0});
  packages[0].start = {StackAt(150, 50, 1, 1, 1)};
  StartViewer();
  const std::shared_ptr<const SectorGrid> first = position().sharedGrid();
  ASSERT_TRUE(first && first->mapped());
  viewer->board().LoadMapPackage("Tess");
  EXPECT_EQ(position().sharedGrid(), first);
  EXPECT_EQ(position().unit(0).sector, 2);

  SectorGrid changed = *first;
  changed.setValue(150, 50, 1);
  ASSERT_TRUE(changed.WriteFile(dir.path() / "Tess.gim" / "SektorInfo.map"));
  viewer->board().LoadMapPackage("Tess");
  EXPECT_NE(position().sharedGrid(), first);
  EXPECT_EQ(position().grid()->valueAt(150, 50), 1);
  EXPECT_EQ(position().unit(0).sector, 1);
  EXPECT_EQ(first->valueAt(150, 50), 2) << "a grid in use never changes";

  // Cut short in place by another program: the lost cells read as no sector, and the user is
  // told, once.
  ASSERT_EQ(::truncate((dir.path() / "Tess.gim" / "SektorInfo.map").c_str(), 8 + 2 * 6000), 0);
  host.errors.clear();
  for (int round = 0; round < 2; ++round) viewer->board().position().ReassignSectors();
  EXPECT_EQ(position().unit(0).sector, 0);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find("cut the sector grid of the map Tess short"), std::string::npos)
      << host.errors[0];
}

TEST_F(Startup, forgetsACommandLineFileThatDoesNotLoad) {
  StartViewer((dir / "none.QPX").string());
  EXPECT_TRUE(viewer->board().document().currentFile.empty());
  EXPECT_EQ(position().mapName(), "Tess");
}

TEST_F(Startup, degradesSilentlyForEveryMissingFile) {
  StartViewer();
  const auto gim = dir / "Tess.gim";
  std::filesystem::remove(gim / "SektorInfo.sek");
  viewer->board().LoadMapPackage("Tess");
  EXPECT_NE(position().grid(), nullptr);
  EXPECT_EQ(position().sectorTable(), nullptr);

  std::filesystem::remove(gim / "SektorInfo.map");
  std::filesystem::copy_file(gim / "ToolPieces.txt", gim / "SektorInfo.sek");
  viewer->board().LoadMapPackage("Tess");
  EXPECT_EQ(position().grid(), nullptr);
  EXPECT_EQ(position().sectorTable(), nullptr) << "no table is read without a grid";

  for (auto f : {"MapInfo.txt", "Map.bmp", "ToolPieces.txt", "ToolPieces.bmp", "BigPieces.bmp"})
    std::filesystem::remove(gim / f);
  viewer->board().LoadMapPackage("Tess");
  EXPECT_TRUE(viewer->map().mapPicture.isNull());
  EXPECT_TRUE(viewer->map().piecesPicture.isNull());
  EXPECT_EQ(position().alliances(), AllianceTable{});
  EXPECT_TRUE(position().pieces()[1].name.empty());
  EXPECT_TRUE(host.errors.empty());
  viewer->board().LoadMapPackage("Nowhere");
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(Startup, usesTheBigPiecesWhenAskedAndTheSmallOnesWithoutThem) {
  test::ViewerTest::packages[0].bigPieces = false;
  for (const auto& p : packages) p.WriteTo(dir.path());
  Settings s;
  s.setUseBigPieces(true);
  s.Save(dir / "Marrowind.ini");
  StartViewer();
  EXPECT_EQ(viewer->map().pieceCellWidth, 15);
  EXPECT_EQ(viewer->map().pieceHalfHeight, 5);
  TestPackage big;
  big.WriteTo(dir.path());
  viewer->board().LoadMapPackage("Tess");
  EXPECT_EQ(viewer->map().pieceCellWidth, 20);
  EXPECT_EQ(viewer->map().pieceHalfWidth, 10);
  EXPECT_EQ(viewer->map().pieceHalfHeight, 7);
}

TEST_F(Startup, recreatesTheToolWindowsWhereTheyStandAtEveryLoad) {
  Settings s;
  s.setPalette(-40, 30);
  s.setInfoView(500, 60000);
  s.Save(dir / "Marrowind.ini");
  StartViewer();
  EXPECT_EQ(host.windows[ToolWindow::kPalette].position, QPoint(-40, 30))
      << "stored as 16 bits, read back signed";
  EXPECT_EQ(host.windows[ToolWindow::kInfoView].position, QPoint(500, 60000 - 65536));
  EXPECT_TRUE(host.windows[ToolWindow::kPalette].shown);
  host.windows[ToolWindow::kPalette].position = QPoint(300, 200);  // the user moved it
  viewer->board().LoadMapPackage("Tess");
  EXPECT_EQ(host.windows[ToolWindow::kPalette].position, QPoint(300, 200));
  EXPECT_EQ(host.recreations, 4);
}

TEST(Settings, keepsReservedBytesAndReadsShortFiles) {
  test::TempDir dir;
  std::vector<uint8_t> bytes(Settings::kSize, 0);
  bytes[1] = 1;
  bytes[2] = 0xAA;
  bytes[407] = 0x55;
  auto path = dir.Write("Marrowind.ini", bytes);
  Settings s;
  s.Load(path);
  EXPECT_TRUE(s.showIpcValues());
  EXPECT_FALSE(s.useBigPieces());
  s.setPalette(70000, 5);
  ASSERT_TRUE(s.Save(path));
  auto back = test::ReadBytes(path);
  ASSERT_EQ(back.size(), Settings::kSize);
  EXPECT_EQ(back[2], 0xAA);
  EXPECT_EQ(back[407], 0x55);
  EXPECT_EQ(back[4] | back[5] << 8, 70000 & 0xFFFF);

  auto shortPath = dir.Write("short.ini", std::vector<uint8_t>(12, 1));
  s.Load(shortPath);
  EXPECT_TRUE(s.useBigPieces());
  EXPECT_EQ(s.bytes()[12], 0);
  s.Load(dir / "missing.ini");
  EXPECT_EQ(s.bytes(), (std::array<uint8_t, Settings::kSize>{}));
}

TEST(Catalogue, listsEveryPackageByTitleWithoutRegardToCase) {
  test::TempDir dir;
  auto make = [&](const std::string& dirName, const char* info) {
    std::filesystem::create_directories(dir / dirName);
    if (info) dir.Write(dirName + "/MapInfo.txt", info);
  };
  make("Tess.gim", "isles of tess\nallied 1 2\n");
  make("Rift.GIM", "Amber Rift   \r\n");
  make("Longername.gim", nullptr);
  make("Blank.gim", "\n");
  make("Zeta.Gim", "ISLES OF TESS\n");
  make("notapackage", "Aaa\n");
  dir.Write("File.gim", "a file, not a directory");
  const auto entries = BuildMapCatalogue({dir.path()});
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].title, "");
  EXPECT_EQ(entries[0].mapName, "Blank");
  EXPECT_EQ(entries[1].title, "Amber Rift") << "trailing blanks and line ends are cut";
  EXPECT_EQ(entries[1].mapName, "Rift");
  EXPECT_TRUE((entries[2].mapName == "Tess" && entries[3].mapName == "Zeta") ||
              (entries[2].mapName == "Zeta" && entries[3].mapName == "Tess"))
      << "titles equal but for case stand next to each other, in either order";
  EXPECT_EQ(entries[4].title, "Longername") << "no MapInfo.txt: the name is the title";
  EXPECT_EQ(entries[4].mapName, "Longern");
  for (size_t i = 0; i < entries.size(); ++i)
    EXPECT_EQ(entries[i].commandId, 201 + static_cast<int>(i));
}

TEST(Catalogue, offersAtMost99PackagesNumbered201To299AndNamesTheRest) {
  test::TempDir dir;
  for (int i = 0; i < 103; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "M%03d.gim", i);
    std::filesystem::create_directories(dir / name);
  }
  std::vector<std::string> leftOut;
  const auto entries = BuildMapCatalogue({dir.path()}, &leftOut);
  ASSERT_EQ(entries.size(), 99u);
  EXPECT_EQ(entries.front().commandId, 201);
  EXPECT_EQ(entries.back().commandId, 299);
  EXPECT_EQ(entries.back().title, "M098");
  EXPECT_EQ(leftOut, (std::vector<std::string>{"M099", "M100", "M101", "M102"}));
}

TEST(Catalogue, listsEveryFolderAndTakesANameFoundTwiceFromTheFirst) {
  test::TempDir program, user, installed;
  program.Write("Tess.gim/MapInfo.txt", "Tess beside the program\n");
  user.Write("tess.GIM/MapInfo.txt", "Tess of the user\n");
  user.Write("Mine.gim/MapInfo.txt", "My own map\n");
  installed.Write("Mine.gim/MapInfo.txt", "An installed map of the same name\n");
  installed.Write("Rift.gim/MapInfo.txt", "The installed Rift\n");
  const auto entries = BuildMapCatalogue({program.path(), user.path(), installed.path()});
  std::vector<std::string> titles;
  for (const auto& e : entries) titles.push_back(e.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"My own map", "Tess beside the program",
                                              "The installed Rift"}));
  EXPECT_EQ(FindPackage({program.path(), user.path(), installed.path()}, "MINE"),
            user / "Mine.gim");
  EXPECT_EQ(FindPackage({program.path(), user.path(), installed.path()}, "Rift"),
            installed / "Rift.gim");
}

// Sets environment variables for a test and puts back what they were.
class Environment {
 public:
  void Set(const char* name, const std::string& value) {
    if (!saved_.contains(name)) {
      const char* old = std::getenv(name);
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    ::setenv(name, value.c_str(), 1);
  }
  ~Environment() {
    for (const auto& [name, value] : saved_)
      value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

TEST(Locations, followTheProgramFolderThenTheUsersThenTheInstalledOnes) {
  test::TempDir dir;
  Environment env;
  const auto program = dir / "prefix" / "bin";
  env.Set("XDG_DATA_HOME", (dir / "data").string());
  env.Set("XDG_DATA_DIRS", "/opt/a:relative/ignored:/usr/share");
  EXPECT_EQ(MapFolders(program),
            (std::vector<std::filesystem::path>{
                program, dir / "data/marrowind/maps", "/opt/a/marrowind/maps",
                "/usr/share/marrowind/maps", dir / "prefix/share/marrowind/maps"}));
  env.Set("XDG_DATA_DIRS", "");
  EXPECT_EQ(MapFolders(program)[2], "/usr/local/share/marrowind/maps") << "the default";

  // Settings beside a portable program (its folder writable and holding maps of its own), else
  // in the user's config folder: an installed program writes nothing into the system, even run
  // as root. An installed map's table is exported into the user's folder, which is no map folder.
  std::filesystem::create_directories(program);
  env.Set("XDG_CONFIG_HOME", (dir / "config").string());
  const auto config = dir / "config/Marrowind/Marrowind.ini";
  EXPECT_EQ(SettingsFile(program, "Marrowind.ini"), config) << "installed";
  const auto installed = dir / "prefix/share/marrowind/maps/Tess.gim";
  EXPECT_EQ(ExportFolder(program, installed), dir / "data/marrowind/exports/Tess.gim");
  EXPECT_EQ(ExportFolder(program, dir / "data/marrowind/maps/Mine.gim"),
            dir / "data/marrowind/maps/Mine.gim");
  std::filesystem::create_directories(program / "Tess.gim");
  EXPECT_EQ(SettingsFile(program, "Marrowind.ini"), program / "Marrowind.ini") << "portable";
  EXPECT_EQ(ExportFolder(program, program / "Tess.gim"), program / "Tess.gim");
  EXPECT_EQ(ExportFolder(program, installed), dir / "data/marrowind/exports/Tess.gim");
  // A folder nobody may write in, not even root.
  const std::filesystem::path readOnly = "/proc/self";
  ASSERT_NE(::access(readOnly.c_str(), W_OK), 0);
  EXPECT_EQ(SettingsFile(readOnly, "Marrowind.ini"), config);
}

TEST_F(Startup, handsTheCatalogueAndTheSettingsChecksToTheMenu) {
  Settings s;
  s.setShowIpcValues(true);
  s.Save(dir / "Marrowind.ini");
  StartViewer();
  ASSERT_EQ(host.catalogue.size(), 1u);
  EXPECT_EQ(host.catalogue[0].title, "Test Map");
  EXPECT_TRUE(host.checks[command::kIpcValues]);
  EXPECT_FALSE(host.checks[command::kUseBigPieces]);
}

}  // namespace
}  // namespace mw
