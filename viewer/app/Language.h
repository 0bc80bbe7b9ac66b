// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <filesystem>
#include <string>

namespace mw {

// The languages the windows speak.
enum class Language { kEnglish, kGerman };

// The language of the windows: the one chosen in "&Language" (Preferences::language), else the
// first of the desktop's languages (QLocale::uiLanguages, from LANGUAGE, LC_ALL, LC_MESSAGES and
// LANG) that the program speaks; English when it speaks none of them.
Language LanguageFor(const std::string& preference, const QStringList& desktopLanguages);

// The language chosen for this user (the preferences beside `programDir`, and the desktop's),
// with its translations installed into the application: ours and Qt's own for the standard
// dialogs. The headless modes do not call it, and speak English.
Language InstallLanguage(const std::filesystem::path& programDir);

}  // namespace mw
