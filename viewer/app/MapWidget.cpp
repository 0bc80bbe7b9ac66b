// SPDX-License-Identifier: GPL-3.0-or-later
#include "MapWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "KeyEvents.h"
#include "Texts.h"
#include "Viewer.h"

namespace mw {
namespace {

std::optional<MouseButton> ButtonOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton:
      return MouseButton::kLeft;
    case Qt::MiddleButton:
      return MouseButton::kMiddle;
    case Qt::RightButton:
      return MouseButton::kRight;
    default:
      return std::nullopt;
  }
}

unsigned ModifiersOf(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? kShift : 0u) | (m & Qt::ControlModifier ? kCtrl : 0u);
}

// Client points reach the viewer as the unsigned 16-bit numbers a mouse message carries.
QPoint ClientPoint(const QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  return QPoint(p.x() & 0xFFFF, p.y() & 0xFFFF);
}

}  // namespace

MapWidget::MapWidget(QWidget* parent, Viewer& viewer) : QWidget(parent), viewer_(viewer) {
  setObjectName(QStringLiteral("MapView"));
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The name follows the keyboard's crosshair (see MainWindow::DescribeCrosshair).
  setAccessibleName(QTr("MainWindow", "Map"));
  setAccessibleDescription(
      QTr("MainWindow",
          "Arrow keys move the crosshair, with Shift by one pixel; PageDown and PageUp choose a "
          "piece, with Ctrl a country; Enter places, picks up and drops; Delete removes; Ctrl+F "
          "finds a sector"));
}

void MapWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::white);
  viewer_.view().Paint(painter, event->rect());
}

void MapWidget::mousePressEvent(QMouseEvent* event) {
  if (auto b = ButtonOf(event->button()))
    viewer_.MousePress(*b, ClientPoint(event), ModifiersOf(event->modifiers()));
}

void MapWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (auto b = ButtonOf(event->button())) viewer_.MouseRelease(*b, ClientPoint(event));
}

void MapWidget::mouseMoveEvent(QMouseEvent* event) { viewer_.MouseMove(ClientPoint(event)); }

void MapWidget::keyPressEvent(QKeyEvent* event) { ForwardKey(viewer_, event, true); }

void MapWidget::keyReleaseEvent(QKeyEvent* event) { ForwardKey(viewer_, event, false); }

void MapWidget::wheelEvent(QWheelEvent* event) {
  // A notch of 120 eighths of a degree scrolls as many lines of 20 pixels as the desktop says.
  constexpr int kNotch = 120, kLine = 20;
  QPoint turn = event->angleDelta();
  const bool zoom = event->modifiers() & Qt::ControlModifier;
  if (zoom) {
    turn_ += turn.y() != 0 ? turn.y() : turn.x();
    const int notches = turn_ / kNotch;
    turn_ -= notches * kNotch;
    const QPoint at = event->position().toPoint();
    for (int i = 0; i < std::abs(notches); ++i) viewer_.Wheel(at, QPoint(0, notches), true);
    event->accept();
    return;
  }
  // Shift turns the wheel sideways, where the window system has not done so already.
  if (event->modifiers() & Qt::ShiftModifier && turn.x() == 0) turn = QPoint(turn.y(), 0);
  const int lines = QApplication::wheelScrollLines() * kLine;
  const QPoint pixels = event->pixelDelta().isNull() ? turn * lines / kNotch : event->pixelDelta();
  viewer_.Wheel(event->position().toPoint(), pixels, false);
  event->accept();
}

void MapWidget::resizeEvent(QResizeEvent*) { viewer_.view().ClientResized(); }

}  // namespace mw
