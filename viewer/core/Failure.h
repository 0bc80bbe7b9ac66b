// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace mw {

// A command that could not be done, as a value: what failed, on which file, and why. The core
// hands it to the host, and one function of the window turns every failure into words the same
// way (FailureWords), whichever command it came from.
struct Failure {
  enum class Action {
    kOpen,        // a position file to the board
    kSave,        // the board to a position file
    kExport,      // the sector table beside the map package
    kOpenGame,    // a game file
    kOpenNamed,   // the game named when the program starts, whose start position stands instead
    kRecordTurn,  // the board into the game
    kTakeTurns,   // the turns of a copy of the game
    kLoadTurn,    // a turn of the game to the board
    kChangeTurn,  // a turn's label and note
    kCompare,     // a position or turn to compare the board with
  };
  Action action;
  std::string file;    // the file acted on, empty when there was none yet
  std::string reason;  // why, as the part that failed says it

  bool operator==(const Failure&) const = default;
};

// A failed write leaves the user's work where the user did not ask it to be, and a game named at
// the start is replaced by the start position: those are shown in a box the user must close. A
// failed read leaves everything as it was, and is said in the status bar.
bool MustBeAcknowledged(Failure::Action action);

// The status bar's message for a failure, and the text of its box (empty when it has none).
struct FailureWords {
  std::string status;
  std::string box;
};
FailureWords WordsFor(const Failure& failure);

}  // namespace mw
