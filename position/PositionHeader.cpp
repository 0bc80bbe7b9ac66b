#include "PositionHeader.h"

#include <algorithm>

#include "ByteOrder.h"

namespace mw {

std::string PositionHeader::mapName() const {
  const auto* first = bytes_.data() + 2;
  return std::string(first, std::find(first, first + kMapNameLength, uint8_t{0}));
}

void PositionHeader::setMapName(std::string_view name) {
  std::fill(bytes_.begin() + 2, bytes_.begin() + 7, 0);
  name = name.substr(0, kMapNameLength);
  std::copy(name.begin(), name.end(), bytes_.begin() + 2);
}

uint32_t PositionHeader::unitCount() const { return GetU32(bytes_, 7); }

void PositionHeader::setUnitCount(uint32_t n) { PutU32(bytes_, 7, n); }

}  // namespace mw
