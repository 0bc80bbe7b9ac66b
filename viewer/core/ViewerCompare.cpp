// The board compared with a position file ("&Compare With ...", "Compare With Saved", the marks on
// the map and the Changes window), and a sector shown or found by its name.
#include "FileBytes.h"
#include "NamedPosition.h"
#include "PackagePaths.h"
#include "PackageText.h"
#include "PositionFile.h"
#include "Reports.h"
#include "Viewer.h"

namespace mw {

Status Viewer::CompareWith(const std::string& path) {
  // A position file, a game's last turn, or a turn named as GAME:N.
  auto named = ReadNamedPosition(path);
  if (!named) return Status::Fail(named.error());
  auto older = std::make_unique<Position>();
  LoadPositionBytes(*older, named->bytes);
  if (!EqualsIgnoringCase(older->mapName(), position_.mapName()))
    return Status::Fail(path + " is a position of the map " + older->mapName() +
                        ", the board one of the map " + position_.mapName() +
                        ": positions of different maps cannot be compared");
  TakeMapOf(*older, position_);
  CompareWithPosition(std::move(older),
                      named->game.empty() ? path
                                          : std::filesystem::path(named->game).filename().string() +
                                                " turn " + std::to_string(named->turn.number) +
                                                " \"" + named->turn.label + "\"");
  return Status::Ok();
}

void Viewer::CompareWithPosition(std::unique_ptr<Position> older, std::string name) {
  comparison_.emplace(std::move(older), std::move(name));
  ShowComparison();
}

void Viewer::ShowComparison() {
  comparison_->Update(position_, KnowSectorBoxes());
  view_.RedrawMapRegion();
  host_.surface.InvalidateMap(QRect());
  host_.boards.ShowChanges(comparison_->file(),
                           DifferenceLines(comparison_->differences(), position_));
}

void Viewer::EndComparison() {
  if (!comparison_) return;
  // Gone first: closing the Changes window ends the comparison too, and finds none.
  comparison_.reset();
  view_.RedrawMapRegion();
  host_.surface.InvalidateMap(QRect());
  host_.boards.CloseChanges();
}

void Viewer::ChooseComparison() {
  const std::string folder =
      document_.currentFile.empty()
          ? std::string()
          : std::filesystem::path(document_.currentFile).parent_path().string();
  auto chosen = host_.files.ChooseCompareFile(folder);
  if (!chosen) return;
  if (IsDatabaseFile(*chosen)) {
    // A game: which of its turns, the last proposed.
    auto game = GameFile::Open(*chosen);
    auto last = game ? game->FindTurn(0) : Result<std::optional<Turn>>::Fail(game.error());
    if (!last) return ReportFailure("compare", last.error());
    if (!*last) return ReportFailure("compare", *chosen + ": the game has no turns yet");
    const auto turn = host_.questions.AskTurnNumber(
        "Compare With", std::filesystem::path(*chosen).filename().string(), (*last)->number);
    if (!turn) return;
    *chosen += ":" + std::to_string(*turn);
  }
  if (Status compared = CompareWith(*chosen); !compared) ReportFailure("compare", compared.error());
}

void Viewer::CompareWithSaved() {
  if (document_.currentFile.empty() || !position_.dirty()) {
    host_.surface.ShowStatus(
        StatusField::kMessage,
        "Nothing to compare: the board has no unsaved changes to a position file");
    return;
  }
  if (Status compared = CompareWith(document_.currentFile); !compared)
    ReportFailure("compare", compared.error());
}

void Viewer::MarkMapPoint(std::optional<QPoint> map) {
  if (map == marker_.at()) return;
  marker_.Place(map);
  if (map) view_.CenterOn(*map);
  host_.surface.InvalidateMap(QRect());
}

void Viewer::ShowSector(int sector) {
  if (const std::optional<QPoint> at = SectorPoint(sector)) view_.CenterOn(*at);
}

std::optional<QPoint> Viewer::SectorPoint(int sector) {
  const SectorGrid* grid = position_.grid();
  const SectorRecord* record = position_.sectorRecord(static_cast<uint32_t>(sector));
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

std::vector<Viewer::SectorMatch> Viewer::FindSectors(const std::string& text) const {
  std::vector<SectorMatch> found;
  const SectorTable* table = position_.sectorTable();
  if (!table) return found;
  const QString wanted = Folded(QString::fromStdString(text).trimmed());
  if (!incomes_) incomes_ = position_.SectorIncomeBreakdown();
  for (int n = 1; n < kSectorSlots; ++n) {
    const SectorRecord& r = (*table)[n];
    if (!r.hasName()) continue;
    const std::string name = DecodePackageText(r.name());
    if (!Folded(QString::fromStdString(name)).contains(wanted)) continue;
    const SectorIncome& income = (*incomes_)[n];
    std::string detail = income.owner == 0
                             ? std::string("held by nobody")
                             : "held by " + CountryName(position_.countryNames(), income.owner);
    if (income.value > 0)
      detail += ", " + std::to_string(income.value) + " " + HeadingText(income.heading);
    found.push_back({n, name, detail});
  }
  return found;
}

void Viewer::GoToSector(int sector) {
  ShowSector(sector);
  const SectorGrid* grid = position_.grid();
  outline_.Set(grid && sector > 0
                   ? SectorBorderCells(*grid, {static_cast<uint16_t>(sector)}, KnowSectorBoxes())
                   : std::vector<QPoint>());
  // The keyboard's crosshair comes along, to the point the map centred on.
  if (const std::optional<QPoint> at = SectorPoint(sector)) {
    crosshair_.Place(*at);
    host_.surface.DescribeCrosshair(CrosshairText());
  }
  host_.surface.InvalidateMap(QRect());
}

void Viewer::EndSectorOutline() {
  if (outline_.empty()) return;
  outline_.Set({});
  host_.surface.InvalidateMap(QRect());
}

}  // namespace mw
