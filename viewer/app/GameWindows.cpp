// SPDX-License-Identifier: GPL-3.0-or-later
#include "GameWindows.h"

#include <QApplication>
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
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include "CommandIds.h"
#include "FileBytes.h"
#include "FormatFacts.h"
#include "Texts.h"
#include "WindowFrames.h"

namespace mw {
namespace {

constexpr int kLabelColumn = 1, kFiguresColumn = 3;  // Turn, Label, Recorded, the figures, Note
constexpr int kNoteWidth = 220;  // the note's column, at most, when the table is first filled
// A game term, as IPC, Convoy and the others: the same in every language, as the info view
// paints it.
const QString kSum = QStringLiteral("Sum");

// What a row shows of a country: Sum first, then the totals in the InfoView's order.
int16_t SumOf(const CountryFigures& f) {
  using T = BoardDifference::Total;
  const int32_t sum = int32_t{f[T::kIpc]} + f[T::kConvoy] + f[T::kOil];
  return static_cast<int16_t>(std::clamp<int32_t>(sum, INT16_MIN, INT16_MAX));
}

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
  country_ = new QComboBox(this);
  country_->setObjectName(QStringLiteral("HistoryCountry"));
  country_->setAccessibleName(QTr("GameWindows", "Figures of"));
  connect(country_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) Fill();
  });
  table_ = new QTableWidget(this);
  table_->setObjectName(QStringLiteral("Turns"));
  table_->setAccessibleName(QTr("GameWindows", "Turns"));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->setTextElideMode(Qt::ElideRight);
  table_->horizontalHeader()->setStretchLastSection(true);
  pendingLoad_ = new QTimer(this);
  pendingLoad_->setSingleShot(true);
  pendingLoad_->setInterval(QApplication::doubleClickInterval());
  connect(pendingLoad_, &QTimer::timeout, this, [this] {
    if (const int row = table_->currentRow(); row >= 0) ChooseRow(row);
  });
  connect(table_, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
    if (filling_ || row < 0 || row == previous) return;
    // A click on a label or a note may be the first of a double-click that edits it: the turn
    // is loaded once the second click did not come.
    if (pressedColumn_ == kLabelColumn || pressedColumn_ == table_->columnCount() - 1)
      pendingLoad_->start();
    else
      ChooseRow(row);
  });
  table_->installEventFilter(this);
  table_->viewport()->installEventFilter(this);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
    if (column != kLabelColumn && column != table_->columnCount() - 1) return;
    pendingLoad_->stop();
    actions_.annotate(TurnOfRow(row));
    // The board's turn is the one chosen again: the click before the edit loaded nothing.
    SetHistory(shown_);
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
  auto* figures = new QHBoxLayout;
  auto* of = new QLabel(QTr("GameWindows", "&Figures of:"), this);
  of->setBuddy(country_);
  figures->addWidget(of);
  figures->addWidget(country_);
  figures->addStretch();
  movesHeading_ = new QLabel(this);
  moves_ = new QListWidget(this);
  moves_->setObjectName(QStringLiteral("Moves"));
  moves_->setAccessibleName(QTr("GameWindows", "Moves"));
  moves_->installEventFilter(this);
  // A move chosen: the board after it, replayed.
  connect(moves_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    if (filling_) return;
    if (!shown_.replay) actions_.command(command::kReplayMoves);
    actions_.replayTo(static_cast<size_t>(moves_->row(item)) + 1);
  });
  replay_ = new QPushButton(this);
  replay_->setObjectName(QStringLiteral("ReplayMoves"));
  connect(replay_, &QPushButton::clicked, this, [this] {
    if (shown_.replay)
      actions_.leave();
    else
      actions_.command(command::kReplayMoves);
  });
  play_ = new QPushButton(this);
  play_->setObjectName(QStringLiteral("PlayMoves"));
  connect(play_, &QPushButton::clicked, this, [this] {
    if (!shown_.replay) actions_.command(command::kReplayMoves);
    actions_.play();
  });
  pace_ = new QComboBox(this);
  pace_->setObjectName(QStringLiteral("Pace"));
  pace_->setAccessibleName(QTr("GameWindows", "Pace"));
  for (const int ms : {250, 500, 1000, 2000, 4000})
    pace_->addItem(ms < 1000 ? QTr("GameWindows", "a move every %1 s").arg(ms / 1000.0)
                             : QTr("GameWindows", "a move every %1 s").arg(ms / 1000),
                   ms);
  pace_->setCurrentIndex(pace_->findData(1000));
  connect(pace_, &QComboBox::currentIndexChanged, this,
          [this] { actions_.pace(pace_->currentData().toInt()); });
  auto* replaying = new QHBoxLayout;
  replaying->addWidget(replay_);
  replaying->addWidget(play_);
  replaying->addWidget(pace_);
  replaying->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading_);
  layout->addLayout(figures);
  layout->addWidget(table_, 3);
  layout->addWidget(movesHeading_);
  layout->addWidget(moves_, 1);
  layout->addLayout(replaying);
  layout->addLayout(buttons);
  resize(620, 320);
}

// Alt+Left and Alt+Right step through the turns, not through the table's columns, where the
// window system did not take them as the shortcuts they are.
bool HistoryWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == table_->viewport()) {
    // Where a click lands decides whether choosing its row waits for a second click.
    if (event->type() == QEvent::MouseButtonPress)
      pressedColumn_ = table_->columnAt(static_cast<QMouseEvent*>(event)->position().toPoint().x());
    else if (event->type() == QEvent::MouseButtonRelease)
      QTimer::singleShot(0, this, [this] { pressedColumn_ = -1; });
    return QWidget::eventFilter(watched, event);
  }
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier) {
      if (const int row = table_->currentRow(); row >= 0) actions_.annotate(TurnOfRow(row));
      return true;
    }
    const Qt::KeyboardModifiers held = key->modifiers();
    if ((held & (Qt::AltModifier | Qt::ShiftModifier)) &&
        (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)) {
      const bool left = key->key() == Qt::Key_Left;
      // Ctrl+Alt (or Ctrl+Shift) steps through the moves replayed, Alt through the turns.
      if (held & Qt::ControlModifier)
        actions_.command(left ? command::kPreviousMove : command::kNextMove);
      else if (held & Qt::AltModifier)
        actions_.step(left ? -1 : 1);
      else
        return QWidget::eventFilter(watched, event);
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
  const bool movesChanged = history.current != shown_.current || history.moves != shown_.moves ||
                            history.file != shown_.file;
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
    // The countries to choose from, the one chosen kept where the game still has it.
    const int chosen = country_->currentData().toInt();
    country_->clear();
    country_->addItem(QTr("GameWindows", "Every country's Sum"), 0);
    for (uint16_t c : history.countries)
      country_->addItem(CountryHeading(history, c, QTr("GameWindows", "Country ")), c);
    country_->setCurrentIndex(std::max(0, country_->findData(chosen)));
    Fill();
  }
  // The moves of the turn on the board, in the order made; while they are replayed, the last one
  // the board shows made is chosen.
  if (movesChanged || moves_->count() == 0) {
    moves_->clear();
    if (history.current == 0) {
      movesHeading_->clear();
    } else if (!history.moves) {
      movesHeading_->setText(
          QTr("GameWindows", "Turn %1 was recorded without its moves.").arg(history.current));
    } else {
      movesHeading_->setText(QTr("GameWindows", "Moves of turn %1: %2")
                                 .arg(history.current)
                                 .arg(history.moves->size()));
      for (const std::string& move : *history.moves) moves_->addItem(QString::fromStdString(move));
    }
  }
  shown_.current = history.current;
  shown_.moves = history.moves;
  shown_.replay = history.replay;
  const bool replayable = history.moves && !history.moves->empty();
  replay_->setText(history.replay ? QTr("GameWindows", "&Leave Replay")
                                  : QTr("GameWindows", "&Replay Moves"));
  replay_->setEnabled(replayable || history.replay);
  play_->setText(history.replay && history.replay->playing ? QTr("GameWindows", "&Pause")
                                                           : QTr("GameWindows", "&Play"));
  play_->setEnabled(replayable);
  if (history.replay && history.replay->step > 0)
    moves_->setCurrentRow(static_cast<int>(history.replay->step) - 1);
  else
    moves_->setCurrentRow(-1);
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

void HistoryWindow::Fill() {
  const bool wasFilling = std::exchange(filling_, true);
  const GameHistory& history = shown_;
  const auto country = static_cast<uint16_t>(country_->currentData().toInt());
  using T = BoardDifference::Total;
  const T totals[] = {T::kIpc, T::kConvoy, T::kOil, T::kLand, T::kNaval};
  QStringList headers{QTr("GameWindows", "Turn"), QTr("GameWindows", "Label"),
                      QTr("GameWindows", "Recorded")};
  if (country == 0) {
    for (uint16_t c : history.countries)
      headers << kSum + QLatin1Char(' ') + CountryHeading(history, c, QString());
  } else {
    headers << kSum;
    for (T total : totals) headers << QString::fromLatin1(TotalName(total));
  }
  headers << QTr("GameWindows", "Note");
  const int current = table_->currentRow();
  table_->clear();
  table_->setColumnCount(static_cast<int>(headers.size()));
  table_->setHorizontalHeaderLabels(headers);
  if (country == 0)
    for (size_t i = 0; i < history.countries.size(); ++i)
      table_->horizontalHeaderItem(kFiguresColumn + static_cast<int>(i))
          ->setForeground(QColor::fromRgb(history.colours[i]).darker(130));
  table_->setRowCount(static_cast<int>(history.turns.size()));
  const auto figure = [&](int row, int column, int16_t value) {
    auto* item = new QTableWidgetItem(QString::number(value));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table_->setItem(row, column, item);
  };
  for (int row = 0; row < table_->rowCount(); ++row) {
    const TurnFigures& turn = history.turns[static_cast<size_t>(row)];
    auto* number = new QTableWidgetItem(QString::number(turn.turn.number));
    number->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(turn.turn.number));
    table_->setItem(row, 0, number);
    table_->setItem(row, kLabelColumn,
                    new QTableWidgetItem(QString::fromStdString(turn.turn.label)));
    table_->setItem(row, 2, new QTableWidgetItem(LocalTime(turn.turn.recorded)));
    int column = kFiguresColumn;
    if (country == 0) {
      for (uint16_t c : history.countries) figure(row, column++, SumOf(turn.Of(c)));
    } else {
      const CountryFigures f = turn.Of(country);
      figure(row, column++, SumOf(f));
      for (T total : totals) figure(row, column++, f[total]);
    }
    auto* note = new QTableWidgetItem(
        QString::fromStdString(turn.turn.note).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    note->setToolTip(QString::fromStdString(turn.turn.note));
    table_->setItem(row, column, note);
  }
  table_->resizeColumnsToContents();
  // A long note is cut to its column: the figures stay in view.
  const int noteColumn = table_->columnCount() - 1;
  table_->setColumnWidth(noteColumn, std::min(table_->columnWidth(noteColumn), kNoteWidth));
  if (current >= 0 && current < table_->rowCount()) table_->setCurrentCell(current, 0);
  filling_ = wasFilling;
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
  view_->setMouseTracking(true);
  view_->viewport()->setMouseTracking(true);
  view_->viewport()->installEventFilter(this);
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
  // The chart is drawn again only when what it charts changed, not at every step through the
  // turns or the moves of one.
  const auto figures = [](const GameHistory& h) {
    std::vector<std::vector<CountryFigures>> all;
    for (const TurnFigures& t : h.turns) all.push_back(t.countries);
    return all;
  };
  const bool same = SameTurns(history, history_) && history.colours == history_.colours &&
                    history.countryNames == history_.countryNames &&
                    history.alliances == history_.alliances &&
                    figures(history) == figures(history_);
  history_ = history;
  if (!same) Rebuild();
}

int TrendsWindow::Line::ValueAt(const TurnFigures& turn, BoardDifference::Total total) const {
  int value = 0;
  for (uint16_t country : members) value += turn.Of(country)[total];
  return value;
}

// A line per country, then the Sum of every country, then a line per alliance of the map.
std::vector<TrendsWindow::Line> TrendsWindow::Lines() const {
  std::vector<Line> lines;
  const QString unnamed = QTr("GameWindows", "Country ");
  for (size_t i = 0; i < history_.countries.size(); ++i)
    lines.push_back({CountryHeading(history_, history_.countries[i], unnamed),
                     QColor::fromRgb(history_.colours[i]),
                     {history_.countries[i]}});
  if (history_.countries.size() > 1) lines.push_back({kSum, QColor(Qt::black), history_.countries});
  for (const AllianceRow& row : history_.alliances) {
    if (row[0] == 0) continue;
    Line alliance{{}, QColor(Qt::darkGray), {}};
    for (int32_t c : row) {
      if (c <= 0 || c > UINT16_MAX) continue;
      const auto country = static_cast<uint16_t>(c);
      if (std::find(alliance.members.begin(), alliance.members.end(), country) !=
          alliance.members.end())
        continue;
      alliance.members.push_back(country);
      alliance.name += (alliance.name.isEmpty() ? QString() : QStringLiteral(" + ")) +
                       CountryHeading(history_, country, unnamed);
      const auto at = std::find(history_.countries.begin(), history_.countries.end(), country);
      if (alliance.members.size() == 1 && at != history_.countries.end())
        alliance.colour =
            QColor::fromRgb(history_.colours[static_cast<size_t>(at - history_.countries.begin())])
                .darker(150);
    }
    if (alliance.members.size() > 1) lines.push_back(std::move(alliance));
  }
  return lines;
}

// Where the pointer rests within 8 pixels of a point, the figures of every line there: lines of
// equal values are all named.
bool TrendsWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != view_->viewport() || event->type() != QEvent::MouseMove)
    return QDialog::eventFilter(watched, event);
  const QPointF at = static_cast<QMouseEvent*>(event)->position();
  const QString text = PointText(at);
  if (text.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(view_->viewport()->mapToGlobal(at.toPoint()), text, view_);
  return false;
}

QString TrendsWindow::PointText(QPointF at) const {
  constexpr double kReach = 8;
  const BoardDifference::Total shown = total();
  const std::vector<Line> lines = Lines();
  const QList<QAbstractSeries*> series = chart_->series();
  // The turn and value nearest the pointer among the points within reach.
  double best = kReach;
  QPointF value;
  for (QAbstractSeries* s : series)
    for (const QPointF p : static_cast<QLineSeries*>(s)->points()) {
      const QPointF onScreen = view_->mapFromScene(chart_->mapToScene(chart_->mapToPosition(p, s)));
      const double d = std::hypot(onScreen.x() - at.x(), onScreen.y() - at.y());
      if (d <= best) best = d, value = p;
    }
  if (best == kReach && value.isNull()) return {};
  const TurnFigures* turn = nullptr;
  for (const TurnFigures& t : history_.turns)
    if (static_cast<double>(t.turn.number) == value.x()) turn = &t;
  if (!turn) return {};
  QStringList names;
  for (const Line& line : lines)
    if (line.ValueAt(*turn, shown) == static_cast<int>(value.y())) names << line.name;
  return QTr("GameWindows", "%1, turn %2 \"%3\": %4 %5")
      .arg(names.join(QStringLiteral(", ")))
      .arg(turn->turn.number)
      .arg(QString::fromStdString(turn->turn.label))
      .arg(QString::fromLatin1(TotalName(shown)))
      .arg(static_cast<int>(value.y()));
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
  for (const Line& line : Lines()) {
    auto* series = new QLineSeries;
    series->setName(line.name);
    QPen pen(line.colour, line.members.size() == 1 ? 2 : 3);
    if (line.members.size() != 1) pen.setStyle(Qt::DashLine);
    series->setPen(pen);
    // Every point marked, so that lines of equal values stay told apart where they meet.
    series->setPointsVisible(history_.turns.size() <= 60);
    series->setMarkerSize(line.members.size() == 1 ? 7 : 5);
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(history_.turns.size()));
    for (const TurnFigures& turn : history_.turns) {
      const int value = line.ValueAt(turn, shown);
      low = std::min(low, value);
      high = std::max(high, value);
      points.append(QPointF(static_cast<double>(turn.turn.number), value));
    }
    series->replace(points);
    chart_->addSeries(series);
    series->attachAxis(turns);
    series->attachAxis(values);
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
  // The columns are the lines of the chart, named as its legend names them.
  const std::vector<Line> lines = Lines();
  std::string csv = "Turn,Label,Recorded";
  for (const Line& line : lines)
    csv += ',' + CsvField(line.name.toStdString() + " " + TotalName(shown));
  csv += "\r\n";
  for (const TurnFigures& turn : history_.turns) {
    csv += std::to_string(turn.turn.number) + ',' + CsvField(turn.turn.label) + ',' +
           turn.turn.recorded;
    for (const Line& line : lines) csv += ',' + std::to_string(line.ValueAt(turn, shown));
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
