#include "WindowFrames.h"

#include <QTimer>
#include <QWidget>

namespace mw {

void AskForCaptionOnly(QWidget* window) {
  // The window flags already ask for it, but window managers that choose the buttons by the
  // window's type (openbox among them) read only that: they give a toolbar a caption and a close
  // button. The type is set on the native window, so that has to exist first.
  window->winId();
  window->setAttribute(Qt::WA_X11NetWmWindowTypeToolBar);
}

namespace {

// Looks at a new window until its frame is known, then moves the frame where it was asked to be.
// The window system announces a frame with no event of its own, so it is looked for a few times
// a second, for a few seconds at most.
class FramePlacer : public QObject {
 public:
  FramePlacer(QWidget* window, QPoint target) : QObject(window), window_(window), target_(target) {
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &FramePlacer::Look);
    timer_.start();
  }

 private:
  static constexpr int kIntervalMs = 25;
  static constexpr int kLooks = 200;

  void Look() {
    const bool framed = window_->isVisible() && window_->frameGeometry() != window_->geometry();
    if (framed && window_->frameGeometry().topLeft() != target_) window_->move(target_);
    if (framed || ++looks_ == kLooks) deleteLater();
  }

  QWidget* window_;
  QPoint target_;
  QTimer timer_;
  int looks_ = 0;
};

}  // namespace

void PlaceFrameAt(QWidget* window, QPoint frameTopLeft) {
  window->move(frameTopLeft);
  new FramePlacer(window, frameTopLeft);
}

}  // namespace mw
