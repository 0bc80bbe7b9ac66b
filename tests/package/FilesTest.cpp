// Files of a package as found on disk: paths in any case, bitmaps, and safe replacement.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "BmpRows.h"
#include "ByteOrder.h"
#include "FileBytes.h"
#include "PackagePaths.h"
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
    std::copy(rows.row(y).begin(), rows.row(y).end(), file.begin() + static_cast<ptrdiff_t>(at + 8 * y));
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

TEST(BmpRows, refusesWhatItCannotLoadWithTheReason) {
  auto good = EncodeBmp(Rows(4, 4, 8));
  auto compressed = good;
  PutU32(compressed, 30, 1);
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

TEST(FileBytes, leavesTheOldFileWhenTheDirectoryCannotBeWritten) {
  if (::geteuid() == 0) {
    // root writes anywhere; a missing directory fails for everyone.
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(dir / "gone/out.bin", std::vector<uint8_t>{1}, &error));
    EXPECT_NE(error.find("out.bin"), std::string::npos) << error;
    return;
  }
  test::TempDir dir;
  auto path = dir.Write("out.bin", "old");
  ::chmod(dir.path().c_str(), 0555);
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(path, std::vector<uint8_t>{1}, &error));
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

}  // namespace
}  // namespace mw
