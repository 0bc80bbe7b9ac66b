#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QStaticText>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "Host.h"
#include "MapState.h"
#include "Position.h"
#include "Settings.h"

namespace mw {

// The view state of the main window.
struct ViewState {
  double zoom = 1.0;
  int scrollX = 0;
  int scrollY = 0;
  int pictureWidth = 0;
  int pictureHeight = 0;
  int scaledWidth = 0;
  int scaledHeight = 0;
  QSize clientSize;
  QSize maxWindowSize;
  int hoverSector = -1;
  bool scrollDragging = false;
  int scrollAnchorX = 0;
  int scrollAnchorY = 0;
};

// The fonts of the map view: bold, 10 and 12 pixels high.
struct ViewFonts {
  QFont labelFont;
  QFont countFont;
  ViewFonts();
};

// What the map view shows: the map, the position on it, the settings, the current position file
// (for the title) and the fonts.
class MapViewSource {
 public:
  virtual ~MapViewSource() = default;
  virtual const MapState& map() const = 0;
  virtual const Position& position() const = 0;
  virtual const Settings& settings() const = 0;
  virtual const std::string& currentFile() const = 0;
  virtual const ViewFonts& fonts() const = 0;
};

// The map view: three coordinate spaces (map pixels, scaled pixels = trunc(v x zoom + 0.5),
// client pixels = scaled - scroll), the composed picture (the map at the zoom, income labels and
// units drawn on it) and the window size rules. The composed picture is made only where it is
// shown, in tiles that are kept until the zoom changes or an edit touches them, so that what a
// zoom, a scroll or an edit costs follows the window's size, not the map's.
class MapView {
 public:
  static constexpr double kZoomStep = 0.1;
  static constexpr int kTileSize = 256;

  // The view shows what `source` holds; it asks for it at every use, so the source may be built
  // after the view.
  MapView(Host& host, const MapViewSource& source) : host_(host), source_(source) {}

  const ViewState& state() const { return state_; }

  // trunc(v x zoom + 0.5), held within the range of int: label points come from the sector
  // table and may be any 32-bit number.
  int Scaled(int v) const;
  QPoint ClientToMap(QPoint client) const;
  QPoint MapToClient(QPoint map) const;

  void ResetForLoad();
  void RebuildScaledPicture();
  void ComputeMaxWindowSize();
  void FitWindowToMap();
  void ClampScroll();
  // Recomposes a rectangle of scaled pixels, or all of the picture when `region` is empty: the
  // tiles it touches are made again when next shown.
  void RedrawMapRegion(QRect region = QRect());
  // The composed picture in a rectangle of scaled pixels (within the picture), as the window
  // shows it, made for the caller without touching the kept tiles.
  QImage ComposedRegion(QRect scaled) const;
  // The tiles kept now.
  size_t tilesKept() const { return tiles_.size(); }
  // Recomposes the area around a unit record (in the list or not) and repaints it.
  void RedrawUnitArea(const Unit& unit);
  // One zoom step, the scroll offset keeping its value; false at a limit, where nothing changes.
  bool ZoomIn();
  bool ZoomOut();
  // One zoom step that keeps the map point under `client` where it is.
  bool ZoomAt(bool in, QPoint client);
  // Back to zoom 1.0; false when already there.
  bool ResetZoom();
  // Moves the view by a number of client pixels, within the picture.
  void ScrollBy(int dx, int dy);
  // Scrolls so that a map point stands in the middle of the map area, within the picture.
  void CenterOn(QPoint map);
  void UpdateHoverTitle(QPoint client);
  // A new map: the title names no sector until the mouse moves over one.
  void ForgetHover();
  void ClientResized();

  void BeginScrollDrag(QPoint client);
  void DragScroll(QPoint client);
  void EndScrollDrag();

  // Copies the update rectangle of the composed picture to a painter of the map area.
  void Paint(class QPainter& painter, QRect update) const;

 private:
  // Composes the scaled pictures of `areas` (rectangles of scaled pixels) with the income labels
  // and units over them, in one pass over the units.
  std::vector<QImage> Compose(const std::vector<QRect>& areas) const;
  // The tiles of a rectangle of scaled pixels, made where missing.
  void EnsureTiles(QRect scaled) const;
  void PatchTiles(QRect scaled);
  void TrimTiles() const;
  // All a unit draws in scaled pixels: its piece and its count.
  QRect Footprint(const Unit& unit) const;
  // The laid-out text of a unit's count, kept: laying text out costs more than drawing it.
  const QStaticText& CountLabel(std::string_view text) const;
  struct Tile {
    QImage image;
    uint64_t lastUse = 0;
  };
  static uint64_t TileKey(int tx, int ty) {
    return static_cast<uint64_t>(static_cast<uint32_t>(tx)) << 32 | static_cast<uint32_t>(ty);
  }
  // A map point that a zoom keeps under a client point.
  struct Anchor {
    QPointF map;
    QPoint client;
  };
  void AfterZoom(std::optional<Anchor> anchor = std::nullopt);
  // One zoom step in or out; with `client`, the map point under it stays there.
  bool StepZoom(bool in, std::optional<QPoint> client);
  void ShowZoom();

  const MapState& map() const { return source_.map(); }
  const Position& position() const { return source_.position(); }

  Host& host_;
  const MapViewSource& source_;
  ViewState state_;
  mutable std::unordered_map<uint64_t, Tile> tiles_;
  mutable uint64_t uses_ = 0;
  mutable std::unordered_map<std::string, QStaticText> countLabels_;
};

// The rectangle from (left, top) to (right, bottom), the right and bottom edges outside it, as
// the window system's rectangles are given.
inline QRect FromEdges(int left, int top, int right, int bottom) {
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Room right of a unit's piece for its count text, in pixels: what the window repaints around a
// unit besides what its count really takes; and the most a count of five digits can take.
inline constexpr int kCountTextRoom = 23;
inline constexpr int kLongestCountText = 64;

// The main window's title, and the title's text for a point outside every sector.
inline constexpr const char* kMainWindowTitle = "Brom's TessMapView";

// The text of a total: its count text, behind a minus sign when it is negative.
std::string TotalText(int value);

}  // namespace mw
