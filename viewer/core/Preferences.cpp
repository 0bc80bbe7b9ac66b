// SPDX-License-Identifier: GPL-3.0-or-later
#include "Preferences.h"

#include <QSettings>
#include <algorithm>

namespace mw {
namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

// A path as its bytes; older files hold it as text.
QVariant Bytes(const std::string& s) { return QByteArray::fromStdString(s); }
std::string PathOf(const QVariant& value) {
  if (value.typeId() == QMetaType::QByteArray) return value.toByteArray().toStdString();
  return value.toString().toStdString();
}

}  // namespace

Preferences Preferences::Load(const std::filesystem::path& file) {
  Preferences p;
  if (!std::filesystem::exists(file)) return p;
  QSettings s(Text(file.string()), QSettings::IniFormat);
  p.grabToScroll = s.value(QStringLiteral("view/grabToScroll"), false).toBool();
  p.piecesFollowZoom = s.value(QStringLiteral("view/piecesFollowZoom"), false).toBool();
  const std::string language = s.value(QStringLiteral("view/language")).toString().toStdString();
  if (language == kEnglish || language == kGerman) p.language = language;
  p.game = PathOf(s.value(QStringLiteral("game/path")));
  s.beginGroup(QStringLiteral("places"));
  for (const QString& key : s.childKeys())
    if (const QVariant v = s.value(key); v.canConvert<QPoint>())
      p.places[key.toStdString()] = v.toPoint();
  s.endGroup();
  const int n = s.beginReadArray(QStringLiteral("recent"));
  for (int i = 0; i < n && p.recent.size() < kRecentFiles; ++i) {
    s.setArrayIndex(i);
    RecentFile f{PathOf(s.value(QStringLiteral("path"))),
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
  if (!game.empty()) s.setValue(QStringLiteral("game/path"), Bytes(game));
  for (const auto& [name, at] : places) s.setValue("places/" + Text(name), at);
  s.beginWriteArray(QStringLiteral("recent"), static_cast<int>(recent.size()));
  for (size_t i = 0; i < recent.size(); ++i) {
    s.setArrayIndex(static_cast<int>(i));
    s.setValue(QStringLiteral("path"), Bytes(recent[i].path));
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

Preferences Preferences::Merge(const Preferences& base, const Preferences& mine,
                               const std::vector<RecentChange>& recentChanges, Preferences disk) {
  const auto take = [](const auto& baseValue, const auto& myValue, auto& diskValue) {
    if (myValue != baseValue) diskValue = myValue;
  };
  take(base.grabToScroll, mine.grabToScroll, disk.grabToScroll);
  take(base.piecesFollowZoom, mine.piecesFollowZoom, disk.piecesFollowZoom);
  take(base.language, mine.language, disk.language);
  take(base.game, mine.game, disk.game);
  for (const auto& [name, at] : mine.places) {
    const auto was = base.places.find(name);
    if (was == base.places.end() || was->second != at) disk.places[name] = at;
  }
  for (const RecentChange& change : recentChanges) {
    if (change.forget)
      std::erase_if(disk.recent, [&](const RecentFile& f) { return f.path == change.file.path; });
    else
      disk.Remember(change.file.path, change.file.mapTitle);
  }
  return disk;
}

}  // namespace mw
