#include "FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace mw {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string ErrnoText(const std::filesystem::path& path, const char* what) {
  return path.string() + ": " + what + ": " + std::strerror(errno);
}

std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  std::string name = "." + path.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-" +
                     std::to_string(counter++);
  return path.parent_path() / name;
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

Result<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path, size_t maxBytes) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return Result<std::vector<uint8_t>>::Fail(ErrnoText(path, "cannot open"));
  std::vector<uint8_t> bytes;
  // A regular file is read in one piece into a buffer of its size; anything else in chunks.
  struct stat info {};
  if (::fstat(::fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode)) {
    bytes.resize(std::min<size_t>(static_cast<size_t>(info.st_size), maxBytes));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
  }
  uint8_t chunk[65536];
  while (bytes.size() < maxBytes) {
    size_t want = std::min(sizeof chunk, maxBytes - bytes.size());
    size_t got = std::fread(chunk, 1, want, file.get());
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (got < want) break;
  }
  if (std::ferror(file.get()))
    return Result<std::vector<uint8_t>>::Fail(ErrnoText(path, "cannot read"));
  return Result<std::vector<uint8_t>>::Ok(std::move(bytes));
}

bool WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                         std::string* error) {
  return WriteFileAtomically(path, {bytes}, error);
}

bool WriteFileAtomically(const std::filesystem::path& path,
                         std::initializer_list<std::span<const uint8_t>> pieces, std::string* error) {
  const std::filesystem::path temp = TemporaryBeside(path);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (error) *error = ErrnoText(path, "cannot create");
    return false;
  }
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

  bool ok = true;
  for (auto piece : pieces) ok = ok && WriteAll(fd, piece);
  ok = ok && ::fsync(fd) == 0;
  if (!ok && error) *error = ErrnoText(path, "cannot write");
  if (::close(fd) != 0 && ok) {
    ok = false;
    if (error) *error = ErrnoText(path, "cannot write");
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    if (error) *error = ErrnoText(path, "cannot replace");
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace mw
