// Where the board comes from: the one path that puts a board on the screen, and the commands
// that choose what it puts there ("&New", "&Open", a file dropped).
#include "FileBytes.h"
#include "NamedPosition.h"
#include "PackagePaths.h"
#include "Viewer.h"

namespace mw {

Status Viewer::PutBoard(const BoardSource& source) {
  using Kind = BoardOrigin::Kind;
  EndComparison();
  BoardOrigin origin{source.kind, source.path, 0, std::nullopt};
  Status read = Status::Ok();
  std::vector<uint8_t> bytes;  // a position file's, to know the turn it holds
  switch (source.kind) {
    case Kind::kStart:
      // Without a start position the new game starts empty.
      if (Status loaded = LoadPosition(position_, source.path); !loaded)
        qWarning("%s", loaded.error().c_str());
      break;
    case Kind::kFile: {
      auto file = ReadFileBytes(source.path);
      if (file && BeginsAsDatabase(*file))
        file = Result<std::vector<uint8_t>>::Fail(source.path +
                                                  ": is a game file, not a position file");
      if (!file) {
        read = Status::Fail(file.error());
        break;
      }
      bytes = std::move(file.value());
      LoadPositionBytes(position_, bytes);
      if (const PositionExtent extent = ExtentOf(bytes); !extent.whole()) origin.cut = extent;
      break;
    }
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
    position_.SettleOnMap();
    view_.RedrawMapRegion();
    host_.tools.InvalidateInfoView();
  } else {
    LoadMapPackage(source.kind == Kind::kStart && !source.package.empty() ? source.package
                                                                          : position_.mapName());
  }
  host_.surface.InvalidateMap(QRect());
  if (!read) {
    // The board stays as it was; no file is current, so that a later Save cannot write this
    // position over the file that failed.
    document_.currentFile.clear();
    ReportFailure("open " + source.path, read.error(), false);
    DocumentChanged();
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
  // A position file that holds a turn of the open game byte for byte is that turn.
  if (source.kind == Kind::kFile && game_) {
    const bool native = bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'F';
    const auto turn = game_->TurnHolding(native ? bytes : EncodePosition(position_, false));
    if (turn && *turn) origin.turn = **turn;
  }
  document_.origin = std::move(origin);
  if (game_) PublishHistory();
  if (source.kind == Kind::kFile) {
    RememberFile(source.path);
    const auto& cut = document_.origin.cut;
    host_.surface.ShowStatus(
        StatusField::kMessage,
        cut ? "Opened " + cut->Describe(source.path)
            : "Opened " + source.path +
                  (document_.origin.turn
                       ? ", turn " + std::to_string(document_.origin.turn) + " of the game"
                       : std::string()));
  }
  if (source.kind != Kind::kRecovery) KeepRecoveryCopy();
  DocumentChanged();
  return read;
}

void Viewer::DocumentChanged() {
  view_.RefreshTitle();
  host_.boards.WatchGameFile(game_ ? game_->path().string() : std::string());
}

std::string Viewer::gameTitle() const {
  if (!game_) return {};
  const std::string name = game_->path().stem().string();
  const int64_t last = history_.turns.empty() ? 0 : history_.turns.back().turn.number;
  if (document_.origin.turn > 0)
    return name + " \u2013 turn " + std::to_string(document_.origin.turn) + " of " +
           std::to_string(last);
  return name + " \u2013 " + std::to_string(last) + (last == 1 ? " turn" : " turns");
}

void Viewer::NewMap(int id) {
  const CatalogueEntry* entry = nullptr;
  for (const auto& e : document_.catalogue)
    if (e.commandId == id) entry = &e;
  if (!entry || !ConfirmDiscard()) return;
  // The package chosen is the one loaded, whatever its start position names: the position's
  // own field holds only 4 characters of the name.
  const std::string package = entry->packageName;
  position_.header().setMapName(entry->mapName);
  position_.RemoveAllUnits();
  // Undo must not reach back into the position just discarded.
  position_.ClearUndo();
  PutBoard(BoardSource::Start(
      FindEntryIgnoringCase(PackageFolder(package), package_file::kStartPosition).string(),
      package));
  OfferHint();
}

void Viewer::Open() {
  if (!ConfirmDiscard()) return;
  document_.currentFile.clear();
  const auto chosen = host_.files.ChooseOpenFile();
  if (!chosen) return;
  OpenChosen(*chosen);
}

void Viewer::OpenFile(const std::string& path) {
  if (!ConfirmDiscard()) return;
  document_.currentFile.clear();
  OpenChosen(path);
}

void Viewer::OpenChosen(const std::string& path) {
  // A game file is opened as a game, whatever its name: it is never read as a position.
  if (IsDatabaseFile(path)) return OpenGameFile(path, true);
  PutBoard(BoardSource::File(path));
}

}  // namespace mw
