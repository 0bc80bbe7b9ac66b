#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "Result.h"

namespace mw {

// A position or game file opened or saved, with the title of its map as it was then.
struct RecentFile {
  std::string path;
  std::string mapTitle;
  bool operator==(const RecentFile&) const = default;
};

// What the user chooses beyond the settings file of fixed layout (Marrowind.ini, whose bytes
// other programs read): kept in a text settings file of its own, Marrowind.conf, read at the
// start and written whole at every change, so that nothing chosen is lost to a crash.
struct Preferences {
  static constexpr const char* kFileName = "Marrowind.conf";
  static constexpr size_t kRecentFiles = 8;

  bool grabToScroll = false;       // "&Grab to Scroll": the right-button drag moves the map along
  bool piecesFollowZoom = false;   // "Pieces &Follow Zoom"
  std::vector<RecentFile> recent;  // "&Recent", newest first, at most kRecentFiles
  // The language of the windows: empty for the desktop's, or kEnglish or kGerman.
  static constexpr const char* kEnglish = "en";
  static constexpr const char* kGerman = "de";
  std::string language;

  // Reads the file; a missing or unreadable one leaves the defaults.
  static Preferences Load(const std::filesystem::path& file);
  Status Save(const std::filesystem::path& file) const;
  // Puts a file first among the recent ones, once, dropping the oldest beyond the limit.
  void Remember(const std::string& path, const std::string& mapTitle);
};

}  // namespace mw
