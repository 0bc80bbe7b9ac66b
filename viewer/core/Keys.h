// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "CommandIds.h"
#include "Modifiers.h"

namespace mw {

// The keys the viewer knows: those that act on release in the main window (D, E, S, Esc, the
// zoom keys), those of its shortcuts and those of the keyboard board. The main keyboard's + is
// also its = key.
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
  kF,
  kQ,
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
  // Plays and pauses the moves of a turn replayed.
  kSpace,
  kOther
};
inline constexpr size_t kKeyCount = static_cast<size_t>(Key::kOther) + 1;

// A key of the window system as the viewer knows it: the name a replay script gives it (its X
// key symbol), the name the key page gives it, and the key codes of the window system (Qt's)
// that are this key, on the main keyboard, on the keypad, or on either.
struct KeyName {
  enum class Pad { kMain, kKeypad, kEither };
  Key key;
  std::string_view replay;
  std::string_view shown;
  int code;
  Pad pad = Pad::kMain;
};
extern const std::array<KeyName, 27> kKeyNames;

// The key a replay script names, or none.
std::optional<Key> KeyOfReplayName(std::string_view name);
// "Esc", "PageDown", "+": the key as the key page and --help name it.
std::string_view ShownKeyName(Key key);

inline bool RepeatsWhileHeld(Key key) {
  return key == Key::kLeft || key == Key::kRight || key == Key::kUp || key == Key::kDown ||
         key == Key::kPageUp || key == Key::kPageDown;
}

// A key with the modifiers held with it.
struct Chord {
  Key key = Key::kOther;
  unsigned modifiers = kNoModifiers;
  bool empty() const { return key == Key::kOther; }
};

// The command a key pressed with these modifiers runs wherever the program has the focus (a
// shortcut of the table of actions), or 0.
int ShortcutCommand(Key key, unsigned modifiers);

}  // namespace mw
