// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QDialog>
#include <QPointF>
#include <QWidget>
#include <functional>

#include "Host.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTimer;

namespace mw {

// "History": the game's turns, a row each: number, label, when recorded, the figures of the
// country chosen above the table (or every country's Sum), and the note, last and cut to its
// column with the whole of it as a tooltip. Choosing a row puts its turn on the board; editing a
// label or note (a double-click or F2) does not.
class HistoryWindow : public QWidget {
 public:
  struct Actions {
    std::function<bool(int64_t)> goTo;  // false when the board stayed as it was
    std::function<void(int)> step;      // to the turn before (-1) or after (1)
    std::function<void(int64_t)> annotate;
    std::function<void()> trends;
    std::function<void()> closed;
    // The moves replayed: a command of the menus (Replay Moves, Next and Previous Move), the
    // board after a number of them, play or pause, the pace in milliseconds, and leaving.
    std::function<void(int)> command;
    std::function<void(size_t)> replayTo;
    std::function<void()> play;
    std::function<void(int)> pace;
    std::function<void()> leave;
  };
  HistoryWindow(QWidget* owner, Actions actions);
  void SetHistory(const GameHistory& history);
  QTableWidget* table() const { return table_; }
  // The moves of the turn on the board, in words, and what replays them.
  QListWidget* moves() const { return moves_; }
  QPushButton* replayButton() const { return replay_; }
  QPushButton* playButton() const { return play_; }
  QComboBox* pace() const { return pace_; }
  // The country whose figures the table shows, or 0 for every country's Sum.
  QComboBox* country() const { return country_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ChooseRow(int row);
  int64_t TurnOfRow(int row) const;
  void Fill();

  Actions actions_;
  QLabel* heading_;
  QComboBox* country_;
  QTableWidget* table_;
  QLabel* movesHeading_;
  QListWidget* moves_;
  QPushButton* replay_;
  QPushButton* play_;
  QComboBox* pace_;
  // A row chosen by a click on its label or note loads once no second click made it an edit.
  QTimer* pendingLoad_;
  int pressedColumn_ = -1;
  GameHistory shown_;     // what the table shows, to rebuild it only when it changed
  bool filling_ = false;  // the window, not the user, is choosing a row
};

// "Trends": a chart of every country's IPC (or Convoy, Oil, Land, Naval) over the turns, each
// country in its colour, with the Sum of every country and the total of each alliance dashed;
// every point marked and its figures shown where the pointer comes within 8 pixels of it; saved
// as a PNG picture or as CSV for spreadsheets, the columns named as the legend names the lines.
class TrendsWindow : public QDialog {
 public:
  explicit TrendsWindow(QWidget* owner);
  void SetHistory(const GameHistory& history);
  // The total charted.
  void ShowTotal(BoardDifference::Total total);
  BoardDifference::Total total() const;
  QChart* chart() const { return chart_; }
  // The chart as a picture, and the figures charted: Turn, Label, Recorded, then a column per
  // country.
  Status SavePng(const std::string& path) const;
  Status SaveCsv(const std::string& path) const;

  // The words of the chart's points within reach of a point of the view: every line there, the
  // turn and the value; empty where none is near.
  QString PointText(QPointF at) const;
  QChartView* view() const { return view_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A line of the chart: one country, or the sum of several (every country, an alliance).
  struct Line {
    QString name;
    QColor colour;
    std::vector<uint16_t> members;
    int ValueAt(const TurnFigures& turn, BoardDifference::Total total) const;
  };
  std::vector<Line> Lines() const;
  void Rebuild();
  void Save(bool png);

  GameHistory history_;
  QComboBox* totals_;
  QChart* chart_;
  QChartView* view_;
};

}  // namespace mw
