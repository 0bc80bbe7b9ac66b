// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the program asks of the window manager's frames around its windows.
#include <QPoint>
#include <QRect>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace mw {

// Asks the window manager for a caption without buttons to minimise or maximise the window:
// the tool windows and the About box are neither minimised nor maximised on their own.
void AskForCaptionOnly(QWidget* window);

// Puts a window's frame (not its client area) at `frameTopLeft`, as the position was read from
// it, also where the window manager places a new window by its client area: once the frame is
// known, the window is moved to where it was asked to stand.
void PlaceFrameAt(QWidget* window, QPoint frameTopLeft);
// The same with a place that depends on frames not known yet: `where` is asked once the window's
// frame is known, and says none until it can tell (another window's frame is not known yet).
void PlaceFrameWhenKnown(QWidget* window, std::function<std::optional<QPoint>()> where);
// Where a window's frame will stand: the place it was sent to while the window manager has not
// yet put it there, else where it stands. Windows that find their places one after another ask
// this of those placed before them, which on a busy machine may not have moved yet.
QRect FrameGoingTo(const QWidget* window);

// Where the frame of a window of `size` stands beside another window's frame `owner` on the
// screen's free area `screen`, not over the point `avoid` (screen coordinates) nor close to it:
// right of the owner, else left of it, else in a corner of the screen (bottom right, top right,
// bottom left, top left). Where none of them is free of the point, the bottom right corner.
QPoint BesideWindow(QRect owner, QRect screen, QSize size, std::optional<QPoint> avoid);
inline constexpr int kAvoidMargin = 32;

// Where the frame of a tool window of `size` stands when it first appears: on the screen's free
// area, over none of the other tool windows' frames `taken` where the screen has room, then not
// over the point `avoid` (what the window points at) nor close to it, then covering as little of
// the map area `map` and of the main window's frame `owner` as it can (all in screen
// coordinates). Beside the main window first, stacked under the tool windows already there, then
// in the corners of the screen, then at the edges of the map.
struct ToolPlacement {
  QRect screen, owner, map;
  std::vector<QRect> taken;
  std::optional<QPoint> avoid;
  // The place tried first, kept where it is as good as any.
  std::optional<QPoint> first;
};
// The frame it gets: its place, and a size down to `minimum` (none: `size`) where a smaller window
// covers less.
QRect PlaceToolWindow(const ToolPlacement& where, QSize size, QSize minimum = {});

// Whether the window manager has put a frame around a shown window.
bool IsFramed(const QWidget* window);

}  // namespace mw
