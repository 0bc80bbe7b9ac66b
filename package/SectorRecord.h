// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "FormatFacts.h"

namespace mw {

// One 76-byte record of the sector table, kept as the bytes read so that the fields the viewer
// does not use survive a write unchanged. The accessors name the fields the viewer reads; the
// nine 32-bit values of the map author's sector text start at byte 40.
class SectorRecord {
 public:
  static constexpr size_t kSize = 76;
  static constexpr size_t kNameField = 39;  // bytes 1 to 39, NUL-terminated
  static constexpr int kValueCount = 9;
  static constexpr int kOwners = format::kPackageCountries;  // owner fields: countries 1 to 8

  SectorRecord() { bytes_.fill(0); }
  explicit SectorRecord(std::span<const uint8_t, kSize> bytes);

  std::span<const uint8_t, kSize> bytes() const { return bytes_; }
  std::span<uint8_t, kSize> bytes() { return bytes_; }

  uint8_t nameLength() const { return bytes_[0]; }
  // The name up to its first zero byte, at most the 39 bytes of its field.
  std::string name() const;
  bool hasName() const { return bytes_[1] != 0; }

  uint8_t initialOwner() const { return bytes_[41]; }
  uint8_t ipcValue() const { return bytes_[42]; }
  int32_t labelX() const;
  int32_t labelY() const;
  void setLabelX(int32_t x);
  void setLabelY(int32_t y);
  uint8_t sectorFlags() const { return bytes_[52]; }
  uint8_t convoyFlag() const { return bytes_[53]; }
  uint8_t dependencySector() const { return bytes_[54]; }
  // Dependency sector of owner 1 to 8 (byte 55 + owner); 0 for any other owner.
  uint8_t ownerDependency(int owner) const;
  // Income of owner 1 to 8 (a nibble of bytes 64 to 67); 0 for any other owner.
  uint8_t countryValues(int owner) const;
  uint8_t requiredPiece() const { return bytes_[68]; }

  // Value 1 to 9 of the sector text, little-endian at byte 36 + 4 * index.
  uint32_t value(int index) const;
  void setValue(int index, uint32_t v);

  static constexpr uint8_t kFlagOil = 1;
  static constexpr uint8_t kFlagCountryValues = 2;
  static constexpr uint8_t kFlagOwnerDependency = 4;

  bool operator==(const SectorRecord&) const = default;

 private:
  std::array<uint8_t, kSize> bytes_;
};

}  // namespace mw
