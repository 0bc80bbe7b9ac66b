#include "Preferences.h"

#include <QSettings>
#include <algorithm>

namespace mw {
namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

Preferences Preferences::Load(const std::filesystem::path& file) {
  Preferences p;
  if (!std::filesystem::exists(file)) return p;
  QSettings s(Text(file.string()), QSettings::IniFormat);
  p.grabToScroll = s.value(QStringLiteral("view/grabToScroll"), false).toBool();
  p.piecesFollowZoom = s.value(QStringLiteral("view/piecesFollowZoom"), false).toBool();
  const std::string language = s.value(QStringLiteral("view/language")).toString().toStdString();
  if (language == kEnglish || language == kGerman) p.language = language;
  const int n = s.beginReadArray(QStringLiteral("recent"));
  for (int i = 0; i < n && p.recent.size() < kRecentFiles; ++i) {
    s.setArrayIndex(i);
    RecentFile f{s.value(QStringLiteral("path")).toString().toStdString(),
                 s.value(QStringLiteral("map")).toString().toStdString()};
    if (!f.path.empty()) p.recent.push_back(std::move(f));
  }
  s.endArray();
  return p;
}

Status Preferences::Save(const std::filesystem::path& file) const {
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  QSettings s(Text(file.string()), QSettings::IniFormat);
  s.clear();
  s.setValue(QStringLiteral("view/grabToScroll"), grabToScroll);
  s.setValue(QStringLiteral("view/piecesFollowZoom"), piecesFollowZoom);
  if (!language.empty()) s.setValue(QStringLiteral("view/language"), Text(language));
  s.beginWriteArray(QStringLiteral("recent"), static_cast<int>(recent.size()));
  for (size_t i = 0; i < recent.size(); ++i) {
    s.setArrayIndex(static_cast<int>(i));
    s.setValue(QStringLiteral("path"), Text(recent[i].path));
    s.setValue(QStringLiteral("map"), Text(recent[i].mapTitle));
  }
  s.endArray();
  s.sync();
  if (s.status() != QSettings::NoError)
    return Status::Fail(file.string() + ": the preferences could not be written");
  return Status::Ok();
}

void Preferences::Remember(const std::string& path, const std::string& mapTitle) {
  std::erase_if(recent, [&](const RecentFile& f) { return f.path == path; });
  recent.insert(recent.begin(), RecentFile{path, mapTitle});
  if (recent.size() > kRecentFiles) recent.resize(kRecentFiles);
}

}  // namespace mw
