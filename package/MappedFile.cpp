// SPDX-License-Identifier: GPL-3.0-or-later
#include "MappedFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace mw {

// A mapping a fault may fall in, read by the signal handler: plain atomics, no locks.
struct MappedWatch {
  std::atomic<uintptr_t> begin{0}, end{0};
  std::atomic<bool> cut{false};
};

namespace {

using Watched = MappedWatch;
constexpr size_t kWatched = 64;
std::array<Watched, kWatched> watched;
std::mutex watchLock;  // for taking and giving back a slot, never in the handler
struct sigaction before {};

// A read past the end of a file cut short: the page is replaced by one of zeros and the read is
// made again. A fault anywhere else is left to what handled it before.
void OnBusError(int signal, siginfo_t* info, void* context) {
  const auto at = reinterpret_cast<uintptr_t>(info->si_addr);
  const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  for (Watched& w : watched) {
    if (at < w.begin.load(std::memory_order_acquire) || at >= w.end.load(std::memory_order_acquire))
      continue;
    void* zeros = ::mmap(reinterpret_cast<void*>(at & ~(page - 1)), page, PROT_READ,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros != MAP_FAILED) {
      w.cut.store(true, std::memory_order_release);
      return;
    }
    break;
  }
  if (before.sa_flags & SA_SIGINFO && before.sa_sigaction) {
    before.sa_sigaction(signal, info, context);
    return;
  }
  if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN && before.sa_handler) {
    before.sa_handler(signal);
    return;
  }
  // The default: the program stops, as it would have without this handler.
  ::signal(SIGBUS, SIG_DFL);
  ::raise(SIGBUS);
}

Watched* Watch(const uint8_t* data, size_t size) {
  const std::lock_guard lock(watchLock);
  static const bool installed = [] {
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGBUS, &action, &before) == 0;
  }();
  if (!installed) return nullptr;
  for (Watched& w : watched)
    if (w.end.load() == 0) {
      w.cut.store(false);
      w.begin.store(reinterpret_cast<uintptr_t>(data), std::memory_order_release);
      w.end.store(reinterpret_cast<uintptr_t>(data) + size, std::memory_order_release);
      return &w;
    }
  return nullptr;
}

// The files mapped now, by what tells a file and its version apart: a second load of a file
// unchanged since shares the mapping and the pages already mapped.
struct Identity {
  dev_t device;
  ino_t inode;
  off_t size;
  int64_t changed;  // nanoseconds
  bool operator==(const Identity&) const = default;
};
std::mutex mappedLock;
std::vector<std::pair<Identity, std::weak_ptr<const MappedFile>>> mappedNow;

Identity IdentityOf(const struct stat& s) {
  return {s.st_dev, s.st_ino, s.st_size,
          int64_t{s.st_mtim.tv_sec} * 1'000'000'000 + s.st_mtim.tv_nsec};
}

}  // namespace

Result<std::shared_ptr<const MappedFile>> MappedFile::Open(const std::filesystem::path& path) {
  using Mapped = Result<std::shared_ptr<const MappedFile>>;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Mapped::Fail(path.string() + ": cannot open: " + std::strerror(errno));
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return Mapped::Fail(path.string() + ": not a regular file");
  }
  const Identity identity = IdentityOf(status);
  const std::lock_guard mapping(mappedLock);
  std::erase_if(mappedNow, [](const auto& entry) { return entry.second.expired(); });
  for (const auto& [known, file] : mappedNow)
    if (known == identity)
      if (auto shared = file.lock(); shared && !shared->cutShort()) {
        ::close(fd);
        return Mapped::Ok(std::move(shared));
      }
  const auto size = static_cast<size_t>(status.st_size);
  void* mapped = size == 0 ? nullptr : ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  const int mapError = errno;
  ::close(fd);
  if (mapped == MAP_FAILED)
    return Mapped::Fail(path.string() + ": cannot map: " + std::strerror(mapError));
  auto* data = static_cast<const uint8_t*>(mapped);
  // A file no fault can be caught for is not kept mapped.
  Watched* watch = size == 0 ? nullptr : Watch(data, size);
  if (size != 0 && !watch) {
    ::munmap(mapped, size);
    return Mapped::Fail(path.string() + ": too many files mapped");
  }
  std::shared_ptr<const MappedFile> file(new MappedFile(data, size, watch));
  mappedNow.emplace_back(identity, file);
  return Mapped::Ok(std::move(file));
}

MappedFile::~MappedFile() {
  if (!watch_) return;
  {
    const std::lock_guard lock(watchLock);
    watch_->end.store(0, std::memory_order_release);
    watch_->begin.store(0, std::memory_order_release);
  }
  ::munmap(const_cast<uint8_t*>(data_), size_);
}

bool MappedFile::cutShort() const { return watch_ && watch_->cut.load(std::memory_order_acquire); }

}  // namespace mw
