// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <future>
#include <memory>
#include <optional>
#include <string>

#include "GameFile.h"
#include "TurnHistory.h"

namespace mw {

class Viewer;

// The game the board belongs to: "Record &Turn", "Open &Game ...", "Ta&ke Turns From ...", the
// turns stepped through, and the game file followed as other programs change it.
class Games {
 public:
  explicit Games(Viewer& viewer) : v_(viewer), history_(viewer) {}
  ~Games();
  Games(const Games&) = delete;
  Games& operator=(const Games&) = delete;

  // The game the board's turns are recorded into, once one was chosen or opened.
  const GameFile* game() const { return game_ ? &*game_ : nullptr; }
  const GameHistory& history() const { return history_.data(); }
  TurnHistory& turns() { return history_; }
  // "tess-war – turn 7 of 9" while a game is open: the game and the board's turn in it.
  std::string Title() const;
  // A new pieces picture: the countries' colours follow it.
  void PiecesChanged() { history_.PiecesChanged(); }
  // The board was put on the screen: the History shows its turn.
  void BoardPut();

  // "Record &Turn": the board as the game's next turn (a new game file chosen first when there
  // is none), after a question when the game's last turn is not the one the board came from.
  void RecordTurn();
  // "Open &Game ...": a game file, its last turn on the board.
  void OpenGame();
  // Makes a game file the open game and shows its turn `turn` (0: the last), having read that
  // turn alone; its turns, their totals and the comparison with the turn before come after the
  // paint. Fails with the reason, the board and the open game as they were.
  Status OpenGameAt(const std::string& path, int64_t turn = 0);
  // A file that was opened or dropped and holds a game: taken from when it is a copy of the open
  // game, else opened; `asked` when the question about unsaved changes was asked already.
  void OpenGameFile(const std::string& path, bool asked);
  // Adds to the open game the turns of another copy of it that come after the turns both hold,
  // after a question that lists them, and shows the last of them compared with the turn before.
  // A copy that parts from the open game is refused, naming the turn where they part.
  void TakeTurnsFrom(const std::string& path, bool asked = false);
  // Loads a turn of the game onto the board, after the question about unsaved changes, compared
  // with the turn before it. False when the board stays as it was.
  bool GoToTurn(int64_t number);
  // Alt+Left and Alt+Right: the turn before or after the one on the board.
  void StepTurn(int direction);
  // Asks for a new label and note of a turn and gives them to it; its position stays as it is.
  void AnnotateTurn(int64_t number);
  // Looks whether the game file changed on the disk (another program recorded a turn or changed
  // a label, a sync tool put another copy in its place) and shows what arrived. The window calls
  // it when the file changes and every second. Shows too what the check of every page of the
  // game file found, once it has: opening reads only what it shows.
  void FollowGameFile();
  // Waits for that check; true when it found the file whole (for tests).
  bool AwaitPageCheck();
  // Does now what showing a turn left for after its picture was painted: the comparison with
  // the turn before it, the History told of the turn and, for a game just opened, its turns with
  // their totals and the check of every page. Every command the player gives calls it first.
  void FinishShowing();
  // The same where a game was opened; a comparison of a step alone is left for its paint.
  void FinishOpening();

 private:
  // What a turn put on the board leaves for after the paint.
  struct Pending {
    int64_t turn = 0;                 // the turn on the board, compared with the one before it
    bool opened = false;              // the game was opened with it: its turns are still to be read
    int64_t last = 0;                 // the game's last turn, for the title until then
    std::unique_ptr<Position> older;  // a position on the board's map to read the turn before into
    // What the game opened put aside (the game before it, its history), let go after the paint.
    std::optional<GameFile> retiredGame;
    GameHistory retiredHistory;
  };
  // Keeps `pending` for after the paint the board's change asked for.
  void Defer(Pending pending);
  void CompareWithTurnBefore(int64_t number, std::unique_ptr<Position> older);
  std::string StaleBoardQuestion(int64_t last) const;
  // Puts a turn of the open game on the board, compared with the turn before it; `asked` when
  // the question about unsaved changes was asked already. False when the board stays.
  bool ShowTurn(int64_t number, bool asked);
  // FollowGameFile whatever the game's commands are doing.
  void CatchUp();
  // The check of every page of the open game's file: started beside the window, its finding
  // said when it comes, stopped when another game is opened or the window goes.
  void StartPageCheck();
  void StopPageCheck();
  bool SayPageCheck(Result<std::string> found);

  Viewer& v_;
  std::optional<GameFile> game_;
  TurnHistory history_;
  std::optional<Pending> pending_;
  int64_t gameVersion_ = 0;      // the game file's data version when its turns were last read
  bool gameUnreadable_ = false;  // said once in the status bar until it can be read again
  int busy_ = 0;  // a command about the game is asking a question: the file is looked at later
  std::shared_ptr<const GameFile> pageChecker_;  // its own connection to the file
  std::future<Result<std::string>> pageCheck_;
  // Checks stopped that may still be ending: let go once they have, not waited for.
  std::vector<std::future<Result<std::string>>> stoppedChecks_;
};

}  // namespace mw
