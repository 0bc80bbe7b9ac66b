// SPDX-License-Identifier: GPL-3.0-or-later
#include "PositionFile.h"

#include <array>
#include <bit>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "ByteOrder.h"
#include "FileBytes.h"

namespace mw {
namespace {

// A record's two coordinates as the list keeps them, x in the low 16 bits and y above: NaN and
// all at or below 0 give 0, all from 65535 on give 65535, the rest are truncated toward zero.
[[gnu::always_inline]] inline uint32_t DecodeCoordinates(std::span<const uint8_t> record) {
#if defined(__SSE2__)
  // Both at once: the maximum with 0 gives 0 for NaN, as the minimum with 65535 keeps it; the
  // conversion truncates toward zero. The low 16 bits of each are then put side by side.
  __m128d xy = _mm_loadu_pd(reinterpret_cast<const double*>(record.data()));
  xy = _mm_min_pd(_mm_max_pd(xy, _mm_setzero_pd()), _mm_set1_pd(65535.0));
  const __m128i whole = _mm_shufflelo_epi16(_mm_cvttpd_epi32(xy), _MM_SHUFFLE(3, 2, 2, 0));
  return static_cast<uint32_t>(_mm_cvtsi128_si32(whole));
#else
  const auto stored = [](double v) {
    const double low = 0.0 < v ? v : 0.0;
    const double clamped = low < 65535.0 ? low : 65535.0;
    return static_cast<uint32_t>(static_cast<int32_t>(clamped));
  };
  return stored(std::bit_cast<double>(GetU64(record, 0))) |
         stored(std::bit_cast<double>(GetU64(record, 8))) << 16;
#endif
}

[[gnu::always_inline]] inline Unit DecodeUnit(const uint8_t* r) {
  Unit u;
  const std::span<const uint8_t> record(r, kUnitRecordSize);
  const uint32_t xy = DecodeCoordinates(record);
  if constexpr (std::endian::native == std::endian::little) {
    // The record's kind, country and count are the unit's next four bytes, the kind one less:
    // the unit's first eight bytes are made as one word, which the list's loop stores as such
    // (see PlaceUnit).
    uint32_t kindCountryCount = 0;
    std::memcpy(&kindCountryCount, r + 16, 4);
    kindCountryCount =
        (kindCountryCount & 0xFFFFFF00u) | static_cast<uint8_t>(kindCountryCount - 1);
    const uint64_t head = xy | uint64_t{kindCountryCount} << 32;
    std::memcpy(static_cast<void*>(&u), &head, 8);
  } else {
    u.x = static_cast<uint16_t>(xy);
    u.y = static_cast<uint16_t>(xy >> 16);
    u.pieceType = static_cast<uint8_t>(r[16] - 1);
    u.country = r[17];
    u.count = GetU16(record, 18);
  }
  u.sector = GetU16(record, 20);
  return u;
}

void PutUnit(std::span<uint8_t> r, const Unit& u) {
  if constexpr (std::endian::native == std::endian::little) {
    // The fields are the file's little-endian bytes already: the record is put together whole
    // and stored at once, a save's loop over 100,000 stacks being mostly this.
    const double x = u.x, y = u.y;
    const uint16_t count = u.count;
    const uint32_t sector = u.sector;
    std::array<uint8_t, kUnitRecordSize> record;
    std::memcpy(record.data(), &x, 8);
    std::memcpy(record.data() + 8, &y, 8);
    record[16] = static_cast<uint8_t>(u.pieceType + 1);
    record[17] = u.country;
    std::memcpy(record.data() + 18, &count, 2);
    std::memcpy(record.data() + 20, &sector, 4);
    std::copy(record.begin(), record.end(), r.begin());
    return;
  }
  PutU64(r, 0, std::bit_cast<uint64_t>(static_cast<double>(u.x)));
  PutU64(r, 8, std::bit_cast<uint64_t>(static_cast<double>(u.y)));
  r[16] = static_cast<uint8_t>(u.pieceType + 1);
  r[17] = u.country;
  PutU16(r, 18, u.count);
  PutU32(r, 20, u.sector);
}

// The header as a save writes it: with the count of units, and in the native format with its
// magic and a map name that ends within its field.
PositionHeader HeaderAsSaved(const Position& position, bool tessWinMap) {
  PositionHeader header = position.header();
  header.setUnitCount(static_cast<uint32_t>(position.unitCount()));
  if (!tessWinMap) {
    header.setMagic();
    header.TerminateMapName();
  }
  return header;
}

// Writes the header as the format keeps it (a TessWinMap file: the bare unit count) at the start
// of `out`, and says how many bytes that is.
size_t PutHeader(std::span<uint8_t> out, const PositionHeader& header, bool tessWinMap) {
  if (tessWinMap) {
    PutU32(out, 0, header.unitCount());
    return 4;
  }
  std::copy(header.bytes().begin(), header.bytes().end(), out.begin());
  return PositionHeader::kSize;
}

}  // namespace

bool IsTessWinMapPath(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos || name.size() - dot != 4) return false;
  std::string suffix(name.substr(dot));
  for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return suffix == ".map";
}

bool HoldsPosition(const std::filesystem::path& path) {
  const bool tessWinMap = IsTessWinMapPath(path.string());
  std::string suffix = path.extension().string();
  for (char& c : suffix) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (!tessWinMap && suffix != ".QPX") return false;
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) return true;
  auto file = InputFile::Open(path);
  if (!file) return false;
  std::vector<uint8_t> start;
  if (!file->ReadMore(start, PositionHeader::kSize)) return false;
  if (!tessWinMap) return start.size() >= 2 && start[0] == 'M' && start[1] == 'F';
  return start.size() >= 4 && file->size() == 4 + uint64_t{GetU32(start, 0)} * kUnitRecordSize;
}

PositionExtent ExtentOf(std::span<const uint8_t> bytes) {
  PositionExtent extent;
  extent.size = bytes.size();
  std::array<uint8_t, PositionHeader::kSize> start{};  // missing bytes read as zero
  std::copy_n(bytes.begin(), std::min(bytes.size(), start.size()), start.begin());
  const bool native = start[0] == 'M' && start[1] == 'F';
  const size_t headerSize = native ? PositionHeader::kSize : 4;
  extent.announced = GetU32(start, native ? PositionHeader::kUnitCountOffset : 0);
  extent.needed = headerSize + uint64_t{extent.announced} * kUnitRecordSize;
  extent.present = std::min<uint64_t>(
      extent.announced,
      bytes.size() > headerSize ? (bytes.size() - headerSize) / kUnitRecordSize : 0);
  return extent;
}

std::string PositionExtent::Describe(const std::string& name) const {
  const std::string sizes =
      " (" + std::to_string(size) + " bytes of " + std::to_string(needed) + ")";
  const std::string stacks = std::to_string(announced) + (announced == 1 ? " stack" : " stacks");
  if (size < needed - uint64_t{announced} * kUnitRecordSize)
    return name + " is too short to be a position file" + sizes;
  if (size < needed)
    return name + " ends after " + std::to_string(present) + " of its " + stacks + sizes;
  return name + " holds " + std::to_string(size - needed) + " bytes more than its " + stacks +
         " take" + sizes;
}

Status LoadPosition(Position& position, const std::filesystem::path& path) {
  auto read = ReadLargeFile(path);
  if (!read) return Status::Fail(read.error());
  if (BeginsAsDatabase(*read))
    return Status::Fail(path.string() + ": is a game file, not a position file");
  LoadPositionBytes(position, read.value());
  return Status::Ok();
}

void LoadPositionBytes(Position& position, std::span<const uint8_t> bytes) {
  position.ClearUndo();

  PositionHeader header;
  std::copy_n(bytes.begin(), std::min(bytes.size(), PositionHeader::kSize), header.bytes().begin());
  size_t offset = PositionHeader::kSize;
  if (!header.hasMagic()) {
    // A TessWinMap file: a bare unit count, and the position belongs to the default map.
    const uint32_t count = GetU32(header.bytes(), 0);  // missing bytes read as zero
    header = PositionHeader();
    header.setUnitCount(count);
    header.setMagic();
    header.setMapName(kDefaultMapName);
    offset = 4;
  }
  const size_t present = bytes.size() > offset ? (bytes.size() - offset) / kUnitRecordSize : 0;
  const size_t count = std::min<size_t>(header.unitCount(), present);
  // The records' place by value: the loop that stores the units then need not read it again
  // after every store. There is none when there are no records: an empty file's bytes may not
  // be anywhere to point into.
  const uint8_t* const records = count == 0 ? nullptr : bytes.data() + offset;
  position.ReplaceUnits(count,
                        [records](size_t i) { return DecodeUnit(records + i * kUnitRecordSize); });
  position.header() = header;
  position.MarkClean();
}

std::vector<uint8_t> EncodePosition(const Position& position, bool tessWinMap) {
  const PositionHeader header = HeaderAsSaved(position, tessWinMap);
  const size_t headerSize = tessWinMap ? 4 : PositionHeader::kSize;
  std::vector<uint8_t> out(headerSize + position.unitCount() * kUnitRecordSize);
  PutHeader(out, header, tessWinMap);
  const std::span<uint8_t> records = std::span<uint8_t>(out).subspan(headerSize);
  for (size_t i = 0; i < position.unitCount(); ++i)
    PutUnit(records.subspan(i * kUnitRecordSize, kUnitRecordSize), position.unit(i));
  return out;
}

Status SavePosition(Position& position, const std::filesystem::path& path) {
  const bool tessWinMap = IsTessWinMapPath(path.string());
  const PositionHeader header = HeaderAsSaved(position, tessWinMap);
  auto file = AtomicFile::Create(path);
  if (!file) return Status::Fail(file.error());
  // The records go out in pieces through one small buffer: no buffer of the whole file is made
  // (and zeroed by the kernel as fresh memory) only to be written once.
  std::array<uint8_t, 2730 * kUnitRecordSize> piece;
  size_t used = PutHeader(piece, header, tessWinMap);
  const auto flush = [&] {
    const bool wrote = file->Write(std::span(piece.data(), used));
    used = 0;
    return wrote;
  };
  for (size_t i = 0; i < position.unitCount(); ++i) {
    if (used + kUnitRecordSize > piece.size() && !flush())
      return Status::Fail(path.string() + ": cannot write: " + std::strerror(errno));
    PutUnit(std::span(piece.data() + used, kUnitRecordSize), position.unit(i));
    used += kUnitRecordSize;
  }
  if (!flush()) return Status::Fail(path.string() + ": cannot write: " + std::strerror(errno));
  if (Status committed = file->Commit(); !committed) return committed;
  position.header() = header;
  position.MarkClean();
  return Status::Ok();
}

}  // namespace mw
