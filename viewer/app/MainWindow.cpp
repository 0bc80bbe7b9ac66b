// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

#include "Accessibility.h"
#include "Actions.h"
#include "Dialogs.h"
#include "FindBar.h"
#include "GameWindows.h"
#include "KeyEvents.h"
#include "MapWidget.h"
#include "Texts.h"
#include "ToolWindows.h"
#include "WindowFrames.h"

namespace mw {

MainWindow::MainWindow(std::filesystem::path programDir, Questions* questions, FileDialogs* files)
    : viewer_(std::make_unique<Viewer>(
          Host(questions ? *questions : dialogs_, files ? *files : dialogs_, *this, *this, *this,
               *this, *this),
          std::move(programDir))) {
  setObjectName(QStringLiteral("TessMapView"));
  setWindowTitle(QString::fromLatin1(kMainWindowTitle));
  InstallAccessibleInterfaces();
  map_ = new MapWidget(this, *viewer_);
  setCentralWidget(map_);
  BuildMenu();
  BuildStatusBar();
  setAcceptDrops(true);
  // The one timer of the program: the recovery copy follows the edits a few seconds behind.
  viewer_->recovery().Enable(RecoveryStore::DefaultFolder());
  viewer_->desk().KeepPreferences();
  auto* recovery = new QTimer(this);
  recovery->setObjectName(QStringLiteral("RecoveryTimer"));
  connect(recovery, &QTimer::timeout, this, [this] { viewer_->recovery().Keep(); });
  recovery->start(kRecoveryInterval);
  // The game file on the disk: looked at when it or its folder changes, and every second, for a
  // file system that does not tell (a network share).
  gameWatcher_ = new QFileSystemWatcher(this);
  const auto follow = [this] { viewer_->games().FollowGameFile(); };
  connect(gameWatcher_, &QFileSystemWatcher::fileChanged, this, follow);
  connect(gameWatcher_, &QFileSystemWatcher::directoryChanged, this, follow);
  auto* gameTimer = new QTimer(this);
  gameTimer->setObjectName(QStringLiteral("GameFileTimer"));
  connect(gameTimer, &QTimer::timeout, this, follow);
  gameTimer->start(kGameFileInterval);
  playMoves_ = new QTimer(this);
  playMoves_->setObjectName(QStringLiteral("PlayMovesTimer"));
  connect(playMoves_, &QTimer::timeout, this, [this] { viewer_->playback().Tick(); });
  settle_ = new QTimer(this);
  settle_->setInterval(150);
  connect(settle_, &QTimer::timeout, this, &MainWindow::LookAtGeometry);
}

MainWindow::~MainWindow() {
  // Gone while the viewer they call is still there.
  delete palette_;
  delete infoView_;
  delete history_;
  delete trends_;
}

void MainWindow::Start(const std::string& commandLine) {
  viewer_->Start(commandLine);
  map_->setFocus();
}

QAction* MainWindow::BindCommand(QAction* action, int id) {
  action->setData(id);
  action->setObjectName(QStringLiteral("command%1").arg(id));
  connect(action, &QAction::triggered, this, [this, id] { viewer_->Command(id); });
  actions_[id] = action;
  return action;
}

QAction* MainWindow::AddCommand(QMenu* menu, const char* text, int id, bool checkable) {
  QAction* action = BindCommand(menu->addAction(QTr("Menu", text)), id);
  action->setCheckable(checkable);
  return action;
}

void MainWindow::BuildMenu() {
  // The menu bar's popups in their order: "&New" is the second.
  std::map<MenuPlace, QMenu*> menus;
  QActionGroup* languages = nullptr;
  menus[MenuPlace::kFile] = menuBar()->addMenu(QTr("Menu", MenuText(MenuPlace::kFile)));
  newMenu_ = menuBar()->addMenu(QTr("Menu", "&New"));
  newMenu_->addSeparator();
  for (const MenuPlace place : {MenuPlace::kWindows, MenuPlace::kView})
    menus[place] = menuBar()->addMenu(QTr("Menu", MenuText(place)));
  // "&UNDO", "&REDO", "&DEL" and "ESC" stand at the right of the menu bar.
  auto* right = new QMenuBar(menuBar());
  right->setObjectName(QStringLiteral("RightMenu"));
  for (const Action& a : Actions()) {
    if (a.menu == MenuPlace::kNone) continue;
    const QString text = a.text ? QTr("Menu", a.text) : QString();
    if (a.kind == Action::Kind::kSeparator) {
      menus[a.menu]->addSeparator();
    } else if (a.kind == Action::Kind::kRecent) {
      recentMenu_ = menus[a.menu]->addMenu(text);
      recentMenu_->setObjectName(QStringLiteral("RecentMenu"));
    } else if (a.kind == Action::Kind::kSubmenu) {
      menus[a.submenu] = menus[a.menu]->addMenu(text);
    } else if (a.menu == MenuPlace::kLanguage) {
      // One language at a time, marked as such.
      if (!languages) languages = new QActionGroup(this);
      languages->addAction(AddCommand(menus[a.menu], a.text, a.command, a.checkable));
    } else if (a.menu == MenuPlace::kMenuBar) {
      BindCommand(right->addAction(text), a.command);
    } else {
      AddCommand(menus[a.menu], a.text, a.command, a.checkable);
    }
  }
  menuBar()->setCornerWidget(right, Qt::TopRightCorner);
  action(command::kToolBar)->setChecked(true);
  action(command::kInfoView)->setChecked(true);
  // Files may have gone since the list was shown.
  connect(recentMenu_, &QMenu::aboutToShow, this, [this] { viewer_->desk().PublishRecent(); });
  // Only a board with unsaved changes to its position file has something to compare.
  QAction* saved = action(command::kCompareWithSaved);
  connect(menus[MenuPlace::kFile], &QMenu::aboutToShow, this, [this, saved] {
    saved->setEnabled(!viewer_->board().document().currentFile.empty() &&
                      viewer_->position().dirty());
  });
  AddShortcuts();
}

// The keys of the table of actions, on the commands that do those things, wherever the program
// has the focus. The plain + and - keys zoom on their release in the map, as the keypad's do.
void MainWindow::AddShortcuts() {
  for (const Action& a : Actions()) {
    QList<QKeySequence> keys;
    for (const Chord& chord : a.chords)
      if (!chord.empty()) keys += SequencesOf(chord);
    if (keys.isEmpty()) continue;
    QAction* bound = action(a.command);
    if (a.command == command::kClose) {
      bound = new QAction(this);
      bound->setObjectName(QStringLiteral("quit"));
      connect(bound, &QAction::triggered, this, &QWidget::close);
      addAction(bound);
    }
    bound->setShortcuts(keys);
    shortcutActions_.append(bound);
  }
}

// Under the map: what a save or an export did on the left; the mode, the point under the mouse
// and the zoom on the right.
void MainWindow::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(false);
  // A warning stands first, in red, until what it warns of is mended; messages come and go.
  auto* warning = new QLabel(bar);
  warning->setObjectName(QStringLiteral("StatusWarning"));
  warning->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
  bar->addWidget(warning);
  status_[StatusField::kWarning] = warning;
  auto* message = new QLabel(bar);
  message->setObjectName(QStringLiteral("StatusMessage"));
  bar->addWidget(message, 1);
  status_[StatusField::kMessage] = message;
  for (auto [field, name] : {std::pair{StatusField::kMode, "StatusMode"},
                             {StatusField::kPointer, "StatusPointer"},
                             {StatusField::kZoom, "StatusZoom"}}) {
    auto* label = new QLabel(bar);
    label->setObjectName(QString::fromLatin1(name));
    label->setContentsMargins(10, 0, 4, 0);  // room between the parts
    bar->addPermanentWidget(label);
    status_[field] = label;
  }
  // The bar keeps one height whatever it shows: its height is part of the frame around the map
  // that the window's limit counts, and a bar that grew later would hide the map's last rows.
  for (auto& [field, label] : status_) label->setText(QStringLiteral("Xy %"));
  bar->setFixedHeight(bar->sizeHint().height());
  for (auto& [field, label] : status_) label->clear();
  warning->hide();
  status_[StatusField::kZoom]->setText(QStringLiteral("100 %"));
}

QString MainWindow::statusText(StatusField field) const { return status_.at(field)->text(); }

void MainWindow::ShowStatus(StatusField field, const std::string& text) {
  QLabel* label = status_.at(field);
  label->setText(QString::fromStdString(text));
  // An empty part takes no room, so that no stray separator stands in the bar.
  label->setVisible(!text.empty() || field == StatusField::kMessage);
}

// Every command's failure is said the same way: in the status bar, and in a box the user must
// close when work was not kept where it was asked to go.
void MainWindow::ReportFailure(const Failure& failure) {
  const FailureWords words = WordsFor(failure);
  ShowStatus(StatusField::kMessage, words.status);
  if (!words.box.empty()) viewer_->host().questions.ShowError(words.box);
}

namespace {

// The local position or game file a drag carries, or none: one file, named .QPX, .MAP or .mwgame.
std::optional<QString> DroppedPosition(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1) return std::nullopt;
  const QUrl url = data->urls().front();
  if (!url.isLocalFile()) return std::nullopt;
  const QString path = url.toLocalFile();
  if (!path.endsWith(QStringLiteral(".QPX"), Qt::CaseInsensitive) &&
      !path.endsWith(QStringLiteral(".MAP"), Qt::CaseInsensitive) &&
      !path.endsWith(QString::fromLatin1(GameFile::kExtension), Qt::CaseInsensitive))
    return std::nullopt;
  return path;
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (DroppedPosition(event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const auto path = DroppedPosition(event->mimeData());
  if (!path) return;
  event->acceptProposedAction();
  viewer_->OpenFile(QFile::encodeName(*path).toStdString());
}

QAction* MainWindow::action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

QWidget* MainWindow::palette() const { return palette_; }

void MainWindow::TakeKeys() {
  activateWindow();
  map_->setFocus();
}
QWidget* MainWindow::infoView() const { return infoView_; }

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!viewer_->Close()) {
    event->ignore();
    return;
  }
  event->accept();
  // The tool windows go with the main window, keeping their places for the next start; with it
  // the last window closes and the program ends.
  for (const QPointer<QWidget>& w : toolWindows_)
    if (w) w->hide();
}

void MainWindow::InvalidateMap(const QRect& client) {
  if (client.isNull())
    map_->update();
  else
    map_->update(client);
}

void MainWindow::InvalidateInfoView() {
  if (!infoView_) return;
  infoView_->update();
  AnnounceInfoViewFigures(infoView_);
}

void MainWindow::SetTitle(const std::string& title) {
  setWindowTitle(QString::fromStdString(title));
}

void MainWindow::SetCursor(CursorKind cursor) {
  setCursor(cursor == CursorKind::kCross ? Qt::CrossCursor : Qt::ArrowCursor);
}

void MainWindow::BeginWait() { QApplication::setOverrideCursor(Qt::WaitCursor); }
void MainWindow::EndWait() { QApplication::restoreOverrideCursor(); }

QSize MainWindow::ClientSize() { return map_->size(); }

QSize MainWindow::FrameExtra() { return frameGeometry().size() - map_->size(); }

QSize MainWindow::Decorations() const { return frameGeometry().size() - size(); }

QSize MainWindow::MaximizedSize() {
  QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  return s ? s->availableGeometry().size() : QSize(1920, 1080);
}

// A maximised window shows the whole framed picture at the screen's top left: window managers
// place a maximised window whose limit is smaller than the screen there, as large as the limit.
bool MainWindow::IsMaximized() { return isMaximized(); }

void MainWindow::ShowMaximized() {
  showMaximized();
  FollowWindowManager();
}

QRect MainWindow::ScreenArea() const {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  return s ? s->availableGeometry() : QRect(0, 0, 1920, 1080);
}

void MainWindow::SetMaximumWindowSize(QSize outer) {
  QSize limit = outer.isEmpty() ? QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX) : outer - Decorations();
  // Where the screen is the limit, the window manager keeps the window on it: a limit taken from
  // frame extents that a maximised frame no longer has would leave the window short of the
  // screen's edge.
  const QSize screen = ScreenArea().size();
  if (outer.width() >= screen.width()) limit.setWidth(QWIDGETSIZE_MAX);
  if (outer.height() >= screen.height()) limit.setHeight(QWIDGETSIZE_MAX);
  if (limit == maximumSize()) return;
  const bool maximized = isMaximized();
  // A lower limit shrinks the window, and a window that resizes itself leaves the maximised
  // state; so does the window here, and enters it again under the new limit.
  setMaximumSize(limit);
  if (maximized) {
    Remaximize();
    FollowWindowManager();
  }
}

void MainWindow::Remaximize() {
  setWindowState(windowState() & ~Qt::WindowMaximized);
  setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::ResizeWindow(QSize outer) {
  // A maximised window already takes its limit from the window manager.
  if (isMaximized()) return;
  shrinkTo_ = outer - Decorations();
  resize(*shrinkTo_);
  FollowWindowManager();
}

// Whether the window manager holds the maximised window as it should: at the screen's left edge
// and top, reaching the screen's right and bottom edges or as large as the limit. (A maximised
// window has no border on its right and bottom; the frame's extents as the program knows them
// may still be those of the unmaximised window.)
bool MainWindow::FillsLimitAtTopLeft() const {
  const QRect area = ScreenArea(), client = geometry();
  const QSize room(area.right() + 1 - client.left(), area.bottom() + 1 - client.top());
  const QSize frame = Decorations();
  return client.size() == maximumSize().boundedTo(room) &&
         client.left() - area.left() <= frame.width() &&
         client.top() - area.top() <= frame.height();
}

// A window manager answers a request in its own time and order, and may drop one that comes
// while it restores the window or answers an older one (all the more on a busy machine). After a
// new limit or size the window looks at what it was given a few times a second: once the window
// manager has been quiet for a moment and the geometry is still not the one asked for, it asks
// again, until it holds.
void MainWindow::FollowWindowManager() {
  settleLooks_ = 0;
  sinceConfigure_.start();
  settle_->start();
}

void MainWindow::LookAtGeometry() {
  constexpr int kQuietMs = 400, kLooks = 200;  // 30 s at most
  if (++settleLooks_ == kLooks) return settle_->stop();
  if (sinceConfigure_.elapsed() < kQuietMs) return;  // the window manager is still at work
  if (isMaximized()) {
    shrinkTo_.reset();
    if (IsFramed(this) && FillsLimitAtTopLeft()) return settle_->stop();
    Remaximize();
  } else {
    // An unmaximised window is only ever shrunk; the user may make it smaller meanwhile.
    if (!shrinkTo_ || size().boundedTo(*shrinkTo_) == size()) {
      shrinkTo_.reset();
      return settle_->stop();
    }
    resize(size().boundedTo(*shrinkTo_));
  }
  sinceConfigure_.start();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  sinceConfigure_.start();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  sinceConfigure_.start();
}

std::optional<QPoint> MainWindow::ToolWindowPosition(ToolWindow which) {
  QWidget* w = which == ToolWindow::kPalette ? static_cast<QWidget*>(palette_) : infoView_;
  if (!w) return std::nullopt;
  return w->pos();
}

void MainWindow::RecreateToolWindow(ToolWindow which, std::optional<QPoint> position, bool shown) {
  QWidget* w;
  if (which == ToolWindow::kPalette) {
    delete palette_;
    w = palette_ = new PaletteWindow(this, *viewer_);
  } else {
    delete infoView_;
    w = infoView_ = new InfoViewWindow(this, *viewer_);
  }
  if (position) {
    AdoptPlacedToolWindow(w, *position);
  } else {
    // At the right edge of the screen, the InfoView under the ToolBar, where that covers no more
    // of the map than any other place; else where it covers the least.
    const QWidget* above = which == ToolWindow::kInfoView ? palette_.data() : nullptr;
    AdoptToolWindow(w,
                    [this, above = QPointer<const QWidget>(above)](
                        const QWidget* window) -> std::optional<ToolPlacement> {
                      ToolPlacement p = PlacementFor(window, std::nullopt);
                      if (!IsFramed(this)) {
                        p.first = PlaceAtTheRightEdge(window, above);
                      } else {
                        p.first = FramedPlaceAtTheRightEdge(window, above);
                        if (!p.first) return std::nullopt;
                      }
                      return p;
                    });
  }
  w->setVisible(shown);
}

QPoint MainWindow::PlaceAtTheRightEdge(const QWidget* window, const QWidget* above) const {
  constexpr int kGap = 4;
  // Before the window manager has framed the windows their frames are unknown: assume a caption
  // and a border of a usual size.
  const QSize frame = Decorations().expandedTo(QSize(4, 28));
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  const QRect area = s ? s->availableGeometry() : QRect(0, 0, 1920, 1080);
  int y = area.top() + frame.height() + menuBar()->sizeHint().height() + kGap;
  if (above) y = above->pos().y() + above->height() + frame.height() + kGap;
  return QPoint(area.right() + 1 - window->width() - frame.width(), y);
}

std::optional<QPoint> MainWindow::FramedPlaceAtTheRightEdge(const QWidget* window,
                                                            const QWidget* above) const {
  constexpr int kGap = 4;
  if (!IsFramed(this) || (above && above->isVisible() && !IsFramed(above))) return std::nullopt;
  const int y = above && above->isVisible()
                    ? above->frameGeometry().bottom() + 1 + kGap
                    : menuBar()->mapToGlobal(QPoint(0, menuBar()->height())).y() + kGap;
  return QPoint(ScreenArea().right() + 1 - window->frameGeometry().width(), y);
}

void MainWindow::ShowToolWindow(ToolWindow which, bool shown) {
  QWidget* w = which == ToolWindow::kPalette ? static_cast<QWidget*>(palette_) : infoView_;
  if (w) w->setVisible(shown);
}

void MainWindow::SetMenuCheck(int id, bool checked) {
  if (QAction* a = action(id)) a->setChecked(checked);
}

void MainWindow::SetCatalogue(const std::vector<CatalogueEntry>& entries) {
  for (QAction* a : mapActions_) {
    actions_.erase(a->data().toInt());
    delete a;
  }
  mapActions_.clear();
  for (const CatalogueEntry& e : entries)
    mapActions_.push_back(
        BindCommand(newMenu_->addAction(QString::fromStdString(e.title)), e.commandId));
}

void MainWindow::SetRecent(const std::vector<RecentEntry>& entries) {
  for (QAction* a : recentMenu_->actions()) {
    actions_.erase(a->data().toInt());
    delete a;
  }
  bool missing = false;
  for (size_t k = 0; k < entries.size(); ++k) {
    const RecentEntry& e = entries[k];
    QString name = QString::fromStdString(std::filesystem::path(e.path).filename().string());
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QString title = QString::fromStdString(e.mapTitle);
    title.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* a = BindCommand(
        recentMenu_->addAction(QStringLiteral("&%1 %2 \u2013 %3").arg(k + 1).arg(name, title)),
        command::kFirstRecent + static_cast<int>(k));
    a->setToolTip(e.exists ? QString::fromStdString(e.path)
                           : QTr("MainWindow", "%1 (gone)").arg(QString::fromStdString(e.path)));
    a->setEnabled(e.exists);
    missing = missing || !e.exists;
  }
  if (entries.empty()) recentMenu_->addAction(QTr("MainWindow", "(none yet)"))->setEnabled(false);
  recentMenu_->addSeparator();
  AddCommand(recentMenu_, QT_TRANSLATE_NOOP("Menu", "Remove &Missing Files"),
             command::kRemoveMissingRecent)
      ->setEnabled(missing);
  recentMenu_->setToolTipsVisible(true);
}

void MainWindow::ShowFindSector() {
  if (!find_) find_ = new FindBar(map_, *viewer_);
  find_->Open();
}

void MainWindow::AfterPaint(std::function<void()> task) {
  afterPaint_.push_back(std::move(task));
  if (afterPaint_.size() == 1)
    QMetaObject::invokeMethod(this, &MainWindow::RunAfterPaint, Qt::QueuedConnection);
}

void MainWindow::RunAfterPaint() {
  // A window shown but not on the screen yet (at the start) paints once it is: the work waits
  // for that a little while, not for ever.
  if (isVisible() && windowHandle() && !windowHandle()->isExposed() && ++exposeWaits_ < 50) {
    QTimer::singleShot(10, this, &MainWindow::RunAfterPaint);
    return;
  }
  exposeWaits_ = 0;
  // The repaint asked for waits among the posted events, behind this call or not: it is made
  // now, so that the picture is on the screen before the work that it does not need.
  QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
  for (auto tasks = std::exchange(afterPaint_, {}); auto& task : tasks) task();
}

// A screen reader says the map's name when it changes while the map has the keys.
void MainWindow::DescribeCrosshair(const std::string& text) {
  map_->setAccessibleName(text.empty() ? QTr("MainWindow", "Map")
                                       : QTr("MainWindow", "Map: ") + QString::fromStdString(text));
}

void MainWindow::ShowAbout() {
  auto* about = new AboutDialog(this);
  about->show();
}

void MainWindow::ShowPackageCheck(const std::string& packageName,
                                  const Result<PackageReport>& report, bool open) {
  if (check_) {
    check_->SetReport(packageName, report);
    if (open) {
      check_->show();
      check_->raise();
    }
    return;
  }
  if (!open) return;
  // The report stands beside the map, and moves away from a marked point it would cover.
  const auto placement = [this](const QWidget* window) {
    const std::optional<QPoint> marked = viewer_->overlays().markedPoint();
    return PlacementFor(
        window, marked ? std::optional(map_->mapToGlobal(viewer_->view().MapToClient(*marked)))
                       : std::nullopt);
  };
  check_ = new PackageCheckDialog(this, [this, placement](std::optional<QPoint> map) {
    viewer_->overlays().MarkMapPoint(map);
    if (!check_ || !check_->isVisible() || !map) return;
    const ToolPlacement p = placement(check_);
    const QRect frame = check_->frameGeometry();
    if (frame.adjusted(-kAvoidMargin, -kAvoidMargin, kAvoidMargin, kAvoidMargin).contains(*p.avoid))
      check_->move(PlaceToolWindow(p, frame.size()).topLeft());
  });
  check_->SetReport(packageName, report);
  AdoptToolWindow(check_, placement);
  check_->show();
}

void MainWindow::ShowChanges(const std::string& file, const std::vector<ChangeLine>& lines) {
  if (!changes_) {
    changes_ =
        new ChangesWindow(this, [this](int sector) { viewer_->overlays().ShowSector(sector); });
    // Closed by the user (Esc, its close button): the comparison ends.
    connect(changes_, &QDialog::finished, this, [this] { viewer_->overlays().EndComparison(); });
    changes_->SetLines(file, lines);
    AdoptToolWindow(changes_);
    changes_->show();
    return;
  }
  changes_->SetLines(file, lines);
}

void MainWindow::WatchGameFile(const std::string& path) {
  if (path == watchedGame_) return;
  if (!gameWatcher_->files().isEmpty()) gameWatcher_->removePaths(gameWatcher_->files());
  if (!gameWatcher_->directories().isEmpty())
    gameWatcher_->removePaths(gameWatcher_->directories());
  watchedGame_ = path;
  if (path.empty()) return;
  const QString file = QFile::decodeName(QByteArray::fromStdString(path));
  gameWatcher_->addPath(file);
  gameWatcher_->addPath(QFileInfo(file).absolutePath());
}

void MainWindow::PlayMoves(int milliseconds) {
  if (milliseconds <= 0) return playMoves_->stop();
  playMoves_->start(milliseconds);
}

void MainWindow::ShowHistory(const GameHistory& history) {
  if (!history_) {
    history_ = new HistoryWindow(
        this,
        {[this](int64_t turn) { return viewer_->games().GoToTurn(turn); },
         [this](int direction) {
           viewer_->Command(direction < 0 ? command::kPreviousTurn : command::kNextTurn);
         },
         [this](int64_t turn) { viewer_->games().AnnotateTurn(turn); },
         [this] { viewer_->Command(command::kTrends); },
         [this] { viewer_->games().turns().Closed(); }, [this](int id) { viewer_->Command(id); },
         [this](size_t step) { viewer_->playback().GoTo(step); },
         [this] { viewer_->playback().TogglePlay(); },
         [this](int pace) { viewer_->playback().SetPace(pace); },
         [this] { viewer_->playback().Leave(); }});
    AdoptToolWindow(history_);
  }
  history_->SetHistory(history);
}

void MainWindow::HideHistory() {
  if (history_) history_->hide();
}

void MainWindow::ShowTrends(const GameHistory& history, bool open) {
  if (!trends_ && !open) return;
  if (!trends_) {
    trends_ = new TrendsWindow(this);
    AdoptToolWindow(trends_);
  }
  trends_->SetHistory(history);
  if (open) {
    // Asked for, it takes the keys.
    trends_->show();
    trends_->raise();
    trends_->activateWindow();
  }
}

void MainWindow::CloseChanges() {
  if (ChangesWindow* window = changes_) {
    changes_ = nullptr;
    window->close();
  }
}

}  // namespace mw
