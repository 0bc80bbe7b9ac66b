// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "Recovery.h"

namespace mw {

class Viewer;

// The recovery copies of the unsaved board: kept a few seconds behind the edits, offered back at
// the next start after a crash, and said in the status bar when they cannot be written.
class RecoveryKeeper {
 public:
  explicit RecoveryKeeper(Viewer& viewer) : v_(viewer) {}

  // Keeps recovery copies of unsaved positions in `folder`; the start then first offers to
  // restore the copies of programs that ended without saving. Without it (the headless modes)
  // nothing is written there.
  void Enable(std::filesystem::path folder) { store_.emplace(std::move(folder)); }
  bool enabled() const { return store_.has_value(); }
  const RecoveryStore* store() const { return store_ ? &*store_ : nullptr; }
  // Brings the recovery copy up to date: written while the position has unsaved changes that the
  // copy lacks, deleted once it has none. The window calls it every few seconds and after loads.
  void Keep();
  // Waits until the copy being written is on the disk, and says how that went.
  Status Flush() { return store_ ? store_->Wait() : Status::Ok(); }
  // Offers the copies of programs that ended without saving, newest first, until one is restored.
  void Offer();
  // The moves since the game's turn the board came from, as a copy keeps them.
  std::string Moves() const;
  // What was not saved was given up on purpose: the copy goes.
  void Discard() {
    if (store_) store_->Discard();
  }

 private:
  std::string Question(const RecoveryCopy& copy) const;
  void HearFromStore();

  Viewer& v_;
  std::optional<RecoveryStore> store_;
  uint64_t copied_ = 0;   // the revision of the board the recovery copy holds
  uint64_t writing_ = 0;  // the revision of the board the running write takes there
  bool failing_ = false;
};

}  // namespace mw
