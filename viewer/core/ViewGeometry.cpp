// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewGeometry.h"

#include <algorithm>
#include <limits>

namespace mw {

int ViewGeometry::Scaled(int v) const {
  const double scaled = v * state_.zoom + 0.5;
  if (scaled >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (scaled <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(scaled);
}

QPoint ViewGeometry::ClientToMap(QPoint c) const {
  return QPoint(static_cast<int>((c.x() + state_.scrollX) / state_.zoom + 0.5),
                static_cast<int>((c.y() + state_.scrollY) / state_.zoom + 0.5));
}

QPoint ViewGeometry::MapToClient(QPoint m) const {
  return QPoint(Scaled(m.x()) - state_.scrollX, Scaled(m.y()) - state_.scrollY);
}

void ViewGeometry::SetPicture(QSize picture) {
  state_.pictureWidth = picture.width();
  state_.pictureHeight = picture.height();
  state_.scaledWidth = Scaled(state_.pictureWidth);
  state_.scaledHeight = Scaled(state_.pictureHeight);
  ComputeMaxWindowSize();
}

void ViewGeometry::ComputeMaxWindowSize() {
  const QSize grown = QSize(state_.scaledWidth, state_.scaledHeight) + host_.frame.FrameExtra();
  const QSize limit = host_.frame.MaximizedSize();
  state_.maxWindowSize = grown.boundedTo(limit);
  host_.frame.SetMaximumWindowSize(state_.scaledWidth > 0 ? state_.maxWindowSize : QSize());
}

void ViewGeometry::FitWindowToMap() {
  if (state_.scaledWidth <= 0) return;  // no picture: nothing to fit
  QSize client = host_.frame.ClientSize();
  bool changed = false;
  if (client.width() > state_.scaledWidth) client.setWidth(state_.scaledWidth), changed = true;
  if (client.height() > state_.scaledHeight) client.setHeight(state_.scaledHeight), changed = true;
  if (host_.frame.IsMaximized())
    host_.frame.ResizeWindow(state_.maxWindowSize);
  else if (changed)
    host_.frame.ResizeWindow(client + host_.frame.FrameExtra());
}

void ViewGeometry::ClampScroll() {
  state_.scrollX = std::min(state_.scrollX, state_.scaledWidth - state_.clientSize.width());
  state_.scrollY = std::min(state_.scrollY, state_.scaledHeight - state_.clientSize.height());
  state_.scrollX = std::max(state_.scrollX, 0);
  state_.scrollY = std::max(state_.scrollY, 0);
}

}  // namespace mw
