// SPDX-License-Identifier: GPL-3.0-or-later
#include "Locations.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>

#include "PackagePaths.h"

namespace mw {
namespace {

// An absolute path from the environment; relative ones are to be ignored.
std::optional<std::filesystem::path> AbsoluteFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (!value || value[0] != '/') return std::nullopt;
  return std::filesystem::path(value);
}

std::filesystem::path Home() {
  const char* home = std::getenv("HOME");
  return home && home[0] ? std::filesystem::path(home) : std::filesystem::path("/");
}

}  // namespace

std::vector<std::filesystem::path> MapFolders(const std::filesystem::path& programDir) {
  std::vector<std::filesystem::path> folders{programDir};
  folders.push_back(AbsoluteFromEnvironment("XDG_DATA_HOME").value_or(Home() / ".local/share") /
                    "marrowind" / "maps");
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  const std::string list = dirs && dirs[0] ? dirs : "/usr/local/share:/usr/share";
  for (size_t start = 0; start <= list.size();) {
    const size_t end = std::min(list.find(':', start), list.size());
    const std::string entry = list.substr(start, end - start);
    if (!entry.empty() && entry[0] == '/')
      folders.push_back(std::filesystem::path(entry) / "marrowind" / "maps");
    start = end + 1;
  }
  folders.push_back(programDir.parent_path() / "share" / "marrowind" / "maps");
  std::vector<std::filesystem::path> unique;
  for (auto& f : folders) {
    const auto normal = f.lexically_normal();
    if (std::find(unique.begin(), unique.end(), normal) == unique.end()) unique.push_back(normal);
  }
  return unique;
}

std::filesystem::path FindPackage(const std::vector<std::filesystem::path>& folders,
                                  std::string_view mapName) {
  for (const auto& folder : folders) {
    std::error_code error;
    const auto dir = PackageDirectory(folder, mapName);
    if (std::filesystem::is_directory(dir, error)) return dir;
  }
  return PackageDirectory(folders.empty() ? std::filesystem::path(".") : folders.front(), mapName);
}

std::filesystem::path ProgramDir(const char* argv0) {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) self = std::filesystem::absolute(argv0, ec);
  return self.parent_path();
}

bool IsPortable(const std::filesystem::path& programDir) {
  if (::access(programDir.c_str(), W_OK) != 0) return false;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(programDir, error)) {
    if (PackageNameOf(entry.path().filename().string()) && entry.is_directory(error)) return true;
  }
  return false;
}

std::filesystem::path ExportFolder(const std::filesystem::path& programDir,
                                   const std::filesystem::path& packageFolder) {
  const auto data =
      AbsoluteFromEnvironment("XDG_DATA_HOME").value_or(Home() / ".local/share") / "marrowind";
  const auto parent = packageFolder.lexically_normal().parent_path();
  std::error_code error;
  const auto same = [&](const std::filesystem::path& folder) {
    return std::filesystem::equivalent(parent, folder, error) ||
           parent == folder.lexically_normal();
  };
  if ((same(programDir) && IsPortable(programDir)) || same(data / "maps")) return packageFolder;
  return data / "exports" / packageFolder.filename();
}

std::filesystem::path SettingsFile(const std::filesystem::path& programDir,
                                   std::string_view fileName) {
  if (IsPortable(programDir)) return programDir / fileName;
  return AbsoluteFromEnvironment("XDG_CONFIG_HOME").value_or(Home() / ".config") / "Marrowind" /
         fileName;
}

}  // namespace mw
