// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "Failure.h"
#include "Host.h"
#include "MapState.h"
#include "Position.h"
#include "PositionFile.h"
#include "Result.h"
#include "SectorIncome.h"

namespace mw {

class Viewer;

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

// The document: the board's file and where the board came from.
struct DocumentState {
  std::string currentFile;
  BoardOrigin origin;
  // The current file came from a recovery copy: it may be no position file at all.
  bool restoredFile = false;
  std::vector<CatalogueEntry> catalogue;
};

// What a board is put on the screen from.
struct BoardSource {
  BoardOrigin::Kind kind = BoardOrigin::Kind::kStart;
  std::string path;            // the start position, the position file, the copy, the game file
  std::string package;         // kStart: the package loaded with it; empty for the one it names
  std::vector<uint8_t> bytes;  // kTurn: the turn's position
  int64_t turn = 0;            // kTurn
  std::string currentFile;     // kRecovery: the file the copy belongs to

  static BoardSource Start(std::string path, std::string package = {});
  static BoardSource File(std::string path);
  static BoardSource Turn(std::string game, std::vector<uint8_t> bytes, int64_t turn);
  static BoardSource Recovery(std::string copy, std::string currentFile);
};

// The board document: the map package loaded, the position on it, its file and where it came
// from. It reads boards and maps, saves and exports, and asks before what it holds is given up.
class Board {
 public:
  explicit Board(Viewer& viewer) : v_(viewer) {}

  const MapState& map() const { return map_; }
  const Position& position() const { return position_; }
  Position& position() { return position_; }
  const DocumentState& document() const { return document_; }
  DocumentState& document() { return document_; }
  // Who holds which sector and what it yields, for what the status bar and Find say; counted
  // again when the totals changed.
  const SectorIncomes& Incomes() const;
  void TotalsChanged() { incomes_.reset(); }

  // Reads a map package: its picture, grid, tables, pieces and alliances; the tool windows are
  // made again for its pieces and the board settles on the map.
  void LoadMapPackage(const std::string& mapName);
  // Whether map packages are read with their pictures (the map's and the pieces'): the command
  // line's reports and comparisons need only the grid and the tables, and answer also where a
  // picture cannot be read.
  void ReadPictures(bool pictures) { pictures_ = pictures; }
  // The board part of putting a board on the screen: read, its map loaded (a turn of the map on
  // show keeps it and the view), settled, marked clean (unsaved for a recovery copy), its file
  // and origin remembered. A position file that cannot be read leaves the board as it was on its
  // map loaded again, and no file current; a copy that cannot be read leaves everything.
  Status Put(const BoardSource& source);
  // Puts the units of a position of the map on show on the board in place of its own, its file,
  // origin and view kept: clean, with no undo history (the moves of a turn replayed).
  void ShowUnits(std::span<const uint8_t> bytes);
  // Writes the sector table with its moved label points as SektorInfo.new into the package, or
  // beside it where the package is installed for everyone (ExportFolder); the file written.
  Result<std::filesystem::path> ExportSectorTable();
  // The folder of the package of a map, wherever it was found; the title of the map loaded.
  std::filesystem::path PackageFolder(std::string_view mapName) const;
  std::string MapTitle() const;

  // "&New", "&Open", "&Save" and "S&ave as ...".
  void NewMap(int id);
  void Open();
  // Opens a file chosen or dropped: a game as a game, anything else as a position file.
  void OpenChosen(const std::string& path);
  void Save();
  void SaveAs();

  // The questions before the board, or the label points moved on the map, are given up; true
  // when the program may go on (the changes given up, or saved by the question's Save button).
  bool ConfirmDiscard();
  bool ConfirmUnsaved(const std::string& question);
  // The question before another turn of the game is shown over unsaved changes.
  bool ConfirmStep(int64_t turn);
  bool ConfirmLabelsLost(const std::string& question);
  // The moves made since the board was a game's turn (put on the board, or recorded as one): the
  // turn they lead from and the moves in order. None where the board came from no turn, or an
  // undo went back past that turn.
  struct Journal {
    int64_t turn = 0;
    std::vector<UndoEntry> moves;
  };
  std::optional<Journal> MovesSinceTurn() const;
  // The board is the game's turn `turn` from now on (recorded as it).
  void StartJournal(int64_t turn);
  // A board restored from a recovery copy: it came from turn `turn` by `moves`, which the undo
  // history no longer holds.
  void RestoreJournal(int64_t turn, std::vector<UndoEntry> moves);
  // A user's command that failed: counted, and handed to the window to say.
  void ReportFailure(Failure failure);
  // How many saves, exports and loads of the user failed so far.
  unsigned failures() const { return failures_; }

 private:
  void LoadPieces(const std::filesystem::path& dir);
  // Units just read onto the map on show: settled on it, and the map and the InfoView drawn again.
  void SettleOnMapShown();
  // True when the board is in the file.
  bool SaveTo(const std::string& path);
  bool ConfirmUnsaved(Questions::DiscardQuestion question);
  std::string QuestionSaveTarget() const;
  bool ConfirmSaveTarget(const std::string& path);
  // The position file's bytes read into the board; a game's turn it holds is its origin.
  Status ReadFile(const std::string& path, BoardOrigin& origin);

  Viewer& v_;
  bool pictures_ = true;
  MapState map_;
  Position position_;
  DocumentState document_;
  mutable std::optional<SectorIncomes> incomes_;
  std::optional<int64_t> journalTurn_;  // the turn the moves lead from
  size_t journalFrom_ = 0;              // the undo depth the board had at that turn
  std::vector<UndoEntry> journalKept_;  // moves made before the undo history began
  unsigned failures_ = 0;
};

}  // namespace mw
