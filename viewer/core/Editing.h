// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QtGlobal>
#include <bitset>
#include <optional>
#include <string>

#include "EditingState.h"
#include "FloatingPiece.h"
#include "Host.h"
#include "Keys.h"
#include "MapLayers.h"
#include "Startup.h"

namespace mw {

class Viewer;

// What the status bar tells a newcomer on a map's start position.
inline constexpr const char* kFirstHint = QT_TRANSLATE_NOOP(
    "Editing",
    "Pick a piece in the ToolBar, then click the map to place it; drag stacks to move them");

// The editing of the board by mouse and keyboard: the mouse modes, placing, carrying, removing
// and moving label points, the palette, the keys that switch modes, the keyboard's crosshair, and
// what the status bar says of the mode and of the point under the mouse.
class Editing {
 public:
  Editing(Viewer& viewer, const MapViewSource& shown, const UnitLayer& units)
      : v_(viewer), floatingPiece_(shown, state_, units) {}

  const EditingState& state() const { return state_; }
  // What is drawn over the map for the editing: the piece that floats with the mouse, and the
  // keyboard's crosshair.
  FloatingPiece& floatingPiece() { return floatingPiece_; }
  Crosshair& crosshairOverlay() { return crosshair_; }
  CursorKind cursor() const;

  void MousePress(MouseButton button, QPoint client, unsigned modifiers);
  void MouseRelease(MouseButton button, QPoint client);
  void MouseMove(QPoint client);
  // The keys act on release, S and the main keyboard's + and - only when their press came with
  // neither Ctrl nor Alt, so that the release of a shortcut's key (Ctrl let go first) does
  // nothing. The arrows, PageDown, PageUp, Enter and Delete play the board on their press.
  void KeyPress(Key key, unsigned modifiers);
  void KeyRelease(Key key, unsigned modifiers);
  void Wheel(QPoint client, QPoint pixels, bool zoom);

  // The piece palette: a click on a cell, and Escape released there.
  void PaletteClick(QPoint client);
  void PaletteEscape();
  // What the palette cell under a point holds, in words: "Inf, value 3, land; country 2", or
  // "...; Sarnesh (country 2)" where the map names the country; empty outside the cells.
  std::string PaletteCellText(QPoint client) const;

  // "&DEL", "ESC", "&UNDO" and "&REDO".
  void EnterDeleteMode();
  void CancelCarry();
  void Undo();
  void Redo();
  // Ends carrying before the board is saved: the pieces in the hand go back to their unit.
  void EndCarry();

  // Where Enter and Delete act, in map pixels, once the keyboard moved the crosshair.
  const std::optional<QPoint>& crosshair() const { return crosshair_.at(); }
  // Puts the crosshair on a map point (a sector found) and says what is there.
  void PlaceCrosshair(QPoint map);
  // What the status bar says of the crosshair, in one line for a screen reader: the mode, then
  // the sector and stack under it ("Placing Tank of Sarnesh – North: Sarnesh, 4 IPC"); empty
  // before the first arrow key.
  std::string CrosshairText() const;
  // A new map: the point under the mouse is said again at its next move.
  void ForgetPointer();
  // The board changed: what the status bar says of the point under the pointer or the
  // crosshair is said again.
  void BoardChanged();

  // The first hint in the status bar while the board is a map's start and nothing was picked;
  // it goes with the first pick or change.
  void OfferHint();
  void UpdateHint();

 private:
  void SetMode(MouseMode mode);
  std::string ModeText() const;
  void ShowPointer(QPoint map);
  std::string PointerText(QPoint map) const;
  void ReturnCarriedPieces();
  void InvalidateFloatingPiece(bool moving);
  void ExportCommand();
  void LeftPress(QPoint map, unsigned modifiers);
  // The keyboard board; true when the key was one of it.
  bool KeyboardBoard(Key key, unsigned modifiers);
  bool ActOnBoardKey(Key key, unsigned modifiers);
  void MoveCrosshair(QPoint by);
  void StepPalette(int kinds, int countries);
  QPoint CrosshairClient() const;

  Viewer& v_;
  EditingState state_;
  FloatingPiece floatingPiece_;
  Crosshair crosshair_;
  std::string pointerText_;
  std::optional<QPoint> pointer_;        // where the mouse last was over the map, in client pixels
  std::bitset<kKeyCount> plainPresses_;  // keys pressed without Ctrl or Alt, not yet released
  bool hintShown_ = false;
};

}  // namespace mw
