// SPDX-License-Identifier: GPL-3.0-or-later
#include "SectorTable.h"

#include "FileBytes.h"

namespace mw {

SectorTable SectorTable::Parse(std::span<const uint8_t> bytes) {
  SectorTable table;
  const size_t records = std::min<size_t>(bytes.size() / SectorRecord::kSize, kMaxRecords);
  for (size_t k = 0; k < records; ++k)
    table.slots_[k + 1] =
        SectorRecord(bytes.subspan(k * SectorRecord::kSize).first<SectorRecord::kSize>());
  return table;
}

std::vector<uint8_t> SectorTable::SerializeNamed() const {
  std::vector<uint8_t> out;
  for (size_t n = 1; n <= kMaxRecords && slots_[n].hasName(); ++n) {
    auto b = slots_[n].bytes();
    out.insert(out.end(), b.begin(), b.end());
  }
  return out;
}

Result<SectorTable> ReadSectorTable(const std::filesystem::path& path) {
  auto bytes = ReadFileBytes(path, SectorRecord::kSize * SectorTable::kMaxRecords);
  if (!bytes) return Result<SectorTable>::Fail(bytes.error());
  return Result<SectorTable>::Ok(SectorTable::Parse(bytes.value()));
}

}  // namespace mw
