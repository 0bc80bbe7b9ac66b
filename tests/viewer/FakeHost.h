// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <map>

#include "Host.h"

namespace mw::test {

// A host of every job that records what the viewer asks of the windows and answers prompts and
// dialogs from queues the test fills beforehand (an empty queue answers Cancel). A question with
// an action ("Record Anyway") is asked as an OK/Cancel one; the compare dialog answers as the open
// dialog does, the game dialog as the save dialog (to make one) or the open dialog; a label or a
// turn asked for takes the proposal unless the test queued another.
class FakeHost : public Questions,
                 public FileDialogs,
                 public Surface,
                 public WindowFrame,
                 public Menus,
                 public ToolWindows,
                 public BoardWindows {
 public:
  bool ConfirmAction(const std::string& text, const std::string& caption,
                     const std::string&) override {
    return Confirm(text, caption);
  }
  std::optional<int64_t> AskTurnNumber(const std::string&, const std::string&,
                                       int64_t last) override {
    return last;
  }
  std::optional<std::string> ChooseCompareFile(const std::string&) override {
    return ChooseOpenFile();
  }
  std::optional<std::string> ChooseGameFile(bool create) override {
    return create ? ChooseSaveFile(true) : ChooseOpenFile();
  }
  void SetFolder(const std::string& f) override { folder = f; }
  void DescribeCrosshair(const std::string& text) override { crosshair = text; }
  // Run at once, as by a host that paints nothing, unless the test holds them for a paint.
  void AfterPaint(std::function<void()> task) override {
    if (holdAfterPaint)
      afterPaint.push_back(std::move(task));
    else
      task();
  }
  // The paint: what was held for after it runs.
  void Paint() {
    for (auto tasks = std::exchange(afterPaint, {}); auto& task : tasks) task();
  }
  void SetRecent(const std::vector<RecentEntry>& entries) override { recent = entries; }
  void ShowFindSector() override { ++findSectors; }
  void WatchGameFile(const std::string& path) override { watched = path; }
  void PlayMoves(int milliseconds) override { playPace = milliseconds; }
  bool Confirm(const std::string& text, const std::string& caption) override {
    prompts.push_back(caption + ": " + text);
    if (answers.empty()) return false;
    const bool ok = answers.front();
    answers.pop_front();
    return ok;
  }
  // The question before unsaved changes are given up: answered from `discards` while it holds
  // answers, else as an OK/Cancel question.
  // The offer of a recovery copy: from `restores` while it holds answers, else OK restores and
  // Cancel keeps the copy.
  RestoreAnswer AskRestore(const std::string& text, const std::string& caption) override {
    if (restores.empty())
      return Confirm(text, caption) ? RestoreAnswer::kRestore : RestoreAnswer::kKeep;
    prompts.push_back(caption + ": " + text);
    const RestoreAnswer answer = restores.front();
    restores.pop_front();
    return answer;
  }
  DiscardAnswer AskDiscard(const DiscardQuestion& q) override {
    discardQuestions.push_back(q);
    if (discards.empty())
      return Confirm(q.text, q.caption) ? DiscardAnswer::kDiscard : DiscardAnswer::kCancel;
    prompts.push_back(q.caption + ": " + q.text);
    const DiscardAnswer answer = discards.front();
    discards.pop_front();
    return answer;
  }
  std::optional<std::string> ChooseOpenFile() override { return Next(openChoices, ++openDialogs); }
  std::optional<std::string> ChooseSaveFile(bool proposeNative) override {
    proposals.push_back(proposeNative);
    return Next(saveChoices, ++saveDialogs);
  }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void InvalidateMap(const QRect& client) override { invalidated.push_back(client); }
  void InvalidateInfoView() override { ++infoViewRepaints; }
  void SetTitle(const std::string& t) override {
    title = t;
    ++titleChanges;
  }
  void ShowStatus(StatusField field, const std::string& text) override { status[field] = text; }
  void ReportFailure(const Failure& failure) override {
    failures.push_back(failure);
    const FailureWords words = WordsFor(failure);
    status[StatusField::kMessage] = words.status;
    if (!words.box.empty()) errors.push_back(words.box);
  }
  void SetCursor(CursorKind c) override { cursor = c; }
  void BeginWait() override { ++waits; }
  void EndWait() override { --waits; }
  QSize ClientSize() override { return client; }
  QSize FrameExtra() override { return frame; }
  QSize MaximizedSize() override { return maximizedSize; }
  bool IsMaximized() override { return maximized; }
  void SetMaximumWindowSize(QSize outer) override { maximumSize = outer; }
  void ResizeWindow(QSize outer) override {
    resizes.push_back(outer);
    client = outer - frame;
  }
  std::optional<QPoint> ToolWindowPosition(ToolWindow which) override {
    auto it = windows.find(which);
    if (it == windows.end()) return std::nullopt;
    return it->second.position;
  }
  void RecreateToolWindow(ToolWindow which, std::optional<QPoint> position, bool shown) override {
    windows[which] = {position.value_or(kPlacedByTheWindow), shown};
    ++recreations;
  }
  void ShowToolWindow(ToolWindow which, bool shown) override { windows[which].shown = shown; }
  void SetMenuCheck(int id, bool checked) override { checks[id] = checked; }
  void SetCatalogue(const std::vector<CatalogueEntry>& entries) override { catalogue = entries; }
  void ShowAbout() override { ++aboutBoxes; }
  void ShowUnitList(const std::string& text) override { unitLists.push_back(text); }
  void ShowPackageCheck(const std::string& name, const Result<PackageReport>& report,
                        bool open) override {
    // The report is open once opened.
    if (!open && checkOpened == 0) return;
    checkedPackage = name;
    checkOpened += open;
    checkFindings.clear();
    if (report)
      for (const Finding& f : report->findings) checkFindings.push_back(f.Line());
  }

  void ShowChanges(const std::string& file, const std::vector<ChangeLine>& lines) override {
    changesSince = file;
    changes = lines;
    changesShown = true;
  }
  void CloseChanges() override { changesShown = false; }
  std::optional<TurnText> AskTurnText(const std::string& title, const TurnText& proposed) override {
    turnTitles.push_back(title);
    if (turnTexts.empty()) return proposed;
    auto text = turnTexts.front();
    turnTexts.pop_front();
    return text;
  }
  void ShowHistory(const GameHistory& shown) override {
    history = shown;
    historyShown = true;
  }
  void HideHistory() override { historyShown = false; }
  void ShowTrends(const GameHistory& shown, bool open) override {
    if (open) trends = shown;
  }

  struct WindowState {
    QPoint position;
    bool shown = false;
  };
  // Where the window puts a tool window that the viewer has no place for.
  static constexpr QPoint kPlacedByTheWindow{1700, 40};

  std::string crosshair;  // what a screen reader was told of the crosshair last
  std::vector<RecentEntry> recent;
  int findSectors = 0;
  std::string watched;  // the game file the window looks at
  int playPace = 0;     // how often the moves replayed step, 0 while they do not play
  bool holdAfterPaint = false;
  std::vector<std::function<void()>> afterPaint;
  std::deque<bool> answers;
  std::deque<DiscardAnswer> discards;
  std::deque<RestoreAnswer> restores;
  std::vector<DiscardQuestion> discardQuestions;  // every one asked
  std::string folder;                             // where the file dialogs open
  std::deque<std::optional<std::string>> openChoices, saveChoices;
  std::vector<std::string> prompts, errors, unitLists;
  std::vector<Failure> failures;  // in the order they were reported
  std::vector<bool> proposals;
  std::vector<QRect> invalidated;
  std::vector<QSize> resizes;
  std::map<ToolWindow, WindowState> windows;
  std::map<int, bool> checks;
  std::map<StatusField, std::string> status;
  std::vector<CatalogueEntry> catalogue;
  std::string title;
  std::string checkedPackage;
  std::vector<std::string> checkFindings;
  int checkOpened = 0;  // how often the report was opened or brought up
  std::string changesSince;
  std::vector<ChangeLine> changes;
  bool changesShown = false;
  // The answers to the questions for a turn's label and note (an empty queue takes the
  // proposal), and the titles they were asked under.
  std::deque<std::optional<TurnText>> turnTexts;
  std::vector<std::string> turnTitles;
  GameHistory history;  // what the History window shows
  bool historyShown = false;
  std::optional<GameHistory> trends;  // what the Trends window was opened with
  CursorKind cursor = CursorKind::kArrow;
  QSize client{800, 600}, frame{16, 62}, maximizedSize{1920, 1040}, maximumSize;
  bool maximized = false;
  int openDialogs = 0, saveDialogs = 0, infoViewRepaints = 0, titleChanges = 0, waits = 0,
      recreations = 0, aboutBoxes = 0;

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& q, int) {
    if (q.empty()) return std::nullopt;
    auto v = q.front();
    q.pop_front();
    return v;
  }
};

}  // namespace mw::test
