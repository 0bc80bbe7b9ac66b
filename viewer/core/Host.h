// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "Catalogue.h"
#include "Failure.h"
#include "GameFigures.h"
#include "PackageCheck.h"
#include "Reports.h"

namespace mw {

enum class CursorKind { kArrow, kCross };

// The tool windows that follow every map load.
enum class ToolWindow { kPalette, kInfoView };

// A game as the History and Trends windows show it.
struct GameHistory {
  std::string file;                 // the game file; empty while there is no game
  std::vector<TurnFigures> turns;   // in order, each with its countries' totals
  std::vector<uint16_t> countries;  // the countries with a total in any turn, in order
  std::vector<uint32_t> colours;    // the colour (0xAARRGGBB) of each of `countries`
  int64_t current = 0;              // the turn on the board, 0 for none
  CountryNames countryNames;        // the names the map gives its countries
  AllianceTable alliances{};        // the map's alliances, for their totals
  // The moves of the turn on the board in words, none where the turn was recorded without them.
  std::optional<std::vector<std::string>> moves;
  // While they are replayed: how many of them the board shows made, and whether they play.
  struct Replay {
    size_t step = 0;
    bool playing = false;
  };
  std::optional<Replay> replay;
};

// The parts of the status bar under the map.
enum class StatusField {
  kMode,     // what the mouse does now ("Placing Inf of country 3"); empty when idle
  kZoom,     // "100 %"
  kPointer,  // the sector under the mouse, its holder and income, and the unit there
  kMessage,  // what a save or an export wrote, or why it could not
  kWarning,  // what puts unsaved work at risk, standing until it is mended
};

// What the viewer asks of the windows that show it, one interface per job of at most 8 methods.
// The Qt front end implements them; the headless modes and the tests implement them their way
// (NullHost, ReplayHost, FakeHost). Nothing has a default: a host says what each does.

// Questions the user answers before the program goes on, and what the user must read.
class Questions {
 public:
  virtual ~Questions() = default;
  // An OK/Cancel question; true only for OK.
  virtual bool Confirm(const std::string& text, const std::string& caption) = 0;
  // A question whose yes is `action` ("Record Anyway") and whose default answer is Cancel: the
  // program is about to do what the player may not want.
  virtual bool ConfirmAction(const std::string& text, const std::string& caption,
                             const std::string& action) = 0;
  // The question before unsaved changes are given up: OK (or Discard) gives them up, Save saves
  // them first, Cancel keeps them.
  enum class DiscardAnswer { kDiscard, kSave, kCancel };
  struct DiscardQuestion {
    std::string text, caption;
    // The file the Save button writes, which the button names; empty where it asks for a name.
    std::string saveTo;
    // Stepping to another turn: Discard and Cancel, Cancel the default; otherwise OK and Cancel,
    // OK the default.
    bool step = false;
  };
  virtual DiscardAnswer AskDiscard(const DiscardQuestion& question) = 0;
  // The offer of a recovery copy after a crash: restore it, keep it for the next start, or
  // discard it on purpose.
  enum class RestoreAnswer { kRestore, kKeep, kDiscard };
  virtual RestoreAnswer AskRestore(const std::string& text, const std::string& caption) = 0;
  // A box the user must close before going on; the window shows its failures with it.
  virtual void ShowError(const std::string& text) = 0;
  // The label and note of a turn, the label proposed; none to give up.
  struct TurnText {
    std::string label, note;
  };
  virtual std::optional<TurnText> AskTurnText(const std::string& title,
                                              const TurnText& proposed) = 0;
  // Which turn of the game `game` (its file name) to use, `last` proposed; none to give up.
  virtual std::optional<int64_t> AskTurnNumber(const std::string& title, const std::string& game,
                                               int64_t last) = 0;
  // The modal unit list; returns when the user closed it.
  virtual void ShowUnitList(const std::string& text) = 0;
};

// The file dialogs; each answers none when cancelled.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // "Open File".
  virtual std::optional<std::string> ChooseOpenFile() = 0;
  // "Save as ...", proposing the native format or the TessWinMap one.
  virtual std::optional<std::string> ChooseSaveFile(bool proposeNative) = 0;
  // A position file to compare the board with, the dialog opened in `folder` (empty: where the
  // open dialog opens).
  virtual std::optional<std::string> ChooseCompareFile(const std::string& folder) = 0;
  // A game file: a new one to record into (`create`) or one to open.
  virtual std::optional<std::string> ChooseGameFile(bool create) = 0;
  // The folder the dialogs open in from now on: the board's file's or the game's.
  virtual void SetFolder(const std::string& folder) = 0;
};

// The main window's face: its map area, title, status bar and cursor.
class Surface {
 public:
  virtual ~Surface() = default;
  // Repaint a rectangle of the map area in client pixels; an empty rectangle means all of it.
  virtual void InvalidateMap(const QRect& client) = 0;
  // The window title, in UTF-8.
  virtual void SetTitle(const std::string& title) = 0;
  // A part of the status bar, in UTF-8.
  virtual void ShowStatus(StatusField field, const std::string& text) = 0;
  // A command that failed: the host says it in the status bar, and in a box where the failure
  // must be acknowledged (WordsFor), the same way for every command.
  virtual void ReportFailure(const Failure& failure) = 0;
  virtual void SetCursor(CursorKind cursor) = 0;
  // The wait cursor shown while a map package loads.
  virtual void BeginWait() = 0;
  virtual void EndWait() = 0;
  // The keyboard's crosshair moved, or what is under it changed: `text` is Viewer::CrosshairText,
  // for a screen reader.
  virtual void DescribeCrosshair(const std::string& text) = 0;
  // Runs `task` once what was asked to be repainted so far is on the screen, so that work the
  // picture does not wait for comes after it; a host that paints nothing runs it at once.
  virtual void AfterPaint(std::function<void()> task) = 0;
};

// The main window's size, as the map view keeps it to the picture.
class WindowFrame {
 public:
  virtual ~WindowFrame() = default;
  // The map area's size, the size the window adds around it (frame, caption, menu), the largest
  // outer size a maximised window may take, and whether it is maximised.
  virtual QSize ClientSize() = 0;
  virtual QSize FrameExtra() = 0;
  virtual QSize MaximizedSize() = 0;
  virtual bool IsMaximized() = 0;
  // The largest outer size the window may take, maximised or not, whenever it changes (every
  // zoom and map change); an empty size when there is no picture to limit it.
  virtual void SetMaximumWindowSize(QSize outer) = 0;
  // Makes the window fit its limit again when maximised, else shrinks it to `outer` where it is.
  virtual void ResizeWindow(QSize outer) = 0;
};

// The menus' state: check marks, the "&New" catalogue and "&Recent".
class Menus {
 public:
  virtual ~Menus() = default;
  virtual void SetMenuCheck(int commandId, bool checked) = 0;
  virtual void SetCatalogue(const std::vector<CatalogueEntry>& entries) = 0;
  // The "&Recent" menu: a file a line, newest first, each with its map's title; a file that is
  // gone is shown but cannot be chosen.
  struct RecentEntry {
    std::string path;
    std::string mapTitle;
    bool exists = true;
  };
  virtual void SetRecent(const std::vector<RecentEntry>& entries) = 0;
};

// The tool windows of the board and the boxes the user opens beside it.
class ToolWindows {
 public:
  virtual ~ToolWindows() = default;
  virtual void InvalidateInfoView() = 0;
  // The top left corner of a tool window on the screen, none while it does not exist.
  virtual std::optional<QPoint> ToolWindowPosition(ToolWindow which) = 0;
  // Destroys a tool window and creates it again at `position`, sized to the new pieces picture,
  // shown or hidden. Without a position (the first start, with no settings yet), the window
  // places it where it covers neither the other tool window nor the menu bar.
  virtual void RecreateToolWindow(ToolWindow which, std::optional<QPoint> position, bool shown) = 0;
  virtual void ShowToolWindow(ToolWindow which, bool shown) = 0;
  // Opens the field that finds a sector by its name, over the map.
  virtual void ShowFindSector() = 0;
  virtual void ShowAbout() = 0;
  // What the package checker found in the open package (or why it could not check it).
  // The one report open takes a new check in place (findings gone go, with their mark; the
  // first new one is chosen); `open` opens it, or brings it up, where it is not.
  virtual void ShowPackageCheck(const std::string& packageName, const Result<PackageReport>& report,
                                bool open) = 0;
};

// The windows that follow the board over time: the Changes of a comparison, the game's History and
// Trends, and the game file looked at on the disk.
class BoardWindows {
 public:
  virtual ~BoardWindows() = default;
  // The Changes window: shows it with what changed since `file` (or puts these lines in place of
  // the ones it shows), and closes it. Closing it ends the comparison (`Viewer::EndComparison`).
  virtual void ShowChanges(const std::string& file, const std::vector<ChangeLine>& lines) = 0;
  virtual void CloseChanges() = 0;
  // The History window: shows it, or brings what it shows up to date; hides it. Closing it
  // calls `Viewer::HistoryClosed`.
  virtual void ShowHistory(const GameHistory& history) = 0;
  virtual void HideHistory() = 0;
  // The Trends chart of a game: opens it (`open`), or brings it up to date where it is open.
  virtual void ShowTrends(const GameHistory& history, bool open) = 0;
  // The game file the board belongs to, for the window to look at when it changes on the disk
  // (Viewer::FollowGameFile); empty when there is none.
  virtual void WatchGameFile(const std::string& path) = 0;
  // The moves of a turn replayed play: `Playback::Tick` every `milliseconds` from now on; 0
  // stops it.
  virtual void PlayMoves(int milliseconds) = 0;
};

// The hosts of a viewer, one for each job. A host that does every job stands for all of them.
struct Host {
  Questions& questions;
  FileDialogs& files;
  Surface& surface;
  WindowFrame& frame;
  Menus& menus;
  ToolWindows& tools;
  BoardWindows& boards;

  template <class All>
  requires(!std::is_same_v<std::remove_cv_t<All>, Host>)
      Host(All& all)  // NOLINT(google-explicit-constructor): one object in every role
      : questions(all), files(all), surface(all), frame(all), menus(all), tools(all), boards(all) {}
  Host(Questions& q, FileDialogs& f, Surface& s, WindowFrame& w, Menus& m, ToolWindows& t,
       BoardWindows& b)
      : questions(q), files(f), surface(s), frame(w), menus(m), tools(t), boards(b) {}
};

}  // namespace mw
