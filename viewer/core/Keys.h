#pragma once

#include <array>
#include <cstddef>

#include "CommandIds.h"
#include "Modifiers.h"

namespace mw {

// The keys the viewer knows: those that act on release in the main window (D, E, S, Esc, the
// zoom keys) and those of its shortcuts. The main keyboard's + is also its = key.
enum class Key {
  kD,
  kE,
  kS,
  kEscape,
  kKeypadPlus,
  kKeypadMinus,
  kPlus,
  kMinus,
  kO,
  kY,
  kZ,
  k0,
  kT,
  kLeft,
  kRight,
  kF5,
  // The keyboard board: the crosshair, the palette and the buttons.
  kUp,
  kDown,
  kPageUp,
  kPageDown,
  kEnter,
  kDelete,
  kOther
};
inline constexpr size_t kKeyCount = static_cast<size_t>(Key::kOther) + 1;

inline bool RepeatsWhileHeld(Key key) {
  return key == Key::kLeft || key == Key::kRight || key == Key::kUp || key == Key::kDown ||
         key == Key::kPageUp || key == Key::kPageDown;
}

// A key with modifiers that runs a command when pressed, wherever the program has the focus.
struct Shortcut {
  Key key;
  unsigned modifiers;
  int command;
};

// The keys of every desktop program, on the commands that do those things. The window binds them
// to its menu's actions; a replay runs them as the window does.
inline constexpr std::array<Shortcut, 13> kShortcuts{{
    {Key::kO, kCtrl, command::kOpen},
    {Key::kS, kCtrl, command::kSave},
    {Key::kS, kCtrl | kShift, command::kSaveAs},
    {Key::kZ, kCtrl, command::kUndo},
    {Key::kY, kCtrl, command::kRedo},
    {Key::kZ, kCtrl | kShift, command::kRedo},
    {Key::kPlus, kCtrl, command::kZoomIn},
    {Key::kMinus, kCtrl, command::kZoomOut},
    {Key::k0, kCtrl, command::kActualSize},
    {Key::kT, kCtrl, command::kRecordTurn},
    {Key::kLeft, kAlt, command::kPreviousTurn},
    {Key::kRight, kAlt, command::kNextTurn},
    {Key::kF5, kNoModifiers, command::kReloadMap},
}};

// The command a key pressed with these modifiers runs, or 0.
constexpr int ShortcutCommand(Key key, unsigned modifiers) {
  for (const Shortcut& s : kShortcuts)
    if (s.key == key && s.modifiers == (modifiers & (kShift | kCtrl | kAlt))) return s.command;
  return 0;
}

}  // namespace mw
