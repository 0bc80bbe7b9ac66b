// SPDX-License-Identifier: GPL-3.0-or-later
#include "SectorRecord.h"

#include <algorithm>

#include "ByteOrder.h"

namespace mw {

SectorRecord::SectorRecord(std::span<const uint8_t, kSize> bytes) {
  std::copy(bytes.begin(), bytes.end(), bytes_.begin());
}

std::string SectorRecord::name() const {
  const auto* first = bytes_.data() + 1;
  const auto* end = std::find(first, first + kNameField, uint8_t{0});
  return std::string(first, end);
}

int32_t SectorRecord::labelX() const { return GetI32(bytes_, 44); }
int32_t SectorRecord::labelY() const { return GetI32(bytes_, 48); }
void SectorRecord::setLabelX(int32_t x) { PutU32(bytes_, 44, static_cast<uint32_t>(x)); }
void SectorRecord::setLabelY(int32_t y) { PutU32(bytes_, 48, static_cast<uint32_t>(y)); }

uint8_t SectorRecord::ownerDependency(int owner) const {
  if (owner < 1 || owner > kOwners) return 0;
  return bytes_[55 + owner];
}

uint8_t SectorRecord::countryValues(int owner) const {
  if (owner < 1 || owner > kOwners) return 0;
  const uint8_t pair = bytes_[64 + (owner - 1) / 2];
  return (owner % 2 == 1) ? (pair & 0x0F) : (pair >> 4);
}

uint32_t SectorRecord::value(int index) const { return GetU32(bytes_, 36 + 4 * index); }

void SectorRecord::setValue(int index, uint32_t v) { PutU32(bytes_, 36 + 4 * index, v); }

}  // namespace mw
