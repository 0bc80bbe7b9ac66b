// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace mw {

// Mouse modes of the main window.
enum MouseMode { ModeIdle = 0, ModePlace = 1, ModeCarry = 2, ModeDelete = 3, ModeLabel = 100 };

// Editing state of the mouse.
struct EditingState {
  MouseMode mouseMode = ModeIdle;
  int selectedPiece = 0;
  int selectedRow = 0;
  int floatX = 0;
  int floatY = 0;
};

}  // namespace mw
