// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <filesystem>
#include <string>

#include "Board.h"
#include "Desk.h"
#include "Editing.h"
#include "Games.h"
#include "Host.h"
#include "Keys.h"
#include "MapView.h"
#include "Overlays.h"
#include "Playback.h"
#include "RecoveryKeeper.h"
#include "Startup.h"

namespace mw {

// The viewer: one map, one position, one main window's worth of state, driven by the events a
// user makes. It dispatches them to its parts, each of which owns one job and its state: the
// board document, the map view, the editing, the game, what is drawn over the map, the recovery
// copies and the desk (preferences, recent files, tool windows). Everything windowed goes through
// the Host.
class Viewer : private PositionObserver {
 public:
  Viewer(Host host, std::filesystem::path programDir);
  ~Viewer() override;
  Viewer(const Viewer&) = delete;
  Viewer& operator=(const Viewer&) = delete;

  // The main window's creation: the default start position, then the position named on the
  // command line (quotes around it are dropped: a position file, a game or GAME:N), then the map
  // the position names, then the catalogue. Fails when the command line names what cannot be
  // read; the viewer then goes on with the default start position, as the window does.
  Status Start(const std::string& commandLine = {});
  // The main window's close request; true when the program is to end (the settings are saved).
  bool Close();

  // A command of the menus by its id.
  void Command(int id);
  // The events of the map area, as the window forwards them.
  void MousePress(MouseButton button, QPoint client, unsigned modifiers);
  void MouseRelease(MouseButton button, QPoint client);
  void MouseMove(QPoint client);
  // A key pressed in the main window (or a tool window) that no shortcut took, and its release.
  void KeyPress(Key key, unsigned modifiers);
  void KeyRelease(Key key, unsigned modifiers = kNoModifiers);
  // The wheel: scrolls by `pixels`, or with `zoom` steps the zoom once, keeping the map point
  // under `client` where it is.
  void Wheel(QPoint client, QPoint pixels, bool zoom);
  // Opens a file as "&Open" does with the file chosen (a file dropped on the window).
  void OpenFile(const std::string& path);

  // The one path that puts a board on the screen (see BoardSource): the comparison ends, the
  // board is read onto its map, and the title, the game's History, the recovery copy and the
  // recent files follow. Fails when the board cannot be read.
  Status PutBoard(const BoardSource& source);
  // The file or the game changed: the title and the game file watched follow.
  void DocumentChanged();

  // The parts.
  const Host& host() const { return host_; }
  const StartupState& startup() const { return startup_; }
  Board& board() { return board_; }
  const Board& board() const { return board_; }
  MapView& view() { return view_; }
  const MapView& view() const { return view_; }
  Editing& editing() { return editing_; }
  const Editing& editing() const { return editing_; }
  Games& games() { return games_; }
  const Games& games() const { return games_; }
  Overlays& overlays() { return overlays_; }
  const Overlays& overlays() const { return overlays_; }
  RecoveryKeeper& recovery() { return recovery_; }
  Playback& playback() { return playback_; }
  const Playback& playback() const { return playback_; }
  Desk& desk() { return desk_; }
  const Desk& desk() const { return desk_; }
  // What nearly every caller reads.
  const Position& position() const { return board_.position(); }
  const MapState& map() const { return board_.map(); }

 private:
  void BoardChanged(const BoardChange& change) override;
  // Tells the user, once for each grid, that its file was cut short under the program.
  void SayGridCutShort();

  // What the map view shows, from the parts that own it.
  class Shown : public MapViewSource {
   public:
    explicit Shown(const Viewer& v) : v_(v) {}
    const MapState& map() const override { return v_.board_.map(); }
    const Position& position() const override { return v_.board_.position(); }
    const Settings& settings() const override { return v_.desk_.settings(); }
    const std::string& currentFile() const override { return v_.board_.document().currentFile; }
    const ViewFonts& fonts() const override { return v_.startup_.fonts; }
    bool piecesFollowZoom() const override { return v_.desk_.preferences().piecesFollowZoom; }
    std::string gameTitle() const override { return v_.games_.Title(); }

   private:
    const Viewer& v_;
  };

  Host host_;
  StartupState startup_;
  Shown shown_{*this};
  Board board_;
  MapView view_;
  Desk desk_;
  Editing editing_;
  Overlays overlays_;
  Games games_;
  Playback playback_{*this};
  RecoveryKeeper recovery_;
  std::weak_ptr<const SectorGrid> cutShortSaid_;  // the grid whose cut file was told of
};

}  // namespace mw
