// The pictures of a package: read once, from regular files only, however large they are.
#include <gtest/gtest.h>

#include "BmpRows.h"
#include "ByteOrder.h"
#include "FileBytes.h"
#include "Picture.h"
#include "ProcessLimits.h"
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

// The bytes of a 4 x 4 bitmap whose header claims `side` x `side` pixels.
std::string BitmapClaiming(uint32_t side) {
  BmpRows rows;
  rows.width = rows.height = 4;
  rows.bitsPerPixel = 24;
  rows.rowLength = 12;
  rows.pixels.assign(48, 0);
  std::vector<uint8_t> bytes = EncodeBmp(rows);
  PutU32(bytes, 18, side);
  PutU32(bytes, 22, side);
  return std::string(bytes.begin(), bytes.end());
}

TEST(Picture, refusesWhatCannotBeLoadedWithTheReason) {
  test::TempDir dir;
  dir.Write("vast.bmp", BitmapClaiming(300000));  // hundreds of gigabytes
  dir.Write("text.bmp", "no picture here");
  const std::pair<std::string, std::string> cases[] = {
      {"vast.bmp", "300000 x 300000 pixels needs more memory than this program may use"},
      {"text.bmp", "not a readable picture"},
      {"missing.bmp", "cannot open: No such file or directory"},
      {".", "is a directory"}};
  for (const auto& [name, why] : cases) {
    auto picture = LoadPicture(dir / name);
    ASSERT_FALSE(picture) << name;
    EXPECT_NE(picture.error().find(why), std::string::npos) << picture.error();
  }
}

// A picture whose header asks for more than the program may take is refused from its header,
// before its bytes are read, and an allocation that fails ends in a reason, never in an abort.
TEST(Picture, refusesFromItsHeaderAPictureLargerThanTheProgramMayTake) {
  test::TempDir dir;
  dir.Write("huge.bmp", BitmapClaiming(30000));  // 2.7 GB of pixels
  const auto path = dir / "huge.bmp";
  const int code = test::RunWithMemoryLimit(uint64_t{1} << 30, [&] {
    auto picture = LoadPicture(path);
    if (picture) return 1;
    return picture.error().find("needs more memory than this program may use") == std::string::npos
               ? 2
               : 0;
  });
  EXPECT_EQ(code, 0) << "1: loaded, 2: another reason, -1: the program ended";
}

}  // namespace
}  // namespace mw
