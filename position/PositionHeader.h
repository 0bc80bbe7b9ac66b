// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace mw {

// The 15-byte header of a native position file, kept in memory for the position's whole life:
// "MF", the map name (5 bytes, at most 4 characters), the unit count at the odd offset 7, and 4
// reserved bytes that are written back as last read.
class PositionHeader {
 public:
  static constexpr size_t kSize = 15;
  static constexpr size_t kMapNameOffset = 2;
  static constexpr size_t kMapNameField = 5;  // the name and its terminating zero
  static constexpr size_t kMapNameLength = kMapNameField - 1;
  static constexpr size_t kUnitCountOffset = kMapNameOffset + kMapNameField;

  std::array<uint8_t, kSize>& bytes() { return bytes_; }
  const std::array<uint8_t, kSize>& bytes() const { return bytes_; }

  bool hasMagic() const { return bytes_[0] == 'M' && bytes_[1] == 'F'; }
  void setMagic() {
    bytes_[0] = 'M';
    bytes_[1] = 'F';
  }
  // The map name up to its first zero byte and at most 4 characters.
  std::string mapName() const;
  // Stores at most 4 characters of `name`, the rest of the field zero.
  void setMapName(std::string_view name);
  // Zeroes the last byte of the name field, so that the name ends within it whatever was read.
  void TerminateMapName() { bytes_[kMapNameOffset + kMapNameField - 1] = 0; }
  uint32_t unitCount() const;
  void setUnitCount(uint32_t n);

  bool operator==(const PositionHeader&) const = default;

 private:
  std::array<uint8_t, kSize> bytes_{};
};

inline constexpr std::string_view kDefaultMapName = "Tess";

}  // namespace mw
