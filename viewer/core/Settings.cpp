#include "Settings.h"

#include <algorithm>

#include "FileBytes.h"

namespace mw {

void Settings::Load(const std::filesystem::path& path) {
  bytes_.fill(0);
  auto read = ReadFileBytes(path, kSize);
  if (read) std::copy(read->begin(), read->end(), bytes_.begin());
}

bool Settings::Save(const std::filesystem::path& path) const {
  return WriteFileAtomically(path, bytes_);
}

}  // namespace mw
