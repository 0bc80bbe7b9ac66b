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

std::vector<CatalogueEntry> BuildMapCatalogue(const std::filesystem::path& programDir) {
  std::vector<CatalogueEntry> entries;
  std::error_code ec;
  std::filesystem::directory_iterator it(programDir, ec);
  for (const std::filesystem::directory_iterator end; !ec && it != end; it.increment(ec)) {
    const std::string found = it->path().filename().string();
    const size_t dot = found.rfind('.');
    if (dot == std::string::npos || !EqualsIgnoringCase(found.substr(dot), kPackageExtension))
      continue;
    if (!it->is_directory(ec)) continue;
    const std::string mapName = found.substr(0, dot);
    const auto title = ReadMapTitle(FindEntryIgnoringCase(it->path(), package_file::kMapInfo));
    entries.push_back({0, mapName.substr(0, kNameLength), mapName,
                       DecodePackageText((title ? *title : mapName).substr(0, kTitleLength))});
  }
  std::sort(entries.begin(), entries.end(), [](const CatalogueEntry& a, const CatalogueEntry& b) {
    const int c = CompareIgnoringCase(a.title, b.title);
    return c != 0 ? c < 0 : a.mapName < b.mapName;
  });
  if (entries.size() > kMaxCatalogued) entries.resize(kMaxCatalogued);
  for (size_t i = 0; i < entries.size(); ++i)
    entries[i].commandId = command::kFirstCatalogued + static_cast<int>(i);
  return entries;
}

}  // namespace mw
