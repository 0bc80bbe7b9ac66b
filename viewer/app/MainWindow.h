// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "Dialogs.h"
#include "GameWindows.h"
#include "Host.h"
#include "Viewer.h"
#include "WindowFrames.h"

class QAction;
class QFileSystemWatcher;
class QLabel;
class QMenu;
class QTimer;

namespace mw {

class FindBar;

class MapWidget;
class PackageCheckDialog;
class PaletteWindow;
class InfoViewWindow;

// The main window (kMainWindowTitle): the menu, the map area and the two tool windows, over
// the viewer core.
class MainWindow : public QMainWindow,
                   private Surface,
                   private WindowFrame,
                   private Menus,
                   private ToolWindows,
                   private BoardWindows {
 public:
  // How often the recovery copy is brought up to date, in milliseconds.
  static constexpr int kRecoveryInterval = 2000;
  // How often the game file is looked at besides when the file system says it changed.
  static constexpr int kGameFileInterval = 1000;

  // The questions and file dialogs are the window's own, or those given (a test answers them).
  explicit MainWindow(std::filesystem::path programDir, Questions* questions = nullptr,
                      FileDialogs* files = nullptr);
  ~MainWindow() override;

  // Shows the window maximised: the whole framed picture at the screen's top left, as large as
  // the picture or the screen allows.
  void ShowMaximized();

  // The creation sequence: start position, command-line position, map, catalogue.
  void Start(const std::string& commandLine);

  Viewer& viewer() { return *viewer_; }
  QAction* action(int commandId) const;
  QMenu* newMenu() const { return newMenu_; }
  QMenu* recentMenu() const { return recentMenu_; }
  FindBar* findBar() const { return find_; }
  // The text of a part of the status bar.
  QString statusText(StatusField field) const;
  MapWidget* mapWidget() const { return map_; }
  QWidget* palette() const;
  QWidget* infoView() const;
  // The Changes window while a comparison is shown; none otherwise.
  ChangesWindow* changesWindow() const { return changes_; }
  // The History window once it was shown, and the Trends window while it is open.
  HistoryWindow* historyWindow() const { return history_; }
  TrendsWindow* trendsWindow() const { return trends_; }
  // Makes the main window the one that takes the keys, with the map focused.
  void TakeKeys();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // A position file dropped on the window opens as "&Open" opens the file chosen.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenu();
  void BuildStatusBar();
  void AddShortcuts();
  // What the window manager adds around the window: frame and caption.
  QSize Decorations() const;
  // Leaves the maximised state and enters it again, so that the window manager applies a new
  // limit.
  void Remaximize();
  bool FillsLimitAtTopLeft() const;
  // Follows the window manager's answers until the maximised window holds its new limit.
  void FollowWindowManager();
  void LookAtGeometry();
  QRect ScreenArea() const;
  // A place at the right edge of the screen below the menu bar's height, under `above` if given.
  QPoint PlaceAtTheRightEdge(const QWidget* window, const QWidget* above) const;
  // The same from the frames as the window manager made them; none until they are known.
  std::optional<QPoint> FramedPlaceAtTheRightEdge(const QWidget* window,
                                                  const QWidget* above) const;
  // Every tool window: it never takes the keyboard on its own, the shortcuts act in it, and it
  // first appears where `place` says (by default where it stood last time, else where it covers
  // the least of the map and of the other tool windows).
  // the least of the map and of the other tool windows). A finder says none until the frames it
  // depends on are known.
  using PlaceFinder = std::function<std::optional<ToolPlacement>(const QWidget*)>;
  void AdoptToolWindow(QWidget* window, PlaceFinder place = {});
  // The same for a window put where it stood before.
  void AdoptPlacedToolWindow(QWidget* window, QPoint frameTopLeft);
  void KeepToolWindow(QWidget* window);
  ToolPlacement PlacementFor(const QWidget* window, std::optional<QPoint> avoid) const;
  // Makes an action run a command: its id as data, "command<id>" as object name, and a place in
  // the table of actions by id.
  QAction* BindCommand(QAction* action, int id);
  QAction* AddCommand(QMenu* menu, const char* text, int id, bool checkable = false);

  // Surface
  void InvalidateMap(const QRect& client) override;
  void SetTitle(const std::string& title) override;
  void ShowStatus(StatusField field, const std::string& text) override;
  void ReportFailure(const Failure& failure) override;
  void SetCursor(CursorKind cursor) override;
  void BeginWait() override;
  void EndWait() override;
  void DescribeCrosshair(const std::string& text) override;
  void AfterPaint(std::function<void()> task) override;
  // Paints what waits to be painted, then runs the work kept for after it.
  void RunAfterPaint();
  // WindowFrame
  QSize ClientSize() override;
  QSize FrameExtra() override;
  QSize MaximizedSize() override;
  bool IsMaximized() override;
  void SetMaximumWindowSize(QSize outer) override;
  void ResizeWindow(QSize outer) override;
  // Menus
  void SetMenuCheck(int commandId, bool checked) override;
  void SetCatalogue(const std::vector<CatalogueEntry>& entries) override;
  void SetRecent(const std::vector<RecentEntry>& entries) override;
  // ToolWindows
  void InvalidateInfoView() override;
  std::optional<QPoint> ToolWindowPosition(ToolWindow which) override;
  void RecreateToolWindow(ToolWindow which, std::optional<QPoint> position, bool shown) override;
  void ShowToolWindow(ToolWindow which, bool shown) override;
  void ShowFindSector() override;
  void ShowAbout() override;
  void ShowPackageCheck(const std::string& packageName, const Result<PackageReport>& report,
                        bool open) override;
  // BoardWindows
  void ShowChanges(const std::string& file, const std::vector<ChangeLine>& lines) override;
  void CloseChanges() override;
  void ShowHistory(const GameHistory& history) override;
  void HideHistory() override;
  void ShowTrends(const GameHistory& history, bool open) override;
  void WatchGameFile(const std::string& path) override;
  void PlayMoves(int milliseconds) override;

  WindowDialogs dialogs_{this};
  std::unique_ptr<Viewer> viewer_;
  MapWidget* map_ = nullptr;
  QMenu* newMenu_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  FindBar* find_ = nullptr;
  std::map<int, QAction*> actions_;
  std::map<StatusField, QLabel*> status_;
  std::vector<QAction*> mapActions_;
  QList<QAction*> shortcutActions_;
  QPointer<PaletteWindow> palette_;
  QPointer<InfoViewWindow> infoView_;
  QPointer<ChangesWindow> changes_;
  QPointer<HistoryWindow> history_;
  QPointer<TrendsWindow> trends_;
  QPointer<PackageCheckDialog> check_;  // the one report of the package check
  std::vector<QPointer<QWidget>> toolWindows_;
  QTimer* settle_ = nullptr;
  QTimer* playMoves_ = nullptr;  // steps the moves replayed while they play
  std::vector<std::function<void()>> afterPaint_;
  int exposeWaits_ = 0;  // times the work for after the paint waited for the window to show
  // The game file and its folder, watched for changes other programs make (a sync tool replaces
  // the file by renaming, which only the folder sees).
  QFileSystemWatcher* gameWatcher_ = nullptr;
  std::string watchedGame_;
  int settleLooks_ = 0;
  QElapsedTimer sinceConfigure_;   // since the window manager last moved or resized the window
  std::optional<QSize> shrinkTo_;  // the largest size an unmaximised window was last given
};

}  // namespace mw
