// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "GameFile.h"
#include "Position.h"
#include "PositionCompare.h"

namespace mw {

// A country's totals in one turn, as the info view shows them, in the order of
// BoardDifference::Total: IPC, Convoy, Oil, Land, Naval.
struct CountryFigures {
  uint16_t country = 0;
  std::array<int16_t, 5> shown{};
  int16_t operator[](BoardDifference::Total total) const {
    return shown[static_cast<size_t>(total)];
  }
  bool operator==(const CountryFigures&) const = default;
};

// A turn and the totals of every country that has one that is not 0, by country.
struct TurnFigures {
  Turn turn;
  std::vector<CountryFigures> countries;
  // A country's figures; all 0 for a country without any.
  CountryFigures Of(uint16_t country) const;
};

// The figures of a position whose totals are computed.
TurnFigures FiguresOf(const Position& position, const Turn& turn);

// Every turn of a game with its figures, each turn's position read into one position given the
// map of `map` (its sector table and grid).
Result<std::vector<TurnFigures>> GameFigures(const GameFile& game, const Position& map);
// The same for some turns of the game only.
Result<std::vector<TurnFigures>> FiguresOfTurns(const GameFile& game, const Position& map,
                                                std::span<const Turn> turns);

// The countries with figures in any turn, in order.
std::vector<uint16_t> CountriesOf(const std::vector<TurnFigures>& figures);

}  // namespace mw
