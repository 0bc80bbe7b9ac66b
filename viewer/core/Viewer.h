#pragma once

#include <QImage>
#include <bitset>
#include <filesystem>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "CommandIds.h"
#include "Comparison.h"
#include "EditingState.h"
#include "FloatingPiece.h"
#include "GameFile.h"
#include "Host.h"
#include "Keys.h"
#include "Locations.h"
#include "MapState.h"
#include "MapView.h"
#include "Modifiers.h"
#include "Position.h"
#include "PositionFile.h"
#include "Preferences.h"
#include "Recovery.h"
#include "SectorLayer.h"
#include "Settings.h"

namespace mw {

enum class MouseButton { kLeft, kMiddle, kRight };

// What the status bar tells a newcomer on a map's start position.
inline constexpr const char* kFirstHint =
    "Pick a piece in the ToolBar, then click the map to place it; drag stacks to move them";

// What start-up sets once for the whole run: where the program lives and the fonts of the map.
// The settings, which the user changes all session, are kept apart.
struct StartupState {
  std::filesystem::path programDir;
  std::vector<std::filesystem::path> mapFolders;  // where packages are looked for, in order
  ViewFonts fonts;
};

// Where the board on the screen came from: what Record Turn and the title say of it.
struct BoardOrigin {
  enum class Kind { kStart, kFile, kTurn, kRecovery };
  Kind kind = Kind::kStart;
  std::string file;  // the position file or recovery copy read; the game file of a turn
  // The game's turn the board was loaded from or recorded as, or whose position a file read
  // holds byte for byte; 0 when it is none the game knows.
  int64_t turn = 0;
  // A position file that is not whole: what it lacks, until the board is saved.
  std::optional<PositionExtent> cut;
};

// Document state of the main window.
struct DocumentState {
  std::string currentFile;
  BoardOrigin origin;
  // Whether the tool windows have a place yet: from the settings file, or from this session.
  bool toolWindowsPlaced = false;
  bool toolBarShown = true;
  bool infoViewShown = true;
  // The current file came from a recovery copy: it may be no position file at all.
  bool restoredFile = false;
  std::vector<CatalogueEntry> catalogue;
};

// The viewer: one map, one position, one main window's worth of state, driven by the events a
// user makes. Everything windowed goes through the Host.
class Viewer : private PositionObserver, private MapViewSource {
 public:
  Viewer(Host host, std::filesystem::path programDir);
  ~Viewer() override;
  Viewer(const Viewer&) = delete;
  Viewer& operator=(const Viewer&) = delete;

  // The main window's creation: the default start position, then the position named on the
  // command line (quotes around it are dropped), then the map the position names, then the
  // catalogue. Fails when the command line names a position that cannot be read; the viewer
  // then goes on with the default start position, as the window does.
  Status Start(const std::string& commandLine = {});
  // The main window's close request; true when the program is to end (the settings are saved).
  bool Close();

  // Keeps recovery copies of unsaved positions in `folder`; Start then first offers to restore
  // the copies of programs that ended without saving. Without it (the headless modes) nothing is
  // written there.
  void EnableRecovery(std::filesystem::path folder);
  // Brings the recovery copy up to date: written while the position has unsaved changes that the
  // copy lacks, deleted once it has none. The window calls it every few seconds and after loads.
  void KeepRecoveryCopy();
  // Waits until the copy being written is on the disk, and says how that went.
  Status FlushRecoveryCopy() { return recovery_ ? recovery_->Wait() : Status::Ok(); }
  const RecoveryStore* recovery() const { return recovery_ ? &*recovery_ : nullptr; }
  // Writes the preferences (Marrowind.conf) at every change, keeps the files opened and saved
  // in "&Recent", and gives a newcomer the first hint: what the window does for a user. Without
  // it (the headless modes) the preferences are read but never written.
  void KeepPreferences() { keepPreferences_ = true; }
  // Tells the "&Recent" menu the files again, each marked whether it is still there.
  void PublishRecent();

  void Command(int id);
  void MousePress(MouseButton button, QPoint client, unsigned modifiers);
  void MouseRelease(MouseButton button, QPoint client);
  void MouseMove(QPoint client);
  // A key pressed in the main window (or a tool window) that no shortcut took, and its release:
  // the keys act on release, S and the main keyboard's + and - only when their press came with
  // neither Ctrl nor Alt, so that the release of a shortcut's key (Ctrl let go first) does
  // nothing.
  void KeyPress(Key key, unsigned modifiers);
  void KeyRelease(Key key, unsigned modifiers = kNoModifiers);
  // The wheel: scrolls by `pixels`, or with `zoom` steps the zoom once, in or out by the sign of
  // `pixels.y()`, keeping the map point under `client` where it is.
  void Wheel(QPoint client, QPoint pixels, bool zoom);
  // Scrolls the map so that a map point stands in the middle of the map area, as far as the
  // picture allows.
  void ShowMapPoint(QPoint map) { view_.CenterOn(map); }
  // Opens a position file as "&Open" does with the file chosen (a file dropped on the window).
  void OpenFile(const std::string& path);
  // The zoom keys' steps; false at a limit, where nothing changes.
  bool ZoomIn() { return view_.ZoomIn(); }
  bool ZoomOut() { return view_.ZoomOut(); }
  // Recomposes the whole picture, as after a change of what the map shows.
  void Recompose() { view_.RedrawMapRegion(); }
  double zoom() const { return view_.state().zoom; }
  // A part of the map as the window shows it at the current zoom, labels and units drawn on it,
  // in scaled pixels.
  QImage ComposedRegion(QRect scaled) const { return view_.ComposedRegion(scaled); }
  void ClientResized() { view_.ClientResized(); }

  // The piece palette: a click on a cell, and Escape released there.
  void PaletteClick(QPoint client);
  void PaletteEscape();
  // What the palette cell under a point holds, in words: "Inf, value 3, land; country 2", or
  // "...; Sarnesh (country 2)" where the map names the country; empty outside the cells.
  std::string PaletteCellText(QPoint client) const;
  // The user closed a tool window with its window manager's close button: it is hidden, and its
  // menu item loses its check mark.
  void ToolWindowClosed(ToolWindow which);

  void LoadMapPackage(const std::string& mapName);

  // The board compared with a position file of its map ("&Compare With ..." chooses it): the map
  // marks what changed and the Changes window lists it, both following the board until the
  // comparison ends. Fails with the reason when the file cannot be read or is of another map.
  Status CompareWith(const std::string& path);
  // Ends the comparison shown, if any: the marks go and the Changes window closes.
  void EndComparison();
  const Comparison* comparison() const { return comparison_ ? &*comparison_ : nullptr; }
  // Centres the map on a sector: its label point, else the middle of its cells.
  void ShowSector(int sector);
  // The sectors whose name holds `text`, case and accents ignored, by number, each with its
  // holder and income in words ("held by Valdria, 3 IPC"); every named sector for no text.
  struct SectorMatch {
    int sector = 0;
    std::string name;    // UTF-8
    std::string detail;  // UTF-8
  };
  std::vector<SectorMatch> FindSectors(const std::string& text) const;
  // Centres the map on a sector found and outlines it until EndSectorOutline.
  void GoToSector(int sector);
  void EndSectorOutline();
  bool outliningSector() const { return !outline_.empty(); }
  // Where Enter and Delete act, in map pixels, once the keyboard moved the crosshair.
  const std::optional<QPoint>& crosshair() const { return crosshair_.at(); }
  // What the status bar says of the crosshair, in one line for a screen reader: the mode, then
  // the sector and stack under it ("Placing Tank of Sarnesh – North: Sarnesh, 4 IPC"); empty
  // before the first arrow key.
  std::string CrosshairText() const;
  // Marks a map point with a ring and scrolls it into the middle where the picture allows (a
  // finding of the package check chosen); none takes the mark away.
  void MarkMapPoint(std::optional<QPoint> map);
  const std::optional<QPoint>& markedPoint() const { return marker_.at(); }
  // The game the board's turns are recorded into, once one was chosen or opened.
  const GameFile* game() const { return game_ ? &*game_ : nullptr; }
  // The game's turns with every country's totals, and the turn on the board among them.
  const GameHistory& history() const { return history_; }
  // Loads a turn of the game onto the board, after the question about unsaved changes, compared
  // with the turn before it. False when the board stays as it was.
  bool GoToTurn(int64_t number);
  // Asks for a new label and note of a turn and gives them to it; its position stays as it is.
  void AnnotateTurn(int64_t number);
  // The user closed the History window with its window manager's close button.
  void HistoryClosed();
  // Looks whether the game file changed on the disk (another program recorded a turn or changed
  // a label, a sync tool put another copy in its place) and shows what arrived. The window calls
  // it when the file changes and every second.
  void FollowGameFile();
  // Adds to the open game the turns of another copy of it that come after the turns both hold,
  // after a question that lists them, and shows the last of them compared with the turn before.
  // A copy that parts from the open game is refused, naming the turn where they part. `asked`
  // when the question about unsaved changes was asked already.
  void TakeTurnsFrom(const std::string& path, bool asked = false);

  // Writes the sector table with its moved label points as SektorInfo.new into the package.
  Status ExportSectorTable();

  // Paints the map area: the composed picture, then the floating piece.
  void PaintMap(QPainter& painter, QRect update) const { view_.Paint(painter, update); }
  CursorKind cursor() const;

  // How many saves, exports and loads of the user failed so far.
  unsigned failures() const { return failures_; }
  const std::filesystem::path& programDir() const { return startup_.programDir; }
  const Settings& settings() const override { return settings_; }
  const MapState& map() const override { return map_; }
  const Position& position() const override { return position_; }
  const DocumentState& document() const { return document_; }
  const EditingState& editing() const { return editing_; }
  const MapView& view() const { return view_; }
  const SectorLayer& sectorLayer() const { return sectorLayer_; }
  const Preferences& preferences() const { return preferences_; }
  std::filesystem::path preferencesPath() const {
    return SettingsFile(startup_.programDir, Preferences::kFileName);
  }
  const ViewFonts& fonts() const override { return startup_.fonts; }
  bool piecesFollowZoom() const override { return preferences_.piecesFollowZoom; }
  const std::string& currentFile() const override { return document_.currentFile; }
  // "tess-war – turn 7 of 9" while a game is open: the game and the board's turn in it.
  std::string gameTitle() const override;

  std::filesystem::path settingsPath() const {
    return SettingsFile(startup_.programDir, Settings::kFileName);
  }
  const std::vector<std::filesystem::path>& mapFolders() const { return startup_.mapFolders; }
  // The folder of the package of a map, wherever it was found.
  std::filesystem::path PackageFolder(std::string_view mapName) const {
    return FindPackage(startup_.mapFolders, mapName);
  }

 private:
  void BoardChanged(const BoardChange& change) override;

  // The questions before the board, or the label points moved on the map, are given up.
  bool ConfirmDiscard();
  // Asks `question` when the board has unsaved changes; true when the program may go on: the
  // changes given up, or saved by the question's Save button.
  bool ConfirmUnsaved(const std::string& question);
  bool ConfirmLabelsLost(const std::string& action);
  void OfferRecovery();
  // The first hint in the status bar while the board is a map's start and nothing was picked;
  // it goes with the first pick or change.
  void OfferHint();
  void UpdateHint();
  std::string RecoveryQuestion(const RecoveryCopy& copy) const;
  void HearFromRecovery();
  // What a board is put on the screen from.
  struct BoardSource {
    BoardOrigin::Kind kind = BoardOrigin::Kind::kStart;
    std::string path;            // the start position, the position file, the copy, the game file
    std::string package;         // kStart: the package loaded with it; empty for the one it names
    std::vector<uint8_t> bytes;  // kTurn: the turn's position
    int64_t turn = 0;            // kTurn
    std::string currentFile;     // kRecovery: the file the copy belongs to

    static BoardSource Start(std::string path, std::string package = {}) {
      BoardSource s;
      s.path = std::move(path);
      s.package = std::move(package);
      return s;
    }
    static BoardSource File(std::string path) {
      BoardSource s = Start(std::move(path));
      s.kind = BoardOrigin::Kind::kFile;
      return s;
    }
    static BoardSource Turn(std::string game, std::vector<uint8_t> bytes, int64_t turn) {
      BoardSource s = Start(std::move(game));
      s.kind = BoardOrigin::Kind::kTurn;
      s.bytes = std::move(bytes);
      s.turn = turn;
      return s;
    }
    static BoardSource Recovery(std::string copy, std::string currentFile) {
      BoardSource s = Start(std::move(copy));
      s.kind = BoardOrigin::Kind::kRecovery;
      s.currentFile = std::move(currentFile);
      return s;
    }
  };
  // The one path that puts a board on the screen: the comparison ends, the board is read, its
  // map loaded (a turn of the map loaded keeps it and the view), the totals counted, the board
  // marked clean (unsaved for a recovery copy), its origin, file and turn remembered, the title,
  // History and recovery copy brought up to date. Fails when the board cannot be read: a
  // position file then leaves the board as it was on the map loaded again, a copy leaves all.
  Status PutBoard(const BoardSource& source);
  void NewMap(int id);
  void Open();
  // Loads a chosen position file and its map, after the question about unsaved changes.
  void OpenChosen(const std::string& path);
  void Save();
  void SaveAs();
  void SaveTo(const std::string& path);
  bool ConfirmSaveTarget(const std::string& path);
  void ToggleToolWindow(ToolWindow which, int id, bool& shown);
  void ToggleFlag(int id);
  void RebuildToolWindows();
  void StoreToolWindowPositions();
  void LoadPieces(const std::filesystem::path& dir);

  void SetMode(MouseMode mode);
  std::string ModeText() const;
  // The status bar's words for the point under the mouse.
  void ShowPointer(QPoint map);
  std::string PointerText(QPoint map) const;
  std::string PieceName(int pieceType) const;
  void ExportCommand();
  void ReturnCarriedPieces();
  void EnterDeleteMode();
  void CancelCarryCommand();
  void Undo();
  void Redo();
  void InvalidateFloatingPiece(bool moving);
  void ChooseComparison();
  // "&Record Turn": the board as the game's next turn (a new game file chosen first when there
  // is none), after a question when the game's last turn is not the one the board came from;
  // "&Open Game ...": a game file, its last turn on the board.
  void RecordTurn();
  bool RecordBoard(const std::string& label, const std::string& note);
  std::string StaleBoardQuestion(int64_t last) const;
  void OpenGame();
  // Makes a game file the open game and shows its turn `turn` (0: the last) compared with the
  // turn before it. Fails with the reason, the board and the open game as they were.
  Status OpenGameAt(const std::string& path, int64_t turn = 0);
  // Puts a turn of the open game on the board, compared with the turn before it; `asked` when
  // the question about unsaved changes was asked already. False when the board stays.
  bool ShowTurn(int64_t number, bool asked);
  // The open game's turns read again after a change on the disk; says which arrived.
  Status ReadArrivals(bool reopened);
  // FollowGameFile whatever the game's commands are doing.
  void CatchUpWithGameFile();
  // The board where it is of the game's map, to count the turns' totals on; else no map.
  const Position& MapOfGame() const;
  // A file that was opened or dropped and holds a game: taken from when it is a copy of the open
  // game, else opened.
  void OpenGameFile(const std::string& path, bool asked);
  // Alt+Left and Alt+Right: the turn before or after the one on the board.
  void StepTurn(int direction);
  void ToggleHistory();
  void OpenTrends();
  // Reads every turn of the game with its totals, and tells the windows that show them.
  Status ReadHistory();
  void PublishHistory();
  // The turn of the game's history with this number; none when there is none.
  std::vector<TurnFigures>::iterator FindTurn(int64_t number);
  // A user's command that failed: counted, "Could not <action>: <reason>" in the status bar and,
  // with `box`, the reason in an error box.
  void ReportFailure(const std::string& action, const std::string& reason, bool box = true);
  // Compares the board with a position already given its map, named `name` where it is shown.
  void CompareWithPosition(std::unique_ptr<Position> older, std::string name);
  void CompareWithSaved();
  // "&Check Map ...": the package checked and the report shown. "&Reload Map" (F5): the package
  // read again with the board, its undo history, the view and a comparison kept, then checked;
  // the report is shown only when it holds findings the author has not seen yet.
  void CheckMap();
  void ReloadMap();
  // "&Show Sectors": the sectors' borders, numbers, names and label points over the map, or not.
  void ToggleSectors();
  // "&Grab to Scroll" and "Pieces &Follow Zoom": a preference turned over and kept.
  void TogglePreference(int id);
  void SavePreferences();
  // A file opened or saved becomes the newest of "&Recent"; the menu shows the list again.
  void RememberFile(const std::string& path);
  void OpenRecent(size_t index);
  void RemoveMissingRecent();
  // The title of the map loaded, as "&New" shows it.
  std::string MapTitle() const;
  // The title shows the file and game again.
  void DocumentChanged();
  // Finds each sector's box of cells once per map.
  const std::vector<QRect>& KnowSectorBoxes();
  // Where a sector is shown: its label point where that lies in it, else the middle of its cells.
  std::optional<QPoint> SectorPoint(int sector);
  // Compares the board again and shows the result on the map and in the Changes window.
  void ShowComparison();
  void LeftPress(QPoint map, unsigned modifiers);
  // The keyboard board: the arrows move the crosshair, PageDown and PageUp choose a piece kind
  // (with Ctrl a country), Enter is the left button at the crosshair and Delete the middle one.
  // True when the key was one of them.
  bool KeyboardBoard(Key key, unsigned modifiers);
  bool ActOnBoardKey(Key key, unsigned modifiers);
  void MoveCrosshair(QPoint by);
  void StepPalette(int kinds, int countries);
  QPoint CrosshairClient() const { return view_.MapToClient(*crosshair_.at()); }

  Host host_;
  StartupState startup_;
  Settings settings_;
  Preferences preferences_;
  bool keepPreferences_ = false;
  MapState map_;
  Position position_;
  DocumentState document_;
  EditingState editing_;
  MapView view_;
  FloatingPiece floatingPiece_{*this, editing_, view_.units()};
  PointMarker marker_;
  SectorOutline outline_;
  Crosshair crosshair_;
  std::optional<Comparison> comparison_;
  std::vector<QRect> sectorBoxes_;  // of the map loaded, once a comparison or the sectors need them
  std::vector<std::string> seenFindings_;  // the lines of the last report shown of the package
  std::optional<GameFile> game_;
  int64_t gameVersion_ = 0;      // the game file's data version when its turns were last read
  bool gameUnreadable_ = false;  // said once in the status bar until it can be read again
  int busy_ = 0;  // a command about the game is asking a question: the file is looked at later
  GameHistory history_;
  bool historyShown_ = false;
  SectorLayer sectorLayer_{*this, sectorBoxes_};
  ChangesLayer changesLayer_{*this, comparison_, view_.units()};
  // Who holds which sector and what it yields, for the status bar; recomputed when the totals
  // changed.
  mutable std::optional<SectorIncomes> incomes_;
  std::optional<RecoveryStore> recovery_;
  uint64_t copied_ = 0;   // the revision of the board the recovery copy holds
  uint64_t writing_ = 0;  // the revision of the board the running write takes there
  bool recoveryFailing_ = false;
  bool hintShown_ = false;
  unsigned failures_ = 0;
  std::string pointerText_;
  std::bitset<kKeyCount> plainPresses_;  // keys pressed without Ctrl or Alt, not yet released
};

}  // namespace mw
