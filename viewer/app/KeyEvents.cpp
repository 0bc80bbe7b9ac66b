#include "KeyEvents.h"

#include <QKeyEvent>

#include "Viewer.h"

namespace mw {

Key KeyOf(const QKeyEvent* e) {
  const bool keypad = e->modifiers() & Qt::KeypadModifier;
  switch (e->key()) {
    case Qt::Key_D:
      return Key::kD;
    case Qt::Key_E:
      return Key::kE;
    case Qt::Key_S:
      return Key::kS;
    case Qt::Key_Escape:
      return Key::kEscape;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      return keypad ? Key::kKeypadPlus : Key::kPlus;
    case Qt::Key_Minus:
      return keypad ? Key::kKeypadMinus : Key::kMinus;
    case Qt::Key_O:
      return Key::kO;
    case Qt::Key_Y:
      return Key::kY;
    case Qt::Key_Z:
      return Key::kZ;
    case Qt::Key_T:
      return Key::kT;
    case Qt::Key_Left:
      return Key::kLeft;
    case Qt::Key_Right:
      return Key::kRight;
    case Qt::Key_F5:
      return Key::kF5;
    case Qt::Key_Up:
      return Key::kUp;
    case Qt::Key_Down:
      return Key::kDown;
    case Qt::Key_PageUp:
      return Key::kPageUp;
    case Qt::Key_PageDown:
      return Key::kPageDown;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return Key::kEnter;
    case Qt::Key_Delete:
      return Key::kDelete;
    case Qt::Key_0:
      return keypad ? Key::kOther : Key::k0;
    default:
      return Key::kOther;
  }
}

unsigned KeyModifiersOf(const QKeyEvent* e) {
  const Qt::KeyboardModifiers m = e->modifiers();
  return (m & Qt::ShiftModifier ? kShift : 0u) | (m & Qt::ControlModifier ? kCtrl : 0u) |
         (m & Qt::AltModifier ? kAlt : 0u);
}

void ForwardKey(Viewer& viewer, const QKeyEvent* event, bool press) {
  const Key key = KeyOf(event);
  // Held, the crosshair's and the palette's keys go on acting; the others act once.
  if (event->isAutoRepeat() && !(press && RepeatsWhileHeld(key))) return;
  const unsigned modifiers = KeyModifiersOf(event);
  if (!press) return viewer.KeyRelease(key, modifiers);
  // A shortcut's key reaches a window only where the window system did not match the shortcut
  // (a tool window it does not count as the program's active window): it runs the command here.
  if (const int id = ShortcutCommand(key, modifiers)) return viewer.Command(id);
  viewer.KeyPress(key, modifiers);
}

QList<QKeySequence> SequencesOf(const Shortcut& s) {
  Qt::KeyboardModifiers held;
  if (s.modifiers & kShift) held |= Qt::ShiftModifier;
  if (s.modifiers & kCtrl) held |= Qt::ControlModifier;
  if (s.modifiers & kAlt) held |= Qt::AltModifier;
  QList<Qt::Key> keys;
  switch (s.key) {
    case Key::kO:
      keys = {Qt::Key_O};
      break;
    case Key::kS:
      keys = {Qt::Key_S};
      break;
    case Key::kY:
      keys = {Qt::Key_Y};
      break;
    case Key::kZ:
      keys = {Qt::Key_Z};
      break;
    case Key::kT:
      keys = {Qt::Key_T};
      break;
    case Key::kLeft:
      keys = {Qt::Key_Left};
      break;
    case Key::kRight:
      keys = {Qt::Key_Right};
      break;
    case Key::kF5:
      keys = {Qt::Key_F5};
      break;
    case Key::kPlus:
      keys = {Qt::Key_Plus, Qt::Key_Equal};
      break;
    case Key::kMinus:
      keys = {Qt::Key_Minus};
      break;
    case Key::k0:
      keys = {Qt::Key_0};
      break;
    default:
      break;
  }
  QList<QKeySequence> sequences;
  for (Qt::Key key : keys) sequences.append(QKeySequence(held | key));
  return sequences;
}

}  // namespace mw
