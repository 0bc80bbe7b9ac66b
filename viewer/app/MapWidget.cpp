#include "MapWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

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

Key KeyOf(const QKeyEvent* e) {
  const bool keypad = e->modifiers() & Qt::KeypadModifier;
  switch (e->key()) {
    case Qt::Key_D:
      return Key::kD;
    case Qt::Key_E:
      return Key::kE;
    case Qt::Key_S:
      // With Ctrl or Alt held, S is a shortcut (Ctrl+S saves), never the export into the package.
      return e->modifiers() & (Qt::ControlModifier | Qt::AltModifier) ? Key::kOther : Key::kS;
    case Qt::Key_Escape:
      return Key::kEscape;
    // The main keyboard's + (or =, the same key without Shift) and - zoom as the keypad's do;
    // with Ctrl they are the shortcuts of the "&View" menu, which have zoomed already.
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Minus:
      if (!keypad && e->modifiers() & Qt::ControlModifier) return Key::kOther;
      return e->key() == Qt::Key_Minus ? Key::kKeypadMinus : Key::kKeypadPlus;
    default:
      return Key::kOther;
  }
}

}  // namespace

MapWidget::MapWidget(QWidget* parent, Viewer& viewer) : QWidget(parent), viewer_(viewer) {
  setObjectName(QStringLiteral("MapView"));
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void MapWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::white);
  viewer_.PaintMap(painter, event->rect());
}

void MapWidget::mousePressEvent(QMouseEvent* event) {
  if (auto b = ButtonOf(event->button()))
    viewer_.MousePress(*b, ClientPoint(event), ModifiersOf(event->modifiers()));
}

void MapWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (auto b = ButtonOf(event->button())) viewer_.MouseRelease(*b, ClientPoint(event));
}

void MapWidget::mouseMoveEvent(QMouseEvent* event) { viewer_.MouseMove(ClientPoint(event)); }

void MapWidget::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  viewer_.KeyRelease(KeyOf(event));
}

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

void MapWidget::resizeEvent(QResizeEvent*) { viewer_.ClientResized(); }

}  // namespace mw
