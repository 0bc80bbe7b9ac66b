// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "Position.h"

namespace mw {

// A unit as stored in both position file formats: x and y as IEEE doubles, the piece code
// (piece type + 1), the country, the count and the sector as a 32-bit number.
inline constexpr size_t kUnitRecordSize = 24;

// How much of what a position file's count of stacks announces its bytes hold. A file is whole
// when its size is exactly what its header and the announced stacks take.
struct PositionExtent {
  uint64_t size = 0;       // the bytes there
  uint64_t needed = 0;     // what the header and the announced stacks take
  uint32_t announced = 0;  // the stacks the count announces
  uint64_t present = 0;    // the stacks whose 24 bytes are all there
  bool whole() const { return size == needed; }
  // Why the bytes of `name` are not whole: "x.QPX ends after 5 of its 9 stacks (159 bytes of
  // 231)", "x.QPX holds 12 bytes more than its 9 stacks take (243 bytes of 231)", or "x.MAP is
  // too short to be a position file (0 bytes of 4)".
  std::string Describe(const std::string& name) const;
};
PositionExtent ExtentOf(std::span<const uint8_t> bytes);

// Loads a native (".QPX", starting with "MF") or TessWinMap (".MAP", a bare unit count) position
// file, told apart by content. Replaces every unit, clears the undo history and `dirty`, and
// leaves totals and sectors to the map load that follows. Fails with the reason when the file
// cannot be read; then nothing changes. Damaged files load as far as they go: missing header
// bytes read as zero, coordinates are held within 0 to 65535, and only the records present are
// read. A game file (see BeginsAsDatabase) is refused: it is no position.
Status LoadPosition(Position& position, const std::filesystem::path& path);

// Loads a position from the bytes of a file, as LoadPosition does once it has read them.
void LoadPositionBytes(Position& position, std::span<const uint8_t> bytes);

// Saves the position; the format follows the path (see IsTessWinMapPath). The previous file is
// replaced only once the new one is whole on the disk. Success clears `dirty`; on failure the
// old file is untouched, `dirty` stays as it was and the failure says why.
Status SavePosition(Position& position, const std::filesystem::path& path);

// True when the file's name ends in ".map" in any case: such a path is written in the TessWinMap
// format, any other in the native one. The folders on the way play no part.
bool IsTessWinMapPath(std::string_view path);

// Whether a path may take a position without losing anything else: a name ending in .QPX or .MAP
// (any case), of no file yet or of a file that holds a position of that kind.
bool HoldsPosition(const std::filesystem::path& path);

// The bytes SavePosition writes, for a given format.
std::vector<uint8_t> EncodePosition(const Position& position, bool tessWinMap);

}  // namespace mw
