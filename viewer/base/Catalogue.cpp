// SPDX-License-Identifier: GPL-3.0-or-later
#include "Catalogue.h"

#include <algorithm>
#include <system_error>

#include "CommandIds.h"
#include "MapInfo.h"
#include "PackagePaths.h"
#include "PackageText.h"

namespace mw {
namespace {

constexpr size_t kNameLength = 7;
constexpr size_t kTitleLength = 63;

int CompareIgnoringCase(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x += 32;
    if (y >= 'A' && y <= 'Z') y += 32;
    if (x != y) return x - y;
  }
  return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

}  // namespace

std::vector<CatalogueEntry> BuildMapCatalogue(const std::vector<std::filesystem::path>& folders,
                                              std::vector<std::string>* leftOut) {
  std::vector<CatalogueEntry> entries;
  auto known = [&](const std::string& name) {
    return std::any_of(entries.begin(), entries.end(), [&](const CatalogueEntry& e) {
      return EqualsIgnoringCase(e.packageName, name);
    });
  };
  for (const auto& folder : folders) {
    // One folder's entries in name order, so that of two spellings in it the same one wins.
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (const std::filesystem::directory_iterator end; !ec && it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      const size_t dot = name.rfind('.');
      if (dot == std::string::npos || !EqualsIgnoringCase(name.substr(dot), kPackageExtension))
        continue;
      std::error_code kind;
      if (it->is_directory(kind)) found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    for (const auto& dir : found) {
      const std::string name = dir.filename().string();
      const std::string mapName = name.substr(0, name.rfind('.'));
      if (known(mapName)) continue;
      const auto title = ReadMapTitle(FindEntryIgnoringCase(dir, package_file::kMapInfo));
      entries.push_back({0, mapName.substr(0, kNameLength), mapName,
                         DecodePackageText((title ? *title : mapName).substr(0, kTitleLength))});
    }
  }
  std::sort(entries.begin(), entries.end(), [](const CatalogueEntry& a, const CatalogueEntry& b) {
    const int c = CompareIgnoringCase(a.title, b.title);
    return c != 0 ? c < 0 : a.mapName < b.mapName;
  });
  if (entries.size() > kMaxCatalogued) {
    if (leftOut)
      for (size_t i = kMaxCatalogued; i < entries.size(); ++i)
        leftOut->push_back(entries[i].packageName);
    entries.resize(kMaxCatalogued);
  }
  for (size_t i = 0; i < entries.size(); ++i)
    entries[i].commandId = command::kFirstCatalogued + static_cast<int>(i);
  return entries;
}

}  // namespace mw
