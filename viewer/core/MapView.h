#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <optional>
#include <string>

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
  QImage scaledPicture;    // the map picture at the zoom
  QImage composedPicture;  // the same with income labels and units: what the window shows
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
// client pixels = scaled - scroll), the scaled and the composed pictures, and the window size
// rules. The composed picture is a cache: an edit recomposes only the area around its units.
class MapView {
 public:
  static constexpr double kZoomStep = 0.1;

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
  // Recomposes a rectangle of scaled pixels, or all of the picture when `region` is empty.
  void RedrawMapRegion(QRect region = QRect());
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
  void DrawIncomeLabels(QPainter& painter, QRect region) const;
  void DrawStacks(QPainter& painter, QRect region) const;
  // A map point that a zoom keeps under a client point.
  struct Anchor {
    QPointF map;
    QPoint client;
  };
  void AfterZoom(std::optional<Anchor> anchor = std::nullopt);
  void ShowZoom();

  const MapState& map() const { return source_.map(); }
  const Position& position() const { return source_.position(); }

  Host& host_;
  const MapViewSource& source_;
  ViewState state_;
};

// The rectangle from (left, top) to (right, bottom), the right and bottom edges outside it, as
// the window system's rectangles are given.
inline QRect FromEdges(int left, int top, int right, int bottom) {
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Room right of a unit's piece for its count text, in pixels.
inline constexpr int kCountTextRoom = 23;

// The main window's title, and the title's text for a point outside every sector.
inline constexpr const char* kMainWindowTitle = "Brom's TessMapView";

// The text of a total: its count text, behind a minus sign when it is negative.
std::string TotalText(int value);

}  // namespace mw
