// SPDX-License-Identifier: GPL-3.0-or-later
// The board's files: "&New", "&Open", "&Save", "S&ave as ..." and the questions before what the
// board holds is given up.
#include "Board.h"
#include "FileBytes.h"
#include "PackagePaths.h"
#include "Texts.h"
#include "Viewer.h"

namespace mw {

bool Board::ConfirmDiscard() {
  return ConfirmUnsaved(Tr("Board", "Load new Map without saving changes?")) &&
         ConfirmLabelsLost(Tr("Board",
                              "The moved label points are not exported yet (key S). Load new Map "
                              "without exporting them?"));
}

bool Board::ConfirmUnsaved(const std::string& question) {
  return ConfirmUnsaved({question, Tr("Board", "Exit Marrowind"), {}, false});
}

bool Board::ConfirmStep(int64_t turn) {
  return ConfirmUnsaved({Tr("Board", "Leave the moves on the board and show turn %1?").arg(turn),
                         Tr("Board", "Show Turn %1").arg(turn),
                         {},
                         true}) &&
         ConfirmLabelsLost(Tr("Board",
                              "The moved label points are not exported yet (key S). Show turn "
                              "%1 without exporting them?")
                               .arg(turn));
}

// The file the question's Save writes without asking: the one the board was last loaded from or
// saved to. A board restored from a recovery copy was read from neither: Save asks for a name.
std::string Board::QuestionSaveTarget() const {
  return document_.restoredFile ? std::string() : document_.currentFile;
}

bool Board::ConfirmUnsaved(Questions::DiscardQuestion question) {
  if (!position_.dirty()) return true;
  question.saveTo = QuestionSaveTarget();
  switch (v_.host().questions.AskDiscard(question)) {
    case Questions::DiscardAnswer::kDiscard:
      return true;
    case Questions::DiscardAnswer::kCancel:
      return false;
    case Questions::DiscardAnswer::kSave:
      // Saved, the board goes on; a save dialog cancelled or a failed save keeps it here.
      if (question.saveTo.empty())
        SaveAs();
      else
        SaveTo(question.saveTo);
      return !position_.dirty();
  }
  return false;
}

// Label points moved in the map live only in memory until S exports them.
bool Board::ConfirmLabelsLost(const std::string& question) {
  return !position_.labelsMoved() ||
         v_.host().questions.Confirm(question, Tr("Board", "Exit Marrowind"));
}

void Board::NewMap(int id) {
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
  v_.PutBoard(BoardSource::Start(
      FindEntryIgnoringCase(PackageFolder(package), package_file::kStartPosition).string(),
      package));
  v_.editing().OfferHint();
}

void Board::Open() {
  if (!ConfirmDiscard()) return;
  document_.currentFile.clear();
  const auto chosen = v_.host().files.ChooseOpenFile();
  if (!chosen) return;
  OpenChosen(*chosen);
}

void Board::OpenChosen(const std::string& path) {
  // A game file is opened as a game, whatever its name: it is never read as a position.
  if (IsDatabaseFile(path)) return v_.games().OpenGameFile(path, true);
  v_.PutBoard(BoardSource::File(path));
}

void Board::Save() {
  if (document_.currentFile.empty()) return SaveAs();
  SaveTo(document_.currentFile);
}

void Board::SaveAs() {
  const bool proposeNative = position_.mapName() != kDefaultMapName;
  const auto chosen = v_.host().files.ChooseSaveFile(proposeNative);
  if (!chosen) return;
  // The board's file is the new one once the board is in it; a save that failed keeps the old.
  std::string before = std::exchange(document_.currentFile, *chosen);
  if (!SaveTo(*chosen)) document_.currentFile = std::move(before);
}

// Saving must not lose what the user did not mean to give up: the map of a position saved where
// the format names none, or a file that a recovered position only claims to belong to.
bool Board::ConfirmSaveTarget(const std::string& path) {
  const std::string map = position_.mapName();
  Questions& ask = v_.host().questions;
  if (IsTessWinMapPath(path) && map != kDefaultMapName &&
      !ask.Confirm(Tr("Board",
                      "A .MAP file names no map: this position of the map %1 would open on the "
                      "map %2. Save it as .MAP all the same?")
                       .arg(map)
                       .arg(std::string(kDefaultMapName)),
                   Tr("Board", "Save position")))
    return false;
  return !document_.restoredFile || path != document_.currentFile || HoldsPosition(path) ||
         ask.Confirm(Tr("Board", "%1 holds no position. Replace it with this position?").arg(path),
                     Tr("Board", "Save position"));
}

bool Board::SaveTo(const std::string& path) {
  if (!ConfirmSaveTarget(path)) return false;
  // Pieces in the hand belong to the board that is saved: they go back to their unit first.
  v_.editing().EndCarry();
  position_.CancelCarry();
  if (auto saved = SavePosition(position_, path); !saved) {
    ReportFailure({Failure::Action::kSave, path, saved.error()});
    return false;
  }
  v_.host().surface.ShowStatus(StatusField::kMessage, Tr("Board", "Saved %1").arg(path));
  document_.restoredFile = false;
  // The file holds the board whole now, whatever the one it was read from lacked.
  document_.origin.cut.reset();
  v_.desk().RememberFile(path);
  v_.recovery().Keep();
  // The title names the file at once, not at the pointer's next sector.
  v_.DocumentChanged();
  return true;
}

}  // namespace mw
