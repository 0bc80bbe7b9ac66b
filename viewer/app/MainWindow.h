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

class QAction;
class QFileSystemWatcher;
class QLabel;
class QMenu;
class QTimer;

namespace mw {

class FindBar;

class MapWidget;
class PaletteWindow;
class InfoViewWindow;

// Where the main window's questions and dialogs are answered. Each hook, when set, answers in
// place of the real dialog, so that tests can drive the windows without anything blocking.
struct DialogSeam {
  std::function<bool(const std::string& text, const std::string& caption)> confirm;
  // The question before unsaved changes are given up, with its Save button.
  std::function<Host::DiscardAnswer(const std::string& text, const std::string& caption)> discard;
  std::function<std::optional<std::string>()> openFile;
  // The position to compare the board with, and the folder its dialog opens in.
  std::function<std::optional<std::string>(const std::string& folder)> compareFile;
  // A game file to record into (`create`) or to open, and the label and note of a turn.
  std::function<std::optional<std::string>(bool create)> gameFile;
  std::function<std::optional<std::pair<std::string, std::string>>(const std::string& label,
                                                                   const std::string& note)>
      turnText;
  std::function<std::optional<std::string>(bool proposeNative)> saveFile;
  // A question whose yes is `action` ("Record Anyway"), Cancel its default; where unset, the
  // confirm hook answers it when that is set.
  std::function<bool(const std::string& text, const std::string& action)> confirmAction;
  // Which turn of a game, the last proposed.
  std::function<std::optional<int64_t>(const std::string& game, int64_t last)> turnNumber;
  std::function<void(const std::string& text)> error;
  std::function<void(const std::string& text)> unitList;
};

// The main window (kMainWindowTitle): the menu, the map area and the two tool windows, over
// the viewer core.
class MainWindow : public QMainWindow, private Host {
 public:
  // How often the recovery copy is brought up to date, in milliseconds.
  static constexpr int kRecoveryInterval = 2000;
  // How often the game file is looked at besides when the file system says it changed.
  static constexpr int kGameFileInterval = 1000;

  explicit MainWindow(std::filesystem::path programDir, DialogSeam seam = {});
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
  // How the window asks its questions; tests answer them here.
  DialogSeam& seam() { return seam_; }
  // Makes the main window the one that takes the keys, with the map focused.
  void TakeKeys();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
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
  // Makes an action run a command: its id as data, "command<id>" as object name, and a place in
  // the table of actions by id.
  QAction* BindCommand(QAction* action, int id);
  QAction* AddCommand(QMenu* menu, const char* text, int id, bool checkable = false);

  // Host
  bool Confirm(const std::string& text, const std::string& caption) override;
  bool ConfirmAction(const std::string& text, const std::string& caption,
                     const std::string& action) override;
  DiscardAnswer AskDiscard(const std::string& text, const std::string& caption) override;
  std::optional<std::string> ChooseOpenFile() override;
  std::optional<std::string> ChooseSaveFile(bool proposeNative) override;
  void ShowError(const std::string& text) override;
  void InvalidateMap(const QRect& client) override;
  void InvalidateInfoView() override;
  void SetTitle(const std::string& title) override;
  void ShowStatus(StatusField field, const std::string& text) override;
  void SetCursor(CursorKind cursor) override;
  void BeginWait() override;
  void EndWait() override;
  QSize ClientSize() override;
  QSize FrameExtra() override;
  QSize MaximizedSize() override;
  bool IsMaximized() override;
  void SetMaximumWindowSize(QSize outer) override;
  void ResizeWindow(QSize outer) override;
  std::optional<QPoint> ToolWindowPosition(ToolWindow which) override;
  void RecreateToolWindow(ToolWindow which, std::optional<QPoint> position, bool shown) override;
  void ShowToolWindow(ToolWindow which, bool shown) override;
  void SetMenuCheck(int commandId, bool checked) override;
  void SetCatalogue(const std::vector<CatalogueEntry>& entries) override;
  void SetRecent(const std::vector<RecentEntry>& entries) override;
  void ShowFindSector() override;
  void DescribeCrosshair(const std::string& text) override;
  void ShowAbout() override;
  void ShowUnitList(const std::string& text) override;
  void ShowPackageCheck(const std::string& packageName,
                        const Result<PackageReport>& report) override;
  std::optional<std::string> ChooseCompareFile(const std::string& folder) override;
  void ShowChanges(const std::string& file, const std::vector<ChangeLine>& lines) override;
  void CloseChanges() override;
  std::optional<std::string> ChooseGameFile(bool create) override;
  std::optional<TurnText> AskTurnText(const std::string& title, const TurnText& proposed) override;
  std::optional<int64_t> AskTurnNumber(const std::string& title, const std::string& game,
                                       int64_t last) override;
  void WatchGameFile(const std::string& path) override;
  void ShowHistory(const GameHistory& history) override;
  void HideHistory() override;
  void ShowTrends(const GameHistory& history, bool open) override;

  DialogSeam seam_;
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
  QTimer* settle_ = nullptr;
  // The game file and its folder, watched for changes other programs make (a sync tool replaces
  // the file by renaming, which only the folder sees).
  QFileSystemWatcher* gameWatcher_ = nullptr;
  std::string watchedGame_;
  int settleLooks_ = 0;
  QElapsedTimer sinceConfigure_;   // since the window manager last moved or resized the window
  std::optional<QSize> shrinkTo_;  // the largest size an unmaximised window was last given
};

}  // namespace mw
