// SPDX-License-Identifier: GPL-3.0-or-later
#include "FindBar.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "Texts.h"
#include "Viewer.h"

namespace mw {

FindBar::FindBar(QWidget* map, Viewer& viewer)
    : QWidget(map), viewer_(viewer), field_(new QLineEdit(this)), list_(new QListWidget(this)) {
  setObjectName(QStringLiteral("FindSector"));
  setAutoFillBackground(true);
  field_->setObjectName(QStringLiteral("FindField"));
  field_->setPlaceholderText(QTr("FindBar", "Find a sector by its name"));
  field_->setClearButtonEnabled(true);
  field_->setAccessibleName(QTr("FindBar", "Find sector"));
  list_->setObjectName(QStringLiteral("FindList"));
  list_->setAccessibleName(QTr("FindBar", "Sectors found"));
  list_->setFocusPolicy(Qt::NoFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(field_);
  layout->addWidget(list_);
  resize(340, 220);
  move(8, 8);
  field_->installEventFilter(this);
  connect(field_, &QLineEdit::textChanged, this, &FindBar::Filter);
  connect(field_, &QLineEdit::returnPressed, this, &FindBar::Go);
  connect(list_, &QListWidget::itemActivated, this, &FindBar::Go);
  hide();
}

void FindBar::Open() {
  Filter();
  show();
  raise();
  field_->setFocus();
  field_->selectAll();
}

void FindBar::Filter() {
  list_->clear();
  for (const Overlays::SectorMatch& m :
       viewer_.overlays().FindSectors(field_->text().toStdString())) {
    auto* item = new QListWidgetItem(
        QStringLiteral("%1 \u2013 %2")
            .arg(QString::fromStdString(m.name), QString::fromStdString(m.detail)),
        list_);
    item->setData(Qt::UserRole, m.sector);
  }
  if (list_->count() > 0) list_->setCurrentRow(0);
}

void FindBar::Go() {
  QListWidgetItem* chosen = list_->currentItem();
  if (!chosen) return;
  const int sector = chosen->data(Qt::UserRole).toInt();
  hide();
  if (parentWidget()) parentWidget()->setFocus();
  viewer_.overlays().GoToSector(sector);
  QTimer::singleShot(kOutlineMs, parentWidget(),
                     [&viewer = viewer_] { viewer.overlays().EndSectorOutline(); });
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched != field_ || event->type() != QEvent::KeyPress)
    return QWidget::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const int row = list_->currentRow(), rows = list_->count();
  switch (key->key()) {
    case Qt::Key_Escape:
      hide();
      if (parentWidget()) parentWidget()->setFocus();
      return true;
    case Qt::Key_Down:
      if (rows > 0) list_->setCurrentRow(std::min(row + 1, rows - 1));
      return true;
    case Qt::Key_Up:
      if (rows > 0) list_->setCurrentRow(std::max(row - 1, 0));
      return true;
    default:
      return false;
  }
}

}  // namespace mw
