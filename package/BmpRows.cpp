// SPDX-License-Identifier: GPL-3.0-or-later
#include "BmpRows.h"

#include "ByteOrder.h"
#include "FileBytes.h"
#include "Rle8.h"

namespace mw {
namespace {

constexpr size_t kFileHeader = 14;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;

Result<BmpRows> Refuse(const std::string& name, const std::string& why) {
  return Result<BmpRows>::Fail(name + ": not loadable: " + why);
}

struct InfoHeader {
  int64_t width = 0;
  int64_t height = 0;  // negative: rows stored top row first
  int bits = 0;
  uint32_t compression = 0;
};

// The sizes of the header kinds Windows writes: the old core header (12 bytes, 16-bit sizes)
// and the info header with its later extensions (40 bytes and more, 32-bit sizes).
std::optional<InfoHeader> ReadInfoHeader(std::span<const uint8_t> bytes, uint32_t size) {
  InfoHeader h;
  if (size == 12) {
    h.width = GetU16(bytes, kFileHeader + 4);
    h.height = static_cast<int16_t>(GetU16(bytes, kFileHeader + 6));
    h.bits = GetU16(bytes, kFileHeader + 10);
    return h;
  }
  if (size < 40) return std::nullopt;
  h.width = GetI32(bytes, kFileHeader + 4);
  h.height = GetI32(bytes, kFileHeader + 8);
  h.bits = GetU16(bytes, kFileHeader + 14);
  h.compression = GetU32(bytes, kFileHeader + 16);
  return h;
}

// Decodes the RLE8 pixels of `data` into the rows of `rows`, top row first; a pixel no run
// paints keeps index 0.
Result<BmpRows> DecodeRle8(std::span<const uint8_t> data, BmpRows rows, const std::string& name) {
  rows.pixels.assign(rows.rowLength * static_cast<size_t>(rows.height), 0);
  const size_t end = WalkRle8(data, rows.width, rows.height, [&](int64_t x, int64_t y, uint8_t i) {
    rows.pixels[static_cast<size_t>(rows.height - 1 - y) * rows.rowLength +
                static_cast<size_t>(x)] = i;
  });
  if (end != kRle8Complete)
    return Refuse(name, "the RLE8 pixels end at byte " + std::to_string(end) +
                            " of them, before their end mark");
  return Result<BmpRows>::Ok(std::move(rows));
}

}  // namespace

Result<BmpInfo> ReadBmpInfo(const std::filesystem::path& path) {
  constexpr size_t kLongestHeader = kFileHeader + 124;
  auto bytes =
      ReadFileUntil(path, [](std::span<const uint8_t> b) { return b.size() >= kLongestHeader; });
  if (!bytes) return Result<BmpInfo>::Fail(bytes.error());
  return ParseBmpInfo(*bytes, path.string());
}

Result<BmpInfo> ParseBmpInfo(std::span<const uint8_t> b, const std::string& name) {
  using Info = Result<BmpInfo>;
  if (b.size() < 2 || b[0] != 'B' || b[1] != 'M')
    return Info::Fail(name + ": no bitmap signature \"BM\" at offset 0");
  if (b.size() < kFileHeader + 4)
    return Info::Fail(name + ": too short for a bitmap header: " + std::to_string(b.size()) +
                      " bytes");
  const uint32_t headerSize = GetU32(b, kFileHeader);
  auto header = headerSize <= b.size() - kFileHeader ? ReadInfoHeader(b, headerSize)
                                                     : std::optional<InfoHeader>();
  if (!header)
    return Info::Fail(name + ": unknown or truncated header of " + std::to_string(headerSize) +
                      " bytes at offset 14");
  BmpInfo info;
  info.width = static_cast<int32_t>(header->width);
  info.height =
      static_cast<int32_t>(header->height < 0 ? -int64_t{header->height} : header->height);
  info.bitsPerPixel = header->bits;
  info.compression = header->compression;
  return Info::Ok(info);
}

Status PictureFits(int64_t width, int64_t height, uint64_t fileBytes, uint64_t budget,
                   const std::string& name) {
  if (width <= 0 || height <= 0)
    return Status::Fail(name + ": a picture of " + std::to_string(width) + " x " +
                        std::to_string(height) + " pixels has no pixels");
  // At most 2^31 a side: the product cannot overflow.
  const uint64_t decoded = 4 * static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (decoded > budget || fileBytes > budget - decoded)
    return Status::Fail(name + ": a picture of " + std::to_string(width) + " x " +
                        std::to_string(height) +
                        " pixels needs more memory than this program may use");
  return Status::Ok();
}

Result<BmpRows> ParseBmpRows(std::span<const uint8_t> bytes, const std::string& name) {
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M')
    return Refuse(name, "no bitmap signature \"BM\" at offset 0");
  if (bytes.size() < kFileHeader + 4)
    return Refuse(name,
                  "too short for a bitmap header: " + std::to_string(bytes.size()) + " bytes");
  const uint32_t pixelOffset = GetU32(bytes, 10);
  const uint32_t headerSize = GetU32(bytes, kFileHeader);
  if (headerSize > bytes.size() - kFileHeader)
    return Refuse(name, "the file ends inside its header of " + std::to_string(headerSize) +
                            " bytes at offset 14");
  auto header = ReadInfoHeader(bytes, headerSize);
  if (!header)
    return Refuse(name, "unknown header size " + std::to_string(headerSize) + " at offset 14");
  const bool rle8 = header->compression == kBiRle8 && header->bits == 8;
  if (header->compression != kBiRgb && !rle8)
    return Refuse(name, "compressed (compression " + std::to_string(header->compression) +
                            " at offset 30); only uncompressed and 8-bit RLE8 bitmaps are read");
  if (header->bits != 8 && header->bits != 24)
    return Refuse(name, std::to_string(header->bits) +
                            " bits per pixel; only 8-bit and 24-bit bitmaps are read");
  if (header->width <= 0 || header->height == 0 || header->height == INT32_MIN)
    return Refuse(name, "size " + std::to_string(header->width) + " x " +
                            std::to_string(header->height) + " has no pixels");

  BmpRows rows;
  rows.width = static_cast<int32_t>(header->width);
  rows.height = static_cast<int32_t>(header->height < 0 ? -header->height : header->height);
  rows.bitsPerPixel = header->bits;
  rows.rowLength = static_cast<size_t>((header->width * header->bits + 31) / 32 * 4);
  if (rle8) {
    if (header->height < 0)
      return Refuse(name, "an RLE8 bitmap stored top row first, which bitmaps cannot be");
    if (pixelOffset > bytes.size())
      return Refuse(name, "truncated: its pixels start at offset " + std::to_string(pixelOffset) +
                              ", the file has " + std::to_string(bytes.size()));
    // The pixels of a compressed bitmap are not in the file to vouch for its size: a run of two
    // bytes paints at most 255 pixels, so data that cannot paint the area it declares (with
    // room for rows its line ends cut short) is refused before anything is made for it.
    constexpr uint64_t kLargestDecoded = uint64_t{1} << 30;
    const uint64_t area = static_cast<uint64_t>(rows.width) * static_cast<uint64_t>(rows.height);
    const uint64_t data = bytes.size() - pixelOffset;
    if (area > 255 * data)
      return Refuse(name, "its " + std::to_string(data) + " bytes of RLE8 pixels cannot paint " +
                              std::to_string(rows.width) + " x " + std::to_string(rows.height) +
                              " pixels");
    if (rows.rowLength * static_cast<uint64_t>(rows.height) > kLargestDecoded)
      return Refuse(name, "too large to decode: " + std::to_string(rows.width) + " x " +
                              std::to_string(rows.height) + " pixels is more than 1 GiB");
    return DecodeRle8(bytes.subspan(pixelOffset), std::move(rows), name);
  }
  const uint64_t pixelBytes = static_cast<uint64_t>(rows.rowLength) * rows.height;
  if (pixelOffset > bytes.size() || pixelBytes > bytes.size() - pixelOffset)
    return Refuse(name, "truncated: " + std::to_string(pixelBytes) + " bytes of pixels at offset " +
                            std::to_string(pixelOffset) + ", the file has " +
                            std::to_string(bytes.size()));

  rows.pixels.resize(static_cast<size_t>(pixelBytes));
  const bool bottomUp = header->height > 0;
  for (int32_t y = 0; y < rows.height; ++y) {
    const int32_t stored = bottomUp ? rows.height - 1 - y : y;
    auto from =
        bytes.subspan(pixelOffset + static_cast<size_t>(stored) * rows.rowLength, rows.rowLength);
    std::copy(from.begin(), from.end(),
              rows.pixels.begin() + static_cast<ptrdiff_t>(y * rows.rowLength));
  }
  return Result<BmpRows>::Ok(std::move(rows));
}

Result<BmpRows> ReadBmpRows(const std::filesystem::path& path) {
  auto bytes = ReadLargeFile(path);
  if (!bytes) return Result<BmpRows>::Fail(bytes.error());
  return ParseBmpRows(bytes.value(), path.string());
}

std::vector<uint8_t> EncodeBmp(const BmpRows& rows) {
  const uint32_t paletteBytes = rows.bitsPerPixel == 8 ? 1024 : 0;
  const uint32_t pixelOffset = 14 + 40 + paletteBytes;
  const uint32_t imageBytes = static_cast<uint32_t>(rows.rowLength * rows.height);
  std::vector<uint8_t> out;
  out.reserve(pixelOffset + imageBytes);
  out.push_back('B');
  out.push_back('M');
  AppendU32(out, pixelOffset + imageBytes);
  AppendU32(out, 0);
  AppendU32(out, pixelOffset);
  AppendU32(out, 40);
  AppendU32(out, static_cast<uint32_t>(rows.width));
  AppendU32(out, static_cast<uint32_t>(rows.height));
  AppendU16(out, 1);
  AppendU16(out, static_cast<uint16_t>(rows.bitsPerPixel));
  AppendU32(out, kBiRgb);
  AppendU32(out, imageBytes);
  AppendU32(out, 2835);  // 72 dots per inch
  AppendU32(out, 2835);
  AppendU32(out, paletteBytes ? 256 : 0);
  AppendU32(out, 0);
  for (uint32_t i = 0; i < paletteBytes / 4; ++i) {
    const auto g = static_cast<uint8_t>(i);
    out.insert(out.end(), {g, g, g, 0});
  }
  for (int32_t y = rows.height - 1; y >= 0; --y) {
    auto r = rows.row(y);
    out.insert(out.end(), r.begin(), r.end());
  }
  return out;
}

}  // namespace mw
