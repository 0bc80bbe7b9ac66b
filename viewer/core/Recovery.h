// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "Result.h"
#include "UndoEntry.h"

namespace mw {

// A recovery copy that a program left behind when it ended without deleting it: killed, crashed
// or stopped by a power cut.
struct RecoveryCopy {
  std::filesystem::path position;  // the position, in the native format
  std::string currentFile;         // the file the position was last opened from or saved to
  std::string writtenAt;           // local time of the copy, "2026-12-09 14:05"
  std::string moves;  // the moves since the game's turn the board came from (see MovesText)
};

// The moves since a game's turn as a recovery copy keeps them beside the position: a line
// "game PATH", a line "turn N", then a line per move of ten numbers (action, count, piece,
// country, from x, y, sector, to x, y, sector). Read back, none where the text is not that.
struct KeptMoves {
  std::string game;
  int64_t turn = 0;
  std::vector<UndoEntry> moves;
};
std::string MovesText(const KeptMoves& kept);
std::optional<KeptMoves> ReadMovesText(const std::string& text);

// A copy claimed by this program: its lock is held, so no other program offers it meanwhile.
class ClaimedCopy {
 public:
  ClaimedCopy(RecoveryCopy copy, int lock) : copy_(std::move(copy)), lock_(lock) {}
  ClaimedCopy(ClaimedCopy&& other) noexcept;
  ClaimedCopy& operator=(ClaimedCopy&&) = delete;
  ~ClaimedCopy();  // gives the copy back for the next start
  const RecoveryCopy& operator*() const { return copy_; }
  const RecoveryCopy* operator->() const { return &copy_; }

 private:
  RecoveryCopy copy_;
  int lock_;
};

// The recovery copies of unsaved positions, in a per-user folder. Each running program writes
// its own copy under a name of its own and holds a lock beside it for as long as it runs, so two
// programs never take each other's copy, and a copy whose lock nobody holds is one whose program
// is gone. Copies are written on a worker thread, each atomically, so that a write never keeps
// the window waiting and a copy is always whole.
class RecoveryStore {
 public:
  // $XDG_STATE_HOME/Marrowind, or ~/.local/state/Marrowind without it.
  static std::filesystem::path DefaultFolder();

  explicit RecoveryStore(std::filesystem::path folder);
  ~RecoveryStore();
  RecoveryStore(const RecoveryStore&) = delete;
  RecoveryStore& operator=(const RecoveryStore&) = delete;

  // The copies of programs that are gone, the newest first, without claiming them.
  std::vector<RecoveryCopy> Orphans() const;
  // The same, each claimed: a copy another program claimed first is left out.
  std::vector<ClaimedCopy> ClaimOrphans() const;
  // Deletes a copy of a program that is gone.
  static void Remove(const RecoveryCopy& copy);

  // Whether the folder may hold copies: a real folder, not a link, of this user's alone (made so
  // when it is missing). Fails with the reason otherwise; nothing is then read or written there.
  Status CheckFolder() const;
  // Takes a name and a lock for this program's own copy, after CheckFolder; the temporaries of
  // writes that were killed are removed. Until it succeeds nothing is written.
  Status Claim();
  bool claimed() const { return lock_ >= 0; }
  // Starts writing this program's copy. False, and nothing done, while the last write still
  // runs or before Claim.
  bool Write(std::vector<uint8_t> position, std::string currentFile, std::string moves = {});
  // Waits for the running write, if any, and says how it went.
  Status Wait();
  // How the last write went once it has ended, asked once; none while it runs or when there is
  // nothing new to tell.
  std::optional<Status> Finished();
  // Deletes this program's copy: its position was saved or given up on purpose.
  void Discard();
  bool hasCopy() const { return written_; }
  // Whether a write runs now.
  bool writing() const {
    return pending_.valid() &&
           pending_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
  }
  const std::filesystem::path& folder() const { return folder_; }
  std::filesystem::path copyPath() const;

 private:
  std::filesystem::path folder_;
  std::string name_;  // "position-<pid>-<start time>"
  int lock_ = -1;
  std::future<Status> pending_;
  bool written_ = false;
};

}  // namespace mw
