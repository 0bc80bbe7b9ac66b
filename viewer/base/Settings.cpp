// SPDX-License-Identifier: GPL-3.0-or-later
#include "Settings.h"

#include <algorithm>

#include "FileBytes.h"

namespace mw {

Status Settings::Load(const std::filesystem::path& path) {
  auto read = ReadFileBytes(path, kSize);
  LoadBytes(read ? std::span<const uint8_t>(read.value()) : std::span<const uint8_t>());
  return read ? Status::Ok() : Status::Fail(read.error());
}

void Settings::LoadBytes(std::span<const uint8_t> bytes) {
  bytes_.fill(0);
  std::copy_n(bytes.begin(), std::min(bytes.size(), kSize), bytes_.begin());
}

Status Settings::Save(const std::filesystem::path& path) const {
  return WriteFileAtomically(path, bytes_);
}

}  // namespace mw
