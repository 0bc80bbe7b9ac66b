#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "Result.h"

namespace mw {

// The alliance table of `MapInfo.txt`: 8 rows of 8 country numbers. A row is in use when its
// first number is non-zero; a 0 later in a row is an empty place.
using AllianceRow = std::array<int32_t, 8>;
using AllianceTable = std::array<AllianceRow, 8>;

// The map description `MapInfo.txt`, read in pieces of at most 126 characters as the viewer reads
// it: the first piece is the title; every later piece that begins with "allied" (any case, on its
// first 6 characters) takes the next of the 8 alliance rows, with up to 8 numbers after the
// keyword; other lines are comments.
struct MapInfo {
  static constexpr size_t kPieceLength = 126;

  std::string title;  // without trailing blanks, carriage returns and line feeds
  AllianceTable alliances{};

  // `complete` (when given) tells whether the text already holds all 8 alliance rows whole, so
  // that more text after it could not change the description.
  static MapInfo Parse(std::string_view text, bool* complete = nullptr);
};

// Whether a line of `MapInfo.txt` takes an alliance row: "allied" in any case at its start.
bool StartsWithAllied(std::string_view line);
// The up to 8 country numbers after the keyword of an alliance line.
AllianceRow ParseAllianceRow(std::string_view numbers);

// The title alone, as the map catalogue shows it; fails when the file cannot be read.
Result<std::string> ReadMapTitle(const std::filesystem::path& path);

// The whole description, read no further than its eighth alliance row; fails when the file cannot
// be read (the map then has no alliances).
Result<MapInfo> ReadMapInfo(const std::filesystem::path& path);

}  // namespace mw
