// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Result.h"

namespace mw {

// One defect of a map package that the checker found.
struct Finding {
  enum class Level { kError, kWarning };
  Level level = Level::kError;
  std::string file;   // the package file it is about, "Map.bmp"
  std::string where;  // "line 3", "record 12 (Greyspire)", "120,45", or "file" for the whole
  std::string what;
  // A map point the finding is about, for a viewer to show.
  struct Point {
    int x = 0, y = 0;
  };
  std::optional<Point> point;

  // "error: <file>: <where>: <what>", or "warning: ...".
  std::string Line() const;
};

// What the checker found in a package, in the order of its files.
struct PackageReport {
  std::vector<Finding> findings;
  int errors() const;
  int warnings() const;
  // "N errors, M warnings".
  std::string Summary() const;
};

// Checks the package directory `packageDir` ("Name.gim"): every file the viewer reads, each on its
// own and against the others, as the viewer will read them; its title against those of the other
// packages in `mapFolders` (where the viewer looks for maps) and beside it. Fails only when the
// directory cannot be read at all.
Result<PackageReport> CheckPackage(const std::filesystem::path& packageDir,
                                   const std::vector<std::filesystem::path>& mapFolders = {});

}  // namespace mw
