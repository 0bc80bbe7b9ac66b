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

void Viewer::RecordTurn() {
  const auto fail = [&](const std::string& reason) { ReportFailure("record the turn", reason); };
  if (!game_) {
    const auto chosen = host_.ChooseGameFile(true);
    if (!chosen) return;
    std::filesystem::path path = *chosen;
    if (!IsGamePath(path.string())) path += GameFile::kExtension;
    auto game = GameFile::OpenOrCreate(path, position_.mapName(), PackageFolder(map_.packageName));
    if (!game) return fail(game.error());
    game_.emplace(std::move(game.value()));
    history_ = GameHistory{game_->path().string(), {}, {}, {}, 0, {}};
    if (Status read = ReadHistory(); !read) return fail(read.error());
  }
  auto turns = game_->Turns();
  if (!turns) return fail(turns.error());
  const auto text =
      host_.AskTurnText("Record Turn", {"Turn " + std::to_string(turns->size() + 1), {}});
  if (!text) return;
  auto turn = game_->Record(EncodePosition(position_, false), text->label, text->note);
  if (!turn) return fail(turn.error());
  // The board is the new turn; the figures are those it shows. Turns another program recorded
  // meanwhile are read with it.
  if (history_.turns.size() == turns->size()) {
    history_.turns.push_back(FiguresOf(position_, *turn));
    history_.countries = CountriesOf(history_.turns);
    history_.colours.clear();
  } else if (Status read = ReadHistory(); !read) {
    return fail(read.error());
  }
  history_.current = turn->number;
  // A board that is no position file's is kept in the game now: nothing of it is unsaved.
  if (document_.currentFile.empty()) {
    position_.MarkClean();
    KeepRecoveryCopy();
  }
  PublishHistory();
  RememberFile(game_->path().string());
  host_.ShowStatus(StatusField::kMessage, "Recorded turn " + std::to_string(turn->number) + " \"" +
                                              turn->label + "\" in " + game_->path().string());
}

Status Viewer::LoadGameFile(const std::string& path) {
  auto game = GameFile::Open(path, true);
  if (!game) return Status::Fail(game.error());
  auto turns = game->Turns();
  if (!turns) return Status::Fail(turns.error());
  if (turns->empty()) return Status::Fail(path + ": the game has no turns yet");
  auto bytes = game->PositionOf(turns->back().number);
  if (!bytes) return Status::Fail(bytes.error());
  EndComparison();
  LoadPositionBytes(position_, *bytes);
  game_.emplace(std::move(game.value()));
  // The turn is kept in the game: the board has no position file.
  document_.currentFile.clear();
  document_.restoredFile = false;
  history_ = GameHistory{game_->path().string(), {}, {}, {}, turns->back().number, {}};
  return Status::Ok();
}

Status Viewer::ShowGameOpened() {
  // The board is the game's last turn: nothing of it is unsaved.
  position_.MarkClean();
  KeepRecoveryCopy();
  if (Status read = ReadHistory(); !read) return read;
  historyShown_ = true;
  host_.SetMenuCheck(command::kHistory, true);
  PublishHistory();
  const Turn& last = history_.turns.back().turn;
  host_.ShowStatus(StatusField::kMessage, "Opened the game " + game_->path().string() +
                                              " at turn " + std::to_string(last.number) + " \"" +
                                              last.label + "\"");
  return Status::Ok();
}

void Viewer::OpenGame() {
  if (!ConfirmDiscard()) return;
  if (const auto chosen = host_.ChooseGameFile(false)) OpenGameAt(*chosen);
}

void Viewer::OpenGameAt(const std::string& path) {
  Status opened = LoadGameFile(path);
  if (opened) {
    LoadMapPackage(position_.mapName());
    host_.InvalidateMap(QRect());
    position_.RecomputeTotals();
    opened = ShowGameOpened();
  }
  if (opened) RememberFile(path);
  if (!opened) ReportFailure("open the game", opened.error());
}

bool Viewer::GoToTurn(int64_t number) {
  const auto at = FindTurn(number);
  if (at == history_.turns.end()) return false;
  if (number == history_.current && !position_.dirty()) return true;
  const auto fail = [&](const std::string& reason) {
    ReportFailure("load the turn", reason);
    PublishHistory();
    return false;
  };
  if (!ConfirmDiscard()) {
    // The History window shows the board's turn chosen again.
    PublishHistory();
    return false;
  }
  auto bytes = game_->PositionOf(number);
  if (!bytes) return fail(bytes.error());
  std::unique_ptr<Position> before;
  bool mapped = false;  // `before` has the board's map
  if (at != history_.turns.begin()) {
    auto older = game_->PositionOf(std::prev(at)->turn.number);
    if (!older) return fail(older.error());
    // The position of the comparison shown has the board's map already.
    if (comparison_) before = comparison_->TakeOlder();
    mapped = before != nullptr;
    if (!before) before = std::make_unique<Position>();
    LoadPositionBytes(*before, *older);
  }
  EndComparison();
  const bool sameMap = EqualsIgnoringCase(position_.mapName(), game_->mapName()) &&
                       EqualsIgnoringCase(map_.packageName, game_->mapName());
  LoadPositionBytes(position_, *bytes);
  document_.currentFile.clear();
  document_.restoredFile = false;
  if (sameMap) {
    // The map stays: only the units and what follows from them change.
    position_.ReassignSectors();
    view_.RedrawMapRegion();
    host_.InvalidateInfoView();
  } else {
    LoadMapPackage(position_.mapName());
  }
  host_.InvalidateMap(QRect());
  position_.RecomputeTotals();
  position_.MarkClean();
  KeepRecoveryCopy();
  history_.current = number;
  PublishHistory();
  if (before) {
    if (mapped && sameMap) {
      before->ReassignSectors();
      before->RecomputeTotals();
    } else {
      TakeMapOf(*before, position_);
    }
    CompareWithPosition(std::move(before), "turn " + std::to_string(std::prev(at)->turn.number) +
                                               " \"" + std::prev(at)->turn.label + "\"");
  }
  host_.ShowStatus(StatusField::kMessage,
                   "Turn " + std::to_string(number) + " \"" + at->turn.label + "\" of " +
                       game_->path().filename().string() + " is on the board");
  return true;
}

void Viewer::StepTurn(int direction) {
  const auto& turns = history_.turns;
  if (!game_ || turns.empty()) {
    host_.ShowStatus(StatusField::kMessage,
                     "No game to step through: open one (&Open Game ...) or record a turn first");
    return;
  }
  const auto at = FindTurn(history_.current);
  // A board that is no turn steps back to the last one.
  if (at == turns.end()) {
    if (direction < 0) GoToTurn(turns.back().turn.number);
    return;
  }
  if (direction < 0 && at != turns.begin()) GoToTurn(std::prev(at)->turn.number);
  if (direction > 0 && std::next(at) != turns.end()) GoToTurn(std::next(at)->turn.number);
}

void Viewer::AnnotateTurn(int64_t number) {
  const auto at = FindTurn(number);
  if (at == history_.turns.end()) return;
  const auto text =
      host_.AskTurnText("Turn " + std::to_string(number), {at->turn.label, at->turn.note});
  if (!text || (text->label == at->turn.label && text->note == at->turn.note)) return;
  auto changed = game_->Annotate(number, text->label, text->note);
  if (!changed) return ReportFailure("change the turn", changed.error());
  at->turn = *changed;
  PublishHistory();
  host_.ShowStatus(StatusField::kMessage,
                   "Turn " + std::to_string(number) + " is now \"" + changed->label + "\"");
}

void Viewer::ToggleHistory() {
  historyShown_ = !historyShown_;
  host_.SetMenuCheck(command::kHistory, historyShown_);
  if (historyShown_)
    host_.ShowHistory(history_);
  else
    host_.HideHistory();
}

void Viewer::HistoryClosed() {
  historyShown_ = false;
  host_.SetMenuCheck(command::kHistory, false);
}

void Viewer::OpenTrends() {
  if (!game_ || history_.turns.empty()) {
    host_.ShowStatus(StatusField::kMessage,
                     "No turns to chart: open a game (&Open Game ...) or record a turn first");
    return;
  }
  host_.ShowTrends(history_, true);
}

Status Viewer::ReadHistory() {
  host_.BeginWait();
  // The figures need the game's map: the board's, which recording into the game and opening it
  // make sure of.
  Position map;
  if (EqualsIgnoringCase(position_.mapName(), game_->mapName())) TakeMapOf(map, position_);
  auto figures = GameFigures(*game_, map);
  host_.EndWait();
  if (!figures) return Status::Fail(figures.error());
  history_.turns = std::move(figures.value());
  history_.countries = CountriesOf(history_.turns);
  history_.colours.clear();
  return Status::Ok();
}

std::vector<TurnFigures>::iterator Viewer::FindTurn(int64_t number) {
  auto& turns = history_.turns;
  if (!game_) return turns.end();
  return std::find_if(turns.begin(), turns.end(),
                      [&](const TurnFigures& t) { return t.turn.number == number; });
}

void Viewer::ReportFailure(const std::string& action, const std::string& reason) {
  ++failures_;
  host_.ShowStatus(StatusField::kMessage, "Could not " + action + ": " + reason);
  host_.ShowError(reason);
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
  if (historyShown_) host_.ShowHistory(history_);
  host_.ShowTrends(history_, false);
}

}  // namespace mw
