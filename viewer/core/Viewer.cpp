#include "Viewer.h"

#include <QPainter>

#include "FileBytes.h"
#include "LargeMemory.h"
#include "NamedPosition.h"
#include "PackagePaths.h"
#include "Picture.h"
#include "PositionFile.h"

namespace mw {
namespace {

// The window shows no message while a package loads; what a file lacks goes to standard error.
template <class T>
std::optional<T> ValueOrWarn(Result<T> result) {
  if (result) return std::move(result.value());
  qWarning("%s", result.error().c_str());
  return std::nullopt;
}

QImage PictureOrNone(const std::filesystem::path& path) {
  return ValueOrWarn(LoadPicture(path)).value_or(QImage());
}

std::string Unquoted(const std::string& s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

}  // namespace

Viewer::Viewer(Host host, std::filesystem::path programDir)
    : host_(host), startup_{programDir, MapFolders(programDir), {}}, view_(host, *this) {
  KeepFreedHeapMemory();
  // No settings file is the first start: the tool windows have no places yet.
  document_.toolWindowsPlaced = settings_.Load(settingsPath()).ok();
  preferences_ = Preferences::Load(preferencesPath());
  view_.SetGrabToScroll(preferences_.grabToScroll);
  position_.SetObserver(this);
  view_.AddLayer(sectorLayer_);
  view_.AddLayer(changesLayer_);
  view_.AddOverlay(floatingPiece_);
  view_.AddOverlay(outline_);
  view_.AddOverlay(crosshair_);
  view_.AddOverlay(marker_);
}

Viewer::~Viewer() { position_.SetObserver(nullptr); }

Status Viewer::Start(const std::string& commandLine) {
  std::vector<std::string> leftOut;
  document_.catalogue = BuildMapCatalogue(startup_.mapFolders, &leftOut);
  if (!leftOut.empty()) {
    std::string names;
    for (const auto& name : leftOut) names += (names.empty() ? "" : ", ") + name;
    qWarning("more than %d map packages; not on the \"&New\" menu: %s", kMaxCatalogued,
             names.c_str());
  }
  host_.menus.SetCatalogue(document_.catalogue);
  host_.menus.SetMenuCheck(command::kIpcValues, settings_.showIpcValues());
  host_.menus.SetMenuCheck(command::kUseBigPieces, settings_.useBigPieces());
  host_.menus.SetMenuCheck(command::kGrabToScroll, preferences_.grabToScroll);
  host_.menus.SetMenuCheck(command::kPiecesFollowZoom, preferences_.piecesFollowZoom);
  PublishRecent();

  const std::string start =
      FindEntryIgnoringCase(PackageFolder(kDefaultMapName), package_file::kStartPosition).string();
  const std::string path = Unquoted(commandLine);
  Status opened = Status::Ok();
  const auto turn = GameTurnOf(path);
  if (!path.empty() && (turn || IsDatabaseFile(path))) {
    // A game named opens at its last turn, or at the turn GAME:N names; one that is refused is
    // said before the start position appears in its place.
    opened = OpenGameAt(turn ? turn->first : path, turn ? turn->second : 0);
    if (!opened) ReportFailure("open " + path, opened.error());
  } else if (!path.empty()) {
    // What cannot be read leaves the default start position on the board.
    if (auto loaded = LoadPosition(position_, start); !loaded)
      qWarning("%s", loaded.error().c_str());
    opened = PutBoard(BoardSource::File(path));
  }
  if (path.empty() || (!opened && map_.packageName.empty())) PutBoard(BoardSource::Start(start));
  if (recovery_) {
    OfferRecovery();
    KeepRecoveryCopy();
  }
  OfferHint();
  return opened;
}

void Viewer::EnableRecovery(std::filesystem::path folder) { recovery_.emplace(std::move(folder)); }

// What a copy holds, in words: the map its header names and the file it belongs to.
std::string Viewer::RecoveryQuestion(const RecoveryCopy& copy) const {
  std::string map = "an unknown map";
  if (auto bytes = ReadFileBytes(copy.position, PositionHeader::kSize)) {
    PositionHeader header;
    std::copy(bytes->begin(), bytes->end(), header.bytes().begin());
    if (header.hasMagic()) map = "the map " + header.mapName();
  }
  const std::string file =
      copy.currentFile.empty() ? "a position never saved" : "the position file " + copy.currentFile;
  return "Restore the unsaved position of " + map + " (" + file + ") from " + copy.writtenAt + "?";
}

void Viewer::OfferRecovery() {
  // Each copy is claimed before it is offered, so that two programs never offer the same one;
  // each is offered once, newest first, until one is restored. The others wait for the next
  // start, and the status bar says so.
  std::vector<ClaimedCopy> copies = recovery_->ClaimOrphans();
  for (size_t i = 0; i < copies.size(); ++i) {
    const RecoveryCopy& copy = *copies[i];
    if (!host_.questions.Confirm(RecoveryQuestion(copy), "Restore position")) {
      RecoveryStore::Remove(copy);
      continue;
    }
    if (Status put = PutBoard(BoardSource::Recovery(copy.position.string(), copy.currentFile));
        !put) {
      // A copy that cannot be read is kept for the user to look at; the next one may do.
      qWarning("%s", put.error().c_str());
      continue;
    }
    // The copy becomes this program's own before the old one goes, so that no moment is without.
    if (recovery_->Claim() &&
        recovery_->Write(EncodePosition(position_, false), copy.currentFile) && recovery_->Wait())
      RecoveryStore::Remove(copy);
    copied_ = position_.revision();
    if (const size_t left = copies.size() - i - 1; left > 0)
      host_.surface.ShowStatus(
          StatusField::kMessage,
          std::to_string(left) +
              (left == 1 ? " more unsaved position waits" : " more unsaved positions wait") +
              " in " + recovery_->folder().string() + "; it is offered at the next start");
    return;
  }
}

void Viewer::KeepRecoveryCopy() {
  if (!recovery_) return;
  HearFromRecovery();
  if (!recovery_->claimed()) {
    // A folder that cannot be used is said once; the user may mend it while the program runs.
    if (Status claimed = recovery_->Claim(); !claimed) {
      if (!recoveryFailing_)
        host_.surface.ShowStatus(StatusField::kMessage,
                                 "Unsaved work is not being protected: " + claimed.error());
      recoveryFailing_ = true;
      return;
    }
  }
  if (!position_.dirty()) {
    if (recovery_->hasCopy()) recovery_->Discard();
    return;
  }
  // Pieces in the hand are out of the list: the copy waits for them to be put down.
  if (position_.carrying() || (recovery_->hasCopy() && copied_ == position_.revision())) return;
  const uint64_t revision = position_.revision();
  if (recovery_->Write(EncodePosition(position_, false), document_.currentFile))
    writing_ = revision;
}

// The copy counts as written only once the write has ended well; one that failed is tried again
// at the next tick, and the status bar says when copies fail and when they work again.
void Viewer::HearFromRecovery() {
  const std::optional<Status> done = recovery_->Finished();
  if (!done) return;
  if (*done) {
    copied_ = writing_;
    if (recoveryFailing_)
      host_.surface.ShowStatus(StatusField::kMessage, "Unsaved work is protected again");
    recoveryFailing_ = false;
    return;
  }
  if (!recoveryFailing_)
    host_.surface.ShowStatus(
        StatusField::kMessage,
        "Unsaved work is not being protected: the recovery copy could not be written: " +
            done->error());
  recoveryFailing_ = true;
  copied_ = 0;
}

bool Viewer::Close() {
  if (!ConfirmUnsaved("Exit Marrowind without saving changes?")) return false;
  if (!ConfirmLabelsLost("Exit")) return false;
  StoreToolWindowPositions();
  // What was not saved was given up on purpose.
  if (recovery_) recovery_->Discard();
  // The program ends either way; the settings of this session are then lost, and said so.
  std::error_code error;
  std::filesystem::create_directories(settingsPath().parent_path(), error);
  if (auto saved = settings_.Save(settingsPath()); !saved) qWarning("%s", saved.error().c_str());
  return true;
}

void Viewer::StoreToolWindowPositions() {
  const auto palette = host_.tools.ToolWindowPosition(ToolWindow::kPalette);
  const auto infoView = host_.tools.ToolWindowPosition(ToolWindow::kInfoView);
  if (palette) settings_.setPalette(palette->x(), palette->y());
  if (infoView) settings_.setInfoView(infoView->x(), infoView->y());
  if (palette && infoView) document_.toolWindowsPlaced = true;
}

void Viewer::RebuildToolWindows() {
  StoreToolWindowPositions();
  const Settings& s = settings_;
  // On the very first start both would stand at (0, 0), over each other and the menu bar.
  auto at = [&](int x, int y) {
    return document_.toolWindowsPlaced ? std::optional<QPoint>(QPoint(x, y)) : std::nullopt;
  };
  host_.tools.RecreateToolWindow(ToolWindow::kPalette, at(s.paletteX(), s.paletteY()),
                                 document_.toolBarShown);
  host_.tools.RecreateToolWindow(ToolWindow::kInfoView, at(s.infoViewX(), s.infoViewY()),
                                 document_.infoViewShown);
}

void Viewer::LoadPieces(const std::filesystem::path& dir) {
  map_.piecesPicture = QImage();
  map_.bigPiecesPicture = QImage();
  history_.colours.clear();  // taken from the pieces picture
  const auto big = FindEntryIgnoringCase(dir, package_file::kBigPieces);
  // Without big pieces the small ones serve; that is no fault of the package.
  std::error_code error;
  if (settings_.useBigPieces() && std::filesystem::exists(big, error)) {
    map_.piecesPicture = PictureOrNone(big);
    map_.UseBigMetrics();
  }
  if (map_.piecesPicture.isNull()) {
    map_.piecesPicture = PictureOrNone(FindEntryIgnoringCase(dir, package_file::kSmallPieces));
    map_.UseSmallMetrics();
    if (std::filesystem::is_regular_file(big, error)) map_.bigPiecesPicture = PictureOrNone(big);
  }
}

void Viewer::LoadMapPackage(const std::string& mapName) {
  // The older position was given the map loaded before.
  EndComparison();
  host_.surface.BeginWait();
  view_.ResetForLoad();
  view_.ForgetHover();
  pointerText_.clear();
  host_.surface.ShowStatus(StatusField::kPointer, {});
  map_.packageName = mapName;
  const std::filesystem::path dir = PackageFolder(mapName);
  auto file = [&](std::string_view name) { return FindEntryIgnoringCase(dir, name); };

  const auto info = ValueOrWarn(ReadMapInfo(file(package_file::kMapInfo)));
  position_.SetAlliances(info ? info->alliances : AllianceTable{});
  position_.SetCountryNames(info ? info->countryNames : CountryNames{});
  map_.mapPicture = PictureOrNone(file(package_file::kMapPicture));
  view_.RebuildScaledPicture();

  position_.SetSectorGrid(std::nullopt);
  sectorBoxes_.clear();
  if (auto grid = ValueOrWarn(ReadSectorGrid(file(package_file::kSectorGrid)))) {
    position_.SetSectorGrid(std::move(*grid));
    if (auto table = ValueOrWarn(ReadSectorTable(file(package_file::kSectorTable))))
      position_.SetSectorTable(std::move(*table));
  }
  if (sectorLayer_.shown()) KnowSectorBoxes();
  position_.SetPieceTable(
      ValueOrWarn(ReadPieceTable(file(package_file::kPieceTable))).value_or(PieceTable()));
  LoadPieces(dir);

  RebuildToolWindows();
  host_.tools.InvalidateInfoView();
  host_.surface.EndWait();
  host_.surface.SetCursor(cursor());

  view_.RedrawMapRegion();
  position_.SettleOnMap();
}

Status Viewer::ExportSectorTable() {
  const auto path =
      FindEntryIgnoringCase(PackageFolder(map_.packageName), package_file::kSectorTableExport);
  const SectorTable* table = position_.sectorTable();
  const std::vector<uint8_t> bytes = table ? table->SerializeNamed() : std::vector<uint8_t>();
  Status written = WriteFileAtomically(path, bytes);
  if (written) position_.MarkLabelsExported();
  return written;
}

void Viewer::BoardChanged(const BoardChange& change) {
  UpdateHint();
  if (change.totals) {
    incomes_.reset();
    host_.tools.InvalidateInfoView();
  }
  if (change.everywhere) {
    view_.RedrawMapRegion();
    host_.surface.InvalidateMap(QRect());
  } else {
    for (const Unit& unit : change.units) view_.RedrawUnitArea(unit);
  }
  for (const LabelPoint& label : change.labels) view_.RedrawLabelArea(label);
  // A label point moved may move its sector's text anywhere.
  if (sectorLayer_.shown() && !change.labels.empty()) {
    view_.RedrawMapRegion();
    host_.surface.InvalidateMap(QRect());
  }
  // The comparison follows the board.
  if (comparison_ && (change.everywhere || !change.units.empty() || change.totals))
    ShowComparison();
}

void Viewer::OfferHint() {
  if (!keepPreferences_ || document_.origin.kind != BoardOrigin::Kind::kStart ||
      position_.dirty() || editing_.mouseMode != ModeIdle)
    return;
  hintShown_ = true;
  host_.surface.ShowStatus(StatusField::kMessage, kFirstHint);
}

void Viewer::UpdateHint() {
  if (!hintShown_) return;
  // A file or a game opened, or a file saved, has said so in the same place.
  if (!document_.currentFile.empty() || document_.origin.kind != BoardOrigin::Kind::kStart) {
    hintShown_ = false;
  } else if (position_.dirty() || editing_.mouseMode != ModeIdle) {
    hintShown_ = false;
    host_.surface.ShowStatus(StatusField::kMessage, {});
  }
}

CursorKind Viewer::cursor() const {
  return editing_.mouseMode == ModeDelete ? CursorKind::kCross : CursorKind::kArrow;
}

}  // namespace mw
