#include "Reports.h"

#include <vector>

#include "PackageText.h"

namespace mw {

std::string BuildUnitList(const Position& position) {
  constexpr int kCountries = 15;
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

std::string WithoutCarriageReturns(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

}  // namespace mw
