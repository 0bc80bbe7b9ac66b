// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer: its parts put together, the events of the window dispatched to them, and the flows
// that take more than one part (start, close, a board put on the screen).
#include "Viewer.h"

#include <QtGlobal>

#include "FileBytes.h"
#include "LargeMemory.h"
#include "Locations.h"
#include "NamedPosition.h"
#include "PackagePaths.h"
#include "Reports.h"
#include "Texts.h"

namespace mw {
namespace {

std::string Unquoted(const std::string& s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

}  // namespace

Viewer::Viewer(Host host, std::filesystem::path programDir)
    : host_(host),
      startup_{programDir, MapFolders(programDir), {}},
      board_(*this),
      view_(host, shown_),
      desk_(*this),
      editing_(*this, shown_, view_.units()),
      overlays_(*this, shown_, view_.units()),
      games_(*this),
      recovery_(*this) {
  KeepFreedHeapMemory();
  view_.SetGrabToScroll(desk_.preferences().grabToScroll);
  board_.position().SetObserver(this);
  // What is drawn over the map, bottom to top.
  view_.AddLayer(overlays_.sectorLayer());
  view_.AddLayer(overlays_.changesLayer());
  view_.AddOverlay(editing_.floatingPiece());
  view_.AddOverlay(overlays_.outline());
  view_.AddOverlay(editing_.crosshairOverlay());
  view_.AddOverlay(overlays_.marker());
  view_.AddOverlay(playback_.arrow());
}

Viewer::~Viewer() { board_.position().SetObserver(nullptr); }

Status Viewer::Start(const std::string& commandLine) {
  // A map package folder named is looked for first where it is, wherever that is.
  const std::string path = Unquoted(commandLine);
  std::error_code error;
  std::optional<std::filesystem::path> package;
  if (!path.empty() && std::filesystem::is_directory(path, error)) {
    package = std::filesystem::absolute(path).lexically_normal();
    if (!package->has_filename()) package = package->parent_path();
    startup_.mapFolders.insert(startup_.mapFolders.begin(), package->parent_path());
  }
  std::vector<std::string> leftOut;
  board_.document().catalogue = BuildMapCatalogue(startup_.mapFolders, &leftOut);
  if (!leftOut.empty()) {
    std::string names;
    for (const auto& name : leftOut) names += (names.empty() ? "" : ", ") + name;
    qWarning("more than %d map packages; not on the \"New\" menu: %s", kMaxCatalogued,
             names.c_str());
  }
  host_.menus.SetCatalogue(board_.document().catalogue);
  desk_.ShowChecks();
  desk_.PublishRecent();

  const std::string start =
      FindEntryIgnoringCase(board_.PackageFolder(kDefaultMapName), package_file::kStartPosition)
          .string();
  Status opened = Status::Ok();
  const auto turn = GameTurnOf(path);
  if (!path.empty() && (turn || IsDatabaseFile(path))) {
    // A game named opens at its last turn, or at the turn GAME:N names; one that is refused is
    // said before the start position appears in its place.
    opened = games_.OpenGameAt(turn ? turn->first : path, turn ? turn->second : 0);
    if (!opened) board_.ReportFailure({Failure::Action::kOpenNamed, path, opened.error()});
  } else if (package) {
    // A map package: its start position on its map, the board empty where it has none.
    const std::string folder = package->filename().string();
    const std::string name = PackageNameOf(folder).value_or(folder);
    board_.position().header().setMapName(name);
    opened = PutBoard(BoardSource::Start(
        FindEntryIgnoringCase(*package, package_file::kStartPosition).string(), name));
  } else if (!path.empty()) {
    // What cannot be read leaves the default start position on the board.
    if (auto loaded = LoadPosition(board_.position(), start); !loaded)
      qWarning("%s", loaded.error().c_str());
    opened = PutBoard(BoardSource::File(path));
  }
  if (path.empty() || (!opened && map().packageName.empty())) PutBoard(BoardSource::Start(start));
  // The game open when the program last ended comes back, at its last turn, where nothing else
  // was named.
  if (const std::string& game = desk_.preferences().game;
      path.empty() && desk_.keepsPreferences() && !game.empty()) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(game, error)) {
      desk_.RememberGame({});
    } else if (Status reopened = games_.OpenGameAt(game); !reopened) {
      host_.surface.ShowStatus(StatusField::kMessage, reopened.error());
    }
  }
  // The first hint before what the recovery copies have to say, which it must not hide.
  editing_.OfferHint();
  if (recovery_.enabled()) {
    recovery_.Offer();
    recovery_.Keep();
  }
  return opened;
}

bool Viewer::Close() {
  if (!board_.ConfirmUnsaved(Tr("Viewer", "Exit Marrowind without saving changes?"))) return false;
  if (!board_.ConfirmLabelsLost(Tr("Viewer",
                                   "The moved label points are not exported yet (key S). Exit "
                                   "without exporting them?")))
    return false;
  // What was not saved was given up on purpose.
  recovery_.Discard();
  desk_.SaveSettings();
  return true;
}

Status Viewer::PutBoard(const BoardSource& source) {
  // Another board on the screen ends the comparison with the one before, and a replay.
  playback_.Forget();
  overlays_.EndComparison();
  Status put = board_.Put(source);
  if (!put && source.kind == BoardOrigin::Kind::kRecovery) return put;
  if (put) {
    games_.BoardPut();
    if (source.kind == BoardOrigin::Kind::kFile) {
      desk_.RememberFile(source.path);
      const BoardOrigin& origin = board_.document().origin;
      host_.surface.ShowStatus(
          StatusField::kMessage,
          origin.cut ? Tr("Viewer", "Opened %1").arg(origin.cut->Describe(source.path))
          : origin.turn
              ? Tr("Viewer", "Opened %1, turn %2 of the game").arg(source.path).arg(origin.turn)
              : Tr("Viewer", "Opened %1").arg(source.path));
    }
    if (source.kind != BoardOrigin::Kind::kRecovery) recovery_.Keep();
  }
  DocumentChanged();
  return put;
}

void Viewer::DocumentChanged() {
  view_.RefreshTitle();
  const GameFile* game = games_.game();
  host_.boards.WatchGameFile(game ? game->path().string() : std::string());
  if (game) desk_.RememberGame(game->path().string());
  // The file dialogs start in the folder of the game or of the board's file.
  const std::string& file = game ? game->path().string() : board_.document().currentFile;
  if (!file.empty()) host_.files.SetFolder(std::filesystem::path(file).parent_path().string());
}

void Viewer::OpenFile(const std::string& path) {
  games_.FinishShowing();
  if (!board_.ConfirmDiscard()) return;
  board_.document().currentFile.clear();
  board_.OpenChosen(path);
}

void Viewer::Command(int id) {
  namespace c = command;
  // While moves are replayed the board is read-only: edits are refused, and what puts another
  // board on the screen or uses the board's file acts on the turn as recorded.
  // What the last turn shown left for after its paint comes before the command; a step's
  // comparison only where the command is not another step, which makes it moot.
  if (id == command::kPreviousTurn || id == command::kNextTurn)
    games_.FinishOpening();
  else
    games_.FinishShowing();
  if (playback_.Intercept(id)) return;
  switch (id) {
    case c::kOpen:
      return board_.Open();
    case c::kSave:
      return board_.Save();
    case c::kSaveAs:
      return board_.SaveAs();
    case c::kAbout:
      return host_.tools.ShowAbout();
    case c::kToolBar:
      return desk_.ToggleToolWindow(ToolWindow::kPalette);
    case c::kInfoView:
      return desk_.ToggleToolWindow(ToolWindow::kInfoView);
    case c::kIpcValues:
    case c::kUseBigPieces:
      return desk_.ToggleFlag(id);
    case c::kListUnits:
      return host_.questions.ShowUnitList(BuildUnitList(position()));
    case c::kDel:
      return editing_.EnterDeleteMode();
    case c::kEsc:
      return editing_.CancelCarry();
    case c::kUndo:
      return editing_.Undo();
    case c::kRedo:
      return editing_.Redo();
    case c::kZoomIn:
      view_.ZoomIn();
      return;
    case c::kZoomOut:
      view_.ZoomOut();
      return;
    case c::kActualSize:
      view_.ResetZoom();
      return;
    case c::kCompareWith:
      return overlays_.ChooseComparison();
    case c::kCompareWithSaved:
      return overlays_.CompareWithSaved();
    case c::kRecordTurn:
      return games_.RecordTurn();
    case c::kOpenGame:
      return games_.OpenGame();
    case c::kTakeTurns:
      if (const auto chosen = host_.files.ChooseGameFile(false)) games_.TakeTurnsFrom(*chosen);
      return;
    case c::kPreviousTurn:
      return games_.StepTurn(-1);
    case c::kNextTurn:
      return games_.StepTurn(1);
    case c::kHistory:
      return games_.turns().Toggle();
    case c::kTrends:
      return games_.turns().OpenTrends();
    case c::kCheckMap:
      return overlays_.CheckMap();
    case c::kReloadMap:
      return overlays_.ReloadMap();
    case c::kShowSectors:
      return overlays_.ToggleSectors();
    case c::kLanguageDesktop:
    case c::kLanguageEnglish:
    case c::kLanguageGerman:
      return desk_.ChooseLanguage(id);
    case c::kGrabToScroll:
    case c::kPiecesFollowZoom:
      return desk_.TogglePreference(id);
    case c::kRemoveMissingRecent:
      return desk_.RemoveMissingRecent();
    case c::kFindSector:
      return host_.tools.ShowFindSector();
    case c::kReplayMoves:
      return playback_.Start();
    case c::kPreviousMove:
      return playback_.Step(-1);
    case c::kNextMove:
      return playback_.Step(1);
    default:
      if (id >= c::kFirstMap && id <= c::kLastMap) board_.NewMap(id);
      if (id >= c::kFirstRecent && id <= c::kLastRecent)
        desk_.OpenRecent(static_cast<size_t>(id - c::kFirstRecent));
  }
}

void Viewer::MousePress(MouseButton button, QPoint client, unsigned modifiers) {
  games_.FinishShowing();
  if (button != MouseButton::kRight && playback_.RefuseEdit()) return;
  editing_.MousePress(button, client, modifiers);
}

void Viewer::MouseRelease(MouseButton button, QPoint client) {
  editing_.MouseRelease(button, client);
}

void Viewer::MouseMove(QPoint client) { editing_.MouseMove(client); }

void Viewer::KeyPress(Key key, unsigned modifiers) {
  games_.FinishShowing();
  // The keyboard board's buttons edit; its crosshair and palette keys only look.
  if ((key == Key::kEnter || key == Key::kDelete) && playback_.RefuseEdit()) return;
  editing_.KeyPress(key, modifiers);
}

void Viewer::KeyRelease(Key key, unsigned modifiers) {
  if (playback_.active() && modifiers == kNoModifiers) {
    if (key == Key::kEscape) return playback_.Leave();
    if (key == Key::kSpace) return playback_.TogglePlay();
  }
  editing_.KeyRelease(key, modifiers);
}

void Viewer::Wheel(QPoint client, QPoint pixels, bool zoom) {
  editing_.Wheel(client, pixels, zoom);
}

void Viewer::SayGridCutShort() {
  const std::shared_ptr<const SectorGrid>& grid = board_.position().sharedGrid();
  if (!grid || !grid->cutShort() || cutShortSaid_.lock() == grid) return;
  cutShortSaid_ = grid;
  host_.questions.ShowError(
      Tr("Viewer",
         "Another program cut the sector grid of the map %1 short while it is shown: the cells it "
         "lost read as no sector, and the sectors and totals shown no longer hold.\n\nSave the "
         "position, then reload the map.")
          .arg(board_.map().packageName));
}

void Viewer::BoardChanged(const BoardChange& change) {
  SayGridCutShort();
  editing_.UpdateHint();
  if (change.totals) {
    board_.TotalsChanged();
    host_.tools.InvalidateInfoView();
  }
  editing_.BoardChanged();
  if (change.everywhere) {
    view_.RedrawMapRegion();
    host_.surface.InvalidateMap(QRect());
  } else {
    for (const Unit& unit : change.units) view_.RedrawUnitArea(unit);
  }
  for (const LabelPoint& label : change.labels) view_.RedrawLabelArea(label);
  // A label point moved may move its sector's text anywhere.
  if (overlays_.sectorLayer().shown() && !change.labels.empty()) {
    view_.RedrawMapRegion();
    host_.surface.InvalidateMap(QRect());
  }
  // The comparison follows the board.
  if (change.everywhere || !change.units.empty() || change.totals) overlays_.BoardChanged();
}

}  // namespace mw
