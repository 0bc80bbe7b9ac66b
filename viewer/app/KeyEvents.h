// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>
#include <QList>

#include "Keys.h"

class QKeyEvent;

namespace mw {

class Viewer;

// The viewer's key for a key of the window system, and the modifiers held with it.
Key KeyOf(const QKeyEvent* event);
unsigned KeyModifiersOf(const QKeyEvent* event);
// Hands a key press or release to the viewer as the main window does; auto-repeats do nothing.
void ForwardKey(Viewer& viewer, const QKeyEvent* event, bool press);
// The key sequences that stand for a chord: + is also =, the key it shares.
QList<QKeySequence> SequencesOf(const Chord& chord);

}  // namespace mw
