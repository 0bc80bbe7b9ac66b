#include "WindowFrames.h"

#include <QEvent>
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

// Watches a new window until its frame is known, then moves the frame where it was asked to be.
class FramePlacer : public QObject {
 public:
  FramePlacer(QWidget* window, QPoint target) : QObject(window), window_(window), target_(target) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::Move && type != QEvent::Show && type != QEvent::Paint) return false;
    if (window_->frameGeometry() == window_->geometry()) return false;  // no frame yet
    if (window_->frameGeometry().topLeft() != target_) window_->move(target_);
    deleteLater();
    window_->removeEventFilter(this);
    return false;
  }

 private:
  QWidget* window_;
  QPoint target_;
};

}  // namespace

void PlaceFrameAt(QWidget* window, QPoint frameTopLeft) {
  window->move(frameTopLeft);
  new FramePlacer(window, frameTopLeft);
}

}  // namespace mw
