// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
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
  // Whether the game file holds them for the map they were computed on.
  bool stored = false;
  // A country's figures; all 0 for a country without any.
  CountryFigures Of(uint16_t country) const;
};

// The figures of a position whose totals are computed.
TurnFigures FiguresOf(const Position& position, const Turn& turn);

// What the totals of a turn depend on besides its stacks: the map's sector table, pieces,
// alliances and grid, as a key that changes with any of them. Totals stored under another key
// are computed again.
std::string FiguresMapKey(const Position& map);
// The figures as a game file stores them: for each country, its number and its five totals,
// each a 16-bit little-endian number. Decoding refuses bytes that are not such a list.
std::vector<uint8_t> EncodeFigures(const std::vector<CountryFigures>& countries);
std::optional<std::vector<CountryFigures>> DecodeFigures(std::span<const uint8_t> bytes);

// Every turn of a game with its figures: those the game stores for the map of `map`, the others
// computed, each turn's position read into one position given that map (its sector table and
// grid).
Result<std::vector<TurnFigures>> GameFigures(const GameFile& game, const Position& map);
// The same for some turns of the game only.
Result<std::vector<TurnFigures>> FiguresOfTurns(const GameFile& game, const Position& map,
                                                std::span<const Turn> turns);

// Makes a recording store the figures of the position it records (the board, settled on the
// map of `map`) and those of `known` turns the game does not store yet.
void AddFigures(NewTurn& turn, const Position& map, const Position& board,
                std::span<const TurnFigures> known);

// The countries with figures in any turn, in order.
std::vector<uint16_t> CountriesOf(const std::vector<TurnFigures>& figures);

}  // namespace mw
