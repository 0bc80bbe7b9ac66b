// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "LargeMemory.h"
#include "Result.h"

namespace mw {

// A regular file opened for reading. Only regular files are read: a FIFO, a device or a
// directory would block the program, never end or mean nothing, so opening one fails with a
// reason (and never waits for a writer).
class InputFile {
 public:
  static Result<InputFile> Open(const std::filesystem::path& path);
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&&) = delete;
  ~InputFile();

  // The size the file had when it was opened.
  uint64_t size() const { return size_; }
  // Appends up to `count` further bytes to `bytes`; fewer at the end of the file. Fails with a
  // reason when the file cannot be read.
  template <class Allocator>
  Result<size_t> ReadMore(std::vector<uint8_t, Allocator>& bytes, size_t count) {
    const size_t start = bytes.size();
    bytes.resize(start + Room(start, count));
    auto read = Read(bytes.data() + start, bytes.size() - start);
    bytes.resize(start + (read ? *read : 0));
    return read;
  }
  // Reads up to `count` further bytes into `to`; fewer at the end of the file.
  Result<size_t> Read(uint8_t* to, size_t count);
  // Reads up to `count` bytes from `offset` on into `to`, wherever the last read ended.
  Result<size_t> ReadAt(uint64_t offset, uint8_t* to, size_t count);

 private:
  // Reads until `count` bytes or the end of the file: from where the last read ended when
  // `offset` is negative, else from `offset`.
  Result<size_t> ReadFully(uint8_t* to, size_t count, int64_t offset);
  // How many of `count` further bytes after the first `start` the file can give: never more
  // than it had when it was opened, so that a file that grows meanwhile is read to its old size.
  size_t Room(uint64_t start, size_t count) const {
    return static_cast<size_t>(std::min<uint64_t>(count, size_ > start ? size_ - start : 0));
  }
  InputFile(int fd, uint64_t size, std::filesystem::path path)
      : fd_(fd), size_(size), path_(std::move(path)) {}
  int fd_;
  uint64_t size_;
  std::filesystem::path path_;
};

// Reads at most `maxBytes` bytes from the start of a regular file. Fails when the file cannot be
// opened or read, or is not a regular file; a shorter file gives fewer bytes.
Result<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path,
                                           size_t maxBytes = SIZE_MAX);

// The same into memory for big buffers (see LargeMemory.h): for files of megabytes.
Result<LargeVector<uint8_t>> ReadLargeFile(const std::filesystem::path& path);

// Reads a regular file from its start in growing pieces until `enough` says that the bytes read
// so far decide what the file means, or the file ends: a text reader needs only what it reads.
template <class Enough>
Result<std::vector<uint8_t>> ReadFileUntil(const std::filesystem::path& path, Enough enough);

// Whether bytes begin as an SQLite database does ("SQLite format 3" and a zero byte): a game file
// or another database. Such a file is never read as a position, and no writer of this program
// replaces it.
bool BeginsAsDatabase(std::span<const uint8_t> bytes);
// The same of the file at `path`; false for a file that cannot be read.
bool IsDatabaseFile(const std::filesystem::path& path);

// Makes a write past the file size limit of the process (a shell's `ulimit -f`) fail with an
// error instead of killing the program, so that a failed write still removes its temporary file.
// Programs that write files call it once at their start.
void LetOversizedWritesFail();

// A file written in place of another so that the old one survives any failure: the bytes go to a
// temporary file in the same directory, ".<name>.tmp-<pid>-<n>", and only Commit flushes it to
// the disk and renames it over the target; after a crash or a power loss the target holds the old
// bytes or the new ones, whole. A temporary that is not committed is removed. A new file gets
// `mode` (less the umask); a replaced one keeps the old file's permissions. A game file (see
// BeginsAsDatabase) is never replaced: Create and Commit fail on one, saying so.
class AtomicFile {
 public:
  static Result<AtomicFile> Create(const std::filesystem::path& path, unsigned mode = 0666);
  AtomicFile(AtomicFile&& other) noexcept;
  AtomicFile& operator=(AtomicFile&&) = delete;
  ~AtomicFile();

  int fd() const { return fd_; }
  // The steps a write takes, in their order: the bytes written, flushed to the disk, renamed over
  // the target, and the folder flushed so that the rename lasts through a power cut. A test
  // listens to them (none stops listening); nothing else does.
  enum class Step { kWrite, kSync, kRename, kSyncFolder };
  static void ListenToSteps(std::function<void(Step)> listener);
  // Appends bytes; false with errno set when they cannot be written.
  bool Write(std::span<const uint8_t> bytes);
  // Puts the file in place of the target. After a success, the temporaries of the same target
  // that killed processes left behind are removed.
  Status Commit();

 private:
  AtomicFile(int fd, std::filesystem::path path, std::filesystem::path temporary)
      : fd_(fd), path_(std::move(path)), temporary_(std::move(temporary)) {}
  int fd_;
  std::filesystem::path path_;
  std::filesystem::path temporary_;
};

// Replaces `path` with `bytes` through an AtomicFile: the target holds the old bytes or the new
// ones, whole; on failure the target is untouched and the failure says why.
Status WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                           unsigned mode = 0666);
// The same for a file made of several pieces, written one after the other.
Status WriteFileAtomically(const std::filesystem::path& path,
                           std::initializer_list<std::span<const uint8_t>> pieces,
                           unsigned mode = 0666);

// Removes from a folder the temporaries of any atomic write whose process no longer runs: it was
// killed mid-write.
void RemoveAbandonedTemporaries(const std::filesystem::path& folder);
// The name of a temporary of this process for `file`, beside it, and the removal of those of
// `file` whose process no longer runs (a game file's making that was killed).
std::filesystem::path TemporaryNameFor(const std::filesystem::path& file);
void RemoveAbandonedTemporariesOf(const std::filesystem::path& file);

template <class Enough>
Result<std::vector<uint8_t>> ReadFileUntil(const std::filesystem::path& path, Enough enough) {
  using Bytes = Result<std::vector<uint8_t>>;
  auto file = InputFile::Open(path);
  if (!file) return Bytes::Fail(file.error());
  std::vector<uint8_t> bytes;
  for (size_t piece = 4096;; piece *= 2) {
    auto got = file->ReadMore(bytes, piece);
    if (!got) return Bytes::Fail(got.error());
    if (*got < piece || enough(std::span<const uint8_t>(bytes))) return Bytes::Ok(std::move(bytes));
  }
}

}  // namespace mw
