// The board compared with a position file: "&Compare With ...", "Compare With Saved", the
// marks on the map and the Changes window.
#include "PackagePaths.h"
#include "PositionFile.h"
#include "Viewer.h"

namespace mw {

Status Viewer::CompareWith(const std::string& path) {
  auto older = std::make_unique<Position>();
  if (Status loaded = LoadPosition(*older, path); !loaded) return loaded;
  if (!EqualsIgnoringCase(older->mapName(), position_.mapName()))
    return Status::Fail(path + " is a position of the map " + older->mapName() +
                        ", the board one of the map " + position_.mapName() +
                        ": positions of different maps cannot be compared");
  TakeMapOf(*older, position_);
  CompareWithPosition(std::move(older), path);
  return Status::Ok();
}

void Viewer::CompareWithPosition(std::unique_ptr<Position> older, std::string name) {
  comparison_.emplace(std::move(older), std::move(name));
  ShowComparison();
}

void Viewer::ShowComparison() {
  comparison_->Update(position_, KnowSectorBoxes());
  view_.RedrawMapRegion();
  host_.InvalidateMap(QRect());
  host_.ShowChanges(comparison_->file(), DifferenceLines(comparison_->differences(), position_));
}

void Viewer::EndComparison() {
  if (!comparison_) return;
  // Gone first: closing the Changes window ends the comparison too, and finds none.
  comparison_.reset();
  view_.RedrawMapRegion();
  host_.InvalidateMap(QRect());
  host_.CloseChanges();
}

void Viewer::ChooseComparison() {
  const std::string folder =
      document_.currentFile.empty()
          ? std::string()
          : std::filesystem::path(document_.currentFile).parent_path().string();
  const auto chosen = host_.ChooseCompareFile(folder);
  if (!chosen) return;
  if (Status compared = CompareWith(*chosen); !compared) ReportFailure("compare", compared.error());
}

void Viewer::CompareWithSaved() {
  if (document_.currentFile.empty() || !position_.dirty()) {
    host_.ShowStatus(StatusField::kMessage,
                     "Nothing to compare: the board has no unsaved changes to a position file");
    return;
  }
  if (Status compared = CompareWith(document_.currentFile); !compared)
    ReportFailure("compare", compared.error());
}

void Viewer::MarkMapPoint(std::optional<QPoint> map) {
  if (map == marker_.at()) return;
  marker_.Mark(map);
  if (map) view_.CenterOn(*map);
  host_.InvalidateMap(QRect());
}

void Viewer::ShowSector(int sector) {
  const SectorGrid* grid = position_.grid();
  const SectorRecord* record = position_.sectorRecord(static_cast<uint32_t>(sector));
  if (!grid || sector <= 0) return;
  if (record && grid->sectorAt(record->labelX(), record->labelY()) == sector)
    return view_.CenterOn(QPoint(record->labelX(), record->labelY()));
  // The label point lies elsewhere: the middle of the sector's cells.
  const std::vector<QRect>& boxes = KnowSectorBoxes();
  if (static_cast<size_t>(sector) < boxes.size() && !boxes[sector].isEmpty())
    view_.CenterOn(boxes[sector].center());
}

}  // namespace mw
