#include "FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

namespace mw {
namespace {

std::string ErrnoText(const std::filesystem::path& path, const char* what) {
  return path.string() + ": " + what + ": " + std::strerror(errno);
}

std::string TemporaryPrefix(const std::filesystem::path& path) {
  return "." + path.filename().string() + ".tmp-";
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

// The process that wrote a temporary ".<name>.tmp-<pid>-<n>", when the name is of that form.
std::optional<pid_t> WriterOf(std::string_view entry, std::string_view prefix) {
  if (!entry.starts_with(prefix)) return std::nullopt;
  entry.remove_prefix(prefix.size());
  const size_t dash = entry.find('-');
  if (dash == entry.npos || !IsNumber(entry.substr(0, dash), 9) ||
      !IsNumber(entry.substr(dash + 1), 10))
    return std::nullopt;
  return static_cast<pid_t>(std::stol(std::string(entry.substr(0, dash))));
}

// Removes the temporaries of `path` whose writer no longer runs: it was killed mid-write. A
// temporary of a process that still runs, maybe writing it now, stays.
void RemoveAbandonedTemporaries(const std::filesystem::path& path) {
  const std::string prefix = TemporaryPrefix(path);
  std::error_code ec;
  std::filesystem::path dir = path.parent_path();
  if (dir.empty()) dir = ".";
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const auto writer = WriterOf(name, prefix);
    if (writer && *writer > 0 && ::kill(*writer, 0) != 0 && errno == ESRCH)
      ::unlink(it->path().c_str());
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

Result<size_t> InputFile::ReadMore(std::vector<uint8_t>& bytes, size_t count) {
  const size_t start = bytes.size();
  // Never more room than the file can fill: a file that grows meanwhile is read to its old size.
  const uint64_t left = size_ > start ? size_ - start : 0;
  bytes.resize(start + static_cast<size_t>(std::min<uint64_t>(count, left)));
  size_t done = start;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      bytes.resize(start);
      return Result<size_t>::Fail(ErrnoText(path_, "cannot read"));
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return Result<size_t>::Ok(done - start);
}

Result<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path, size_t maxBytes) {
  auto file = InputFile::Open(path);
  if (!file) return Result<std::vector<uint8_t>>::Fail(file.error());
  std::vector<uint8_t> bytes;
  auto read = file->ReadMore(bytes, maxBytes);
  if (!read) return Result<std::vector<uint8_t>>::Fail(read.error());
  return Result<std::vector<uint8_t>>::Ok(std::move(bytes));
}

Status WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  return WriteFileAtomically(path, {bytes});
}

Status WriteFileAtomically(const std::filesystem::path& path,
                           std::initializer_list<std::span<const uint8_t>> pieces) {
  const std::filesystem::path temp = TemporaryBeside(path);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return Status::Fail(ErrnoText(path, "cannot create"));
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

  bool written = true;
  for (auto piece : pieces) written = written && WriteAll(fd, piece);
  written = written && ::fsync(fd) == 0;
  // The reason is taken before close() may change errno.
  std::string error = written ? std::string() : ErrnoText(path, "cannot write");
  if (::close(fd) != 0 && written) error = ErrnoText(path, "cannot write");
  if (error.empty() && ::rename(temp.c_str(), path.c_str()) != 0)
    error = ErrnoText(path, "cannot replace");
  if (!error.empty()) {
    ::unlink(temp.c_str());
    return Status::Fail(error);
  }
  RemoveAbandonedTemporaries(path);
  return Status::Ok();
}

void LetOversizedWritesFail() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace mw
