#include "MapWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

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
    case Qt::Key_Plus:
      return keypad ? Key::kKeypadPlus : Key::kOther;
    case Qt::Key_Minus:
      return keypad ? Key::kKeypadMinus : Key::kOther;
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

void MapWidget::resizeEvent(QResizeEvent*) { viewer_.ClientResized(); }

}  // namespace mw
