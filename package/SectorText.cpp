// SPDX-License-Identifier: GPL-3.0-or-later
#include "SectorText.h"

#include <algorithm>
#include <cstdio>

#include "ScanText.h"

namespace mw {
namespace {

constexpr size_t kNameCopy = 38;

std::string_view CutTrailingSpaces(std::string_view s, size_t keep = 0) {
  while (s.size() > keep && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

std::vector<SectorTextPiece> SplitSectorText(std::string_view text) {
  std::vector<SectorTextPiece> pieces;
  int line = 1, number = 1;
  for (auto& piece : SplitLinePieces(text, kSectorTextPieceLength)) {
    const bool endsLine = !piece.empty() && piece.back() == '\n';
    pieces.push_back({std::move(piece), line, number});
    ++number;
    if (endsLine) {
      ++line;
      number = 1;
    }
  }
  return pieces;
}

SectorLine CompileSectorLine(std::string_view piece) {
  const std::string_view line = UpToNul(piece);
  if (line.empty() || line[0] == '#' || line[0] == ';') return {SectorLineKind::kComment, {}};
  if (std::all_of(line.begin(), line.end(), IsScanBlank)) return {SectorLineKind::kBlank, {}};
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return {SectorLineKind::kNoColon, {}};

  SectorLine out{SectorLineKind::kRecord, {}};
  auto bytes = out.record.bytes();
  const std::string_view name = CutTrailingSpaces(line.substr(0, colon));
  std::string copied(name.substr(0, kNameCopy));
  std::replace(copied.begin(), copied.end(), '\t', ' ');
  copied = std::string(CutTrailingSpaces(copied, 1));
  std::copy(copied.begin(), copied.end(), bytes.begin() + 1);
  bytes[0] = static_cast<uint8_t>(name.size());

  ScanText scan(line.substr(colon + 1));
  for (int i = 1; i <= SectorRecord::kValueCount; ++i) {
    auto v = scan.Hex();
    if (!v) break;
    out.record.setValue(i, static_cast<uint32_t>(*v));
  }
  return out;
}

namespace {

std::string Trimmed(std::string_view text) {
  while (!text.empty() && IsScanBlank(text.front())) text.remove_prefix(1);
  return std::string(CutTrailingSpaces(text));
}

}  // namespace

std::vector<SectorLineNote> SectorLineNotes(std::string_view piece) {
  std::vector<SectorLineNote> notes;
  const std::string_view line = UpToNul(piece);
  if (CompileSectorLine(line).kind != SectorLineKind::kRecord) return notes;
  const size_t colon = line.find(':');
  const auto column = [](size_t offset) { return static_cast<int>(offset) + 1; };
  // The word of the text that starts at `at`, up to the next blank.
  const auto word = [&](size_t at) {
    size_t end = at;
    while (end < line.size() && !IsScanBlank(line[end])) ++end;
    return "\"" + std::string(line.substr(at, end - at)) + "\"";
  };
  if (const size_t second = line.find(':', colon + 1); second != std::string_view::npos) {
    notes.push_back(
        {column(second), "a second colon: the name ends at the first one (column " +
                             std::to_string(column(colon)) + "), so \"" +
                             Trimmed(line.substr(colon + 1, second - colon - 1)) +
                             "\" is read as values; a sector name cannot hold a colon"});
    return notes;
  }
  const size_t from = colon + 1;
  ScanText scan(line.substr(from));
  for (int i = 1; i <= SectorRecord::kValueCount; ++i) {
    const size_t item = from + scan.NextItem();
    if (item >= line.size()) return notes;
    const auto value = scan.Hex();
    if (!value) {
      notes.push_back(
          {column(item),
           word(item) + " is not hexadecimal; value " + std::to_string(i) +
               (i < SectorRecord::kValueCount ? " and the values after it are" : " is") +
               " read as 0"});
      return notes;
    }
    const size_t after = from + scan.position();
    if (after < line.size() && !IsScanBlank(line[after])) {
      char hex[24];
      std::snprintf(hex, sizeof hex, "%llx", static_cast<unsigned long long>(*value));
      notes.push_back({column(after),
                       word(after) + " is not hexadecimal; value " + std::to_string(i) +
                           " is read as 0x" + hex +
                           (i < SectorRecord::kValueCount ? " and the values after it as 0" : "")});
      return notes;
    }
  }
  if (const size_t more = from + scan.NextItem(); more < line.size())
    notes.push_back(
        {column(more), "more than nine values: " + word(more) + " and what follows are not read"});
  return notes;
}

Result<std::string> PutLabelPoints(std::string_view text, const SectorTable& table, int* changed) {
  using R = Result<std::string>;
  std::string out;
  out.reserve(text.size() + 64);
  int number = 0, record = 0;
  *changed = 0;
  const auto hex = [](uint32_t v) {
    char digits[12];
    std::snprintf(digits, sizeof digits, "%x", v);
    return std::string(digits);
  };
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find('\n', at);
    const size_t next = end == std::string_view::npos ? text.size() : end + 1;
    const std::string_view raw = text.substr(at, next - at);
    at = next;
    ++number;
    const std::string where = "line " + std::to_string(number);
    std::string_view line = raw;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.size() + 1 > kSectorTextPieceLength)
      return R::Fail(where + " is longer than 254 characters");
    const SectorLine compiled = CompileSectorLine(line);
    if (compiled.kind == SectorLineKind::kNoColon)
      return R::Fail(where + ": no colon after the sector name");
    if (compiled.kind != SectorLineKind::kRecord) {
      out += raw;
      continue;
    }
    if (++record >= kSectorSlots) return R::Fail(where + ": more records than a table holds");
    const SectorRecord& r = table[static_cast<size_t>(record)];
    if (!r.hasName()) return R::Fail(where + ": the table has no record " + std::to_string(record));
    if (compiled.record.name() != r.name())
      return R::Fail(where + " names \"" + compiled.record.name() + "\", record " +
                     std::to_string(record) + " of the table \"" + r.name() +
                     "\": the table is of another text");
    if (compiled.record.value(2) == r.value(2) && compiled.record.value(3) == r.value(3)) {
      out += raw;
      continue;
    }
    // Where values 1 to 3 are written, after the colon.
    const size_t from = line.find(':') + 1;
    ScanText scan(line.substr(from));
    std::vector<std::pair<size_t, size_t>> spans;
    for (int i = 1; i <= 3; ++i) {
      const size_t item = from + scan.NextItem();
      if (!scan.Hex()) break;
      spans.push_back({item, from + scan.position()});
    }
    // Values missing are written after the last one there is; those there are change in place,
    // the later one first so that the earlier one's offsets hold.
    const std::string x = hex(r.value(2)), y = hex(r.value(3));
    std::string changedLine(line);
    std::string missing;
    if (spans.empty()) missing += " 0";
    if (spans.size() < 2) missing += " " + x;
    if (spans.size() < 3) missing += " " + y;
    changedLine.insert(spans.empty() ? from : spans.back().second, missing);
    if (spans.size() == 3) changedLine.replace(spans[2].first, spans[2].second - spans[2].first, y);
    if (spans.size() >= 2) changedLine.replace(spans[1].first, spans[1].second - spans[1].first, x);
    out += changedLine;
    out += raw.substr(line.size());
    ++*changed;
  }
  return R::Ok(std::move(out));
}

bool LooksLikeUtf16(std::string_view text) {
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) return true;
  const size_t n = std::min<size_t>(text.size(), 64);
  size_t zeros = 0;
  for (size_t i = 0; i < n; ++i) zeros += text[i] == '\0';
  return n >= 4 && zeros * 3 >= n;
}

namespace {

std::string Flag(bool on) { return on ? "yes" : "no"; }

// The fields of a record in words, as the viewer reads them.
std::string DescribeRecord(const SectorRecord& r, int number) {
  auto sector = [](int n) { return n == 0 ? std::string("none") : "sector " + std::to_string(n); };
  const uint8_t flags = r.sectorFlags();
  std::string text = "# sector " + std::to_string(number) + ": owner " +
                     std::to_string(r.initialOwner()) + ", income " + std::to_string(r.ipcValue()) +
                     ", label point " + std::to_string(r.labelX()) + "," +
                     std::to_string(r.labelY()) + ", oil " + Flag(flags & SectorRecord::kFlagOil) +
                     ", convoy " + Flag(r.convoyFlag()) + ", per-country income " +
                     Flag(flags & SectorRecord::kFlagCountryValues) + ", dependency ";
  if (flags & SectorRecord::kFlagOwnerDependency) {
    text += "by owner";
    for (int owner = 1; owner <= SectorRecord::kOwners; ++owner)
      if (r.ownerDependency(owner) != 0)
        text += " " + std::to_string(owner) + ":" + std::to_string(r.ownerDependency(owner));
  } else {
    text += sector(r.dependencySector());
  }
  text += ", required piece " +
          (r.requiredPiece() == 0 ? std::string("none") : std::to_string(r.requiredPiece()));
  bool values = false;
  for (int owner = 1; owner <= SectorRecord::kOwners; ++owner)
    values |= r.countryValues(owner) != 0;
  if (values) {
    text += ", per-country values";
    for (int owner = 1; owner <= SectorRecord::kOwners; ++owner)
      text += " " + std::to_string(owner) + ":" + std::to_string(r.countryValues(owner));
  }
  return text + "\n";
}

}  // namespace

std::string SectorRecordText(const SectorRecord& record, int number, std::string* problem) {
  const auto bytes = record.bytes();
  std::string name = record.name();
  auto complain = [&](const std::string& why) {
    if (problem && problem->empty()) *problem = why;
  };
  if (problem) problem->clear();
  const size_t end = 1 + name.size();
  for (size_t i = end; i < 1 + SectorRecord::kNameField; ++i)
    if (bytes[i] != 0) complain("bytes after the end of its name");
  if (name.find(':') != std::string::npos) complain("a colon in its name");
  if (!name.empty() && (name[0] == '#' || name[0] == ';'))
    complain("a name starting with a comment character");
  if (name.find_first_of("\t\r\n") != std::string::npos || (!name.empty() && name.back() == ' '))
    complain("a name that ends in a blank or holds a tab or a line break");
  if (name.empty() && bytes[0] != 0) complain("a length byte without a name");
  // Values as short as they go: missing ones at the end read as 0.
  int last = SectorRecord::kValueCount;
  while (last > 0 && record.value(last) == 0) --last;
  std::string values;
  char value[16];
  for (int i = 1; i <= last; ++i) {
    std::snprintf(value, sizeof value, " %x", record.value(i));
    values += value;
  }
  // The length byte counts the name as written; tabs after the name are counted and then cut.
  if (bytes[0] < name.size()) {
    complain("a length byte smaller than its name");
  } else if (!name.empty()) {
    const size_t line = bytes[0] + 1 + values.size() + 1;
    if (line > kSectorTextPieceLength)
      complain("a length byte too large for one line of text");
    else
      name.append(bytes[0] - name.size(), '\t');
  }
  std::string text = DescribeRecord(record, number) + name + ":" + values;
  return text + "\n";
}

}  // namespace mw
