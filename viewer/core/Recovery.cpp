// SPDX-License-Identifier: GPL-3.0-or-later
#include "Recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <system_error>
#include <utility>

#include "FileBytes.h"
#include "Texts.h"

namespace mw {
namespace {

constexpr const char* kPrefix = "position-";
constexpr const char* kPositionExtension = ".QPX";
constexpr const char* kFileExtension = ".file";    // the current file's path
constexpr const char* kMovesExtension = ".moves";  // the moves since the game's turn
constexpr const char* kLockExtension = ".lock";

std::filesystem::path With(const std::filesystem::path& folder, const std::string& name,
                           const char* extension) {
  return folder / (name + extension);
}

// Whether a running program holds the lock of a copy.
bool Held(const std::filesystem::path& lock) {
  const int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);  // closing gives back a lock taken here
  return held;
}

std::string LocalTime(time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

// Takes the lock of a copy; a lock file that is gone (a copy written before locks were kept) is
// made. Fails while another program holds it.
int TakeLock(const std::filesystem::path& lock) {
  const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Removes the locks that killed programs left without a copy: nobody holds them and nothing is
// beside them. A lock younger than a minute may be one a starting program has made and not yet
// taken, and stays.
void RemoveAbandonedLocks(const std::filesystem::path& folder) {
  std::error_code error;
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1);
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::filesystem::path& lock = entry.path();
    const std::string file = lock.filename().string();
    if (!file.starts_with(kPrefix) || lock.extension() != kLockExtension) continue;
    std::filesystem::path copy = lock;
    copy.replace_extension(kPositionExtension);
    std::error_code ignored;
    if (std::filesystem::exists(copy, ignored) || !entry.is_regular_file(ignored) ||
        entry.last_write_time(ignored) > old || Held(lock))
      continue;
    std::filesystem::remove(lock, ignored);
  }
}

std::filesystem::path LockOf(const std::filesystem::path& position) {
  std::filesystem::path lock = position;
  return lock.replace_extension(kLockExtension);
}

constexpr unsigned kOwnerOnly = 0600;  // the copies name the user's files: no one else reads them

}  // namespace

std::filesystem::path RecoveryStore::DefaultFolder() {
  // Relative values are to be ignored, as the XDG base directories say.
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && state[0] == '/') return std::filesystem::path(state) / "Marrowind";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && home[0] ? home : "/tmp") / ".local" / "state" / "Marrowind";
}

ClaimedCopy::ClaimedCopy(ClaimedCopy&& other) noexcept
    : copy_(std::move(other.copy_)), lock_(std::exchange(other.lock_, -1)) {}

ClaimedCopy::~ClaimedCopy() {
  if (lock_ >= 0) ::close(lock_);
}

RecoveryStore::RecoveryStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

Status RecoveryStore::CheckFolder() const {
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(folder_, error))) {
    std::filesystem::create_directories(folder_.parent_path(), error);
    if (::mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST)
      return Status::Fail(Tr("Recovery", "cannot make %1: %2")
                              .arg(folder_.string())
                              .arg(std::error_code(errno, std::generic_category()).message()));
  }
  struct stat st {};
  if (::lstat(folder_.c_str(), &st) != 0)
    return Status::Fail(Tr("Recovery", "cannot look at %1: %2")
                            .arg(folder_.string())
                            .arg(std::error_code(errno, std::generic_category()).message()));
  if (!S_ISDIR(st.st_mode))
    return Status::Fail(Tr("Recovery", "%1 is not a folder").arg(folder_.string()));
  if (st.st_uid != ::geteuid())
    return Status::Fail(Tr("Recovery", "%1 belongs to another user").arg(folder_.string()));
  if ((st.st_mode & 077) != 0) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    return Status::Fail(
        Tr("Recovery", "%1 may be read by others (mode %2)").arg(folder_.string()).arg(mode));
  }
  if (::access(folder_.c_str(), W_OK | X_OK) != 0)
    return Status::Fail(Tr("Recovery", "cannot write into %1: %2")
                            .arg(folder_.string())
                            .arg(std::error_code(errno, std::generic_category()).message()));
  return Status::Ok();
}

RecoveryStore::~RecoveryStore() {
  Wait();
  if (lock_ < 0) return;
  // Without a copy the lock has nothing left to guard. With one, the copy stays for the next
  // start, as after a crash.
  if (!written_) {
    std::error_code ignored;
    std::filesystem::remove(With(folder_, name_, kLockExtension), ignored);
  }
  ::close(lock_);
}

std::vector<RecoveryCopy> RecoveryStore::Orphans() const {
  struct Found {
    RecoveryCopy copy;
    std::pair<time_t, long> time;  // to the nanosecond: two copies may come within a second
  };
  std::vector<Found> found;
  std::error_code error;
  if (!CheckFolder()) return {};
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
    const std::string file = entry.path().filename().string();
    if (!file.starts_with(kPrefix) || !file.ends_with(kPositionExtension)) continue;
    const std::string name = file.substr(0, file.size() - std::string(kPositionExtension).size());
    if (name == name_ || Held(With(folder_, name, kLockExtension))) continue;
    struct stat st {};
    if (::lstat(entry.path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    RecoveryCopy copy;
    copy.position = entry.path();
    if (auto path = ReadFileBytes(With(folder_, name, kFileExtension)))
      copy.currentFile.assign(path->begin(), path->end());
    if (auto moves = ReadFileBytes(With(folder_, name, kMovesExtension)))
      copy.moves.assign(moves->begin(), moves->end());
    copy.writtenAt = LocalTime(st.st_mtime);
    found.push_back({std::move(copy), {st.st_mtim.tv_sec, st.st_mtim.tv_nsec}});
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Found& a, const Found& b) { return a.time > b.time; });
  std::vector<RecoveryCopy> copies;
  for (Found& f : found) copies.push_back(std::move(f.copy));
  return copies;
}

std::vector<ClaimedCopy> RecoveryStore::ClaimOrphans() const {
  std::vector<ClaimedCopy> claimed;
  for (RecoveryCopy& copy : Orphans()) {
    const int lock = TakeLock(LockOf(copy.position));
    if (lock >= 0) claimed.emplace_back(std::move(copy), lock);
  }
  return claimed;
}

void RecoveryStore::Remove(const RecoveryCopy& copy) {
  std::error_code ignored;
  std::filesystem::path base = copy.position;
  base.replace_extension();
  for (const char* extension :
       {kPositionExtension, kFileExtension, kMovesExtension, kLockExtension})
    std::filesystem::remove(base.string() + extension, ignored);
}

Status RecoveryStore::Claim() {
  if (lock_ >= 0) return Status::Ok();
  if (Status usable = CheckFolder(); !usable) return usable;
  RemoveAbandonedTemporaries(folder_);
  RemoveAbandonedLocks(folder_);
  const auto started = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  name_ = kPrefix + std::to_string(::getpid()) + "-" + std::to_string(started.count());
  const auto lock = With(folder_, name_, kLockExtension);
  const int fd = TakeLock(lock);
  if (fd < 0)
    return Status::Fail(Tr("Recovery", "cannot lock %1: %2")
                            .arg(lock.string())
                            .arg(std::error_code(errno, std::generic_category()).message()));
  lock_ = fd;
  return Status::Ok();
}

std::filesystem::path RecoveryStore::copyPath() const {
  return With(folder_, name_, kPositionExtension);
}

bool RecoveryStore::Write(std::vector<uint8_t> position, std::string currentFile,
                          std::string moves) {
  if (lock_ < 0) return false;
  if (pending_.valid() && pending_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
    return false;
  if (pending_.valid())
    if (Status last = pending_.get(); !last)
      std::fprintf(stderr, "the recovery copy could not be written: %s\n", last.error().c_str());
  written_ = true;
  pending_ = std::async(
      std::launch::async,
      [folder = folder_, name = name_, position = std::move(position),
       file = std::move(currentFile), moves = std::move(moves)]() -> Status {
        const std::vector<uint8_t> path(file.begin(), file.end());
        if (auto written =
                WriteFileAtomically(With(folder, name, kFileExtension), path, kOwnerOnly);
            !written)
          return written;
        // The moves first, the position last: a copy whose position is there has its moves.
        const std::vector<uint8_t> text(moves.begin(), moves.end());
        if (auto written =
                WriteFileAtomically(With(folder, name, kMovesExtension), text, kOwnerOnly);
            !written)
          return written;
        return WriteFileAtomically(With(folder, name, kPositionExtension), position, kOwnerOnly);
      });
  return true;
}

Status RecoveryStore::Wait() {
  if (!pending_.valid()) return Status::Ok();
  return pending_.get();
}

std::optional<Status> RecoveryStore::Finished() {
  if (!pending_.valid() || pending_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
    return std::nullopt;
  return pending_.get();
}

void RecoveryStore::Discard() {
  Wait();
  if (!written_) return;
  written_ = false;
  std::error_code ignored;
  std::filesystem::remove(With(folder_, name_, kPositionExtension), ignored);
  std::filesystem::remove(With(folder_, name_, kFileExtension), ignored);
  std::filesystem::remove(With(folder_, name_, kMovesExtension), ignored);
}

std::string MovesText(const KeptMoves& kept) {
  std::string text = "game " + kept.game + "\nturn " + std::to_string(kept.turn) + "\n";
  for (const UndoEntry& m : kept.moves) {
    for (const int64_t v :
         {int64_t{static_cast<uint8_t>(m.kind)}, int64_t{m.count}, int64_t{m.pieceType},
          int64_t{m.country}, int64_t{m.fromX}, int64_t{m.fromY}, int64_t{m.fromSector},
          int64_t{m.toX}, int64_t{m.toY}, int64_t{m.toSector}})
      text += std::to_string(v) + ' ';
    text.back() = '\n';
  }
  return text;
}

std::optional<KeptMoves> ReadMovesText(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  KeptMoves kept;
  if (!std::getline(in, line) || !line.starts_with("game ")) return std::nullopt;
  kept.game = line.substr(5);
  if (!std::getline(in, line) || !line.starts_with("turn ")) return std::nullopt;
  std::istringstream turn(line.substr(5));
  if (!(turn >> kept.turn) || kept.turn <= 0) return std::nullopt;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::array<int64_t, 10> v{};
    for (int64_t& f : v)
      if (!(fields >> f)) return std::nullopt;
    const auto within = [](int64_t x, int64_t high) { return x >= 0 && x <= high; };
    if (!within(v[0], 3) || v[0] == 0 || !within(v[1], UINT16_MAX) || !within(v[2], UINT8_MAX) ||
        !within(v[3], UINT8_MAX))
      return std::nullopt;
    for (size_t i = 4; i < v.size(); ++i)
      if (!within(v[i], UINT16_MAX)) return std::nullopt;
    UndoEntry m;
    m.kind = static_cast<UndoKind>(v[0]);
    m.count = static_cast<uint16_t>(v[1]);
    m.pieceType = static_cast<uint8_t>(v[2]);
    m.country = static_cast<uint8_t>(v[3]);
    m.fromX = static_cast<uint16_t>(v[4]);
    m.fromY = static_cast<uint16_t>(v[5]);
    m.fromSector = static_cast<uint16_t>(v[6]);
    m.toX = static_cast<uint16_t>(v[7]);
    m.toY = static_cast<uint16_t>(v[8]);
    m.toSector = static_cast<uint16_t>(v[9]);
    kept.moves.push_back(m);
  }
  return kept;
}

}  // namespace mw
