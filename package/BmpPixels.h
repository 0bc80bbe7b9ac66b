// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "FileBytes.h"
#include "Result.h"

namespace mw {

// How the pixels of a bitmap lie in its file, for the kinds this suite decodes itself: 8 bits
// with a palette (uncompressed or RLE8), 24 and 32 bits uncompressed, rows stored bottom-up or
// top-down, behind the core header of 12 bytes or an info header of 40 to 124 bytes.
struct BmpLayout {
  int32_t width = 0;
  int32_t height = 0;
  bool bottomUp = true;
  int bits = 0;
  bool rle8 = false;
  uint32_t pixelOffset = 0;
  size_t rowLength = 0;  // bytes per stored row, padding included
  // The palette as 0xffRRGGBB; entries past those the file gives are black.
  std::array<uint32_t, 256> palette{};
};

// The layout of a bitmap from the first bytes of its file (they must hold its headers and
// palette), or none when it is of another kind, or no bitmap, or its header is damaged: another
// decoder is asked then.
std::optional<BmpLayout> BmpLayoutOf(std::span<const uint8_t> head);

// Decodes the pixels of a bitmap file as 0xffRRGGBB into `out`, the top row first, row y at
// `out + y * stride`, reading the file from the pixels' offset on in pieces. A file that ends
// before its pixels do, and RLE8 data without its end mark, are refused with the reason (`name`
// is used in it). RLE8 pixels no run paints are the palette's first colour.
Status DecodeBmpPixels(InputFile& file, const BmpLayout& layout, uint32_t* out, size_t stride,
                       const std::string& name);

}  // namespace mw
