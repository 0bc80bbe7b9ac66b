#include "WindowFrames.h"

#include <QTimer>
#include <QWidget>
#include <algorithm>

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
  const auto clampY = [&](int y) {
    return std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height()));
  };
  const int right = screen.right() + 1 - size.width(), bottom = screen.bottom() + 1 - size.height();
  const QPoint candidates[] = {{owner.right() + 1, clampY(owner.top())},
                               {owner.left() - size.width(), clampY(owner.top())},
                               {right, bottom},
                               {right, screen.top()},
                               {screen.left(), bottom},
                               {screen.left(), screen.top()}};
  for (const QPoint& at : candidates) {
    const QRect frame(at, size);
    if (!screen.contains(frame)) continue;
    if (avoid &&
        frame.adjusted(-kAvoidMargin, -kAvoidMargin, kAvoidMargin, kAvoidMargin).contains(*avoid))
      continue;
    return at;
  }
  return {right, bottom};
}

namespace {

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
    if (++looks_ == kLooks) return deleteLater();
    const std::optional<QPoint> target = IsFramed(window_) ? where_() : std::nullopt;
    if (!target) return;
    if (window_->frameGeometry().topLeft() != *target) {
      window_->move(*target);
      seen_ = 0;
    } else if (++seen_ == kSeenThere) {
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
  new FramePlacer(window, [frameTopLeft] { return std::optional<QPoint>(frameTopLeft); });
}

void PlaceFrameWhenKnown(QWidget* window, std::function<std::optional<QPoint>()> where) {
  new FramePlacer(window, std::move(where));
}

}  // namespace mw
