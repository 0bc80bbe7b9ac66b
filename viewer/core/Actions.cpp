// SPDX-License-Identifier: GPL-3.0-or-later
#include "Actions.h"

#include <QtCore/qnamespace.h>

#include <QtGlobal>
#include <algorithm>

namespace mw {

const std::array<KeyName, 27> kKeyNames{{
    {Key::kD, "D", "D", Qt::Key_D},
    {Key::kE, "E", "E", Qt::Key_E},
    {Key::kS, "S", "S", Qt::Key_S},
    {Key::kEscape, "Escape", "Esc", Qt::Key_Escape, KeyName::Pad::kEither},
    {Key::kKeypadPlus, "KP_Add", "keypad +", Qt::Key_Plus, KeyName::Pad::kKeypad},
    {Key::kKeypadMinus, "KP_Subtract", "keypad \u2212", Qt::Key_Minus, KeyName::Pad::kKeypad},
    {Key::kPlus, "plus", "+", Qt::Key_Plus},
    {Key::kPlus, "equal", "+", Qt::Key_Equal},
    {Key::kMinus, "minus", "\u2212", Qt::Key_Minus},
    {Key::kO, "O", "O", Qt::Key_O},
    {Key::kY, "Y", "Y", Qt::Key_Y},
    {Key::kZ, "Z", "Z", Qt::Key_Z},
    {Key::k0, "0", "0", Qt::Key_0},
    {Key::kT, "T", "T", Qt::Key_T},
    {Key::kF, "F", "F", Qt::Key_F},
    {Key::kQ, "Q", "Q", Qt::Key_Q},
    {Key::kLeft, "Left", "Left", Qt::Key_Left, KeyName::Pad::kEither},
    {Key::kRight, "Right", "Right", Qt::Key_Right, KeyName::Pad::kEither},
    {Key::kF5, "F5", "F5", Qt::Key_F5},
    {Key::kUp, "Up", "Up", Qt::Key_Up, KeyName::Pad::kEither},
    {Key::kDown, "Down", "Down", Qt::Key_Down, KeyName::Pad::kEither},
    {Key::kPageUp, "Prior", "PageUp", Qt::Key_PageUp, KeyName::Pad::kEither},
    {Key::kPageDown, "Next", "PageDown", Qt::Key_PageDown, KeyName::Pad::kEither},
    {Key::kEnter, "Return", "Enter", Qt::Key_Return, KeyName::Pad::kEither},
    {Key::kEnter, "KP_Enter", "Enter", Qt::Key_Enter, KeyName::Pad::kEither},
    {Key::kDelete, "Delete", "Delete", Qt::Key_Delete, KeyName::Pad::kEither},
    {Key::kSpace, "space", "Space", Qt::Key_Space},
}};

namespace {

using K = Action::Kind;
using M = MenuPlace;
namespace c = command;

constexpr Chord Ctrl(Key key) { return {key, kCtrl}; }

// The menus in their order, the items of each in theirs; then what only keys and the mouse do.
const Action kTable[] = {
    {K::kItem,
     M::kFile,
     c::kOpen,
     QT_TRANSLATE_NOOP("Menu", "&Open"),
     false,
     {Ctrl(Key::kO)},
     "open a position file (.QPX, or .MAP of the default map), or a game file at its last turn"},
    {K::kItem,
     M::kFile,
     c::kSave,
     QT_TRANSLATE_NOOP("Menu", "&Save"),
     false,
     {Ctrl(Key::kS)},
     "save the board to its position file, asking for a name where it has none"},
    {K::kItem,
     M::kFile,
     c::kSaveAs,
     QT_TRANSLATE_NOOP("Menu", "S&ave as ..."),
     false,
     {{{Key::kS, kCtrl | kShift}}},
     "save the board under a name chosen"},
    {K::kSeparator, M::kFile},
    {K::kItem,
     M::kFile,
     c::kAbout,
     QT_TRANSLATE_NOOP("Menu", "&About ..."),
     false,
     {},
     "the program's name and version"},
    {K::kSeparator, M::kFile},
    {K::kItem,
     M::kFile,
     c::kCompareWith,
     QT_TRANSLATE_NOOP("Menu", "&Compare With ..."),
     false,
     {},
     "mark on the map and list what changed since another position of the map, or a game's turn"},
    {K::kItem,
     M::kFile,
     c::kCompareWithSaved,
     QT_TRANSLATE_NOOP("Menu", "Compare With Saved"),
     false,
     {},
     "the same since the board's position file was last saved"},
    {K::kSeparator, M::kFile},
    {K::kItem,
     M::kFile,
     c::kRecordTurn,
     QT_TRANSLATE_NOOP("Menu", "Record &Turn"),
     false,
     {Ctrl(Key::kT)},
     "record the board as the game's next turn"},
    {K::kItem,
     M::kFile,
     c::kOpenGame,
     QT_TRANSLATE_NOOP("Menu", "Open &Game ..."),
     false,
     {},
     "open a game file at its last turn, compared with the turn before it"},
    {K::kItem,
     M::kFile,
     c::kTakeTurns,
     QT_TRANSLATE_NOOP("Menu", "Ta&ke Turns From ..."),
     false,
     {},
     "take the new turns of another copy of the open game (the one the opponent sent back)"},
    {K::kItem,
     M::kFile,
     c::kPreviousTurn,
     QT_TRANSLATE_NOOP("Menu", "Previous Turn"),
     false,
     {{{Key::kLeft, kAlt}}},
     "the turn before the one on the board"},
    {K::kItem,
     M::kFile,
     c::kNextTurn,
     QT_TRANSLATE_NOOP("Menu", "Next Turn"),
     false,
     {{{Key::kRight, kAlt}}},
     "the turn after the one on the board"},
    {K::kItem,
     M::kFile,
     c::kReplayMoves,
     QT_TRANSLATE_NOOP("Menu", "Re&play Moves"),
     false,
     {},
     "play back the moves of the turn on the board one by one from the turn before, the board "
     "read-only (Esc leaves with the turn as recorded)"},
    {K::kItem,
     M::kFile,
     c::kPreviousMove,
     QT_TRANSLATE_NOOP("Menu", "Previous Move"),
     false,
     // Many desktops switch workspaces on Ctrl+Alt+arrows: Ctrl+Shift reaches it there.
     {Chord{Key::kLeft, kCtrl | kAlt}, Chord{Key::kLeft, kCtrl | kShift}},
     "the board before the move replayed (from the turn on the board: before its last move)"},
    {K::kItem,
     M::kFile,
     c::kNextMove,
     QT_TRANSLATE_NOOP("Menu", "Next Move"),
     false,
     {Chord{Key::kRight, kCtrl | kAlt}, Chord{Key::kRight, kCtrl | kShift}},
     "the next move replayed (from the turn on the board: its first move)"},
    {K::kRecent,
     M::kFile,
     0,
     QT_TRANSLATE_NOOP("Menu", "&Recent"),
     false,
     {},
     "the last 8 position and game files opened or saved"},
    {K::kItem,
     M::kWindows,
     c::kToolBar,
     QT_TRANSLATE_NOOP("Menu", "&ToolBar"),
     true,
     {},
     "show or hide the piece palette"},
    {K::kItem,
     M::kWindows,
     c::kInfoView,
     QT_TRANSLATE_NOOP("Menu", "&InfoView"),
     true,
     {},
     "show or hide every country's totals"},
    {K::kItem,
     M::kWindows,
     c::kHistory,
     QT_TRANSLATE_NOOP("Menu", "&History"),
     true,
     {},
     "show or hide the game's turns"},
    {K::kItem,
     M::kView,
     c::kIpcValues,
     QT_TRANSLATE_NOOP("Menu", "&IPC Values"),
     true,
     {},
     "show the income labels on the map"},
    {K::kItem, M::kView, c::kNames, QT_TRANSLATE_NOOP("Menu", "&Names"), false, {}, "does nothing"},
    {K::kItem,
     M::kView,
     c::kListUnits,
     QT_TRANSLATE_NOOP("Menu", "&List Units"),
     false,
     {},
     "list every stack"},
    {K::kSeparator, M::kView},
    {K::kItem,
     M::kView,
     c::kUseBigPieces,
     QT_TRANSLATE_NOOP("Menu", "&Use BigPieces"),
     true,
     {},
     "draw the big pieces, from the next map load"},
    {K::kSeparator, M::kView},
    {K::kItem,
     M::kView,
     c::kZoomIn,
     QT_TRANSLATE_NOOP("Menu", "Zoom In"),
     false,
     {Ctrl(Key::kPlus)},
     "zoom in, up to 2.0"},
    {K::kItem,
     M::kView,
     c::kZoomOut,
     QT_TRANSLATE_NOOP("Menu", "Zoom Out"),
     false,
     {Ctrl(Key::kMinus)},
     "zoom out, down to 0.5"},
    {K::kItem,
     M::kView,
     c::kActualSize,
     QT_TRANSLATE_NOOP("Menu", "Actual Size"),
     false,
     {Ctrl(Key::k0)},
     "zoom 1.0"},
    {K::kSeparator, M::kView},
    {K::kItem,
     M::kView,
     c::kCheckMap,
     QT_TRANSLATE_NOOP("Menu", "&Check Map ..."),
     false,
     {},
     "check the map package and list what is wrong with it"},
    {K::kItem,
     M::kView,
     c::kTrends,
     QT_TRANSLATE_NOOP("Menu", "&Trends ..."),
     false,
     {},
     "chart every country's totals over the game's turns"},
    {K::kItem,
     M::kView,
     c::kReloadMap,
     QT_TRANSLATE_NOOP("Menu", "&Reload Map"),
     false,
     {{{Key::kF5, kNoModifiers}}},
     "read the map package again in place, keeping the board, its undo history and the view"},
    {K::kItem,
     M::kView,
     c::kShowSectors,
     QT_TRANSLATE_NOOP("Menu", "&Show Sectors"),
     true,
     {},
     "draw every sector's border, number, name and label point"},
    {K::kItem,
     M::kView,
     c::kGrabToScroll,
     QT_TRANSLATE_NOOP("Menu", "&Grab to Scroll"),
     true,
     {},
     "the right-button drag moves the map with the mouse"},
    {K::kItem,
     M::kView,
     c::kPiecesFollowZoom,
     QT_TRANSLATE_NOOP("Menu", "Pieces Follow &Zoom"),
     true,
     {},
     "draw pieces and counts at the zoom"},
    {K::kItem,
     M::kView,
     c::kFindSector,
     QT_TRANSLATE_NOOP("Menu", "&Find Sector ..."),
     false,
     {Ctrl(Key::kF)},
     "find a sector by its name and centre the map on it"},
    {K::kSeparator, M::kView},
    {K::kSubmenu,
     M::kView,
     0,
     QT_TRANSLATE_NOOP("Menu", "L&anguage"),
     false,
     {},
     "the language of the windows, from the next start",
     M::kLanguage},
    {K::kItem,
     M::kLanguage,
     c::kLanguageDesktop,
     QT_TRANSLATE_NOOP("Menu", "Desktop's &Language"),
     true,
     {},
     "the desktop's language (LANGUAGE, LC_MESSAGES, LANG): German or English"},
    // Each language by its own name, which no translation changes.
    {K::kItem, M::kLanguage, c::kLanguageEnglish, "&English", true, {}, "English"},
    {K::kItem, M::kLanguage, c::kLanguageGerman, "&Deutsch", true, {}, "German"},
    {K::kItem,
     M::kMenuBar,
     c::kUndo,
     QT_TRANSLATE_NOOP("Menu", "&UNDO"),
     false,
     {Ctrl(Key::kZ)},
     "undo the last edit"},
    {K::kItem,
     M::kMenuBar,
     c::kRedo,
     QT_TRANSLATE_NOOP("Menu", "&REDO"),
     false,
     {Ctrl(Key::kY), Chord{Key::kZ, kCtrl | kShift}},
     "redo what was undone"},
    {K::kItem,
     M::kMenuBar,
     c::kDel,
     QT_TRANSLATE_NOOP("Menu", "&DEL"),
     false,
     {},
     "the removal mode, as D"},
    {K::kItem,
     M::kMenuBar,
     c::kEsc,
     QT_TRANSLATE_NOOP("Menu", "ESC"),
     false,
     {},
     "no mode, as Esc"},
    {K::kItem,
     M::kNone,
     c::kClose,
     nullptr,
     false,
     {Ctrl(Key::kQ)},
     "close the program (asks about unsaved changes)"},
    {K::kKeys,
     M::kNone,
     0,
     "D, E, Esc",
     false,
     {},
     "the removal mode, the label mode, no mode (Esc puts carried pieces back)"},
    {K::kKeys,
     M::kNone,
     0,
     "Space",
     false,
     {},
     "while moves are replayed: play them at the pace chosen in the History window, or pause"},
    {K::kKeys,
     M::kNone,
     0,
     "S",
     false,
     {},
     "write SektorInfo.new with the moved label points into the map package (an S pressed "
     "alone: the S of Ctrl+S never exports)"},
    {K::kKeys,
     M::kNone,
     0,
     "+ and \u2212, keypad + and \u2212",
     false,
     {},
     "zoom in and out, as Ctrl++ and Ctrl+\u2212"},
    {K::kKeys,
     M::kNone,
     0,
     "arrows (Shift+arrows)",
     false,
     {},
     "the keyboard board: move the crosshair 10 map pixels (1 pixel); the status bar says what "
     "is under it"},
    {K::kKeys,
     M::kNone,
     0,
     "PageDown, PageUp (Ctrl+PageDown, Ctrl+PageUp)",
     false,
     {},
     "the next or previous piece kind of the ToolBar (the next or previous country)"},
    {K::kKeys,
     M::kNone,
     0,
     "Enter (with Shift or Ctrl)",
     false,
     {},
     "the left button at the crosshair: place, or pick up and then drop"},
    {K::kKeys,
     M::kNone,
     0,
     "Delete (with Shift or Ctrl)",
     false,
     {},
     "the middle button at the crosshair: remove pieces"},
    {K::kMouse,
     M::kNone,
     0,
     "left button",
     false,
     {},
     "place the piece chosen in the ToolBar (Shift: 5, Ctrl: 10), or drag a stack to move "
     "pieces of it (Shift: up to 5, Ctrl: up to 10, both: the whole stack)"},
    {K::kMouse,
     M::kNone,
     0,
     "middle button",
     false,
     {},
     "remove pieces (Shift: 5, Ctrl: 10, both: the whole stack)"},
    {K::kMouse,
     M::kNone,
     0,
     "wheel, Shift+wheel",
     false,
     {},
     "scroll the map up and down, left and right"},
    {K::kMouse,
     M::kNone,
     0,
     "Ctrl+wheel",
     false,
     {},
     "zoom in or out, keeping the point under the cursor"},
    {K::kMouse,
     M::kNone,
     0,
     "right button drag",
     false,
     {},
     "drag the map (with Grab to Scroll the map follows the mouse)"},
};

std::string Keys(const Action& a) {
  std::string keys;
  for (const Chord& chord : a.chords)
    if (!chord.empty()) keys += (keys.empty() ? "" : ", ") + ChordText(chord);
  return keys;
}

}  // namespace

const char* MenuText(MenuPlace menu) {
  switch (menu) {
    case MenuPlace::kFile:
      return QT_TRANSLATE_NOOP("Menu", "&File");
    case MenuPlace::kWindows:
      return QT_TRANSLATE_NOOP("Menu", "&Windows");
    case MenuPlace::kView:
      return QT_TRANSLATE_NOOP("Menu", "&View");
    case MenuPlace::kLanguage:
      return QT_TRANSLATE_NOOP("Menu", "L&anguage");
    case MenuPlace::kMenuBar:
    case MenuPlace::kNone:
      break;
  }
  return "";
}

std::span<const Action> Actions() { return kTable; }

const Action* ActionOf(int command) {
  for (const Action& a : kTable)
    if (a.kind == Action::Kind::kItem && a.command == command) return &a;
  return nullptr;
}

std::optional<Key> KeyOfReplayName(std::string_view name) {
  for (const KeyName& k : kKeyNames)
    if (k.replay == name) return k.key;
  return std::nullopt;
}

std::string_view ShownKeyName(Key key) {
  for (const KeyName& k : kKeyNames)
    if (k.key == key) return k.shown;
  return {};
}

int ShortcutCommand(Key key, unsigned modifiers) {
  const unsigned held = modifiers & (kShift | kCtrl | kAlt);
  for (const Action& a : kTable)
    for (const Chord& chord : a.chords)
      if (!chord.empty() && chord.key == key && chord.modifiers == held) return a.command;
  return 0;
}

std::string PlainMenuText(const char* text) {
  std::string plain;
  for (const char* p = text; p && *p; ++p) {
    if (*p == '&' && p[1] != '\0') ++p;
    plain += *p;
  }
  return plain;
}

std::string ChordText(const Chord& chord) {
  std::string text;
  if (chord.modifiers & kCtrl) text += "Ctrl+";
  if (chord.modifiers & kAlt) text += "Alt+";
  if (chord.modifiers & kShift) text += "Shift+";
  return text + std::string(ShownKeyName(chord.key));
}

std::string ReplayKeyList() {
  std::string list;
  for (const KeyName& k : kKeyNames) list += (list.empty() ? "" : ", ") + std::string(k.replay);
  return list;
}

std::string KeysPage() {
  std::string page =
      "# Keys and menus\n\n"
      "<!-- Made from the table of actions (viewer/core/Actions.cpp): the test "
      "KeysPage.isMadeFromTheTableOfActions fails while this page differs and writes the page "
      "the table makes beside the tests. -->\n\n"
      "## Keys and mouse\n\n| Key or mouse | What it does |\n|---|---|\n";
  for (const Action& a : kTable) {
    if (a.kind == K::kKeys || a.kind == K::kMouse)
      page += std::string("| ") + a.text + " | " + a.help + " |\n";
    else if (a.kind == K::kItem && !Keys(a).empty())
      page += "| " + Keys(a) + " | " + a.help +
              (a.text ? " (" + PlainMenuText(a.text) + ")" : std::string()) + " |\n";
  }
  for (const MenuPlace menu : {M::kFile, M::kWindows, M::kView, M::kLanguage, M::kMenuBar}) {
    const std::string title = menu == M::kMenuBar    ? "Right of the menu bar"
                              : menu == M::kLanguage ? "View > Language"
                                                     : PlainMenuText(MenuText(menu));
    page += "\n## " + title + "\n\n| Item | Keys | What it does |\n|---|---|---|\n";
    for (const Action& a : kTable)
      if (a.menu == menu && a.kind != K::kSeparator)
        page += "| " + PlainMenuText(a.text) + " | " + Keys(a) + " | " + a.help + " |\n";
    if (menu == M::kFile) page += "\n\"New\" lists every map package found, by its title.\n";
  }
  return page;
}

}  // namespace mw
