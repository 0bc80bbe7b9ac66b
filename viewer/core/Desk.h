// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "Host.h"
#include "Preferences.h"
#include "Settings.h"

namespace mw {

class Viewer;

// The desk around the board: the settings block and the preferences, "&Recent", the tool windows
// and the flags and preferences the menus turn over.
class Desk {
 public:
  // Reads the settings block and the preferences of the program's folder.
  explicit Desk(Viewer& viewer);

  const Settings& settings() const { return settings_; }
  const Preferences& preferences() const { return preferences_; }
  std::filesystem::path settingsPath() const;
  std::filesystem::path preferencesPath() const;
  // Writes the preferences (Marrowind.conf) at every change, keeps the files opened and saved
  // in "&Recent", and gives a newcomer the first hint: what the window does for a user. Without
  // it (the headless modes) the preferences are read but never written.
  void KeepPreferences() { keepPreferences_ = true; }
  bool keepsPreferences() const { return keepPreferences_; }

  // The menu's check marks as the settings and preferences have them.
  void ShowChecks();
  // "&IPC Values" and "&Use BigPieces": a flag of the settings turned over.
  void ToggleFlag(int id);
  // "&Grab to Scroll" and "Pieces Follow &Zoom": a preference turned over and kept.
  void TogglePreference(int id);
  // "&Language": the language of the windows from the next start, kept.
  void ChooseLanguage(int id);

  // A file opened or saved becomes the newest of "&Recent"; the menu shows the list again.
  void RememberFile(const std::string& path);
  // Tells the "&Recent" menu the files again, each marked whether it is still there.
  void PublishRecent();
  void OpenRecent(size_t index);
  void RemoveMissingRecent();
  // The game open now (none: empty), reopened at the next start.
  void RememberGame(const std::string& path);
  // Where a tool window stood last, by its name, and where it stands now, kept for the next
  // start.
  std::optional<QPoint> WindowPlace(const std::string& name) const;
  void KeepWindowPlace(const std::string& name, QPoint frameTopLeft);

  // "&ToolBar" and "&InfoView", and a tool window closed with its window manager's button: it is
  // hidden, and its menu item loses its check mark.
  void ToggleToolWindow(ToolWindow which);
  void ToolWindowClosed(ToolWindow which);
  // Makes the tool windows again for a new pieces picture, where they stood.
  void RebuildToolWindows();
  // The program ends: the tool windows' places and the settings are written.
  void SaveSettings();

 private:
  void SavePreferences();
  void StoreToolWindowPositions();

  Viewer& v_;
  Settings settings_;
  Preferences preferences_;
  // The preferences as this window last read or wrote them, and the recent files it remembered
  // or forgot since: what it changed is merged into what other windows wrote meanwhile.
  Preferences base_;
  std::vector<Preferences::RecentChange> recentChanges_;
  bool keepPreferences_ = false;
  // Whether the tool windows have a place yet: from the settings file, or from this session.
  bool toolWindowsPlaced_ = false;
  bool toolBarShown_ = true;
  bool infoViewShown_ = true;
};

}  // namespace mw
