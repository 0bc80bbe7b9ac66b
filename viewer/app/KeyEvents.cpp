// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyEvents.h"

#include <QKeyEvent>

#include "Viewer.h"

namespace mw {

Key KeyOf(const QKeyEvent* e) {
  const bool keypad = e->modifiers() & Qt::KeypadModifier;
  for (const KeyName& k : kKeyNames) {
    const bool pad = k.pad == KeyName::Pad::kEither || (k.pad == KeyName::Pad::kKeypad) == keypad;
    if (k.code == e->key() && pad) return k.key;
  }
  return Key::kOther;
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

QList<QKeySequence> SequencesOf(const Chord& chord) {
  Qt::KeyboardModifiers held;
  if (chord.modifiers & kShift) held |= Qt::ShiftModifier;
  if (chord.modifiers & kCtrl) held |= Qt::ControlModifier;
  if (chord.modifiers & kAlt) held |= Qt::AltModifier;
  QList<QKeySequence> sequences;
  // Every key of the main keyboard that is this key: + is also =.
  for (const KeyName& k : kKeyNames)
    if (k.key == chord.key && k.pad != KeyName::Pad::kKeypad)
      sequences.append(QKeySequence(held | static_cast<Qt::Key>(k.code)));
  return sequences;
}

}  // namespace mw
