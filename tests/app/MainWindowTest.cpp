// SPDX-License-Identifier: GPL-3.0-or-later
// The real windows, used as a user would: menus, the palette, the map, the info view, prompts
// and closing. Every question is answered through the dialog seam, so nothing blocks.
#include <QAccessible>
#include <QChartView>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <map>
#include <memory>
#include <sstream>

#include "Dialogs.h"
#include "FileBytes.h"
#include "FindBar.h"
#include "GameWindows.h"
#include "Headless.h"
#include "InfoViewPainter.h"
#include "MainWindow.h"
#include "MapWidget.h"
#include "PositionFile.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestPackage.h"
#include "WindowFrames.h"

namespace mw {

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TempDir> dir;
  // How the test answers the window's questions and dialogs; it outlives the window.
  std::unique_ptr<test::ScriptedDialogs> answers;
  std::unique_ptr<MainWindow> window;
  // A new set of answers for a new window.
  test::ScriptedDialogs& NewAnswers() {
    window.reset();
    answers = std::make_unique<test::ScriptedDialogs>();
    return *answers;
  }
  std::vector<std::string> prompts, errors;
  bool answer = false;
  int saveDialogs = 0;
  std::optional<std::string> saveChoice;  // what the save dialog answers
  std::optional<std::string> compareChoice;
  std::vector<std::string> compareFolders;  // where the compare dialog opened

  MainWindow& Open(std::vector<test::TestPackage> packages = {test::TestPackage{}},
                   const std::string& commandLine = {}) {
    for (const auto& p : packages) p.WriteTo(dir->path());
    test::ScriptedDialogs& seam = NewAnswers();
    seam.confirm = [this](const std::string& text, const std::string& caption) {
      prompts.push_back(caption + ": " + text);
      return answer;
    };
    seam.unitList = [](const std::string&) {};
    seam.error = [this](const std::string& text) { errors.push_back(text); };
    seam.saveFile = [this](bool) -> std::optional<std::string> {
      ++saveDialogs;
      return saveChoice;
    };
    seam.turnText = [](const std::string& label, const std::string& note) {
      return std::optional(std::pair{label, note});
    };
    seam.compareFile = [this](const std::string& folder) {
      compareFolders.push_back(folder);
      return compareChoice;
    };
    window = std::make_unique<MainWindow>(dir->path(), &seam, &seam);
    window->show();
    window->Start(commandLine);
    return *window;
  }

  // A turn of the wheel by `notches` (positive: away from the user) over a point of the map.
  static void Wheel(QWidget* map, QPoint at, int notches, Qt::KeyboardModifiers modifiers = {}) {
    QWheelEvent event(at, map->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(map, &event);
  }
  static void Move(QWidget* map, QPoint at) {
    QMouseEvent event(QEvent::MouseMove, at, map->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(map, &event);
  }
  static QString Status(const MainWindow& w, StatusField field) { return w.statusText(field); }

  QStringList Texts(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions)
      out << (a->isSeparator() ? QStringLiteral("-") : a->text() + "=" + a->data().toString());
    return out;
  }

 private slots:
  void init() {
    dir = std::make_unique<test::TempDir>();
    // Recovery copies go into the test's own folder, never the user's.
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString((dir->path() / "state").string()));
    prompts.clear();
    errors.clear();
    answer = false;
    saveDialogs = 0;
    saveChoice.reset();
  }
  void cleanup() { window.reset(); }

  void menuHasItsTextsIdsAndCheckMarks() {
    MainWindow& w = Open();
    QStringList titles;
    for (QAction* a : w.menuBar()->actions()) titles << a->text();
    QCOMPARE(titles, (QStringList{"&File", "&New", "&Windows", "&View"}));
    const auto menus = w.menuBar()->actions();
    QCOMPARE(Texts(menus[0]->menu()->actions()),
             (QStringList{"&Open=101", "&Save=102", "S&ave as ...=103", "-", "&About ...=104", "-",
                          "&Compare With ...=140", "Compare With Saved=141", "-",
                          "Record &Turn=142", "Open &Game ...=143", "Ta&ke Turns From ...=153",
                          "Previous Turn=144", "Next Turn=145", "Re&play Moves=158",
                          "Previous Move=159", "Next Move=160", "&Recent="}));
    QCOMPARE(w.action(command::kRecordTurn)->shortcut(), QKeySequence(QStringLiteral("Ctrl+T")));
    QCOMPARE(w.action(command::kPreviousTurn)->shortcut(),
             QKeySequence(QStringLiteral("Alt+Left")));
    QCOMPARE(w.action(command::kNextTurn)->shortcut(), QKeySequence(QStringLiteral("Alt+Right")));
    QCOMPARE(Texts(menus[1]->menu()->actions()), (QStringList{"-", "Test Map=201"}));
    QCOMPARE(Texts(menus[2]->menu()->actions()),
             (QStringList{"&ToolBar=105", "&InfoView=106", "&History=146"}));
    QCOMPARE(Texts(menus[3]->menu()->actions()),
             (QStringList{"&IPC Values=107", "&Names=108", "&List Units=110", "-",
                          "&Use BigPieces=113", "-", "Zoom In=136", "Zoom Out=137",
                          "Actual Size=138", "-", "&Check Map ...=139", "&Trends ...=147",
                          "&Reload Map=148", "&Show Sectors=149", "&Grab to Scroll=150",
                          "Pieces Follow &Zoom=151", "&Find Sector ...=152", "-", "L&anguage="}));
    QCOMPARE(Texts(menus[3]->menu()->actions().back()->menu()->actions()),
             (QStringList{"Desktop's &Language=155", "&English=156", "&Deutsch=157"}));
    auto* right = qobject_cast<QMenuBar*>(w.menuBar()->cornerWidget(Qt::TopRightCorner));
    QVERIFY(right);
    QCOMPARE(Texts(right->actions()),
             (QStringList{"&UNDO=134", "&REDO=135", "&DEL=111", "ESC=112"}));
    QVERIFY(w.action(105)->isChecked());
    QVERIFY(w.action(106)->isChecked());
    QVERIFY(!w.action(107)->isChecked());
    QVERIFY(!w.action(113)->isChecked());
    QCOMPARE(w.objectName(), QStringLiteral("TessMapView"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Brom's TessMapView"));
  }

  void paletteClickThenMapClickPlacesAStack() {
    MainWindow& w = Open();
    QWidget* palette = w.palette();
    QVERIFY(palette && palette->isVisible());
    QCOMPARE(palette->objectName(), QStringLiteral("ToolBar"));
    QCOMPARE(palette->size(), QSize(5 * 15, 8 * 10));
    QWidget* info = w.infoView();
    const QImage before = info->grab().toImage();
    QTest::mouseClick(palette, Qt::LeftButton, {},
                      QPoint(2 * 15 + 5, 2 * 10 + 5));  // Tank, country 3
    QTest::mouseClick(w.mapWidget(), Qt::LeftButton, Qt::ShiftModifier, QPoint(60, 40));
    const Position& p = w.viewer().position();
    QCOMPARE(p.unitCount(), size_t{1});
    QCOMPARE(int(p.unit(0).country), 3);
    QCOMPARE(p.totalOf(3).land, int64_t{25});
    QCOMPARE(QColor(w.viewer().view().ComposedRegion(QRect(53, 35, 1, 1)).pixel(0, 0)),
             test::CellColour(2, 3));
    QTRY_VERIFY(info->grab().toImage() != before);
    const QImage shown = w.mapWidget()->grab().toImage();
    QCOMPARE(QColor(shown.pixel(53, 35)), test::CellColour(2, 3));
  }

  // Keys typed while a tool window has the focus act as in the main window, shortcuts included;
  // only the palette's Esc keeps its own meaning.
  void keysInAToolWindowActAsInTheMainWindow() {
    MainWindow& w = Open();
    QTest::keyClick(w.infoView(), Qt::Key_D);
    QCOMPARE(int(w.viewer().editing().state().mouseMode), int(ModeDelete));
    QTest::keyClick(w.palette(), Qt::Key_E);
    QCOMPARE(int(w.viewer().editing().state().mouseMode), int(ModeLabel));
    QTest::mouseClick(w.palette(), Qt::LeftButton, {}, QPoint(20, 5));
    QCOMPARE(int(w.viewer().editing().state().mouseMode), int(ModePlace));
    QTest::mouseClick(w.mapWidget(), Qt::LeftButton, {}, QPoint(120, 60));
    QTest::keyClick(w.palette(), Qt::Key_Escape);
    QCOMPARE(int(w.viewer().editing().state().mouseMode), int(ModeIdle));
    QTest::keyClick(w.infoView(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.viewer().position().redoDepth(), size_t{1});
    QTest::keyClick(w.palette(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(w.viewer().position().redoDepth(), size_t{0});
  }

  void keysActOnRelease() {
    MainWindow& w = Open();
    QTest::keyPress(w.mapWidget(), Qt::Key_D);
    QCOMPARE(int(w.viewer().editing().state().mouseMode), int(ModeIdle));
    QTest::keyRelease(w.mapWidget(), Qt::Key_D);
    QCOMPARE(int(w.viewer().editing().state().mouseMode), int(ModeDelete));
    QCOMPARE(w.cursor().shape(), Qt::CrossCursor);
    QTest::keyRelease(w.mapWidget(), Qt::Key_Escape);
    QCOMPARE(int(w.viewer().editing().state().mouseMode), int(ModeIdle));
    QTest::keyRelease(w.mapWidget(), Qt::Key_Plus, Qt::KeypadModifier);
    QVERIFY(std::abs(w.viewer().view().state().zoom - 1.1) < 1e-9);
    QTest::keyClick(w.mapWidget(), Qt::Key_Plus);
    QVERIFY(std::abs(w.viewer().view().state().zoom - 1.2) < 1e-9);
    QTest::keyClick(w.mapWidget(), Qt::Key_Minus);
    QVERIFY(std::abs(w.viewer().view().state().zoom - 1.1) < 1e-9);
  }

  void promptsAppearOnlyWithUnsavedChangesAndCancelKeepsEverything() {
    test::TestPackage other;
    other.name = "Rift";
    other.title = "Another";
    MainWindow& w = Open({test::TestPackage{}, other});
    QAction* rift = nullptr;
    for (QAction* a : w.newMenu()->actions())
      if (a->text() == "Another") rift = a;
    QVERIFY(rift);
    rift->trigger();
    QVERIFY(prompts.empty());
    QCOMPARE(QString::fromStdString(w.viewer().position().mapName()), QStringLiteral("Rift"));

    QTest::mouseClick(w.palette(), Qt::LeftButton, {}, QPoint(20, 5));
    QTest::mouseClick(w.mapWidget(), Qt::LeftButton, {}, QPoint(30, 30));
    QVERIFY(w.viewer().position().dirty());
    w.action(201)->trigger();  // "Another" sorts first
    QCOMPARE(prompts.size(), size_t{1});
    QCOMPARE(prompts[0], std::string("Exit Marrowind: Load new Map without saving changes?"));
    QCOMPARE(w.viewer().position().unitCount(), size_t{1});
    QVERIFY(!w.close());
    QCOMPARE(prompts.back(), std::string("Exit Marrowind: Exit Marrowind without saving changes?"));
    QVERIFY(w.isVisible());
  }

  void closingWritesTheSettingsWithTheToolWindowPlaces() {
    MainWindow& w = Open();
    w.palette()->move(140, 60);
    w.infoView()->move(700, 90);
    w.action(command::kIpcValues)->trigger();
    QVERIFY(w.action(command::kIpcValues)->isChecked());
    QVERIFY(w.close());
    QVERIFY(prompts.empty());
    Settings s;
    s.Load(dir->path() / "Marrowind.ini");
    QCOMPARE(int(s.paletteX()), 140);
    QCOMPARE(int(s.paletteY()), 60);
    QCOMPARE(int(s.infoViewX()), 700);
    QCOMPARE(int(s.infoViewY()), 90);
    QVERIFY(s.showIpcValues());
  }

  void toolWindowsKeepTheirPlacesAcrossAMapLoad() {
    MainWindow& w = Open();
    w.palette()->move(222, 111);
    w.viewer().board().LoadMapPackage("Tess");
    QCOMPARE(w.palette()->pos(), QPoint(222, 111));
  }

  void infoViewSizesItselfToThePiecesPicture_data() {
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("columns");
    QTest::newRow("8 rows") << 80 << 250 << 8;
    QTest::newRow("9.5 rows") << 95 << 287 << 10;
  }
  void infoViewSizesItselfToThePiecesPicture() {
    QFETCH(int, height);
    QFETCH(int, width);
    QFETCH(int, columns);
    MainWindow& w = Open();
    QImage pieces(75, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < 75; ++x) pieces.setPixelColor(x, y, test::CellColour(x / 15, y / 10 + 1));
    pieces.save(QString::fromStdString((dir->path() / "Tess.gim/ToolPieces.bmp").string()), "BMP");
    w.viewer().board().LoadMapPackage("Tess");
    QWidget* info = w.infoView();
    QCOMPARE(info->objectName(), QStringLiteral("InfoView"));
    QCOMPARE(info->size(), QSize(width, 115));
    QCOMPARE(InfoViewColumns(w.viewer().map()), columns);
    const QImage shown = info->grab().toImage();
    for (int r = 0; r < columns; ++r)
      QCOMPARE(QColor(shown.pixel(50 + 25 * r, 10)), test::CellColour(0, r + 1));
    QVERIFY(QColor(shown.pixel(50 + 25 * columns, 10)) != test::CellColour(0, columns + 1));
    // A screen reader reads every column painted.
    QCOMPARE(QAccessible::queryAccessibleInterface(info)->childCount(), columns);
  }

  void closingAToolWindowHidesItAndUnchecksItsMenuItem() {
    MainWindow& w = Open();
    QVERIFY(w.infoView()->isVisible());
    w.infoView()->close();
    QVERIFY(!w.infoView()->isVisible());
    QVERIFY(!w.action(command::kInfoView)->isChecked());
    w.action(command::kInfoView)->trigger();
    QVERIFY(w.infoView()->isVisible());
    QVERIFY(w.action(command::kInfoView)->isChecked());
    // Window managers that give the palette a close button anyway: it works as the info view's.
    w.palette()->close();
    QVERIFY(!w.palette()->isVisible());
    QVERIFY(!w.action(command::kToolBar)->isChecked());
    w.action(command::kToolBar)->trigger();
    QVERIFY(w.palette()->isVisible());
  }

  void desktopShortcutsRunTheirCommandsAndCtrlSNeverExports() {
    MainWindow& w = Open();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const auto exported = dir->path() / "Tess.gim" / "SektorInfo.new";
    QTest::keyClick(w.mapWidget(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(saveDialogs, 1);  // no file yet: Save is Save as
    QVERIFY2(!std::filesystem::exists(exported), "Ctrl+S wrote into the map package");
    QTest::keyClick(w.mapWidget(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(saveDialogs, 2);
    QTest::keyClick(w.mapWidget(), Qt::Key_S);
    QVERIFY2(std::filesystem::exists(exported), "the bare S key exports");

    QTest::mouseClick(w.palette(), Qt::LeftButton, {}, QPoint(20, 5));
    QTest::mouseClick(w.mapWidget(), Qt::LeftButton, {}, QPoint(120, 60));
    const size_t placed = w.viewer().position().unitCount();
    QTest::keyClick(w.mapWidget(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.viewer().position().unitCount(), placed - 1);
    QTest::keyClick(w.mapWidget(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(w.viewer().position().unitCount(), placed);
    QTest::keyClick(w.mapWidget(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(w.mapWidget(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.viewer().position().unitCount(), placed);

    QTest::mouseClick(w.mapWidget(), Qt::LeftButton, {}, QPoint(120, 60));
    QTest::keyClick(w.mapWidget(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(prompts.size(), size_t{1});  // the unsaved piece: the question, answered Cancel
    QVERIFY(w.isVisible());
  }

  void wheelScrollsAndCtrlWheelZoomsKeepingThePointUnderTheCursor() {
    MainWindow& w = Open();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const MapView& view = w.viewer().view();
    const QPoint cursor(150, 60);
    for (int step = 1; step <= 10; ++step) {
      const QPoint under = view.ClientToMap(cursor);
      Wheel(w.mapWidget(), cursor, 1, Qt::ControlModifier);
      QVERIFY(std::abs(view.state().zoom - (1.0 + 0.1 * step)) < 1e-9);
      const QPoint now = view.ClientToMap(cursor);
      QVERIFY2((now - under).manhattanLength() <= 1,
               qPrintable(QStringLiteral("step %1: (%2, %3) became (%4, %5)")
                              .arg(step)
                              .arg(under.x())
                              .arg(under.y())
                              .arg(now.x())
                              .arg(now.y())));
    }
    QCOMPARE(Status(w, StatusField::kZoom), QStringLiteral("200 %"));
    Wheel(w.mapWidget(), cursor, 1, Qt::ControlModifier);  // the limit: nothing changes
    QVERIFY(std::abs(view.state().zoom - 2.0) < 1e-9);

    const int x = view.state().scrollX, y = view.state().scrollY;
    Wheel(w.mapWidget(), cursor, 1);
    QVERIFY2(view.state().scrollY < y, "the wheel turned away scrolls up");
    QCOMPARE(view.state().scrollX, x);
    Wheel(w.mapWidget(), cursor, -1, Qt::ShiftModifier);
    QVERIFY2(view.state().scrollX > x, "Shift turns the wheel sideways");

    QTest::keyClick(w.mapWidget(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(view.state().zoom, 1.0);
    QCOMPARE(Status(w, StatusField::kZoom), QStringLiteral("100 %"));
    QTest::keyClick(w.mapWidget(), Qt::Key_Plus, Qt::ControlModifier);
    QVERIFY2(std::abs(view.state().zoom - 1.1) < 1e-9, "Ctrl++ zooms once, not again on release");
    QTest::keyClick(w.mapWidget(), Qt::Key_Minus, Qt::ControlModifier);
    QVERIFY(std::abs(view.state().zoom - 1.0) < 1e-9);
  }

  // The question before unsaved changes are given up has OK, Save and Cancel: Save saves (asking
  // for a name where the board has no file) and goes on; a save dialog cancelled stays.
  void theUnsavedChangesQuestionCanSaveFirst() {
    test::TestPackage{}.WriteTo(dir->path());
    std::optional<std::string> chosen;
    test::ScriptedDialogs& seam = NewAnswers();
    seam.saveFile = [&](bool) { return chosen; };
    MainWindow w(dir->path(), nullptr, &seam);  // the real question, a scripted dialog
    w.show();
    w.Start({});
    QTest::mouseClick(w.palette(), Qt::LeftButton, {}, QPoint(20, 5));
    QTest::mouseClick(w.mapWidget(), Qt::LeftButton, {}, QPoint(40, 30));
    QVERIFY(w.viewer().position().dirty());
    QStringList buttons;
    const auto answerSave = [&] {
      QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        buttons.clear();
        for (QAbstractButton* b : box->buttons()) buttons << b->text();
        box->findChild<QPushButton*>(QStringLiteral("SaveButton"))->click();
      });
    };
    answerSave();
    QVERIFY2(!w.close(), "the save dialog was cancelled");
    QVERIFY(w.viewer().position().dirty());
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"&Save As ...", "Cancel", "OK"}));
    chosen = (dir->path() / "kept.QPX").string();
    answerSave();
    QVERIFY2(w.close(), "saved, then closed");
    Position saved;
    QVERIFY(LoadPosition(saved, *chosen));
    QCOMPARE(saved.unitCount(), w.viewer().position().unitCount());
    QVERIFY(!w.viewer().position().dirty());
  }

  // "&Recent" lists the files saved and opened, newest first with their map's title, keeps them
  // for the next start, greys out a file that is gone and opens the others.
  void recentListsTheFilesSavedAndOpenedNewestFirst() {
    const auto a = dir->path() / "a&b.QPX", b = dir->path() / "b.QPX";
    const auto texts = [](QMenu* menu) {
      emit menu->aboutToShow();
      QStringList out;
      for (QAction* action : menu->actions())
        if (!action->isSeparator()) out << action->text() + (action->isEnabled() ? "" : " (off)");
      return out;
    };
    {
      MainWindow& w = Open();
      QCOMPARE(texts(w.recentMenu()),
               (QStringList{"(none yet) (off)", "Remove &Missing Files (off)"}));
      saveChoice = a.string();
      w.action(command::kSave)->trigger();
      saveChoice = b.string();
      w.action(command::kSaveAs)->trigger();
      w.viewer().OpenFile(a.string());
      QCOMPARE(texts(w.recentMenu()),
               (QStringList{"&1 a&&b.QPX \u2013 Test Map", "&2 b.QPX \u2013 Test Map",
                            "Remove &Missing Files (off)"}));
      window.reset();
    }
    std::filesystem::remove(a);
    MainWindow& w = Open();
    QCOMPARE(texts(w.recentMenu()),
             (QStringList{"&1 a&&b.QPX \u2013 Test Map (off)", "&2 b.QPX \u2013 Test Map",
                          "Remove &Missing Files"}));
    w.recentMenu()->actions()[1]->trigger();
    QCOMPARE(w.viewer().board().document().currentFile, b.string());
    w.action(command::kRemoveMissingRecent)->trigger();
    QCOMPARE(texts(w.recentMenu()),
             (QStringList{"&1 b.QPX \u2013 Test Map", "Remove &Missing Files (off)"}));
  }

  // Ctrl+F on the map opens the field; typing filters, Down chooses, Enter centres the map on the
  // sector chosen and outlines it for a moment; Esc closes the field.
  void ctrlFFindsASectorAndCentresTheMapOnIt() {
    test::TestPackage p;
    p.sectors.resize(8, {.name = "Band"});
    p.sectors[5].name = "Fenmarch";
    p.sectors[6].name = "Fenwick";
    MainWindow& w = Open({p});
    for (int i = 0; i < 10; ++i) w.viewer().Command(command::kZoomIn);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.mapWidget(), Qt::Key_F, Qt::ControlModifier);
    FindBar* find = w.findBar();
    QVERIFY(find && find->isVisible());
    QTest::keyClicks(find->field(), "FEN");
    QCOMPARE(find->list()->count(), 2);
    // Down past the last match stays on it.
    for (int i = 0; i < 3; ++i) QTest::keyClick(find->field(), Qt::Key_Down);
    QCOMPARE(find->list()->currentRow(), 1);
    QTest::keyClick(find->field(), Qt::Key_Return);
    QVERIFY(!find->isVisible());
    const QPoint middle = w.viewer().view().MapToClient(QPoint(649, 49));  // Fenwick, band 7
    QVERIFY2(std::abs(middle.x() - w.mapWidget()->width() / 2) <= 1 ||
                 w.viewer().view().state().scrollX > 0,
             "the map scrolled to the sector");
    QVERIFY(w.viewer().overlays().outliningSector());
    QTRY_VERIFY_WITH_TIMEOUT(!w.viewer().overlays().outliningSector(), 5000);
    QTest::keyClick(w.mapWidget(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(find->field(), Qt::Key_Escape);
    QVERIFY(!find->isVisible());
  }

  void statusBarSaysTheModeThePointAndWhatWasWritten() {
    const auto saved = dir->path() / "game.QPX";
    MainWindow& w = Open();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QWidget* map = w.mapWidget();
    QCOMPARE(Status(w, StatusField::kMode), QString());
    QCOMPARE(Status(w, StatusField::kMessage), QString::fromLatin1(kFirstHint));
    QTest::mouseClick(w.palette(), Qt::LeftButton, {}, QPoint(2 * 15 + 5, 2 * 10 + 5));
    QCOMPARE(Status(w, StatusField::kMessage), QString());  // the first pick ends the hint
    QCOMPARE(Status(w, StatusField::kMode), QStringLiteral("Placing Tank of country 3"));
    QTest::mouseClick(map, Qt::LeftButton, Qt::ShiftModifier, QPoint(60, 40));
    Move(map, QPoint(20, 80));
    QCOMPARE(Status(w, StatusField::kPointer), QStringLiteral("North: country 1, 4 IPC"));
    Move(map, QPoint(61, 41));
    QCOMPARE(Status(w, StatusField::kPointer),
             QStringLiteral("North: country 1, 4 IPC \u2013 5 Tank of country 3"));
    // The point's words follow the board at once: a click or an undo without a move.
    QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(61, 41));
    QCOMPARE(Status(w, StatusField::kPointer),
             QStringLiteral("North: country 1, 4 IPC \u2013 6 Tank of country 3"));
    QTest::keyClick(map, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Status(w, StatusField::kPointer),
             QStringLiteral("North: country 1, 4 IPC \u2013 5 Tank of country 3"));
    QCOMPARE(Status(w, StatusField::kMessage),
             QStringLiteral("Undone: 1 Tank of country 3 placed in North"));
    QTest::keyClick(map, Qt::Key_Escape);
    QCOMPARE(Status(w, StatusField::kMode), QString());
    QTest::mousePress(map, Qt::LeftButton, {}, QPoint(60, 40));
    QCOMPARE(Status(w, StatusField::kMode), QStringLiteral("Carrying 1 Tank of country 3"));
    QTest::mouseRelease(map, Qt::LeftButton, {}, QPoint(160, 40));
    QCOMPARE(Status(w, StatusField::kMode), QString());
    QTest::keyClick(map, Qt::Key_D);
    QCOMPARE(Status(w, StatusField::kMode), QStringLiteral("Removing pieces"));
    QTest::keyClick(map, Qt::Key_E);
    QCOMPARE(Status(w, StatusField::kMode), QStringLiteral("Moving income labels"));

    QTest::keyClick(map, Qt::Key_S);
    QCOMPARE(Status(w, StatusField::kMessage),
             QStringLiteral("Wrote SektorInfo.new into Tess.gim"));
    saveChoice = saved.string();
    std::filesystem::create_directory(saved);  // a folder where the file should go: no save
    w.viewer().Command(command::kSaveAs);
    QVERIFY(Status(w, StatusField::kMessage)
                .startsWith("Could not save " + QString::fromStdString(saved.string())));
    QCOMPARE(errors.size(), size_t{1});
    std::filesystem::remove(saved);
    QVERIFY(!w.windowTitle().contains("game.QPX"));
    w.viewer().Command(command::kSave);
    QCOMPARE(Status(w, StatusField::kMessage), "Saved " + QString::fromStdString(saved.string()));
    QVERIFY2(w.windowTitle().contains(QString::fromStdString(saved.string())),
             "the title names the file saved at once");

    // The status bar is part of the window's frame: at its largest, the window shows the whole
    // map and no more.
    w.resize(1000, 1000);
    QTRY_COMPARE(map->size(), QSize(200, 100));
  }

  void paletteCellsTellWhatTheyPlace() {
    MainWindow& w = Open();
    QWidget* palette = w.palette();
    const QPoint at(1 * 15 + 5, 1 * 10 + 5);  // Inf of country 2
    QHelpEvent help(QEvent::ToolTip, at, palette->mapToGlobal(at));
    QApplication::sendEvent(palette, &help);
    const QString text = QToolTip::text();
    QCOMPARE(text, QStringLiteral("Inf, value 3, land; country 2"));
    // A screen reader finds the cell by the same point, under the same name, and presses it; the
    // cells go with the window when a reload makes the palette again.
    for (int round = 0; round < 2; ++round) {
      QAccessibleInterface* cell =
          QAccessible::queryAccessibleInterface(w.palette())
              ->childAt(palette->mapToGlobal(at).x(), palette->mapToGlobal(at).y());
      QVERIFY(cell);
      QCOMPARE(cell->text(QAccessible::Name), text);
      QVERIFY(!cell->state().checked);
      cell->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
      QVERIFY(cell->state().checked);
      QCOMPARE(Status(w, StatusField::kMode), QStringLiteral("Placing Inf of country 2"));
      w.viewer().editing().PaletteEscape();
      w.viewer().Command(command::kReloadMap);
      palette = w.palette();
    }
  }

  void aClickOnACountrysColumnExplainsItsIncome() {
    test::TestPackage p;
    p.sectors.push_back({.name = "Wells", .initialOwner = 1, .ipcValue = 2, .flags = 1});
    p.sectors.push_back({.name = "Mine", .initialOwner = 1, .ipcValue = 3, .requiredPiece = 2});
    p.alliances += "country 1 Sarnesh\n";
    MainWindow& w = Open({p});
    QTest::mouseClick(w.infoView(), Qt::LeftButton, {}, QPoint(50 + 25 * 0 + 3, 40));
    QDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = w.findChild<QDialog*>(QStringLiteral("IncomeDialog"))));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Income of Sarnesh (country 1)"));
    auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("IncomeTable"));
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 4);  // North, Wells, Mine and the sums
    QCOMPARE(table->item(2, 5)->text(),
             QStringLiteral("required piece Tank missing or not allied"));
    const CountryTotal& t = w.viewer().position().totalOf(1);
    QCOMPARE(table->item(3, 2)->text().toLongLong(), t.ipc);
    QCOMPARE(table->item(3, 4)->text().toLongLong(), t.oil);
    dialog->close();
    QTest::mouseClick(w.infoView(), Qt::LeftButton, {}, QPoint(10, 40));  // the row titles
    QTest::qWait(10);
    QVERIFY(!w.findChild<QDialog*>(QStringLiteral("IncomeDialog")));
  }

  void checkMapListsTheFindingsAndShowsTheirPointsOnTheMap() {
    test::TestPackage p;
    p.otherCells = {{QPoint(180, 90), 1}, {QPoint(181, 90), 1}};
    MainWindow& w = Open({p});
    for (int i = 0; i < 10; ++i) w.viewer().Command(command::kZoomIn);
    const MapView& view = w.viewer().view();
    QCOMPARE(view.state().scrollX, 0);
    w.action(command::kCheckMap)->trigger();
    QDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = w.findChild<QDialog*>(QStringLiteral("CheckMap"))));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Check Map - Tess"));
    auto* list = dialog->findChild<QListWidget*>(QStringLiteral("Findings"));
    QVERIFY(list);
    QListWidgetItem* stray = nullptr;
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text().contains("180,90: 2 stray pixels of sector 1 (North)"))
        stray = list->item(i);
    QVERIFY2(stray, "the stray pixels are listed");
    QVERIFY(dialog->findChild<QLabel*>(QStringLiteral("Summary"))->text().endsWith("warnings"));
    list->setCurrentItem(stray);
    const QPoint shown = view.MapToClient(QPoint(180, 90));
    QVERIFY2(w.mapWidget()->rect().contains(shown), "the map scrolled to the point");
    QVERIFY(view.state().scrollX > 0);
    // Choosing it marks the point: a ring of the marker's colour around it, on the map widget.
    QCOMPARE(w.viewer().overlays().markedPoint(), std::optional(QPoint(180, 90)));
    const QImage painted = w.mapWidget()->grab().toImage();
    QCOMPARE(painted.pixel(shown + QPoint(PointMarker::kRadius, 0)), PointMarker::kColour);
    QVERIFY2(!dialog->frameGeometry().contains(w.mapWidget()->mapToGlobal(shown)),
             "the report does not cover the point");
    // Closing the report takes the mark away.
    dialog->close();
    QCOMPARE(w.viewer().overlays().markedPoint(), std::nullopt);
    QVERIFY(w.mapWidget()->grab().toImage().pixel(shown + QPoint(PointMarker::kRadius, 0)) !=
            PointMarker::kColour);
  }

  // The one report follows F5: a finding mended goes with its ring, a new one is added and
  // chosen, and no second report opens.
  void reloadKeepsTheOneReportTrue() {
    test::TestPackage p;
    p.otherCells = {{QPoint(180, 90), 1}, {QPoint(181, 90), 1}};
    MainWindow& w = Open({p});
    w.action(command::kCheckMap)->trigger();
    auto* dialog = w.findChild<PackageCheckDialog*>(QStringLiteral("CheckMap"));
    QVERIFY(dialog);
    QListWidget* list = dialog->list();
    const auto row = [&](const QString& text) {
      for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().contains(text)) return i;
      return -1;
    };
    const QString stray = QStringLiteral("180,90: 2 stray pixels");
    QVERIFY(row(stray) >= 0);
    list->setCurrentRow(row(stray));
    QCOMPARE(w.viewer().overlays().markedPoint(), std::optional(QPoint(180, 90)));
    // Mended, and F5: the finding and its ring are gone.
    p.otherCells.clear();
    p.WriteTo(dir->path());
    w.action(command::kReloadMap)->trigger();
    QCOMPARE(row(stray), -1);
    QCOMPARE(w.viewer().overlays().markedPoint(), std::nullopt);
    // A new fault, and F5: the same report, the new finding chosen and marked.
    p.otherCells = {{QPoint(20, 30), 2}};
    p.WriteTo(dir->path());
    w.action(command::kReloadMap)->trigger();
    QCOMPARE(w.findChildren<PackageCheckDialog*>().size(), qsizetype{1});
    const QString fresh = QStringLiteral("20,30: 1 stray pixel of sector 2");
    QVERIFY(row(fresh) >= 0);
    QCOMPARE(list->currentRow(), row(fresh));
    QCOMPARE(w.viewer().overlays().markedPoint(), std::optional(QPoint(20, 30)));
    QVERIFY(dialog->isVisible());
  }

  void aReportStandsBesideTheWindowOrInACornerAwayFromTheMarkedPoint() {
    const QRect screen(0, 0, 1920, 1080), maximised = screen, small(100, 100, 800, 600);
    const QSize size(760, 360);
    struct Case {
      QRect owner;
      std::optional<QPoint> avoid;
      QPoint at;
    };
    for (const Case& c : {Case{small, std::nullopt, {900, 100}},         // right of the window
                          Case{QRect(1000, 0, 900, 600), {}, {240, 0}},  // no room right: left
                          Case{maximised, {}, {1160, 720}},              // bottom right corner
                          Case{maximised, QPoint(1500, 900), {1160, 0}},
                          Case{maximised, QPoint(1140, 100), {1160, 720}},  // near, not over
                          Case{small, QPoint(1000, 200), {1160, 720}}}) {
      const QPoint at = BesideWindow(c.owner, screen, size, c.avoid);
      QCOMPARE(at, c.at);
      QVERIFY(screen.contains(QRect(at, size)));
    }
    // A screen the report fills: it cannot avoid the point and stands at the bottom right.
    QCOMPARE(BesideWindow(screen, QRect(0, 0, 760, 360), size, QPoint(10, 10)), QPoint(0, 0));
  }

  // Tool windows appearing one after another beside a window of the Isles of Tess at 100 % stack
  // beside the map and one another, smaller where they must; where the map fills the screen they
  // keep away from what they point at.
  void toolWindowsStackBesideTheMapWhereTheScreenHasRoom() {
    const QRect screen(0, 0, 1920, 1080), owner(0, 0, 1202, 880), map(1, 38, 1200, 800);
    ToolPlacement p{screen, owner, map, {}, std::nullopt, std::nullopt};
    const std::pair<QSize, QSize> windows[] = {{{212, 101}, {212, 101}}, {{252, 136}, {252, 136}},
                                               {{622, 345}, {300, 150}}, {{762, 525}, {420, 330}},
                                               {{462, 385}, {250, 150}}, {{640, 420}, {300, 200}}};
    for (const auto& [size, minimum] : windows) {
      const QRect frame = PlaceToolWindow(p, size, minimum);
      QVERIFY(screen.contains(frame));
      QVERIFY(!frame.intersects(map));
      QVERIFY(frame.width() >= minimum.width() && frame.height() >= minimum.height());
      for (const QRect& other : p.taken) QVERIFY(!frame.intersects(other));
      p.taken.push_back(frame);
    }
    // The map fills the screen: the window covers it away from the point it points at.
    const ToolPlacement full{screen, screen, screen, {}, QPoint(1800, 1000), std::nullopt};
    const QRect away = PlaceToolWindow(full, {460, 360});
    QVERIFY(!away.adjusted(-kAvoidMargin, -kAvoidMargin, kAvoidMargin, kAvoidMargin)
                 .contains(QPoint(1800, 1000)));
  }

  void theChangesWindowListsWhatChangedFollowsTheBoardAndEndsTheComparison() {
    test::TestPackage p;
    p.sectors.assign(8, {.name = "Band", .initialOwner = 1, .ipcValue = 3});
    p.start = {test::MakeUnit(150, 50, 1, 2, 3)};
    MainWindow& w = Open({p});
    const std::filesystem::path turn = dir->path() / "turns" / "turn.QPX";
    std::filesystem::create_directories(turn.parent_path());
    std::filesystem::copy_file(dir->path() / "Tess.gim" / "Start.QPX", turn);
    w.viewer().OpenFile(turn.string());
    QMenu* file = w.menuBar()->actions()[0]->menu();
    emit file->aboutToShow();
    QVERIFY2(!w.action(command::kCompareWithSaved)->isEnabled(), "no unsaved changes yet");
    // A marker of country 4 takes band 7.
    QTest::mouseClick(w.palette(), Qt::LeftButton, {}, QPoint(3, 3 * 10 + 3));
    QTest::mouseClick(w.mapWidget(), Qt::LeftButton, {},
                      w.viewer().view().MapToClient(QPoint(650, 50)));
    emit file->aboutToShow();
    QVERIFY(w.action(command::kCompareWithSaved)->isEnabled());
    compareChoice = turn.string();
    w.action(command::kCompareWith)->trigger();
    QCOMPARE(compareFolders, std::vector<std::string>{turn.parent_path().string()});
    ChangesWindow* changes = w.changesWindow();
    QVERIFY(changes && changes->isVisible());
    QListWidget* list = changes->list();
    const QStringList lines = {"Band: 0 Ctrl of country 4 \u2192 1",
                               "Band: held by country 1 \u2192 country 4",
                               "country 1 IPC 24 \u2192 21", "country 4 IPC 0 \u2192 3"};
    const auto shown = [list] {
      QStringList texts;
      for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
      return texts;
    };
    QCOMPARE(shown(), lines);
    // A double-click on a line centres the map on its sector.
    for (int i = 0; i < 10; ++i) w.viewer().Command(command::kZoomIn);
    const MapView& view = w.viewer().view();
    QCOMPARE(view.state().scrollX, 0);
    const QPoint line = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line);
    QVERIFY(view.state().scrollX > 0);
    QVERIFY(w.mapWidget()->rect().contains(view.MapToClient(QPoint(650, 50))));
    // The list follows the board: the undo takes the marker back, the redo puts it there again.
    w.action(command::kUndo)->trigger();
    QCOMPARE(shown(), QStringList());
    w.action(command::kRedo)->trigger();
    QCOMPARE(shown(), lines);
    // Esc closes the window, and the comparison ends with it; "Compare With Saved" starts one.
    QTest::keyClick(changes, Qt::Key_Escape);
    QTRY_VERIFY(!w.changesWindow());
    QVERIFY(!w.viewer().overlays().comparison());
    w.action(command::kCompareWithSaved)->trigger();
    QVERIFY(w.changesWindow() && w.viewer().overlays().comparison());
    QCOMPARE(w.viewer().overlays().comparison()->file(), turn.string());
  }

  void recordTurnAsksForTheGameOnceThenForEachTurnsLabelAndNote() {
    MainWindow& w = Open();
    const std::filesystem::path game = dir->path() / "war.mwgame";
    int games = 0;
    std::vector<std::string> proposed;
    answers->gameFile = [&](bool create) {
      ++games;
      return create ? std::optional(game.string()) : std::nullopt;
    };
    answers->turnText = [&](const std::string& label, const std::string&) {
      proposed.push_back(label);
      return proposed.size() == 2 ? std::nullopt  // the second is cancelled
                                  : std::optional(std::pair<std::string, std::string>{
                                        "Spring " + std::to_string(proposed.size()), "a note"});
    };
    for (int i = 0; i < 3; ++i) w.action(command::kRecordTurn)->trigger();
    QCOMPARE(games, 1);
    QCOMPARE(proposed, (std::vector<std::string>{"Turn 1", "Turn 2", "Turn 2"}));
    QCOMPARE(Status(w, StatusField::kMessage),
             QString::fromStdString("Recorded turn 2 \"Spring 3\" in " + game.string()));
    auto file = GameFile::Open(game);
    QVERIFY(file);
    const auto turns = file->Turns();
    QCOMPARE(turns->size(), size_t{2});
    QCOMPARE(turns->back().label, std::string("Spring 3"));
    QCOMPARE(turns->back().note, std::string("a note"));
  }

  // Three turns in which country 3 takes North and places pieces; the History window steps
  // through them as the board does, and the Trends chart holds what --turns prints.
  void historyStepsThroughTheTurnsAndTrendsChartWhatTurnsPrints() {
    MainWindow& w = Open();
    const std::filesystem::path game = dir->path() / "war.mwgame";
    answers->gameFile = [&](bool) { return std::optional(game.string()); };
    answers->turnText = [](const std::string& label, const std::string& note) {
      return std::optional(std::pair{label, note});
    };
    const auto place = [&](QPoint cell, QPoint at) {
      QTest::mouseClick(w.palette(), Qt::LeftButton, {}, cell);
      QTest::mouseClick(w.mapWidget(), Qt::LeftButton, {}, at);
      QTest::keyClick(w.mapWidget(), Qt::Key_Escape);
    };
    std::vector<std::vector<uint8_t>> turns;
    for (int turn = 0; turn < 3; ++turn) {
      if (turn == 1) place(QPoint(7, 20), QPoint(50, 50));    // country 3 takes North
      if (turn == 2) place(QPoint(30, 20), QPoint(150, 60));  // and a piece in South
      w.action(command::kRecordTurn)->trigger();
      turns.push_back(EncodePosition(w.viewer().position(), false));
    }
    QVERIFY(!w.viewer().position().dirty());
    w.action(command::kHistory)->trigger();
    HistoryWindow* history = w.historyWindow();
    QVERIFY(history && history->isVisible() && w.action(command::kHistory)->isChecked());
    QTableWidget* table = history->table();
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->currentRow(), 2);
    QCOMPARE(table->horizontalHeaderItem(3)->text(), QStringLiteral("Sum 1"));
    QCOMPARE(table->item(1, 3)->text(), QStringLiteral("0"));  // North lost
    // One country's figures, the note last.
    history->country()->setCurrentIndex(history->country()->findData(1));
    QStringList headers;
    for (int c = 0; c < table->columnCount(); ++c)
      headers << table->horizontalHeaderItem(c)->text();
    QCOMPARE(headers, (QStringList{"Turn", "Label", "Recorded", "Sum", "IPC", "Convoy", "Oil",
                                   "Land", "Naval", "Note"}));
    QCOMPARE(table->item(0, 4)->text(), QStringLiteral("4"));  // North's 4 IPC
    // A double-click on another turn's label edits it without putting that turn on the board.
    const auto shown = EncodePosition(w.viewer().position(), false);
    int edits = 0;
    answers->turnText = [&](const std::string& label, const std::string& note) {
      ++edits;
      return std::optional(std::pair{label, note});
    };
    const QPoint label = table->visualItemRect(table->item(0, 1)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, label);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, label);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QCOMPARE(edits, 1);
    QCOMPARE(EncodePosition(w.viewer().position(), false), shown);
    QTest::keyClick(table, Qt::Key_F2);
    QCOMPARE(edits, 2);
    QCOMPARE(EncodePosition(w.viewer().position(), false), shown);
    const auto board = [&] { return EncodePosition(w.viewer().position(), false); };
    const auto click = [&](int row) {
      QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                        table->visualItemRect(table->item(row, 0)).center());
    };
    click(0);
    QCOMPARE(board(), turns[0]);
    QVERIFY2(!w.changesWindow(), "the first turn has none before it");
    // The History follows the turn shown once it is painted.
    QTRY_COMPARE(history->moves()->count(), 0);  // turn 1 came from the start, not from a turn
    QTest::keyClick(table, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(board(), turns[1]);
    QTRY_COMPARE(table->currentRow(), 1);
    // Turn 2 was played on turn 1: its moves are listed (a marker placed, Escape, nothing else).
    QTRY_COMPARE(history->moves()->count(), 1);
    QVERIFY2(history->moves()->item(0)->text().contains("placed in"),
             qPrintable(history->moves()->item(0)->text()));
    // The comparison comes after the board is painted.
    QTRY_VERIFY(w.changesWindow());
    QVERIFY(w.changesWindow()->findChild<QLabel*>()->text().contains("turn 1 \"Turn 1\""));
    QVERIFY(w.changesWindow()->list()->count() > 0);
    QTest::keyClick(w.mapWidget(), Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(board(), turns[2]);
    QTest::keyClick(table, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(board(), turns[1]);
    // An edit, then another turn chosen and the question answered Cancel: the board and its row
    // stay.
    place(QPoint(30, 20), QPoint(60, 60));
    const auto edited = board();
    click(2);
    QCOMPARE(prompts.size(), size_t{1});
    QCOMPARE(board(), edited);
    QCOMPARE(table->currentRow(), 1);
    // The chart: a line per country, its points the figures --turns prints, for every total.
    answer = true;
    click(2);
    w.action(command::kTrends)->trigger();
    TrendsWindow* trends = w.trendsWindow();
    QVERIFY(trends && trends->isVisible());
    std::ostringstream out, err;
    QVERIFY2(RunHeadless({"Marrowind", "--turns", game.string()}, dir->path(), out, err) == 0,
             err.str().c_str());
    std::map<std::pair<QString, int>, std::vector<QPointF>> printed;  // by series and total
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
      const QStringList f = QString::fromStdString(line).split('\t');
      for (int total = 0; total < 5; ++total)
        printed[{"Country " + f[3], total}].push_back(QPointF(f[0].toInt(), f[4 + total].toInt()));
    }
    for (int total = 0; total < 5; ++total) {
      trends->ShowTotal(static_cast<BoardDifference::Total>(total));
      const auto series = trends->chart()->series();
      QVERIFY(!series.isEmpty());
      std::vector<double> sum(3);
      for (QAbstractSeries* s : series) {
        const QList<QPointF> points = static_cast<QLineSeries*>(s)->points();
        // The Sum of every country is their figures added up.
        if (s->name() == "Sum") {
          for (size_t k = 0; k < sum.size(); ++k) QCOMPARE(points[qsizetype(k)].y(), sum[k]);
          continue;
        }
        if (s->name().contains(" + ")) continue;  // an alliance's total
        for (size_t k = 0; k < sum.size(); ++k) sum[k] += points[qsizetype(k)].y();
        std::vector<QPointF> nonZero;
        for (QPointF p : points)
          if (p.y() != 0) nonZero.push_back(p);
        std::vector<QPointF> expected;
        for (QPointF p : printed[{s->name(), total}])
          if (p.y() != 0) expected.push_back(p);
        QCOMPARE(nonZero, expected);
        QCOMPARE(points.size(), qsizetype{3});
      }
    }
    // Within 8 pixels of a point, its figures; between the points, nothing.
    trends->ShowTotal(BoardDifference::Total::kIpc);
    trends->resize(800, 600);
    QCoreApplication::processEvents();
    QAbstractSeries* first = trends->chart()->series().front();
    const QPointF point = static_cast<QLineSeries*>(first)->points().at(1);
    const QPointF onScreen = trends->view()->mapFromScene(
        trends->chart()->mapToScene(trends->chart()->mapToPosition(point, first)));
    const QString words = trends->PointText(onScreen + QPointF(0, 4));
    QVERIFY2(words.contains(first->name()) && words.contains("turn 2") &&
                 words.endsWith("IPC " + QString::number(point.y())),
             qPrintable(words));
    QCOMPARE(trends->PointText(onScreen + QPointF(0, 40)), QString());
    const auto csv = dir->path() / "trends.csv";
    QVERIFY(trends->SaveCsv(csv.string()));
    const auto bytes = ReadFileBytes(csv);
    QVERIFY(bytes);
    const std::string text(bytes->begin(), bytes->end());
    QVERIFY2(text.starts_with(
                 "Turn,Label,Recorded,Country 1 IPC,Country 2 IPC,Country 3 IPC,Sum IPC,Country 1 "
                 "+ Country 2 IPC"),
             text.c_str());
    QVERIFY(trends->SavePng((dir->path() / "trends.png").string()));
    QCOMPARE(QImage(QString::fromStdString((dir->path() / "trends.png").string())).size(),
             trends->findChild<QChartView*>()->size());
  }

  // A map author's loop: the package changed on the disk, F5, and the board, its undo history
  // and the view are as they were, with the package's new rules in force.
  // A turn of ten moves replayed from the History window: after every step the map shows what
  // --render draws of the position the moves made so far lead to, the move's arrow aside; Esc
  // puts the turn back as recorded.
  void replayedMovesShowWhatRenderDrawsOfEveryStep() {
    MainWindow& w = Open();
    const std::filesystem::path game = dir->path() / "war.mwgame";
    answers->gameFile = [&](bool) { return std::optional(game.string()); };
    w.action(command::kRecordTurn)->trigger();
    const std::vector<uint8_t> start = EncodePosition(w.viewer().position(), false);
    QWidget* map = w.mapWidget();
    const auto place = [&](int kind, int country, QPoint at) {
      QTest::mouseClick(w.palette(), Qt::LeftButton, {}, QPoint(kind * 15 + 7, country * 10 - 5));
      QTest::mouseClick(map, Qt::LeftButton, {}, at);
      QTest::keyClick(map, Qt::Key_Escape);
    };
    const auto drag = [&](QPoint from, QPoint to, Qt::KeyboardModifiers held = {}) {
      QTest::mousePress(map, Qt::LeftButton, held, from);
      QTest::mouseMove(map, to);
      QTest::mouseRelease(map, Qt::LeftButton, held, to);
    };
    place(1, 1, QPoint(30, 30));
    place(2, 2, QPoint(150, 40));
    place(1, 1, QPoint(30, 30));            // joins the stack
    drag(QPoint(30, 30), QPoint(160, 70));  // one piece from North to South
    drag(QPoint(150, 40), QPoint(60, 60));  // the tank north
    place(3, 3, QPoint(120, 20));
    QTest::mouseClick(map, Qt::MiddleButton, {}, QPoint(120, 20));  // taken away again
    drag(QPoint(30, 30), QPoint(80, 75));                           // within North
    place(1, 2, QPoint(180, 80));
    drag(QPoint(160, 70), QPoint(180, 80));  // onto a stack of another country
    w.action(command::kRecordTurn)->trigger();
    const std::vector<uint8_t> recorded = EncodePosition(w.viewer().position(), false);
    auto file = GameFile::Open(game);
    QVERIFY(file);
    const std::vector<UndoEntry> moves = **file->MovesOf(2);
    QCOMPARE(moves.size(), size_t{10});

    w.action(command::kHistory)->trigger();
    HistoryWindow* history = w.historyWindow();
    QVERIFY(history && history->replayButton()->isEnabled());
    QTest::mouseClick(history->replayButton(), Qt::LeftButton);
    const Playback& playback = w.viewer().playback();
    QVERIFY(playback.active());
    QCOMPARE(EncodePosition(w.viewer().position(), false), start);
    Position model;
    LoadPositionBytes(model, start);
    TakeMapOf(model, w.viewer().position());
    for (size_t step = 1; step <= moves.size(); ++step) {
      QTest::keyClick(map, Qt::Key_Right, Qt::ControlModifier | Qt::AltModifier);
      QCOMPARE(playback.step(), step);
      QCOMPARE(history->moves()->currentRow(), static_cast<int>(step) - 1);
      QVERIFY(model.ApplyMove(moves[step - 1]));
      const std::filesystem::path position = dir->path() / "step.QPX",
                                  png = dir->path() / "step.png";
      QVERIFY(SavePosition(model, position));
      std::ostringstream out, err;
      QVERIFY2(RunHeadless({"Marrowind", "--render", png.string(), position.string()}, dir->path(),
                           out, err) == 0,
               err.str().c_str());
      const QImage drawn =
          QImage(QString::fromStdString(png.string())).convertToFormat(QImage::Format_RGB32);
      const QImage shown = map->grab().toImage().convertToFormat(QImage::Format_RGB32);
      // The window shows a part of the map, scrolled where the move is.
      const ViewState& view = w.viewer().view().state();
      const QPoint scroll(view.scrollX, view.scrollY);
      const QRect arrow = playback.arrow().Area(w.viewer().view().geometry());
      const QRect both = shown.rect() & drawn.rect().translated(-scroll);
      QVERIFY(!arrow.isEmpty() && both.intersects(arrow));
      QVERIFY(both.width() >= 150 && both.height() >= 50);
      int marked = 0;
      for (int y = both.top(); y <= both.bottom(); ++y)
        for (int x = both.left(); x <= both.right(); ++x) {
          const bool same = shown.pixel(x, y) == drawn.pixel(QPoint(x, y) + scroll);
          if (arrow.contains(x, y))
            marked += !same;
          else if (!same)
            QFAIL(qPrintable(QStringLiteral("step %1: the map differs from --render at %2,%3")
                                 .arg(step)
                                 .arg(x)
                                 .arg(y)));
        }
      QVERIFY2(marked > 20, "the move is marked on the map");
      QVERIFY(
          Status(w, StatusField::kMessage).startsWith(QStringLiteral("Move %1 of 10").arg(step)));
    }
    QVERIFY(Status(w, StatusField::kMessage).contains(QStringLiteral("is turn 2 as recorded")));
    QTest::keyClick(map, Qt::Key_Escape);
    QVERIFY(!playback.active());
    QCOMPARE(EncodePosition(w.viewer().position(), false), recorded);
    QVERIFY(!w.viewer().position().dirty());
  }

  void reloadKeepsTheBoardItsUndoAndTheView() {
    MainWindow& w = Open();
    QTest::mouseClick(w.palette(), Qt::LeftButton, {}, QPoint(20, 5));
    QTest::mouseClick(w.mapWidget(), Qt::LeftButton, {}, QPoint(120, 60));
    QTest::mouseClick(w.mapWidget(), Qt::LeftButton, {}, QPoint(40, 30));
    QTest::keyClick(w.mapWidget(), Qt::Key_Escape);
    for (int i = 0; i < 3; ++i) w.action(command::kZoomIn)->trigger();
    Wheel(w.mapWidget(), QPoint(50, 50), -3);
    Wheel(w.mapWidget(), QPoint(50, 50), -3, Qt::ShiftModifier);
    const Viewer& v = w.viewer();
    const auto board = EncodePosition(v.position(), false);
    const size_t undo = v.position().undoDepth();
    const ViewState view = v.view().state();
    QVERIFY(view.scrollX > 0 && view.scrollY > 0);
    const int ipc = v.position().totalOf(1).shownIpc();
    test::TestPackage changed;
    changed.sectors[0].ipcValue = 9;  // North, country 1's
    changed.WriteTo(dir->path());
    QTest::keyClick(w.mapWidget(), Qt::Key_F5);
    QCOMPARE(EncodePosition(v.position(), false), board);
    QCOMPARE(v.position().undoDepth(), undo);
    QCOMPARE(v.view().state().zoom, view.zoom);
    QCOMPARE(v.view().state().scrollX, view.scrollX);
    QCOMPARE(v.view().state().scrollY, view.scrollY);
    QCOMPARE(v.position().totalOf(1).shownIpc(), ipc + 5);
    QVERIFY2(Status(w, StatusField::kMessage).startsWith("Reloaded the map Tess"),
             qPrintable(Status(w, StatusField::kMessage)));
    QCOMPARE(w.action(command::kReloadMap)->shortcut(), QKeySequence(Qt::Key_F5));
  }

  // Record Turn knows the turn the board came from: a turn another program recorded meanwhile,
  // and a step back, each ask before anything is recorded; Cancel keeps the game and the board.
  void recordTurnAsksBeforeItUndoesTurnsRecordedElsewhereOrSteppedBackFrom() {
    MainWindow& w = Open();
    const std::filesystem::path game = dir->path() / "war.mwgame";
    answers->gameFile = [&](bool) { return std::optional(game.string()); };
    std::vector<std::string> asked;
    bool recordAnyway = false;
    answers->confirmAction = [&](const std::string& text, const std::string& action) {
      asked.push_back(action + ": " + text);
      return recordAnyway;
    };
    const auto board = [&] { return EncodePosition(w.viewer().position(), false); };
    for (int x : {20, 40}) {
      QTest::mouseClick(w.palette(), Qt::LeftButton, {}, QPoint(20, 5));
      QTest::mouseClick(w.mapWidget(), Qt::LeftButton, {}, QPoint(x, 50));
      w.action(command::kRecordTurn)->trigger();
    }
    QVERIFY(asked.empty());
    QVERIFY2(w.windowTitle().startsWith(QStringLiteral("war \u2013 turn 2 of 2")),
             qPrintable(w.windowTitle()));
    // Another program records turn 3 while turn 2 is on the board.
    QVERIFY(GameFile::Open(game, true)->Record({board(), "Elsewhere", {}, 2, 2, {}, {}, {}, {}}));
    QTest::mouseClick(w.mapWidget(), Qt::LeftButton, {}, QPoint(60, 50));
    const auto edited = board();
    const auto recorded = ReadFileBytes(game).value();
    w.action(command::kRecordTurn)->trigger();
    QCOMPARE(asked, (std::vector<std::string>{
                        "Record Anyway: The board was made from turn 2 \"Turn 2\"; the game is "
                        "at turn 3. Recording it undoes what turn 3 did."}));
    QCOMPARE(ReadFileBytes(game).value(), recorded);
    QCOMPARE(board(), edited);
    QCOMPARE(w.viewer().games().history().turns.size(), size_t{3});
    // Stepped back to turn 1 (the edit given up), then recorded anyway: turn 4, made from 1.
    answer = true;
    w.action(command::kPreviousTurn)->trigger();
    w.action(command::kPreviousTurn)->trigger();
    QTRY_COMPARE(w.viewer().games().history().current, int64_t{1});
    recordAnyway = true;
    w.action(command::kRecordTurn)->trigger();
    QCOMPARE(asked.back(), std::string("Record Anyway: The board was made from turn 1 \"Turn 1\"; "
                                       "the game is at turn 3. Recording it undoes what turns 2 "
                                       "to 3 did."));
    const auto turns = GameFile::Open(game)->ChainedTurns().value();
    QCOMPARE(turns.size(), size_t{4});
    QCOMPARE(turns.back().parent, std::optional<int64_t>(1));
    QVERIFY2(w.windowTitle().startsWith(QStringLiteral("war \u2013 turn 4 of 4")),
             qPrintable(w.windowTitle()));
  }

  // A game named at the start that cannot be opened is said in an error box before anything is
  // on the board; then the start position stands.
  void aRefusedGameNamedAtTheStartIsSaidBeforeTheStartPositionAppears() {
    const std::filesystem::path broken = dir->path() / "broken.mwgame";
    std::vector<uint8_t> bytes(4096, 0);
    const std::string header = "SQLite format 3";
    std::copy(header.begin(), header.end(), bytes.begin());
    QVERIFY(WriteFileAtomically(broken, bytes));
    std::vector<bool> boardThen;
    test::ScriptedDialogs& seam = NewAnswers();
    seam.error = [&](const std::string& text) {
      errors.push_back(text);
      boardThen.push_back(!window->viewer().map().packageName.empty());
    };
    window = std::make_unique<MainWindow>(dir->path(), &seam, &seam);
    test::TestPackage{}.WriteTo(dir->path());
    window->show();
    window->Start(broken.string());
    QCOMPARE(errors.size(), size_t{1});
    QVERIFY2(errors[0].find(broken.string()) != std::string::npos, errors[0].c_str());
    QCOMPARE(boardThen, std::vector<bool>{false});
    QCOMPARE(window->viewer().map().packageName, std::string("Tess"));
  }

  // A game file opened with "Open" opens as a game; a copy of the open game dropped on the window
  // gives its new turns after a question.
  void aGameOpenedOrDroppedOpensAsAGameOrGivesItsTurns() {
    MainWindow& w = Open();
    const std::filesystem::path game = dir->path() / "war.mwgame",
                                copy = dir->path() / "war (1).mwgame";
    answers->gameFile = [&](bool) { return std::optional(game.string()); };
    w.action(command::kRecordTurn)->trigger();
    std::filesystem::copy_file(game, copy);
    QTest::mouseClick(w.palette(), Qt::LeftButton, {}, QPoint(20, 5));
    QTest::mouseClick(w.mapWidget(), Qt::LeftButton, {}, QPoint(150, 50));
    const auto theirs = EncodePosition(w.viewer().position(), false);
    QVERIFY(GameFile::Open(copy, true)->Record({theirs, "Theirs", {}, 1, 1, {}, {}, {}, {}}));
    answer = true;
    answers->openFile = [&] { return std::optional(copy.string()); };
    std::vector<std::string> asked;
    answers->confirmAction = [&](const std::string& text, const std::string&) {
      asked.push_back(text);
      return true;
    };
    w.action(command::kOpen)->trigger();
    QCOMPARE(asked, std::vector<std::string>{"Take turn 2 of war (1).mwgame?"});
    QCOMPARE(EncodePosition(w.viewer().position(), false), theirs);
    QTRY_VERIFY(w.changesWindow());
    QCOMPARE(GameFile::Open(game)->Turns()->size(), size_t{2});
    QCOMPARE(w.viewer().games().game()->path(), game);
  }

  void aPositionDroppedOnTheWindowOpensAfterTheQuestion() {
    MainWindow& w = Open();
    Position other;
    other.header().setMapName("Tess");
    other.ReplaceUnits({test::MakeUnit(150, 50, 2, 4, 7)});
    const auto file = dir->path() / "dropped.qpx";
    QVERIFY(SavePosition(other, file));
    auto drop = [&](const std::filesystem::path& path) {
      QMimeData data;
      data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path.string()))});
      QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(&w, &enter);
      if (!enter.isAccepted()) return false;
      QDropEvent event(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(&w, &event);
      return true;
    };
    QVERIFY2(!drop(dir->path() / "notes.txt"), "only position files are taken");
    QTest::mouseClick(w.palette(), Qt::LeftButton, {}, QPoint(20, 5));
    QTest::mouseClick(w.mapWidget(), Qt::LeftButton, {}, QPoint(120, 60));
    QVERIFY(drop(file));
    QCOMPARE(prompts.size(), size_t{1});  // unsaved changes: the question, answered Cancel
    QVERIFY(w.viewer().board().document().currentFile.empty());
    answer = true;
    QVERIFY(drop(file));
    QCOMPARE(w.viewer().board().document().currentFile, file.string());
    QCOMPARE(w.viewer().position().unitCount(), size_t{1});
    QCOMPARE(int(w.viewer().position().unit(0).count), 7);
  }
};

}  // namespace mw

QTEST_MAIN(mw::MainWindowTest)
#include "MainWindowTest.moc"
