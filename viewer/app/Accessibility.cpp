// SPDX-License-Identifier: GPL-3.0-or-later
#include "Accessibility.h"

#include <QAccessibleWidget>
#include <functional>
#include <vector>

#include "InfoViewPainter.h"
#include "MapWidget.h"
#include "ToolWindows.h"
#include "Viewer.h"

namespace mw {
namespace {

// One painted part of a window (a palette cell, an info view column), as a screen reader sees
// it: a name, a place on the screen, a role and a state. The window's interface owns it.
class PaintedPart : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  struct Look {
    QAccessible::Role role;
    QRect area;  // in the window's client coordinates
    std::function<std::string()> name;
    std::function<bool()> checked;  // none: not checkable
    std::function<void()> press;    // none: no action
  };
  PaintedPart(QWidget* window, Look look) : window_(window), look_(std::move(look)) {}

  bool isValid() const override { return !window_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return window_ ? window_->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(window_.data());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name ? QString::fromStdString(look_.name()) : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    return window_ ? QRect(window_->mapToGlobal(look_.area.topLeft()), look_.area.size()) : QRect();
  }
  QAccessible::Role role() const override { return look_.role; }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.invisible = !window_ || !window_->isVisible();
    s.checkable = static_cast<bool>(look_.checked);
    s.checked = look_.checked && look_.checked();
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface && look_.press
               ? static_cast<QAccessibleActionInterface*>(this)
               : nullptr;
  }

  QStringList actionNames() const override {
    return look_.press ? QStringList{pressAction()} : QStringList();
  }
  void doAction(const QString& action) override {
    if (look_.press && action == pressAction()) look_.press();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QPointer<QWidget> window_;
  Look look_;
};

// A tool window made of painted parts: the parts are made when a screen reader first asks for
// them and go with the window.
class PaintedWindow : public QAccessibleWidget {
 public:
  PaintedWindow(QWidget* window, std::vector<PaintedPart::Look> looks)
      : QAccessibleWidget(window, QAccessible::Window),
        looks_(std::move(looks)),
        ids_(looks_.size(), 0) {}
  ~PaintedWindow() override {
    for (QAccessible::Id id : ids_)
      if (id != 0) QAccessible::deleteAccessibleInterface(id);
  }

  int childCount() const override { return static_cast<int>(looks_.size()); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    QAccessible::Id& id = ids_[static_cast<size_t>(index)];
    if (id == 0)
      id = QAccessible::registerAccessibleInterface(
          new PaintedPart(widget(), looks_[static_cast<size_t>(index)]));
    return QAccessible::accessibleInterface(id);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int i = 0; i < childCount(); ++i)
      if (ids_[static_cast<size_t>(i)] != 0 && this->child(i) == child) return i;
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint at = widget()->mapFromGlobal(QPoint(x, y));
    for (int i = 0; i < childCount(); ++i)
      if (looks_[static_cast<size_t>(i)].area.contains(at)) return child(i);
    return nullptr;
  }

 private:
  std::vector<PaintedPart::Look> looks_;
  mutable std::vector<QAccessible::Id> ids_;
};

// Each cell of the palette a radio button named as its tooltip ("Inf, value 3, land; Sarnesh
// (country 1)"), checked while its piece is being placed; pressing it chooses the piece.
QAccessibleInterface* PaletteInterface(PaletteWindow* palette) {
  Viewer& viewer = palette->viewer();
  const MapState& map = viewer.map();
  std::vector<PaintedPart::Look> cells;
  const int w = std::max(1, map.pieceCellWidth), h = std::max(1, map.pieceCellHeight);
  for (int row = 0; row < map.piecesPicture.height() / h; ++row)
    for (int column = 0; column < map.piecesPicture.width() / w; ++column) {
      const QRect area(column * w, row * h, w, h);
      const QPoint middle = area.center();
      if (viewer.editing().PaletteCellText(middle).empty()) continue;
      cells.push_back({QAccessible::RadioButton, area,
                       [&viewer, middle] { return viewer.editing().PaletteCellText(middle); },
                       [&viewer, column, row] {
                         const EditingState& e = viewer.editing().state();
                         return e.mouseMode == ModePlace && e.selectedPiece == column &&
                                e.selectedRow == row;
                       },
                       [&viewer, middle] { viewer.editing().PaletteClick(middle); }});
    }
  return new PaintedWindow(palette, std::move(cells));
}

// Each country's column of the info view a text with all its figures: "Sarnesh (country 1):
// IPC 12, Convoy 0, Oil 3, Sum 15, Land 5, Naval 2".
QAccessibleInterface* InfoViewInterface(InfoViewWindow* infoView) {
  Viewer& viewer = infoView->viewer();
  std::vector<PaintedPart::Look> columns;
  // Every column the painter draws, as many as the pieces picture has rows.
  for (int country = 1; country <= InfoViewColumns(viewer.map()); ++country)
    columns.push_back(
        {QAccessible::StaticText,
         InfoViewColumnRect(viewer.map(), country),
         [&viewer, country] { return InfoViewColumnText(viewer.position(), country); },
         {},
         {}});
  return new PaintedWindow(infoView, std::move(columns));
}

QAccessibleInterface* Factory(const QString&, QObject* object) {
  // The map is a picture the keys work on; its name says what is under the crosshair.
  if (auto* map = dynamic_cast<MapWidget*>(object))
    return new QAccessibleWidget(map, QAccessible::Canvas);
  if (auto* palette = dynamic_cast<PaletteWindow*>(object)) return PaletteInterface(palette);
  if (auto* infoView = dynamic_cast<InfoViewWindow*>(object)) return InfoViewInterface(infoView);
  return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() {
  static const bool installed = (QAccessible::installFactory(Factory), true);
  static_cast<void>(installed);
}

void AnnounceInfoViewFigures(QWidget* infoView) {
  if (!infoView || !QAccessible::isActive()) return;
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(infoView);
  for (int i = 0; window && i < window->childCount(); ++i) {
    QAccessibleEvent changed(window->child(i), QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
  }
}

}  // namespace mw
