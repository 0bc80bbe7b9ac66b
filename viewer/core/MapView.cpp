#include "MapView.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <limits>

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
  state_.scaledPicture =
      ScaleKeepingDarkLines(map().mapPicture, state_.scaledWidth, state_.scaledHeight);
  state_.composedPicture =
      state_.scaledPicture.isNull()
          ? QImage()
          : QImage(state_.scaledWidth, state_.scaledHeight, QImage::Format_RGB32);
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
  if (state_.composedPicture.isNull()) {
    FitWindowToMap();
    return;
  }
  const QRect r = region.isNull() ? QRect(0, 0, state_.scaledWidth, state_.scaledHeight) : region;
  QPainter painter(&state_.composedPicture);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(r.topLeft(), state_.scaledPicture, r);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (source_.settings().showIpcValues() && position().sectorTable()) DrawIncomeLabels(painter, r);
  DrawStacks(painter, r);
  painter.end();
  FitWindowToMap();
}

void MapView::DrawIncomeLabels(QPainter& painter, QRect r) const {
  painter.setFont(source_.fonts().labelFont);
  const SectorTable& table = *position().sectorTable();
  for (int n = 1; n < kSectorSlots; ++n) {
    const SectorRecord& s = table[n];
    if (s.ipcValue() == 0) continue;
    const int px = Scaled(s.labelX()), py = Scaled(s.labelY());
    // Both edges count as inside, as the region's right and bottom are its last pixels plus one.
    if (px < r.left() || px > r.left() + r.width() || py < r.top() || py > r.top() + r.height())
      continue;
    const QString text = QString::fromStdString(CountText(s.ipcValue()));
    const QRect box = TextBox(source_.fonts().labelFont, QPoint(px, py), text);
    painter.fillRect(box, kLabelBackground);
    painter.setPen(kLabelText);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
  }
}

void MapView::DrawStacks(QPainter& painter, QRect r) const {
  const MapState& map = this->map();
  const Position& position = this->position();
  painter.setFont(source_.fonts().countFont);
  painter.setPen(kCountText);
  const int right = r.left() + r.width(), bottom = r.top() + r.height();
  for (size_t i = 0; i < position.unitCount(); ++i) {
    const Unit& u = position.unit(i);
    if (u.count == 0) continue;
    const int cx = Scaled(u.x), cy = Scaled(u.y);
    if (cx + map.pieceHalfWidth + kCountTextRoom <= r.left() || cx - map.pieceHalfWidth >= right ||
        cy + map.pieceHalfHeight <= r.top() || cy - map.pieceHalfHeight >= bottom)
      continue;
    if (!map.piecesPicture.isNull())
      painter.drawImage(QPoint(cx - map.pieceHalfWidth, cy - map.pieceHalfHeight),
                        map.piecesPicture, map.cell(u.pieceType, u.country));
    if (u.count > 1) {
      const QString text =
          QString::fromLatin1(u.labelText().data(), static_cast<int>(u.labelLength));
      painter.drawText(
          TextBox(source_.fonts().countFont, QPoint(cx + map.pieceHalfWidth + 2, cy - 7), text),
          Qt::AlignLeft | Qt::AlignTop, text);
    }
  }
}

void MapView::RedrawUnitArea(const Unit& unit) {
  const int cx = Scaled(unit.x), cy = Scaled(unit.y);
  // Whole cells as margins around the point, and room on the right for the count.
  const QRect region =
      FromEdges(cx - map().pieceCellWidth - 1, cy - map().pieceCellHeight - 1,
                cx + map().pieceCellWidth + kCountTextRoom, cy + map().pieceCellHeight + 1);
  RedrawMapRegion(region);
  host_.InvalidateMap(region.translated(-state_.scrollX, -state_.scrollY));
}

bool MapView::ZoomIn() {
  if (!(state_.zoom < kZoomInLimit)) return false;
  state_.zoom = state_.zoom + kZoomStep;
  AfterZoom();
  return true;
}

bool MapView::ZoomOut() {
  if (!(state_.zoom > kZoomOutLimit)) return false;
  state_.zoom = state_.zoom + (-kZoomStep);
  AfterZoom();
  return true;
}

bool MapView::ZoomAt(bool in, QPoint client) {
  if (in ? !(state_.zoom < kZoomInLimit) : !(state_.zoom > kZoomOutLimit)) return false;
  // The map point under the cursor, in fractions of a map pixel, before the zoom changes.
  const QPointF map((client.x() + state_.scrollX) / state_.zoom,
                    (client.y() + state_.scrollY) / state_.zoom);
  state_.zoom = state_.zoom + (in ? kZoomStep : -kZoomStep);
  AfterZoom(Anchor{map, client});
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
  if (state_.composedPicture.isNull()) return;
  painter.drawImage(update.topLeft(), state_.composedPicture,
                    update.translated(state_.scrollX, state_.scrollY));
}

}  // namespace mw
