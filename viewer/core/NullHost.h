// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Host.h"

namespace mw {

// A host without windows, for running the viewer headless: questions are answered with
// `answer` (a label or a turn asked for takes the proposal), dialogs are cancelled, and nothing
// is shown. Sizes are those of a window large enough for any map.
class NullHost : public Questions,
                 public FileDialogs,
                 public Surface,
                 public WindowFrame,
                 public Menus,
                 public ToolWindows,
                 public BoardWindows {
 public:
  explicit NullHost(bool answer = false) : answer_(answer) {}

  // Questions
  bool Confirm(const std::string&, const std::string&) override { return answer_; }
  bool ConfirmAction(const std::string&, const std::string&, const std::string&) override {
    return answer_;
  }
  RestoreAnswer AskRestore(const std::string&, const std::string&) override {
    return answer_ ? RestoreAnswer::kRestore : RestoreAnswer::kKeep;
  }
  DiscardAnswer AskDiscard(const DiscardQuestion&) override {
    return answer_ ? DiscardAnswer::kDiscard : DiscardAnswer::kCancel;
  }
  void ShowError(const std::string&) override {}
  std::optional<TurnText> AskTurnText(const std::string&, const TurnText& proposed) override {
    return proposed;
  }
  std::optional<int64_t> AskTurnNumber(const std::string&, const std::string&,
                                       int64_t last) override {
    return last;
  }
  void ShowUnitList(const std::string&) override {}
  // FileDialogs
  std::optional<std::string> ChooseOpenFile() override { return std::nullopt; }
  std::optional<std::string> ChooseSaveFile(bool) override { return std::nullopt; }
  std::optional<std::string> ChooseCompareFile(const std::string&) override { return std::nullopt; }
  std::optional<std::string> ChooseGameFile(bool) override { return std::nullopt; }
  void SetFolder(const std::string&) override {}
  // Surface
  void InvalidateMap(const QRect&) override {}
  void SetTitle(const std::string&) override {}
  void ShowStatus(StatusField, const std::string&) override {}
  void ReportFailure(const Failure&) override {}
  void SetCursor(CursorKind) override {}
  void BeginWait() override {}
  void EndWait() override {}
  void DescribeCrosshair(const std::string&) override {}
  void AfterPaint(std::function<void()> task) override { task(); }
  // WindowFrame
  QSize ClientSize() override { return QSize(0, 0); }
  QSize FrameExtra() override { return QSize(0, 0); }
  QSize MaximizedSize() override { return QSize(65535, 65535); }
  bool IsMaximized() override { return false; }
  void SetMaximumWindowSize(QSize) override {}
  void ResizeWindow(QSize) override {}
  // Menus
  void SetMenuCheck(int, bool) override {}
  void SetCatalogue(const std::vector<CatalogueEntry>&) override {}
  void SetRecent(const std::vector<RecentEntry>&) override {}
  // ToolWindows
  void InvalidateInfoView() override {}
  std::optional<QPoint> ToolWindowPosition(ToolWindow) override { return std::nullopt; }
  void RecreateToolWindow(ToolWindow, std::optional<QPoint>, bool) override {}
  void ShowToolWindow(ToolWindow, bool) override {}
  void ShowFindSector() override {}
  void ShowAbout() override {}
  void ShowPackageCheck(const std::string&, const Result<PackageReport>&, bool) override {}
  // BoardWindows
  void ShowChanges(const std::string&, const std::vector<ChangeLine>&) override {}
  void CloseChanges() override {}
  void ShowHistory(const GameHistory&) override {}
  void HideHistory() override {}
  void ShowTrends(const GameHistory&, bool) override {}
  void WatchGameFile(const std::string&) override {}
  void PlayMoves(int) override {}

 private:
  bool answer_;
};

}  // namespace mw
