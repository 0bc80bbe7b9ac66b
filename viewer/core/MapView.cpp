#include "MapView.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>

#include "CountText.h"
#include "PackageText.h"
#include "Scaling.h"

namespace mw {
namespace {

const QColor kLabelText(255, 255, 51);
const QColor kLabelBackground(51, 51, 255);
const QColor kCountText(34, 34, 34);
constexpr double kZoomInLimit = 1.95;
constexpr double kZoomOutLimit = 0.55;

// Text whose top left corner lies at `at`, as the map view writes its labels.
QRect TextBox(const QFont& font, QPoint at, const QString& text) {
  const QFontMetrics m(font);
  return QRect(at, QSize(m.horizontalAdvance(text), m.height()));
}

}  // namespace

ViewFonts::ViewFonts() {
  labelFont.setPixelSize(10);
  labelFont.setBold(true);
  countFont.setPixelSize(12);
  countFont.setBold(true);
}

std::string TotalText(int value) {
  if (value < 0) return "-" + CountText(static_cast<uint32_t>(-static_cast<int64_t>(value)));
  return CountText(static_cast<uint32_t>(value));
}

int MapView::Scaled(int v) const {
  const double scaled = v * state_.zoom + 0.5;
  if (scaled >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (scaled <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(scaled);
}

QPoint MapView::ClientToMap(QPoint c) const {
  return QPoint(static_cast<int>((c.x() + state_.scrollX) / state_.zoom + 0.5),
                static_cast<int>((c.y() + state_.scrollY) / state_.zoom + 0.5));
}

QPoint MapView::MapToClient(QPoint m) const {
  return QPoint(Scaled(m.x()) - state_.scrollX, Scaled(m.y()) - state_.scrollY);
}

void MapView::ResetForLoad() {
  state_.zoom = 1.0;
  state_.scrollX = 0;
  state_.scrollY = 0;
  ShowZoom();
}

void MapView::ShowZoom() {
  host_.ShowStatus(StatusField::kZoom, std::to_string(std::lround(state_.zoom * 100)) + " %");
}

void MapView::ForgetHover() {
  state_.hoverSector = -1;
  host_.SetTitle(kMainWindowTitle);
}

void MapView::RebuildScaledPicture() {
  state_.pictureWidth = map().mapPicture.width();
  state_.pictureHeight = map().mapPicture.height();
  state_.scaledWidth = Scaled(state_.pictureWidth);
  state_.scaledHeight = Scaled(state_.pictureHeight);
  // Nothing is scaled here: the tiles are, as they are shown.
  tiles_.clear();
  ComputeMaxWindowSize();
}

void MapView::ComputeMaxWindowSize() {
  const QSize grown = QSize(state_.scaledWidth, state_.scaledHeight) + host_.FrameExtra();
  const QSize limit = host_.MaximizedSize();
  state_.maxWindowSize = grown.boundedTo(limit);
  host_.SetMaximumWindowSize(state_.scaledWidth > 0 ? state_.maxWindowSize : QSize());
}

void MapView::FitWindowToMap() {
  if (state_.scaledWidth <= 0) return;  // no picture: nothing to fit
  QSize client = host_.ClientSize();
  bool changed = false;
  if (client.width() > state_.scaledWidth) client.setWidth(state_.scaledWidth), changed = true;
  if (client.height() > state_.scaledHeight) client.setHeight(state_.scaledHeight), changed = true;
  if (host_.IsMaximized())
    host_.ResizeWindow(state_.maxWindowSize);
  else if (changed)
    host_.ResizeWindow(client + host_.FrameExtra());
}

void MapView::ClampScroll() {
  state_.scrollX = std::min(state_.scrollX, state_.scaledWidth - state_.clientSize.width());
  state_.scrollY = std::min(state_.scrollY, state_.scaledHeight - state_.clientSize.height());
  state_.scrollX = std::max(state_.scrollX, 0);
  state_.scrollY = std::max(state_.scrollY, 0);
}

void MapView::RedrawMapRegion(QRect region) {
  if (map().mapPicture.isNull() || state_.scaledWidth <= 0) {
    FitWindowToMap();
    return;
  }
  if (region.isNull())
    tiles_.clear();
  else
    PatchTiles(region);
  FitWindowToMap();
}

// Composes the part of each kept tile that lies in `region` again, in place.
void MapView::PatchTiles(QRect region) {
  region = region.intersected(QRect(0, 0, state_.scaledWidth, state_.scaledHeight));
  if (region.isEmpty()) return;
  std::vector<QRect> parts;
  std::vector<Tile*> tiles;
  for (int ty = region.top() / kTileSize; ty <= region.bottom() / kTileSize; ++ty)
    for (int tx = region.left() / kTileSize; tx <= region.right() / kTileSize; ++tx) {
      auto it = tiles_.find(TileKey(tx, ty));
      if (it == tiles_.end()) continue;
      parts.push_back(
          region.intersected(QRect(tx * kTileSize, ty * kTileSize, kTileSize, kTileSize)));
      tiles.push_back(&it->second);
    }
  if (parts.empty()) return;
  const std::vector<QImage> made = Compose(parts);
  for (size_t k = 0; k < parts.size(); ++k) {
    QPainter painter(&tiles[k]->image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QPoint origin((parts[k].left() / kTileSize) * kTileSize,
                        (parts[k].top() / kTileSize) * kTileSize);
    painter.drawImage(parts[k].topLeft() - origin, made[k]);
  }
}

std::vector<QImage> MapView::Compose(const std::vector<QRect>& areas) const {
  const MapState& map = this->map();
  const Position& position = this->position();
  std::vector<QImage> images;
  std::vector<std::unique_ptr<QPainter>> painters;
  for (const QRect& area : areas) {
    images.push_back(
        ScaleRegionKeepingDarkLines(map.mapPicture, state_.scaledWidth, state_.scaledHeight, area));
    if (images.back().isNull()) images.back() = QImage(area.size(), QImage::Format_RGB32);
  }
  for (size_t k = 0; k < areas.size(); ++k) {
    painters.push_back(std::make_unique<QPainter>(&images[k]));
    painters[k]->translate(-areas[k].topLeft());
  }
  // The income labels: a label stands at its point when the point lies within the picture (both
  // edges included), whatever part of it a rectangle shows.
  if (source_.settings().showIpcValues() && position.sectorTable()) {
    const SectorTable& table = *position.sectorTable();
    const QFont& font = source_.fonts().labelFont;
    for (auto& painter : painters) painter->setFont(font);
    for (int n = 1; n < kSectorSlots; ++n) {
      const SectorRecord& s = table[n];
      if (s.ipcValue() == 0) continue;
      const int px = Scaled(s.labelX()), py = Scaled(s.labelY());
      if (px < 0 || px > state_.scaledWidth || py < 0 || py > state_.scaledHeight) continue;
      const QString text = QString::fromStdString(CountText(s.ipcValue()));
      const QRect box = TextBox(font, QPoint(px, py), text);
      for (size_t k = 0; k < areas.size(); ++k) {
        if (!box.intersects(areas[k])) continue;
        painters[k]->fillRect(box, kLabelBackground);
        painters[k]->setPen(kLabelText);
        painters[k]->drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
      }
    }
  }
  // The units, in list order, each into every rectangle it reaches.
  for (auto& painter : painters) {
    painter->setFont(source_.fonts().countFont);
    painter->setPen(kCountText);
  }
  QRect all;
  for (const QRect& area : areas) all = all.united(area);
  // The units whose point may lie close enough to reach the rectangles, in list order: a piece
  // reaches a cell around its point, its count (at most five digits) farther to the right.
  const double zoom = state_.zoom;
  const int before = map.pieceCellWidth + kLongestCountText + 2, after = map.pieceCellWidth + 2;
  const int above = map.pieceCellHeight + 20;
  const auto near = position.UnitsIn(static_cast<int64_t>((all.left() - before) / zoom) - 1,
                                     static_cast<int64_t>((all.top() - above) / zoom) - 1,
                                     static_cast<int64_t>((all.right() + after) / zoom) + 1,
                                     static_cast<int64_t>((all.bottom() + above) / zoom) + 1);
  for (const Unit* unit : near) {
    const Unit& u = *unit;
    if (u.count == 0) continue;
    const int cx = Scaled(u.x), cy = Scaled(u.y);
    const QRect reach = Footprint(u);
    if (!reach.intersects(all)) continue;
    for (size_t k = 0; k < areas.size(); ++k) {
      if (!reach.intersects(areas[k])) continue;
      QPainter& painter = *painters[k];
      if (!map.piecesPicture.isNull())
        painter.drawImage(QPoint(cx - map.pieceHalfWidth, cy - map.pieceHalfHeight),
                          map.piecesPicture, map.cell(u.pieceType, u.country));
      if (u.count > 1)
        painter.drawStaticText(QPoint(cx + map.pieceHalfWidth + 2, cy - 7),
                               CountLabel(std::string_view(u.labelText().data(), u.labelLength)));
    }
  }
  painters.clear();
  return images;
}

QRect MapView::Footprint(const Unit& u) const {
  const MapState& map = this->map();
  const int cx = Scaled(u.x), cy = Scaled(u.y);
  QRect drawn(QPoint(cx - map.pieceHalfWidth, cy - map.pieceHalfHeight),
              QSize(map.pieceCellWidth, map.pieceCellHeight));
  if (u.count > 1) {
    const QSizeF text = CountLabel(std::string_view(u.labelText().data(), u.labelLength)).size();
    // Antialiased glyphs may reach a pixel past their advance.
    drawn = drawn.united(
        QRect(QPoint(cx + map.pieceHalfWidth + 2, cy - 7),
              QSize(static_cast<int>(text.width()) + 2, static_cast<int>(text.height()) + 2)));
  }
  return drawn;
}

const QStaticText& MapView::CountLabel(std::string_view text) const {
  auto it = countLabels_.find(std::string(text));
  if (it != countLabels_.end()) return it->second;
  QStaticText label(QString::fromLatin1(text.data(), static_cast<int>(text.size())));
  label.setTextFormat(Qt::PlainText);
  label.prepare(QTransform(), source_.fonts().countFont);
  return countLabels_.emplace(std::string(text), std::move(label)).first->second;
}

void MapView::EnsureTiles(QRect scaled) const {
  scaled = scaled.intersected(QRect(0, 0, state_.scaledWidth, state_.scaledHeight));
  if (scaled.isEmpty()) return;
  std::vector<QRect> missing;
  std::vector<uint64_t> keys;
  for (int ty = scaled.top() / kTileSize; ty <= scaled.bottom() / kTileSize; ++ty)
    for (int tx = scaled.left() / kTileSize; tx <= scaled.right() / kTileSize; ++tx) {
      const uint64_t key = TileKey(tx, ty);
      auto it = tiles_.find(key);
      if (it != tiles_.end()) {
        it->second.lastUse = ++uses_;
        continue;
      }
      missing.push_back(QRect(tx * kTileSize, ty * kTileSize, kTileSize, kTileSize)
                            .intersected(QRect(0, 0, state_.scaledWidth, state_.scaledHeight)));
      keys.push_back(key);
    }
  if (missing.empty()) return;
  std::vector<QImage> made = Compose(missing);
  for (size_t k = 0; k < keys.size(); ++k) tiles_[keys[k]] = {std::move(made[k]), ++uses_};
}

// Keeps the tiles of about three windows' worth, the least recently shown going first.
void MapView::TrimTiles() const {
  const QSize client = state_.clientSize.isEmpty() ? QSize(1920, 1080) : state_.clientSize;
  const size_t shown =
      static_cast<size_t>((client.width() / kTileSize + 2) * (client.height() / kTileSize + 2));
  const size_t keep = std::max<size_t>(64, 3 * shown);
  if (tiles_.size() <= keep) return;
  const size_t drop = tiles_.size() - keep;
  std::vector<std::pair<uint64_t, uint64_t>> byUse;
  for (const auto& [key, tile] : tiles_) byUse.push_back({tile.lastUse, key});
  std::nth_element(byUse.begin(), byUse.begin() + static_cast<ptrdiff_t>(drop), byUse.end());
  for (size_t i = 0; i < drop; ++i) tiles_.erase(byUse[i].second);
}

QImage MapView::ComposedRegion(QRect scaled) const {
  scaled = scaled.intersected(QRect(0, 0, state_.scaledWidth, state_.scaledHeight));
  if (scaled.isEmpty() || map().mapPicture.isNull()) return QImage();
  // Made afresh, not from the tiles: a region may be far larger than what is kept.
  return Compose({scaled}).front();
}

void MapView::RedrawUnitArea(const Unit& unit) {
  const int cx = Scaled(unit.x), cy = Scaled(unit.y);
  // Whole cells as margins around the point, room on the right for the count, and all the unit
  // draws, however long its count.
  const QRect region =
      FromEdges(cx - map().pieceCellWidth - 1, cy - map().pieceCellHeight - 1,
                cx + map().pieceCellWidth + kCountTextRoom, cy + map().pieceCellHeight + 1)
          .united(Footprint(unit));
  RedrawMapRegion(region);
  host_.InvalidateMap(region.translated(-state_.scrollX, -state_.scrollY));
}

bool MapView::ZoomIn() { return StepZoom(true, std::nullopt); }

bool MapView::ZoomOut() { return StepZoom(false, std::nullopt); }

bool MapView::ZoomAt(bool in, QPoint client) { return StepZoom(in, client); }

bool MapView::StepZoom(bool in, std::optional<QPoint> client) {
  if (in ? !(state_.zoom < kZoomInLimit) : !(state_.zoom > kZoomOutLimit)) return false;
  // The map point under the cursor, in fractions of a map pixel, before the zoom changes.
  std::optional<Anchor> anchor;
  if (client)
    anchor = Anchor{QPointF((client->x() + state_.scrollX) / state_.zoom,
                            (client->y() + state_.scrollY) / state_.zoom),
                    *client};
  state_.zoom = state_.zoom + (in ? kZoomStep : -kZoomStep);
  AfterZoom(anchor);
  return true;
}

bool MapView::ResetZoom() {
  if (state_.zoom == 1.0) return false;
  state_.zoom = 1.0;
  AfterZoom();
  return true;
}

void MapView::AfterZoom(std::optional<Anchor> anchor) {
  RebuildScaledPicture();
  if (anchor) {
    state_.scrollX =
        static_cast<int>(std::lround(anchor->map.x() * state_.zoom)) - anchor->client.x();
    state_.scrollY =
        static_cast<int>(std::lround(anchor->map.y() * state_.zoom)) - anchor->client.y();
  }
  state_.clientSize = host_.ClientSize();
  ClampScroll();
  RedrawMapRegion();
  host_.InvalidateMap(QRect());
  ShowZoom();
}

void MapView::CenterOn(QPoint map) {
  state_.clientSize = host_.ClientSize();
  const QPoint at =
      MapToClient(map) - QPoint(state_.clientSize.width(), state_.clientSize.height()) / 2;
  ScrollBy(at.x(), at.y());
}

void MapView::ScrollBy(int dx, int dy) {
  const int x = state_.scrollX, y = state_.scrollY;
  state_.clientSize = host_.ClientSize();
  state_.scrollX += dx;
  state_.scrollY += dy;
  ClampScroll();
  if (x != state_.scrollX || y != state_.scrollY) host_.InvalidateMap(QRect());
}

void MapView::ClientResized() {
  FitWindowToMap();
  state_.clientSize = host_.ClientSize();
  ClampScroll();
  host_.InvalidateMap(QRect());
}

void MapView::UpdateHoverTitle(QPoint client) {
  const SectorGrid* grid = position().grid();
  if (!grid) return;
  const QPoint m = ClientToMap(client);
  int mx = static_cast<int16_t>(m.x()), my = static_cast<int16_t>(m.y());
  mx = std::min(mx, state_.pictureWidth);
  my = std::min(my, state_.pictureHeight);
  if (!grid->contains(mx, my)) return;
  const int s = grid->valueAt(mx, my);
  if (s == state_.hoverSector) return;
  state_.hoverSector = s;
  std::string title = source_.currentFile() + " - ";
  const SectorRecord* record = position().sectorRecord(static_cast<uint32_t>(s));
  if (s == 0) {
    title += kMainWindowTitle;
  } else if (!record) {
    title += "Area: " + std::to_string(s);
  } else {
    title += DecodePackageText(record->name());
    if (record->ipcValue() > 0) title += " (" + CountText(record->ipcValue()) + " IPC)";
  }
  host_.SetTitle(title);
}

void MapView::BeginScrollDrag(QPoint client) {
  state_.scrollDragging = true;
  state_.scrollAnchorX = client.x() - state_.scrollX;
  state_.scrollAnchorY = client.y() - state_.scrollY;
  state_.clientSize = host_.ClientSize();
}

void MapView::DragScroll(QPoint client) {
  if (!state_.scrollDragging) return;
  state_.scrollX = client.x() - state_.scrollAnchorX;
  state_.scrollY = client.y() - state_.scrollAnchorY;
  ClampScroll();
  host_.InvalidateMap(QRect());
}

void MapView::EndScrollDrag() {
  state_.scrollDragging = false;
  host_.InvalidateMap(QRect());
}

void MapView::Paint(QPainter& painter, QRect update) const {
  if (map().mapPicture.isNull() || state_.scaledWidth <= 0) return;
  const QRect scaled = update.translated(state_.scrollX, state_.scrollY)
                           .intersected(QRect(0, 0, state_.scaledWidth, state_.scaledHeight));
  if (scaled.isEmpty()) return;
  EnsureTiles(scaled);
  for (int ty = scaled.top() / kTileSize; ty <= scaled.bottom() / kTileSize; ++ty)
    for (int tx = scaled.left() / kTileSize; tx <= scaled.right() / kTileSize; ++tx) {
      const QRect tile(tx * kTileSize, ty * kTileSize, kTileSize, kTileSize);
      const QRect part = tile.intersected(scaled);
      painter.drawImage(part.topLeft() - QPoint(state_.scrollX, state_.scrollY),
                        tiles_.at(TileKey(tx, ty)).image, part.translated(-tile.topLeft()));
    }
  TrimTiles();
}

}  // namespace mw
