// SPDX-License-Identifier: GPL-3.0-or-later
// pal2sect and rgb2sect, run as a map author runs them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <tuple>

#include "BmpRows.h"
#include "ByteOrder.h"
#include "RunProgram.h"
#include "SectorBitmap.h"
#include "TempDir.h"

namespace mw {
namespace {

BmpRows Blank(int32_t w, int32_t h, int bits) {
  BmpRows r;
  r.width = w;
  r.height = h;
  r.bitsPerPixel = bits;
  r.rowLength = static_cast<size_t>((w * bits + 31) / 32 * 4);
  r.pixels.assign(r.rowLength * static_cast<size_t>(h), 0);
  return r;
}

std::vector<uint8_t> Grid(int32_t w, int32_t h, std::vector<uint16_t> cells) {
  std::vector<uint8_t> out;
  AppendU32(out, static_cast<uint32_t>(w));
  AppendU32(out, static_cast<uint32_t>(h));
  for (auto c : cells) AppendU16(out, c);
  return out;
}

class ConverterTools : public ::testing::Test {
 protected:
  test::ProgramRun Run(const char* tool, std::vector<std::string> args) {
    return test::RunProgram(tool, args, dir.path());
  }
  test::TempDir dir;
};

TEST_F(ConverterTools, pal2sectTakesEachPaletteIndexAsTheSectorTopRowFirst) {
  BmpRows rows = Blank(4, 2, 8);
  const uint8_t top[] = {1, 2, 3, 4}, bottom[] = {5, 6, 7, 8};
  std::copy(top, top + 4, rows.pixels.begin());
  std::copy(bottom, bottom + 4, rows.pixels.begin() + 4);
  dir.Write("s.bmp", EncodeBmp(rows));  // stored bottom row first
  auto run = Run(PAL2SECT, {"s.bmp", "SektorInfo.map"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Loading ...\n");
  EXPECT_EQ(test::ReadBytes(dir / "SektorInfo.map"), Grid(4, 2, {1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(ConverterTools, pal2sectTurnsRowPaddingIntoExtraColumns) {
  BmpRows rows = Blank(3, 1, 8);
  rows.pixels = {9, 8, 7, 0};
  dir.Write("s.bmp", EncodeBmp(rows));
  const auto run = Run(PAL2SECT, {"s.bmp", "g.map"});
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(test::ReadBytes(dir / "g.map"), Grid(4, 1, {9, 8, 7, 0}));
  EXPECT_EQ(run.err,
            "pal2sect: s.bmp: its rows are padded to whole 4-byte groups, so the grid is 4 "
            "columns wide where the bitmap is 3 pixels: the last 1 columns belong to no sector "
            "painted (gimcheck takes this)\n");
}

TEST_F(ConverterTools, rgb2sectCodesTheSectorInBlueAndGreenUnlessRedIsHigh) {
  BmpRows rows = Blank(4, 1, 24);  // 12 bytes a row: no padding
  const uint8_t pixels[] = {0x34, 0x01, 0x00, 0x34, 0x01, 0x80, 0x34, 0x01, 0x7F, 0xFF, 0x01, 0x10};
  std::copy(std::begin(pixels), std::end(pixels), rows.pixels.begin());
  dir.Write("s.bmp", EncodeBmp(rows));
  auto run = Run(RGB2SECT, {"s.bmp", "g.map"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Loading ...\n");
  EXPECT_EQ(test::ReadBytes(dir / "g.map"), Grid(4, 1, {0x0134, 0, 0x0134, 0x01FF}));
}

TEST_F(ConverterTools, rgb2sectGivesAPaddedRowOneExtraColumn) {
  BmpRows rows = Blank(3, 2, 24);  // 9 bytes of pixels, 12 with padding
  rows.pixels[12] = 5;             // first pixel of the second row: blue 5
  dir.Write("s.bmp", EncodeBmp(rows));
  const auto run = Run(RGB2SECT, {"s.bmp", "g.map"});
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(test::ReadBytes(dir / "g.map"), Grid(4, 2, {0, 0, 0, 0, 5, 0, 0, 0}));
  EXPECT_NE(run.err.find("the grid is 4 columns wide where the bitmap is 3 pixels"),
            std::string::npos)
      << run.err;
}

TEST_F(ConverterTools, pal2sectTakesRle8BitmapsAsTheSameRows) {
  BmpRows rows = Blank(4, 2, 8);
  const uint8_t cells[] = {1, 1, 1, 2, 5, 6, 7, 8};
  std::copy(std::begin(cells), std::end(cells), rows.pixels.begin());
  dir.Write("plain.bmp", EncodeBmp(rows));
  // Stored bottom row first: 5 6 7 8 as they are, then three 1s and a 2.
  auto file = EncodeBmp(rows);
  const std::vector<uint8_t> data = {0, 4, 5, 6, 7, 8, 0, 0, 3, 1, 1, 2, 0, 1};
  file.resize(GetU32(file, 10));
  PutU32(file, 30, 1);
  file.insert(file.end(), data.begin(), data.end());
  dir.Write("rle.bmp", file);
  ASSERT_EQ(Run(PAL2SECT, {"plain.bmp", "plain.map"}).exitCode, 0);
  auto run = Run(PAL2SECT, {"rle.bmp", "rle.map"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(test::ReadBytes(dir / "rle.map"), test::ReadBytes(dir / "plain.map"));
}

// 1,080 bytes that declare 32000 x 32000 pixels: refused before a byte of the grid is made.
TEST_F(ConverterTools, pal2sectRefusesRle8DataThatCannotPaintTheAreaItDeclares) {
  auto file = EncodeBmp(Blank(4, 1, 8));
  file.resize(GetU32(file, 10));
  PutU32(file, 30, 1);
  PutU32(file, 18, 32000);
  PutU32(file, 22, 32000);
  file.insert(file.end(), {0, 1});  // the end of the bitmap at once
  dir.Write("vast.bmp", file);
  auto run = Run(PAL2SECT, {"vast.bmp", "vast.map"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("cannot paint 32000 x 32000 pixels"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "vast.map"));
}

TEST_F(ConverterTools, sayWhichBitmapsTheyTakeWhenTheyRefuseOne) {
  auto thirtyTwo = EncodeBmp(Blank(4, 1, 24));
  PutU16(thirtyTwo, 28, 32);
  dir.Write("32.bmp", thirtyTwo);
  dir.Write("8.bmp", EncodeBmp(Blank(4, 1, 8)));
  dir.Write("24.bmp", EncodeBmp(Blank(4, 1, 24)));
  auto rle4 = EncodeBmp(Blank(4, 1, 8));
  PutU32(rle4, 30, 2);
  dir.Write("rle4.bmp", rle4);
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {RGB2SECT, "32.bmp", "rgb2sect takes 24-bit uncompressed bitmaps; this one is 32-bit"},
      {RGB2SECT, "8.bmp", "rgb2sect takes 24-bit uncompressed bitmaps; this one is 8-bit"},
      {PAL2SECT, "24.bmp",
       "pal2sect takes 8-bit palette bitmaps, uncompressed or RLE8; this one is 24-bit"},
      {PAL2SECT, "rle4.bmp",
       "pal2sect takes 8-bit palette bitmaps, uncompressed or RLE8; this one is 8-bit RLE4"},
  };
  for (const auto& [tool, file, words] : cases) {
    auto run = Run(tool, {file, "g.map"});
    EXPECT_EQ(run.exitCode, 2) << file;
    EXPECT_TRUE(run.err.starts_with("error: " + std::string(file) + ": " + words + ". "))
        << run.err;
    // and how to get one it takes: a palette of the sectors' order is made by no converter
    EXPECT_NE(run.err.find(tool == std::string(PAL2SECT) ? "rgb2sect --colours" : "BMP3:out.bmp"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "g.map"));
  }
}

// A palette a converter made dithers the sectors: refused, naming the index, nothing written.
// A picture of flat colours goes through rgb2sect --colours, each colour the sector its line
// names; a colour it does not name (a smoothed edge) is refused with the first such pixel.
TEST_F(ConverterTools, sectorsComeOnlyFromFlatColoursWithTheirNumbersNamed) {
  BmpRows palette = Blank(40, 40, 8);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 40; ++x)
      palette.pixels[static_cast<size_t>(y) * palette.rowLength + static_cast<size_t>(x)] =
          x < 20 ? 1 : ((x + y) % 2 ? 2 : 3);  // sectors 2 and 3 dithered into each other
  dir.Write("dithered.bmp", EncodeBmp(palette));
  auto run = Run(PAL2SECT, {"dithered.bmp", "g.map"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("dithered.bmp: palette index 2 paints 400 single pixels apart from any "
                         "other of it, the first at 21,0"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "g.map"));

  BmpRows picture = Blank(3, 2, 24);
  const uint32_t colours[2][3] = {{0x1020ff, 0x1020ff, 0x00aa00}, {0xffffff, 0x00aa00, 0x1020ff}};
  const auto paint = [&](const uint32_t(&c)[2][3]) {
    for (int32_t y = 0; y < 2; ++y)
      for (int32_t x = 0; x < 3; ++x)
        for (int byte = 0; byte < 3; ++byte)
          picture.pixels[static_cast<size_t>(y) * picture.rowLength + 3 * static_cast<size_t>(x) +
                         static_cast<size_t>(byte)] = static_cast<uint8_t>(c[y][x] >> (8 * byte));
    dir.Write("flat.bmp", EncodeBmp(picture));
  };
  paint(colours);
  dir.Write("colours.txt",
            "; colour sector name\n#1020FF 12 Greyspire\n00aa00 300 Lusk\n\nffffff 0 sea\n");
  run = Run(RGB2SECT, {"--colours", "colours.txt", "flat.bmp", "g.map"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(test::ReadBytes(dir / "g.map"), Grid(4, 2, {12, 12, 300, 0, 0, 300, 12, 0}));
  const uint32_t smoothed[2][3] = {{0x1020ff, 0x1121fe, 0x00aa00}, {0xffffff, 0x00aa00, 0x1020ff}};
  paint(smoothed);
  std::filesystem::remove(dir / "g.map");
  run = Run(RGB2SECT, {"--colours", "colours.txt", "flat.bmp", "g.map"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err,
            "error: flat.bmp: 1 pixel is of colours the list does not name, the first at "
            "1,0 (1121fe): paint the sectors in flat colours, without smoothing, or list "
            "the colour\n");
  for (const auto& [list, said] :
       {std::pair{"1020ff 12\n1020FF 13\n", "line 2: the colour 1020FF is listed twice"},
        {"1020f 12\n", "line 1: \"1020f\" is no colour; write six hexadecimal digits, RRGGBB"},
        {"1020ff 512\n", "line 1: the colour 1020ff names no sector from 0 to 511"}}) {
    dir.Write("bad.txt", list);
    run = Run(RGB2SECT, {"--colours", "bad.txt", "flat.bmp", "g.map"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, std::string("error: flat.bmp: the list bad.txt, ") + said + "\n");
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "g.map"));
}

TEST_F(ConverterTools, failWithoutWritingAnythingOnBadInput) {
  dir.Write("text.bmp", "not a bitmap at all");
  dir.Write("g.map", "previous grid");
  for (const char* tool : {PAL2SECT, RGB2SECT}) {
    auto missing = Run(tool, {"none.bmp", "g.map"});
    EXPECT_EQ(missing.exitCode, 2) << tool;
    EXPECT_NE(missing.err.find("error: none.bmp"), std::string::npos) << missing.err;
    auto notBmp = Run(tool, {"text.bmp", "g.map"});
    EXPECT_EQ(notBmp.exitCode, 2);
    EXPECT_NE(notBmp.err.find("not loadable"), std::string::npos) << notBmp.err;
    EXPECT_EQ(std::count(notBmp.err.begin(), notBmp.err.end(), '\n'), 1) << "one line";
    EXPECT_EQ(test::ReadText(dir / "g.map"), "previous grid");

    auto noOutput = Run(tool, {"text.bmp"});
    EXPECT_EQ(noOutput.exitCode, 1);
    EXPECT_EQ(noOutput.out, "Loading ...\n");
    EXPECT_NE(noOutput.err.find("error: "), std::string::npos);
  }
}

TEST_F(ConverterTools, failWhenTheGridFileCannotBeCreated) {
  dir.Write("s.bmp", EncodeBmp(Blank(4, 1, 8)));
  auto run = Run(PAL2SECT, {"s.bmp", "no/such/dir/g.map"});
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_NE(run.err.find("g.map"), std::string::npos) << run.err;
}

TEST_F(ConverterTools, answerHelpWithTheirUsage) {
  for (const char* tool : {PAL2SECT, RGB2SECT}) {
    auto run = Run(tool, {"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("<bitmap> <gridfile>"), std::string::npos) << run.out;
  }
}

// A shell's "ulimit -f" kills a program that writes past it unless the program ignores the signal;
// the tools let the write fail instead, report it and leave no temporary file behind.
TEST_F(ConverterTools, aFileSizeLimitFailsTheWriteAndLeavesNoTemporary) {
  std::string text;
  for (int n = 1; n <= 511; ++n) text += "Sector " + std::to_string(n) + ": 10300 10 20\n";
  dir.Write("sectors.txt", text);
  dir.Write("map.sek", "old table");
  BmpRows rows = Blank(200, 200, 8);
  dir.Write("sectors.bmp", EncodeBmp(rows));
  dir.Write("map.grid", "old grid");
  const std::pair<const char*, std::vector<std::string>> runs[] = {
      {VORN, {"sectors.txt", "map.sek"}}, {PAL2SECT, {"sectors.bmp", "map.grid"}}};
  for (const auto& [tool, args] : runs) {
    std::vector<std::string> shell = {"-c", "ulimit -f 8; exec \"$0\" \"$@\"", tool};
    shell.insert(shell.end(), args.begin(), args.end());
    auto run = test::RunProgram("/bin/sh", shell, dir.path());
    EXPECT_EQ(run.exitCode, 3) << tool << " " << run.err;
    EXPECT_EQ(run.err.rfind("error: ", 0), 0u) << run.err;
  }
  EXPECT_EQ(test::ReadText(dir / "map.sek"), "old table");
  EXPECT_EQ(test::ReadText(dir / "map.grid"), "old grid");
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
}

TEST_F(ConverterTools, everyToolRefusesAnInputThatIsNoRegularFileAtOnce) {
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  const std::pair<const char*, std::vector<std::string>> runs[] = {
      {PAL2SECT, {"fifo", "out.map"}},
      {RGB2SECT, {"/dev/zero", "out.map"}},
      {VORN, {"fifo", "out.sek"}},
      {SEKDUMP, {"/dev/zero"}}};
  for (const auto& [tool, args] : runs) {
    auto run = Run(tool, args);
    EXPECT_EQ(run.exitCode, 2) << tool;
    EXPECT_NE(run.err.find("is not a regular file"), std::string::npos) << tool << ": " << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "out.map"));
}

// Random rows of few indices, so that some pixels stand alone, in widths on both sides of the
// sixteen bytes and eight cells the conversion and the search take at a time (a row's length is
// the grid's width, whatever it is): every cell is its byte, and the specks found are those
// counted by their definition, the first in reading order.
TEST(SectorBitmap, palettePixelsBecomeCellsAndLoneOnesAreCountedWhateverTheSize) {
  std::mt19937 random(7);
  for (const auto& size :
       {std::pair{1, 1}, {1, 40}, {9, 30}, {10, 30}, {17, 17}, {25, 9}, {33, 5}, {64, 64}}) {
    const int32_t w = size.first, h = size.second;
    for (int colours : {2, 3, 40}) {
      BmpRows rows = Blank(w, h, 8);
      rows.rowLength = static_cast<size_t>(w);
      rows.pixels.resize(rows.rowLength * static_cast<size_t>(h));
      for (uint8_t& p : rows.pixels) p = static_cast<uint8_t>(random() % colours);
      const SectorGrid grid = GridFromPaletteRows(rows);
      const auto gw = static_cast<int32_t>(rows.rowLength);
      ASSERT_EQ(grid.width(), gw);
      std::map<int, Specks> expected;
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < gw; ++x) {
          const uint8_t v =
              rows.pixels[static_cast<size_t>(y) * rows.rowLength + static_cast<size_t>(x)];
          ASSERT_EQ(grid.valueAt(x, y), v) << x << "," << y;
          const auto same = [&](int32_t nx, int32_t ny) {
            return nx >= 0 && ny >= 0 && nx < gw && ny < h && grid.valueAt(nx, ny) == v;
          };
          if (v == 0 || same(x - 1, y) || same(x + 1, y) || same(x, y - 1) || same(x, y + 1))
            continue;
          Specks& s = expected[v];
          if (s.count++ == 0) s = {v, 1, x, y};
        }
      std::optional<Specks> first;
      for (const auto& [index, s] : expected)
        if (!first && s.count >= kDitheredSpecks) first = s;
      const auto found = FindDitheredIndex(grid);
      ASSERT_EQ(found.has_value(), first.has_value()) << w << " x " << h << ", " << colours;
      if (found) {
        EXPECT_EQ(std::tie(found->index, found->count, found->x, found->y),
                  std::tie(first->index, first->count, first->x, first->y))
            << w << " x " << h << ", " << colours;
      }
    }
  }
}

}  // namespace
}  // namespace mw
