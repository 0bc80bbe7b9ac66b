#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>

#include "Host.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QTableWidget;

namespace mw {

// "History": the game's turns, a row each: number, label, when recorded, note, and every
// country's IPC. Choosing a row loads its turn onto the board; double-clicking its label or note
// (or "Edit Label and Note ...") changes them. The board's turn stays chosen.
class HistoryWindow : public QWidget {
 public:
  struct Actions {
    std::function<bool(int64_t)> goTo;  // false when the board stayed as it was
    std::function<void(int)> step;      // to the turn before (-1) or after (1)
    std::function<void(int64_t)> annotate;
    std::function<void()> trends;
    std::function<void()> closed;
  };
  HistoryWindow(QWidget* owner, Actions actions);
  void SetHistory(const GameHistory& history);
  QTableWidget* table() const { return table_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ChooseRow(int row);
  int64_t TurnOfRow(int row) const;

  Actions actions_;
  QLabel* heading_;
  QTableWidget* table_;
  GameHistory shown_;     // what the table shows, to rebuild it only when it changed
  bool filling_ = false;  // the window, not the user, is choosing a row
};

// "Trends": a chart of every country's IPC (or Convoy, Oil, Land, Naval) over the turns, each
// country in its colour, the values shown as a tooltip where the pointer rests on a line; saved
// as a PNG picture or as CSV for spreadsheets.
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

 private:
  void Rebuild();
  void Save(bool png);

  GameHistory history_;
  QComboBox* totals_;
  QChart* chart_;
  QChartView* view_;
};

}  // namespace mw
