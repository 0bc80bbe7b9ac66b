// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse editing of the main window: modes, placing, carrying, removing, label points, and the
// keys that switch modes.
#include <QFontMetrics>

#include "BoardWords.h"
#include "Editing.h"
#include "PackagePaths.h"
#include "PackageText.h"
#include "Texts.h"
#include "Viewer.h"

namespace mw {

void Editing::SetMode(MouseMode mode) {
  // The floating piece shows in two modes: it comes or goes with them.
  const auto floats = [](MouseMode m) { return m == ModePlace || m == ModeCarry; };
  if (floats(state_.mouseMode) || floats(mode)) InvalidateFloatingPiece(true);
  state_.mouseMode = mode;
  v_.host().surface.SetCursor(cursor());
  v_.host().surface.ShowStatus(StatusField::kMode, ModeText());
  UpdateHint();
}

void Editing::ShowPointer(QPoint m) {
  std::string text = PointerText(m);
  if (text == pointerText_) return;
  pointerText_ = text;
  v_.host().surface.ShowStatus(StatusField::kPointer, text);
}

std::string Editing::ModeText() const { return ModeInWords(v_.board().position(), state_); }

std::string Editing::PointerText(QPoint m) const {
  return PointInWords(v_.board().position(), v_.board().Incomes(), m);
}

std::string Editing::PaletteCellText(QPoint client) const {
  return PaletteCellInWords(v_.board().position(), v_.map(), client);
}

// Leaving a carry any other way than by a drop puts the carried pieces back where they came
// from, so that no piece is ever lost in the hand.
void Editing::ReturnCarriedPieces() { v_.board().position().CancelCarry(); }

// The area of the floating piece: while it moves, the piece and the carried count beside it;
// when a mode ends, the piece with a pixel around it and a little room on its right.
void Editing::InvalidateFloatingPiece(bool moving) {
  constexpr int kMovingRoom = 20, kEndingRoom = 15;
  const EditingState& e = state_;
  const PieceLook look = v_.view().units().Look(v_.view().geometry());
  const int hw = look.halfWidth, hh = look.halfHeight;
  const int movingRoom = static_cast<int>(kMovingRoom * look.scale),
            endingRoom = static_cast<int>(kEndingRoom * look.scale);
  QRect r = moving ? FromEdges(e.floatX - hw, e.floatY - hh, e.floatX + hw + movingRoom,
                               e.floatY + hh + 1)
                   : FromEdges(e.floatX - hw - 1, e.floatY - hh - 1, e.floatX + hw + endingRoom,
                               e.floatY + hh + 1);
  if (look.halo && v_.board().position().carrying() &&
      v_.board().position().hand().carried.count > 1) {
    const QPoint count(e.floatX + hw + 2, e.floatY - look.countRise);
    r |= v_.view().units().CountBox(look, count, v_.board().position().hand().carried.count);
  }
  // A carried count of three digits and more reaches past that room.
  if (v_.board().position().carrying() && v_.board().position().hand().carried.count > 1) {
    const Unit& c = v_.board().position().hand().carried;
    const QFontMetrics m(v_.startup().fonts.labelFont);
    const QString text =
        QString::fromLatin1(c.labelText().data(), static_cast<int>(c.labelText().size()));
    r |= QRect(QPoint(e.floatX + hw + 2, e.floatY - 6),
               QSize(m.horizontalAdvance(text) + 1, m.height()));
  }
  v_.host().surface.InvalidateMap(r);
}

void Editing::EnterDeleteMode() {
  InvalidateFloatingPiece(false);
  ReturnCarriedPieces();
  SetMode(ModeDelete);
}

void Editing::CancelCarry() {
  ReturnCarriedPieces();
  InvalidateFloatingPiece(false);
  SetMode(ModeIdle);
  v_.view().FitWindowToMap();
}

void Editing::EndCarry() {
  if (state_.mouseMode == ModeCarry) SetMode(ModeIdle);
}

void Editing::Undo() {
  // An undo puts pieces in the hand back first, so that it finds their unit whole.
  if (state_.mouseMode == ModeCarry) SetMode(ModeIdle);
  Position& position = v_.board().position();
  if (position.undoDepth() == 0) return;
  const UndoEntry edit = position.undoEntry(0);
  const size_t redoable = position.redoDepth();
  position.UndoLast();
  // An edit whose stacks are all gone changed nothing, and says so.
  v_.host().surface.ShowStatus(
      StatusField::kMessage,
      position.redoDepth() > redoable
          ? Tr("Editing", "Undone: %1").arg(EditInWords(position, edit))
          : Tr("Editing", "Nothing left to undo of: %1").arg(EditInWords(position, edit)));
}

void Editing::Redo() {
  if (state_.mouseMode == ModeCarry) SetMode(ModeIdle);
  Position& position = v_.board().position();
  if (position.redoDepth() == 0) return;
  position.RedoLast();
  v_.host().surface.ShowStatus(
      StatusField::kMessage,
      Tr("Editing", "Redone: %1").arg(EditInWords(position, position.undoEntry(0))));
}

void Editing::BoardChanged() {
  // What the status bar says of the point under the pointer or the crosshair follows the board
  // at once, not at the next move of the mouse.
  if (pointer_) ShowPointer(v_.view().ClientToMap(*pointer_));
  if (crosshair_.at()) v_.host().surface.DescribeCrosshair(CrosshairText());
}

void Editing::LeftPress(QPoint m, unsigned modifiers) {
  switch (state_.mouseMode) {
    case ModeIdle:
      if (v_.board().position().PickUp(m.x(), m.y(), modifiers)) SetMode(ModeCarry);
      break;
    case ModePlace:
      v_.board().position().PlacePiece(m.x(), m.y(), static_cast<uint8_t>(state_.selectedPiece),
                                       static_cast<uint8_t>(state_.selectedRow + 1), modifiers);
      break;
    case ModeDelete:
      v_.board().position().RemoveAt(m.x(), m.y(), modifiers);
      break;
    case ModeLabel:
      v_.board().position().SetLabelPosition(m.x(), m.y());
      break;
    default:
      break;
  }
}

void Editing::MousePress(MouseButton button, QPoint client, unsigned modifiers) {
  const QPoint m = v_.view().ClientToMap(client);
  switch (button) {
    case MouseButton::kLeft:
      return LeftPress(m, modifiers);
    case MouseButton::kMiddle:
      v_.board().position().RemoveAt(m.x(), m.y(), modifiers);
      return;
    case MouseButton::kRight:
      return v_.view().BeginScrollDrag(client);
  }
}

void Editing::MouseRelease(MouseButton button, QPoint client) {
  if (button == MouseButton::kRight) return v_.view().EndScrollDrag();
  if (button != MouseButton::kLeft || state_.mouseMode != ModeCarry) return;
  const QPoint m = v_.view().ClientToMap(client);
  SetMode(ModeIdle);
  v_.board().position().Drop(m.x(), m.y());
}

void Editing::MouseMove(QPoint client) {
  pointer_ = client;
  v_.view().UpdateHoverTitle(client);
  ShowPointer(v_.view().ClientToMap(client));
  if (state_.mouseMode == ModePlace || state_.mouseMode == ModeCarry) {
    InvalidateFloatingPiece(true);
    state_.floatX = client.x();
    state_.floatY = client.y();
    InvalidateFloatingPiece(true);
  }
  v_.view().DragScroll(client);
}

void Editing::KeyPress(Key key, unsigned modifiers) {
  plainPresses_[static_cast<size_t>(key)] = (modifiers & (kCtrl | kAlt)) == 0;
  KeyboardBoard(key, modifiers);
}

void Editing::KeyRelease(Key key, unsigned) {
  const bool plain = plainPresses_[static_cast<size_t>(key)];
  plainPresses_[static_cast<size_t>(key)] = false;
  switch (key) {
    case Key::kD:
      return EnterDeleteMode();
    case Key::kE:
      ReturnCarriedPieces();
      return SetMode(ModeLabel);
    case Key::kEscape:
      return CancelCarry();
    case Key::kS:
      // Ctrl+S saves; its S, let go after Ctrl, never writes into the map package.
      if (plain) ExportCommand();
      return;
    case Key::kKeypadPlus:
      v_.view().ZoomIn();
      return;
    case Key::kKeypadMinus:
      v_.view().ZoomOut();
      return;
    case Key::kPlus:
      if (plain) v_.view().ZoomIn();
      return;
    case Key::kMinus:
      if (plain) v_.view().ZoomOut();
      return;
    default:
      return;
  }
}

void Editing::ExportCommand() {
  const std::filesystem::path folder = v_.board().PackageFolder(v_.map().packageName);
  const std::string file(package_file::kSectorTableExport);
  // A package installed for everyone is not the user's to change: the table goes into the
  // user's own folder, and the message says where.
  auto exported = v_.board().ExportSectorTable();
  if (!exported) {
    qWarning("%s", exported.error().c_str());
    v_.board().ReportFailure(
        {Failure::Action::kExport, (folder / file).string(), exported.error()});
    return;
  }
  const bool beside = exported->parent_path() == folder;
  v_.host().surface.ShowStatus(
      StatusField::kMessage,
      beside ? Tr("Editing", "Wrote %1 into %2").arg(file).arg(folder.filename().string()).str()
             : Tr("Editing", "Wrote %1 into %2: the map is installed for everyone")
                   .arg(file)
                   .arg(exported->parent_path().string())
                   .str());
}

void Editing::Wheel(QPoint client, QPoint pixels, bool zoom) {
  if (!zoom) return v_.view().ScrollBy(-pixels.x(), -pixels.y());
  if (pixels.y() != 0) v_.view().ZoomAt(pixels.y() > 0, client);
}

void Editing::PaletteClick(QPoint client) {
  ReturnCarriedPieces();
  state_.selectedPiece = client.x() / v_.map().pieceCellWidth;
  state_.selectedRow = client.y() / v_.map().pieceCellHeight;
  SetMode(ModePlace);
}

void Editing::PaletteEscape() {
  ReturnCarriedPieces();
  SetMode(ModeIdle);
}

}  // namespace mw
