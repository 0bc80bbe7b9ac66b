// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Comparison.h"
#include "MapLayers.h"
#include "Position.h"
#include "Result.h"
#include "SectorLayer.h"

namespace mw {

class Viewer;

// What is drawn over the board beside the pieces, and the commands that draw it: the comparison
// with another position and its Changes window, the sectors' borders and names, a sector found
// by its name and outlined, a point of a finding marked, and the package's check.
class Overlays {
 public:
  Overlays(Viewer& viewer, const MapViewSource& shown, const UnitLayer& units)
      : v_(viewer),
        sectorLayer_(shown, sectorShapes_.boxes()),
        changesLayer_(shown, comparison_, units) {}

  // The layers and marks the view draws.
  SectorLayer& sectorLayer() { return sectorLayer_; }
  const SectorLayer& sectorLayer() const { return sectorLayer_; }
  ChangesLayer& changesLayer() { return changesLayer_; }
  SectorOutline& outline() { return outline_; }
  PointMarker& marker() { return marker_; }

  // The board compared with a position of its map: a position file, a game's last turn or
  // GAME:N. The map marks what changed and the Changes window lists it, both following the board
  // until the comparison ends. Fails with the reason when it cannot be read or is of another map.
  Status CompareWith(const std::string& name);
  // The same with a position already given the board's map, named `name` where it is shown.
  void CompareWithPosition(std::unique_ptr<Position> older, std::string name);
  // Ends the comparison shown, if any: the marks go and the Changes window closes.
  void EndComparison();
  const Comparison* comparison() const { return comparison_ ? &*comparison_ : nullptr; }
  // The comparison's older position, taken out of it to be compared again (a step of a game).
  std::unique_ptr<Position> TakeCompared();
  // The board changed: the comparison follows it.
  void BoardChanged() {
    if (comparison_) ShowComparison();
  }
  // "&Compare With ..." (a game asks which turn) and "Compare With Saved".
  void ChooseComparison();
  void CompareWithSaved();

  // The sectors whose name holds `text`, case and accents ignored, by number, each with its
  // holder and income in words ("held by Valdria, 3 IPC"); every named sector for no text.
  struct SectorMatch {
    int sector = 0;
    std::string name;    // UTF-8
    std::string detail;  // UTF-8
  };
  std::vector<SectorMatch> FindSectors(const std::string& text) const;
  // Centres the map on a sector: its label point, else the middle of its cells.
  void ShowSector(int sector);
  // Centres the map on a sector found and outlines it until EndSectorOutline.
  void GoToSector(int sector);
  void EndSectorOutline();
  bool outliningSector() const { return !outline_.empty(); }
  // Marks a map point with a ring and scrolls it into the middle where the picture allows (a
  // finding of the package check chosen); none takes the mark away.
  void MarkMapPoint(std::optional<QPoint> map);
  const std::optional<QPoint>& markedPoint() const { return marker_.at(); }

  // "&Check Map ...": the package checked and the report shown. "&Reload Map" (F5): the package
  // read again with the board, its undo history, the view and a comparison kept, then checked;
  // the report is shown only when it holds findings the author has not seen yet.
  void CheckMap();
  void ReloadMap();
  // "&Show Sectors": the sectors' borders, numbers, names and label points over the map, or not.
  void ToggleSectors();
  // A new map was read: the sectors' boxes shown follow its grid (what was known of another grid's
  // sectors goes when they are next asked for).
  void MapLoaded();

 private:
  void ShowComparison();
  // Finds each sector's box of cells once per map.
  const std::vector<QRect>& KnowSectorBoxes();
  std::optional<QPoint> SectorPoint(int sector);

  Viewer& v_;
  std::optional<Comparison> comparison_;
  // The sectors' boxes and borders of the map's grid, once a comparison or the sectors need them.
  SectorShapes sectorShapes_;
  std::vector<std::string> seenFindings_;  // the lines of the last report shown of the package
  PointMarker marker_;
  SectorOutline outline_;
  SectorLayer sectorLayer_;
  ChangesLayer changesLayer_;
};

}  // namespace mw
