// SPDX-License-Identifier: GPL-3.0-or-later
// The window in the desktop's language: run under LANG=de_DE.UTF-8 it must speak German in its
// menus, its boxes and its status bar; run under LANG=C every text is the English it always was.
#include <QAbstractButton>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <functional>

#include "Language.h"
#include "MainWindow.h"
#include "PositionFile.h"
#include "Preferences.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestPackage.h"

namespace mw {

class LanguageTest : public QObject {
  Q_OBJECT

  // Each text the test reads, in English and in German.
  struct Said {
    QString english, german;
  };
  bool german = false;
  QString In(const Said& said) const { return german ? said.german : said.english; }

 private slots:
  void initTestCase() { german = qgetenv("LANG").startsWith("de"); }

  void theWindowSpeaksTheDesktopsLanguage() {
    test::TempDir dir;
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString((dir.path() / "state").string()));
    test::TestPackage{}.WriteTo(dir.path());
    QCOMPARE(InstallLanguage(dir.path()), german ? Language::kGerman : Language::kEnglish);
    // The questions are the window's own boxes; the file dialogs answer from the test.
    test::ScriptedDialogs files;
    const std::string saved = (dir.path() / "game.QPX").string();
    files.saveFile = [&](bool) { return std::optional(saved); };
    MainWindow w(dir.path(), nullptr, &files);
    w.show();
    w.Start({});

    QStringList titles, fileItems;
    for (QAction* a : w.menuBar()->actions()) titles << a->text();
    for (QAction* a : w.menuBar()->actions().front()->menu()->actions().mid(0, 3))
      fileItems << a->text();
    const QStringList englishTitles{"&File", "&New", "&Windows", "&View"};
    const QStringList germanTitles{"&Datei", "&Neu", "&Fenster", "&Ansicht"};
    QCOMPARE(titles, german ? germanTitles : englishTitles);
    const QStringList englishItems{"&Open", "&Save", "S&ave as ..."};
    const QStringList germanItems{"&Öffnen", "&Speichern", "Speichern &unter ..."};
    QCOMPARE(fileItems, german ? germanItems : englishItems);
    QCOMPARE(w.palette()->windowTitle(), In({"ToolBar", "Werkzeugleiste"}));
    // Every menu, the menu bar included, gives each of its items a letter of its own; only the
    // two items whose texts the format's own program fixed share theirs ("S&ave as ...",
    // "&About ...").
    const std::function<void(const QString&, const QList<QAction*>&)> walk =
        [&](const QString& menu, const QList<QAction*>& actions) {
          QMap<QChar, QString> taken;
          for (QAction* a : actions) {
            const QString text = a->text();
            const qsizetype at = text.indexOf(QRegularExpression(QStringLiteral("&[^&]")));
            if (a->menu()) walk(text, a->menu()->actions());
            if (at < 0) continue;
            const QChar letter = text[at + 1].toLower();
            const QString earlier = taken.value(letter);
            const bool fixed =
                QSet<QString>{earlier, text} ==
                QSet<QString>{QStringLiteral("S&ave as ..."), QStringLiteral("&About ...")};
            QVERIFY2(earlier.isEmpty() || fixed,
                     qPrintable(menu + ": " + earlier + " and " + text + " share their letter"));
            taken[letter] = text;
          }
        };
    walk(QStringLiteral("menu bar"), w.menuBar()->actions());

    // A piece placed as the mouse places it, then the board saved.
    const auto place = [&](int x) {
      w.viewer().editing().PaletteClick(QPoint(20, 0));
      w.viewer().MousePress(MouseButton::kLeft, QPoint(x, 60), 0);
      w.viewer().MouseRelease(MouseButton::kLeft, QPoint(x, 60));
    };
    place(40);
    w.action(command::kSaveAs)->trigger();
    QCOMPARE(w.statusText(StatusField::kMessage),
             In({"Saved %1", "%1 gespeichert"}).arg(QString::fromStdString(saved)));

    // The question before a change is given up: its caption, text and buttons, Qt's included.
    place(60);
    QString caption, text;
    QStringList buttons;
    QTimer::singleShot(0, this, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      caption = box->windowTitle();
      text = box->text();
      for (QAbstractButton* b : box->buttons()) buttons << b->text();
      box->reject();
    });
    w.action(command::kFirstCatalogued)->trigger();
    QCOMPARE(caption, In({"Exit Marrowind", "Marrowind beenden"}));
    QCOMPARE(text, In({"Load new Map without saving changes?",
                       "Neue Karte laden, ohne die Änderungen zu speichern?"}));
    buttons.sort();
    const QStringList englishButtons{"&Save to game.QPX", "Cancel", "OK"};
    const QStringList germanButtons{"Abbrechen", "In game.QPX &speichern", "OK"};
    QCOMPARE(buttons, german ? germanButtons : englishButtons);

    // The other language, chosen in the menu, is kept for the next start.
    const int other = german ? command::kLanguageEnglish : command::kLanguageGerman;
    w.action(other)->trigger();
    QVERIFY(w.action(other)->isChecked());
    QVERIFY(!w.action(command::kLanguageDesktop)->isChecked());
    QCOMPARE(w.statusText(StatusField::kMessage),
             In({"The language changes when Marrowind starts again",
                 "Die Sprache wechselt beim nächsten Start von Marrowind"}));
    QCOMPARE(Preferences::Load(w.viewer().desk().preferencesPath()).language,
             std::string(german ? Preferences::kEnglish : Preferences::kGerman));
    QCOMPARE(LanguageFor(Preferences::Load(w.viewer().desk().preferencesPath()).language,
                         QLocale::system().uiLanguages()),
             german ? Language::kEnglish : Language::kGerman);
  }

  // Which language a desktop's list of languages and the preference choose.
  void theFirstLanguageSpokenOfTheDesktopsListIsChosenUnlessOneWasChosenInTheMenu() {
    struct Case {
      std::string preference;
      QStringList desktop;
      Language chosen;
    };
    const Case cases[] = {
        {"", {"de-DE"}, Language::kGerman},
        {"", {"de-AT", "en-US"}, Language::kGerman},
        {"", {"fr-FR", "de-CH", "en-GB"}, Language::kGerman},  // French is not spoken
        {"", {"en-GB", "de-DE"}, Language::kEnglish},
        {"", {"C"}, Language::kEnglish},
        {"", {}, Language::kEnglish},
        {"", {"fr-FR"}, Language::kEnglish},
        {"en", {"de-DE"}, Language::kEnglish},
        {"de", {"C"}, Language::kGerman},
    };
    for (const Case& c : cases)
      QVERIFY2(LanguageFor(c.preference, c.desktop) == c.chosen,
               qPrintable(c.desktop.join(',') + " / " + QString::fromStdString(c.preference)));
  }
};

}  // namespace mw

QTEST_MAIN(mw::LanguageTest)
#include "LanguageTest.moc"
