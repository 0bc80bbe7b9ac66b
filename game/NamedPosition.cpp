// SPDX-License-Identifier: GPL-3.0-or-later
#include "NamedPosition.h"

#include <algorithm>
#include <filesystem>

#include "FileBytes.h"
#include "PackagePaths.h"
#include "PositionCompare.h"
#include "PositionFile.h"

namespace mw {

std::optional<std::pair<std::string, int64_t>> GameTurnOf(const std::string& name) {
  std::error_code error;
  if (std::filesystem::exists(name, error)) return std::nullopt;
  const size_t colon = name.rfind(':');
  if (colon == std::string::npos || colon == 0) return std::nullopt;
  const std::string game = name.substr(0, colon), number = name.substr(colon + 1);
  if (number.empty() || number.size() > 15 ||
      !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
      !std::filesystem::exists(game, error))
    return std::nullopt;
  return std::pair{game, std::stoll(number)};
}

Result<NamedPosition> ReadNamedPosition(const std::string& name) {
  using R = Result<NamedPosition>;
  NamedPosition named;
  int64_t wanted = 0;  // the last turn
  if (const auto turn = GameTurnOf(name)) {
    named.game = turn->first;
    wanted = turn->second;
    if (wanted < 1) return R::Fail(name + ": turns are numbered from 1");
  } else if (IsDatabaseFile(name)) {
    named.game = name;
  }
  if (named.game.empty()) {
    auto bytes = ReadFileBytes(name);
    if (!bytes) return R::Fail(bytes.error());
    named.bytes = std::move(bytes.value());
    return R::Ok(std::move(named));
  }
  auto game = GameFile::Open(named.game);
  if (!game) return R::Fail(game.error());
  auto turn = game->FindTurn(wanted);
  if (!turn) return R::Fail(turn.error());
  if (!*turn)
    return R::Fail(named.game + ": " +
                   (wanted == 0 ? std::string("the game has no turns yet")
                                : "the game has no turn " + std::to_string(wanted)));
  named.turn = std::move(**turn);
  auto bytes = game->PositionOf(named.turn.number);
  if (!bytes) return R::Fail(bytes.error());
  named.bytes = std::move(bytes.value());
  return R::Ok(std::move(named));
}

Result<Comparable> ReadComparable(const std::string& name, const Position& board,
                                  const std::string& boardName, bool whole) {
  using R = Result<Comparable>;
  auto named = ReadNamedPosition(name);
  if (!named) return R::Fail(named.error());
  if (const PositionExtent extent = ExtentOf(named->bytes); whole && !extent.whole())
    return R::Fail(extent.Describe(name) + ": the file is not whole");
  auto position = std::make_unique<Position>();
  LoadPositionBytes(*position, named->bytes);
  if (!EqualsIgnoringCase(position->mapName(), board.mapName()))
    return R::Fail(name + " is a position of the map " + position->mapName() + ", " + boardName +
                   " one of the map " + board.mapName() +
                   ": positions of different maps cannot be compared");
  TakeMapOf(*position, board);
  return R::Ok({std::move(position), std::move(named.value())});
}

}  // namespace mw
