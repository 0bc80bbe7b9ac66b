// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery copies of the real program, killed at random moments while it keeps them: every
// restart offers a whole copy that is the board as it stood after one of the edits made, never a
// torn or a foreign one.
#include <QApplication>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <memory>
#include <random>
#include <set>
#include <sstream>

#include "MainWindow.h"
#include "MapWidget.h"
#include "PositionFile.h"
#include "Replay.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

namespace mw {

class RecoveryKillTest : public QObject {
  Q_OBJECT

 private:
  static QString XDoTool(const QStringList& args) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), args);
    if (!tool.waitForFinished(10000) || tool.exitCode() != 0) return {};
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
  }
  static void LinkPackages(const std::filesystem::path& dir) {
    for (const char* package : {"Tess.gim", "Rift.gim"})
      std::filesystem::create_directory_symlink(std::filesystem::path(MAP_PACKAGES_DIR) / package,
                                                dir / package);
  }
  static bool HasCopy(const std::filesystem::path& state) {
    std::error_code error;
    for (const auto& e : std::filesystem::directory_iterator(state / "Marrowind", error))
      if (e.path().extension() == ".QPX") return true;
    return false;
  }
  // Where the map area stands in the main window: the menu bar above it.
  static QPoint MapOffset(const std::filesystem::path& dir) {
    MainWindow window(dir);
    window.show();
    window.Start({});
    return window.mapWidget()->mapTo(&window, QPoint(0, 0));
  }
  // A board's bytes as a key of a set (a text compares as bytes do).
  static std::string Bytes(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
  }
  // The boards the program had after each of the edits, as a replay of the same events gives them.
  static std::set<std::string> BoardsAlong(const std::filesystem::path& dir,
                                           const std::vector<QPoint>& clicks) {
    std::ostringstream printed;
    Replay replay(dir, printed);
    replay.Start({});
    std::set<std::string> boards;
    replay.Run(**ParseReplayLine("palette 20 5"));
    for (QPoint at : clicks) {
      const std::string point = std::to_string(at.x()) + " " + std::to_string(at.y());
      replay.Run(**ParseReplayLine("press left " + point));
      replay.Run(**ParseReplayLine("release left " + point));
      boards.insert(Bytes(EncodePosition(replay.viewer().position(), false)));
    }
    return boards;
  }

 private slots:
  void everyRestartOffersAWholeCopyOfABoardThatWas() {
    constexpr int kKills = 10;
    std::mt19937 random(20261209);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
    for (int kill = 0; kill < kKills; ++kill) {
      test::TempDir dir;
      LinkPackages(dir.path());
      const auto state = dir / "state";
      qputenv("XDG_STATE_HOME", QByteArray::fromStdString(state.string()));
      const QPoint offset = MapOffset(dir.path());
      std::filesystem::copy_file(MARROWIND, dir / "Marrowind");
      QProcess program;
      program.setProgram(QString::fromStdString((dir / "Marrowind").string()));
      program.start();
      QVERIFY(program.waitForStarted());
      QString palette, main;
      QTRY_VERIFY_WITH_TIMEOUT(
          !(palette = XDoTool({"search", "--onlyvisible", "--name", "^ToolBar$"})).isEmpty(),
          20000);
      QTRY_VERIFY_WITH_TIMEOUT(
          !(main = XDoTool({"search", "--onlyvisible", "--name", "TessMapView$"})).isEmpty(),
          20000);
      QTest::qWait(300);
      XDoTool({"mousemove", "--window", palette.split('\n').front(), "20", "5", "click", "1"});
      // Pieces placed at random places and moments, some before the first copy, some after.
      std::vector<QPoint> clicks;
      auto click = [&] {
        const QPoint at(pick(20, 1180), pick(20, 780));
        clicks.push_back(at);
        XDoTool({"mousemove", "--window", main.split('\n').front(),
                 QString::number(offset.x() + at.x()), QString::number(offset.y() + at.y()),
                 "click", "1"});
        QTest::qWait(pick(0, 600));
      };
      for (int n = pick(1, 3); n > 0; --n) click();
      QTRY_VERIFY_WITH_TIMEOUT(HasCopy(state), 15000);
      for (int n = pick(0, 3); n > 0; --n) click();
      QTest::qWait(pick(0, 2500));
      ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
      QVERIFY(program.waitForFinished());

      std::string asked;
      test::ScriptedDialogs seam;
      seam.confirm = [&](const std::string& text, const std::string&) {
        asked = text;
        return true;
      };
      MainWindow restarted(dir.path(), &seam, &seam);
      restarted.show();
      restarted.Start({});
      const std::string where = "kill " + std::to_string(kill) + ": " + asked;
      QVERIFY2(asked.starts_with("Restore the unsaved position of the map Tess"), where.c_str());
      const auto boards = BoardsAlong(dir.path(), clicks);
      QVERIFY2(boards.count(Bytes(EncodePosition(restarted.viewer().position(), false))) == 1,
               (where + ": the board restored is none the program had").c_str());
      QVERIFY(restarted.close());
    }
  }
};

}  // namespace mw

QTEST_MAIN(mw::RecoveryKillTest)
#include "RecoveryKillTest.moc"
