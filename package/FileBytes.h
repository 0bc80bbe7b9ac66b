#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

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
  Result<size_t> ReadMore(std::vector<uint8_t>& bytes, size_t count);

 private:
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

// Reads a regular file from its start in growing pieces until `enough` says that the bytes read
// so far decide what the file means, or the file ends: a text reader needs only what it reads.
template <class Enough>
Result<std::vector<uint8_t>> ReadFileUntil(const std::filesystem::path& path, Enough enough);

// Makes a write past the file size limit of the process (a shell's `ulimit -f`) fail with an
// error instead of killing the program, so that a failed write still removes its temporary file.
// Programs that write files call it once at their start.
void LetOversizedWritesFail();

// Replaces `path` with `bytes` so that the old file survives any failure: the bytes go to a
// temporary file in the same directory, are flushed to the disk, and only then is the temporary
// renamed over the target; after a crash or a power loss the target holds the old bytes or the new
// ones, whole. On failure the temporary is removed, the target is untouched and
// the failure says why. After a success, temporaries of the same target that a killed process
// left behind are removed.
Status WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes);
// The same for a file made of several pieces, written one after the other.
Status WriteFileAtomically(const std::filesystem::path& path,
                           std::initializer_list<std::span<const uint8_t>> pieces);

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
