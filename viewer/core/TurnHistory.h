// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "GameFigures.h"
#include "Host.h"

namespace mw {

class Viewer;

// The game's turns with every country's totals, as the History window and the Trends chart show
// them, and the board's turn among them.
class TurnHistory {
 public:
  explicit TurnHistory(Viewer& viewer) : v_(viewer) {}

  const GameHistory& data() const { return history_; }
  bool shown() const { return shown_; }
  // A game opened: its turns known, their figures to come once the board is on its map. Gives
  // back the history it replaces.
  GameHistory Begin(const std::string& file, std::vector<Turn> turns);
  // Reads every turn of `game` with its totals.
  Status Read(const GameFile& game);
  // Reads the totals of the turns known since Begin.
  Status ReadFigures(const GameFile& game);
  // Reads the turns again after a change on the disk and takes in what arrived; says which.
  Status ReadArrivals(const GameFile& game, bool reopened);
  // A turn recorded from the board: its figures are those the board shows.
  void Recorded(const GameFile& game, const Turn& turn, bool figuresStored);
  // A turn's new label and note.
  void Annotated(const Turn& turn);
  // The turn of the history with this number, or none.
  const TurnFigures* Find(int64_t number) const;
  // The turns before and after it, or none.
  const TurnFigures* Before(int64_t number) const;
  const TurnFigures* After(int64_t number) const;
  int64_t last() const { return history_.turns.empty() ? 0 : history_.turns.back().turn.number; }
  // Tells the windows that show it; the countries' colours are worked out again where the
  // countries or the pieces picture changed.
  void Publish();
  void PiecesChanged() { history_.colours.clear(); }

  // "&History" (its window shown or hidden, or closed by the user) and "&Trends ...".
  void Show();
  void Toggle();
  void Closed();
  void OpenTrends();

 private:
  // The board where it is of the game's map, to count the turns' totals on; else no map.
  const Position& MapOf(const GameFile& game) const;
  void Take(std::vector<TurnFigures> figures);
  Status ReadFiguresOf(const GameFile& game, std::span<const Turn> turns);
  // Reads the hash of the last turn known, which holds every turn before it: what tells a
  // history that changed under the same numbers and times.
  Status KnowLastHash(const GameFile& game);

  Viewer& v_;
  GameHistory history_;
  // `history_.moves` holds the moves of `history_.current` as the game file has them; a game
  // read again (opened, changed on the disk, recorded into) reads them again.
  bool movesRead_ = false;
  bool shown_ = false;
};

}  // namespace mw
