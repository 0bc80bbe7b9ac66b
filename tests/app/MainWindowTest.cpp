// The real windows, used as a user would: menus, the palette, the map, the info view, prompts
// and closing. Every question is answered through the dialog seam, so nothing blocks.
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "InfoViewPainter.h"
#include "MainWindow.h"
#include "MapWidget.h"
#include "TempDir.h"
#include "TestPackage.h"

namespace mw {

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TempDir> dir;
  std::unique_ptr<MainWindow> window;
  std::vector<std::string> prompts;
  bool answer = false;
  int saveDialogs = 0;

  MainWindow& Open(std::vector<test::TestPackage> packages = {test::TestPackage{}}) {
    for (const auto& p : packages) p.WriteTo(dir->path());
    DialogSeam seam;
    seam.confirm = [this](const std::string& text, const std::string& caption) {
      prompts.push_back(caption + ": " + text);
      return answer;
    };
    seam.unitList = [](const std::string&) {};
    seam.saveFile = [this](bool) -> std::optional<std::string> {
      ++saveDialogs;
      return std::nullopt;
    };
    window = std::make_unique<MainWindow>(dir->path(), seam);
    window->show();
    window->Start({});
    return *window;
  }

  QStringList Texts(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions)
      out << (a->isSeparator() ? QStringLiteral("-") : a->text() + "=" + a->data().toString());
    return out;
  }

 private slots:
  void init() {
    dir = std::make_unique<test::TempDir>();
    prompts.clear();
    answer = false;
    saveDialogs = 0;
  }
  void cleanup() { window.reset(); }

  void menuHasItsTextsIdsAndCheckMarks() {
    MainWindow& w = Open();
    QStringList titles;
    for (QAction* a : w.menuBar()->actions()) titles << a->text();
    QCOMPARE(titles, (QStringList{"&File", "&New", "&Windows", "&View"}));
    const auto menus = w.menuBar()->actions();
    QCOMPARE(Texts(menus[0]->menu()->actions()),
             (QStringList{"&Open=101", "&Save=102", "S&ave as ...=103", "-", "&About ...=104"}));
    QCOMPARE(Texts(menus[1]->menu()->actions()), (QStringList{"-", "Test Map=201"}));
    QCOMPARE(Texts(menus[2]->menu()->actions()), (QStringList{"&ToolBar=105", "&InfoView=106"}));
    QCOMPARE(Texts(menus[3]->menu()->actions()),
             (QStringList{"&IPC Values=107", "&Names=108", "&List Units=110", "-",
                          "&Use BigPieces=113"}));
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
    QCOMPARE(QColor(w.viewer().view().state().composedPicture.pixel(53, 35)),
             test::CellColour(2, 3));
    QTRY_VERIFY(info->grab().toImage() != before);
    const QImage shown = w.mapWidget()->grab().toImage();
    QCOMPARE(QColor(shown.pixel(53, 35)), test::CellColour(2, 3));
  }

  void keysActOnRelease() {
    MainWindow& w = Open();
    QTest::keyPress(w.mapWidget(), Qt::Key_D);
    QCOMPARE(int(w.viewer().editing().mouseMode), int(ModeIdle));
    QTest::keyRelease(w.mapWidget(), Qt::Key_D);
    QCOMPARE(int(w.viewer().editing().mouseMode), int(ModeDelete));
    QCOMPARE(w.cursor().shape(), Qt::CrossCursor);
    QTest::keyRelease(w.mapWidget(), Qt::Key_Escape);
    QCOMPARE(int(w.viewer().editing().mouseMode), int(ModeIdle));
    QTest::keyRelease(w.mapWidget(), Qt::Key_Plus, Qt::KeypadModifier);
    QVERIFY(std::abs(w.viewer().view().state().zoom - 1.1) < 1e-9);
    QTest::keyRelease(w.mapWidget(), Qt::Key_Plus);
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
    w.viewer().LoadMapPackage("Tess");
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
    w.viewer().LoadMapPackage("Tess");
    QWidget* info = w.infoView();
    QCOMPARE(info->objectName(), QStringLiteral("InfoView"));
    QCOMPARE(info->size(), QSize(width, 115));
    QCOMPARE(InfoViewColumns(w.viewer().map()), columns);
    const QImage shown = info->grab().toImage();
    for (int r = 0; r < columns; ++r)
      QCOMPARE(QColor(shown.pixel(50 + 25 * r, 10)), test::CellColour(0, r + 1));
    QVERIFY(QColor(shown.pixel(50 + 25 * columns, 10)) != test::CellColour(0, columns + 1));
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
};

}  // namespace mw

QTEST_MAIN(mw::MainWindowTest)
#include "MainWindowTest.moc"
