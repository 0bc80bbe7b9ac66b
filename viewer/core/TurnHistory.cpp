// SPDX-License-Identifier: GPL-3.0-or-later
// The game's turns with their totals, as the History window and the Trends chart show them.
#include "TurnHistory.h"

#include <QColor>
#include <algorithm>
#include <tuple>
#include <unordered_map>

#include "PackagePaths.h"
#include "Reports.h"
#include "Texts.h"
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

// Turns known and turns in the file are the same turn: number, time and (where both have one)
// hash alike.
bool SameTurn(const Turn& a, const Turn& b) {
  return a.number == b.number && a.recorded == b.recorded &&
         (a.hash.empty() || b.hash.empty() || a.hash == b.hash);
}

}  // namespace

GameHistory TurnHistory::Begin(const std::string& file, std::vector<Turn> turns) {
  movesRead_ = false;
  GameHistory before = std::exchange(history_, GameHistory{file, {}, {}, {}, 0, {}, {}, {}, {}});
  history_.turns.reserve(turns.size());
  for (Turn& turn : turns) history_.turns.push_back({std::move(turn), {}});
  return before;
}

const Position& TurnHistory::MapOf(const GameFile& game) const {
  // The figures need the game's map: the board's, which recording into the game and opening it
  // make sure of. A board of another map gives none.
  static const Position kNoMap;
  const Position& board = v_.board().position();
  return EqualsIgnoringCase(board.mapName(), game.mapName()) ? board : kNoMap;
}

void TurnHistory::Take(std::vector<TurnFigures> figures) {
  movesRead_ = false;
  history_.turns = std::move(figures);
  history_.countries = CountriesOf(history_.turns);
  history_.colours.clear();
}

Status TurnHistory::Read(const GameFile& game) {
  auto turns = game.Turns();
  if (!turns) return Status::Fail(turns.error());
  return ReadFiguresOf(game, *turns);
}

Status TurnHistory::ReadFigures(const GameFile& game) {
  std::vector<Turn> turns;
  turns.reserve(history_.turns.size());
  for (const TurnFigures& t : history_.turns) turns.push_back(t.turn);
  return ReadFiguresOf(game, turns);
}

Status TurnHistory::ReadFiguresOf(const GameFile& game, std::span<const Turn> turns) {
  v_.host().surface.BeginWait();
  auto figures = FiguresOfTurns(game, MapOf(game), turns);
  v_.host().surface.EndWait();
  if (!figures) return Status::Fail(figures.error());
  history_.file = game.path().string();
  Take(std::move(figures.value()));
  return KnowLastHash(game);
}

Status TurnHistory::ReadArrivals(const GameFile& game, bool reopened) {
  movesRead_ = false;
  auto turns = game.Turns();
  if (!turns) return Status::Fail(turns.error());
  auto& known = history_.turns;
  // The turns known that the file still holds as they were recorded.
  size_t kept = 0;
  while (kept < known.size() && kept < turns->size() && SameTurn(known[kept].turn, (*turns)[kept]))
    ++kept;
  // The hash of the last of them holds all before it: a history that differs anywhere in them
  // (a copy recorded in the same seconds elsewhere) differs there.
  if (kept > 0 && !known[kept - 1].turn.hash.empty()) {
    auto there = game.FindTurn(known[kept - 1].turn.number);
    if (!there) return Status::Fail(there.error());
    if (!*there || (*there)->hash != known[kept - 1].turn.hash) kept = 0;
  }
  BoardOrigin& origin = v_.board().document().origin;
  const std::string name = game.path().filename().string();
  Surface& surface = v_.host().surface;
  if (kept < known.size()) {
    // Another history under the name: read whole. The board's turn is known again only where
    // that turn is still there as it was.
    const int64_t keptUpTo = kept > 0 ? known[kept - 1].turn.number : 0;
    if (origin.turn > keptUpTo) origin.turn = 0;
    if (Status read = Read(game); !read) return read;
    Publish();
    surface.ShowStatus(
        StatusField::kMessage,
        (reopened ? Tr("History", "%1 was replaced by another program: it holds %2 turns now")
                  : Tr("History", "%1 was changed by another program: it holds %2 turns now"))
            .arg(name)
            .arg(history_.turns.size()));
    return Status::Ok();
  }
  // Labels and notes may have changed; the turns after the known ones arrived.
  for (size_t i = 0; i < kept; ++i) {
    known[i].turn.label = (*turns)[i].label;
    known[i].turn.note = (*turns)[i].note;
  }
  const std::span<const Turn> arrived = std::span<const Turn>(*turns).subspan(kept);
  if (!arrived.empty()) {
    auto figures = FiguresOfTurns(game, MapOf(game), arrived);
    if (!figures) return Status::Fail(figures.error());
    known.insert(known.end(), figures->begin(), figures->end());
    history_.countries = CountriesOf(known);
    if (Status hashed = KnowLastHash(game); !hashed) return hashed;
    const int64_t first = arrived.front().number, last = arrived.back().number;
    const std::string& label = arrived.back().label;
    surface.ShowStatus(
        StatusField::kMessage,
        arrived.size() == 1
            ? Tr("History", "Turn %1 \"%2\" arrived in %3").arg(first).arg(label).arg(name)
        : arrived.size() == 2 ? Tr("History", "Turns %1 and %2 \"%3\" arrived in %4")
                                    .arg(first)
                                    .arg(last)
                                    .arg(label)
                                    .arg(name)
                              : Tr("History", "Turns %1 to %2 \"%3\" arrived in %4")
                                    .arg(first)
                                    .arg(last)
                                    .arg(label)
                                    .arg(name));
  }
  Publish();
  return Status::Ok();
}

Status TurnHistory::KnowLastHash(const GameFile& game) {
  if (history_.turns.empty()) return Status::Ok();
  Turn& last = history_.turns.back().turn;
  auto found = game.FindTurn(last.number);
  if (!found) return Status::Fail(found.error());
  if (*found) last.hash = (*found)->hash;
  return Status::Ok();
}

void TurnHistory::Recorded(const GameFile& game, const Turn& turn, bool figuresStored) {
  movesRead_ = false;
  if (last() == turn.number - 1) {
    // The recording stored the figures of the turns before it that the file lacked.
    if (figuresStored)
      for (TurnFigures& t : history_.turns) t.stored = true;
    history_.turns.push_back(FiguresOf(v_.board().position(), turn));
    history_.turns.back().stored = figuresStored;
    history_.countries = CountriesOf(history_.turns);
  } else {
    ReadArrivals(game, false);
  }
}

void TurnHistory::Annotated(const Turn& turn) {
  for (TurnFigures& t : history_.turns)
    if (t.turn.number == turn.number) t.turn = turn;
  Publish();
}

const TurnFigures* TurnHistory::Find(int64_t number) const {
  for (const TurnFigures& t : history_.turns)
    if (t.turn.number == number) return &t;
  return nullptr;
}

const TurnFigures* TurnHistory::Before(int64_t number) const {
  const TurnFigures* at = Find(number);
  return at && at != &history_.turns.front() ? at - 1 : nullptr;
}

const TurnFigures* TurnHistory::After(int64_t number) const {
  const TurnFigures* at = Find(number);
  return at && at != &history_.turns.back() ? at + 1 : nullptr;
}

void TurnHistory::Publish() {
  // The colours follow the countries and the pieces picture: worked out again when either
  // changed (each clears them), not at every step through the turns.
  if (history_.colours.size() != history_.countries.size()) {
    history_.colours.clear();
    for (uint16_t country : history_.countries)
      history_.colours.push_back(CountryColour(v_.map(), country));
  }
  const int64_t current = v_.board().document().origin.turn;
  const CountryNames& names = v_.board().position().countryNames();
  // The moves are read again only for another turn or other names of the countries, not at
  // every step of a replay.
  const bool movesKnown =
      movesRead_ && current == history_.current && names == history_.countryNames;
  history_.countryNames = names;
  history_.alliances = v_.board().position().alliances();
  history_.current = current;
  if (!movesKnown) {
    history_.moves.reset();
    if (const GameFile* game = v_.games().game(); game && current != 0)
      if (auto moves = game->MovesOf(current); moves && *moves) {
        history_.moves.emplace();
        for (const UndoEntry& move : **moves)
          history_.moves->push_back(MoveInWords(v_.board().position(), move));
      }
    movesRead_ = true;
  }
  history_.replay.reset();
  if (const Playback& playback = v_.playback(); playback.active())
    history_.replay = GameHistory::Replay{playback.step(), playback.playing()};
  BoardWindows& windows = v_.host().boards;
  if (shown_) windows.ShowHistory(history_);
  windows.ShowTrends(history_, false);
}

void TurnHistory::Show() {
  shown_ = true;
  v_.host().menus.SetMenuCheck(command::kHistory, true);
  Publish();
}

void TurnHistory::Toggle() {
  shown_ = !shown_;
  v_.host().menus.SetMenuCheck(command::kHistory, shown_);
  if (shown_)
    v_.host().boards.ShowHistory(history_);
  else
    v_.host().boards.HideHistory();
}

void TurnHistory::Closed() {
  shown_ = false;
  v_.host().menus.SetMenuCheck(command::kHistory, false);
}

void TurnHistory::OpenTrends() {
  if (!v_.games().game() || history_.turns.empty()) {
    v_.host().surface.ShowStatus(
        StatusField::kMessage,
        Tr("History", "No turns to chart: open a game (Open Game ...) or record a turn first"));
    return;
  }
  v_.host().boards.ShowTrends(history_, true);
}

}  // namespace mw
