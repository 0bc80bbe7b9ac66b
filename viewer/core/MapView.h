// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <optional>
#include <string>
#include <vector>

#include "Host.h"
#include "MapComposer.h"
#include "MapLayers.h"
#include "MapViewSource.h"
#include "TileCache.h"
#include "ViewGeometry.h"

namespace mw {

// The map view: what the map area shows and how the user moves it. The coordinates and the
// window's size rules are the geometry's; the composed picture (the map at the zoom with the
// layers drawn over it) is made only where it is shown, in tiles kept until the zoom changes or a
// change touches them, so that what a zoom, a scroll or an edit costs follows the window's size,
// not the map's.
class MapView {
 public:
  static constexpr double kZoomStep = 0.1;
  static constexpr int kTileSize = TileCache::kTileSize;

  // The view shows what `source` holds; it asks for it at every use, so the source may be built
  // after the view.
  MapView(Host host, const MapViewSource& source);

  const ViewState& state() const { return geometry_.state(); }
  const ViewGeometry& geometry() const { return geometry_; }
  int Scaled(int v) const { return geometry_.Scaled(v); }
  QPoint ClientToMap(QPoint client) const { return geometry_.ClientToMap(client); }
  QPoint MapToClient(QPoint map) const { return geometry_.MapToClient(map); }

  // A layer drawn over the map, the picture, the income labels and the units and the layers
  // added before it; and what is drawn over all of them as the map area is painted.
  void AddLayer(const MapLayer& layer) { composer_.Add(layer); }
  void AddOverlay(const MapOverlay& overlay) { overlays_.push_back(&overlay); }

  void ResetForLoad();
  void RebuildScaledPicture();
  void FitWindowToMap() { geometry_.FitWindowToMap(); }
  // Recomposes a rectangle of scaled pixels, or all of the picture when `region` is empty: the
  // tiles it touches are made again when next shown. Does not repaint the window.
  void RedrawMapRegion(QRect region = QRect());
  // Recomposes a rectangle of scaled pixels and repaints it.
  void RedrawArea(QRect scaled);
  // Recomposes and repaints the area of a unit record (in the list or not), or of an income
  // label at a point.
  void RedrawUnitArea(const Unit& unit) { RedrawArea(units_.AreaOf(geometry_, unit)); }
  void RedrawLabelArea(const LabelPoint& label) { RedrawArea(labels_.AreaOf(geometry_, label)); }
  // The composed picture in a rectangle of scaled pixels (within the picture), as the window
  // shows it, made for the caller without touching the kept tiles.
  QImage ComposedRegion(QRect scaled) const;
  size_t tilesKept() const { return tiles_.size(); }
  const UnitLayer& units() const { return units_; }

  // One zoom step, the scroll offset keeping its value; false at a limit, where nothing changes.
  bool ZoomIn();
  bool ZoomOut();
  // One zoom step that keeps the map point under `client` where it is.
  bool ZoomAt(bool in, QPoint client);
  // Back to zoom 1.0; false when already there.
  bool ResetZoom();
  // A zoom and scroll offset as they were (a map reloaded), kept within the picture.
  void RestoreView(double zoom, QPoint scroll);
  // Moves the view by a number of client pixels, within the picture.
  void ScrollBy(int dx, int dy);
  // Scrolls so that a map point stands in the middle of the map area, within the picture.
  void CenterOn(QPoint map);
  void UpdateHoverTitle(QPoint client);
  // A new map: the title names no sector until the mouse moves over one.
  void ForgetHover();
  // Sets the title again for the sector under the mouse, after the file or the game changed.
  void RefreshTitle();
  void ClientResized();

  // The right-button drag: as the scroll bars move (the map goes against the mouse), or with
  // `grab` set the map follows the mouse as a sheet of paper would.
  void SetGrabToScroll(bool grab) { grab_ = grab; }
  void BeginScrollDrag(QPoint client);
  void DragScroll(QPoint client);
  void EndScrollDrag();

  // Paints an update rectangle of the map area (client pixels): the kept tiles, composed where
  // missing, then the overlays. Fresh, it composes the rectangle anew instead, as a check of
  // what the tiles hold.
  void Paint(class QPainter& painter, QRect update) const;
  void PaintFresh(class QPainter& painter, QRect update) const;
  // Only the kept tiles of an update rectangle, composed where missing.
  void PaintTiles(class QPainter& painter, QRect update) const;

 private:
  // A map point that a zoom keeps under a client point.
  struct Anchor {
    QPointF map;
    QPoint client;
  };
  void AfterZoom(std::optional<Anchor> anchor = std::nullopt);
  // One zoom step in or out; with `client`, the map point under it stays there.
  bool StepZoom(bool in, std::optional<QPoint> client);
  void ShowZoom();
  void PaintOverlays(QPainter& painter) const;

  const MapState& map() const { return source_.map(); }
  const Position& position() const { return source_.position(); }

  Host host_;
  const MapViewSource& source_;
  ViewGeometry geometry_;
  PictureLayer picture_;
  IncomeLabelLayer labels_;
  UnitLayer units_;
  MapComposer composer_;
  std::vector<const MapOverlay*> overlays_;
  bool grab_ = false;
  QPoint grabFrom_, grabScroll_;  // where a grabbing drag started, and the scroll offset then
  mutable TileCache tiles_;
};

// The main window's title, and the title's text for a point outside every sector.
inline constexpr const char* kMainWindowTitle = "Brom's TessMapView";

// The text of a total: its count text, behind a minus sign when it is negative.
std::string TotalText(int value);

}  // namespace mw
