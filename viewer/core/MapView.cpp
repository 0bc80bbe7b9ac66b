// SPDX-License-Identifier: GPL-3.0-or-later
#include "MapView.h"

#include <QPainter>
#include <cmath>

#include "CountText.h"
#include "PackageText.h"
#include "Texts.h"

namespace mw {
namespace {

constexpr double kZoomInLimit = 1.95;
constexpr double kZoomOutLimit = 0.55;

}  // namespace

std::string TotalText(int value) {
  if (value < 0) return "-" + CountText(static_cast<uint32_t>(-static_cast<int64_t>(value)));
  return CountText(static_cast<uint32_t>(value));
}

MapView::MapView(Host host, const MapViewSource& source)
    : host_(host),
      source_(source),
      geometry_(host),
      picture_(source),
      labels_(source),
      units_(source) {
  composer_.Add(picture_);
  composer_.Add(labels_);
  composer_.Add(units_);
}

void MapView::ResetForLoad() {
  ViewState& s = geometry_.state();
  s.zoom = 1.0;
  s.scrollX = 0;
  s.scrollY = 0;
  ShowZoom();
}

void MapView::ShowZoom() {
  host_.surface.ShowStatus(StatusField::kZoom,
                           std::to_string(std::lround(state().zoom * 100)) + " %");
}

void MapView::ForgetHover() {
  geometry_.state().hoverSector = -1;
  RefreshTitle();
}

void MapView::RefreshTitle() {
  // The game and its turn stand first, where a game is open: they stand for the position file a
  // turn does not have.
  std::string title = source_.gameTitle();
  const std::string& file = source_.currentFile();
  const int sector = state().hoverSector;
  if (sector < 0 && title.empty()) return host_.surface.SetTitle(kMainWindowTitle);
  if (!title.empty() && !file.empty()) title += " \u2013 ";
  title += file;
  if (sector < 0) return host_.surface.SetTitle(title + " - " + kMainWindowTitle);
  title += " - ";
  const SectorRecord* record = position().sectorRecord(static_cast<uint32_t>(sector));
  if (sector == 0) {
    title += kMainWindowTitle;
  } else if (!record) {
    title += Tr("Words", "Area: %1").arg(sector).str();
  } else {
    title += DecodePackageText(record->name());
    if (record->ipcValue() > 0) title += " (" + CountText(record->ipcValue()) + " IPC)";
  }
  host_.surface.SetTitle(title);
}

void MapView::RebuildScaledPicture() {
  // Nothing is scaled here: the tiles are, as they are shown.
  tiles_.Clear();
  geometry_.SetPicture(map().mapPicture.size());
}

void MapView::RedrawMapRegion(QRect region) {
  if (!map().mapPicture.isNull() && state().scaledWidth > 0) {
    if (region.isNull())
      tiles_.Clear();
    else
      tiles_.Patch(region, geometry_.scaledPicture(), composer_, geometry_);
  }
  FitWindowToMap();
}

void MapView::RedrawArea(QRect scaled) {
  if (scaled.isEmpty()) return;
  RedrawMapRegion(scaled);
  host_.surface.InvalidateMap(scaled.translated(-geometry_.scroll()));
}

QImage MapView::ComposedRegion(QRect scaled) const {
  scaled = scaled.intersected(geometry_.scaledPicture());
  if (scaled.isEmpty() || map().mapPicture.isNull()) return QImage();
  // Made afresh, not from the tiles: a region may be far larger than what is kept.
  return composer_.Compose(geometry_, {scaled}).front();
}

bool MapView::ZoomIn() { return StepZoom(true, std::nullopt); }

bool MapView::ZoomOut() { return StepZoom(false, std::nullopt); }

bool MapView::ZoomAt(bool in, QPoint client) { return StepZoom(in, client); }

bool MapView::StepZoom(bool in, std::optional<QPoint> client) {
  ViewState& s = geometry_.state();
  if (in ? !(s.zoom < kZoomInLimit) : !(s.zoom > kZoomOutLimit)) return false;
  // The map point under the cursor, in fractions of a map pixel, before the zoom changes.
  std::optional<Anchor> anchor;
  if (client)
    anchor = Anchor{QPointF((client->x() + s.scrollX) / s.zoom, (client->y() + s.scrollY) / s.zoom),
                    *client};
  s.zoom = s.zoom + (in ? kZoomStep : -kZoomStep);
  AfterZoom(anchor);
  return true;
}

bool MapView::ResetZoom() {
  if (state().zoom == 1.0) return false;
  geometry_.state().zoom = 1.0;
  AfterZoom();
  return true;
}

void MapView::RestoreView(double zoom, QPoint scroll) {
  geometry_.state().zoom = zoom;
  // The map point at the top left corner stays there.
  AfterZoom(Anchor{QPointF(scroll.x() / zoom, scroll.y() / zoom), QPoint(0, 0)});
}

void MapView::AfterZoom(std::optional<Anchor> anchor) {
  RebuildScaledPicture();
  ViewState& s = geometry_.state();
  if (anchor) {
    s.scrollX = static_cast<int>(std::lround(anchor->map.x() * s.zoom)) - anchor->client.x();
    s.scrollY = static_cast<int>(std::lround(anchor->map.y() * s.zoom)) - anchor->client.y();
  }
  geometry_.ReadClientSize();
  geometry_.ClampScroll();
  RedrawMapRegion();
  host_.surface.InvalidateMap(QRect());
  ShowZoom();
}

void MapView::CenterOn(QPoint map) {
  geometry_.ReadClientSize();
  const QSize client = state().clientSize;
  const QPoint at = MapToClient(map) - QPoint(client.width(), client.height()) / 2;
  ScrollBy(at.x(), at.y());
}

void MapView::ScrollBy(int dx, int dy) {
  const QPoint before = geometry_.scroll();
  geometry_.ReadClientSize();
  ViewState& s = geometry_.state();
  s.scrollX += dx;
  s.scrollY += dy;
  geometry_.ClampScroll();
  if (before != geometry_.scroll()) host_.surface.InvalidateMap(QRect());
}

void MapView::ClientResized() {
  FitWindowToMap();
  geometry_.ReadClientSize();
  geometry_.ClampScroll();
  host_.surface.InvalidateMap(QRect());
}

void MapView::UpdateHoverTitle(QPoint client) {
  const SectorGrid* grid = position().grid();
  if (!grid) return;
  ViewState& s = geometry_.state();
  const QPoint m = ClientToMap(client);
  int mx = static_cast<int16_t>(m.x()), my = static_cast<int16_t>(m.y());
  mx = std::min(mx, s.pictureWidth);
  my = std::min(my, s.pictureHeight);
  if (!grid->contains(mx, my)) return;
  const int sector = grid->valueAt(mx, my);
  if (sector == s.hoverSector) return;
  s.hoverSector = sector;
  RefreshTitle();
}

void MapView::BeginScrollDrag(QPoint client) {
  ViewState& s = geometry_.state();
  s.scrollDragging = true;
  s.scrollAnchorX = client.x() - s.scrollX;
  s.scrollAnchorY = client.y() - s.scrollY;
  grabFrom_ = client;
  grabScroll_ = QPoint(s.scrollX, s.scrollY);
  geometry_.ReadClientSize();
}

void MapView::DragScroll(QPoint client) {
  ViewState& s = geometry_.state();
  if (!s.scrollDragging) return;
  if (grab_) {
    s.scrollX = grabScroll_.x() - (client.x() - grabFrom_.x());
    s.scrollY = grabScroll_.y() - (client.y() - grabFrom_.y());
  } else {
    s.scrollX = client.x() - s.scrollAnchorX;
    s.scrollY = client.y() - s.scrollAnchorY;
  }
  geometry_.ClampScroll();
  host_.surface.InvalidateMap(QRect());
}

void MapView::EndScrollDrag() {
  geometry_.state().scrollDragging = false;
  host_.surface.InvalidateMap(QRect());
}

void MapView::Paint(QPainter& painter, QRect update) const {
  PaintTiles(painter, update);
  PaintOverlays(painter);
}

void MapView::PaintTiles(QPainter& painter, QRect update) const {
  const QRect scaled = update.translated(geometry_.scroll()).intersected(geometry_.scaledPicture());
  if (map().mapPicture.isNull() || scaled.isEmpty()) return;
  tiles_.Ensure(scaled, geometry_.scaledPicture(), composer_, geometry_);
  tiles_.Draw(painter, scaled, geometry_.scroll());
  tiles_.Trim(state().clientSize);
}

void MapView::PaintFresh(QPainter& painter, QRect update) const {
  const QRect scaled = update.translated(geometry_.scroll()).intersected(geometry_.scaledPicture());
  if (!map().mapPicture.isNull() && !scaled.isEmpty())
    painter.drawImage(scaled.topLeft() - geometry_.scroll(), ComposedRegion(scaled));
  PaintOverlays(painter);
}

void MapView::PaintOverlays(QPainter& painter) const {
  for (const MapOverlay* overlay : overlays_) overlay->Paint(painter, geometry_);
}

}  // namespace mw
