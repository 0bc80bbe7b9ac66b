// SPDX-License-Identifier: GPL-3.0-or-later
#include "BmpPixels.h"

#include <algorithm>
#include <vector>

#include "ByteOrder.h"
#include "Rle8.h"

namespace mw {
namespace {

constexpr size_t kFileHeader = 14;
constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiBitFields = 3;
constexpr uint32_t kOpaque = 0xff000000u;

// Whether the colour masks of a 32-bit bitmap with bit fields are the plain ones of BI_RGB.
bool PlainMasks(std::span<const uint8_t> head, size_t at, bool alphaToo) {
  if (head.size() < at + (alphaToo ? 16 : 12)) return false;
  return GetU32(head, at) == 0x00ff0000u && GetU32(head, at + 4) == 0x0000ff00u &&
         GetU32(head, at + 8) == 0x000000ffu && (!alphaToo || GetU32(head, at + 12) == 0);
}

}  // namespace

std::optional<BmpLayout> BmpLayoutOf(std::span<const uint8_t> head) {
  if (head.size() < kFileHeader + 4 || head[0] != 'B' || head[1] != 'M') return std::nullopt;
  const uint32_t headerSize = GetU32(head, kFileHeader);
  if (headerSize > head.size() - kFileHeader) return std::nullopt;
  BmpLayout l;
  l.pixelOffset = GetU32(head, 10);
  int64_t width = 0, height = 0;
  uint32_t compression = kBiRgb, colours = 0;
  size_t paletteAt = kFileHeader + headerSize, entry = 4;
  if (headerSize == 12) {
    width = GetU16(head, kFileHeader + 4);
    height = static_cast<int16_t>(GetU16(head, kFileHeader + 6));
    l.bits = GetU16(head, kFileHeader + 10);
    entry = 3;
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
             headerSize == 124) {
    width = GetI32(head, kFileHeader + 4);
    height = GetI32(head, kFileHeader + 8);
    l.bits = GetU16(head, kFileHeader + 14);
    compression = GetU32(head, kFileHeader + 16);
    colours = GetU32(head, kFileHeader + 32);
  } else {
    return std::nullopt;
  }
  if (width <= 0 || height == 0 || height == INT32_MIN || width > INT32_MAX) return std::nullopt;
  l.width = static_cast<int32_t>(width);
  l.height = static_cast<int32_t>(height < 0 ? -height : height);
  l.bottomUp = height > 0;
  l.rowLength = static_cast<size_t>((width * l.bits + 31) / 32 * 4);

  if (l.bits == 8) {
    l.rle8 = compression == kBiRle8;
    if (compression != kBiRgb && !l.rle8) return std::nullopt;
    if (l.rle8 && !l.bottomUp) return std::nullopt;
    if (colours > 256) return std::nullopt;
    const size_t count = colours == 0 ? 256 : colours;
    if (head.size() < paletteAt + count * entry) return std::nullopt;
    l.palette.fill(kOpaque);
    for (size_t i = 0; i < count; ++i) {
      const size_t at = paletteAt + i * entry;
      l.palette[i] =
          kOpaque | uint32_t{head[at + 2]} << 16 | uint32_t{head[at + 1]} << 8 | head[at];
    }
    return l;
  }
  if (l.bits == 24 && compression == kBiRgb) return l;
  if (l.bits == 32) {
    // Bit fields are taken where they are the plain masks and no alpha is asked for.
    if (compression == kBiRgb && headerSize < 56) return l;
    if (compression == kBiBitFields && headerSize == 40 && PlainMasks(head, paletteAt, false))
      return l;
    if (compression == kBiBitFields && headerSize >= 56 && PlainMasks(head, kFileHeader + 40, true))
      return l;
  }
  return std::nullopt;
}

Status DecodeBmpPixels(InputFile& file, const BmpLayout& l, uint32_t* out, size_t stride,
                       const std::string& name) {
  auto rowOut = [&](int64_t stored) {
    const int64_t y = l.bottomUp ? l.height - 1 - stored : stored;
    return out + static_cast<size_t>(y) * stride;
  };
  if (l.rle8) {
    const uint64_t size = file.size() > l.pixelOffset ? file.size() - l.pixelOffset : 0;
    // A run of two bytes paints at most 255 pixels: data that cannot paint the picture is
    // refused before anything is read.
    if (static_cast<uint64_t>(l.width) * static_cast<uint64_t>(l.height) > 255 * size)
      return Status::Fail(name + ": its " + std::to_string(size) +
                          " bytes of RLE8 pixels cannot paint the picture");
    std::vector<uint8_t> data(static_cast<size_t>(size));
    auto read = file.ReadAt(l.pixelOffset, data.data(), data.size());
    if (!read) return Status::Fail(read.error());
    data.resize(*read);
    for (int32_t y = 0; y < l.height; ++y)
      std::fill_n(out + static_cast<size_t>(y) * stride, l.width, l.palette[0]);
    const size_t end = WalkRle8(data, l.width, l.height, [&](int64_t x, int64_t y, uint8_t i) {
      rowOut(y)[x] = l.palette[i];
    });
    if (end != kRle8Complete)
      return Status::Fail(name + ": the RLE8 pixels end at byte " + std::to_string(end) +
                          " of them, before their end mark");
    return Status::Ok();
  }

  // Rows are read a piece at a time into one small buffer and turned into pixels in place.
  const size_t rowsAtOnce = std::max<size_t>(1, (size_t{1} << 19) / l.rowLength);
  std::vector<uint8_t> buffer(rowsAtOnce * l.rowLength);
  for (int64_t first = 0; first < l.height;) {
    const size_t rows = static_cast<size_t>(std::min<int64_t>(rowsAtOnce, l.height - first));
    const uint64_t offset = l.pixelOffset + static_cast<uint64_t>(first) * l.rowLength;
    auto read = file.ReadAt(offset, buffer.data(), rows * l.rowLength);
    if (!read) return Status::Fail(read.error());
    if (*read < rows * l.rowLength)
      return Status::Fail(name + ": truncated: the file ends in row " +
                          std::to_string(first + static_cast<int64_t>(*read / l.rowLength)) +
                          " of " + std::to_string(l.height) + " of its pixels");
    for (size_t r = 0; r < rows; ++r) {
      const uint8_t* in = buffer.data() + r * l.rowLength;
      uint32_t* to = rowOut(first + static_cast<int64_t>(r));
      if (l.bits == 8) {
        for (int32_t x = 0; x < l.width; ++x) to[x] = l.palette[in[x]];
      } else {
        const size_t step = l.bits / 8;
        for (int32_t x = 0; x < l.width; ++x, in += step)
          to[x] = kOpaque | uint32_t{in[2]} << 16 | uint32_t{in[1]} << 8 | in[0];
      }
    }
    first += static_cast<int64_t>(rows);
  }
  return Status::Ok();
}

}  // namespace mw
