#include "GameWindows.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

#include "FileBytes.h"
#include "FormatFacts.h"
#include "Texts.h"
#include "WindowFrames.h"

namespace mw {
namespace {

constexpr int kFixedColumns = 4;  // Turn, Label, Recorded, Note

// A country as the column headers and the legend name it: the map's name for it, else its
// number after `unnamed`.
QString CountryHeading(const GameHistory& history, uint16_t country, const QString& unnamed) {
  if (format::IsPackageCountry(country) && !history.countryNames[country].empty())
    return QString::fromStdString(CountryName(history.countryNames, country));
  return unnamed + QString::number(country);
}

// A time recorded in ISO 8601 UTC as the user's clock shows it.
QString LocalTime(const std::string& recorded) {
  const QDateTime t = QDateTime::fromString(QString::fromStdString(recorded), Qt::ISODate);
  return t.isValid() ? QLocale().toString(t.toLocalTime(), QLocale::ShortFormat)
                     : QString::fromStdString(recorded);
}

// A field of a CSV line: quoted where it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

// A step between the ticks of an axis over `span` that reads well: 1, 2 or 5 times a power of 10.
double NiceStep(double span, int ticks) {
  if (span <= 0) return 1;
  const double raw = span / ticks, power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0})
    if (m * power >= raw) return m * power;
  return 10 * power;
}

bool SameTurns(const GameHistory& a, const GameHistory& b) {
  if (a.file != b.file || a.countries != b.countries || a.turns.size() != b.turns.size())
    return false;
  for (size_t i = 0; i < a.turns.size(); ++i) {
    const Turn &x = a.turns[i].turn, &y = b.turns[i].turn;
    if (x.number != y.number || x.label != y.label || x.note != y.note ||
        x.recorded != y.recorded || a.turns[i].countries.size() != b.turns[i].countries.size())
      return false;
  }
  return true;
}

}  // namespace

HistoryWindow::HistoryWindow(QWidget* owner, Actions actions)
    : QWidget(owner, Qt::Tool), actions_(std::move(actions)) {
  setObjectName(QStringLiteral("History"));
  setWindowTitle(QTr("GameWindows", "History"));
  heading_ = new QLabel(this);
  heading_->setObjectName(QStringLiteral("HistoryGame"));
  heading_->setWordWrap(true);
  table_ = new QTableWidget(this);
  table_->setObjectName(QStringLiteral("Turns"));
  table_->setAccessibleName(QTr("GameWindows", "Turns"));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  connect(table_, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
    if (!filling_ && row >= 0 && row != previous) ChooseRow(row);
  });
  table_->installEventFilter(this);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
    if (column == 1 || column == 3) actions_.annotate(TurnOfRow(row));
  });
  auto* edit = new QPushButton(QTr("GameWindows", "&Edit Label and Note ..."), this);
  edit->setObjectName(QStringLiteral("EditTurn"));
  connect(edit, &QPushButton::clicked, this, [this] {
    if (const int row = table_->currentRow(); row >= 0) actions_.annotate(TurnOfRow(row));
  });
  auto* trends = new QPushButton(QTr("GameWindows", "&Trends ..."), this);
  connect(trends, &QPushButton::clicked, this, [this] { actions_.trends(); });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(edit);
  buttons->addStretch();
  buttons->addWidget(trends);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading_);
  layout->addWidget(table_);
  layout->addLayout(buttons);
  resize(620, 320);
}

// Alt+Left and Alt+Right step through the turns, not through the table's columns, where the
// window system did not take them as the shortcuts they are.
bool HistoryWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & Qt::AltModifier) &&
        (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)) {
      actions_.step(key->key() == Qt::Key_Left ? -1 : 1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

int64_t HistoryWindow::TurnOfRow(int row) const {
  const QTableWidgetItem* item = table_->item(row, 0);
  return item ? item->data(Qt::UserRole).toLongLong() : 0;
}

void HistoryWindow::ChooseRow(int row) {
  // A refused load leaves the board's turn chosen: the viewer publishes it again.
  actions_.goTo(TurnOfRow(row));
}

void HistoryWindow::SetHistory(const GameHistory& history) {
  filling_ = true;
  if (!SameTurns(history, shown_) || history.turns.empty()) {
    shown_ = history;
    const QString file = QFile::decodeName(QByteArray::fromStdString(history.file));
    heading_->setText(
        history.file.empty()
            ? QTr("GameWindows", "No game yet: record a turn (Ctrl+T) or open a game.")
            : QTr("GameWindows", "%1: %2 turns")
                  .arg(QFileInfo(file).fileName())
                  .arg(history.turns.size()));
    heading_->setToolTip(file);
    table_->clear();
    QStringList headers{QTr("GameWindows", "Turn"), QTr("GameWindows", "Label"),
                        QTr("GameWindows", "Recorded"), QTr("GameWindows", "Note")};
    for (uint16_t country : history.countries)
      headers << QTr("GameWindows", "IPC %1").arg(CountryHeading(history, country, QString()));
    table_->setColumnCount(static_cast<int>(headers.size()));
    table_->setHorizontalHeaderLabels(headers);
    for (size_t i = 0; i < history.countries.size(); ++i)
      table_->horizontalHeaderItem(kFixedColumns + static_cast<int>(i))
          ->setForeground(QColor::fromRgb(history.colours[i]).darker(130));
    table_->setRowCount(static_cast<int>(history.turns.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
      const TurnFigures& turn = history.turns[static_cast<size_t>(row)];
      auto* number = new QTableWidgetItem(QString::number(turn.turn.number));
      number->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(turn.turn.number));
      table_->setItem(row, 0, number);
      table_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(turn.turn.label)));
      table_->setItem(row, 2, new QTableWidgetItem(LocalTime(turn.turn.recorded)));
      auto* note = new QTableWidgetItem(
          QString::fromStdString(turn.turn.note).replace(QLatin1Char('\n'), QLatin1Char(' ')));
      note->setToolTip(QString::fromStdString(turn.turn.note));
      table_->setItem(row, 3, note);
      for (size_t i = 0; i < history.countries.size(); ++i) {
        auto* ipc = new QTableWidgetItem(
            QString::number(turn.Of(history.countries[i])[BoardDifference::Total::kIpc]));
        ipc->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(row, kFixedColumns + static_cast<int>(i), ipc);
      }
    }
    table_->resizeColumnsToContents();
  }
  shown_.current = history.current;
  int current = -1;
  for (int row = 0; row < table_->rowCount(); ++row)
    if (TurnOfRow(row) == history.current) current = row;
  if (current >= 0) {
    table_->setCurrentCell(current, table_->currentColumn() < 0 ? 0 : table_->currentColumn());
    table_->scrollToItem(table_->item(current, 0));
  } else {
    table_->setCurrentCell(-1, -1);
    table_->clearSelection();
  }
  filling_ = false;
  if (!isVisible()) show();
}

void HistoryWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
  actions_.closed();
}

TrendsWindow::TrendsWindow(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Trends"));
  setWindowTitle(QTr("GameWindows", "Trends"));
  setAttribute(Qt::WA_DeleteOnClose);
  totals_ = new QComboBox(this);
  totals_->setObjectName(QStringLiteral("Total"));
  for (auto total :
       {BoardDifference::Total::kIpc, BoardDifference::Total::kConvoy, BoardDifference::Total::kOil,
        BoardDifference::Total::kLand, BoardDifference::Total::kNaval})
    totals_->addItem(QString::fromLatin1(TotalName(total)), static_cast<int>(total));
  connect(totals_, &QComboBox::currentIndexChanged, this, [this] { Rebuild(); });
  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignBottom);
  view_ = new QChartView(chart_, this);
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setMinimumSize(360, 240);
  // A screen reader cannot read the lines: it is told where the same figures stand as text.
  view_->setAccessibleDescription(
      QTr("GameWindows",
          "The same figures stand turn by turn in the History window; Save as CSV writes them"));
  totals_->setAccessibleName(QTr("GameWindows", "Figure charted"));
  auto* png = new QPushButton(QTr("GameWindows", "Save as PNG"), this);
  png->setObjectName(QStringLiteral("SavePng"));
  connect(png, &QPushButton::clicked, this, [this] { Save(true); });
  auto* csv = new QPushButton(QTr("GameWindows", "Save as CSV"), this);
  csv->setObjectName(QStringLiteral("SaveCsv"));
  connect(csv, &QPushButton::clicked, this, [this] { Save(false); });
  auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* show = new QLabel(QTr("GameWindows", "&Show:"), this);
  show->setBuddy(totals_);
  auto* top = new QHBoxLayout;
  top->addWidget(show);
  top->addWidget(totals_);
  top->addStretch();
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(png);
  bottom->addWidget(csv);
  bottom->addStretch();
  bottom->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(view_, 1);
  layout->addLayout(bottom);
  resize(760, 500);
}

BoardDifference::Total TrendsWindow::total() const {
  return static_cast<BoardDifference::Total>(totals_->currentData().toInt());
}

void TrendsWindow::ShowTotal(BoardDifference::Total total) {
  totals_->setCurrentIndex(totals_->findData(static_cast<int>(total)));
}

void TrendsWindow::SetHistory(const GameHistory& history) {
  history_ = history;
  Rebuild();
}

void TrendsWindow::Rebuild() {
  chart_->removeAllSeries();
  // The chart gives up a removed axis, and it is ours to delete.
  for (QAbstractAxis* axis : chart_->axes()) {
    chart_->removeAxis(axis);
    delete axis;
  }
  const BoardDifference::Total shown = total();
  const QString name = QString::fromLatin1(TotalName(shown));
  chart_->setTitle(
      QTr("GameWindows", "%1 of every country, %2")
          .arg(name,
               QFileInfo(QFile::decodeName(QByteArray::fromStdString(history_.file))).fileName()));
  view_->setAccessibleName(chart_->title());
  auto* turns = new QValueAxis;
  turns->setTitleText(QTr("GameWindows", "Turn"));
  turns->setLabelFormat(QStringLiteral("%d"));
  auto* values = new QValueAxis;
  values->setTitleText(name);
  values->setLabelFormat(QStringLiteral("%d"));
  chart_->addAxis(turns, Qt::AlignBottom);
  chart_->addAxis(values, Qt::AlignLeft);
  if (history_.turns.empty()) return;
  int low = 0, high = 1;
  for (size_t i = 0; i < history_.countries.size(); ++i) {
    const uint16_t country = history_.countries[i];
    auto* series = new QLineSeries;
    series->setName(CountryHeading(history_, country, QTr("GameWindows", "Country ")));
    series->setColor(QColor::fromRgb(history_.colours[i]));
    series->setPointsVisible(history_.turns.size() <= 60);
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(history_.turns.size()));
    for (const TurnFigures& turn : history_.turns) {
      const int value = turn.Of(country)[shown];
      low = std::min(low, value);
      high = std::max(high, value);
      points.append(QPointF(static_cast<double>(turn.turn.number), value));
    }
    series->replace(points);
    chart_->addSeries(series);
    series->attachAxis(turns);
    series->attachAxis(values);
    connect(series, &QLineSeries::hovered, this, [this, series, country](QPointF at, bool on) {
      if (!on) return QToolTip::hideText();
      // The turn nearest the pointer, and its value.
      const TurnFigures* nearest = nullptr;
      for (const TurnFigures& turn : history_.turns)
        if (!nearest || std::abs(static_cast<double>(turn.turn.number) - at.x()) <
                            std::abs(static_cast<double>(nearest->turn.number) - at.x()))
          nearest = &turn;
      QToolTip::showText(QCursor::pos(),
                         QTr("GameWindows", "%1, turn %2 \"%3\": %4 %5")
                             .arg(series->name())
                             .arg(nearest->turn.number)
                             .arg(QString::fromStdString(nearest->turn.label))
                             .arg(QString::fromLatin1(TotalName(total())))
                             .arg(nearest->Of(country)[total()]),
                         view_);
    });
  }
  const double first = static_cast<double>(history_.turns.front().turn.number),
               last = static_cast<double>(history_.turns.back().turn.number);
  turns->setRange(first, std::max(last, first + 1));
  turns->setTickType(QValueAxis::TicksDynamic);
  turns->setTickAnchor(first);
  turns->setTickInterval(std::max(1.0, NiceStep(last - first, 10)));
  const double step = NiceStep(high - low, 8);
  values->setRange(std::floor(low / step) * step, std::ceil(high / step) * step);
  values->setTickType(QValueAxis::TicksDynamic);
  values->setTickAnchor(0);
  values->setTickInterval(step);
}

Status TrendsWindow::SavePng(const std::string& path) const {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!view_->grab().toImage().save(&buffer, "PNG"))
    return Status::Fail(path + ": the picture could not be made");
  return WriteFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                             static_cast<size_t>(bytes.size())));
}

Status TrendsWindow::SaveCsv(const std::string& path) const {
  const BoardDifference::Total shown = total();
  std::string csv = "Turn,Label,Recorded";
  for (uint16_t country : history_.countries)
    csv += ",Country " + std::to_string(country) + " " + TotalName(shown);
  csv += "\r\n";
  for (const TurnFigures& turn : history_.turns) {
    csv += std::to_string(turn.turn.number) + ',' + CsvField(turn.turn.label) + ',' +
           turn.turn.recorded;
    for (uint16_t country : history_.countries)
      csv += ',' + std::to_string(turn.Of(country)[shown]);
    csv += "\r\n";
  }
  return WriteFileAtomically(path,
                             std::span(reinterpret_cast<const uint8_t*>(csv.data()), csv.size()));
}

void TrendsWindow::Save(bool png) {
  const QString filter =
      png ? QTr("GameWindows", "PNG picture (*.png)") : QTr("GameWindows", "CSV table (*.csv)");
  QFileDialog dialog(this,
                     png ? QTr("GameWindows", "Save as PNG") : QTr("GameWindows", "Save as CSV"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(filter);
  dialog.setDefaultSuffix(png ? QStringLiteral("png") : QStringLiteral("csv"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string path = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
  if (Status saved = png ? SavePng(path) : SaveCsv(path); !saved)
    QMessageBox::warning(this, windowTitle(), QString::fromStdString(saved.error()));
}

}  // namespace mw
