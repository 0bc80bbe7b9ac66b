// SPDX-License-Identifier: GPL-3.0-or-later
#include "PackageCheck.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <set>

#include "BmpRows.h"
#include "FileBytes.h"
#include "FormatFacts.h"
#include "MapInfo.h"
#include "PackagePaths.h"
#include "PackageText.h"
#include "PieceTable.h"
#include "PositionFile.h"
#include "ScanText.h"
#include "SectorGrid.h"
#include "SectorTable.h"
#include "SectorText.h"

namespace mw {
namespace {

using Level = Finding::Level;

// Fewer pixels than this, apart from the rest of their sector, are taken for stray paint.
constexpr size_t kHandful = 8;
// A finding lists at most this many points.
constexpr size_t kPointsListed = 8;
// Stray pixels are listed one by one up to this many places.
constexpr size_t kStraysListed = 40;

using format::CellSize;
constexpr CellSize kSmallCell = format::kSmallPieceCell;
constexpr CellSize kBigCell = format::kBigPieceCell;

std::string Point(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

// A label point as the sector text writes it too: values 2 and 3, in hexadecimal.
std::string LabelPoint(int x, int y) {
  char hex[32];
  std::snprintf(hex, sizeof hex, "%x %x", static_cast<unsigned>(x), static_cast<unsigned>(y));
  return Point(x, y) + " (" + hex + " in the sector text)";
}

// A number the sector text writes in hexadecimal within one of its values, as it is written
// there where that differs from its decimal: "18 (12 in value 4 of the sector text)".
std::string InSectorText(int64_t v, int value) {
  if (v < 10) return std::to_string(v);
  char hex[24];
  std::snprintf(hex, sizeof hex, "%llx", static_cast<unsigned long long>(v));
  return std::to_string(v) + " (" + hex + " in value " + std::to_string(value) +
         " of the sector text)";
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What is wrong with a name or title as an editor may have saved it, or nothing: a byte-order
// mark in front of it, or UTF-8 where the package wants Windows-1252.
std::optional<std::string> TextTrouble(std::string_view text, const std::string& what) {
  if (text.starts_with(kByteOrderMark))
    return what + " starts with a UTF-8 byte-order mark, which is read as the characters \"" +
           DecodePackageText(kByteOrderMark) + "\"; save the file without it";
  if (LooksLikeUtf8(text))
    return what + " \"" + DecodePackageText(text) +
           "\" is UTF-8, which reads as this; package texts are Windows-1252: save the file so "
           "(vorn --utf8 converts a sector text)";
  return std::nullopt;
}

// A record's name as two names are compared: without regard to case.
std::string FoldedName(std::string name) {
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return name;
}

// The characters a record keeps of a name.
constexpr size_t kFullName = 38;

std::string Plural(size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// One connected piece of a sector's pixels (neighbours across edges, not corners).
struct Piece {
  size_t pixels = 0;
  int x = 0, y = 0;  // its first pixel, in reading order
};

// Every piece of every value of the grid, by value.
std::map<uint16_t, std::vector<Piece>> PiecesOf(const SectorGrid& grid) {
  std::map<uint16_t, std::vector<Piece>> pieces;
  const int32_t w = grid.width(), h = grid.height();
  std::vector<bool> seen(static_cast<size_t>(w) * static_cast<size_t>(h));
  std::vector<std::pair<int32_t, int32_t>> stack;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const size_t at = static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
      const uint16_t value = grid.valueAt(x, y);
      if (seen[at] || value == 0) continue;
      Piece piece{0, x, y};
      seen[at] = true;
      stack.push_back({x, y});
      while (!stack.empty()) {
        const auto [px, py] = stack.back();
        stack.pop_back();
        ++piece.pixels;
        const std::pair<int32_t, int32_t> next[] = {
            {px - 1, py}, {px + 1, py}, {px, py - 1}, {px, py + 1}};
        for (const auto& [nx, ny] : next) {
          if (!grid.contains(nx, ny) || grid.valueAt(nx, ny) != value) continue;
          const size_t n =
              static_cast<size_t>(ny) * static_cast<size_t>(w) + static_cast<size_t>(nx);
          if (seen[n]) continue;
          seen[n] = true;
          stack.push_back({nx, ny});
        }
      }
      pieces[value].push_back(piece);
    }
  }
  return pieces;
}

class Checker {
 public:
  Checker(std::filesystem::path dir, std::vector<std::filesystem::path> mapFolders)
      : dir_(std::move(dir)), mapFolders_(std::move(mapFolders)) {
    mapFolders_.push_back(dir_.parent_path());
  }

  PackageReport Run() {
    Load();
    CheckName();
    CheckMapInfo();
    CheckPicture();
    CheckGrid();
    CheckTable();
    CheckPieceTable();
    CheckPieceImages();
    CheckStart();
    return std::move(report_);
  }

 private:
  std::filesystem::path File(std::string_view name) const {
    return FindEntryIgnoringCase(dir_, name);
  }
  bool Exists(std::string_view name) const {
    std::error_code error;
    return std::filesystem::exists(File(name), error);
  }
  void Add(Level level, std::string_view file, std::string where, std::string what,
           std::optional<Finding::Point> point = std::nullopt) {
    report_.findings.push_back(
        {level, std::string(file), std::move(where), std::move(what), point});
  }
  void Missing(std::string_view file, const std::string& lacks, Level level = Level::kError) {
    Add(level, file, "file", "missing; " + lacks);
  }

  // "sector 12 (Greyspire)", or "sector 301 (no record)".
  std::string Sector(int n) const {
    const SectorRecord* r = Record(n);
    // A record whose values are set but whose name is empty: the viewer reads it as none.
    const bool unnamed = !r && table_ && IsSectorNumber(static_cast<uint32_t>(n)) &&
                         std::any_of((*table_)[n].bytes().begin(), (*table_)[n].bytes().end(),
                                     [](uint8_t b) { return b != 0; });
    return "sector " + std::to_string(n) +
           (r         ? " (" + DecodePackageText(r->name()) + ")"
            : unnamed ? std::string(" (a record without a name)")
                      : std::string(" (no record)"));
  }
  std::string RecordAt(int n) const {
    const SectorRecord* r = Record(n);
    if (!r) return "sector " + std::to_string(n);
    return "record " + std::to_string(n) + " (" + DecodePackageText(r->name()) + ")";
  }
  // The named record of a sector number, if the table has one.
  // A sector table of no bytes: one finding says so, not one for each sector painted.
  bool TableEmpty() const {
    std::error_code error;
    return table_ && std::filesystem::file_size(File(package_file::kSectorTable), error) == 0 &&
           !error;
  }
  const SectorRecord* Record(int n) const {
    if (!table_ || !IsSectorNumber(static_cast<uint32_t>(n))) return nullptr;
    const SectorRecord& r = (*table_)[n];
    return r.hasName() ? &r : nullptr;
  }
  std::optional<int> CountryRows() const {
    if (small_) return small_->height / kSmallCell.height;
    if (big_) return big_->height / kBigCell.height;
    return std::nullopt;
  }
  bool HasRow(int64_t country) const {
    const auto rows = CountryRows();
    return !rows || (country >= 1 && country <= *rows);
  }
  std::string NoRow(int64_t country) const {
    return "country " + std::to_string(country) + " has no row in the piece images (" +
           Plural(static_cast<size_t>(*CountryRows()), "row", "rows") + ")";
  }

  // Each file is read once; why one could not be read is kept for its finding.
  template <class T>
  std::optional<T> Keep(std::string_view file, Result<T> read) {
    if (read) return std::move(read.value());
    errors_[std::string(file)] = read.error();
    return std::nullopt;
  }
  const std::string& Error(std::string_view file) { return errors_[std::string(file)]; }

  void Load() {
    using namespace package_file;
    picture_ = Keep(kMapPicture, ReadBmpInfo(File(kMapPicture)));
    // The viewer shows any picture its decoder reads under the name; a PNG is the one painters
    // save most often.
    if (auto bytes = ReadFileBytes(File(kMapPicture)); !picture_ && bytes) {
      constexpr std::string_view kPng = "\x89PNG\r\n\x1a\n";
      const auto& b = *bytes;
      const auto be32 = [&](size_t at) {
        return static_cast<int32_t>((uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) |
                                    (uint32_t{b[at + 2]} << 8) | uint32_t{b[at + 3]});
      };
      if (b.size() >= 24 &&
          std::equal(kPng.begin(), kPng.end(), b.begin(),
                     [](char c, uint8_t byte) { return static_cast<uint8_t>(c) == byte; })) {
        picture_ = BmpInfo{be32(16), be32(20), 32, 0};
        pngPicture_ = true;
      }
    }
    small_ = Keep(kSmallPieces, ReadBmpInfo(File(kSmallPieces)));
    big_ = Keep(kBigPieces, ReadBmpInfo(File(kBigPieces)));
    grid_ = Keep(kSectorGrid, ReadSectorGrid(File(kSectorGrid)));
    table_ = Keep(kSectorTable, ReadSectorTable(File(kSectorTable)));
    if (auto bytes = Keep(kPieceTable, ReadFileBytes(File(kPieceTable)))) {
      pieceText_ = std::string(bytes->begin(), bytes->end());
      pieces_ = PieceTable::Parse(*pieceText_, nullptr, &pieceNotes_);
    }
  }

  void CheckName() {
    const std::string folder = dir_.filename().string();
    const std::optional<std::string> packageName = PackageNameOf(folder);
    const std::string name = packageName.value_or(folder);
    name_ = name;
    if (!packageName)
      Add(Level::kError, folder, "name",
          "the folder's name does not end in \"" + std::string(kPackageExtension) +
              "\": the program lists only folders named so; rename it \"" + folder +
              std::string(kPackageExtension) + "\"");
    if (name.size() > PositionHeader::kMapNameLength)
      Add(Level::kWarning, folder, "name",
          "the package name has " + std::to_string(name.size()) +
              " characters; a position saved on it names only the first " +
              std::to_string(PositionHeader::kMapNameLength) + ", \"" +
              name.substr(0, PositionHeader::kMapNameLength) + "\"");
  }

  void CheckMapInfo() {
    const auto file = package_file::kMapInfo;
    auto bytes = ReadFileBytes(File(file));
    if (!bytes) {
      if (!Exists(file))
        return Missing(file, "the map has no alliances and \"New\" shows the folder's name");
      return Add(Level::kError, file, "file", bytes.error());
    }
    const std::string text(bytes->begin(), bytes->end());
    if (LooksLikeUtf16(text))
      return Add(Level::kWarning, file, "file",
                 "the text is UTF-16, which is read byte by byte: no title, country or alliance "
                 "of it is read as written; save it as Windows-1252");
    ReadNotes notes;
    const MapInfo info = MapInfo::Parse(text, nullptr, &notes);
    alliances_ = info.alliances;
    if (auto trouble = TextTrouble(info.title, "the title"); trouble && !info.title.empty())
      Add(Level::kWarning, file, "line 1", *trouble);
    if (StartsWithAllied(info.title) || ParseCountryLine(info.title))
      Add(Level::kWarning, file, "line 1",
          "the first line is the title, but \"" + DecodePackageText(info.title) +
              "\" reads like a rule: it is not read as one, and \"New\" lists the map under "
              "it; put the map's title above it");
    for (const ReadNote& n : notes) ExplainMapInfo(n, info);
    CheckKeywords(text);
    if (const auto other = PackageTitled(info.title))
      Add(Level::kWarning, file, "line 1",
          "the title \"" + DecodePackageText(info.title) + "\" is also that of " +
              other->filename().string() + " (in " + other->parent_path().string() +
              "): \"New\" lists both alike; give the map a title of its own");
  }

  // Another package where the viewer looks for maps, or beside this one, with this title.
  std::optional<std::filesystem::path> PackageTitled(const std::string& title) const {
    if (title.empty()) return std::nullopt;
    std::error_code error;
    for (const auto& folder : mapFolders_) {
      std::filesystem::directory_iterator listing(folder, error);
      if (error) continue;
      for (const auto& entry : listing) {
        if (!PackageNameOf(entry.path().filename().string()) || !entry.is_directory(error) ||
            std::filesystem::equivalent(entry.path(), dir_, error))
          continue;
        const auto info = ReadMapInfo(FindEntryIgnoringCase(entry.path(), package_file::kMapInfo));
        if (info && info->title == title) return entry.path();
      }
    }
    return std::nullopt;
  }

  // Lines that look meant as a rule but start with no keyword the reader knows: they are read as
  // nothing at all.
  void CheckKeywords(std::string_view text) {
    const auto pieces = SplitLinePieces(text, MapInfo::kPieceLength);
    for (size_t i = 1; i < pieces.size(); ++i) {
      std::string word;
      for (char c : pieces[i]) {
        if (IsScanBlank(c)) break;
        word += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
      }
      if (word.empty() || word.starts_with("allied")) continue;
      const std::string where = "line " + std::to_string(i + 1);
      if (word.starts_with("country") && word.size() > 7 && word[7] >= '0' && word[7] <= '9') {
        Add(Level::kWarning, package_file::kMapInfo, where,
            "\"" + word + "\" is not read: write a blank between \"country\" and the number");
        continue;
      }
      // A slip of a letter or two, or a word of the same stem ("alliance", "countries").
      for (const char* keyword : {"allied", "country"})
        if (word != keyword &&
            (EditDistance(word, keyword) <= 2 || word.substr(0, 4) == std::string_view(keyword, 4)))
          Add(Level::kWarning, package_file::kMapInfo, where,
              "\"" + word + "\" is not a keyword, so the line is not read; did you mean \"" +
                  keyword + "\"?");
    }
  }

  static size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
      size_t diagonal = row[0];
      row[0] = i;
      for (size_t j = 1; j <= b.size(); ++j) {
        const size_t up = row[j];
        row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
        diagonal = up;
      }
    }
    return row[b.size()];
  }

  // What the reader of MapInfo.txt did with a line, as the author reads it.
  void ExplainMapInfo(const ReadNote& n, const MapInfo& info) {
    using K = ReadNote::Kind;
    const auto file = package_file::kMapInfo;
    const std::string where = "line " + std::to_string(n.line);
    const std::string country = "country " + std::to_string(n.value);
    const auto warn = [&](const std::string& what) { Add(Level::kWarning, file, where, what); };
    switch (n.kind) {
      case K::kTitleMissing:
        return Add(Level::kError, file, where, "no title; \"New\" shows the folder's name instead");
      case K::kAllianceIndented:
        return warn(
            "an indented \"allied\" line is ignored: only lines that start with \"allied\" are "
            "read; remove the blanks in front of it");
      case K::kAllianceBeyondRows:
        return Add(Level::kError, file, where,
                   "a ninth \"allied\" line; only 8 alliances are read, so this one is ignored");
      case K::kAllianceNoCountry:
        return warn("\"" + n.text +
                    "\" is read as an alliance of no country that still takes one of the 8 rows; "
                    "write \"allied\", a blank, then the countries separated by blanks");
      case K::kAllianceNumbersCut:
        return warn("only " + Plural(static_cast<size_t>(n.value), "country", "countries") +
                    " of \"" + n.text + "\" " + (n.value == 1 ? "is" : "are") +
                    " read; separate the countries with blanks, not commas or other signs");
      case K::kAllianceCountryTwice:
        return warn(country +
                    " is named twice in its row: it then counts as allied with every country "
                    "outside the row and with none of the others in it; name it once");
      case K::kAllianceCountryAgain:
        return warn(country + " is already allied on line " + std::to_string(n.earlierLine) +
                    "; alliances are read in order, so this row does not count for it");
      case K::kAllianceTaken: {
        const AllianceRow& row = info.alliances[static_cast<size_t>(n.entry)];
        if (row[0] == 0) return;  // a row not in use
        for (int32_t c : row)
          if (c != 0 && !HasRow(c)) Add(Level::kError, file, where, NoRow(c));
        return;
      }
      case K::kCountryIndented:
        return warn(
            "an indented \"country\" line is ignored: only lines that start with \"country\" "
            "name a country; remove the blanks in front of it");
      case K::kCountryOutOfRange:
        return warn(
            "a \"country\" line names no country from 1 to 8 and is ignored; write \"country\", "
            "the country's number and its name");
      case K::kCountryNoName:
        return warn(country + " is given no name and keeps its number; write the name after it");
      case K::kCountryAgain:
        return warn(country + " is named again; the name on line " + std::to_string(n.earlierLine) +
                    " counts, so this one is ignored");
      case K::kCountryNamed:
        if (auto trouble = TextTrouble(n.text, "the name of " + country)) warn(*trouble);
        if (const auto [earlier, fresh] = countryNames_.insert({n.text, n.value}); !fresh)
          warn(country + " has the name of country " + std::to_string(earlier->second) + ", \"" +
               DecodePackageText(n.text) + "\": the windows cannot tell them apart");
        if (!HasRow(n.value)) warn(NoRow(n.value) + ", so no piece of it shows the name");
        return;
      default:
        return;
    }
  }

  void CheckPicture() {
    const auto file = package_file::kMapPicture;
    if (pngPicture_)
      Add(Level::kWarning, file, "file",
          "the picture is a PNG, not a bitmap: Marrowind shows it, but programs that read map "
          "packages as bitmaps do not; save it as a BMP");
    if (picture_) return;
    if (!Exists(file)) return Missing(file, "the map shows no picture");
    Add(Level::kError, file, "file", Error(file) + "; the map shows no picture");
  }

  void CheckGrid() {
    const auto file = package_file::kSectorGrid;
    if (!grid_) {
      if (!Exists(file))
        return Missing(file,
                       "no sector is known: positions show no sector names, incomes or totals");
      return Add(Level::kError, file, "file",
                 Error(file) + "; no sector is known: no sector names, incomes or totals");
    }
    const SectorGrid& grid = *grid_;
    // A grid wider by less than 4 columns comes of a sector bitmap's row padding, as the
    // converters keep it: the viewer takes it, and so does the check.
    const bool padded = picture_ && grid.width() > picture_->width &&
                        grid.width() - picture_->width < 4 && picture_->height == grid.height();
    if (picture_ && !padded &&
        (picture_->width != grid.width() || picture_->height != grid.height()))
      Add(Level::kError, file, "file",
          std::to_string(grid.width()) + " x " + std::to_string(grid.height()) +
              " cells, but Map.bmp is " + std::to_string(picture_->width) + " x " +
              std::to_string(picture_->height) + " pixels: sectors lie beside what is painted");
    pieces_of_ = PiecesOf(grid);
    for (const auto& [value, pieces] : pieces_of_) {
      size_t pixels = 0;
      for (const Piece& p : pieces) pixels += p.pixels;
      const Piece& first = pieces.front();
      const Finding::Point at{first.x, first.y};
      if (value >= kSectorSlots) {
        Add(Level::kError, file, Point(first.x, first.y),
            Plural(pixels, "pixel", "pixels") + " of value " + std::to_string(value) +
                ", which is no sector (sector numbers end at 511)",
            at);
        continue;
      }
      if (table_ && !TableEmpty() && !Record(value)) {
        Add(Level::kError, file, Point(first.x, first.y),
            Plural(pixels, "pixel", "pixels") + " of " + Sector(value) +
                ", which has no named record in SektorInfo.sek",
            at);
        continue;
      }
      CheckShape(value, pieces);
    }
    SayStrays();
  }

  // Stray pixels, each a finding of its own while they are few; many (a dithered or smoothed
  // sector bitmap) are one finding with their count and the first places, so that the findings
  // that matter are not lost among them.
  void SayStrays() {
    const auto file = package_file::kSectorGrid;
    if (strays_.size() <= kStraysListed) {
      for (const Stray& s : strays_)
        Add(Level::kWarning, file, Point(s.x, s.y),
            Plural(s.pixels, "stray pixel", "stray pixels") + " of " + Sector(s.sector) +
                ", apart from the rest of it",
            Finding::Point{s.x, s.y});
      return;
    }
    size_t pixels = 0;
    std::set<uint16_t> sectors;
    for (const Stray& s : strays_) {
      pixels += s.pixels;
      sectors.insert(s.sector);
    }
    std::string places;
    for (size_t i = 0; i < kPointsListed; ++i)
      places += (i ? "; " : "") + Point(strays_[i].x, strays_[i].y) + " (" +
                Sector(strays_[i].sector) + ")";
    Add(Level::kWarning, file, Point(strays_[0].x, strays_[0].y),
        Plural(pixels, "stray pixel", "stray pixels") + " in " + std::to_string(strays_.size()) +
            " places apart from the rest of their sectors (" +
            Plural(sectors.size(), "sector", "sectors") +
            "): the sector bitmap was smoothed or "
            "dithered; paint it again in flat colours. The first at " +
            places + " and " + std::to_string(strays_.size() - kPointsListed) + " more",
        Finding::Point{strays_[0].x, strays_[0].y});
  }

  // A sector in several pieces, and pieces too small to be meant.
  void CheckShape(uint16_t sector, const std::vector<Piece>& pieces) {
    const auto file = package_file::kSectorGrid;
    std::vector<const Piece*> large;
    for (const Piece& p : pieces)
      if (p.pixels >= kHandful) large.push_back(&p);
    // The main body first.
    std::stable_sort(large.begin(), large.end(),
                     [](const Piece* a, const Piece* b) { return a->pixels > b->pixels; });
    if (large.size() > 1) {
      std::string points;
      for (size_t i = 0; i < large.size() && i < kPointsListed; ++i)
        points += (i ? "; " : "") + Point(large[i]->x, large[i]->y);
      if (large.size() > kPointsListed)
        points += " and " + std::to_string(large.size() - kPointsListed) + " more";
      Add(Level::kWarning, file, RecordAt(sector),
          "its pixels form " + std::to_string(large.size()) + " separate pieces, at " + points,
          Finding::Point{large[0]->x, large[0]->y});
    }
    if (pieces.size() < 2) return;
    for (const Piece& p : pieces)
      if (p.pixels < kHandful) strays_.push_back({p.x, p.y, p.pixels, sector});
  }

  bool YieldsIncome(const SectorRecord& r) const {
    if (r.ipcValue() != 0) return true;
    if (!(r.sectorFlags() & SectorRecord::kFlagCountryValues)) return false;
    for (int owner = 1; owner <= SectorRecord::kOwners; ++owner)
      if (r.countryValues(owner) != 0) return true;
    return false;
  }

  void CheckTable() {
    const auto file = package_file::kSectorTable;
    if (!table_) {
      if (!grid_) return;  // the viewer does not read it without a grid
      if (!Exists(file))
        return Missing(file, "incomes and totals are not computed; the title shows sector numbers");
      return Add(Level::kError, file, "file", Error(file));
    }
    if (TableEmpty())
      return Add(Level::kError, file, "file",
                 "the file is empty: no sector has a name, an owner or an income");
    const int entries = PieceEntries();
    for (int n = 1; n < kSectorSlots; ++n) {
      const SectorRecord* r = Record(n);
      if (!r) continue;
      const std::string where = RecordAt(n);
      if (grid_ && !pieces_of_.contains(static_cast<uint16_t>(n)))
        Add(Level::kError, file, where,
            r->initialOwner() != 0 && YieldsIncome(*r)
                ? "no pixel of SektorInfo.map belongs to it: it is never shown and nobody can take "
                  "it, yet it yields its income to its first owner"
                : "no pixel of SektorInfo.map belongs to it, so it is never held or shown");
      const std::string folded = FoldedName(r->name());
      if (const auto [earlier, fresh] = sectorNames_.insert({folded, n}); !fresh)
        Add(Level::kWarning, file, where,
            "the name is also that of " + RecordAt(earlier->second) +
                ": the status bar, Find and the reports cannot tell them apart");
      // Tabs that align the values count in the length byte but are cut from the name: only a
      // name that fills its field was cut.
      if (const std::string name = r->name();
          r->nameLength() > name.size() && name.size() >= kFullName)
        Add(Level::kWarning, file, where,
            "the name is " + std::to_string(r->nameLength()) +
                " characters long (its length byte); the table holds only the first " +
                std::to_string(name.size()) + ", \"" + DecodePackageText(name) + "\"");
      if (auto trouble = TextTrouble(r->name(), "the name"))
        Add(Level::kWarning, file, where, *trouble);
      const uint8_t flags = r->sectorFlags();
      if (flags & SectorRecord::kFlagOwnerDependency) {
        for (int owner = 1; owner <= SectorRecord::kOwners; ++owner)
          if (r->ownerDependency(owner) == n)
            Add(Level::kWarning, file, where,
                "the dependency sector of owner " + std::to_string(owner) +
                    " is the sector itself: its holder is always allied with its holder, so the "
                    "rule can never act");
        for (int owner = 1; owner <= SectorRecord::kOwners; ++owner) {
          const int d = r->ownerDependency(owner);
          if (d != 0 && !Record(d))
            Add(Level::kError, file, where,
                "the dependency sector of owner " + std::to_string(owner) + " is " +
                    InSectorText(d, owner <= 4 ? 5 : 6) +
                    ", an empty record: that owner never earns from it");
        }
        bool any = false;
        for (int owner = 1; owner <= SectorRecord::kOwners; ++owner)
          any = any || r->ownerDependency(owner) != 0;
        if (!any)
          Add(Level::kWarning, file, where,
              r->dependencySector() != 0
                  ? "the flag of dependencies by owner (4 in the flags) is set, so dependency "
                    "sector " +
                        InSectorText(r->dependencySector(), 4) +
                        " is not used, and no owner has one in values 5 and 6: the rule never "
                        "acts; clear the flag, or move the sector into values 5 and 6"
                  : "the flag of dependencies by owner (4 in the flags) is set, but no owner has a "
                    "dependency sector in values 5 and 6: the rule never acts");
      } else if (r->ownerDependency(1) != 0 || [&] {
                   for (int owner = 2; owner <= SectorRecord::kOwners; ++owner)
                     if (r->ownerDependency(owner) != 0) return true;
                   return false;
                 }()) {
        Add(Level::kWarning, file, where,
            "values 5 and 6 name dependency sectors by owner, but the flag of dependencies by "
            "owner (4 in the flags) is not set: they are not used; add 4 to the flags");
      } else if (r->dependencySector() == n) {
        Add(Level::kWarning, file, where,
            "the dependency sector is the sector itself: its holder is always allied with its "
            "holder, so the rule can never act");
      } else if (const int d = r->dependencySector(); d != 0 && !Record(d)) {
        Add(Level::kError, file, where,
            "dependency sector " + InSectorText(d, 4) +
                " is an empty record: the sector never yields income");
      } else if (const SectorRecord* on = Record(d);
                 on && r->initialOwner() != 0 && on->initialOwner() != 0 && YieldsIncome(*r) &&
                 !AreAllied(alliances_, r->initialOwner(), on->initialOwner())) {
        Add(Level::kWarning, file, where,
            "dependency sector " + InSectorText(d, 4) + ", " + DecodePackageText(on->name()) +
                ", is first held by country " + std::to_string(on->initialOwner()) +
                ", no ally of its first owner (country " + std::to_string(r->initialOwner()) +
                "): the sector yields nothing from the start");
      }
      if (r->requiredPiece() != 0 && pieceText_ && r->requiredPiece() >= entries)
        Add(Level::kError, file, where,
            "required piece " + InSectorText(r->requiredPiece(), 8) + " is beyond the " +
                Plural(static_cast<size_t>(entries), "entry", "entries") +
                " of ToolPieces.txt: the sector never yields income");
      bool values = false;
      for (int owner = 1; owner <= SectorRecord::kOwners; ++owner)
        values = values || r->countryValues(owner) != 0;
      const bool flag = flags & SectorRecord::kFlagCountryValues;
      if (values && !flag)
        Add(Level::kError, file, where,
            "per-country incomes are set, but not the per-country flag (2 in the flags): they "
            "are not used");
      if (flag && !values)
        Add(Level::kError, file, where,
            "the per-country flag (2 in the flags) is set, but no country has an income: the "
            "sector yields nothing");
      if (r->convoyFlag() != 0 && r->initialOwner() == 0 && YieldsIncome(*r))
        Add(Level::kWarning, file, where,
            "convoy " + InSectorText(r->convoyFlag(), 4) +
                " is set, but a convoy sector yields only to its first owner and this one has "
                "none: it never yields; give it a first owner or clear the convoy");
      if (r->initialOwner() != 0 && !HasRow(r->initialOwner()))
        Add(Level::kError, file, where, "first owner: " + NoRow(r->initialOwner()));
      // Every label point on the map, as Show Sectors marks them; a record without pixels has
      // none to be in.
      if (!grid_ || pieces_of_.contains(static_cast<uint16_t>(n))) CheckLabel(n, *r);
    }
  }

  void CheckLabel(int n, const SectorRecord& r) {
    const auto file = package_file::kSectorTable;
    const int32_t x = r.labelX(), y = r.labelY();
    const Finding::Point at{x, y};
    const int32_t w = picture_ ? picture_->width : grid_ ? grid_->width() : 0;
    const int32_t h = picture_ ? picture_->height : grid_ ? grid_->height() : 0;
    if (w > 0 && (x < 0 || y < 0 || x >= w || y >= h)) {
      Add(Level::kWarning, file, RecordAt(n),
          "label point " + LabelPoint(x, y) + " lies outside the picture (" + std::to_string(w) +
              " x " + std::to_string(h) +
              (YieldsIncome(r) ? "): its income is not shown" : "): its name is not shown there"),
          at);
      return;
    }
    if (!grid_ || !grid_->contains(x, y)) return;
    const int in = grid_->sectorAt(x, y);
    if (in != n)
      Add(Level::kWarning, file, RecordAt(n),
          "label point " + LabelPoint(x, y) + " lies in " +
              (in == 0 ? std::string("no sector") : Sector(in)) +
              (YieldsIncome(r) ? ": its income is drawn outside it"
                               : ": \"Show Sectors\" writes its name outside it"),
          at);
  }

  int PieceEntries() const {
    int entries = 0;
    for (int k = 0; k < PieceTable::kKinds; ++k)
      if (!pieces_[static_cast<size_t>(k)].name.empty()) entries = k + 1;
    return entries;
  }

  void CheckPieceTable() {
    const auto file = package_file::kPieceTable;
    if (!pieceText_) {
      if (!Exists(file))
        return Missing(file, "pieces have no names and no strength: Land and Naval stay 0");
      return Add(Level::kError, file, "file", Error(file));
    }
    for (const ReadNote& n : pieceNotes_) ExplainPieceTable(n);
  }

  // What the reader of ToolPieces.txt did with an item, as the author reads it.
  void ExplainPieceTable(const ReadNote& n) {
    using K = ReadNote::Kind;
    const auto file = package_file::kPieceTable;
    const std::string where = "line " + std::to_string(n.line);
    const std::string piece = "piece \"" + DecodePackageText(n.name) + "\"";
    switch (n.kind) {
      case K::kPieceTaken:
        if (auto trouble = TextTrouble(n.text, "the piece name"))
          Add(Level::kWarning, file, where, *trouble);
        if (const auto [earlier, fresh] = pieceNames_.insert({FoldedName(n.text), n.line}); !fresh)
          Add(Level::kWarning, file, where,
              "piece \"" + DecodePackageText(n.text) + "\" is named as on line " +
                  std::to_string(earlier->second) +
                  ": the ToolBar, the unit list and the moves cannot tell them apart");
        return;
      case K::kPieceNameCut:
        return Add(Level::kError, file, where,
                   "name \"" + DecodePackageText(n.text) + "\" is longer than 4 characters; \"" +
                       DecodePackageText(n.kept) + "\" is kept");
      case K::kPieceNoNumber:
        return Add(Level::kError, file, where,
                   n.field + " \"" + DecodePackageText(n.text) + "\" of " + piece +
                       " is no number; the next piece starts there");
      case K::kPieceCategoryNeither:
        return Add(Level::kError, file, where,
                   "category " + n.text + " of " + piece +
                       " is neither 0 (land) nor 1 (naval): its pieces count for neither Land "
                       "nor Naval");
      case K::kPieceNumberCut:
        return Add(Level::kError, file, where,
                   n.field + " " + n.text + " of " + piece + " does not fit 8 bits; " + n.kept +
                       " is kept");
      default:
        return;
    }
  }

  void CheckPieceImage(std::string_view file, const std::optional<BmpInfo>& info, CellSize cell,
                       const std::string& lacks, Level missing) {
    if (!info) {
      if (!Exists(file)) return Missing(file, lacks, missing);
      return Add(Level::kError, file, "file", Error(file) + "; " + lacks);
    }
    if (info->width % cell.width != 0 || info->height % cell.height != 0)
      Add(Level::kError, file, "file",
          std::to_string(info->width) + " x " + std::to_string(info->height) +
              " pixels is not a whole number of cells of " + std::to_string(cell.width) + " x " +
              std::to_string(cell.height));
    const int columns = info->width / cell.width, entries = PieceEntries();
    if (pieceText_ && columns < entries)
      Add(Level::kError, file, "file",
          Plural(static_cast<size_t>(columns), "column", "columns") + " for the " +
              std::to_string(entries) +
              " entries of ToolPieces.txt: the later pieces are drawn from outside the picture");
  }

  void CheckPieceImages() {
    CheckPieceImage(package_file::kSmallPieces, small_, kSmallCell,
                    "no piece image: the palette is empty and pieces are not drawn", Level::kError);
    CheckPieceImage(package_file::kBigPieces, big_, kBigCell,
                    "with \"Use BigPieces\" on, the small pieces are shown", Level::kWarning);
  }

  void CheckStart() {
    const auto file = package_file::kStartPosition;
    if (!Exists(file)) return Missing(file, "\"New\" starts this map without any piece");
    std::error_code error;
    if (std::filesystem::file_size(File(file), error) == 0 && !error)
      return Add(Level::kError, file, "file",
                 "the file is empty: \"New\" starts this map without any piece");
    Position start;
    if (auto loaded = LoadPosition(start, File(file)); !loaded)
      return Add(Level::kError, file, "file", loaded.error());
    const std::string expected = name_.substr(0, PositionHeader::kMapNameLength);
    if (!EqualsIgnoringCase(start.mapName(), expected))
      Add(Level::kError, file, "file",
          "it names the map \"" + start.mapName() + "\", not \"" + expected +
              "\": a game started from it is saved for another map");
    const int entries = PieceEntries();
    for (size_t i = 0; i < start.unitCount(); ++i) {
      const Unit& u = start.unit(i);
      const std::string where = Point(u.x, u.y);
      const Finding::Point at{u.x, u.y};
      const std::string stack = "stack " + std::to_string(i + 1) + " (" + std::to_string(u.count) +
                                " of piece " + std::to_string(u.pieceType) + ", country " +
                                std::to_string(u.country) + ")";
      if (grid_ && !grid_->contains(u.x, u.y))
        Add(Level::kError, file, where, stack + " stands outside the grid", at);
      else if (grid_ && grid_->sectorAt(u.x, u.y) == 0)
        Add(Level::kError, file, where,
            stack +
                " stands in no sector: it counts for its country's Land or Naval strength only, "
                "not for any sector",
            at);
      if (pieceText_ && u.pieceType >= entries)
        Add(Level::kError, file, where,
            stack + ": piece " + std::to_string(u.pieceType) + " is beyond the " +
                std::to_string(entries) + " entries of ToolPieces.txt",
            at);
      if (!HasRow(u.country)) Add(Level::kError, file, where, stack + ": " + NoRow(u.country), at);
    }
  }

  std::filesystem::path dir_;
  std::string name_;
  PackageReport report_;
  std::optional<BmpInfo> picture_, small_, big_;
  std::optional<SectorGrid> grid_;
  std::optional<SectorTable> table_;
  std::optional<std::string> pieceText_;
  std::map<std::string, std::string> errors_;  // by file name
  PieceTable pieces_;
  ReadNotes pieceNotes_;
  std::map<uint16_t, std::vector<Piece>> pieces_of_;
  struct Stray {
    int32_t x, y;
    size_t pixels;
    uint16_t sector;
  };
  std::vector<Stray> strays_;  // pieces of sectors too small to be meant, as the grid is read
  std::vector<std::filesystem::path> mapFolders_;  // where other packages are, for their titles
  bool pngPicture_ = false;                        // Map.bmp holds a PNG picture
  AllianceTable alliances_{};                      // of MapInfo.txt, for the rules of the table
  std::map<std::string, int> sectorNames_;
  std::map<std::string, int> pieceNames_;  // each piece kind's name (case folded), its first line
                                           // // each name of a record (case folded), its first
  std::map<std::string, int64_t> countryNames_;  // each country's name, the first country of it
};

}  // namespace

std::string Finding::Line() const {
  return std::string(level == Level::kError ? "error: " : "warning: ") + file + ": " + where +
         ": " + what;
}

int PackageReport::errors() const {
  return static_cast<int>(std::count_if(findings.begin(), findings.end(), [](const Finding& f) {
    return f.level == Finding::Level::kError;
  }));
}

int PackageReport::warnings() const { return static_cast<int>(findings.size()) - errors(); }

std::string PackageReport::Summary() const {
  return Plural(static_cast<size_t>(errors()), "error", "errors") + ", " +
         Plural(static_cast<size_t>(warnings()), "warning", "warnings");
}

Result<PackageReport> CheckPackage(const std::filesystem::path& packageDir,
                                   const std::vector<std::filesystem::path>& mapFolders) {
  std::error_code error;
  const auto status = std::filesystem::status(packageDir, error);
  if (error || !std::filesystem::exists(status))
    return Result<PackageReport>::Fail(packageDir.string() + ": no such package folder");
  if (!std::filesystem::is_directory(status))
    return Result<PackageReport>::Fail(packageDir.string() + ": is not a folder");
  std::filesystem::directory_iterator listing(packageDir, error);
  if (error)
    return Result<PackageReport>::Fail(packageDir.string() +
                                       ": cannot be read: " + error.message());
  return Result<PackageReport>::Ok(Checker(packageDir, mapFolders).Run());
}

}  // namespace mw
