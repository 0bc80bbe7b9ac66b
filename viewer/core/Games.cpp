// SPDX-License-Identifier: GPL-3.0-or-later
// The game the board belongs to: recording, opening, taking turns from a copy, stepping through
// the turns, and following the file on the disk.
#include "Games.h"

#include "PackagePaths.h"
#include "Texts.h"
#include "Viewer.h"

namespace mw {
namespace {

// Counts a command that asks the player about the game while it runs: the game file is not read
// again under its feet (a timer of the window would, while a question is open).
class Busy {
 public:
  explicit Busy(int& count) : count_(++count) {}
  ~Busy() { --count_; }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  int& count_;
};

// "turn 8", "turns 8 and 9", "turns 8 to 12": turns that follow one another.
std::string TurnsInWords(const std::vector<Turn>& turns) {
  const int64_t first = turns.front().number, last = turns.back().number;
  if (turns.size() == 1) return Tr("Games", "turn %1").arg(first);
  if (turns.size() == 2) return Tr("Games", "turns %1 and %2").arg(first).arg(last);
  return Tr("Games", "turns %1 to %2").arg(first).arg(last);
}

std::string Quoted(const Turn& turn) {
  return Tr("Games", "turn %1 \"%2\"").arg(turn.number).arg(turn.label);
}

}  // namespace

std::string Games::Title() const {
  if (!game_) return {};
  const std::string name = game_->path().stem().string();
  // A game just opened knows its last turn before the others.
  const int64_t last = pending_ && pending_->opened ? pending_->last : history_.last();
  const int64_t turn = v_.board().document().origin.turn;
  if (turn > 0) return Tr("Games", "%1 \u2013 turn %2 of %3").arg(name).arg(turn).arg(last);
  if (last == 1) return Tr("Games", "%1 \u2013 1 turn").arg(name);
  return Tr("Games", "%1 \u2013 %2 turns").arg(name).arg(last);
}

void Games::BoardPut() {
  // A turn shown tells the History after its paint.
  if (game_ && !pending_) history_.Publish();
}

std::string Games::StaleBoardQuestion(int64_t last) const {
  const int64_t from = v_.board().document().origin.turn;
  // What the turns after `after` did, which a recording over them undoes.
  const auto undone = [&](int64_t after) -> std::string {
    if (last - after == 1) return Tr("Games", "turn %1 did.").arg(last);
    return Tr("Games", "turns %1 to %2 did.").arg(after + 1).arg(last);
  };
  if (from == 0) {
    const int64_t seen = history_.last();
    if (last < seen)
      return Tr("Games",
                "The board was made while the game was at turn %1; the game is at turn %2: its "
                "file no longer holds the turns after it.")
          .arg(seen)
          .arg(last);
    return Tr("Games",
              "The board was made while the game was at turn %1; the game is at turn %2 now. "
              "Recording it may undo what %3")
        .arg(seen)
        .arg(last)
        .arg(undone(seen));
  }
  const TurnFigures* known = history_.Find(from);
  const std::string made =
      known ? Quoted(known->turn) : std::string(Tr("Games", "turn %1").arg(from));
  if (last < from)
    return Tr("Games",
              "The board was made from %1, which the game file no longer holds; the game is at "
              "turn %2.")
        .arg(made)
        .arg(last);
  return Tr("Games",
            "The board was made from %1; the game is at turn %2. Recording it undoes what %3")
      .arg(made)
      .arg(last)
      .arg(undone(from));
}

void Games::RecordTurn() {
  FinishShowing();
  const Busy busy(busy_);
  Board& board = v_.board();
  const Host& host = v_.host();
  std::filesystem::path path = game_ ? game_->path() : std::filesystem::path();
  const auto fail = [&](const std::string& reason) {
    board.ReportFailure({Failure::Action::kRecordTurn, path.string(), reason});
  };
  if (const auto& cut = board.document().origin.cut)
    return fail(Tr("Games",
                   "%1: a cut position is not recorded as a turn. Save the board to keep what it "
                   "holds, then record it")
                    .arg(cut->Describe(board.document().origin.file)));
  if (!game_) {
    const auto chosen = host.files.ChooseGameFile(true);
    if (!chosen) return;
    path = *chosen;
    if (!IsGamePath(path.string())) path += GameFile::kExtension;
    const Position& position = board.position();
    auto game =
        GameFile::OpenOrCreate(path, position.mapName(), board.PackageFolder(v_.map().packageName));
    if (!game) return fail(game.error());
    game_.emplace(std::move(game.value()));
    board.document().origin.turn = 0;
    gameVersion_ = game_->DataVersion();
    if (Status read = history_.Read(*game_); !read) return fail(read.error());
    v_.DocumentChanged();
  } else {
    // Turns another program recorded, or another copy put under the name, count.
    CatchUp();
  }
  // The game's last turn, and the turn the board came from (or the last one the window knew of
  // when it came from no turn): where they differ, recording may undo turns.
  auto last = game_->FindTurn(0);
  if (!last) return fail(last.error());
  const int64_t lastNumber = *last ? (*last)->number : 0;
  BoardOrigin& origin = board.document().origin;
  int64_t expected = origin.turn != 0 ? origin.turn : history_.last();
  if (lastNumber != expected) {
    if (!host.questions.ConfirmAction(StaleBoardQuestion(lastNumber), Tr("Games", "Record Turn"),
                                      Tr("Games", "Record Anyway")))
      return;
    expected = lastNumber;
  }
  const std::string proposed = Tr("Games", "Turn %1").arg(lastNumber + 1);
  const auto text = host.questions.AskTurnText(Tr("Games", "Record Turn"), {proposed, {}});
  if (!text) return;
  // The label proposed follows the turn's number, should another turn come first.
  const std::string label = text->label == proposed ? std::string() : text->label;
  const std::vector<uint8_t> bytes = EncodePosition(board.position(), false);
  const std::optional<int64_t> parent = origin.turn ? std::optional(origin.turn) : std::nullopt;
  // The moves go with the turn where they lead from its parent; a board made elsewhere has none.
  std::optional<std::vector<UndoEntry>> moves;
  if (const auto journal = board.MovesSinceTurn(); journal && parent && journal->turn == *parent)
    moves = journal->moves;
  // The totals go with it, and those of the turns before that the file does not hold yet, so
  // that opening the game need not read every turn's position.
  NewTurn made{bytes, label, text->note, parent, expected, moves, {}, {}, {}};
  AddFigures(made, board.position(), board.position(), history_.data().turns);
  std::optional<Turn> turn;
  while (!turn) {
    made.after = expected;
    auto recorded = game_->Record(made);
    if (!recorded) return fail(recorded.error());
    turn = recorded->turn;
    // Another program recorded while the questions were open: asked again.
    if (!turn &&
        !host.questions.ConfirmAction(StaleBoardQuestion(recorded->last),
                                      Tr("Games", "Record Turn"), Tr("Games", "Record Anyway")))
      return;
    expected = recorded->last;
  }
  // The board is the new turn; the figures are those it shows. Turns that came before it from
  // elsewhere, or changes of labels, are read with it.
  if (game_->DataVersion() != gameVersion_) {
    gameVersion_ = game_->DataVersion();
    if (Status read = history_.ReadArrivals(*game_, false); !read) return fail(read.error());
  }
  history_.Recorded(*game_, *turn, made.figures.has_value());
  origin.turn = turn->number;
  board.StartJournal(turn->number);
  // A board that is no position file's is kept in the game now: nothing of it is unsaved.
  if (board.document().currentFile.empty()) {
    board.position().MarkClean();
    v_.recovery().Keep();
  }
  history_.Publish();
  v_.desk().RememberFile(game_->path().string());
  v_.DocumentChanged();
  host.surface.ShowStatus(
      StatusField::kMessage,
      Tr("Games", "Recorded %1 in %2").arg(Quoted(*turn)).arg(game_->path().string()));
}

Status Games::OpenGameAt(const std::string& path, int64_t number) {
  // Only the turn shown is read before the board is painted; every turn, with its totals, after.
  auto game = GameFile::Open(path, true);
  if (!game) return Status::Fail(game.error());
  auto last = game->FindTurn(0);
  if (!last) return Status::Fail(last.error());
  if (!*last) return Status::Fail(Tr("Games", "%1: the game has no turns yet").arg(path));
  if (number == 0) number = (*last)->number;
  auto turn = number == (*last)->number ? last : game->FindTurn(number);
  if (!turn) return Status::Fail(turn.error());
  if (!*turn) return Status::Fail(Tr("Games", "%1: the game has no turn %2").arg(path).arg(number));
  auto bytes = game->PositionOf(number);
  if (!bytes) return Status::Fail(bytes.error());
  // The game is the open one from here; what another game left to do is moot. The game before
  // and its history are let go after the paint.
  pending_.reset();
  StopPageCheck();
  std::optional<GameFile> retired = std::exchange(game_, std::move(game.value()));
  GameHistory retiredHistory = history_.Begin(game_->path().string(), {});
  v_.board().document().origin.turn = 0;
  // The position of the comparison shown keeps its map for the turn before, where the game is of
  // the map on show.
  std::unique_ptr<Position> older;
  if (EqualsIgnoringCase(v_.map().packageName, game_->mapName()))
    older = v_.overlays().TakeCompared();
  pending_ = Pending{number, true, (*last)->number, nullptr, {}, {}};
  v_.PutBoard(BoardSource::Turn(game_->path().string(), std::move(bytes.value()), number));
  v_.desk().RememberFile(path);
  v_.DocumentChanged();
  v_.host().surface.ShowStatus(
      StatusField::kMessage,
      Tr("Games", "Opened the game %1 at %2").arg(game_->path().string()).arg(Quoted(**turn)));
  // A box the board's put showed may have let the event loop finish the opening already.
  if (pending_) {
    pending_->older = std::move(older);
    pending_->retiredGame = std::move(retired);
    pending_->retiredHistory = std::move(retiredHistory);
    Defer(std::move(*pending_));
  }
  return Status::Ok();
}

void Games::Defer(Pending pending) {
  pending_ = std::move(pending);
  v_.host().surface.AfterPaint([this] { FinishShowing(); });
}

void Games::FinishOpening() {
  if (pending_ && pending_->opened) FinishShowing();
}

void Games::FinishShowing() {
  if (!pending_ || !game_) return;
  Pending pending = std::move(*pending_);
  pending_.reset();
  if (pending.opened) {
    const auto fail = [&](const std::string& reason) {
      v_.board().ReportFailure({Failure::Action::kOpenGame, game_->path().string(), reason});
    };
    // What another program records from here is news to the window.
    gameVersion_ = game_->DataVersion();
    auto turns = game_->Turns();
    if (!turns) return fail(turns.error());
    history_.Begin(game_->path().string(), std::move(turns.value()));
    CompareWithTurnBefore(pending.turn, std::move(pending.older));
    StartPageCheck();
    if (Status read = history_.ReadFigures(*game_); !read) return fail(read.error());
    history_.Show();
    v_.DocumentChanged();
    return;
  }
  CompareWithTurnBefore(pending.turn, std::move(pending.older));
  history_.Publish();
}

void Games::CompareWithTurnBefore(int64_t number, std::unique_ptr<Position> older) {
  Board& board = v_.board();
  // A board that moved on since keeps its own comparison.
  if (board.document().origin.turn != number) return;
  const TurnFigures* before = history_.Before(number);
  if (!before) return;
  auto olderBytes = game_->PositionOf(before->turn.number);
  if (!olderBytes) {
    board.ReportFailure({Failure::Action::kLoadTurn, game_->path().string(), olderBytes.error()});
    return;
  }
  const bool mapped = older != nullptr;  // `older` has the board's map
  if (!older) older = std::make_unique<Position>();
  LoadPositionBytes(*older, *olderBytes);
  if (mapped)
    older->SettleOnMap();
  else
    TakeMapOf(*older, board.position());
  v_.overlays().CompareWithPosition(std::move(older), Quoted(before->turn));
}

void Games::OpenGame() {
  const Busy busy(busy_);
  if (!v_.board().ConfirmDiscard()) return;
  if (const auto chosen = v_.host().files.ChooseGameFile(false)) OpenGameFile(*chosen, true);
}

void Games::OpenGameFile(const std::string& path, bool asked) {
  const Busy busy(busy_);
  std::error_code error;
  // A copy of the open game gives its turns to it; any other game is opened.
  if (game_ && !std::filesystem::equivalent(path, game_->path(), error)) {
    auto other = GameFile::Open(path);
    if (other && other->id() == game_->id()) return TakeTurnsFrom(path, asked);
  }
  if (Status opened = OpenGameAt(path); !opened)
    v_.board().ReportFailure({Failure::Action::kOpenGame, path, opened.error()});
}

void Games::TakeTurnsFrom(const std::string& path, bool asked) {
  FinishShowing();
  const Busy busy(busy_);
  const auto fail = [&](const std::string& reason) {
    v_.board().ReportFailure(
        {Failure::Action::kTakeTurns, game_ ? game_->path().string() : path, reason});
  };
  if (!game_) {
    // Nothing to take them into: the game is opened.
    if (!asked && !v_.board().ConfirmDiscard()) return;
    return OpenGameFile(path, true);
  }
  CatchUp();
  auto other = GameFile::Open(path);
  if (!other) return fail(other.error());
  const std::string here = game_->path().filename().string();
  const std::string there = other->path().filename().string();
  auto plan = game_->PlanTaking(*other);
  if (!plan) return fail(plan.error());
  if (plan->parting) return fail(plan->parting->Describe(here, there));
  Surface& surface = v_.host().surface;
  if (plan->turns.empty()) {
    surface.ShowStatus(
        StatusField::kMessage,
        Tr("Games", "Nothing to take: %1 holds no turn that %2 lacks").arg(there).arg(here));
    return;
  }
  if (!v_.host().questions.ConfirmAction(
          Tr("Games", "Take %1 of %2?").arg(TurnsInWords(plan->turns)).arg(there),
          Tr("Games", "Take Turns"), Tr("Games", "Take Turns")))
    return;
  auto taken = game_->Take(*other);
  if (!taken) return fail(taken.error());
  if (taken->parting) return fail(taken->parting->Describe(here, there));
  if (taken->turns.empty()) return;
  if (Status read = history_.ReadArrivals(*game_, false); !read) return fail(read.error());
  // What the opponent did: the last turn taken, compared with the one before it.
  ShowTurn(taken->turns.back().number, asked);
  surface.ShowStatus(StatusField::kMessage, Tr("Games", "Took %1 of %2 into %3; %4 is on the board")
                                                .arg(TurnsInWords(taken->turns))
                                                .arg(there)
                                                .arg(here)
                                                .arg(Quoted(taken->turns.back())));
}

bool Games::GoToTurn(int64_t number) {
  const Busy busy(busy_);
  return ShowTurn(number, false);
}

bool Games::ShowTurn(int64_t number, bool asked) {
  FinishOpening();
  const TurnFigures* at = history_.Find(number);
  Board& board = v_.board();
  if (!at) return false;
  if (number == board.document().origin.turn && !board.position().dirty()) return true;
  const auto fail = [&](const std::string& reason) {
    board.ReportFailure({Failure::Action::kLoadTurn, game_->path().string(), reason});
    history_.Publish();
    return false;
  };
  if (!asked && !board.ConfirmStep(number)) {
    // The History window shows the board's turn chosen again.
    history_.Publish();
    return false;
  }
  auto bytes = game_->PositionOf(number);
  if (!bytes) return fail(bytes.error());
  const Turn shown = at->turn;
  // The comparison of a turn shown before, not made yet, is moot: its position is used for this
  // one's. Else the position of the comparison shown is, where the turn is of the map on show.
  std::unique_ptr<Position> older;
  if (pending_) older = std::move(std::exchange(pending_, std::nullopt)->older);
  if (!EqualsIgnoringCase(v_.map().packageName, game_->mapName()))
    older.reset();
  else if (!older)
    older = v_.overlays().TakeCompared();
  pending_ = Pending{number, false, 0, std::move(older), {}, {}};
  v_.PutBoard(BoardSource::Turn(game_->path().string(), std::move(bytes.value()), number));
  v_.host().surface.ShowStatus(StatusField::kMessage,
                               Tr("Games", "Turn %1 \"%2\" of %3 is on the board")
                                   .arg(number)
                                   .arg(shown.label)
                                   .arg(game_->path().filename().string()));
  // A box the board's put showed may have let the event loop finish the step already.
  if (pending_) Defer(std::move(*pending_));
  return true;
}

void Games::StepTurn(int direction) {
  FinishOpening();
  if (!game_ || history_.data().turns.empty()) {
    v_.host().surface.ShowStatus(
        StatusField::kMessage,
        Tr("Games", "No game to step through: open one (Open Game ...) or record a turn first"));
    return;
  }
  const int64_t current = v_.board().document().origin.turn;
  // A board that is no turn steps back to the last one.
  if (!history_.Find(current)) {
    if (direction < 0) GoToTurn(history_.last());
    return;
  }
  const TurnFigures* next = direction < 0 ? history_.Before(current) : history_.After(current);
  if (next) GoToTurn(next->turn.number);
}

void Games::AnnotateTurn(int64_t number) {
  FinishShowing();
  const TurnFigures* at = history_.Find(number);
  if (!at) return;
  const auto text = v_.host().questions.AskTurnText(Tr("Games", "Turn %1").arg(number),
                                                    {at->turn.label, at->turn.note});
  if (!text || (text->label == at->turn.label && text->note == at->turn.note)) return;
  auto changed = game_->Annotate(number, text->label, text->note);
  if (!changed)
    return v_.board().ReportFailure(
        {Failure::Action::kChangeTurn, game_->path().string(), changed.error()});
  history_.Annotated(*changed);
  v_.host().surface.ShowStatus(
      StatusField::kMessage, Tr("Games", "Turn %1 is now \"%2\"").arg(number).arg(changed->label));
}

Games::~Games() { StopPageCheck(); }

void Games::StartPageCheck() {
  StopPageCheck();
  auto checker = GameFile::Open(game_->path());
  if (!checker) return;
  pageChecker_ = std::make_shared<GameFile>(std::move(checker.value()));
  pageCheck_ =
      std::async(std::launch::async, [checker = pageChecker_] { return checker->CheckPages(); });
}

void Games::StopPageCheck() {
  std::erase_if(stoppedChecks_, [](const auto& check) {
    return check.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
  });
  if (!pageCheck_.valid()) return;
  // Interrupted, the check ends within moments on its own connection; nothing waits for it.
  pageChecker_->Interrupt();
  stoppedChecks_.push_back(std::move(pageCheck_));
  pageChecker_.reset();
}

bool Games::SayPageCheck(Result<std::string> found) {
  if (found && found->empty()) return true;
  // A check that could not run (the file replaced meanwhile) finds nothing to say; what is read
  // of the file is checked as it is read.
  if (!found) return false;
  v_.host().questions.ShowError(
      Tr("Games",
         "The game file %1 is damaged: %2.\n\nThe turns that can be read are shown; a copy of the "
         "game (Take Turns From) or a backup may hold the rest.")
          .arg(game_ ? game_->path().string() : std::string())
          .arg(*found));
  return false;
}

bool Games::AwaitPageCheck() {
  if (!pageCheck_.valid()) return true;
  auto found = pageCheck_.get();
  pageChecker_.reset();
  return SayPageCheck(std::move(found));
}

void Games::FollowGameFile() {
  if (pageCheck_.valid() && busy_ == 0 &&
      pageCheck_.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
    AwaitPageCheck();
  if (busy_ == 0) CatchUp();
}

void Games::CatchUp() {
  if (!game_) return;
  FinishShowing();
  bool reopened = false;
  Surface& surface = v_.host().surface;
  if (game_->Replaced()) {
    // Another program put a file under the name (a sync tool renames its copy over it): that
    // file is the game now, and the next recording goes into it.
    auto fresh = GameFile::Open(game_->path(), true);
    if (!fresh) {
      if (!gameUnreadable_)
        surface.ShowStatus(StatusField::kMessage,
                           Tr("Games", "The game file cannot be read now: %1").arg(fresh.error()));
      gameUnreadable_ = true;
      return;
    }
    game_.emplace(std::move(fresh.value()));
    reopened = true;
  } else if (game_->DataVersion() == gameVersion_) {
    return;
  }
  gameUnreadable_ = false;
  gameVersion_ = game_->DataVersion();
  if (Status read = history_.ReadArrivals(*game_, reopened); !read)
    surface.ShowStatus(StatusField::kMessage,
                       Tr("Games", "The game file cannot be read now: %1").arg(read.error()));
  v_.DocumentChanged();
}

}  // namespace mw
