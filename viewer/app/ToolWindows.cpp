#include "ToolWindows.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "InfoViewPainter.h"
#include "Viewer.h"
#include "WindowFrames.h"

namespace mw {
namespace {

// A caption and nothing else: the tool windows are neither minimised nor maximised on their own.
constexpr Qt::WindowFlags kToolWindow = Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint;

void SetBackground(QWidget* w, QColor colour) {
  QPalette palette = w->palette();
  palette.setColor(QPalette::Window, colour);
  w->setPalette(palette);
  w->setAutoFillBackground(true);
}

}  // namespace

PaletteWindow::PaletteWindow(QWidget* owner, Viewer& viewer)
    : QWidget(owner, kToolWindow), viewer_(viewer) {
  setObjectName(QStringLiteral("ToolBar"));
  setWindowTitle(QStringLiteral("ToolBar"));
  const QImage& picture = viewer.map().piecesPicture;
  setFixedSize(picture.isNull() ? QSize(60, 1) : picture.size());
  SetBackground(this, Qt::white);
  AskForCaptionOnly(this);
}

void PaletteWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), viewer_.map().piecesPicture);
}

void PaletteWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) viewer_.PaletteClick(event->position().toPoint());
}

void PaletteWindow::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat() && event->key() == Qt::Key_Escape) viewer_.PaletteEscape();
}

// Some window managers give every window a close button; the palette then hides as the info view
// does, and the menu brings it back.
void PaletteWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
  viewer_.ToolWindowClosed(ToolWindow::kPalette);
}

InfoViewWindow::InfoViewWindow(QWidget* owner, Viewer& viewer)
    : QWidget(owner, kToolWindow), viewer_(viewer) {
  setObjectName(QStringLiteral("InfoView"));
  setWindowTitle(QStringLiteral("InfoView"));
  setFixedSize(InfoViewSize(viewer.map()));
  SetBackground(this, QColor(192, 192, 192));
  AskForCaptionOnly(this);
}

void InfoViewWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintInfoView(painter, viewer_.map(), viewer_.position(), viewer_.fonts().labelFont);
}

void InfoViewWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
  viewer_.ToolWindowClosed(ToolWindow::kInfoView);
}

}  // namespace mw
