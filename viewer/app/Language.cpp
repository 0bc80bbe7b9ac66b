// SPDX-License-Identifier: GPL-3.0-or-later
#include "Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "Locations.h"
#include "Preferences.h"

namespace mw {

Language LanguageFor(const std::string& preference, const QStringList& desktopLanguages) {
  if (preference == Preferences::kGerman) return Language::kGerman;
  if (preference == Preferences::kEnglish) return Language::kEnglish;
  for (const QString& tag : desktopLanguages) {
    const QString language = tag.section(QLatin1Char('-'), 0, 0).toLower();
    if (language == QLatin1String("de")) return Language::kGerman;
    if (language == QLatin1String("en")) return Language::kEnglish;
  }
  return Language::kEnglish;
}

Language InstallLanguage(const std::filesystem::path& programDir) {
  const Preferences preferences =
      Preferences::Load(SettingsFile(programDir, Preferences::kFileName));
  const Language language = LanguageFor(preferences.language, QLocale::system().uiLanguages());
  if (language == Language::kEnglish) return language;
  // Built into the program: the German of its own texts. Qt's German for the buttons of its
  // dialogs comes with Qt; without it those stay English.
  auto* ours = new QTranslator(QCoreApplication::instance());
  if (ours->load(QStringLiteral(":/i18n/marrowind_de.qm")))
    QCoreApplication::installTranslator(ours);
  auto* qt = new QTranslator(QCoreApplication::instance());
  if (qt->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(qt);
  return language;
}

}  // namespace mw
