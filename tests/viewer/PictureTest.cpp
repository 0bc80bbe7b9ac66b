// The pictures of a package: read once, from regular files only, however large they are.
#include <gtest/gtest.h>

#include "BmpRows.h"
#include "ByteOrder.h"
#include "FileBytes.h"
#include "Picture.h"
#include "TempDir.h"

namespace mw {
namespace {

TEST(Picture, loadsAScannedBoardLargerThanTheDecodersUsualLimit) {
  // 5800 x 5800 at 24 bits decodes to 134 MB, past the 128 MB a decoder allows by default.
  BmpRows rows;
  rows.width = rows.height = 5800;
  rows.bitsPerPixel = 24;
  rows.rowLength = 5800 * 3;
  rows.pixels.assign(rows.rowLength * 5800, 0x80);
  rows.pixels[0] = 0x10;  // the top left pixel's blue
  test::TempDir dir;
  ASSERT_TRUE(WriteFileAtomically(dir / "Map.bmp", EncodeBmp(rows)));
  rows.pixels = {};
  auto picture = LoadPicture(dir / "Map.bmp");
  ASSERT_TRUE(picture) << picture.error();
  EXPECT_EQ(picture->size(), QSize(5800, 5800));
  EXPECT_EQ(qBlue(picture->pixel(0, 0)), 0x10);
  EXPECT_EQ(qBlue(picture->pixel(5799, 5799)), 0x80);
}

TEST(Picture, refusesWhatCannotBeLoadedWithTheReason) {
  test::TempDir dir;
  BmpRows rows;
  rows.width = rows.height = 4;
  rows.bitsPerPixel = 24;
  rows.rowLength = 12;
  rows.pixels.assign(48, 0);
  std::vector<uint8_t> vast = EncodeBmp(rows);
  PutU32(vast, 18, 300000);  // 300000 x 300000 pixels: hundreds of gigabytes
  PutU32(vast, 22, 300000);
  dir.Write("vast.bmp", std::string(vast.begin(), vast.end()));
  dir.Write("text.bmp", "no picture here");
  const std::pair<std::string, std::string> cases[] = {
      {"vast.bmp", "not a readable picture"},
      {"text.bmp", "not a readable picture"},
      {"missing.bmp", "cannot open: No such file or directory"},
      {".", "is a directory"}};
  for (const auto& [name, why] : cases) {
    auto picture = LoadPicture(dir / name);
    ASSERT_FALSE(picture) << name;
    EXPECT_NE(picture.error().find(why), std::string::npos) << picture.error();
  }
}

}  // namespace
}  // namespace mw
