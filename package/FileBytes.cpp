// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

namespace mw {
namespace {

std::string ErrnoText(const std::filesystem::path& path, const char* what) {
  return path.string() + ": " + what + ": " + std::strerror(errno);
}

constexpr std::string_view kTemporaryMark = ".tmp-";

std::string TemporaryPrefix(const std::filesystem::path& path) {
  return "." + path.filename().string() + std::string(kTemporaryMark);
}

std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  std::string name =
      TemporaryPrefix(path) + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  return path.parent_path() / name;
}

bool IsNumber(std::string_view s, size_t maxDigits) {
  return !s.empty() && s.size() <= maxDigits && s.find_first_not_of("0123456789") == s.npos;
}

// The process that wrote a temporary "<prefix><pid>-<n>", when the name is of that form.
std::optional<pid_t> WriterOf(std::string_view entry, std::string_view prefix) {
  if (!entry.starts_with(prefix)) return std::nullopt;
  entry.remove_prefix(prefix.size());
  const size_t dash = entry.find('-');
  if (dash == entry.npos || !IsNumber(entry.substr(0, dash), 9) ||
      !IsNumber(entry.substr(dash + 1), 10))
    return std::nullopt;
  return static_cast<pid_t>(std::stol(std::string(entry.substr(0, dash))));
}

bool Gone(pid_t writer) { return writer > 0 && ::kill(writer, 0) != 0 && errno == ESRCH; }

// Removes the temporaries in `dir` whose writer no longer runs and whose name `prefixOf` gives a
// prefix for. A temporary of a process that still runs, maybe writing it now, stays.
template <class PrefixOf>
void RemoveAbandoned(const std::filesystem::path& dir, PrefixOf prefixOf) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir.empty() ? "." : dir, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const std::optional<std::string> prefix = prefixOf(name);
    if (!prefix) continue;
    const auto writer = WriterOf(name, *prefix);
    if (writer && Gone(*writer)) ::unlink(it->path().c_str());
  }
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

Result<InputFile> InputFile::Open(const std::filesystem::path& path) {
  // Without O_NONBLOCK, opening a FIFO would wait for a writer that may never come.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Result<InputFile>::Fail(ErrnoText(path, "cannot open"));
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const std::string error = ErrnoText(path, "cannot read");
    ::close(fd);
    return Result<InputFile>::Fail(error);
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    const char* what = S_ISDIR(info.st_mode) ? "is a directory" : "is not a regular file";
    return Result<InputFile>::Fail(path.string() + ": " + what);
  }
  return Result<InputFile>::Ok(InputFile(fd, static_cast<uint64_t>(info.st_size), path));
}

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_), path_(std::move(other.path_)) {}

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

Result<size_t> InputFile::Read(uint8_t* to, size_t count) { return ReadFully(to, count, -1); }

Result<size_t> InputFile::ReadAt(uint64_t offset, uint8_t* to, size_t count) {
  return ReadFully(to, count, static_cast<int64_t>(offset));
}

Result<size_t> InputFile::ReadFully(uint8_t* to, size_t count, int64_t offset) {
  size_t done = 0;
  while (done < count) {
    const ssize_t n = offset < 0 ? ::read(fd_, to + done, count - done)
                                 : ::pread(fd_, to + done, count - done,
                                           static_cast<off_t>(offset + static_cast<int64_t>(done)));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Result<size_t>::Fail(ErrnoText(path_, "cannot read"));
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return Result<size_t>::Ok(done);
}

namespace {

template <class Bytes>
Result<Bytes> ReadWhole(const std::filesystem::path& path, size_t maxBytes) {
  auto file = InputFile::Open(path);
  if (!file) return Result<Bytes>::Fail(file.error());
  Bytes bytes;
  auto read = file->ReadMore(bytes, maxBytes);
  if (!read) return Result<Bytes>::Fail(read.error());
  return Result<Bytes>::Ok(std::move(bytes));
}

}  // namespace

Result<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path, size_t maxBytes) {
  return ReadWhole<std::vector<uint8_t>>(path, maxBytes);
}

Result<LargeVector<uint8_t>> ReadLargeFile(const std::filesystem::path& path) {
  return ReadWhole<LargeVector<uint8_t>>(path, SIZE_MAX);
}

bool BeginsAsDatabase(std::span<const uint8_t> bytes) {
  static constexpr char kHeader[] = "SQLite format 3";  // with its zero byte: 16 bytes
  return bytes.size() >= sizeof kHeader &&
         std::equal(kHeader, kHeader + sizeof kHeader, bytes.begin(),
                    [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
}

bool IsDatabaseFile(const std::filesystem::path& path) {
  auto start = ReadFileBytes(path, 16);
  return start && BeginsAsDatabase(*start);
}

namespace {

// A game is changed only by recording into it: whatever else would replace one is refused.
Status RefuseToReplaceGame(const std::filesystem::path& path) {
  if (!IsDatabaseFile(path)) return Status::Ok();
  return Status::Fail(path.string() +
                      ": is a game file; nothing but a recording is written into it, so it is "
                      "left as it is (choose another name)");
}

}  // namespace

Result<AtomicFile> AtomicFile::Create(const std::filesystem::path& path, unsigned mode) {
  if (Status free = RefuseToReplaceGame(path); !free) return Result<AtomicFile>::Fail(free.error());
  // A temporary of the same name may be left by a killed process whose number came back: the
  // next name is taken then.
  for (int attempt = 0;; ++attempt) {
    std::filesystem::path temporary = TemporaryBeside(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          static_cast<mode_t>(mode));
    if (fd < 0 && errno == EEXIST && attempt < 1000) continue;
    if (fd < 0) return Result<AtomicFile>::Fail(ErrnoText(path, "cannot create"));
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
    return Result<AtomicFile>::Ok(AtomicFile(fd, path, std::move(temporary)));
  }
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      temporary_(std::exchange(other.temporary_, {})) {}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

namespace {

// Who hears of each step an atomic write takes, for the tests of their order.
std::function<void(AtomicFile::Step)>& StepListener() {
  static std::function<void(AtomicFile::Step)> listener;
  return listener;
}

void Took(AtomicFile::Step step) {
  if (StepListener()) StepListener()(step);
}

// Makes a rename in a folder last through a power cut: the folder's entry is on the disk too.
void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
  Took(AtomicFile::Step::kSyncFolder);
}

}  // namespace

void AtomicFile::ListenToSteps(std::function<void(Step)> listener) {
  StepListener() = std::move(listener);
}

bool AtomicFile::Write(std::span<const uint8_t> bytes) {
  Took(Step::kWrite);
  return WriteAll(fd_, bytes);
}

Status AtomicFile::Commit() {
  const bool synced = ::fsync(fd_) == 0;
  Took(Step::kSync);
  // The reason is taken before close() may change errno.
  std::string error = synced ? std::string() : ErrnoText(path_, "cannot write");
  if (::close(fd_) != 0 && synced) error = ErrnoText(path_, "cannot write");
  fd_ = -1;
  // A game file may have come under the name while the bytes were written.
  if (Status free = RefuseToReplaceGame(path_); error.empty() && !free) error = free.error();
  if (error.empty() && ::rename(temporary_.c_str(), path_.c_str()) != 0)
    error = ErrnoText(path_, "cannot replace");
  if (!error.empty()) return Status::Fail(error);
  Took(Step::kRename);
  temporary_.clear();
  SyncFolder(path_.parent_path());
  const std::string prefix = TemporaryPrefix(path_);
  RemoveAbandoned(path_.parent_path(), [&](const std::string&) { return prefix; });
  return Status::Ok();
}

Status WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                           unsigned mode) {
  return WriteFileAtomically(path, {bytes}, mode);
}

Status WriteFileAtomically(const std::filesystem::path& path,
                           std::initializer_list<std::span<const uint8_t>> pieces, unsigned mode) {
  auto file = AtomicFile::Create(path, mode);
  if (!file) return Status::Fail(file.error());
  for (auto piece : pieces)
    if (!file->Write(piece)) return Status::Fail(ErrnoText(path, "cannot write"));
  return file->Commit();
}

void RemoveAbandonedTemporaries(const std::filesystem::path& folder) {
  RemoveAbandoned(folder, [](const std::string& name) -> std::optional<std::string> {
    const size_t mark = name.rfind(kTemporaryMark);
    if (name.empty() || name[0] != '.' || mark == std::string::npos) return std::nullopt;
    return name.substr(0, mark + kTemporaryMark.size());
  });
}

std::filesystem::path TemporaryNameFor(const std::filesystem::path& file) {
  return TemporaryBeside(file);
}

void RemoveAbandonedTemporariesOf(const std::filesystem::path& file) {
  const std::string prefix = TemporaryPrefix(file);
  RemoveAbandoned(file.parent_path(), [&](const std::string&) { return prefix; });
}

void LetOversizedWritesFail() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace mw
