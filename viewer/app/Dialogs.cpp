// SPDX-License-Identifier: GPL-3.0-or-later
#include "Dialogs.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <filesystem>

#include "PackageText.h"
#include "Reports.h"
#include "Texts.h"
#include "Version.h"
#include "WindowFrames.h"

namespace mw {
namespace {

// The dialog opens in `folder` where one is given (the folder of the board's file or game).
std::optional<std::string> Run(QFileDialog& dialog, const std::string& folder) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (!folder.empty()) dialog.setDirectory(QFile::decodeName(QByteArray::fromStdString(folder)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  // The name as the file system has it, not as UTF-8 of what the dialog shows.
  return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

}  // namespace

std::optional<std::string> ShowOpenFileDialog(QWidget* owner, const std::string& folder) {
  QFileDialog dialog(owner, QTr("Dialogs", "Open File"));
  dialog.setObjectName(QStringLiteral("OpenFile"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({kTessWinMapFilter, kNativeFilter, kAllMapfilesFilter});
  dialog.selectNameFilter(kAllMapfilesFilter);
  dialog.setDefaultSuffix(QStringLiteral("QPX"));
  return Run(dialog, folder);
}

std::optional<std::string> ShowCompareFileDialog(QWidget* owner, const std::string& folder) {
  QFileDialog dialog(owner, QTr("Dialogs", "Compare With"));
  dialog.setObjectName(QStringLiteral("CompareWith"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({kTessWinMapFilter, kNativeFilter, kAllMapfilesFilter});
  dialog.selectNameFilter(kAllMapfilesFilter);
  return Run(dialog, folder);
}

std::optional<std::string> ShowGameFileDialog(QWidget* owner, bool create,
                                              const std::string& folder) {
  QFileDialog dialog(owner, create ? QTr("Dialogs", "Record Turn") : QTr("Dialogs", "Open Game"));
  dialog.setObjectName(QStringLiteral("GameFile"));
  dialog.setAcceptMode(create ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(create ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // Choosing a game that exists records into it: nothing is overwritten.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setNameFilters({QTr("Dialogs", "Marrowind game (*.mwgame)")});
  dialog.setDefaultSuffix(QStringLiteral("mwgame"));
  return Run(dialog, folder);
}

std::optional<std::pair<std::string, std::string>> AskTurnTextDialog(QWidget* owner,
                                                                     const QString& title,
                                                                     const std::string& label,
                                                                     const std::string& note) {
  QDialog dialog(owner);
  dialog.setObjectName(QStringLiteral("TurnText"));
  dialog.setWindowTitle(title);
  auto* name = new QLineEdit(QString::fromStdString(label), &dialog);
  name->setObjectName(QStringLiteral("TurnLabel"));
  name->selectAll();
  auto* text = new QPlainTextEdit(QString::fromStdString(note), &dialog);
  text->setObjectName(QStringLiteral("TurnNote"));
  text->setPlaceholderText(QTr("Dialogs", "A note on this turn (optional)"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* layout = new QFormLayout(&dialog);
  layout->addRow(QTr("Dialogs", "&Label:"), name);
  layout->addRow(QTr("Dialogs", "&Note:"), text);
  layout->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return std::pair{name->text().trimmed().toStdString(), text->toPlainText().toStdString()};
}

std::optional<int64_t> AskTurnNumberDialog(QWidget* owner, const QString& title,
                                           const std::string& game, int64_t last) {
  QInputDialog dialog(owner);
  dialog.setObjectName(QStringLiteral("TurnNumber"));
  dialog.setWindowTitle(title);
  dialog.setInputMode(QInputDialog::IntInput);
  dialog.setLabelText(
      QTr("Dialogs", "&Turn of %1 (1 to %2):").arg(QString::fromStdString(game)).arg(last));
  dialog.setIntRange(1, static_cast<int>(std::min<int64_t>(last, INT32_MAX)));
  dialog.setIntValue(static_cast<int>(std::min<int64_t>(last, INT32_MAX)));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.intValue();
}

bool ConfirmActionBox(QWidget* owner, const std::string& text, const std::string& caption,
                      const std::string& action) {
  QMessageBox box(QMessageBox::Warning, QString::fromStdString(caption),
                  QString::fromStdString(text), QMessageBox::Cancel, owner);
  QPushButton* yes = box.addButton(QString::fromStdString(action), QMessageBox::AcceptRole);
  yes->setObjectName(QStringLiteral("ActionButton"));
  box.setDefaultButton(QMessageBox::Cancel);
  box.setEscapeButton(QMessageBox::Cancel);
  box.exec();
  return box.clickedButton() == yes;
}

bool WindowDialogs::Confirm(const std::string& text, const std::string& caption) {
  // A plain question with OK and Cancel, without an icon.
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                  QString::fromStdString(text), QMessageBox::Ok | QMessageBox::Cancel, owner_);
  box.setDefaultButton(QMessageBox::Ok);
  return box.exec() == QMessageBox::Ok;
}

bool WindowDialogs::ConfirmAction(const std::string& text, const std::string& caption,
                                  const std::string& action) {
  return ConfirmActionBox(owner_, text, caption, action);
}

Questions::DiscardAnswer WindowDialogs::AskDiscard(const DiscardQuestion& q) {
  // OK and Cancel as ever (Discard and Cancel for a step of the game, where Cancel is the safe
  // default), and a Save button between them that names the file it writes: save, then go on.
  const auto giveUp = q.step ? QMessageBox::Discard : QMessageBox::Ok;
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(q.caption),
                  QString::fromStdString(q.text), giveUp | QMessageBox::Cancel, owner_);
  const QString saveText =
      q.saveTo.empty()
          ? QTr("Dialogs", "&Save As ...")
          : QTr("Dialogs", "&Save to %1")
                .arg(QString::fromStdString(std::filesystem::path(q.saveTo).filename().string()));
  QPushButton* save = box.addButton(saveText, QMessageBox::AcceptRole);
  save->setObjectName(QStringLiteral("SaveButton"));
  if (!q.saveTo.empty()) save->setToolTip(QString::fromStdString(q.saveTo));
  box.setDefaultButton(q.step ? QMessageBox::Cancel : QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Cancel);
  const int answer = box.exec();
  if (box.clickedButton() == save) return DiscardAnswer::kSave;
  return answer == giveUp ? DiscardAnswer::kDiscard : DiscardAnswer::kCancel;
}

Questions::RestoreAnswer WindowDialogs::AskRestore(const std::string& text,
                                                   const std::string& caption) {
  // Restore is the default; Esc and the window's close button keep the copy for the next start,
  // and only the button that says so discards it.
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                  QString::fromStdString(text), QMessageBox::NoButton, owner_);
  QPushButton* restore = box.addButton(QTr("Dialogs", "&Restore"), QMessageBox::AcceptRole);
  QPushButton* keep = box.addButton(QTr("Dialogs", "&Keep for Later"), QMessageBox::RejectRole);
  QPushButton* discard =
      box.addButton(QTr("Dialogs", "&Discard This Copy"), QMessageBox::DestructiveRole);
  restore->setObjectName(QStringLiteral("RestoreButton"));
  keep->setObjectName(QStringLiteral("KeepButton"));
  discard->setObjectName(QStringLiteral("DiscardCopyButton"));
  box.setDefaultButton(restore);
  box.setEscapeButton(keep);
  box.exec();
  if (box.clickedButton() == restore) return RestoreAnswer::kRestore;
  if (box.clickedButton() == discard) return RestoreAnswer::kDiscard;
  return RestoreAnswer::kKeep;
}

void WindowDialogs::ShowError(const std::string& text) {
  QMessageBox::warning(owner_, QStringLiteral("Marrowind"), QString::fromStdString(text));
}

std::optional<Questions::TurnText> WindowDialogs::AskTurnText(const std::string& title,
                                                              const TurnText& proposed) {
  const auto text =
      AskTurnTextDialog(owner_, QString::fromStdString(title), proposed.label, proposed.note);
  if (!text) return std::nullopt;
  return TurnText{text->first, text->second};
}

std::optional<int64_t> WindowDialogs::AskTurnNumber(const std::string& title,
                                                    const std::string& game, int64_t last) {
  return AskTurnNumberDialog(owner_, QString::fromStdString(title), game, last);
}

void WindowDialogs::ShowUnitList(const std::string& text) {
  UnitListDialog dialog(owner_, text);
  dialog.exec();
}

std::optional<std::string> ShowSaveFileDialog(QWidget* owner, bool proposeNative,
                                              const std::string& folder) {
  QFileDialog dialog(owner, QTr("Dialogs", "Save as ..."));
  dialog.setObjectName(QStringLiteral("SaveAs"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setNameFilters({kTessWinMapFilter, kNativeFilter});
  dialog.selectNameFilter(proposeNative ? kNativeFilter : kTessWinMapFilter);
  dialog.setDefaultSuffix(proposeNative ? QStringLiteral("QPX") : QStringLiteral("MAP"));
  return Run(dialog, folder);
}

UnitListDialog::UnitListDialog(QWidget* owner, const std::string& text) : QDialog(owner) {
  setObjectName(QStringLiteral("ListBox"));
  setWindowTitle(QTr("Dialogs", "LIst Units"));
  setModal(true);
  auto* list = new QPlainTextEdit(this);
  list->setObjectName(QStringLiteral("UnitList"));
  list->setAccessibleName(QTr("Dialogs", "Units"));
  list->setReadOnly(true);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list->setPlainText(
      QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  auto* ok = new QPushButton(QTr("Dialogs", "Ok"), this);
  ok->setObjectName(QStringLiteral("Ok"));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QHBoxLayout(this);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addStretch();
  layout->addWidget(list, 1);
  layout->addLayout(buttons);
  // The proportions of the dialog as designed: 366 x 279 dialog units of an 8-point font.
  resize(549, 453);
}

IncomeDialog::IncomeDialog(QWidget* owner, const Position& position, int country) : QDialog(owner) {
  setObjectName(QStringLiteral("IncomeDialog"));
  setWindowTitle(QTr("Dialogs", "Income of %1")
                     .arg(QString::fromStdString(CountryLabel(position.countryNames(), country))));
  setAttribute(Qt::WA_DeleteOnClose);
  const std::vector<IncomeLine> lines = IncomeBreakdown(position, country);
  auto* table = new QTableWidget(static_cast<int>(lines.size()) + 1, 6, this);
  table->setObjectName(QStringLiteral("IncomeTable"));
  table->setAccessibleName(QTr("Dialogs", "Income by sector"));
  table->setHorizontalHeaderLabels({QTr("Dialogs", "Sector"), QTr("Dialogs", "Name"),
                                    QStringLiteral("IPC"), QStringLiteral("Convoy"),
                                    QStringLiteral("Oil"), QTr("Dialogs", "Reason")});
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  auto put = [&](int row, int column, const QString& text) {
    auto* item = new QTableWidgetItem(text);
    if (column != 1 && column != 5) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table->setItem(row, column, item);
  };
  int64_t ipc = 0, convoy = 0, oil = 0;
  for (int row = 0; row < static_cast<int>(lines.size()); ++row) {
    const IncomeLine& l = lines[static_cast<size_t>(row)];
    put(row, 0, QString::number(l.sector));
    put(row, 1, QString::fromStdString(l.name));
    put(row, 2, QString::number(l.ipc));
    put(row, 3, QString::number(l.convoy));
    put(row, 4, QString::number(l.oil));
    put(row, 5, QString::fromStdString(l.reason));
    ipc += l.ipc, convoy += l.convoy, oil += l.oil;
  }
  const int sums = static_cast<int>(lines.size());
  put(sums, 1, QTr("Dialogs", "Total"));
  put(sums, 2, QString::number(ipc));
  put(sums, 3, QString::number(convoy));
  put(sums, 4, QString::number(oil));
  QFont bold = table->font();
  bold.setBold(true);
  for (int column = 0; column < 6; ++column)
    if (QTableWidgetItem* item = table->item(sums, column)) item->setFont(bold);
  table->resizeColumnsToContents();
  table->horizontalHeader()->setStretchLastSection(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table);
  layout->addWidget(buttons);
  resize(640, 420);
}

PackageCheckDialog::PackageCheckDialog(QWidget* owner,
                                       std::function<void(std::optional<QPoint>)> markPoint)
    : QDialog(owner),
      markPoint_(std::move(markPoint)),
      list_(new QListWidget(this)),
      summary_(new QLabel(this)) {
  setObjectName(QStringLiteral("CheckMap"));
  setAttribute(Qt::WA_DeleteOnClose);
  list_->setObjectName(QStringLiteral("Findings"));
  list_->setAccessibleName(QTr("Dialogs", "Findings"));
  summary_->setObjectName(QStringLiteral("Summary"));
  const auto mark = [this](QListWidgetItem* item) {
    const QVariant point = item ? item->data(Qt::UserRole) : QVariant();
    markPoint_(point.isValid() ? std::optional(point.toPoint()) : std::nullopt);
  };
  connect(list_, &QListWidget::currentItemChanged, this, mark);
  connect(list_, &QListWidget::itemActivated, this, mark);
  connect(this, &QDialog::finished, this, [this] { markPoint_(std::nullopt); });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(summary_);
  layout->addWidget(buttons);
  resize(760, 360);
}

void PackageCheckDialog::SetReport(const std::string& packageName,
                                   const Result<PackageReport>& report) {
  setWindowTitle(QTr("Dialogs", "Check Map - %1").arg(QString::fromStdString(packageName)));
  QSet<QString> before;
  for (int row = 0; row < list_->count(); ++row) before.insert(list_->item(row)->text());
  const QString chosen = list_->currentItem() ? list_->currentItem()->text() : QString();
  const QSignalBlocker quiet(list_);
  list_->clear();
  QListWidgetItem *again = nullptr, *firstNew = nullptr;
  if (!report) {
    summary_->setText(QString::fromStdString(report.error()));
  } else {
    for (const Finding& f : report->findings) {
      auto* item = new QListWidgetItem(QString::fromStdString(f.Line()), list_);
      if (f.point) {
        item->setData(Qt::UserRole, QPoint(f.point->x, f.point->y));
        item->setToolTip(
            QTr("Dialogs", "Choose it to mark %1,%2 on the map").arg(f.point->x).arg(f.point->y));
      }
      if (!chosen.isEmpty() && item->text() == chosen) again = item;
      if (!firstNew && !before.isEmpty() && !before.contains(item->text())) firstNew = item;
    }
    summary_->setText(QString::fromStdString(report->Summary()));
  }
  // The first new finding is chosen, else the one chosen before where it is still there; the
  // map's mark follows.
  QListWidgetItem* choose = firstNew ? firstNew : again;
  list_->setCurrentItem(choose);
  const QVariant point = choose ? choose->data(Qt::UserRole) : QVariant();
  if (choose || !chosen.isEmpty())
    markPoint_(point.isValid() ? std::optional(point.toPoint()) : std::nullopt);
}

ChangesWindow::ChangesWindow(QWidget* owner, std::function<void(int)> showSector)
    : QDialog(owner), since_(new QLabel(this)), list_(new QListWidget(this)) {
  setObjectName(QStringLiteral("Changes"));
  setWindowTitle(QTr("Dialogs", "Changes"));
  setAttribute(Qt::WA_DeleteOnClose);
  list_->setObjectName(QStringLiteral("ChangeList"));
  list_->setAccessibleName(QTr("Dialogs", "Changes"));
  connect(list_, &QListWidget::itemActivated, this, [showSector](QListWidgetItem* item) {
    if (const int sector = item->data(Qt::UserRole).toInt(); sector > 0) showSector(sector);
  });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(since_);
  layout->addWidget(list_);
  layout->addWidget(buttons);
  resize(460, 360);
}

void ChangesWindow::SetLines(const std::string& file, const std::vector<ChangeLine>& lines) {
  const QString name = QFile::decodeName(QByteArray::fromStdString(file));
  since_->setText(lines.empty() ? QTr("Dialogs", "Nothing changed since %1.").arg(name)
                                : QTr("Dialogs", "Changed since %1:").arg(name));
  // The line chosen stays chosen while the lines follow the board.
  const int row = list_->currentRow();
  list_->clear();
  for (const ChangeLine& line : lines) {
    auto* item = new QListWidgetItem(QString::fromStdString(line.text), list_);
    item->setData(Qt::UserRole, line.sector);
    if (line.sector > 0) item->setToolTip(QTr("Dialogs", "Double-click to show it on the map"));
  }
  if (row >= 0 && row < list_->count()) list_->setCurrentRow(row);
}

AboutDialog::AboutDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::CustomizeWindowHint) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QTr("Dialogs", "About CorvaneMap"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  for (const QString& line :
       {QStringLiteral("Brom's Marrowind"),
        QTr("Dialogs", "Version %1").arg(QString::fromLatin1(kVersionText))}) {
    auto* label = new QLabel(line, this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
  }
  auto* ok = new QPushButton(QTr("Dialogs", "OK"), this);
  ok->setObjectName(QStringLiteral("OK"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  // The proportions as designed, widened where the caption would not fit: a window manager's
  // caption font is bold and its buttons and icon take room too.
  QFont caption = font();
  caption.setBold(true);
  const int captionWidth = QFontMetrics(caption).horizontalAdvance(windowTitle()) * 5 / 4 + 96;
  setFixedSize(std::max(216, captionWidth), 122);
  AskForCaptionOnly(this);
}

}  // namespace mw
