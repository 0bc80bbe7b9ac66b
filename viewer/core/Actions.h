// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <span>
#include <string>

#include "Keys.h"

namespace mw {

// Where an item of the menus stands.
enum class MenuPlace { kNone, kFile, kWindows, kView, kLanguage, kMenuBar };

// One thing the user does from the menus or the keyboard, with what it is called and how it is
// reached: the one table that the menus, the shortcuts, the replay's key names, --help and the key
// page (docs/KEYS.md) are made from.
struct Action {
  enum class Kind {
    kItem,       // a menu item (or, without a menu, a command reached by its keys alone)
    kSeparator,  // a line between items
    kRecent,     // the "&Recent" submenu
    kSubmenu,    // a submenu whose items stand at `submenu`
    kKeys,       // keys the map acts on itself, named by `text`
    kMouse,      // a use of the mouse, named by `text`
  };
  Kind kind = Kind::kItem;
  MenuPlace menu = MenuPlace::kNone;
  int command = 0;
  const char* text = nullptr;  // the menu text with its access letter, or the keys' or mouse's
  bool checkable = false;
  std::array<Chord, 2> chords{};  // the shortcuts of an item
  const char* help = nullptr;     // what it does, in a line
  MenuPlace submenu = MenuPlace::kNone;
};

// The title of a menu of the menu bar or of a submenu, with its access letter ("&File"); empty for
// none.
const char* MenuText(MenuPlace menu);

// Every action, the items of each menu in their order.
std::span<const Action> Actions();
// The action of a command, or none.
const Action* ActionOf(int command);

// A menu text without its access letter's mark: "&Open" is "Open", "&&" is "&".
std::string PlainMenuText(const char* text);
// "Ctrl+Shift+S", "Alt+Left", "F5".
std::string ChordText(const Chord& chord);
// The keys a replay script names, as --help lists them: "D, E, S, Escape, ...".
std::string ReplayKeyList();
// The key page, docs/KEYS.md: every key and mouse use, then every menu with its items.
std::string KeysPage();

}  // namespace mw
