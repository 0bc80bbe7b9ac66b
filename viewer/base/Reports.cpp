// SPDX-License-Identifier: GPL-3.0-or-later
#include "Reports.h"

#include <algorithm>
#include <vector>

#include "FormatFacts.h"
#include "PackageText.h"

namespace mw {

std::string TabField(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

std::string EscapeControls(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      out += c;
      continue;
    }
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  }
  return out;
}

std::string BuildUnitList(const Position& position) {
  constexpr int kCountries = format::kListedCountries;
  // Units by country and sector, each group in list order.
  std::vector<std::vector<std::vector<const Unit*>>> groups(
      kCountries + 1, std::vector<std::vector<const Unit*>>(kSectorSlots));
  for (size_t i = 0; i < position.unitCount(); ++i) {
    const Unit& u = position.unit(i);
    if (u.country >= 1 && u.country <= kCountries && IsSectorNumber(u.sector))
      groups[u.country][u.sector].push_back(&u);
  }
  std::string text;
  for (int k = 1; k <= kCountries; ++k) {
    text += "\r\n ***** Country: " + std::to_string(k) + " *****\r\n";
    for (int s = 1; s < kSectorSlots; ++s) {
      if (groups[k][s].empty()) continue;
      const SectorRecord* record = position.sectorRecord(static_cast<uint32_t>(s));
      text += "\r\n*** " + (record ? DecodePackageText(record->name()) : std::string()) + " \r\n";
      for (const Unit* u : groups[k][s])
        text += std::to_string(u->count) + " " +
                DecodePackageText(position.pieces()[u->pieceType].name) + "\r\n";
    }
  }
  return text;
}

std::string TotalsReport(const Position& position) {
  std::string text = "Country\tIPC\tConvoy\tOil\tSum\tLand\tNaval\n";
  for (int c = 1; c < kCountrySlots; ++c) {
    const CountryTotal& t = position.totalOf(static_cast<uint32_t>(c));
    if (c > 8 && t == CountryTotal{}) continue;
    for (int figure : {c, int{t.shownIpc()}, int{t.shownConvoy()}, int{t.shownOil()},
                       int{t.shownSum()}, int{t.shownLand()}})
      text += std::to_string(figure) + '\t';
    text += std::to_string(t.shownNaval()) + '\n';
  }
  return text;
}

namespace {

std::string SectorName(const Position& position, int sector) {
  const SectorRecord* record = position.sectorRecord(static_cast<uint32_t>(sector));
  return TabField(record ? DecodePackageText(record->name()) : std::string());
}

std::string Reason(const Position& position, const SectorIncomes& all, int sector) {
  const SectorIncome& income = all[sector];
  switch (income.reason) {
    case NoIncome::kNone:
      return {};
    case NoIncome::kNoValue:
      return "no income";
    case NoIncome::kRequiredPieceAbsent: {
      const SectorRecord* record = position.sectorRecord(static_cast<uint32_t>(sector));
      const std::string piece =
          record ? DecodePackageText(position.pieces()[record->requiredPiece()].name) : "";
      return "required piece " + (piece.empty() ? "?" : piece) + " missing or not allied";
    }
    case NoIncome::kDependencyNotAllied: {
      const int d = income.dependency;
      return "dependency sector " + std::to_string(d) + " " + SectorName(position, d) +
             " held by non-ally country " + std::to_string(all[d].owner);
    }
    case NoIncome::kConvoyNotFirstOwner: {
      const SectorRecord* record = position.sectorRecord(static_cast<uint32_t>(sector));
      return "convoy held by another than its first owner, country " +
             std::to_string(record ? record->initialOwner() : 0);
    }
  }
  return {};
}

}  // namespace

std::vector<IncomeLine> IncomeBreakdown(const Position& position, int country) {
  std::vector<IncomeLine> lines;
  const SectorIncomes incomes = position.SectorIncomeBreakdown();
  for (int n = 1; n < kSectorSlots; ++n) {
    const SectorIncome& s = incomes[n];
    if (s.owner == 0 || (country != 0 && s.owner != country)) continue;
    IncomeLine line;
    line.country = s.owner;
    line.sector = n;
    line.name = SectorName(position, n);
    (s.heading == IncomeHeading::kOil      ? line.oil
     : s.heading == IncomeHeading::kConvoy ? line.convoy
                                           : line.ipc) = s.value;
    line.reason = Reason(position, incomes, n);
    lines.push_back(std::move(line));
  }
  std::stable_sort(lines.begin(), lines.end(),
                   [](const IncomeLine& a, const IncomeLine& b) { return a.country < b.country; });
  return lines;
}

std::vector<IncomeLine> IncomeBreakdown(const Position& position) {
  return IncomeBreakdown(position, 0);
}

std::string IncomeReport(const Position& position) {
  std::string text = "Country\tSector\tName\tIPC\tConvoy\tOil\tReason\n";
  for (const IncomeLine& l : IncomeBreakdown(position))
    text += std::to_string(l.country) + '\t' + std::to_string(l.sector) + '\t' + l.name + '\t' +
            std::to_string(l.ipc) + '\t' + std::to_string(l.convoy) + '\t' + std::to_string(l.oil) +
            '\t' + l.reason + '\n';
  return text;
}

std::string DifferenceReport(const std::vector<BoardDifference>& differences,
                             const Position& names) {
  using D = BoardDifference;
  std::string text = "Change\tSector\tName\tCountry\tPiece\tBefore\tAfter\n";
  for (const D& d : differences) {
    switch (d.kind) {
      case D::Kind::kPieces:
        text += "pieces\t" + std::to_string(d.sector) + '\t' + SectorName(names, d.sector) + '\t' +
                std::to_string(d.country) + '\t' +
                TabField(DecodePackageText(names.pieces()[d.pieceType].name));
        break;
      case D::Kind::kHolder:
        text += "holder\t" + std::to_string(d.sector) + '\t' + SectorName(names, d.sector) + "\t\t";
        break;
      case D::Kind::kTotal:
        text += "totals\t\t" + std::string(TotalName(d.total)) + '\t' + std::to_string(d.country) +
                '\t';
        break;
    }
    text += '\t' + std::to_string(d.before) + '\t' + std::to_string(d.after) + '\n';
  }
  return text;
}

std::vector<std::string> MoveFields(const Position& names, const UndoEntry& m) {
  const auto place = [&](uint16_t sector, uint16_t x, uint16_t y) {
    if (sector == 0) return std::to_string(x) + "," + std::to_string(y);
    const std::string name = SectorName(names, sector);
    return name.empty() ? "Sector " + std::to_string(sector) : name;
  };
  const bool from = m.kind == UndoKind::kMove || m.kind == UndoKind::kRemove;
  const bool to = m.kind == UndoKind::kMove || m.kind == UndoKind::kAdd;
  const char* action = m.kind == UndoKind::kMove     ? "move"
                       : m.kind == UndoKind::kAdd    ? "place"
                       : m.kind == UndoKind::kRemove ? "remove"
                                                     : "none";
  return {action,
          std::to_string(m.count),
          DecodePackageText(names.pieces()[m.pieceType].name),
          CountryName(names.countryNames(), m.country),
          from ? place(m.fromSector, m.fromX, m.fromY) : std::string(),
          to ? place(m.toSector, m.toX, m.toY) : std::string()};
}

std::string MoveInWords(const Position& names, const UndoEntry& m) {
  const std::vector<std::string> f = MoveFields(names, m);
  std::string text = f[1] + " " + f[2] + " of " + f[3] + ": ";
  if (m.kind == UndoKind::kMove) return text + f[4] + " \u2192 " + f[5];
  if (m.kind == UndoKind::kAdd) return text + "placed in " + f[5];
  return text + "removed from " + f[4];
}

std::vector<ChangeLine> DifferenceLines(const std::vector<BoardDifference>& differences,
                                        const Position& names) {
  using D = BoardDifference;
  const std::string arrow = "\u2192";
  const auto place = [&](int sector) {
    const std::string name = SectorName(names, sector);
    if (sector == 0) return std::string("No sector");
    return name.empty() ? "Sector " + std::to_string(sector) : name;
  };
  const auto country = [&](int64_t n) {
    return CountryName(names.countryNames(), static_cast<int>(n));
  };
  const auto holder = [&](int64_t n) { return n == 0 ? std::string("nobody") : country(n); };
  std::vector<ChangeLine> lines;
  for (const D& d : differences) {
    const std::string change = " " + arrow + " ";
    switch (d.kind) {
      case D::Kind::kPieces:
        lines.push_back({place(d.sector) + ": " + std::to_string(d.before) + " " +
                             DecodePackageText(names.pieces()[d.pieceType].name) + " of " +
                             country(d.country) + change + std::to_string(d.after),
                         d.sector});
        break;
      case D::Kind::kHolder:
        lines.push_back(
            {place(d.sector) + ": held by " + holder(d.before) + change + holder(d.after),
             d.sector});
        break;
      case D::Kind::kTotal:
        lines.push_back({country(d.country) + " " + TotalName(d.total) + " " +
                             std::to_string(d.before) + change + std::to_string(d.after),
                         0});
        break;
    }
  }
  return lines;
}

const char* HeadingText(IncomeHeading heading) {
  switch (heading) {
    case IncomeHeading::kConvoy:
      return "Convoy";
    case IncomeHeading::kOil:
      return "Oil";
    case IncomeHeading::kIpc:
      break;
  }
  return "IPC";
}

std::string WithoutCarriageReturns(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

}  // namespace mw
