// SPDX-License-Identifier: GPL-3.0-or-later
#include "SectorGrid.h"

#include <bit>
#include <cstring>
#include <utility>

#include "ByteOrder.h"
#include "FileBytes.h"

namespace mw {

SectorGrid::SectorGrid(int32_t width, int32_t height)
    : SectorGrid(
          width, height,
          LargeVector<uint16_t>(static_cast<size_t>(width) * static_cast<size_t>(height), 0)) {}

SectorGrid::SectorGrid(int32_t width, int32_t height, LargeVector<uint16_t> cells)
    : width_(width),
      height_(height),
      cells_(std::move(cells)),
      data_(cells_.data()),
      count_(cells_.size()) {}

SectorGrid::SectorGrid(int32_t width, int32_t height, std::shared_ptr<const MappedFile> file,
                       size_t offset)
    : width_(width),
      height_(height),
      file_(std::move(file)),
      data_(reinterpret_cast<const uint16_t*>(file_->bytes().data() + offset)),
      count_(static_cast<size_t>(width) * static_cast<size_t>(height)) {}

SectorGrid::SectorGrid(const SectorGrid& other)
    : width_(other.width_),
      height_(other.height_),
      cells_(other.cells_),
      file_(other.file_),
      data_(file_ ? other.data_ : cells_.data()),
      count_(other.count_) {}

SectorGrid::SectorGrid(SectorGrid&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      cells_(std::move(other.cells_)),
      file_(std::move(other.file_)),
      data_(file_ ? other.data_ : cells_.data()),
      count_(std::exchange(other.count_, 0)) {
  other.data_ = nullptr;
}

SectorGrid& SectorGrid::operator=(const SectorGrid& other) {
  if (this != &other) *this = SectorGrid(other);
  return *this;
}

SectorGrid& SectorGrid::operator=(SectorGrid&& other) noexcept {
  if (this == &other) return *this;
  width_ = std::exchange(other.width_, 0);
  height_ = std::exchange(other.height_, 0);
  cells_ = std::move(other.cells_);
  file_ = std::move(other.file_);
  data_ = file_ ? other.data_ : cells_.data();
  count_ = std::exchange(other.count_, 0);
  other.data_ = nullptr;
  return *this;
}

void SectorGrid::Own() {
  cells_.assign(data_, data_ + count_);
  file_.reset();
  data_ = cells_.data();
}

uint16_t SectorGrid::sectorAt(int64_t x, int64_t y) const {
  if (!contains(x, y)) return 0;
  uint16_t v = valueAt(static_cast<int32_t>(x), static_cast<int32_t>(y));
  return IsSectorNumber(v) ? v : 0;
}

std::vector<uint8_t> SectorGrid::Serialize() const {
  std::vector<uint8_t> out(8 + 2 * cells_.size());
  PutU32(out, 0, static_cast<uint32_t>(width_));
  PutU32(out, 4, static_cast<uint32_t>(height_));
  uint8_t* p = out.data() + 8;
  for (uint16_t c : cells()) {
    *p++ = static_cast<uint8_t>(c);
    *p++ = static_cast<uint8_t>(c >> 8);
  }
  return out;
}

Status SectorGrid::WriteFile(const std::filesystem::path& path) const {
  if constexpr (std::endian::native != std::endian::little)
    return WriteFileAtomically(path, Serialize());
  // Here the cells in memory are already the little-endian bytes of the file.
  std::vector<uint8_t> header(8);
  PutU32(header, 0, static_cast<uint32_t>(width_));
  PutU32(header, 4, static_cast<uint32_t>(height_));
  const auto cells = std::as_bytes(this->cells());
  return WriteFileAtomically(
      path, {header, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(cells.data()),
                                              cells.size())});
}

namespace {

std::string TooFew(const std::string& name, int32_t width, int32_t height, uint64_t available) {
  return name + ": the header at offset 0 announces " + std::to_string(width) + " x " +
         std::to_string(height) + " cells, the file holds " + std::to_string(available);
}

}  // namespace

Result<SectorGrid> ParseSectorGrid(std::span<const uint8_t> bytes, const std::string& name) {
  if (bytes.size() < 8)
    return Result<SectorGrid>::Fail(name + ": header of 8 bytes expected, the file has " +
                                    std::to_string(bytes.size()));
  const int32_t width = GetI32(bytes, 0);
  const int32_t height = GetI32(bytes, 4);
  if (width <= 0 || height <= 0)
    return Result<SectorGrid>::Fail(name + ": width " + std::to_string(width) + " and height " +
                                    std::to_string(height) + " at offset 0 must both be positive");
  // Both factors are below 2^31, so the product fits in 64 bits without overflow.
  const uint64_t cellCount = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  const uint64_t available = (bytes.size() - 8) / 2;
  if (cellCount > available)
    return Result<SectorGrid>::Fail(TooFew(name, width, height, available));
  LargeVector<uint16_t> cells(static_cast<size_t>(cellCount));
  if constexpr (std::endian::native == std::endian::little)
    std::memcpy(cells.data(), bytes.data() + 8, 2 * cells.size());
  else
    for (size_t i = 0; i < cells.size(); ++i) cells[i] = GetU16(bytes, 8 + 2 * i);
  return Result<SectorGrid>::Ok(SectorGrid(width, height, std::move(cells)));
}

Result<SectorGrid> ReadSectorGrid(const std::filesystem::path& path) {
  // The header says how many cells follow; they are read straight into the grid's memory, and
  // bytes after the last cell are never read.
  auto file = InputFile::Open(path);
  if (!file) return Result<SectorGrid>::Fail(file.error());
  std::vector<uint8_t> header;
  if (auto read = file->ReadMore(header, 8); !read) return Result<SectorGrid>::Fail(read.error());
  if (header.size() < 8) return ParseSectorGrid(header, path.string());
  const int32_t width = GetI32(header, 0), height = GetI32(header, 4);
  if (width <= 0 || height <= 0) return ParseSectorGrid(header, path.string());
  const uint64_t cellCount = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  const uint64_t available = (file->size() - 8) / 2;
  if (cellCount > available)
    return Result<SectorGrid>::Fail(TooFew(path.string(), width, height, available));
  // Big grids are mapped: a load takes no time for the cells no stack stands on. The cells in
  // the file are little-endian, as they are in memory here.
  constexpr uint64_t kMapFrom = uint64_t{1} << 20;
  if (std::endian::native == std::endian::little && 2 * cellCount >= kMapFrom) {
    if (auto mapped = MappedFile::Open(path);
        mapped && (*mapped)->bytes().size() >= 8 + 2 * cellCount &&
        GetI32((*mapped)->bytes(), 0) == width && GetI32((*mapped)->bytes(), 4) == height)
      return Result<SectorGrid>::Ok(SectorGrid(width, height, std::move(*mapped), 8));
  }
  LargeVector<uint16_t> cells(static_cast<size_t>(cellCount));
  auto read = file->Read(reinterpret_cast<uint8_t*>(cells.data()), 2 * cells.size());
  if (!read) return Result<SectorGrid>::Fail(read.error());
  // A file cut short since it was opened.
  if (*read < 2 * cells.size())
    return Result<SectorGrid>::Fail(TooFew(path.string(), width, height, *read / 2));
  if constexpr (std::endian::native != std::endian::little)
    for (uint16_t& cell : cells) cell = static_cast<uint16_t>(cell >> 8 | cell << 8);
  return Result<SectorGrid>::Ok(SectorGrid(width, height, std::move(cells)));
}

}  // namespace mw
