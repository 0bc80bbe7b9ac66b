// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "Host.h"
#include "PackageCheck.h"
#include "Reports.h"

class QLabel;
class QListWidget;
class QWidget;

namespace mw {

// The file dialogs of the viewer, with the titles and filters of its position formats.
inline const QString kTessWinMapFilter = QStringLiteral("TessWinMap (*.MAP)");
inline const QString kNativeFilter = QStringLiteral("Corvane Map (*.QPX)");
inline const QString kAllMapfilesFilter = QStringLiteral("All Mapfiles (*.MAP *.QPX)");

std::optional<std::string> ShowOpenFileDialog(QWidget* owner, const std::string& folder = {});
// The position file to compare the board with, the dialog opened in `folder` where one is given.
std::optional<std::string> ShowCompareFileDialog(QWidget* owner, const std::string& folder);
std::optional<std::string> ShowSaveFileDialog(QWidget* owner, bool proposeNative,
                                              const std::string& folder = {});
// A game file: a new one to record into (`create`: a save dialog) or one to open.
std::optional<std::string> ShowGameFileDialog(QWidget* owner, bool create,
                                              const std::string& folder = {});
// "Record Turn", or the editing of a turn recorded: the label (proposed) and an optional note of
// the turn; none when cancelled.
std::optional<std::pair<std::string, std::string>> AskTurnTextDialog(QWidget* owner,
                                                                     const QString& title,
                                                                     const std::string& label,
                                                                     const std::string& note);

// Which turn of a game: a number from 1 to `last`, `last` proposed; none when cancelled.
std::optional<int64_t> AskTurnNumberDialog(QWidget* owner, const QString& title,
                                           const std::string& game, int64_t last);

// A question whose yes is `action` and whose default answer is Cancel.
bool ConfirmActionBox(QWidget* owner, const std::string& text, const std::string& caption,
                      const std::string& action);

// The window's questions and file dialogs, asked with the real boxes and dialogs over `owner`.
class WindowDialogs : public Questions, public FileDialogs {
 public:
  explicit WindowDialogs(QWidget* owner) : owner_(owner) {}

  bool Confirm(const std::string& text, const std::string& caption) override;
  bool ConfirmAction(const std::string& text, const std::string& caption,
                     const std::string& action) override;
  DiscardAnswer AskDiscard(const DiscardQuestion& question) override;
  RestoreAnswer AskRestore(const std::string& text, const std::string& caption) override;
  void ShowError(const std::string& text) override;
  std::optional<TurnText> AskTurnText(const std::string& title, const TurnText& proposed) override;
  std::optional<int64_t> AskTurnNumber(const std::string& title, const std::string& game,
                                       int64_t last) override;
  void ShowUnitList(const std::string& text) override;
  std::optional<std::string> ChooseOpenFile() override {
    return ShowOpenFileDialog(owner_, folder_);
  }
  std::optional<std::string> ChooseSaveFile(bool proposeNative) override {
    return ShowSaveFileDialog(owner_, proposeNative, folder_);
  }
  std::optional<std::string> ChooseCompareFile(const std::string& folder) override {
    return ShowCompareFileDialog(owner_, folder.empty() ? folder_ : folder);
  }
  std::optional<std::string> ChooseGameFile(bool create) override {
    return ShowGameFileDialog(owner_, create, folder_);
  }
  void SetFolder(const std::string& folder) override { folder_ = folder; }

 private:
  QWidget* owner_;
  std::string folder_;
};

// "LIst Units": the unit list as read-only text with a scroll bar and an "Ok" button.
class UnitListDialog : public QDialog {
 public:
  UnitListDialog(QWidget* owner, const std::string& text);
};

// "Income of country N": every sector the country holds, what it yields under which heading or
// why it yields nothing, and the sums, which are the info view's figures.
class IncomeDialog : public QDialog {
 public:
  IncomeDialog(QWidget* owner, const class Position& position, int country);
};

// "Check Map": what the package checker found in the open package, a finding a line with the
// summary under them. Double-clicking a finding that has a map point (or Enter on it) shows the
// point on the map.
class PackageCheckDialog : public QDialog {
 public:
  // `markPoint` marks a finding's map point as it is chosen, and takes the mark away (none) when
  // a finding without one is chosen or the dialog closes.
  PackageCheckDialog(QWidget* owner, std::function<void(std::optional<QPoint>)> markPoint);
  // Shows a check of the package: findings it no longer has go (the mark of the one chosen
  // with it), new ones are added and the first of them is chosen; the one chosen stays where it
  // is still found.
  void SetReport(const std::string& packageName, const Result<PackageReport>& report);
  QListWidget* list() const { return list_; }

 private:
  std::function<void(std::optional<QPoint>)> markPoint_;
  QListWidget* list_;
  QLabel* summary_;
};

// "Changes": what changed from a position file to the board, a line each, kept in step with the
// board while it is open. Double-clicking a line (or Enter on it) centres the map on its sector;
// Esc or the close button closes it, and that ends the comparison.
class ChangesWindow : public QDialog {
 public:
  ChangesWindow(QWidget* owner, std::function<void(int)> showSector);
  void SetLines(const std::string& file, const std::vector<ChangeLine>& lines);
  QListWidget* list() const { return list_; }

 private:
  QLabel* since_;
  QListWidget* list_;
};

// "About CorvaneMap": the program's name and version.
class AboutDialog : public QDialog {
 public:
  explicit AboutDialog(QWidget* owner);
};

}  // namespace mw
