// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "MapLayers.h"
#include "UndoEntry.h"

namespace mw {

class Viewer;

// The move of a turn replayed, over the map: an arrow from where the pieces stood to where they
// went, a ring round the stack they made (placed), or a cross where they were taken away
// (removed); nothing while no move is shown.
class MoveArrow : public MapOverlay {
 public:
  void Show(std::optional<UndoEntry> move) { move_ = move; }
  const std::optional<UndoEntry>& move() const { return move_; }
  void Paint(QPainter& painter, const ViewGeometry& view) const override;
  // The client pixels it paints, empty while it shows nothing.
  QRect Area(const ViewGeometry& view) const;
  static constexpr int kRadius = 11;
  static constexpr QRgb kColour = 0xffd01010;

 private:
  std::optional<UndoEntry> move_;
};

// "&Replay Moves": the moves recorded with the board's turn played back one by one on the
// position of the turn they were made from. The board shows the position after each move, the
// move marked on the map and said in the status bar; after the last it is the turn as recorded,
// and a board that is not is said. Nothing edits the board meanwhile; leaving puts the turn as
// recorded back.
class Playback {
 public:
  explicit Playback(Viewer& viewer) : v_(viewer) {}

  bool active() const { return turn_ != 0; }
  int64_t turn() const { return turn_; }
  // How many moves the board shows made, of how many.
  size_t step() const { return step_; }
  size_t count() const { return moves_.size(); }
  bool playing() const { return playing_; }
  int pace() const { return pace_; }
  MoveArrow& arrow() { return arrow_; }
  const MoveArrow& arrow() const { return arrow_; }

  // Starts at the turn the moves were made from (after the question about unsaved changes).
  void Start();
  // Ctrl+Alt+Right and Ctrl+Alt+Left: the next move or the one before; from the turn on the
  // board, its first move or the board before its last one.
  void Step(int direction);
  // The board after `step` moves.
  void GoTo(size_t step);
  // Space: plays the moves at the pace, one every `pace()` milliseconds, or pauses; at the end
  // it starts again from the first.
  void TogglePlay();
  void SetPace(int milliseconds);
  // The window's timer while playing.
  void Tick();
  // Esc: the turn as recorded on the board again.
  void Leave();
  // The board is being put on the screen from elsewhere: the replay ends without touching it.
  void Forget();
  // A command of the menus while replaying: true when the replay took it (it edits the board,
  // which is read-only meanwhile, and is refused with a word in the status bar). Commands that
  // put another board on the screen or use the board's file leave the replay first.
  bool Intercept(int command);
  // An edit by the mouse or the keyboard while replaying: refused, with the reason said.
  bool RefuseEdit();

 private:
  bool Begin(int64_t turn);
  // Shows the board after `step` moves: the next move made on the board where it follows the
  // one shown, else the turn before with the moves up to it made again.
  void Show(size_t step);
  void Say();
  void Publish();
  void StopPlaying();
  void EndState();

  Viewer& v_;
  MoveArrow arrow_;
  int64_t turn_ = 0, parent_ = 0;
  std::vector<uint8_t> base_, recorded_;
  std::vector<UndoEntry> moves_;
  size_t step_ = 0;
  // The first move that could not be made on the board, where one could not.
  std::optional<size_t> broken_;
  bool playing_ = false;
  int pace_ = 1000;
};

}  // namespace mw
