// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRegion>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "NullHost.h"
#include "Result.h"
#include "Viewer.h"

namespace mw {

// One line of a replay script: a user event as the window forwards it to the viewer, an answer
// for later prompts and dialogs, or a request to print what the program shows.
struct ReplayLine {
  enum class Kind {
    kPress,
    kRelease,
    kMove,
    kResize,
    kKey,
    kKeyDown,
    kKeyUp,
    kWheel,
    kShot,
    kPalette,
    kPaletteEscape,
    kCommand,
    kAnswer,
    kDialog,
    kLabel,
    kPrintTotals,
    kPrintUnits,
    kPrintTitle,
    kPrintDirty
  };
  Kind kind = Kind::kMove;
  MouseButton button = MouseButton::kLeft;
  QPoint point;  // client point, or the size for kResize
  QPoint delta;  // kWheel: the wheel's turn in pixels
  unsigned modifiers = kNoModifiers;
  Key key = Key::kOther;
  int command = 0;
  bool ok = true;                   // kAnswer
  std::optional<std::string> path;  // kDialog: none to cancel; kShot: the PNG to write
  std::string text;                 // kLabel: the label of the turns recorded
};

// Reads one line; none for a blank line or a comment ("#" starts one). The error says what is
// wrong with the line.
Result<std::optional<ReplayLine>> ParseReplayLine(std::string_view line);
// Reads a whole script; the error names the first line that cannot be read ("line N: ...").
Result<std::vector<ReplayLine>> ParseReplayScript(std::string_view text);

// The largest map area a replay starts with: what a maximised window on a common screen gives.
inline constexpr QSize kReplayClientLimit{1920, 1080};

// A window that is not there: the map area has the size the viewer fits it to, prompts are answered
// as the script said and written to `out` as "prompt: <text>", dialogs answered as the script said.
// It keeps what the map area shows as a window keeps it: only what the viewer asks to repaint is
// painted again.
class ReplayHost : public NullHost {
 public:
  explicit ReplayHost(std::ostream& out) : out_(out) {}

  void SetAnswer(bool ok) { answer_ = ok; }
  void SetDialog(std::optional<std::string> path) { dialog_ = std::move(path); }
  void SetTurnLabel(std::string label) { label_ = std::move(label); }
  void SetClientSize(QSize size) { client_ = size; }
  const std::string& title() const { return title_; }

  // Every question is printed as "prompt: <text>" and answered as the script said; every dialog
  // answers the path the script gave.
  bool Confirm(const std::string& text, const std::string& caption) override;
  bool ConfirmAction(const std::string& text, const std::string& caption,
                     const std::string&) override {
    return Confirm(text, caption);
  }
  RestoreAnswer AskRestore(const std::string& text, const std::string& caption) override {
    return Confirm(text, caption) ? RestoreAnswer::kRestore : RestoreAnswer::kKeep;
  }
  DiscardAnswer AskDiscard(const DiscardQuestion& q) override {
    return Confirm(q.text, q.caption) ? DiscardAnswer::kDiscard : DiscardAnswer::kCancel;
  }
  std::optional<std::string> ChooseOpenFile() override { return dialog_; }
  std::optional<std::string> ChooseSaveFile(bool) override { return dialog_; }
  std::optional<std::string> ChooseCompareFile(const std::string&) override { return dialog_; }
  std::optional<std::string> ChooseGameFile(bool) override { return dialog_; }
  // The label the script gave, else the one proposed; no note.
  std::optional<TurnText> AskTurnText(const std::string&, const TurnText& proposed) override {
    return TurnText{label_.empty() ? proposed.label : label_, {}};
  }
  void SetFolder(const std::string&) override {}
  void ShowError(const std::string& text) override;
  // What a save, an export or a load said in the status bar, as "status: <text>".
  void ShowStatus(StatusField field, const std::string& text) override;
  // A failure as the window says it: its status line, then "error: <text>" for its box.
  void ReportFailure(const Failure& failure) override;
  void SetTitle(const std::string& title) override { title_ = title; }
  QSize ClientSize() override { return client_; }
  QSize MaximizedSize() override { return kReplayClientLimit; }
  // The window only ever shrinks to the picture: the map area takes the new size.
  void ResizeWindow(QSize outer) override { client_ = outer; }
  void InvalidateMap(const QRect& client) override;
  // Kept until the paint that follows the line, as the window's event loop keeps it.
  void AfterPaint(std::function<void()> task) override { later_.push_back(std::move(task)); }
  // Runs what was kept for after the paint; false when there was nothing.
  bool RunLater();

  // Paints what was asked to be repainted since the last time, as the map area's paint event
  // does; the map area then shows `screen()`.
  void Repaint(const Viewer& viewer);
  const QImage& screen() const { return screen_; }

 private:
  std::ostream& out_;
  bool answer_ = true;
  std::optional<std::string> dialog_;
  std::string label_;
  QSize client_ = kReplayClientLimit;
  std::string title_;
  QImage screen_;
  QRegion stale_;
  std::vector<std::function<void()>> later_;
};

// Paints all of the map area as the window paints it, the map composed anew rather than taken
// from the kept tiles: what the window must show.
QImage FreshMapArea(const Viewer& viewer, QSize client);

// A viewer driven by a script: it starts as the main window does (the default start position,
// then `position`, then its map), then takes the lines one by one.
class Replay {
 public:
  Replay(const std::filesystem::path& programDir, std::ostream& out);
  // Fails when `position` cannot be read.
  Status Start(const std::string& position);
  // Runs a line, then paints what the window would repaint after it.
  void Run(const ReplayLine& line);
  Viewer& viewer() { return viewer_; }
  const Viewer& viewer() const { return viewer_; }
  // What the map area shows now, and what it should show.
  const QImage& screen() const { return host_.screen(); }
  QImage freshScreen() const { return FreshMapArea(viewer_, host_.screen().size()); }

 private:
  void Take(const ReplayLine& line);
  // Paints what the line changed, then what came after that paint, as the window does.
  void Paint();
  void Shot(const std::string& path);

  std::ostream& out_;
  ReplayHost host_;
  Viewer viewer_;
};

}  // namespace mw
