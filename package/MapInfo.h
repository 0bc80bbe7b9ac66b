// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "FormatFacts.h"
#include "ReadNotes.h"
#include "Result.h"

namespace mw {

// The alliance table of `MapInfo.txt`: 8 rows of 8 country numbers. A row is in use when its
// first number is non-zero; a 0 later in a row is an empty place.
using AllianceRow = std::array<int32_t, 8>;
using AllianceTable = std::array<AllianceRow, 8>;

// The names of countries 1 to 8 (index 0 unused), Windows-1252 as every text of a package; an
// empty name is a country without one.
using CountryNames = std::array<std::string, format::kPackageCountries + 1>;

// The map description `MapInfo.txt`, read in pieces of at most 126 characters as the viewer reads
// it: the first piece is the title; every later piece that begins with "allied" (any case, on its
// first 6 characters) takes the next of the 8 alliance rows, with up to 8 numbers after the
// keyword; other lines are comments. A comment "country N Name" ("country" in any case at the
// start of a line in the first 64 KiB, N from 1 to 8) names country N, the first such line of a
// country counting; programs that know nothing of it read the file as before.
struct MapInfo {
  static constexpr size_t kPieceLength = 126;
  static constexpr size_t kNamesWithin = 64 * 1024;

  std::string title;  // without trailing blanks, carriage returns and line feeds
  AllianceTable alliances{};
  CountryNames countryNames;

  // `complete` (when given) tells whether the text already holds all 8 alliance rows whole and
  // the 64 KiB where countries are named, so that more text after it could not change the
  // description. `notes` (when given) receive what was taken, taken as it is or passed over.
  static MapInfo Parse(std::string_view text, bool* complete = nullptr, ReadNotes* notes = nullptr);
};

// Whether a line of `MapInfo.txt` takes an alliance row: "allied" in any case at its start.
bool StartsWithAllied(std::string_view line);
// The up to 8 country numbers after the keyword of an alliance line.
AllianceRow ParseAllianceRow(std::string_view numbers);

// Whether two countries count as allies: the same country, or the first row that names either
// names both exactly once each. A row naming one of them (or one twice) ends the search.
bool AreAllied(const AllianceTable& alliances, int32_t a, int32_t b);

// A line "country N Name" read: its number (any, as written) and its name without the blanks
// around it. None for a line that does not start with "country" and a blank.
struct CountryLine {
  int64_t country = 0;
  std::string name;
};
std::optional<CountryLine> ParseCountryLine(std::string_view line);

// "Sarnesh" for a named country, else "country 4": names decoded into UTF-8.
std::string CountryName(const CountryNames& names, int country);
// "Sarnesh (country 4)" for a named country, else "country 4": where the number matters too.
std::string CountryLabel(const CountryNames& names, int country);

// The title alone, as the map catalogue shows it; fails when the file cannot be read.
Result<std::string> ReadMapTitle(const std::filesystem::path& path);

// The whole description, read no further than its eighth alliance row and the first 64 KiB;
// fails when the file cannot be read (the map then has no alliances).
Result<MapInfo> ReadMapInfo(const std::filesystem::path& path);

}  // namespace mw
