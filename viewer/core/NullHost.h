#pragma once

#include "Host.h"

namespace mw {

// A host without windows, for running the viewer headless: questions are answered with
// `answer`, dialogs are cancelled, and nothing is shown. Sizes are those of a window large enough
// for any map.
class NullHost : public Host {
 public:
  explicit NullHost(bool answer = false) : answer_(answer) {}

  bool Confirm(const std::string&, const std::string&) override { return answer_; }
  std::optional<std::string> ChooseOpenFile() override { return std::nullopt; }
  std::optional<std::string> ChooseSaveFile(bool) override { return std::nullopt; }
  void ShowError(const std::string&) override {}
  void InvalidateMap(const QRect&) override {}
  void InvalidateInfoView() override {}
  void SetTitle(const std::string&) override {}
  void ShowStatus(StatusField, const std::string&) override {}
  void SetCursor(CursorKind) override {}
  void BeginWait() override {}
  void EndWait() override {}
  QSize ClientSize() override { return QSize(0, 0); }
  QSize FrameExtra() override { return QSize(0, 0); }
  QSize MaximizedSize() override { return QSize(65535, 65535); }
  bool IsMaximized() override { return false; }
  void SetMaximumWindowSize(QSize) override {}
  void ResizeWindow(QSize) override {}
  std::optional<QPoint> ToolWindowPosition(ToolWindow) override { return std::nullopt; }
  void RecreateToolWindow(ToolWindow, std::optional<QPoint>, bool) override {}
  void ShowToolWindow(ToolWindow, bool) override {}
  void SetMenuCheck(int, bool) override {}
  void SetCatalogue(const std::vector<CatalogueEntry>&) override {}
  void ShowAbout() override {}
  void ShowUnitList(const std::string&) override {}
  void ShowPackageCheck(const std::string&, const Result<PackageReport>&) override {}

 private:
  bool answer_;
};

}  // namespace mw
