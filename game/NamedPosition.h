// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "GameFile.h"
#include "Position.h"
#include "Result.h"

namespace mw {

// What a name given where a position is expected stands for: a position file (.QPX or .MAP, told
// apart by content), a game file (its last turn) or GAME:N (turn N of a game). A game file is
// told by its content, whatever its name; a file whose name holds a colon is still that file.
struct NamedPosition {
  std::vector<uint8_t> bytes;  // as a position file holds them; a turn's as recorded
  std::string game;            // the game file, when the name is one or names a turn of one
  Turn turn;                   // that turn
};

// Turn N of a game named as GAME:N, where GAME is a file and the whole name is none; else none.
std::optional<std::pair<std::string, int64_t>> GameTurnOf(const std::string& name);

// Reads what a name stands for; fails with the reason when it cannot be read.
Result<NamedPosition> ReadNamedPosition(const std::string& name);

// What --diff and "&Compare With ..." compare a board with: the position a name stands for,
// given the map of `board` (named `boardName` where a message names it). Fails when it cannot be
// read, is of another map than the board or, with `whole`, is a position file that is not whole.
struct Comparable {
  std::unique_ptr<Position> position;
  NamedPosition named;
};
Result<Comparable> ReadComparable(const std::string& name, const Position& board,
                                  const std::string& boardName, bool whole);

}  // namespace mw
