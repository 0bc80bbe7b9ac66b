#include "MapInfo.h"

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

MapInfo MapInfo::Parse(std::string_view text, bool* complete) {
  MapInfo info;
  if (complete) *complete = false;
  const auto pieces = SplitLinePieces(text, kPieceLength);
  if (pieces.empty()) return info;
  info.title = StripTitle(pieces.front());
  size_t rows = 0;
  size_t offset = pieces.front().size();
  for (size_t i = 1; i < pieces.size(); offset += pieces[i++].size()) {
    std::string_view line = UpToNul(pieces[i]);
    if (offset < kNamesWithin) {
      if (auto named = ParseCountryLine(line);
          named && format::IsPackageCountry(named->country) && !named->name.empty()) {
        std::string& name = info.countryNames[static_cast<size_t>(named->country)];
        if (name.empty()) name = named->name;
      }
    }
    if (rows == info.alliances.size() || !StartsWithAllied(line)) continue;
    info.alliances[rows++] = ParseAllianceRow(line.substr(6));
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
