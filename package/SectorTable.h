// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <filesystem>
#include <span>
#include <vector>

#include "Result.h"
#include "SectorGrid.h"
#include "SectorRecord.h"

namespace mw {

// The sector table `SektorInfo.sek`: 512 slots, slot n describing sector n. The file holds the
// records of sectors 1, 2, 3 ... without a header; slot 0 and every slot past the file's last
// record are all zero.
class SectorTable {
 public:
  static constexpr int kMaxRecords = kSectorSlots - 1;  // 511 records are read at most

  SectorTable() = default;

  // Slot n for n below 512. Callers check the range; `find` does it for them.
  const SectorRecord& operator[](size_t n) const { return slots_[n]; }
  SectorRecord& operator[](size_t n) { return slots_[n]; }
  const SectorRecord* find(uint32_t n) const { return n < slots_.size() ? &slots_[n] : nullptr; }

  // Reads records 1, 2, ... from the bytes of a table file; at most 511, and a trailing piece
  // shorter than a record is ignored. Any byte sequence is a valid table.
  static SectorTable Parse(std::span<const uint8_t> bytes);

  // The records of sectors 1, 2, ... up to the first one with an empty name and at most 511:
  // the bytes of the sector table export, every byte as held in memory.
  std::vector<uint8_t> SerializeNamed() const;

 private:
  std::array<SectorRecord, kSectorSlots> slots_{};
};

// Reads a `SektorInfo.sek` file; fails only when it cannot be opened or read.
Result<SectorTable> ReadSectorTable(const std::filesystem::path& path);

}  // namespace mw
