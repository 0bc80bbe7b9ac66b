// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <filesystem>
#include <map>
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
// start and written at every change, so that nothing chosen is lost to a crash. Paths are kept
// as their bytes, whatever their encoding.
struct Preferences {
  static constexpr const char* kFileName = "Marrowind.conf";
  static constexpr size_t kRecentFiles = 8;

  bool grabToScroll = false;       // "&Grab to Scroll": the right-button drag moves the map along
  bool piecesFollowZoom = false;   // "Pieces Follow &Zoom"
  std::vector<RecentFile> recent;  // "&Recent", newest first, at most kRecentFiles
  // The language of the windows: empty for the desktop's, or kEnglish or kGerman.
  static constexpr const char* kEnglish = "en";
  static constexpr const char* kGerman = "de";
  std::string language;
  // The game open when the program last ended or opened one; reopened at the next start.
  std::string game;
  // Where each tool window's frame stood last, by the window's name.
  std::map<std::string, QPoint> places;

  // Reads the file; a missing or unreadable one leaves the defaults.
  static Preferences Load(const std::filesystem::path& file);
  Status Save(const std::filesystem::path& file) const;
  // Puts a file first among the recent ones, once, dropping the oldest beyond the limit.
  void Remember(const std::string& path, const std::string& mapTitle);

  // What one window changed since it read `base`, put into what is on the disk now (`disk`,
  // which other windows may have written meanwhile): the values it changed are its own, the
  // others the disk's; the recent files it remembered or forgot are remembered or forgotten in
  // the disk's list, in the order it did so.
  struct RecentChange {
    bool forget = false;
    RecentFile file;
  };
  static Preferences Merge(const Preferences& base, const Preferences& mine,
                           const std::vector<RecentChange>& recentChanges, Preferences disk);
};

}  // namespace mw
