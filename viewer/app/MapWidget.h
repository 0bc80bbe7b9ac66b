// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace mw {

class Viewer;

// The map area of the main window: paints the composed picture with the floating piece on top
// and hands every mouse event, wheel turn and key release to the viewer.
class MapWidget : public QWidget {
 public:
  MapWidget(QWidget* parent, Viewer& viewer);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  Viewer& viewer_;
  int turn_ = 0;  // eighths of a degree of a Ctrl-wheel turn not yet a whole notch
};

}  // namespace mw
