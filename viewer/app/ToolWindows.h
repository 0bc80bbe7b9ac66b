// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace mw {

class Viewer;

// The piece palette "ToolBar": its client area is exactly the pieces picture; a left click
// chooses a piece kind and country and hands the keys back to the main window; Escape released
// here ends placing or carrying, other keys act as in the main window. Where the
// window manager gives it a close button, closing it hides it and unchecks its menu item.
class PaletteWindow : public QWidget {
 public:
  PaletteWindow(QWidget* owner, Viewer& viewer);
  Viewer& viewer() const { return viewer_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // The tooltip of a cell: the piece's name, value and category, and the country.
  bool event(QEvent* event) override;

 private:
  Viewer& viewer_;
};

// The info view "InfoView": each country's totals under its emblem. Closing it hides it and
// unchecks its menu item; the menu brings it back. A click on a country's column opens the
// breakdown of its income. Keys act as in the main window.
class InfoViewWindow : public QWidget {
 public:
  InfoViewWindow(QWidget* owner, Viewer& viewer);
  Viewer& viewer() const { return viewer_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  Viewer& viewer_;
};

}  // namespace mw
