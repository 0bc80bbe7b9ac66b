// SPDX-License-Identifier: GPL-3.0-or-later
// The board from the keyboard: a crosshair the arrows move, the palette stepped through with
// PageDown and PageUp, and Enter and Delete as the mouse buttons at the crosshair, so that a
// whole game can be set up and played without a mouse.
#include "Editing.h"
#include "Texts.h"
#include "Viewer.h"

namespace mw {

bool Editing::KeyboardBoard(Key key, unsigned modifiers) {
  if (modifiers & kAlt) return false;  // Alt+Left and Alt+Right step through the turns
  if (!ActOnBoardKey(key, modifiers)) return false;
  v_.host().surface.DescribeCrosshair(CrosshairText());
  return true;
}

std::string Editing::CrosshairText() const {
  if (!crosshair_.at()) return {};
  const std::string mode = ModeText(), under = PointerText(*crosshair_.at());
  return mode + (mode.empty() || under.empty() ? "" : " \u2013 ") + under;
}

bool Editing::ActOnBoardKey(Key key, unsigned modifiers) {
  const int step = modifiers & kShift ? 1 : 10;
  switch (key) {
    case Key::kLeft:
      MoveCrosshair(QPoint(-step, 0));
      return true;
    case Key::kRight:
      MoveCrosshair(QPoint(step, 0));
      return true;
    case Key::kUp:
      MoveCrosshair(QPoint(0, -step));
      return true;
    case Key::kDown:
      MoveCrosshair(QPoint(0, step));
      return true;
    case Key::kPageDown:
    case Key::kPageUp: {
      const int direction = key == Key::kPageDown ? 1 : -1;
      if (modifiers & kCtrl)
        StepPalette(0, direction);
      else
        StepPalette(direction, 0);
      return true;
    }
    case Key::kEnter: {
      MoveCrosshair(QPoint());
      const QPoint client = CrosshairClient();
      // A pick-up by Enter waits for the next Enter to drop what it carries.
      if (state_.mouseMode == ModeCarry) {
        MouseRelease(MouseButton::kLeft, client);
        return true;
      }
      MousePress(MouseButton::kLeft, client, modifiers & (kShift | kCtrl));
      if (state_.mouseMode != ModeCarry) MouseRelease(MouseButton::kLeft, client);
      return true;
    }
    case Key::kDelete: {
      MoveCrosshair(QPoint());
      const QPoint client = CrosshairClient();
      MousePress(MouseButton::kMiddle, client, modifiers & (kShift | kCtrl));
      MouseRelease(MouseButton::kMiddle, client);
      return true;
    }
    default:
      return false;
  }
}

// Moves the crosshair within the picture (placing it first in the middle of the map area) and
// keeps it in sight; what the mouse would show there follows it.
void Editing::MoveCrosshair(QPoint by) {
  const ViewState& s = v_.view().state();
  if (s.pictureWidth <= 0 || s.pictureHeight <= 0) return;
  // The map area as it is now: the view learns its size only as it scrolls or resizes.
  const QSize area = v_.host().frame.ClientSize();
  std::optional<QPoint> at = crosshair_.at();
  if (at) v_.host().surface.InvalidateMap(Crosshair::Around(v_.view().MapToClient(*at)));
  if (!at) at = v_.view().ClientToMap(QPoint(area.width() / 2, area.height() / 2));
  const QPoint to(std::clamp(at->x() + by.x(), 0, s.pictureWidth - 1),
                  std::clamp(at->y() + by.y(), 0, s.pictureHeight - 1));
  crosshair_.Place(to);
  QPoint client = v_.view().MapToClient(to);
  constexpr int kMargin = 24;
  const QRect inside = QRect(QPoint(0, 0), area).adjusted(kMargin, kMargin, -kMargin, -kMargin);
  if (!inside.contains(client)) {
    v_.view().CenterOn(to);
    client = v_.view().MapToClient(to);
    v_.host().surface.InvalidateMap(QRect());
  }
  v_.host().surface.InvalidateMap(Crosshair::Around(client));
  MouseMove(client);
}

// PageDown and PageUp: the next or previous piece kind (the first press takes the first kind of
// country 1); with Ctrl the next or previous country. Both wrap around the palette.
void Editing::StepPalette(int kinds, int countries) {
  const QImage& pieces = v_.map().piecesPicture;
  if (pieces.isNull()) return;
  const int columns = std::max(1, pieces.width() / v_.map().pieceCellWidth);
  const int rows = std::max(1, pieces.height() / v_.map().pieceCellHeight);
  int kind = 0, row = 0;
  if (state_.mouseMode == ModePlace) {
    kind = (state_.selectedPiece + kinds + columns) % columns;
    row = (state_.selectedRow + countries + rows) % rows;
  }
  PaletteClick(QPoint(kind * v_.map().pieceCellWidth, row * v_.map().pieceCellHeight));
  if (crosshair_.at()) MouseMove(CrosshairClient());
}

QPoint Editing::CrosshairClient() const { return v_.view().MapToClient(*crosshair_.at()); }

void Editing::PlaceCrosshair(QPoint map) {
  crosshair_.Place(map);
  v_.host().surface.DescribeCrosshair(CrosshairText());
}

CursorKind Editing::cursor() const {
  return state_.mouseMode == ModeDelete ? CursorKind::kCross : CursorKind::kArrow;
}

void Editing::ForgetPointer() {
  pointerText_.clear();
  pointer_.reset();
  v_.host().surface.ShowStatus(StatusField::kPointer, {});
}

void Editing::OfferHint() {
  const Board& board = v_.board();
  if (!v_.desk().keepsPreferences() || board.document().origin.kind != BoardOrigin::Kind::kStart ||
      board.position().dirty() || state_.mouseMode != ModeIdle)
    return;
  hintShown_ = true;
  v_.host().surface.ShowStatus(StatusField::kMessage, Tr("Editing", kFirstHint));
}

void Editing::UpdateHint() {
  if (!hintShown_) return;
  const Board& board = v_.board();
  // A file or a game opened, or a file saved, has said so in the same place.
  if (!board.document().currentFile.empty() ||
      board.document().origin.kind != BoardOrigin::Kind::kStart) {
    hintShown_ = false;
  } else if (board.position().dirty() || state_.mouseMode != ModeIdle) {
    hintShown_ = false;
    v_.host().surface.ShowStatus(StatusField::kMessage, {});
  }
}

}  // namespace mw
