// SPDX-License-Identifier: GPL-3.0-or-later
// What is drawn over the board beside the pieces: the board compared with a position file
// ("&Compare With ...", "Compare With Saved", the marks on the map and the Changes window), and a
// sector shown or found by its name.
#include "Overlays.h"

#include "FileBytes.h"
#include "NamedPosition.h"
#include "PackagePaths.h"
#include "PackageText.h"
#include "PositionFile.h"
#include "Reports.h"
#include "Texts.h"
#include "Viewer.h"

namespace mw {

Status Overlays::CompareWith(const std::string& path) {
  // A position file, a game's last turn, or a turn named as GAME:N.
  auto older = ReadComparable(path, v_.board().position(), Tr("Overlays", "the board"), false);
  if (!older) return Status::Fail(older.error());
  const NamedPosition& named = older->named;
  CompareWithPosition(std::move(older->position),
                      named.game.empty()
                          ? path
                          : Tr("Overlays", "%1 turn %2 \"%3\"")
                                .arg(std::filesystem::path(named.game).filename().string())
                                .arg(named.turn.number)
                                .arg(named.turn.label)
                                .str());
  return Status::Ok();
}

void Overlays::CompareWithPosition(std::unique_ptr<Position> older, std::string name) {
  comparison_.emplace(std::move(older), std::move(name));
  ShowComparison();
}

void Overlays::ShowComparison() {
  comparison_->Update(v_.board().position(), sectorShapes_);
  v_.view().RedrawMapRegion();
  v_.host().surface.InvalidateMap(QRect());
  v_.host().boards.ShowChanges(comparison_->file(),
                               DifferenceLines(comparison_->differences(), v_.board().position()));
}

void Overlays::EndComparison() {
  if (!comparison_) return;
  // Gone first: closing the Changes window ends the comparison too, and finds none.
  comparison_.reset();
  v_.view().RedrawMapRegion();
  v_.host().surface.InvalidateMap(QRect());
  v_.host().boards.CloseChanges();
}

void Overlays::ChooseComparison() {
  const std::string folder =
      v_.board().document().currentFile.empty()
          ? std::string()
          : std::filesystem::path(v_.board().document().currentFile).parent_path().string();
  auto chosen = v_.host().files.ChooseCompareFile(folder);
  if (!chosen) return;
  if (IsDatabaseFile(*chosen)) {
    // A game: which of its turns, the last proposed.
    auto game = GameFile::Open(*chosen);
    auto last = game ? game->FindTurn(0) : Result<std::optional<Turn>>::Fail(game.error());
    const auto fail = [&](const std::string& reason) {
      v_.board().ReportFailure({Failure::Action::kCompare, *chosen, reason});
    };
    if (!last) return fail(last.error());
    if (!*last) return fail(Tr("Games", "%1: the game has no turns yet").arg(*chosen));
    const auto turn = v_.host().questions.AskTurnNumber(
        Tr("Overlays", "Compare With"), std::filesystem::path(*chosen).filename().string(),
        (*last)->number);
    if (!turn) return;
    *chosen += ":" + std::to_string(*turn);
  }
  if (Status compared = CompareWith(*chosen); !compared)
    v_.board().ReportFailure({Failure::Action::kCompare, *chosen, compared.error()});
}

void Overlays::CompareWithSaved() {
  if (v_.board().document().currentFile.empty() || !v_.board().position().dirty()) {
    v_.host().surface.ShowStatus(
        StatusField::kMessage,
        Tr("Overlays", "Nothing to compare: the board has no unsaved changes to a position file"));
    return;
  }
  if (Status compared = CompareWith(v_.board().document().currentFile); !compared)
    v_.board().ReportFailure(
        {Failure::Action::kCompare, v_.board().document().currentFile, compared.error()});
}

void Overlays::MarkMapPoint(std::optional<QPoint> map) {
  if (map == marker_.at()) return;
  marker_.Place(map);
  if (map) v_.view().CenterOn(*map);
  v_.host().surface.InvalidateMap(QRect());
}

void Overlays::ShowSector(int sector) {
  if (const std::optional<QPoint> at = SectorPoint(sector)) v_.view().CenterOn(*at);
}

std::optional<QPoint> Overlays::SectorPoint(int sector) {
  const SectorGrid* grid = v_.board().position().grid();
  const SectorRecord* record = v_.board().position().sectorRecord(static_cast<uint32_t>(sector));
  if (!grid || sector <= 0) return std::nullopt;
  if (record && grid->sectorAt(record->labelX(), record->labelY()) == sector)
    return QPoint(record->labelX(), record->labelY());
  // The label point lies elsewhere: the middle of the sector's cells.
  const std::vector<QRect>& boxes = KnowSectorBoxes();
  if (static_cast<size_t>(sector) < boxes.size() && !boxes[sector].isEmpty())
    return boxes[sector].center();
  return std::nullopt;
}

namespace {

// A name as a search compares it: accents taken off (the marks a decomposition leaves), case
// folded.
QString Folded(const QString& text) {
  QString out;
  for (const QChar c : text.normalized(QString::NormalizationForm_KD))
    if (c.category() != QChar::Mark_NonSpacing) out += c;
  return out.toCaseFolded();
}

}  // namespace

std::vector<Overlays::SectorMatch> Overlays::FindSectors(const std::string& text) const {
  std::vector<SectorMatch> found;
  const SectorTable* table = v_.board().position().sectorTable();
  if (!table) return found;
  const QString wanted = Folded(QString::fromStdString(text).trimmed());
  for (int n = 1; n < kSectorSlots; ++n) {
    const SectorRecord& r = (*table)[n];
    if (!r.hasName()) continue;
    const std::string name = DecodePackageText(r.name());
    if (!Folded(QString::fromStdString(name)).contains(wanted)) continue;
    const SectorIncome& income = v_.board().Incomes()[n];
    const std::string holder = CountryName(v_.board().position().countryNames(), income.owner);
    const std::string detail =
        income.owner == 0 && income.value > 0 ? Tr("Overlays", "held by nobody, %1 %2")
                                                    .arg(income.value)
                                                    .arg(std::string(HeadingText(income.heading)))
        : income.owner == 0 ? Tr("Overlays", "held by nobody")
        : income.value > 0  ? Tr("Overlays", "held by %1, %2 %3")
                                 .arg(holder)
                                 .arg(income.value)
                                 .arg(std::string(HeadingText(income.heading)))
                           : Tr("Overlays", "held by %1").arg(holder);
    found.push_back({n, name, detail});
  }
  return found;
}

void Overlays::GoToSector(int sector) {
  ShowSector(sector);
  outline_.Set(sector > 0 ? sectorShapes_.Borders(v_.board().position().sharedGrid(),
                                                  {static_cast<uint16_t>(sector)})
                          : std::vector<QPoint>());
  // The keyboard's crosshair comes along, to the point the map centred on.
  if (const std::optional<QPoint> at = SectorPoint(sector)) {
    v_.editing().PlaceCrosshair(*at);
  }
  v_.host().surface.InvalidateMap(QRect());
}

void Overlays::EndSectorOutline() {
  if (outline_.empty()) return;
  outline_.Set({});
  v_.host().surface.InvalidateMap(QRect());
}

namespace {

std::vector<std::string> FindingLines(const Result<PackageReport>& report) {
  std::vector<std::string> lines;
  if (!report) return {report.error()};
  for (const Finding& f : report->findings) lines.push_back(f.Line());
  return lines;
}

}  // namespace

void Overlays::CheckMap() {
  const auto report =
      CheckPackage(v_.board().PackageFolder(v_.map().packageName), v_.startup().mapFolders);
  seenFindings_ = FindingLines(report);
  v_.host().tools.ShowPackageCheck(v_.map().packageName, report, true);
}

void Overlays::ReloadMap() {
  if (!v_.board().ConfirmLabelsLost(Tr("Overlays",
                                       "The moved label points are not exported yet (key S). "
                                       "Reload the map without exporting them?")))
    return;
  const ViewState before = v_.view().state();
  // The comparison's older position takes the new map too.
  std::unique_ptr<Position> older;
  std::string compared;
  if (comparison_) {
    compared = comparison_->file();
    older = comparison_->TakeOlder();
  }
  v_.board().LoadMapPackage(v_.map().packageName);
  // Everything the package holds is read again, its title (in MapInfo.txt) too.
  v_.board().document().catalogue = BuildMapCatalogue(v_.startup().mapFolders);
  v_.host().menus.SetCatalogue(v_.board().document().catalogue);
  v_.view().RefreshTitle();
  v_.view().RestoreView(before.zoom, QPoint(before.scrollX, before.scrollY));
  v_.host().surface.InvalidateMap(QRect());
  if (older) {
    TakeMapOf(*older, v_.board().position());
    CompareWithPosition(std::move(older), compared);
  }
  v_.recovery().Keep();
  const auto report =
      CheckPackage(v_.board().PackageFolder(v_.map().packageName), v_.startup().mapFolders);
  const std::vector<std::string> lines = FindingLines(report);
  size_t fresh = 0;
  for (const std::string& line : lines)
    if (std::find(seenFindings_.begin(), seenFindings_.end(), line) == seenFindings_.end()) ++fresh;
  const std::string& name = v_.map().packageName;
  v_.host().surface.ShowStatus(
      StatusField::kMessage,
      lines.empty() ? Tr("Overlays", "Reloaded the map %1: the check finds nothing").arg(name)
      : lines.size() == 1
          ? Tr("Overlays", "Reloaded the map %1: 1 finding, %2 new").arg(name).arg(fresh)
          : Tr("Overlays", "Reloaded the map %1: %2 findings, %3 new")
                .arg(name)
                .arg(lines.size())
                .arg(fresh));
  // An open report follows the package; it opens only for what the author has not seen.
  if (fresh > 0) seenFindings_ = lines;
  v_.host().tools.ShowPackageCheck(v_.map().packageName, report, fresh > 0);
}

void Overlays::ToggleSectors() {
  sectorLayer_.Show(!sectorLayer_.shown());
  if (sectorLayer_.shown()) KnowSectorBoxes();
  v_.host().menus.SetMenuCheck(command::kShowSectors, sectorLayer_.shown());
  v_.view().RedrawMapRegion();
  v_.host().surface.InvalidateMap(QRect());
}

const std::vector<QRect>& Overlays::KnowSectorBoxes() {
  return sectorShapes_.Boxes(v_.board().position().sharedGrid());
}

void Overlays::MapLoaded() {
  // The boxes follow the map's grid: found again only where it is another grid.
  if (sectorLayer_.shown()) KnowSectorBoxes();
}

std::unique_ptr<Position> Overlays::TakeCompared() {
  return comparison_ ? comparison_->TakeOlder() : nullptr;
}

}  // namespace mw
