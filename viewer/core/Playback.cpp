// SPDX-License-Identifier: GPL-3.0-or-later
// The moves of a turn played back on the map, one by one.
#include "Playback.h"

#include <QPainter>
#include <QtMath>
#include <algorithm>

#include "PositionFile.h"
#include "Reports.h"
#include "Texts.h"
#include "ViewGeometry.h"
#include "Viewer.h"

namespace mw {
namespace {

QPoint From(const UndoEntry& m) { return {m.fromX, m.fromY}; }
QPoint To(const UndoEntry& m) { return {m.toX, m.toY}; }

// Commands that neither change the board nor put another one on the screen: they run as ever
// while moves are replayed.
bool LooksOnly(int id) {
  namespace c = command;
  switch (id) {
    case c::kAbout:
    case c::kToolBar:
    case c::kInfoView:
    case c::kIpcValues:
    case c::kNames:
    case c::kListUnits:
    case c::kUseBigPieces:
    case c::kZoomIn:
    case c::kZoomOut:
    case c::kActualSize:
    case c::kCompareWith:
    case c::kCompareWithSaved:
    case c::kHistory:
    case c::kTrends:
    case c::kCheckMap:
    case c::kShowSectors:
    case c::kGrabToScroll:
    case c::kPiecesFollowZoom:
    case c::kFindSector:
    case c::kLanguageDesktop:
    case c::kLanguageEnglish:
    case c::kLanguageGerman:
    case c::kRemoveMissingRecent:
    case c::kReplayMoves:
    case c::kPreviousMove:
    case c::kNextMove:
      return true;
    default:
      return false;
  }
}

}  // namespace

QRect MoveArrow::Area(const ViewGeometry& view) const {
  if (!move_) return {};
  const QPoint a = view.MapToClient(move_->kind == UndoKind::kAdd ? To(*move_) : From(*move_));
  const QPoint b = view.MapToClient(move_->kind == UndoKind::kRemove ? From(*move_) : To(*move_));
  constexpr int kMargin = kRadius + 4;
  return QRect(a, b).normalized().adjusted(-kMargin, -kMargin, kMargin + 1, kMargin + 1);
}

void MoveArrow::Paint(QPainter& painter, const ViewGeometry& view) const {
  if (!move_) return;
  const UndoEntry& m = *move_;
  const QPointF from = view.MapToClient(From(m)), to = view.MapToClient(To(m));
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setBrush(Qt::NoBrush);
  // A light outline under the line reads on every colour of the map.
  for (const auto& [colour, width] :
       {std::pair{QColor(255, 255, 255), 5.0}, std::pair{QColor::fromRgb(kColour), 2.5}}) {
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (m.kind == UndoKind::kRemove) {
      // The stack taken from, crossed out.
      painter.drawEllipse(from, kRadius, kRadius);
      const qreal d = kRadius * 0.7;
      painter.drawLine(from + QPointF(-d, -d), from + QPointF(d, d));
      painter.drawLine(from + QPointF(-d, d), from + QPointF(d, -d));
      continue;
    }
    painter.drawEllipse(to, kRadius, kRadius);
    const QPointF along = to - from;
    const qreal length = std::hypot(along.x(), along.y());
    if (m.kind != UndoKind::kMove || length <= kRadius) continue;
    // From the stack left to the ring round the stack made, the head at the ring.
    const QPointF unit = along / length;
    const QPointF tip = to - unit * kRadius;
    painter.drawLine(from, tip);
    const qreal angle = std::atan2(unit.y(), unit.x());
    for (const qreal side : {-0.45, 0.45}) {
      const QPointF back(std::cos(angle + side), std::sin(angle + side));
      painter.drawLine(tip, tip - back * 9.0);
    }
  }
  painter.restore();
}

void Playback::Start() {
  if (active()) return GoTo(0);
  if (Begin(v_.board().document().origin.turn)) Show(0);
}

void Playback::Step(int direction) {
  if (!active()) {
    if (!Begin(v_.board().document().origin.turn)) return;
    // The board was the turn as recorded: the last step of the replay, not yet shown as one.
    step_ = moves_.size();
    return Show(direction > 0 ? 1 : moves_.size() - 1);
  }
  // At either end the board stays; what it shows is said again.
  if ((direction < 0 && step_ == 0) || (direction > 0 && step_ == moves_.size())) return Say();
  StopPlaying();
  GoTo(direction > 0 ? step_ + 1 : step_ - 1);
}

void Playback::GoTo(size_t step) {
  if (!active()) return;
  Show(std::min(step, moves_.size()));
}

bool Playback::Begin(int64_t turn) {
  Surface& surface = v_.host().surface;
  const GameFile* game = v_.games().game();
  if (!game || turn == 0) {
    surface.ShowStatus(StatusField::kMessage,
                       Tr("Playback", "Open a game and choose a turn to replay its moves"));
    return false;
  }
  v_.editing().EndCarry();
  // The board becomes the turn as recorded, after the question about unsaved changes.
  if (!v_.games().GoToTurn(turn)) return false;
  game = v_.games().game();
  const auto fail = [&](const std::string& reason) {
    v_.board().ReportFailure({Failure::Action::kLoadTurn, game->path().string(), reason});
    return false;
  };
  auto found = game->FindTurn(turn);
  auto moves = game->MovesOf(turn);
  if (!found || !*found)
    return fail(found ? Tr("Playback", "the game has no turn %1").arg(turn) : found.error());
  if (!moves) return fail(moves.error());
  if (!*moves || !(*found)->parent) {
    surface.ShowStatus(
        StatusField::kMessage,
        Tr("Playback", "Turn %1 was recorded without its moves: there are none to replay")
            .arg(turn));
    return false;
  }
  if ((*moves)->empty()) {
    surface.ShowStatus(StatusField::kMessage,
                       Tr("Playback", "Turn %1 has no moves: its position is that of turn %2")
                           .arg(turn)
                           .arg(*(*found)->parent));
    return false;
  }
  auto base = game->PositionOf(*(*found)->parent);
  auto recorded = game->PositionOf(turn);
  if (!base) return fail(base.error());
  if (!recorded) return fail(recorded.error());
  turn_ = turn;
  parent_ = *(*found)->parent;
  moves_ = std::move(**moves);
  base_ = std::move(*base);
  recorded_ = std::move(*recorded);
  step_ = 0;
  broken_.reset();
  return true;
}

void Playback::Show(size_t step) {
  Position& position = v_.board().position();
  if (step == step_ + 1 && !broken_) {
    if (position.ApplyMove(moves_[step_]))
      step_ = step;
    else
      broken_ = step_;
  } else {
    v_.board().ShowUnits(base_);
    broken_.reset();
    for (step_ = 0; step_ < step; ++step_)
      if (!position.ApplyMove(moves_[step_])) {
        broken_ = step_;
        break;
      }
  }
  // The board is the game's, not the player's work: nothing to save or keep.
  position.MarkClean();
  arrow_.Show(step_ > 0 ? std::optional(moves_[step_ - 1]) : std::nullopt);
  // The move in view where it is not.
  if (step_ > 0) {
    const MapView& view = v_.view();
    const QRect client(QPoint(0, 0), v_.host().frame.ClientSize());
    const UndoEntry& m = moves_[step_ - 1];
    const QPoint at = m.kind == UndoKind::kRemove ? From(m) : To(m);
    const QRect area = arrow_.Area(view.geometry());
    if (!client.isEmpty() && !client.contains(area)) v_.view().CenterOn(at);
  }
  v_.host().surface.InvalidateMap(QRect());
  if (broken_ || step_ == moves_.size()) StopPlaying();
  Say();
  Publish();
}

void Playback::Say() {
  const Position& position = v_.board().position();
  std::string text;
  if (broken_) {
    text = Tr("Playback",
              "Move %1 of turn %2 cannot be made on this board (%3): the moves do not lead to the "
              "turn as recorded")
               .arg(*broken_ + 1)
               .arg(turn_)
               .arg(MoveInWords(position, moves_[*broken_]));
  } else if (step_ == 0) {
    text = Tr("Playback",
              "Turn %1, before the %2 moves of turn %3: Ctrl+Alt+Right the next move, Space "
              "plays, Esc leaves")
               .arg(parent_)
               .arg(moves_.size())
               .arg(turn_);
  } else {
    text = Tr("Playback", "Move %1 of %2 of turn %3: %4")
               .arg(step_)
               .arg(moves_.size())
               .arg(turn_)
               .arg(MoveInWords(position, moves_[step_ - 1]));
    if (step_ == moves_.size())
      text += EncodePosition(position, false) == recorded_
                  ? Tr("Playback", " (the board is turn %1 as recorded)").arg(turn_).str()
                  : Tr("Playback",
                       " (but the board differs from turn %1 as recorded: the moves do not lead "
                       "to it)")
                        .arg(turn_)
                        .str();
  }
  v_.host().surface.ShowStatus(StatusField::kMessage, text);
}

void Playback::Publish() { v_.games().turns().Publish(); }

void Playback::TogglePlay() {
  if (!active()) return;
  if (playing_) {
    StopPlaying();
    Say();
    return Publish();
  }
  if (step_ == moves_.size() || broken_) Show(0);
  playing_ = true;
  v_.host().boards.PlayMoves(pace_);
  Publish();
}

void Playback::SetPace(int milliseconds) {
  pace_ = std::clamp(milliseconds, 100, 10000);
  if (playing_) v_.host().boards.PlayMoves(pace_);
}

void Playback::Tick() {
  if (!active()) return StopPlaying();
  if (!playing_ || step_ >= moves_.size() || broken_) {
    StopPlaying();
    Say();
    return Publish();
  }
  Show(step_ + 1);
}

void Playback::StopPlaying() {
  if (!playing_) return;
  playing_ = false;
  v_.host().boards.PlayMoves(0);
}

void Playback::EndState() {
  StopPlaying();
  turn_ = 0;
  moves_.clear();
  base_.clear();
  step_ = 0;
  broken_.reset();
  if (arrow_.move()) {
    arrow_.Show(std::nullopt);
    v_.host().surface.InvalidateMap(QRect());
  }
}

void Playback::Leave() {
  if (!active()) return;
  const int64_t turn = turn_;
  const std::vector<uint8_t> recorded = std::move(recorded_);
  EndState();
  v_.board().ShowUnits(recorded);
  v_.host().surface.ShowStatus(StatusField::kMessage,
                               Tr("Playback", "Turn %1 as recorded").arg(turn));
  Publish();
}

void Playback::Forget() {
  if (!active()) return;
  EndState();
  recorded_.clear();
}

bool Playback::Intercept(int command) {
  if (!active() || LooksOnly(command)) return false;
  if (command == command::kUndo || command == command::kRedo || command == command::kDel)
    return RefuseEdit();
  Leave();
  // "ESC" leaves the replay and does nothing more.
  return command == command::kEsc;
}

bool Playback::RefuseEdit() {
  if (!active()) return false;
  v_.host().surface.ShowStatus(
      StatusField::kMessage,
      Tr("Playback",
         "The board shows the moves of turn %1 replayed and cannot be changed: Esc leaves")
          .arg(turn_));
  return true;
}

}  // namespace mw
