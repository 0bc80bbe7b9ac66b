// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged packages and positions: the program stays up, shows what it can, and writes nothing
// into the package.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QGuiApplication>
#include <QImage>
#include <functional>

#include "ByteOrder.h"
#include "PositionFile.h"
#include "RunProgram.h"
#include "TempDir.h"
#include "TestPackage.h"

namespace mw {
namespace {

namespace fs = std::filesystem;

void Truncate(const fs::path& p, size_t keep) {
  fs::resize_file(p, std::min<uintmax_t>(keep, fs::file_size(p)));
}

void Overwrite(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

void PatchU32(const fs::path& p, size_t at, uint32_t v) {
  auto bytes = test::ReadBytes(p);
  PutU32(bytes, at, v);
  Overwrite(p, std::string(bytes.begin(), bytes.end()));
}

// Replaces a file of the package with a FIFO that nobody writes, or a link to an endless device.
void MakeFifo(const fs::path& p) {
  fs::remove(p);
  ::mkfifo(p.c_str(), 0600);
}
void LinkToZero(const fs::path& p) {
  fs::remove(p);
  fs::create_symlink("/dev/zero", p);
}

std::string Garbage(size_t n, uint32_t seed) {
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
  return s;
}

struct Damage {
  const char* what;
  std::function<void(const fs::path& gim)> apply;
};

const Damage kDamages[] = {
    {"picture cut short", [](auto& g) { Truncate(g / "Map.bmp", 700); }},
    {"picture of text", [](auto& g) { Overwrite(g / "Map.bmp", "this is no bitmap"); }},
    {"picture claiming a vast size", [](auto& g) { PatchU32(g / "Map.bmp", 18, 0x7FFFFFFF); }},
    {"grid announcing more cells than it has",
     [](auto& g) { PatchU32(g / "SektorInfo.map", 0, 100000); }},
    {"grid of negative size", [](auto& g) { PatchU32(g / "SektorInfo.map", 4, 0xFFFFFFF0u); }},
    {"grid cut short", [](auto& g) { Truncate(g / "SektorInfo.map", 11); }},
    {"grid smaller than the picture",
     [](auto& g) {
       std::string grid(8 + 2 * 10 * 10, '\0');
       grid[0] = 10, grid[4] = 10;
       Overwrite(g / "SektorInfo.map", grid);
     }},
    {"grid of sectors past 511",
     [](auto& g) {
       Overwrite(g / "SektorInfo.map", std::string(8, '\0') + Garbage(4000, 1));
       PatchU32(g / "SektorInfo.map", 0, 40);
       PatchU32(g / "SektorInfo.map", 4, 50);
     }},
    {"sector table of noise",
     [](auto& g) { Overwrite(g / "SektorInfo.sek", Garbage(76 * 600 + 30, 2)); }},
    {"sector table cut mid-record", [](auto& g) { Truncate(g / "SektorInfo.sek", 100); }},
    {"piece table of noise", [](auto& g) { Overwrite(g / "ToolPieces.txt", Garbage(5000, 3)); }},
    {"pieces picture cut short", [](auto& g) { Truncate(g / "ToolPieces.bmp", 90); }},
    {"pieces picture of one pixel",
     [](auto& g) {
       QImage(1, 1, QImage::Format_RGB32)
           .save(QString::fromStdString((g / "ToolPieces.bmp").string()), "BMP");
     }},
    {"description of noise",
     [](auto& g) {
       Overwrite(g / "MapInfo.txt", Garbage(3000, 4) + "\nallied 99999999999 -5 700\n");
     }},
    {"start position cut mid-record", [](auto& g) { Truncate(g / "Start.QPX", 15 + 24 + 7); }},
    {"start position announcing millions",
     [](auto& g) { PatchU32(g / "Start.QPX", 7, 0xFFFFFFFFu); }},
    {"start position of noise",
     [](auto& g) { Overwrite(g / "Start.QPX", "MFTess" + Garbage(24 * 50, 5)); }},
    {"picture that is a FIFO", [](auto& g) { MakeFifo(g / "Map.bmp"); }},
    {"pieces picture linked to an endless device",
     [](auto& g) { LinkToZero(g / "ToolPieces.bmp"); }},
    {"grid linked to an endless device", [](auto& g) { LinkToZero(g / "SektorInfo.map"); }},
    {"sector table that is a FIFO", [](auto& g) { MakeFifo(g / "SektorInfo.sek"); }},
    {"piece table linked to an endless device", [](auto& g) { LinkToZero(g / "ToolPieces.txt"); }},
    {"description that is a FIFO", [](auto& g) { MakeFifo(g / "MapInfo.txt"); }},
    {"start position linked to an endless device", [](auto& g) { LinkToZero(g / "Start.QPX"); }},
};

void PrintTo(const Damage& d, std::ostream* os) { *os << d.what; }

class BrokenPackages : public ::testing::TestWithParam<Damage> {};

TEST_P(BrokenPackages, keepTheProgramUpAndWriteNothingIntoThePackage) {
  test::TempDir dir;
  fs::copy_file(MARROWIND, dir / "Marrowind");
  test::TestPackage tess;
  tess.start = {test::MakeUnit(50, 50, 1, 1, 4), test::MakeUnit(150, 60, 4, 0, 2),
                test::MakeUnit(120, 20, 200, 255, 3)};  // kinds and countries the pictures lack
  tess.WriteTo(dir.path());
  const fs::path gim = dir / "Tess.gim";
  GetParam().apply(gim);
  std::vector<std::pair<std::string, uintmax_t>> before;
  std::error_code notAFile;
  for (const auto& e : fs::directory_iterator(gim))
    before.emplace_back(e.path().filename(), e.file_size(notAFile));

  for (std::vector<std::string> args : {std::vector<std::string>{"--totals"},
                                        {"--units"},
                                        {"--render", "out.png", "--zoom", "0.5", "--ipc"},
                                        {"--render", "big.png", "--zoom", "2.0"}}) {
    auto run = test::RunProgram(dir / "Marrowind", args, dir.path());
    EXPECT_NE(run.exitCode, -1) << GetParam().what << ": " << args[0] << " crashed\n" << run.err;
    const bool noPicture = run.exitCode == 3 && run.err.find("no picture") != std::string::npos;
    EXPECT_TRUE(run.exitCode == 0 || noPicture) << GetParam().what << ": " << args[0] << "\n"
                                                << run.err;
    if (args[0] == "--totals") {
      EXPECT_EQ(run.out.rfind("Country\tIPC", 0), 0u) << GetParam().what;
    }
  }
  std::vector<std::pair<std::string, uintmax_t>> after;
  for (const auto& e : fs::directory_iterator(gim))
    after.emplace_back(e.path().filename(), e.file_size(notAFile));
  std::sort(before.begin(), before.end());
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, before) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Damages, BrokenPackages, ::testing::ValuesIn(kDamages),
                         [](const auto& info) {
                           std::string name;
                           for (const char* c = info.param.what; *c; ++c)
                             if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                           return name;
                         });

}  // namespace
}  // namespace mw
