// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolWindows.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "Dialogs.h"
#include "InfoViewPainter.h"
#include "KeyEvents.h"
#include "MainWindow.h"
#include "PackageText.h"
#include "Texts.h"
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
  setWindowTitle(QTr("ToolWindows", "ToolBar"));
  setAccessibleDescription(
      QTr("ToolWindows", "The pieces of every country: choose one, then place it on the map"));
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
  if (event->button() != Qt::LeftButton) return;
  viewer_.editing().PaletteClick(event->position().toPoint());
  // The next key is for the map: D, E, Esc and the zoom keys work at once.
  if (auto* main = dynamic_cast<MainWindow*>(parentWidget())) main->TakeKeys();
}

void PaletteWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape) ForwardKey(viewer_, event, true);
}

void PaletteWindow::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape) return ForwardKey(viewer_, event, false);
  if (!event->isAutoRepeat()) viewer_.editing().PaletteEscape();
}

bool PaletteWindow::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const std::string text = viewer_.editing().PaletteCellText(help->pos());
  if (text.empty())
    QToolTip::hideText();
  else
    QToolTip::showText(help->globalPos(), QString::fromStdString(text), this);
  return true;
}

// Some window managers give every window a close button; the palette then hides as the info view
// does, and the menu brings it back.
void PaletteWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
  viewer_.desk().ToolWindowClosed(ToolWindow::kPalette);
}

InfoViewWindow::InfoViewWindow(QWidget* owner, Viewer& viewer)
    : QWidget(owner, kToolWindow), viewer_(viewer) {
  setObjectName(QStringLiteral("InfoView"));
  setWindowTitle(QTr("ToolWindows", "InfoView"));
  setAccessibleDescription(QTr(
      "ToolWindows",
      "Each country's income and strength; a click on a column shows where its income comes from"));
  setFixedSize(InfoViewSize(viewer.map()));
  SetBackground(this, QColor(192, 192, 192));
  AskForCaptionOnly(this);
}

void InfoViewWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintInfoView(painter, viewer_.map(), viewer_.position(), viewer_.startup().fonts.labelFont);
}

void InfoViewWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int country = InfoViewCountryAt(viewer_.map(), event->position().toPoint());
  if (country == 0) return;
  auto* dialog = new IncomeDialog(parentWidget(), viewer_.position(), country);
  dialog->show();
}

void InfoViewWindow::keyPressEvent(QKeyEvent* event) { ForwardKey(viewer_, event, true); }

void InfoViewWindow::keyReleaseEvent(QKeyEvent* event) { ForwardKey(viewer_, event, false); }

void InfoViewWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
  viewer_.desk().ToolWindowClosed(ToolWindow::kInfoView);
}

}  // namespace mw
