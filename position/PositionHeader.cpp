// SPDX-License-Identifier: GPL-3.0-or-later
#include "PositionHeader.h"

#include <algorithm>

#include "ByteOrder.h"

namespace mw {

std::string PositionHeader::mapName() const {
  const auto* first = bytes_.data() + kMapNameOffset;
  return std::string(first, std::find(first, first + kMapNameLength, uint8_t{0}));
}

void PositionHeader::setMapName(std::string_view name) {
  const auto field = bytes_.begin() + kMapNameOffset;
  std::fill(field, field + kMapNameField, 0);
  name = name.substr(0, kMapNameLength);
  std::copy(name.begin(), name.end(), field);
}

uint32_t PositionHeader::unitCount() const { return GetU32(bytes_, kUnitCountOffset); }

void PositionHeader::setUnitCount(uint32_t n) { PutU32(bytes_, kUnitCountOffset, n); }

}  // namespace mw
