// The game the board belongs to: "&Record Turn", "&Open Game ...", stepping through its turns,
// the History window and the Trends chart.
#include <QColor>
#include <algorithm>
#include <tuple>
#include <unordered_map>

#include "PackagePaths.h"
#include "PositionFile.h"
#include "Viewer.h"

namespace mw {
namespace {

// A country's colour: the one most of its row of the pieces picture is painted in among the
// clear colours (the fill of its pieces, not their dark outline or light marks); the most common
// one where the row has no clear colour. A country without a row gets a hue of its own.
uint32_t CountryColour(const MapState& map, int country) {
  const QImage& pieces = map.piecesPicture;
  const QRect row = map.cell(0, country).adjusted(0, 0, pieces.width(), 0) & pieces.rect();
  std::unordered_map<QRgb, int> counts;
  QRgb best = 0, bestClear = 0;
  int most = 0, mostClear = 0;
  for (int y = row.top(); y <= row.bottom(); ++y)
    for (int x = row.left(); x <= row.right(); ++x) {
      const QRgb pixel = pieces.pixel(x, y) | 0xff000000u;
      const int n = ++counts[pixel];
      const int high = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
      const int low = std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
      if (n > most) std::tie(most, best) = std::pair(n, pixel);
      if (high >= 96 && high - low >= 48 && n > mostClear)
        std::tie(mostClear, bestClear) = std::pair(n, pixel);
    }
  if (mostClear > 0) return bestClear;
  if (most > 0) return best;
  return QColor::fromHsv((country * 137) % 360, 200, 200).rgb();
}

}  // namespace

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
  const std::string first = std::to_string(turns.front().number);
  const std::string last = std::to_string(turns.back().number);
  if (turns.size() == 1) return "turn " + first;
  return "turns " + first + (turns.size() == 2 ? " and " : " to ") + last;
}

std::string Quoted(const Turn& turn) {
  return "turn " + std::to_string(turn.number) + " \"" + turn.label + "\"";
}

}  // namespace

std::string Viewer::StaleBoardQuestion(int64_t last) const {
  const int64_t from = document_.origin.turn;
  const auto known = std::find_if(history_.turns.begin(), history_.turns.end(),
                                  [&](const TurnFigures& t) { return t.turn.number == from; });
  const std::string game = "the game is at turn " + std::to_string(last);
  const auto undone = [&](int64_t after) {
    return "turn" +
           (last - after == 1 ? " " + std::to_string(last)
                              : "s " + std::to_string(after + 1) + " to " + std::to_string(last)) +
           " did.";
  };
  if (from == 0) {
    const int64_t seen = history_.turns.empty() ? 0 : history_.turns.back().turn.number;
    const std::string made =
        "The board was made while the game was at turn " + std::to_string(seen) + "; " + game;
    if (last < seen) return made + ": its file no longer holds the turns after it.";
    return made + " now. Recording it may undo what " + undone(seen);
  }
  const std::string made =
      "The board was made from " +
      (known != history_.turns.end() ? Quoted(known->turn) : "turn " + std::to_string(from));
  if (last < from) return made + ", which the game file no longer holds; " + game + ".";
  return made + "; " + game + ". Recording it undoes what " + undone(from);
}

void Viewer::RecordTurn() {
  const Busy busy(busy_);
  const auto fail = [&](const std::string& reason) { ReportFailure("record the turn", reason); };
  if (const auto& cut = document_.origin.cut)
    return fail(cut->Describe(document_.origin.file) +
                ": a cut position is not recorded as a turn. Save the board to keep what it holds, "
                "then record it");
  if (!game_) {
    const auto chosen = host_.files.ChooseGameFile(true);
    if (!chosen) return;
    std::filesystem::path path = *chosen;
    if (!IsGamePath(path.string())) path += GameFile::kExtension;
    auto game = GameFile::OpenOrCreate(path, position_.mapName(), PackageFolder(map_.packageName));
    if (!game) return fail(game.error());
    game_.emplace(std::move(game.value()));
    document_.origin.turn = 0;
    history_ = GameHistory{game_->path().string(), {}, {}, {}, 0, {}};
    if (Status read = ReadHistory(); !read) return fail(read.error());
    DocumentChanged();
  } else {
    // Turns another program recorded, or another copy put under the name, count.
    CatchUpWithGameFile();
  }
  // The game's last turn, and the turn the board came from (or the last one the window knew of
  // when it came from no turn): where they differ, recording may undo turns.
  auto last = game_->FindTurn(0);
  if (!last) return fail(last.error());
  const int64_t lastNumber = *last ? (*last)->number : 0;
  int64_t expected = document_.origin.turn;
  if (expected == 0 && !history_.turns.empty()) expected = history_.turns.back().turn.number;
  if (lastNumber != expected) {
    if (!host_.questions.ConfirmAction(StaleBoardQuestion(lastNumber), "Record Turn",
                                       "Record Anyway"))
      return;
    expected = lastNumber;
  }
  const std::string proposed = "Turn " + std::to_string(lastNumber + 1);
  const auto text = host_.questions.AskTurnText("Record Turn", {proposed, {}});
  if (!text) return;
  // The label proposed follows the turn's number, should another turn come first.
  const std::string label = text->label == proposed ? std::string() : text->label;
  const std::vector<uint8_t> board = EncodePosition(position_, false);
  std::optional<Turn> turn;
  while (!turn) {
    auto recorded = game_->Record(
        {board, label, text->note,
         document_.origin.turn ? std::optional(document_.origin.turn) : std::nullopt, expected});
    if (!recorded) return fail(recorded.error());
    turn = recorded->turn;
    // Another program recorded while the questions were open: asked again.
    if (!turn && !host_.questions.ConfirmAction(StaleBoardQuestion(recorded->last), "Record Turn",
                                                "Record Anyway"))
      return;
    expected = recorded->last;
  }
  // The board is the new turn; the figures are those it shows. Turns that came before it from
  // elsewhere, or changes of labels, are read with it.
  const int64_t known = history_.turns.empty() ? 0 : history_.turns.back().turn.number;
  if (known == turn->number - 1 && game_->DataVersion() == gameVersion_) {
    history_.turns.push_back(FiguresOf(position_, *turn));
    history_.countries = CountriesOf(history_.turns);
  } else if (Status read = ReadArrivals(false); !read) {
    return fail(read.error());
  }
  document_.origin.turn = turn->number;
  // A board that is no position file's is kept in the game now: nothing of it is unsaved.
  if (document_.currentFile.empty()) {
    position_.MarkClean();
    KeepRecoveryCopy();
  }
  PublishHistory();
  RememberFile(game_->path().string());
  DocumentChanged();
  host_.surface.ShowStatus(StatusField::kMessage,
                           "Recorded " + Quoted(*turn) + " in " + game_->path().string());
}

Status Viewer::OpenGameAt(const std::string& path, int64_t number) {
  auto game = GameFile::Open(path, true);
  if (!game) return Status::Fail(game.error());
  auto turns = game->Turns();
  if (!turns) return Status::Fail(turns.error());
  if (turns->empty()) return Status::Fail(path + ": the game has no turns yet");
  if (number == 0) number = turns->back().number;
  if (std::none_of(turns->begin(), turns->end(), [&](const Turn& t) { return t.number == number; }))
    return Status::Fail(path + ": the game has no turn " + std::to_string(number));
  // The game is the open one from here: its turns are known before its figures, which need the
  // board on the game's map.
  game_.emplace(std::move(game.value()));
  history_ = GameHistory{game_->path().string(), {}, {}, {}, 0, {}};
  for (Turn& turn : *turns) history_.turns.push_back({std::move(turn), {}});
  document_.origin.turn = 0;
  if (!ShowTurn(number, true)) return Status::Fail(path + ": the turn could not be shown");
  if (Status read = ReadHistory(); !read) return read;
  historyShown_ = true;
  host_.menus.SetMenuCheck(command::kHistory, true);
  PublishHistory();
  RememberFile(path);
  DocumentChanged();
  host_.surface.ShowStatus(StatusField::kMessage, "Opened the game " + game_->path().string() +
                                                      " at " + Quoted(FindTurn(number)->turn));
  return Status::Ok();
}

void Viewer::OpenGame() {
  const Busy busy(busy_);
  if (!ConfirmDiscard()) return;
  if (const auto chosen = host_.files.ChooseGameFile(false)) OpenGameFile(*chosen, true);
}

void Viewer::OpenGameFile(const std::string& path, bool asked) {
  const Busy busy(busy_);
  std::error_code error;
  // A copy of the open game gives its turns to it; any other game is opened.
  if (game_ && !std::filesystem::equivalent(path, game_->path(), error)) {
    auto other = GameFile::Open(path);
    if (other && other->id() == game_->id()) return TakeTurnsFrom(path, asked);
  }
  if (Status opened = OpenGameAt(path); !opened) ReportFailure("open the game", opened.error());
}

void Viewer::TakeTurnsFrom(const std::string& path, bool asked) {
  const Busy busy(busy_);
  const auto fail = [&](const std::string& reason) { ReportFailure("take the turns", reason); };
  if (!game_) {
    // Nothing to take them into: the game is opened.
    if (!asked && !ConfirmDiscard()) return;
    return OpenGameFile(path, true);
  }
  CatchUpWithGameFile();
  auto other = GameFile::Open(path);
  if (!other) return fail(other.error());
  const std::string here = game_->path().filename().string();
  const std::string there = other->path().filename().string();
  auto plan = game_->PlanTaking(*other);
  if (!plan) return fail(plan.error());
  if (plan->parting) return fail(plan->parting->Describe(here, there));
  if (plan->turns.empty()) {
    host_.surface.ShowStatus(StatusField::kMessage, "Nothing to take: " + there +
                                                        " holds no turn that " + here + " lacks");
    return;
  }
  if (!host_.questions.ConfirmAction("Take " + TurnsInWords(plan->turns) + " of " + there + "?",
                                     "Take Turns", "Take Turns"))
    return;
  auto taken = game_->Take(*other);
  if (!taken) return fail(taken.error());
  if (taken->parting) return fail(taken->parting->Describe(here, there));
  if (taken->turns.empty()) return;
  if (Status read = ReadArrivals(false); !read) return fail(read.error());
  // What the opponent did: the last turn taken, compared with the one before it.
  ShowTurn(taken->turns.back().number, asked);
  host_.surface.ShowStatus(StatusField::kMessage,
                           "Took " + TurnsInWords(taken->turns) + " of " + there + " into " + here +
                               "; " + Quoted(taken->turns.back()) + " is on the board");
}

bool Viewer::GoToTurn(int64_t number) {
  const Busy busy(busy_);
  return ShowTurn(number, false);
}

bool Viewer::ShowTurn(int64_t number, bool asked) {
  const auto at = FindTurn(number);
  if (at == history_.turns.end()) return false;
  if (number == document_.origin.turn && !position_.dirty()) return true;
  const auto fail = [&](const std::string& reason) {
    ReportFailure("load the turn", reason);
    PublishHistory();
    return false;
  };
  if (!asked && !ConfirmDiscard()) {
    // The History window shows the board's turn chosen again.
    PublishHistory();
    return false;
  }
  auto bytes = game_->PositionOf(number);
  if (!bytes) return fail(bytes.error());
  // The map stays where the turn is of the map on show: then the position of the comparison
  // shown has it already.
  const bool keepMap = EqualsIgnoringCase(map_.packageName, game_->mapName());
  std::unique_ptr<Position> before;
  bool mapped = false;  // `before` has the board's map
  if (at != history_.turns.begin()) {
    auto older = game_->PositionOf(std::prev(at)->turn.number);
    if (!older) return fail(older.error());
    if (comparison_ && keepMap) before = comparison_->TakeOlder();
    mapped = before != nullptr;
    if (!before) before = std::make_unique<Position>();
    LoadPositionBytes(*before, *older);
  }
  PutBoard(BoardSource::Turn(game_->path().string(), std::move(bytes.value()), number));
  if (before) {
    if (mapped)
      before->SettleOnMap();
    else
      TakeMapOf(*before, position_);
    CompareWithPosition(std::move(before), Quoted(std::prev(at)->turn));
  }
  host_.surface.ShowStatus(StatusField::kMessage,
                           "Turn " + std::to_string(number) + " \"" + at->turn.label + "\" of " +
                               game_->path().filename().string() + " is on the board");
  return true;
}

void Viewer::StepTurn(int direction) {
  const auto& turns = history_.turns;
  if (!game_ || turns.empty()) {
    host_.surface.ShowStatus(
        StatusField::kMessage,
        "No game to step through: open one (&Open Game ...) or record a turn first");
    return;
  }
  const auto at = FindTurn(document_.origin.turn);
  // A board that is no turn steps back to the last one.
  if (at == turns.end()) {
    if (direction < 0) GoToTurn(turns.back().turn.number);
    return;
  }
  if (direction < 0 && at != turns.begin()) GoToTurn(std::prev(at)->turn.number);
  if (direction > 0 && std::next(at) != turns.end()) GoToTurn(std::next(at)->turn.number);
}

void Viewer::FollowGameFile() {
  if (busy_ == 0) CatchUpWithGameFile();
}

void Viewer::CatchUpWithGameFile() {
  if (!game_) return;
  bool reopened = false;
  if (game_->Replaced()) {
    // Another program put a file under the name (a sync tool renames its copy over it): that
    // file is the game now, and the next recording goes into it.
    auto fresh = GameFile::Open(game_->path(), true);
    if (!fresh) {
      if (!gameUnreadable_)
        host_.surface.ShowStatus(StatusField::kMessage,
                                 "The game file cannot be read now: " + fresh.error());
      gameUnreadable_ = true;
      return;
    }
    game_.emplace(std::move(fresh.value()));
    reopened = true;
  } else if (game_->DataVersion() == gameVersion_) {
    return;
  }
  gameUnreadable_ = false;
  if (Status read = ReadArrivals(reopened); !read)
    host_.surface.ShowStatus(StatusField::kMessage,
                             "The game file cannot be read now: " + read.error());
}

Status Viewer::ReadArrivals(bool reopened) {
  gameVersion_ = game_->DataVersion();
  auto turns = game_->Turns();
  if (!turns) return Status::Fail(turns.error());
  auto& known = history_.turns;
  // The turns known that the file still holds as they were recorded.
  const auto same = [](const Turn& a, const Turn& b) {
    return a.number == b.number && a.recorded == b.recorded &&
           (a.hash.empty() || b.hash.empty() || a.hash == b.hash);
  };
  size_t kept = 0;
  while (kept < known.size() && kept < turns->size() && same(known[kept].turn, (*turns)[kept]))
    ++kept;
  if (kept < known.size()) {
    // Another history under the name: read whole. The board's turn is known again only where
    // that turn is still there as it was.
    const int64_t keptUpTo = kept > 0 ? known[kept - 1].turn.number : 0;
    if (document_.origin.turn > keptUpTo) document_.origin.turn = 0;
    if (Status read = ReadHistory(); !read) return read;
    PublishHistory();
    DocumentChanged();
    host_.surface.ShowStatus(StatusField::kMessage, game_->path().filename().string() + " was " +
                                                        (reopened ? "replaced" : "changed") +
                                                        " by another program: it holds " +
                                                        std::to_string(history_.turns.size()) +
                                                        " turns now");
    return Status::Ok();
  }
  // Labels and notes may have changed; the turns after the known ones arrived.
  for (size_t i = 0; i < kept; ++i) {
    known[i].turn.label = (*turns)[i].label;
    known[i].turn.note = (*turns)[i].note;
    known[i].turn.hash = (*turns)[i].hash;
  }
  const std::span<const Turn> arrived = std::span<const Turn>(*turns).subspan(kept);
  if (!arrived.empty()) {
    auto figures = FiguresOfTurns(*game_, MapOfGame(), arrived);
    if (!figures) return Status::Fail(figures.error());
    known.insert(known.end(), figures->begin(), figures->end());
    history_.countries = CountriesOf(known);
    host_.surface.ShowStatus(
        StatusField::kMessage,
        (arrived.size() == 1 ? "Turn " + std::to_string(arrived.front().number)
                             : "Turns " + std::to_string(arrived.front().number) +
                                   (arrived.size() == 2 ? " and " : " to ") +
                                   std::to_string(arrived.back().number)) +
            " \"" + arrived.back().label + "\" arrived in " + game_->path().filename().string());
  }
  PublishHistory();
  DocumentChanged();
  return Status::Ok();
}

void Viewer::AnnotateTurn(int64_t number) {
  const auto at = FindTurn(number);
  if (at == history_.turns.end()) return;
  const auto text = host_.questions.AskTurnText("Turn " + std::to_string(number),
                                                {at->turn.label, at->turn.note});
  if (!text || (text->label == at->turn.label && text->note == at->turn.note)) return;
  auto changed = game_->Annotate(number, text->label, text->note);
  if (!changed) return ReportFailure("change the turn", changed.error());
  at->turn = *changed;
  PublishHistory();
  host_.surface.ShowStatus(StatusField::kMessage,
                           "Turn " + std::to_string(number) + " is now \"" + changed->label + "\"");
}

void Viewer::ToggleHistory() {
  historyShown_ = !historyShown_;
  host_.menus.SetMenuCheck(command::kHistory, historyShown_);
  if (historyShown_)
    host_.boards.ShowHistory(history_);
  else
    host_.boards.HideHistory();
}

void Viewer::HistoryClosed() {
  historyShown_ = false;
  host_.menus.SetMenuCheck(command::kHistory, false);
}

void Viewer::OpenTrends() {
  if (!game_ || history_.turns.empty()) {
    host_.surface.ShowStatus(
        StatusField::kMessage,
        "No turns to chart: open a game (&Open Game ...) or record a turn first");
    return;
  }
  host_.boards.ShowTrends(history_, true);
}

Status Viewer::ReadHistory() {
  host_.surface.BeginWait();
  gameVersion_ = game_->DataVersion();
  auto figures = GameFigures(*game_, MapOfGame());
  host_.surface.EndWait();
  if (!figures) return Status::Fail(figures.error());
  history_.turns = std::move(figures.value());
  history_.countries = CountriesOf(history_.turns);
  history_.colours.clear();
  return Status::Ok();
}

const Position& Viewer::MapOfGame() const {
  // The figures need the game's map: the board's, which recording into the game and opening it
  // make sure of. A board of another map gives none.
  static const Position kNoMap;
  return EqualsIgnoringCase(position_.mapName(), game_->mapName()) ? position_ : kNoMap;
}

std::vector<TurnFigures>::iterator Viewer::FindTurn(int64_t number) {
  auto& turns = history_.turns;
  if (!game_) return turns.end();
  return std::find_if(turns.begin(), turns.end(),
                      [&](const TurnFigures& t) { return t.turn.number == number; });
}

void Viewer::ReportFailure(const std::string& action, const std::string& reason, bool box) {
  ++failures_;
  host_.surface.ShowStatus(StatusField::kMessage, "Could not " + action + ": " + reason);
  if (box) host_.questions.ShowError(reason);
}

void Viewer::PublishHistory() {
  // The colours follow the countries and the pieces picture: worked out again when either
  // changed (each clears them), not at every step through the turns.
  if (history_.colours.size() != history_.countries.size()) {
    history_.colours.clear();
    for (uint16_t country : history_.countries)
      history_.colours.push_back(CountryColour(map_, country));
  }
  history_.countryNames = position_.countryNames();
  history_.current = document_.origin.turn;
  if (historyShown_) host_.boards.ShowHistory(history_);
  host_.boards.ShowTrends(history_, false);
}

}  // namespace mw
