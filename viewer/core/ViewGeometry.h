// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include "Host.h"

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

// The map view's coordinates and the window's size rules. Three spaces: map pixels, scaled
// pixels (trunc(v x zoom + 0.5)) and client pixels (scaled - scroll). The scroll offset stays
// within the scaled picture, and the window is never larger than the picture.
class ViewGeometry {
 public:
  explicit ViewGeometry(Host host) : host_(host) {}

  const ViewState& state() const { return state_; }
  ViewState& state() { return state_; }

  // trunc(v x zoom + 0.5), held within the range of int: label points come from the sector
  // table and may be any 32-bit number.
  int Scaled(int v) const;
  QPoint ClientToMap(QPoint client) const;
  QPoint MapToClient(QPoint map) const;
  QPoint scroll() const { return QPoint(state_.scrollX, state_.scrollY); }
  // The scaled picture's rectangle, and the part of it the map area shows.
  QRect scaledPicture() const { return QRect(0, 0, state_.scaledWidth, state_.scaledHeight); }
  QRect shown() const { return QRect(scroll(), state_.clientSize).intersected(scaledPicture()); }

  // A picture of this size at the current zoom: the scaled size and the window's limit follow.
  void SetPicture(QSize picture);
  void ComputeMaxWindowSize();
  void FitWindowToMap();
  void ClampScroll();
  // Reads the map area's size from the window.
  void ReadClientSize() { state_.clientSize = host_.frame.ClientSize(); }

 private:
  Host host_;
  ViewState state_;
};

}  // namespace mw
