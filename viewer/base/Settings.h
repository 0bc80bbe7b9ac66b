// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>

#include "Result.h"

namespace mw {

// The 408-byte settings block kept raw in "Marrowind.ini" beside the program. Only six fields
// mean anything; every other byte is kept exactly as read and written back.
class Settings {
 public:
  static constexpr size_t kSize = 408;
  static constexpr const char* kFileName = "Marrowind.ini";
  // Where the fields stand in the block.
  static constexpr size_t kUseBigPieces = 0, kShowIpcValues = 1, kPaletteX = 4, kInfoViewX = 8;

  bool useBigPieces() const { return bytes_[kUseBigPieces] != 0; }
  bool showIpcValues() const { return bytes_[kShowIpcValues] != 0; }
  void setUseBigPieces(bool on) { bytes_[kUseBigPieces] = on; }
  void setShowIpcValues(bool on) { bytes_[kShowIpcValues] = on; }

  // Window corners are stored as their low 16 bits and read back as signed numbers, so that a
  // window left of or above the primary screen comes back where it was.
  int16_t paletteX() const { return Get(kPaletteX); }
  int16_t paletteY() const { return Get(kPaletteX + 2); }
  int16_t infoViewX() const { return Get(kInfoViewX); }
  int16_t infoViewY() const { return Get(kInfoViewX + 2); }
  void setPalette(int32_t x, int32_t y) {
    Put(kPaletteX, x);
    Put(kPaletteX + 2, y);
  }
  void setInfoView(int32_t x, int32_t y) {
    Put(kInfoViewX, x);
    Put(kInfoViewX + 2, y);
  }

  const std::array<uint8_t, kSize>& bytes() const { return bytes_; }

  // Reads up to 408 bytes from the start of the file; missing bytes are 0, a missing file gives
  // all defaults. Fails, with the reason, when there was no file to read.
  Status Load(const std::filesystem::path& path);
  // The same from bytes already read.
  void LoadBytes(std::span<const uint8_t> bytes);
  // Writes the 408 bytes, replacing the file only once the new one is whole. Fails with the
  // reason when the file cannot be written; the program goes on either way.
  Status Save(const std::filesystem::path& path) const;

 private:
  int16_t Get(size_t at) const { return static_cast<int16_t>(bytes_[at] | (bytes_[at + 1] << 8)); }
  void Put(size_t at, int32_t v) {
    bytes_[at] = static_cast<uint8_t>(v);
    bytes_[at + 1] = static_cast<uint8_t>(v >> 8);
  }
  std::array<uint8_t, kSize> bytes_{};
};

}  // namespace mw
