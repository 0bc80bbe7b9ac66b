// SPDX-License-Identifier: GPL-3.0-or-later
// Files of a package as found on disk: paths in any case, bitmaps, and safe replacement.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "BmpRows.h"
#include "ByteOrder.h"
#include "FileBytes.h"
#include "MapInfo.h"
#include "PackagePaths.h"
#include "PieceTable.h"
#include "ProcessLimits.h"
#include "SectorGrid.h"
#include "TempDir.h"

namespace mw {
namespace {

TEST(PackagePaths, findsEveryComponentWithoutRegardToCase) {
  test::TempDir dir;
  dir.Write("TESS.GIM/MAP.BMP", "x");
  dir.Write("Other.gim/Map.bmp", "y");
  EXPECT_EQ(PackageFile(dir.path(), "Tess", "Map.bmp"), dir / "TESS.GIM/MAP.BMP");
  EXPECT_EQ(PackageFile(dir.path(), "other", "map.BMP"), dir / "Other.gim/Map.bmp");
  EXPECT_EQ(PackageDirectory(dir.path(), "Tess"), dir / "TESS.GIM");
}

TEST(PackagePaths, keepsTheGivenSpellingForFilesThatDoNotExist) {
  test::TempDir dir;
  dir.Write("tess.gim/Map.bmp", "x");
  EXPECT_EQ(PackageFile(dir.path(), "Tess", "SektorInfo.new"), dir / "tess.gim/SektorInfo.new");
  EXPECT_EQ(PackageFile(dir.path(), "None", "Map.bmp"), dir / "None.gim/Map.bmp");
}

TEST(PackagePaths, neverLeaveTheProgramDirectory) {
  test::TempDir dir;
  for (const char* name : {"/etc", "../x", "a\\b", "/"}) {
    const auto path = PackageFile(dir.path(), name, "Map.bmp");
    EXPECT_EQ(path.parent_path().parent_path(), dir.path()) << name;
  }
}

BmpRows Rows(int32_t w, int32_t h, int bits) {
  BmpRows r;
  r.width = w;
  r.height = h;
  r.bitsPerPixel = bits;
  r.rowLength = static_cast<size_t>((w * bits + 31) / 32 * 4);
  r.pixels.resize(r.rowLength * static_cast<size_t>(h));
  for (size_t i = 0; i < r.pixels.size(); ++i) r.pixels[i] = static_cast<uint8_t>(i);
  return r;
}

TEST(BmpRows, readsBottomUpAndTopDownFilesTopRowFirst) {
  const BmpRows rows = Rows(5, 3, 8);
  auto bottomUp = ParseBmpRows(EncodeBmp(rows), "b.bmp");
  ASSERT_TRUE(bottomUp) << bottomUp.error();
  EXPECT_EQ(bottomUp->rowLength, 8u);
  EXPECT_EQ(bottomUp->pixels, rows.pixels);

  auto file = EncodeBmp(rows);
  PutU32(file, 22, static_cast<uint32_t>(-3));  // negative height: stored top row first
  const size_t at = GetU32(file, 10);
  for (int y = 0; y < 3; ++y)
    std::copy(rows.row(y).begin(), rows.row(y).end(),
              file.begin() + static_cast<ptrdiff_t>(at + 8 * y));
  auto topDown = ParseBmpRows(file, "t.bmp");
  ASSERT_TRUE(topDown) << topDown.error();
  EXPECT_EQ(topDown->height, 3);
  EXPECT_EQ(topDown->pixels, rows.pixels);
}

TEST(BmpRows, padsTwentyFourBitRowsToFourBytes) {
  auto rows = ParseBmpRows(EncodeBmp(Rows(3, 2, 24)), "c.bmp");
  ASSERT_TRUE(rows);
  EXPECT_EQ(rows->rowLength, 12u);
  EXPECT_EQ(rows->bitsPerPixel, 24);
}

// An 8-bit bitmap file with the given RLE8 pixel data in place of its rows.
std::vector<uint8_t> Rle8File(const BmpRows& rows, std::vector<uint8_t> data) {
  auto file = EncodeBmp(rows);
  const uint32_t pixelOffset = GetU32(file, 10);
  file.resize(pixelOffset);
  PutU32(file, 30, 1);
  PutU32(file, 34, static_cast<uint32_t>(data.size()));
  file.insert(file.end(), data.begin(), data.end());
  PutU32(file, 2, static_cast<uint32_t>(file.size()));
  return file;
}

TEST(BmpRows, decodesRle8AsThePlatformLoaderDoes) {
  // 6 x 3, stored bottom row first: runs, an absolute run of odd length with its pad byte, a
  // move right and up, and an early line end; what nothing paints is index 0.
  BmpRows expected = Rows(6, 3, 8);
  std::fill(expected.pixels.begin(), expected.pixels.end(), 0);
  const uint8_t bottom[] = {7, 7, 7, 1, 2, 3}, middle[] = {0, 0, 9, 9, 0, 0},
                top[] = {4, 4, 4, 4, 4, 4};
  std::copy(std::begin(top), std::end(top), expected.pixels.begin());
  std::copy(std::begin(middle), std::end(middle), expected.pixels.begin() + 8);
  std::copy(std::begin(bottom), std::end(bottom), expected.pixels.begin() + 16);
  const std::vector<uint8_t> data = {
      3, 7, 0, 3, 1, 2, 3, 0,  // bottom: a run of three 7s, then 1 2 3 as they are
      0, 0,                    // line end
      0, 2, 2, 0, 2, 9, 0, 0,  // middle: two to the right, two 9s, line end
      9, 4,                    // top: a run past the right edge is cut there
      0, 1};                   // end of the bitmap
  auto rows = ParseBmpRows(Rle8File(expected, data), "r.bmp");
  ASSERT_TRUE(rows) << rows.error();
  EXPECT_EQ(rows->rowLength, 8u);
  EXPECT_EQ(rows->pixels, expected.pixels);

  for (size_t cut : {size_t{1}, size_t{5}, size_t{12}}) {
    auto shortened = data;
    shortened.resize(data.size() - cut);
    auto refused = ParseBmpRows(Rle8File(expected, shortened), "r.bmp");
    ASSERT_FALSE(refused) << cut;
    EXPECT_NE(refused.error().find("before their end mark"), std::string::npos) << refused.error();
  }
  auto topDown = Rle8File(expected, data);
  PutU32(topDown, 22, static_cast<uint32_t>(-3));
  EXPECT_FALSE(ParseBmpRows(topDown, "r.bmp"));
}

TEST(BmpRows, refusesWhatItCannotLoadWithTheReason) {
  auto good = EncodeBmp(Rows(4, 4, 8));
  auto compressed = good;
  PutU32(compressed, 30, 2);  // RLE4
  auto fourBit = good;
  PutU16(fourBit, 28, 4);
  auto truncated = good;
  truncated.resize(truncated.size() - 1);
  auto zeroWidth = good;
  PutU32(zeroWidth, 18, 0);
  auto hugeHeader = good;
  PutU32(hugeHeader, 14, 100000);
  auto farPixels = good;
  PutU32(farPixels, 10, 0xFFFFFFF0u);
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"signature", {'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"compressed", compressed},
      {"bits per pixel", fourBit},
      {"truncated", truncated},
      {"no pixels", zeroWidth},
      {"ends inside its header", hugeHeader},
      {"truncated", farPixels},
      {"signature", {}},
      {"too short for a bitmap header", {'B', 'M'}},
  };
  for (const auto& [why, bytes] : cases) {
    auto r = ParseBmpRows(bytes, "s.bmp");
    ASSERT_FALSE(r) << why;
    EXPECT_NE(r.error().find(why), std::string::npos) << r.error();
    EXPECT_NE(r.error().find("not loadable"), std::string::npos) << r.error();
  }
}

TEST(FileBytes, replacesAFileWholeAndKeepsItsPermissions) {
  test::TempDir dir;
  auto path = dir.Write("out.bin", "old contents");
  ::chmod(path.c_str(), 0640);
  const std::vector<uint8_t> bytes{1, 2, 3};
  ASSERT_TRUE(WriteFileAtomically(path, bytes));
  EXPECT_EQ(test::ReadBytes(path), bytes);
  struct stat st {};
  ::stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
      << "no temporary file is left behind";
}

// A file replaced survives a power cut whole: its bytes reach the disk before the rename, and the
// folder's new entry after it.
TEST(FileBytes, aReplacedFileIsOnTheDiskBeforeItsNameAndItsNameAfter) {
  test::TempDir dir;
  std::vector<AtomicFile::Step> steps;
  AtomicFile::ListenToSteps([&](AtomicFile::Step step) { steps.push_back(step); });
  const std::vector<uint8_t> bytes = {1, 2, 3};
  ASSERT_TRUE(WriteFileAtomically(dir / "file", {bytes, bytes}));
  AtomicFile::ListenToSteps(nullptr);
  using S = AtomicFile::Step;
  EXPECT_EQ(steps, (std::vector<S>{S::kWrite, S::kWrite, S::kSync, S::kRename, S::kSyncFolder}));
}

TEST(FileBytes, leavesTheOldFileWhenTheDirectoryCannotBeWritten) {
  if (::geteuid() == 0) {
    // root writes anywhere; a missing directory fails for everyone.
    test::TempDir dir;
    const auto outcome = WriteFileAtomically(dir / "gone/out.bin", std::vector<uint8_t>{1});
    const std::string error = outcome.error();
    EXPECT_FALSE(outcome);
    EXPECT_NE(error.find("out.bin"), std::string::npos) << error;
    return;
  }
  test::TempDir dir;
  auto path = dir.Write("out.bin", "old");
  ::chmod(dir.path().c_str(), 0555);
  const auto outcome = WriteFileAtomically(path, std::vector<uint8_t>{1});
  const std::string error = outcome.error();
  EXPECT_FALSE(outcome);
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(test::ReadText(path), "old");
}

TEST(FileBytes, readsAtMostTheBytesAsked) {
  test::TempDir dir;
  auto path = dir.Write("f", "abcdef");
  EXPECT_EQ(ReadFileBytes(path, 4)->size(), 4u);
  EXPECT_EQ(ReadFileBytes(path)->size(), 6u);
  EXPECT_FALSE(ReadFileBytes(dir / "missing"));
}

TEST(FileBytes, readsOnlyRegularFilesAndNeverWaitsForAWriter) {
  test::TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  const std::pair<std::filesystem::path, const char*> cases[] = {
      {dir / "fifo", "is not a regular file"},
      {"/dev/zero", "is not a regular file"},
      {dir.path(), "is a directory"}};
  for (const auto& [path, why] : cases) {
    auto read = ReadFileBytes(path);
    ASSERT_FALSE(read) << path;
    EXPECT_EQ(read.error(), path.string() + ": " + why);
  }
  std::filesystem::create_symlink("/dev/zero", dir / "zero.txt");
  EXPECT_FALSE(ReadMapInfo(dir / "zero.txt"));
  EXPECT_FALSE(ReadPieceTable(dir / "fifo"));
  EXPECT_FALSE(ReadSectorGrid(dir / "zero.txt"));
}

TEST(FileBytes, aSuccessfulWriteRemovesTheTemporariesOfKilledWriters) {
  test::TempDir dir;
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string dead = std::to_string(gone), alive = std::to_string(::getpid());
  dir.Write(".out.bin.tmp-" + dead + "-3", "left by a kill");
  dir.Write(".out.bin.tmp-" + alive + "-99", "being written");
  dir.Write(".other.bin.tmp-" + dead + "-1", "another target's");
  dir.Write(".out.bin.tmp-" + dead + "-x", "not ours");
  ASSERT_TRUE(WriteFileAtomically(dir / "out.bin", std::vector<uint8_t>{1, 2}));
  EXPECT_FALSE(std::filesystem::exists(dir / (".out.bin.tmp-" + dead + "-3")));
  EXPECT_TRUE(std::filesystem::exists(dir / (".out.bin.tmp-" + alive + "-99")));
  EXPECT_TRUE(std::filesystem::exists(dir / (".other.bin.tmp-" + dead + "-1")));
  EXPECT_TRUE(std::filesystem::exists(dir / (".out.bin.tmp-" + dead + "-x")));
}

// Text readers stop at what they need and a grid at its last cell: each file here is followed by
// gigabytes of zeros, which a reader of the whole file could not even hold in the memory allowed.
TEST(FileBytes, readersStopWhereTheFileIsDecided) {
  if (!test::kMemoryLimitsWork)
    GTEST_SKIP() << "a memory limit cannot be set under AddressSanitizer";
  test::TempDir dir;
  std::string pieces;
  for (int k = 0; k < 256; ++k)
    pieces += "P" + std::to_string(k) + " " + std::to_string(k % 100) + " 1\n";
  std::string info = "Endless\n";
  for (int r = 1; r <= 8; ++r)
    info += "allied " + std::to_string(r) + " " + std::to_string(r + 8) + "\n";
  std::string grid(8 + 2 * 4, '\0');
  grid[0] = 2;
  grid[4] = 2;
  grid[8] = 7;
  constexpr uintmax_t kTail = uintmax_t{4} << 30;
  for (auto [name, text] :
       {std::pair{"ToolPieces.txt", &pieces}, {"MapInfo.txt", &info}, {"SektorInfo.map", &grid}}) {
    dir.Write(name, *text);
    std::filesystem::resize_file(dir / name, text->size() + kTail);
  }
  const int code = test::RunWithMemoryLimit(uintmax_t{1} << 30, [&] {
    auto table = ReadPieceTable(dir / "ToolPieces.txt");
    if (!table || (*table)[255].name != "P255" || (*table)[255].value != 55) return 1;
    auto description = ReadMapInfo(dir / "MapInfo.txt");
    if (!description || description->alliances[7][1] != 16) return 2;
    auto cells = ReadSectorGrid(dir / "SektorInfo.map");
    if (!cells || cells->valueAt(0, 0) != 7) return 3;
    return 0;
  });
  EXPECT_EQ(code, 0) << "1: piece table, 2: description, 3: grid (-1: out of memory)";
}

}  // namespace
}  // namespace mw
