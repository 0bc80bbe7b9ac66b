// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowFrames.h"

#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <tuple>

namespace mw {

void AskForCaptionOnly(QWidget* window) {
  // The window flags already ask for it, but window managers that choose the buttons by the
  // window's type (openbox among them) read only that: they give a toolbar a caption and a close
  // button. The type is set on the native window, so that has to exist first.
  window->winId();
  window->setAttribute(Qt::WA_X11NetWmWindowTypeToolBar);
}

bool IsFramed(const QWidget* window) {
  return window->isVisible() && window->frameGeometry() != window->geometry();
}

QPoint BesideWindow(QRect owner, QRect screen, QSize size, std::optional<QPoint> avoid) {
  return PlaceToolWindow({screen, owner, owner, {}, avoid, {}}, size).topLeft();
}

namespace {

int64_t Overlap(const QRect& a, const QRect& b) {
  const QRect common = a.intersected(b);
  return common.isEmpty() ? 0 : int64_t{common.width()} * common.height();
}

// The frame at `at` made smaller, down to `minimum`, until it covers none of `obstacles` where
// that can be done by taking from its right or bottom side.
QRect FitBefore(QRect frame, QSize minimum, const std::vector<QRect>& obstacles) {
  for (const QRect& o : obstacles) {
    if (!frame.intersects(o)) continue;
    const int width = o.left() - frame.left(), height = o.top() - frame.top();
    const bool narrower = width >= minimum.width(), lower = height >= minimum.height();
    // Of the two cuts that clear it, the one that keeps more of the window.
    if (narrower && (!lower || int64_t{width} * frame.height() >= int64_t{height} * frame.width()))
      frame.setWidth(width);
    else if (lower)
      frame.setHeight(height);
  }
  return frame;
}

}  // namespace

QRect PlaceToolWindow(const ToolPlacement& p, QSize size, QSize minimum) {
  const QRect& screen = p.screen;
  const int w = size.width(), h = size.height();
  const int right = screen.right() + 1 - w, bottom = screen.bottom() + 1 - h;
  minimum = minimum.isEmpty() ? size : minimum.boundedTo(size);
  // Candidates in the order of preference where they are equally good.
  std::vector<QPoint> candidates;
  if (p.first) candidates.push_back(*p.first);
  const auto column = [&](int x) {
    candidates.push_back({x, p.owner.top()});
    for (const QRect& t : p.taken) candidates.push_back({x, t.bottom() + 1});
  };
  column(p.owner.right() + 1);
  column(p.owner.left() - w);
  for (const QPoint at : {QPoint(right, bottom), QPoint(right, screen.top()),
                          QPoint(screen.left(), bottom), QPoint(screen.left(), screen.top())})
    candidates.push_back(at);
  column(right);
  column(screen.left());
  candidates.push_back({p.owner.left(), p.owner.bottom() + 1});
  candidates.push_back({p.owner.left(), p.owner.top() - h});
  for (const QRect& t : p.taken) {
    candidates.push_back({t.left(), t.bottom() + 1});
    candidates.push_back({t.left() - w, t.top()});
    candidates.push_back({t.right() + 1, t.top()});
    candidates.push_back({t.left(), t.top() - h});
  }
  for (const int x : {p.map.right() + 1 - w, p.map.left()})
    for (const int y : {p.map.bottom() + 1 - h, p.map.top()}) candidates.push_back({x, y});

  std::vector<QRect> obstacles = p.taken;
  obstacles.push_back(p.map);
  // Other tool windows first, then the point, then the map, then the rest of the main window,
  // then a place that had to be pushed onto the screen, then what the window lost of its size.
  using Cost = std::tuple<int64_t, bool, int64_t, int64_t, bool, int64_t>;
  std::optional<std::pair<Cost, QRect>> best;
  for (QPoint at : candidates) {
    const QPoint asked = at;
    // Beyond the screen's right or bottom edge, the window first gets smaller, then moves.
    QSize fitting = size;
    if (at.x() >= screen.left())
      fitting.setWidth(std::clamp(screen.right() + 1 - at.x(), minimum.width(), w));
    if (at.y() >= screen.top())
      fitting.setHeight(std::clamp(screen.bottom() + 1 - at.y(), minimum.height(), h));
    const int fitRight = screen.right() + 1 - fitting.width(),
              fitBottom = screen.bottom() + 1 - fitting.height();
    at.setX(std::clamp(at.x(), screen.left(), std::max(screen.left(), fitRight)));
    at.setY(std::clamp(at.y(), screen.top(), std::max(screen.top(), fitBottom)));
    const QRect frame = FitBefore(QRect(at, fitting), minimum, obstacles);
    int64_t taken = 0;
    for (const QRect& t : p.taken) taken += Overlap(frame, t);
    const bool nearPoint =
        p.avoid &&
        frame.adjusted(-kAvoidMargin, -kAvoidMargin, kAvoidMargin, kAvoidMargin).contains(*p.avoid);
    const Cost cost{taken,
                    nearPoint,
                    Overlap(frame, p.map),
                    Overlap(frame, p.owner),
                    at != asked,
                    int64_t{w} * h - int64_t{frame.width()} * frame.height()};
    if (!best || cost < best->first) best.emplace(cost, frame);
  }
  return best->second;
}

namespace {

// The property that holds where a window was sent and has not yet been seen standing.
constexpr const char* kGoingTo = "marrowindGoingTo";

// Looks at a new window until its frame is known and stands where it was asked to, then stays out
// of the way. The window system announces a frame with no event of its own, so it is looked for a
// few times a second; a window manager on a busy machine may place the window late, or place it
// again after the move, so the frame must be seen at its place a few times in a row.
class FramePlacer : public QObject {
 public:
  FramePlacer(QWidget* window, std::function<std::optional<QPoint>()> where)
      : QObject(window), window_(window), where_(std::move(where)) {
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &FramePlacer::Look);
    timer_.start();
  }

 private:
  static constexpr int kIntervalMs = 25;
  static constexpr int kLooks = 800;    // 20 s at most
  static constexpr int kSeenThere = 8;  // 200 ms at the place

  void Look() {
    if (++looks_ == kLooks) {
      window_->setProperty(kGoingTo, QVariant());
      return deleteLater();
    }
    const std::optional<QPoint> target = IsFramed(window_) ? where_() : std::nullopt;
    if (!target) return;
    window_->setProperty(kGoingTo, *target);
    if (window_->frameGeometry().topLeft() != *target) {
      window_->move(*target);
      seen_ = 0;
    } else if (++seen_ == kSeenThere) {
      window_->setProperty(kGoingTo, QVariant());
      deleteLater();
    }
  }

  QWidget* window_;
  std::function<std::optional<QPoint>()> where_;
  QTimer timer_;
  int looks_ = 0;
  int seen_ = 0;
};

}  // namespace

void PlaceFrameAt(QWidget* window, QPoint frameTopLeft) {
  window->move(frameTopLeft);
  window->setProperty(kGoingTo, frameTopLeft);
  new FramePlacer(window, [frameTopLeft] { return std::optional<QPoint>(frameTopLeft); });
}

void PlaceFrameWhenKnown(QWidget* window, std::function<std::optional<QPoint>()> where) {
  new FramePlacer(window, std::move(where));
}

QRect FrameGoingTo(const QWidget* window) {
  const QVariant going = window->property(kGoingTo);
  return going.isValid() ? QRect(going.toPoint(), window->frameGeometry().size())
                         : window->frameGeometry();
}

}  // namespace mw
