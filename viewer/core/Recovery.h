#pragma once

#include <cstdint>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "Result.h"

namespace mw {

// A recovery copy that a program left behind when it ended without deleting it: killed, crashed
// or stopped by a power cut.
struct RecoveryCopy {
  std::filesystem::path position;  // the position, in the native format
  std::string currentFile;         // the file the position was last opened from or saved to
  std::string writtenAt;           // local time of the copy, "2026-12-09 14:05"
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

  // The copies of programs that are gone, the newest first.
  std::vector<RecoveryCopy> Orphans() const;
  // Deletes a copy of a program that is gone.
  static void Remove(const RecoveryCopy& copy);

  // Takes a name and a lock for this program's own copy. Until it succeeds nothing is written.
  Status Claim();
  bool claimed() const { return lock_ >= 0; }
  // Starts writing this program's copy. False, and nothing done, while the last write still
  // runs or before Claim.
  bool Write(std::vector<uint8_t> position, std::string currentFile);
  // Waits for the running write, if any, and says how it went.
  Status Wait();
  // Deletes this program's copy: its position was saved or given up on purpose.
  void Discard();
  bool hasCopy() const { return written_; }
  std::filesystem::path copyPath() const;

 private:
  std::filesystem::path folder_;
  std::string name_;  // "position-<pid>-<start time>"
  int lock_ = -1;
  std::future<Status> pending_;
  bool written_ = false;
};

}  // namespace mw
