// SPDX-License-Identifier: GPL-3.0-or-later
// Where the tool windows stand: each first appears where it covers the least of the map and none
// of the others, or where it stood when it last closed; the shortcuts act in all of them, and
// none takes the keyboard from the map on its own.
#include <QEvent>
#include <algorithm>

#include "MainWindow.h"
#include "MapWidget.h"
#include "WindowFrames.h"

namespace mw {
namespace {

constexpr const char* kPlaced = "marrowindPlaced";

}  // namespace

ToolPlacement MainWindow::PlacementFor(const QWidget* window, std::optional<QPoint> avoid) const {
  ToolPlacement p{ScreenArea(), frameGeometry(), QRect(map_->mapToGlobal(QPoint()), map_->size()),
                  {},           avoid,           {}};
  // Only windows whose place is decided: one still looking for its own is no obstacle.
  for (const QPointer<QWidget>& other : toolWindows_)
    if (other && other != window && other->isVisible() && other->property(kPlaced).toBool())
      p.taken.push_back(FrameGoingTo(other));
  return p;
}

void MainWindow::KeepToolWindow(QWidget* window) {
  std::erase_if(toolWindows_, [](const QPointer<QWidget>& w) { return w.isNull(); });
  toolWindows_.emplace_back(window);
  window->setAttribute(Qt::WA_ShowWithoutActivating);
  // The shortcuts act while a tool window has the focus too.
  window->addActions(shortcutActions_);
}

void MainWindow::AdoptPlacedToolWindow(QWidget* window, QPoint frameTopLeft) {
  KeepToolWindow(window);
  PlaceFrameAt(window, frameTopLeft);
  window->setProperty(kPlaced, true);
}

void MainWindow::AdoptToolWindow(QWidget* window, PlaceFinder place) {
  if (!place) {
    // The windows of the game and the check come back where they stood last time, else where
    // they cover the least of the map.
    window->installEventFilter(this);
    if (const auto kept = viewer_->desk().WindowPlace(window->objectName().toStdString());
        kept && ScreenArea().intersects(QRect(*kept, window->size())))
      return AdoptPlacedToolWindow(window, *kept);
    place = [this](const QWidget* w) { return PlacementFor(w, std::nullopt); };
  }
  KeepToolWindow(window);
  window->setProperty(kPlaced, false);
  // A first guess now, with frames of a usual size; the place itself once the frames it depends
  // on are known.
  const QSize guessed = Decorations().expandedTo({4, 28});
  if (const auto guess = place(window))
    window->move(PlaceToolWindow(*guess, window->size() + guessed).topLeft());
  // Once found, the place holds: windows that appear meanwhile find their own around it.
  auto found = std::make_shared<std::optional<QPoint>>();
  PlaceFrameWhenKnown(window, [this, window, place, found]() -> std::optional<QPoint> {
    if (*found) return *found;
    if (!IsFramed(this) || !IsFramed(window)) return std::nullopt;
    // The windows find their places one after another, in the order they came.
    for (const QPointer<QWidget>& earlier : toolWindows_) {
      if (earlier == window) break;
      if (earlier && earlier->isVisible() && !earlier->property(kPlaced).toBool())
        return std::nullopt;
    }
    const auto placement = place(window);
    if (!placement) return std::nullopt;
    // Where a smaller window covers less of the map, it is made smaller, down to what its
    // contents need.
    const QSize decorations = window->frameGeometry().size() - window->size();
    const QRect frame = PlaceToolWindow(*placement, window->frameGeometry().size(),
                                        window->minimumSizeHint() + decorations);
    if (frame.size() != window->frameGeometry().size()) window->resize(frame.size() - decorations);
    *found = frame.topLeft();
    window->setProperty(kPlaced, true);
    return *found;
  });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // A window of the game or the check that goes keeps its place for the next time.
  if (event->type() == QEvent::Hide)
    if (auto* window = qobject_cast<QWidget*>(watched); window && window->isWindow())
      viewer_->desk().KeepWindowPlace(window->objectName().toStdString(),
                                      window->frameGeometry().topLeft());
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace mw
