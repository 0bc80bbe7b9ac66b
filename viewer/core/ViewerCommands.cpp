// The menu commands of the main window.
#include "FileBytes.h"
#include "PackagePaths.h"
#include "PositionFile.h"
#include "Reports.h"
#include "Viewer.h"

namespace mw {

bool Viewer::ConfirmDiscard() {
  return ConfirmUnsaved("Load new Map without saving changes?") &&
         ConfirmLabelsLost("Load new Map");
}

bool Viewer::ConfirmUnsaved(const std::string& question) {
  if (!position_.dirty()) return true;
  switch (host_.questions.AskDiscard(question, "Exit Marrowind")) {
    case Questions::DiscardAnswer::kDiscard:
      return true;
    case Questions::DiscardAnswer::kCancel:
      return false;
    case Questions::DiscardAnswer::kSave:
      // Saved, the board goes on; a save dialog cancelled or a failed save keeps it here.
      Save();
      return !position_.dirty();
  }
  return false;
}

// Label points moved in the map live only in memory until S exports them.
bool Viewer::ConfirmLabelsLost(const std::string& action) {
  return !position_.labelsMoved() ||
         host_.questions.Confirm("The moved label points are not exported yet (key S). " + action +
                                     " without exporting them?",
                                 "Exit Marrowind");
}

void Viewer::Command(int id) {
  switch (id) {
    case command::kOpen:
      return Open();
    case command::kSave:
      return Save();
    case command::kSaveAs:
      return SaveAs();
    case command::kAbout:
      return host_.tools.ShowAbout();
    case command::kToolBar:
      return ToggleToolWindow(ToolWindow::kPalette, id, document_.toolBarShown);
    case command::kInfoView:
      return ToggleToolWindow(ToolWindow::kInfoView, id, document_.infoViewShown);
    case command::kIpcValues:
    case command::kUseBigPieces:
      return ToggleFlag(id);
    case command::kListUnits:
      return host_.questions.ShowUnitList(BuildUnitList(position_));
    case command::kDel:
      return EnterDeleteMode();
    case command::kEsc:
      return CancelCarryCommand();
    case command::kUndo:
      return Undo();
    case command::kRedo:
      return Redo();
    case command::kZoomIn:
      view_.ZoomIn();
      return;
    case command::kZoomOut:
      view_.ZoomOut();
      return;
    case command::kActualSize:
      view_.ResetZoom();
      return;
    case command::kCompareWith:
      return ChooseComparison();
    case command::kCompareWithSaved:
      return CompareWithSaved();
    case command::kRecordTurn:
      return RecordTurn();
    case command::kOpenGame:
      return OpenGame();
    case command::kTakeTurns:
      if (const auto chosen = host_.files.ChooseGameFile(false)) TakeTurnsFrom(*chosen);
      return;
    case command::kPreviousTurn:
      return StepTurn(-1);
    case command::kNextTurn:
      return StepTurn(1);
    case command::kHistory:
      return ToggleHistory();
    case command::kTrends:
      return OpenTrends();
    case command::kCheckMap:
      return CheckMap();
    case command::kReloadMap:
      return ReloadMap();
    case command::kShowSectors:
      return ToggleSectors();
    case command::kGrabToScroll:
    case command::kPiecesFollowZoom:
      return TogglePreference(id);
    case command::kRemoveMissingRecent:
      return RemoveMissingRecent();
    case command::kFindSector:
      return host_.tools.ShowFindSector();
    default:
      if (id >= command::kFirstMap && id <= command::kLastMap) NewMap(id);
      if (id >= command::kFirstRecent && id <= command::kLastRecent)
        OpenRecent(static_cast<size_t>(id - command::kFirstRecent));
  }
}

namespace {

std::vector<std::string> FindingLines(const Result<PackageReport>& report) {
  std::vector<std::string> lines;
  if (!report) return {report.error()};
  for (const Finding& f : report->findings) lines.push_back(f.Line());
  return lines;
}

}  // namespace

void Viewer::CheckMap() {
  const auto report = CheckPackage(PackageFolder(map_.packageName));
  seenFindings_ = FindingLines(report);
  host_.tools.ShowPackageCheck(map_.packageName, report);
}

void Viewer::ReloadMap() {
  if (!ConfirmLabelsLost("Reload the map")) return;
  const ViewState before = view_.state();
  // The comparison's older position takes the new map too.
  std::unique_ptr<Position> older;
  std::string compared;
  if (comparison_) {
    compared = comparison_->file();
    older = comparison_->TakeOlder();
  }
  LoadMapPackage(map_.packageName);
  view_.RestoreView(before.zoom, QPoint(before.scrollX, before.scrollY));
  host_.surface.InvalidateMap(QRect());
  if (older) {
    TakeMapOf(*older, position_);
    CompareWithPosition(std::move(older), compared);
  }
  KeepRecoveryCopy();
  const auto report = CheckPackage(PackageFolder(map_.packageName));
  const std::vector<std::string> lines = FindingLines(report);
  size_t fresh = 0;
  for (const std::string& line : lines)
    if (std::find(seenFindings_.begin(), seenFindings_.end(), line) == seenFindings_.end()) ++fresh;
  host_.surface.ShowStatus(
      StatusField::kMessage,
      "Reloaded the map " + map_.packageName + ": " +
          (lines.empty()
               ? std::string("the check finds nothing")
               : std::to_string(lines.size()) + (lines.size() == 1 ? " finding, " : " findings, ") +
                     std::to_string(fresh) + " new"));
  if (fresh == 0) return;
  seenFindings_ = lines;
  host_.tools.ShowPackageCheck(map_.packageName, report);
}

void Viewer::TogglePreference(int id) {
  Preferences& p = preferences_;
  const bool on = id == command::kGrabToScroll ? (p.grabToScroll = !p.grabToScroll)
                                               : (p.piecesFollowZoom = !p.piecesFollowZoom);
  host_.menus.SetMenuCheck(id, on);
  view_.SetGrabToScroll(p.grabToScroll);
  if (id == command::kPiecesFollowZoom) {
    view_.RedrawMapRegion();
    host_.surface.InvalidateMap(QRect());
  }
  SavePreferences();
}

void Viewer::SavePreferences() {
  if (!keepPreferences_) return;
  if (Status saved = preferences_.Save(preferencesPath()); !saved)
    host_.surface.ShowStatus(StatusField::kMessage, saved.error());
}

std::string Viewer::MapTitle() const {
  for (const CatalogueEntry& e : document_.catalogue)
    if (e.packageName == map_.packageName) return e.title;
  return map_.packageName;
}

void Viewer::RememberFile(const std::string& path) {
  if (!keepPreferences_) return;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  preferences_.Remember(error ? path : absolute.lexically_normal().string(), MapTitle());
  SavePreferences();
  PublishRecent();
}

void Viewer::PublishRecent() {
  std::vector<Menus::RecentEntry> entries;
  for (const RecentFile& f : preferences_.recent) {
    std::error_code error;
    entries.push_back({f.path, f.mapTitle, std::filesystem::is_regular_file(f.path, error)});
  }
  host_.menus.SetRecent(entries);
}

void Viewer::OpenRecent(size_t index) {
  if (index >= preferences_.recent.size()) return;
  const std::string path = preferences_.recent[index].path;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    host_.surface.ShowStatus(StatusField::kMessage, path + " is gone");
    return PublishRecent();
  }
  if (!IsDatabaseFile(path)) return OpenFile(path);
  if (ConfirmDiscard()) OpenGameFile(path, true);
}

void Viewer::RemoveMissingRecent() {
  std::erase_if(preferences_.recent, [](const RecentFile& f) {
    std::error_code error;
    return !std::filesystem::is_regular_file(f.path, error);
  });
  SavePreferences();
  PublishRecent();
}

void Viewer::ToggleSectors() {
  sectorLayer_.Show(!sectorLayer_.shown());
  if (sectorLayer_.shown()) KnowSectorBoxes();
  host_.menus.SetMenuCheck(command::kShowSectors, sectorLayer_.shown());
  view_.RedrawMapRegion();
  host_.surface.InvalidateMap(QRect());
}

const std::vector<QRect>& Viewer::KnowSectorBoxes() {
  if (sectorBoxes_.empty() && position_.grid()) sectorBoxes_ = SectorBoxes(*position_.grid());
  return sectorBoxes_;
}

void Viewer::Save() {
  if (document_.currentFile.empty()) return SaveAs();
  SaveTo(document_.currentFile);
}

void Viewer::SaveAs() {
  const bool proposeNative = position_.mapName() != kDefaultMapName;
  const auto chosen = host_.files.ChooseSaveFile(proposeNative);
  if (!chosen) return;
  document_.currentFile = *chosen;
  SaveTo(*chosen);
}

// Saving must not lose what the user did not mean to give up: the map of a position saved where
// the format names none, or a file that a recovered position only claims to belong to.
bool Viewer::ConfirmSaveTarget(const std::string& path) {
  const std::string map = position_.mapName();
  if (IsTessWinMapPath(path) && map != kDefaultMapName &&
      !host_.questions.Confirm("A .MAP file names no map: this position of the map " + map +
                                   " would open on the map " + std::string(kDefaultMapName) +
                                   ". Save it as .MAP all the same?",
                               "Save position"))
    return false;
  return !document_.restoredFile || path != document_.currentFile || HoldsPosition(path) ||
         host_.questions.Confirm(path + " holds no position. Replace it with this position?",
                                 "Save position");
}

void Viewer::SaveTo(const std::string& path) {
  if (!ConfirmSaveTarget(path)) return;
  // Pieces in the hand belong to the board that is saved: they go back to their unit first.
  if (editing_.mouseMode == ModeCarry) SetMode(ModeIdle);
  position_.CancelCarry();
  if (auto saved = SavePosition(position_, path); !saved) {
    ++failures_;
    host_.surface.ShowStatus(StatusField::kMessage,
                             "Could not save " + path + ": " + saved.error());
    host_.questions.ShowError("The position could not be saved to " + path + ".\n" + saved.error());
    return;
  }
  host_.surface.ShowStatus(StatusField::kMessage, "Saved " + path);
  document_.restoredFile = false;
  // The file holds the board whole now, whatever the one it was read from lacked.
  document_.origin.cut.reset();
  RememberFile(path);
  KeepRecoveryCopy();
}

void Viewer::ToggleToolWindow(ToolWindow which, int id, bool& shown) {
  shown = !shown;
  host_.menus.SetMenuCheck(id, shown);
  host_.tools.ShowToolWindow(which, shown);
}

void Viewer::ToolWindowClosed(ToolWindow which) {
  const bool palette = which == ToolWindow::kPalette;
  (palette ? document_.toolBarShown : document_.infoViewShown) = false;
  host_.menus.SetMenuCheck(palette ? command::kToolBar : command::kInfoView, false);
}

void Viewer::ToggleFlag(int id) {
  Settings& s = settings_;
  bool on;
  if (id == command::kIpcValues) {
    s.setShowIpcValues(on = !s.showIpcValues());
  } else {
    s.setUseBigPieces(on = !s.useBigPieces());
  }
  host_.menus.SetMenuCheck(id, on);
  view_.RedrawMapRegion();
  host_.surface.InvalidateMap(QRect());
}

}  // namespace mw
