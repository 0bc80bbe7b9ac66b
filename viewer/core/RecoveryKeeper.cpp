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

void RecoveryKeeper::Offer() {
  // Each copy is claimed before it is offered, so that two programs never offer the same one;
  // each is offered once, newest first, until one is restored. The others wait for the next
  // start, and the status bar says so.
  std::vector<ClaimedCopy> copies = store_->ClaimOrphans();
  for (size_t i = 0; i < copies.size(); ++i) {
    const RecoveryCopy& copy = *copies[i];
    if (!v_.host().questions.Confirm(Question(copy), Tr("Recovery", "Restore position"))) {
      RecoveryStore::Remove(copy);
      continue;
    }
    if (Status put = v_.PutBoard(BoardSource::Recovery(copy.position.string(), copy.currentFile));
        !put) {
      // A copy that cannot be read is kept for the user to look at; the next one may do.
      qWarning("%s", put.error().c_str());
      continue;
    }
    // The copy becomes this program's own before the old one goes, so that no moment is without.
    if (store_->Claim() &&
        store_->Write(EncodePosition(v_.board().position(), false), copy.currentFile) &&
        store_->Wait())
      RecoveryStore::Remove(copy);
    copied_ = v_.board().position().revision();
    if (const size_t left = copies.size() - i - 1; left > 0)
      v_.host().surface.ShowStatus(
          StatusField::kMessage,
          left == 1 ? Tr("Recovery",
                         "1 more unsaved position waits in %1; it is offered at the next start")
                          .arg(store_->folder().string())
                    : Tr("Recovery",
                         "%1 more unsaved positions wait in %2; they are offered at the next start")
                          .arg(left)
                          .arg(store_->folder().string()));
    return;
  }
}

void RecoveryKeeper::Keep() {
  if (!store_) return;
  HearFromStore();
  if (!store_->claimed()) {
    // A folder that cannot be used is said once; the user may mend it while the program runs.
    if (Status claimed = store_->Claim(); !claimed) {
      if (!failing_)
        v_.host().surface.ShowStatus(
            StatusField::kMessage,
            Tr("Recovery", "Unsaved work is not being protected: %1").arg(claimed.error()));
      failing_ = true;
      return;
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
  if (store_->Write(EncodePosition(v_.board().position(), false),
                    v_.board().document().currentFile))
    writing_ = revision;
}

// The copy counts as written only once the write has ended well; one that failed is tried again
// at the next tick, and the status bar says when copies fail and when they work again.
void RecoveryKeeper::HearFromStore() {
  const std::optional<Status> done = store_->Finished();
  if (!done) return;
  if (*done) {
    copied_ = writing_;
    if (failing_)
      v_.host().surface.ShowStatus(StatusField::kMessage,
                                   Tr("Recovery", "Unsaved work is protected again"));
    failing_ = false;
    return;
  }
  if (!failing_)
    v_.host().surface.ShowStatus(
        StatusField::kMessage,
        Tr("Recovery",
           "Unsaved work is not being protected: the recovery copy could not be written: %1")
            .arg(done->error()));
  failing_ = true;
  copied_ = 0;
}

}  // namespace mw
