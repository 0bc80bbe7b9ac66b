// SPDX-License-Identifier: GPL-3.0-or-later
#include "PackagePaths.h"

#include <algorithm>
#include <system_error>

namespace mw {

std::optional<std::string> PackageNameOf(std::string_view folderName) {
  const size_t n = kPackageExtension.size();
  if (folderName.size() <= n ||
      !EqualsIgnoringCase(folderName.substr(folderName.size() - n), kPackageExtension))
    return std::nullopt;
  return std::string(folderName.substr(0, folderName.size() - n));
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::filesystem::path FindEntryIgnoringCase(const std::filesystem::path& dir,
                                            std::string_view child) {
  const std::filesystem::path exact = dir / std::filesystem::path(child);
  std::error_code ec;
  if (std::filesystem::exists(exact, ec)) return exact;
  std::filesystem::directory_iterator it(dir.empty() ? "." : dir, ec);
  for (const std::filesystem::directory_iterator end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (EqualsIgnoringCase(name, child)) return dir / name;
  }
  return exact;
}

std::filesystem::path PackageDirectory(const std::filesystem::path& programDir,
                                       std::string_view mapName) {
  // A map name comes from a position file: it names a directory beside the program and never
  // reaches outside it, so path separators in it are taken as plain characters.
  std::string dirName(mapName);
  std::replace(dirName.begin(), dirName.end(), '/', '_');
  std::replace(dirName.begin(), dirName.end(), '\\', '_');
  dirName += kPackageExtension;
  return FindEntryIgnoringCase(programDir, dirName);
}

std::filesystem::path PackageFile(const std::filesystem::path& programDir, std::string_view mapName,
                                  std::string_view fileName) {
  return FindEntryIgnoringCase(PackageDirectory(programDir, mapName), fileName);
}

}  // namespace mw
