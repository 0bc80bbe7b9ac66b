// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

#include "Result.h"

namespace mw {

struct MappedWatch;

// A file's bytes mapped read-only: the pages are shared with the kernel's cache of the file and
// read only where they are used, so a big file is neither copied nor read whole.
//
// Every tool of the suite replaces a file whole (a new file renamed over the old), which leaves
// a mapping of the old one whole. A program that cut the file short in place would make the
// pages past its new end unreadable; a read there gives zeros instead of stopping the program,
// and `cutShort` says so from then on. A file mapped again while its mapping lives, unchanged
// since, shares it.
class MappedFile {
 public:
  static Result<std::shared_ptr<const MappedFile>> Open(const std::filesystem::path& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::span<const uint8_t> bytes() const { return {data_, size_}; }
  // Whether a read met a page of the file that was no longer there: one load of an atomic, cheap
  // enough to ask after every change of the board.
  bool cutShort() const;

 private:
  MappedFile(const uint8_t* data, size_t size, MappedWatch* watch)
      : data_(data), size_(size), watch_(watch) {}
  const uint8_t* data_;
  size_t size_;
  MappedWatch* watch_;  // the slot the fault handler looks in; none for an empty file
};

}  // namespace mw
