// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery copies of the unsaved board.
#include "RecoveryKeeper.h"

#include <QtGlobal>

#include "FileBytes.h"
#include "PositionFile.h"
#include "Texts.h"
#include "Viewer.h"

namespace mw {

// What a copy holds, in words: the map its header names and the file it belongs to.
std::string RecoveryKeeper::Question(const RecoveryCopy& copy) const {
  std::string map = Tr("Recovery", "an unknown map");
  if (auto bytes = ReadFileBytes(copy.position, PositionHeader::kSize)) {
    PositionHeader header;
    std::copy(bytes->begin(), bytes->end(), header.bytes().begin());
    if (header.hasMagic()) map = Tr("Recovery", "the map %1").arg(header.mapName());
  }
  const std::string file = copy.currentFile.empty()
                               ? Tr("Recovery", "a position never saved")
                               : Tr("Recovery", "the position file %1").arg(copy.currentFile);
  return Tr("Recovery", "Restore the unsaved position of %1 (%2) from %3?")
      .arg(map)
      .arg(file)
      .arg(copy.writtenAt);
}

// The moves since the game's turn the board came from, as the copy keeps them; empty without.
std::string RecoveryKeeper::Moves() const {
  const GameFile* game = v_.games().game();
  const auto journal = v_.board().MovesSinceTurn();
  if (!game || !journal) return {};
  return MovesText({game->path().string(), journal->turn, journal->moves});
}

void RecoveryKeeper::Offer() {
  // Each copy is claimed before it is offered, so that two programs never offer the same one;
  // each is offered once, newest first, until one is restored. The others wait for the next
  // start, and the status bar says so.
  // A copy is deleted only when the user says so: one not restored waits for the next start.
  std::vector<ClaimedCopy> copies = store_->ClaimOrphans();
  size_t waiting = 0;
  bool restored = false;
  for (const ClaimedCopy& claimed : copies) {
    const RecoveryCopy& copy = *claimed;
    if (restored) {
      ++waiting;
      continue;
    }
    switch (v_.host().questions.AskRestore(Question(copy), Tr("Recovery", "Restore position"))) {
      case Questions::RestoreAnswer::kDiscard:
        RecoveryStore::Remove(copy);
        continue;
      case Questions::RestoreAnswer::kKeep:
        ++waiting;
        continue;
      case Questions::RestoreAnswer::kRestore:
        break;
    }
    if (Status put = v_.PutBoard(BoardSource::Recovery(copy.position.string(), copy.currentFile));
        !put) {
      // A copy that cannot be read is kept for the user to look at; the next one may do.
      qWarning("%s", put.error().c_str());
      ++waiting;
      continue;
    }
    // The moves it kept count from the turn of the game open now, where that is their game.
    if (const auto kept = ReadMovesText(copy.moves); kept && v_.games().game()) {
      std::error_code error;
      if (std::filesystem::equivalent(kept->game, v_.games().game()->path(), error))
        v_.board().RestoreJournal(kept->turn, kept->moves);
    }
    // The copy becomes this program's own before the old one goes, so that no moment is without.
    if (store_->Claim() &&
        store_->Write(EncodePosition(v_.board().position(), false), copy.currentFile, Moves()) &&
        store_->Wait())
      RecoveryStore::Remove(copy);
    copied_ = v_.board().position().revision();
    restored = true;
  }
  if (waiting > 0)
    v_.host().surface.ShowStatus(
        StatusField::kMessage,
        waiting == 1
            ? Tr("Recovery", "1 more unsaved position waits in %1; it is offered at the next start")
                  .arg(store_->folder().string())
            : Tr("Recovery",
                 "%1 more unsaved positions wait in %2; they are offered at the next start")
                  .arg(waiting)
                  .arg(store_->folder().string()));
}

void RecoveryKeeper::Keep() {
  if (!store_) return;
  HearFromStore();
  if (!store_->claimed()) {
    // A folder that cannot be used is said once; the user may mend it while the program runs.
    if (Status claimed = store_->Claim(); !claimed) {
      if (!failing_)
        v_.host().surface.ShowStatus(
            StatusField::kWarning,
            Tr("Recovery", "Unsaved work is not being protected: %1").arg(claimed.error()));
      failing_ = true;
      return;
    }
    if (failing_) {
      // The folder was mended: copies can be written again.
      v_.host().surface.ShowStatus(StatusField::kWarning, {});
      v_.host().surface.ShowStatus(StatusField::kMessage,
                                   Tr("Recovery", "Unsaved work is protected again"));
      failing_ = false;
    }
  }
  if (!v_.board().position().dirty()) {
    if (store_->hasCopy()) store_->Discard();
    return;
  }
  // Pieces in the hand are out of the list: the copy waits for them to be put down.
  if (v_.board().position().carrying() ||
      (store_->hasCopy() && copied_ == v_.board().position().revision()))
    return;
  const uint64_t revision = v_.board().position().revision();
  if (store_->Write(EncodePosition(v_.board().position(), false), v_.board().document().currentFile,
                    Moves()))
    writing_ = revision;
}

// The copy counts as written only once the write has ended well; one that failed is tried again
// at the next tick, and the status bar says when copies fail and when they work again.
void RecoveryKeeper::HearFromStore() {
  const std::optional<Status> done = store_->Finished();
  if (!done) return;
  if (*done) {
    copied_ = writing_;
    if (failing_) {
      v_.host().surface.ShowStatus(StatusField::kWarning, {});
      v_.host().surface.ShowStatus(StatusField::kMessage,
                                   Tr("Recovery", "Unsaved work is protected again"));
    }
    failing_ = false;
    return;
  }
  if (!failing_)
    v_.host().surface.ShowStatus(
        StatusField::kWarning,
        Tr("Recovery",
           "Unsaved work is not being protected: the recovery copy could not be written: %1")
            .arg(done->error()));
  failing_ = true;
  copied_ = 0;
}

}  // namespace mw
