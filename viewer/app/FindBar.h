// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;

namespace mw {

class Viewer;

// Ctrl+F: a small field over the map's top left corner. Typing lists the sectors whose name holds
// the text (case and accents ignored), each with its holder and income; Up and Down choose, Enter
// or a double-click centres the map on the chosen sector (the first when none is chosen) and
// outlines it for a moment; Esc closes it.
class FindBar : public QWidget {
 public:
  FindBar(QWidget* map, Viewer& viewer);
  // Shows it with the text chosen, ready for typing.
  void Open();
  QLineEdit* field() const { return field_; }
  QListWidget* list() const { return list_; }
  static constexpr int kOutlineMs = 1500;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Filter();
  void Go();

  Viewer& viewer_;
  QLineEdit* field_;
  QListWidget* list_;
};

}  // namespace mw
