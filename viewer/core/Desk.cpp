// SPDX-License-Identifier: GPL-3.0-or-later
// The desk around the board: settings, preferences, "&Recent" and the tool windows.
#include "Desk.h"

#include <QtGlobal>

#include "FileBytes.h"
#include "Locations.h"
#include "Texts.h"
#include "Viewer.h"

namespace mw {

Desk::Desk(Viewer& viewer) : v_(viewer) {
  // No settings file is the first start: the tool windows have no places yet.
  toolWindowsPlaced_ = settings_.Load(settingsPath()).ok();
  preferences_ = base_ = Preferences::Load(preferencesPath());
}

std::filesystem::path Desk::settingsPath() const {
  return SettingsFile(v_.startup().programDir, Settings::kFileName);
}

std::filesystem::path Desk::preferencesPath() const {
  return SettingsFile(v_.startup().programDir, Preferences::kFileName);
}

void Desk::ShowChecks() {
  Menus& menus = v_.host().menus;
  menus.SetMenuCheck(command::kIpcValues, settings_.showIpcValues());
  menus.SetMenuCheck(command::kUseBigPieces, settings_.useBigPieces());
  menus.SetMenuCheck(command::kGrabToScroll, preferences_.grabToScroll);
  menus.SetMenuCheck(command::kPiecesFollowZoom, preferences_.piecesFollowZoom);
  const std::string& language = preferences_.language;
  menus.SetMenuCheck(command::kLanguageDesktop, language.empty());
  menus.SetMenuCheck(command::kLanguageEnglish, language == Preferences::kEnglish);
  menus.SetMenuCheck(command::kLanguageGerman, language == Preferences::kGerman);
}

void Desk::ChooseLanguage(int id) {
  const std::string chosen = id == command::kLanguageEnglish  ? Preferences::kEnglish
                             : id == command::kLanguageGerman ? Preferences::kGerman
                                                              : "";
  const bool changed = chosen != preferences_.language;
  preferences_.language = chosen;
  ShowChecks();
  if (!changed) return;
  SavePreferences();
  // The windows are made in one language; the next start makes them in the one chosen.
  v_.host().surface.ShowStatus(StatusField::kMessage,
                               Tr("Desk", "The language changes when Marrowind starts again"));
}

void Desk::SaveSettings() {
  StoreToolWindowPositions();
  // The program ends either way; the settings of this session are then lost, and said so.
  std::error_code error;
  std::filesystem::create_directories(settingsPath().parent_path(), error);
  if (auto saved = settings_.Save(settingsPath()); !saved) qWarning("%s", saved.error().c_str());
}

void Desk::TogglePreference(int id) {
  Preferences& p = preferences_;
  const bool on = id == command::kGrabToScroll ? (p.grabToScroll = !p.grabToScroll)
                                               : (p.piecesFollowZoom = !p.piecesFollowZoom);
  v_.host().menus.SetMenuCheck(id, on);
  v_.view().SetGrabToScroll(p.grabToScroll);
  if (id == command::kPiecesFollowZoom) {
    v_.view().RedrawMapRegion();
    v_.host().surface.InvalidateMap(QRect());
  }
  SavePreferences();
}

void Desk::SavePreferences() {
  if (!keepPreferences_) return;
  // Another window of the program may have written the file since: what this one changed goes
  // into what is there, and this window sees the other's changes from now on.
  Preferences merged =
      Preferences::Merge(base_, preferences_, recentChanges_, Preferences::Load(preferencesPath()));
  recentChanges_.clear();
  const bool recentChanged = merged.recent != preferences_.recent;
  preferences_ = base_ = std::move(merged);
  if (Status saved = preferences_.Save(preferencesPath()); !saved)
    v_.host().surface.ShowStatus(StatusField::kMessage, saved.error());
  if (recentChanged) PublishRecent();
}

void Desk::RememberGame(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute =
      path.empty() ? std::filesystem::path() : std::filesystem::absolute(path, error);
  const std::string kept = error ? path : absolute.lexically_normal().string();
  if (!keepPreferences_ || kept == preferences_.game) return;
  preferences_.game = kept;
  SavePreferences();
}

std::optional<QPoint> Desk::WindowPlace(const std::string& name) const {
  const auto at = preferences_.places.find(name);
  if (at == preferences_.places.end()) return std::nullopt;
  return at->second;
}

void Desk::KeepWindowPlace(const std::string& name, QPoint frameTopLeft) {
  if (!keepPreferences_ || WindowPlace(name) == frameTopLeft) return;
  preferences_.places[name] = frameTopLeft;
  SavePreferences();
}

void Desk::RememberFile(const std::string& path) {
  if (!keepPreferences_) return;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  const RecentFile file{error ? path : absolute.lexically_normal().string(), v_.board().MapTitle()};
  preferences_.Remember(file.path, file.mapTitle);
  recentChanges_.push_back({false, file});
  SavePreferences();
  PublishRecent();
}

void Desk::PublishRecent() {
  std::vector<Menus::RecentEntry> entries;
  for (const RecentFile& f : preferences_.recent) {
    std::error_code error;
    entries.push_back({f.path, f.mapTitle, std::filesystem::is_regular_file(f.path, error)});
  }
  v_.host().menus.SetRecent(entries);
}

void Desk::OpenRecent(size_t index) {
  if (index >= preferences_.recent.size()) return;
  const std::string path = preferences_.recent[index].path;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    v_.host().surface.ShowStatus(StatusField::kMessage, Tr("Desk", "%1 is gone").arg(path));
    return PublishRecent();
  }
  if (!IsDatabaseFile(path)) return v_.OpenFile(path);
  if (v_.board().ConfirmDiscard()) v_.games().OpenGameFile(path, true);
}

void Desk::RemoveMissingRecent() {
  std::erase_if(preferences_.recent, [&](const RecentFile& f) {
    std::error_code error;
    const bool missing = !std::filesystem::is_regular_file(f.path, error);
    if (missing) recentChanges_.push_back({true, f});
    return missing;
  });
  SavePreferences();
  PublishRecent();
}

void Desk::StoreToolWindowPositions() {
  const auto palette = v_.host().tools.ToolWindowPosition(ToolWindow::kPalette);
  const auto infoView = v_.host().tools.ToolWindowPosition(ToolWindow::kInfoView);
  if (palette) settings_.setPalette(palette->x(), palette->y());
  if (infoView) settings_.setInfoView(infoView->x(), infoView->y());
  if (palette && infoView) toolWindowsPlaced_ = true;
}

void Desk::RebuildToolWindows() {
  StoreToolWindowPositions();
  const Settings& s = settings_;
  // On the very first start both would stand at (0, 0), over each other and the menu bar.
  auto at = [&](int x, int y) {
    return toolWindowsPlaced_ ? std::optional<QPoint>(QPoint(x, y)) : std::nullopt;
  };
  v_.host().tools.RecreateToolWindow(ToolWindow::kPalette, at(s.paletteX(), s.paletteY()),
                                     toolBarShown_);
  v_.host().tools.RecreateToolWindow(ToolWindow::kInfoView, at(s.infoViewX(), s.infoViewY()),
                                     infoViewShown_);
}

void Desk::ToggleToolWindow(ToolWindow which) {
  const bool palette = which == ToolWindow::kPalette;
  bool& shown = palette ? toolBarShown_ : infoViewShown_;
  shown = !shown;
  v_.host().menus.SetMenuCheck(palette ? command::kToolBar : command::kInfoView, shown);
  v_.host().tools.ShowToolWindow(which, shown);
}

void Desk::ToolWindowClosed(ToolWindow which) {
  const bool palette = which == ToolWindow::kPalette;
  (palette ? toolBarShown_ : infoViewShown_) = false;
  v_.host().menus.SetMenuCheck(palette ? command::kToolBar : command::kInfoView, false);
}

void Desk::ToggleFlag(int id) {
  Settings& s = settings_;
  bool on;
  if (id == command::kIpcValues) {
    s.setShowIpcValues(on = !s.showIpcValues());
  } else {
    s.setUseBigPieces(on = !s.useBigPieces());
  }
  v_.host().menus.SetMenuCheck(id, on);
  v_.view().RedrawMapRegion();
  v_.host().surface.InvalidateMap(QRect());
}

}  // namespace mw
