// SPDX-License-Identifier: GPL-3.0-or-later
// The board document: reading a board and its map, and exporting the sector table.
#include "Board.h"

#include <QtGlobal>

#include "FileBytes.h"
#include "Locations.h"
#include "PackagePaths.h"
#include "Picture.h"
#include "Texts.h"
#include "Viewer.h"

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

}  // namespace

BoardSource BoardSource::Start(std::string path, std::string package) {
  BoardSource s;
  s.path = std::move(path);
  s.package = std::move(package);
  return s;
}

BoardSource BoardSource::File(std::string path) {
  BoardSource s = Start(std::move(path));
  s.kind = BoardOrigin::Kind::kFile;
  return s;
}

BoardSource BoardSource::Turn(std::string game, std::vector<uint8_t> bytes, int64_t turn) {
  BoardSource s = Start(std::move(game));
  s.kind = BoardOrigin::Kind::kTurn;
  s.bytes = std::move(bytes);
  s.turn = turn;
  return s;
}

BoardSource BoardSource::Recovery(std::string copy, std::string currentFile) {
  BoardSource s = Start(std::move(copy));
  s.kind = BoardOrigin::Kind::kRecovery;
  s.currentFile = std::move(currentFile);
  return s;
}

const SectorIncomes& Board::Incomes() const {
  if (!incomes_) incomes_ = position_.SectorIncomeBreakdown();
  return *incomes_;
}

std::filesystem::path Board::PackageFolder(std::string_view mapName) const {
  return FindPackage(v_.startup().mapFolders, mapName);
}

std::string Board::MapTitle() const {
  for (const CatalogueEntry& e : document_.catalogue)
    if (e.packageName == map_.packageName) return e.title;
  return map_.packageName;
}

void Board::LoadPieces(const std::filesystem::path& dir) {
  map_.piecesPicture = QImage();
  map_.bigPiecesPicture = QImage();
  v_.games().PiecesChanged();  // the countries' colours are taken from the pieces picture
  const auto big = FindEntryIgnoringCase(dir, package_file::kBigPieces);
  std::error_code error;
  // Without big pieces the small ones serve; that is no fault of the package.
  if (v_.desk().settings().useBigPieces() && std::filesystem::exists(big, error)) {
    map_.piecesPicture = PictureOrNone(big);
    map_.UseBigMetrics();
  }
  if (map_.piecesPicture.isNull()) {
    map_.piecesPicture = PictureOrNone(FindEntryIgnoringCase(dir, package_file::kSmallPieces));
    map_.UseSmallMetrics();
    if (std::filesystem::is_regular_file(big, error)) map_.bigPiecesPicture = PictureOrNone(big);
  }
}

void Board::LoadMapPackage(const std::string& mapName) {
  const Host& host = v_.host();
  // The older position was given the map loaded before.
  v_.overlays().EndComparison();
  host.surface.BeginWait();
  v_.view().ResetForLoad();
  v_.view().ForgetHover();
  v_.editing().ForgetPointer();
  map_.packageName = mapName;
  const std::filesystem::path dir = PackageFolder(mapName);
  auto file = [&](std::string_view name) { return FindEntryIgnoringCase(dir, name); };

  const auto info = ValueOrWarn(ReadMapInfo(file(package_file::kMapInfo)));
  position_.SetAlliances(info ? info->alliances : AllianceTable{});
  position_.SetCountryNames(info ? info->countryNames : CountryNames{});
  map_.mapPicture =
      pictures_
          ? ValueOrWarn(MapPicture::Load(file(package_file::kMapPicture))).value_or(MapPicture())
          : MapPicture();
  if (pictures_) v_.view().RebuildScaledPicture();

  // The new grid is read before the old one goes: a grid file read again unchanged shares the
  // old one's mapping and the pages of it already mapped.
  auto grid = ValueOrWarn(ReadSectorGrid(file(package_file::kSectorGrid)));
  // A grid that shares the mapping of the one in use is that grid: it stays, and what was worked
  // out from it (its digest, the boxes of its sectors) with it.
  const SectorGrid* now = position_.grid();
  const bool same = grid && now && grid->mapped() && now->mapped() &&
                    grid->cells().data() == now->cells().data() && grid->width() == now->width() &&
                    grid->height() == now->height();
  if (same)
    position_.SetSectorTable(std::nullopt);
  else
    position_.SetSectorGrid(std::move(grid));
  if (position_.grid()) {
    if (auto table = ValueOrWarn(ReadSectorTable(file(package_file::kSectorTable))))
      position_.SetSectorTable(std::move(*table));
  }
  v_.overlays().MapLoaded();
  position_.SetPieceTable(
      ValueOrWarn(ReadPieceTable(file(package_file::kPieceTable))).value_or(PieceTable()));
  if (pictures_) LoadPieces(dir);

  v_.desk().RebuildToolWindows();
  host.tools.InvalidateInfoView();
  host.surface.EndWait();
  host.surface.SetCursor(v_.editing().cursor());

  if (pictures_) v_.view().RedrawMapRegion();
  position_.SettleOnMap();
}

Status Board::ReadFile(const std::string& path, BoardOrigin& origin) {
  auto file = ReadFileBytes(path);
  if (file && BeginsAsDatabase(*file))
    return Status::Fail(Tr("Board", "%1: is a game file, not a position file").arg(path));
  if (!file) return Status::Fail(file.error());
  const std::vector<uint8_t>& bytes = *file;
  LoadPositionBytes(position_, bytes);
  if (const PositionExtent extent = ExtentOf(bytes); !extent.whole()) origin.cut = extent;
  // A position file that holds a turn of the open game byte for byte is that turn.
  if (const GameFile* game = v_.games().game()) {
    const bool native = bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'F';
    const auto turn = game->TurnHolding(native ? bytes : EncodePosition(position_, false));
    if (turn && *turn) origin.turn = **turn;
  }
  return Status::Ok();
}

Status Board::Put(const BoardSource& source) {
  using Kind = BoardOrigin::Kind;
  BoardOrigin origin{source.kind, source.path, 0, std::nullopt};
  Status read = Status::Ok();
  switch (source.kind) {
    case Kind::kStart:
      // Without a start position the new game starts empty.
      if (Status loaded = LoadPosition(position_, source.path); !loaded)
        qWarning("%s", loaded.error().c_str());
      break;
    case Kind::kFile:
      read = ReadFile(source.path, origin);
      break;
    case Kind::kTurn:
      LoadPositionBytes(position_, source.bytes);
      origin.turn = source.turn;
      break;
    case Kind::kRecovery:
      if (Status loaded = LoadPosition(position_, source.path); !loaded) return loaded;
      break;
  }
  // A turn of the map on show keeps the map and the view: only the units and what follows from
  // them change. Any other board loads its map again, as a position file's load always has.
  if (source.kind == Kind::kTurn && EqualsIgnoringCase(map_.packageName, position_.mapName())) {
    SettleOnMapShown();
  } else {
    LoadMapPackage(source.kind == Kind::kStart && !source.package.empty() ? source.package
                                                                          : position_.mapName());
  }
  v_.host().surface.InvalidateMap(QRect());
  if (!read) {
    // The board stays as it was; no file is current, so that a later Save cannot write this
    // position over the file that failed.
    document_.currentFile.clear();
    ReportFailure({Failure::Action::kOpen, source.path, read.error()});
    return read;
  }
  if (source.kind == Kind::kRecovery)
    position_.MarkUnsaved();
  else
    position_.MarkClean();
  document_.currentFile = source.kind == Kind::kFile       ? source.path
                          : source.kind == Kind::kRecovery ? source.currentFile
                                                           : std::string();
  document_.restoredFile = source.kind == Kind::kRecovery && !source.currentFile.empty();
  document_.origin = std::move(origin);
  // A board of a game's turn is where its moves start; a copy's come with it, where it kept them.
  journalTurn_.reset();
  journalKept_.clear();
  if (source.kind != Kind::kRecovery && document_.origin.turn != 0)
    StartJournal(document_.origin.turn);
  return read;
}

void Board::SettleOnMapShown() {
  position_.SettleOnMap();
  v_.view().RedrawMapRegion();
  v_.host().tools.InvalidateInfoView();
}

void Board::ShowUnits(std::span<const uint8_t> bytes) {
  LoadPositionBytes(position_, bytes);
  SettleOnMapShown();
  v_.host().surface.InvalidateMap(QRect());
  journalTurn_.reset();
  journalKept_.clear();
  if (document_.origin.turn != 0) StartJournal(document_.origin.turn);
}

void Board::StartJournal(int64_t turn) {
  journalTurn_ = turn;
  journalFrom_ = position_.undoDepth();
  journalKept_.clear();
}

void Board::RestoreJournal(int64_t turn, std::vector<UndoEntry> moves) {
  StartJournal(turn);
  journalKept_ = std::move(moves);
  document_.origin.turn = turn;
}

std::optional<Board::Journal> Board::MovesSinceTurn() const {
  const size_t depth = position_.undoDepth();
  if (!journalTurn_ || depth < journalFrom_) return std::nullopt;
  Journal journal{*journalTurn_, journalKept_};
  journal.moves.reserve(journalKept_.size() + depth - journalFrom_);
  for (size_t i = journalFrom_; i < depth; ++i)
    journal.moves.push_back(position_.undoEntry(depth - 1 - i));
  return journal;
}

Result<std::filesystem::path> Board::ExportSectorTable() {
  using R = Result<std::filesystem::path>;
  const auto folder = ExportFolder(v_.startup().programDir, PackageFolder(map_.packageName));
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return R::Fail(folder.string() + ": cannot be made: " + error.message());
  const auto path = FindEntryIgnoringCase(folder, package_file::kSectorTableExport);
  const SectorTable* table = position_.sectorTable();
  const std::vector<uint8_t> bytes = table ? table->SerializeNamed() : std::vector<uint8_t>();
  if (Status written = WriteFileAtomically(path, bytes); !written) return R::Fail(written.error());
  position_.MarkLabelsExported();
  return R::Ok(path);
}

void Board::ReportFailure(Failure failure) {
  ++failures_;
  v_.host().surface.ReportFailure(failure);
}

}  // namespace mw
