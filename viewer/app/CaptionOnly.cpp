#include "CaptionOnly.h"

#include <QWidget>

namespace mw {

void AskForCaptionOnly(QWidget* window) {
  // The window flags already ask for it, but window managers that choose the buttons by the
  // window's type (openbox among them) read only that: they give a toolbar a caption and a close
  // button. The type is set on the native window, so that has to exist first.
  window->winId();
  window->setAttribute(Qt::WA_X11NetWmWindowTypeToolBar);
}

}  // namespace mw
