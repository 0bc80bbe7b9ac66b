// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "LargeMemory.h"
#include "Result.h"

namespace mw {

// The pixel rows of an 8-bit (palette) or 24-bit Windows bitmap, as the sector
// bitmap converters read them: `rowLength` bytes per row, padding included (a multiple of 4, as
// the file stores it), the top row of the picture first whichever order the file uses.
struct BmpRows {
  int32_t width = 0;
  int32_t height = 0;
  int bitsPerPixel = 0;
  size_t rowLength = 0;
  LargeVector<uint8_t> pixels;  // rowLength * height bytes

  std::span<const uint8_t> row(int32_t y) const {
    return std::span<const uint8_t>(pixels).subspan(static_cast<size_t>(y) * rowLength, rowLength);
  }
};

// What a bitmap's header says, read without its pixels.
struct BmpInfo {
  int32_t width = 0;
  int32_t height = 0;  // rows, whichever order the file stores them in
  int bitsPerPixel = 0;
  uint32_t compression = 0;  // 0 none, 1 RLE8, 2 RLE4, 3 bit fields, ...
};
// Reads the header of a bitmap: fails with the reason when the file cannot be read or its
// header is not that of a bitmap.
Result<BmpInfo> ReadBmpInfo(const std::filesystem::path& path);
// The same from the first bytes of a file; `name` is used in the reason.
Result<BmpInfo> ParseBmpInfo(std::span<const uint8_t> bytes, const std::string& name);

// Whether a picture of width x height, decoded at 4 bytes a pixel beside the `fileBytes` it is
// read from, fits in `budget` bytes; fails with the reason when it does not.
Status PictureFits(int64_t width, int64_t height, uint64_t fileBytes, uint64_t budget,
                   const std::string& name);

// Reads a bitmap from its file bytes: 8-bit (uncompressed or RLE8) and 24-bit uncompressed. Other
// compressions, other depths, truncated files and files that are not bitmaps are refused with
// the reason; `name` is used in that text.
Result<BmpRows> ParseBmpRows(std::span<const uint8_t> bytes, const std::string& name);

Result<BmpRows> ReadBmpRows(const std::filesystem::path& path);

// The bytes of an uncompressed bottom-up bitmap file of the given rows (a 256-entry grey palette
// for 8 bits, none for 24): what the map build and the tests paint sector bitmaps with.
std::vector<uint8_t> EncodeBmp(const BmpRows& rows);

}  // namespace mw
