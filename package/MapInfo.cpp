// SPDX-License-Identifier: GPL-3.0-or-later
#include "MapInfo.h"

#include <map>
#include <set>

#include "FileBytes.h"
#include "FormatFacts.h"
#include "PackageText.h"
#include "ScanText.h"

namespace mw {

bool StartsWithAllied(std::string_view line) {
  constexpr std::string_view kKeyword = "allied";
  if (line.size() < kKeyword.size()) return false;
  for (size_t i = 0; i < kKeyword.size(); ++i)
    if ((line[i] | 0x20) != kKeyword[i]) return false;
  return true;
}

namespace {

std::string StripTitle(std::string_view line) {
  line = UpToNul(line);
  size_t end = line.size();
  while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\r' || line[end - 1] == '\n')) --end;
  return std::string(line.substr(0, end));
}

std::string_view AsText(const std::vector<uint8_t>& bytes) {
  return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace

AllianceRow ParseAllianceRow(std::string_view numbers) {
  AllianceRow row{};
  ScanText scan(numbers);
  for (auto& country : row) {
    auto n = scan.Decimal();
    if (!n) break;
    country = static_cast<int32_t>(static_cast<uint32_t>(*n));
  }
  return row;
}

bool AreAllied(const AllianceTable& alliances, int32_t a, int32_t b) {
  if (a == b) return true;
  for (const AllianceRow& row : alliances) {
    if (row[0] == 0) continue;
    int matches = 0;
    for (int32_t c : row) matches += (c == a) + (c == b);
    if (matches == 2) return true;
    if (matches == 1) return false;
  }
  return false;
}

std::optional<CountryLine> ParseCountryLine(std::string_view line) {
  constexpr std::string_view kKeyword = "country";
  line = UpToNul(line);
  if (line.size() <= kKeyword.size() || !IsScanBlank(line[kKeyword.size()])) return std::nullopt;
  for (size_t i = 0; i < kKeyword.size(); ++i)
    if ((line[i] | 0x20) != kKeyword[i]) return std::nullopt;
  CountryLine parsed;
  size_t at = kKeyword.size();
  while (at < line.size() && IsScanBlank(line[at])) ++at;
  const size_t digits = at;
  while (at < line.size() && line[at] >= '0' && line[at] <= '9' && at - digits < 9)
    parsed.country = parsed.country * 10 + (line[at++] - '0');
  if (at == digits) parsed.country = -1;  // no number
  while (at < line.size() && IsScanBlank(line[at])) ++at;
  size_t end = line.size();
  while (end > at && IsScanBlank(line[end - 1])) --end;
  parsed.name = std::string(line.substr(at, end - at));
  return parsed;
}

std::string CountryName(const CountryNames& names, int country) {
  if (format::IsPackageCountry(country) && !names[static_cast<size_t>(country)].empty())
    return DecodePackageText(names[static_cast<size_t>(country)]);
  return "country " + std::to_string(country);
}

std::string CountryLabel(const CountryNames& names, int country) {
  const std::string number = "country " + std::to_string(country);
  const std::string name = CountryName(names, country);
  return name == number ? number : name + " (" + number + ")";
}

namespace {

// How many numbers an "allied" row holds as written: its runs of digits.
size_t DigitRuns(std::string_view text) {
  size_t runs = 0;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] >= '0' && text[i] <= '9' && (i == 0 || text[i - 1] < '0' || text[i - 1] > '9'))
      ++runs;
  return runs;
}

// A line after the blanks in front of it, where there are some.
std::optional<std::string_view> Indented(std::string_view line) {
  const size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos || first == 0) return std::nullopt;
  return line.substr(first);
}

// What the reader notes of MapInfo.txt: each note on its line.
class InfoNotes {
 public:
  explicit InfoNotes(ReadNotes* notes) : notes_(notes) {}
  void Add(ReadNote::Kind kind, int line, ReadNote note = {}) {
    if (!notes_) return;
    note.kind = kind;
    note.line = line;
    note.column = 1;
    notes_->push_back(std::move(note));
  }

  // A "country N Name" line: taken, or why not.
  void CountryLine(std::string_view line, int at, const CountryNames& names,
                   std::map<int64_t, int>& namedOn) {
    using K = ReadNote::Kind;
    if (auto indented = Indented(line); indented && ParseCountryLine(*indented))
      return Add(K::kCountryIndented, at, {.text = std::string(line)});
    const auto named = ParseCountryLine(line);
    if (!named) return;
    if (!format::IsPackageCountry(named->country))
      return Add(K::kCountryOutOfRange, at, {.value = named->country});
    if (named->name.empty()) return Add(K::kCountryNoName, at, {.value = named->country});
    const auto [earlier, fresh] = namedOn.insert({named->country, at});
    if (!fresh)
      return Add(K::kCountryAgain, at, {.value = named->country, .earlierLine = earlier->second});
    Add(K::kCountryNamed, at,
        {.text = names[static_cast<size_t>(named->country)], .value = named->country});
  }

  // An alliance row taken: how much of it was read, and its countries.
  void AllianceLine(std::string_view line, int at, size_t row, const AllianceRow& countries,
                    std::map<int32_t, int>& rowOf) {
    using K = ReadNote::Kind;
    const std::string_view numbers = line.substr(6);
    const std::string written(line.substr(0, line.find_first_of("\r\n")));
    size_t read = 0;
    for (ScanText scan(numbers); read < countries.size() && scan.Decimal(); ++read) {
    }
    Add(K::kAllianceTaken, at, {.entry = static_cast<int>(row), .text = written});
    // A comment after the countries holds no country, whatever digits it has.
    const size_t runs = DigitRuns(numbers.substr(0, numbers.find('#')));
    if (read == 0 && runs > 0)
      Add(K::kAllianceNoCountry, at, {.text = written});
    else if (read < runs && read < countries.size())
      Add(K::kAllianceNumbersCut, at, {.text = written, .value = static_cast<int64_t>(read)});
    std::set<int32_t> named, twice;
    for (size_t a = 0; a < read; ++a)
      if (countries[a] != 0 && !named.insert(countries[a]).second &&
          twice.insert(countries[a]).second)
        Add(K::kAllianceCountryTwice, at, {.value = countries[a]});
    if (countries[0] == 0) return;  // a row not in use
    for (int32_t country : countries) {
      if (country == 0) continue;
      const auto [earlier, fresh] = rowOf.insert({country, at});
      if (!fresh && earlier->second != at)
        Add(K::kAllianceCountryAgain, at, {.value = country, .earlierLine = earlier->second});
    }
  }

 private:
  ReadNotes* notes_;
};

}  // namespace

MapInfo MapInfo::Parse(std::string_view text, bool* complete, ReadNotes* notes) {
  MapInfo info;
  InfoNotes note(notes);
  if (complete) *complete = false;
  const auto pieces = SplitLinePieces(text, kPieceLength);
  if (!pieces.empty()) info.title = StripTitle(pieces.front());
  if (info.title.empty()) note.Add(ReadNote::Kind::kTitleMissing, 1);
  if (pieces.empty()) return info;
  size_t rows = 0;
  size_t offset = pieces.front().size();
  std::map<int64_t, int> namedOn;  // the line that names each country
  std::map<int32_t, int> rowOf;    // the line that allies each country first
  int line = pieces.front().back() == '\n' ? 2 : 1;
  for (size_t i = 1; i < pieces.size(); offset += pieces[i++].size()) {
    const int at = line;
    if (pieces[i].back() == '\n') ++line;
    std::string_view piece = UpToNul(pieces[i]);
    if (offset < kNamesWithin) {
      if (auto named = ParseCountryLine(piece);
          named && format::IsPackageCountry(named->country) && !named->name.empty()) {
        std::string& name = info.countryNames[static_cast<size_t>(named->country)];
        if (name.empty()) name = named->name;
      }
      if (notes) note.CountryLine(piece, at, info.countryNames, namedOn);
    }
    if (!StartsWithAllied(piece)) {
      if (auto indented = Indented(piece); indented && StartsWithAllied(*indented))
        note.Add(ReadNote::Kind::kAllianceIndented, at, {.text = std::string(piece)});
      continue;
    }
    if (rows == info.alliances.size()) {
      note.Add(ReadNote::Kind::kAllianceBeyondRows, at, {.text = std::string(piece)});
      continue;
    }
    info.alliances[rows] = ParseAllianceRow(piece.substr(6));
    if (notes) note.AllianceLine(piece, at, rows, info.alliances[rows], rowOf);
    ++rows;
    // A piece is whole once it has its line feed or its full length.
    const bool whole = pieces[i].back() == '\n' || pieces[i].size() == kPieceLength;
    if (complete && rows == info.alliances.size()) *complete = whole && text.size() >= kNamesWithin;
  }
  return info;
}

Result<std::string> ReadMapTitle(const std::filesystem::path& path) {
  // The title is the first piece; a few bytes more cover a carriage return before the line feed.
  auto bytes = ReadFileBytes(path, MapInfo::kPieceLength + 2);
  if (!bytes) return Result<std::string>::Fail(bytes.error());
  return Result<std::string>::Ok(MapInfo::Parse(AsText(*bytes)).title);
}

Result<MapInfo> ReadMapInfo(const std::filesystem::path& path) {
  auto bytes = ReadFileUntil(path, [](std::span<const uint8_t> b) {
    bool complete = false;
    MapInfo::Parse(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()), &complete);
    return complete;
  });
  if (!bytes) return Result<MapInfo>::Fail(bytes.error());
  return Result<MapInfo>::Ok(MapInfo::Parse(AsText(*bytes)));
}

}  // namespace mw
