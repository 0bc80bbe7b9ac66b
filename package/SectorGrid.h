// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "LargeMemory.h"
#include "MappedFile.h"
#include "Result.h"

namespace mw {

// Sector numbers at or above this have no record in the sector table and count as no sector.
inline constexpr int kSectorSlots = 512;

inline bool IsSectorNumber(uint32_t value) { return value != 0 && value < kSectorSlots; }

// The sector grid `SektorInfo.map`: one unsigned 16-bit sector number per map pixel, row by row
// from the top. On disk: width and height as signed 32-bit little-endian numbers, then the cells.
class SectorGrid {
 public:
  SectorGrid() = default;
  SectorGrid(int32_t width, int32_t height);  // all cells 0
  SectorGrid(int32_t width, int32_t height, LargeVector<uint16_t> cells);
  // The cells of a mapped file, from `offset` on, which must lie on a cell's boundary.
  SectorGrid(int32_t width, int32_t height, std::shared_ptr<const MappedFile> file, size_t offset);
  SectorGrid(const SectorGrid& other);
  SectorGrid(SectorGrid&& other) noexcept;
  SectorGrid& operator=(const SectorGrid& other);
  SectorGrid& operator=(SectorGrid&& other) noexcept;
  ~SectorGrid() = default;

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  bool empty() const { return count_ == 0; }
  bool contains(int64_t x, int64_t y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_;
  }

  // The stored value of the cell of map pixel (x, y), which must lie inside the grid.
  uint16_t valueAt(int32_t x, int32_t y) const {
    return data_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
  }
  // A grid that shows a mapped file takes a copy of its own at the first change.
  void setValue(int32_t x, int32_t y, uint16_t v) {
    if (file_) Own();
    cells_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = v;
  }
  // The sector at map pixel (x, y): 0 outside the grid and for values of 512 and above.
  uint16_t sectorAt(int64_t x, int64_t y) const;

  std::span<const uint16_t> cells() const { return {data_, count_}; }
  // Whether the cells are those of a mapped file, read where they are used.
  bool mapped() const { return file_ != nullptr; }
  // Whether the mapped file was cut short in place and cells past its end read as 0.
  bool cutShort() const { return file_ && file_->cutShort(); }

  // The file bytes of this grid.
  std::vector<uint8_t> Serialize() const;
  // Writes them to a file, replacing it only once the new one is whole.
  Status WriteFile(const std::filesystem::path& path) const;

 private:
  void Own();

  int32_t width_ = 0;
  int32_t height_ = 0;
  LargeVector<uint16_t> cells_;             // the cells, where the grid holds them itself
  std::shared_ptr<const MappedFile> file_;  // else the file they are read from
  const uint16_t* data_ = nullptr;
  size_t count_ = 0;
};

// Parses the bytes of a `SektorInfo.map`. A header whose width or height is zero or negative, or
// that announces more cells than the bytes hold, is refused with a reason; bytes after the last
// cell are ignored. `name` is used in the error text.
Result<SectorGrid> ParseSectorGrid(std::span<const uint8_t> bytes, const std::string& name);

// Reads a `SektorInfo.map` file. No more memory is taken than the file's size. The cells are
// mapped from the file where they can be, and read from it only where they are used.
Result<SectorGrid> ReadSectorGrid(const std::filesystem::path& path);

}  // namespace mw
