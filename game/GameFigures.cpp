// SPDX-License-Identifier: GPL-3.0-or-later
#include "GameFigures.h"

#include <algorithm>

#include "PositionFile.h"

namespace mw {

CountryFigures TurnFigures::Of(uint16_t country) const {
  const auto it =
      std::lower_bound(countries.begin(), countries.end(), country,
                       [](const CountryFigures& f, uint16_t c) { return f.country < c; });
  return it != countries.end() && it->country == country ? *it : CountryFigures{country, {}};
}

TurnFigures FiguresOf(const Position& position, const Turn& turn) {
  TurnFigures figures{turn, {}};
  for (uint32_t c = 1; c < kCountrySlots; ++c) {
    const CountryTotal& t = position.totalOf(c);
    if (t == CountryTotal{}) continue;
    figures.countries.push_back(
        {static_cast<uint16_t>(c),
         {t.shownIpc(), t.shownConvoy(), t.shownOil(), t.shownLand(), t.shownNaval()}});
  }
  return figures;
}

Result<std::vector<TurnFigures>> GameFigures(const GameFile& game, const Position& map) {
  auto turns = game.Turns();
  if (!turns) return Result<std::vector<TurnFigures>>::Fail(turns.error());
  return FiguresOfTurns(game, map, *turns);
}

Result<std::vector<TurnFigures>> FiguresOfTurns(const GameFile& game, const Position& map,
                                                std::span<const Turn> turns) {
  using R = Result<std::vector<TurnFigures>>;
  // One position, given the map once, takes every turn in place.
  Position position;
  TakeMapOf(position, map);
  std::vector<TurnFigures> figures;
  figures.reserve(turns.size());
  for (const Turn& turn : turns) {
    auto bytes = game.PositionOf(turn.number);
    if (!bytes) return R::Fail(bytes.error());
    LoadPositionBytes(position, *bytes);
    position.SettleOnMap();
    figures.push_back(FiguresOf(position, turn));
  }
  return R::Ok(std::move(figures));
}

std::vector<uint16_t> CountriesOf(const std::vector<TurnFigures>& figures) {
  std::vector<uint16_t> countries;
  for (const TurnFigures& turn : figures)
    for (const CountryFigures& f : turn.countries) countries.push_back(f.country);
  std::sort(countries.begin(), countries.end());
  countries.erase(std::unique(countries.begin(), countries.end()), countries.end());
  return countries;
}

}  // namespace mw
