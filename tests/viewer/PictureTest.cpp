// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of a package: read once, from regular files only, however large they are.
#include <gtest/gtest.h>

#include <QImageReader>
#include <random>

#include "BmpPixels.h"
#include "BmpRows.h"
#include "ByteOrder.h"
#include "FileBytes.h"
#include "MapPicture.h"
#include "Picture.h"
#include "ProcessLimits.h"
#include "Scaling.h"
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

// A picture of another kind than a bitmap goes through the toolkit's decoder, whose limit is raised
// to what the picture needs: a PNG that decodes to just over the decoder's usual 128 MB loads.
TEST(Picture, loadsAPngLargerThanTheDecodersUsualLimit) {
  test::TempDir dir;
  {
    QImage big(5800, 5800, QImage::Format_RGB32);
    big.fill(qRgb(0x80, 0x80, 0x80));
    big.setPixel(0, 0, qRgb(0, 0, 0x10));
    ASSERT_TRUE(big.save(QString::fromStdString((dir / "Map.png").string()), "PNG"));
  }
  auto picture = LoadPicture(dir / "Map.png");
  ASSERT_TRUE(picture) << picture.error();
  EXPECT_EQ(picture->size(), QSize(5800, 5800));
  EXPECT_EQ(qBlue(picture->pixel(0, 0)), 0x10);
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
  if (!test::kMemoryLimitsWork)
    GTEST_SKIP() << "a memory limit cannot be set under AddressSanitizer";
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

// One kind of bitmap: header size, depth, compression, row order, palette entries (0: all).
struct Kind {
  uint32_t header;
  uint16_t bits;
  uint32_t compression;
  bool topDown;
  uint32_t colours;
  bool decodedHere;  // else the toolkit's decoder takes it
};

// A bitmap of that kind, 7 x 5 pixels (rows with padding) of random bytes. The RLE8 data paints
// every pixel with runs and absolute runs of odd length, and no further: the toolkit leaves
// pixels no run paints as its memory held them and carries a run past the right edge on into
// the next row, where this suite paints index 0 and cuts the run, as the format's own platform
// does (the package tests hold those cases).
std::vector<uint8_t> MakeBitmap(const Kind& k, std::mt19937& rng, int32_t w = 7, int32_t h = 5) {
  auto byte = [&] { return static_cast<uint8_t>(rng()); };
  std::vector<uint8_t> info;
  auto u16 = [&](uint32_t v) { AppendU16(info, static_cast<uint16_t>(v)); };
  auto u32 = [&](uint32_t v) { AppendU32(info, v); };
  if (k.header == 12) {
    u32(12), u16(w), u16(h), u16(1), u16(k.bits);
  } else {
    u32(k.header), u32(w), u32(static_cast<uint32_t>(k.topDown ? -h : h)), u16(1), u16(k.bits);
    u32(k.compression), u32(0), u32(2835), u32(2835), u32(k.colours), u32(0);
    while (info.size() < k.header)
      u32(info.size() < 56 ? 0x00ff0000u >> (info.size() - 40) * 2 : 0);
    if (k.header >= 56) PutU32(info, 52, 0);  // no alpha
    if (k.header == 40 && k.compression == 3) u32(0x00ff0000u), u32(0x0000ff00u), u32(0xffu);
  }
  const size_t entries = k.bits <= 8 ? (k.colours ? k.colours : size_t{1} << k.bits) : 0;
  for (size_t i = 0; i < entries * (k.header == 12 ? 3 : 4); ++i) info.push_back(byte());
  std::vector<uint8_t> pixels;
  if (k.compression == 1) {
    for (int y = 0; y < h; ++y) {
      const auto first = static_cast<uint8_t>(1 + rng() % 3);
      pixels.insert(pixels.end(), {first, byte(), 0, 3, byte(), byte(), byte(), 0});
      pixels.insert(pixels.end(), {static_cast<uint8_t>(w - 3 - first), byte(), 0, 0});
    }
    pixels.insert(pixels.end(), {0, 1});
  } else {
    const size_t rowLength = (w * k.bits + 31) / 32 * 4;
    for (size_t i = 0; i < rowLength * h; ++i) pixels.push_back(byte());
  }
  std::vector<uint8_t> file{'B', 'M'};
  AppendU32(file, static_cast<uint32_t>(14 + info.size() + pixels.size()));
  AppendU32(file, 0);
  AppendU32(file, static_cast<uint32_t>(14 + info.size()));
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

// The bitmaps decoded here give the toolkit's pixels, kind by kind, and the others are left to it.
TEST(Picture, decodesEveryKindOfBitmapAsTheToolkitDoes) {
  const Kind kinds[] = {
      {40, 8, 0, false, 0, true},  {40, 8, 0, true, 0, true},    {40, 8, 0, false, 5, true},
      {12, 8, 0, false, 0, true},  {124, 8, 0, true, 17, true},  {40, 8, 1, false, 0, true},
      {40, 8, 1, false, 3, true},  {108, 8, 1, false, 0, true},  {40, 24, 0, false, 0, true},
      {40, 24, 0, true, 0, true},  {12, 24, 0, false, 0, true},  {124, 24, 0, true, 0, true},
      {40, 32, 0, false, 0, true}, {40, 32, 0, true, 0, true},   {40, 32, 3, false, 0, true},
      {108, 32, 3, true, 0, true}, {124, 32, 3, false, 0, true}, {40, 4, 0, false, 0, false},
      {40, 1, 0, false, 2, false}, {40, 16, 0, false, 0, false}};
  std::mt19937 rng(5);
  test::TempDir dir;
  for (const Kind& k : kinds) {
    const std::string what = std::to_string(k.header) + "-byte header, " + std::to_string(k.bits) +
                             " bits, compression " + std::to_string(k.compression) +
                             (k.topDown ? ", top-down" : "") + ", " + std::to_string(k.colours) +
                             " colours";
    for (int sample = 0; sample < 3; ++sample) {
      const std::vector<uint8_t> bytes = MakeBitmap(k, rng);
      ASSERT_EQ(BmpLayoutOf(bytes).has_value(), k.decodedHere) << what;
      ASSERT_TRUE(WriteFileAtomically(dir / "k.bmp", bytes));
      QImageReader reader(QString::fromStdString((dir / "k.bmp").string()));
      const QImage theirs = reader.read().convertToFormat(QImage::Format_RGB32);
      ASSERT_FALSE(theirs.isNull()) << what << ": " << reader.errorString().toStdString();
      auto ours = LoadPicture(dir / "k.bmp");
      ASSERT_TRUE(ours) << what << ": " << ours.error();
      EXPECT_TRUE(!k.decodedHere || ours->format() == QImage::Format_RGB32) << what;
      ASSERT_EQ(ours->size(), theirs.size()) << what;
      const QImage mine = ours->convertToFormat(QImage::Format_RGB32);
      for (int y = 0; y < theirs.height(); ++y)
        for (int x = 0; x < theirs.width(); ++x)
          ASSERT_EQ(reinterpret_cast<const QRgb*>(mine.constScanLine(y))[x],
                    reinterpret_cast<const QRgb*>(theirs.constScanLine(y))[x])
              << what << " at " << x << "," << y;

      // The map's picture, decoded as it is shown, gives the same pixels.
      auto map = MapPicture::Load(dir / "k.bmp");
      ASSERT_TRUE(map) << what << ": " << map.error();
      EXPECT_TRUE(map->Whole() == mine) << what;

      // Cut inside its pixels, a bitmap decoded here is refused with the reason, also as a map.
      if (!k.decodedHere) continue;
      std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 3);
      ASSERT_TRUE(WriteFileAtomically(dir / "cut.bmp", cut));
      for (const auto& refused :
           {LoadPicture(dir / "cut.bmp").error(), MapPicture::Load(dir / "cut.bmp").error()})
        EXPECT_TRUE(refused.find("truncated") != std::string::npos ||
                    refused.find("end mark") != std::string::npos)
            << what << ": " << refused;
    }
  }
}

// A map decoded tile by tile as it is shown gives, for every area at every size, the pixels of the
// same map decoded whole: areas across tiles, at the picture's edges, shrunk, enlarged and at
// its own size, each from a picture nothing of which was decoded before, then whole.
TEST(Picture, aMapDecodedAsItIsShownShowsWhatItDecodedWholeShows) {
  const Kind kinds[] = {{40, 8, 0, false, 0, true},
                        {40, 24, 0, true, 0, true},
                        {40, 32, 0, false, 0, true},
                        {40, 24, 0, false, 0, true}};
  std::mt19937 rng(11);
  test::TempDir dir;
  for (const Kind& k : kinds) {
    const int w = 600 + static_cast<int>(rng() % 200), h = 520 + static_cast<int>(rng() % 100);
    ASSERT_TRUE(WriteFileAtomically(dir / "map.bmp", MakeBitmap(k, rng, w, h)));
    auto whole = LoadPicture(dir / "map.bmp");
    ASSERT_TRUE(whole) << whole.error();
    for (int round = 0; round < 25; ++round) {
      auto map = MapPicture::Load(dir / "map.bmp");
      ASSERT_TRUE(map) << map.error();
      const double zoom = round % 5 == 0 ? 1.0 : 0.15 + (rng() % 200) / 100.0;
      const int sw = std::max(1, static_cast<int>(w * zoom)),
                sh = std::max(1, static_cast<int>(h * zoom));
      const int x = static_cast<int>(rng() % sw), y = static_cast<int>(rng() % sh);
      const QRect area(x, y, 1 + static_cast<int>(rng() % (sw - x + 40)),
                       1 + static_cast<int>(rng() % (sh - y + 40)));
      EXPECT_TRUE(ScaleRegionKeepingDarkLines(*map, sw, sh, area) ==
                  ScaleRegionKeepingDarkLines(*whole, sw, sh, area))
          << k.bits << " bits, " << w << " x " << h << " at " << sw << " x " << sh << ", area "
          << area.x() << "," << area.y() << " " << area.width() << " x " << area.height();
      if (round == 24) {
        EXPECT_TRUE(map->Whole() == *whole);
      }
    }
  }
}

}  // namespace
}  // namespace mw
