// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "Host.h"

namespace mw::test {

// The window's questions and file dialogs answered by the test: each hook answers its question
// or dialog when set. Unset, a question is answered Cancel (a question with an action as the
// OK/Cancel hook answers it, where that is set), a dialog is cancelled, a label or a turn takes
// the proposal, and an error or the unit list is passed over; nothing ever blocks.
class ScriptedDialogs : public Questions, public FileDialogs {
 public:
  std::function<bool(const std::string& text, const std::string& caption)> confirm;
  std::function<bool(const std::string& text, const std::string& action)> confirmAction;
  std::function<DiscardAnswer(const std::string& text, const std::string& caption)> discard;
  std::function<void(const std::string& text)> error;
  std::function<std::optional<std::pair<std::string, std::string>>(const std::string& label,
                                                                   const std::string& note)>
      turnText;
  std::function<std::optional<int64_t>(const std::string& game, int64_t last)> turnNumber;
  std::function<void(const std::string& text)> unitList;
  std::function<std::optional<std::string>()> openFile;
  std::function<std::optional<std::string>(bool proposeNative)> saveFile;
  std::function<std::optional<std::string>(const std::string& folder)> compareFile;
  std::function<std::optional<std::string>(bool create)> gameFile;

  bool Confirm(const std::string& text, const std::string& caption) override {
    return confirm && confirm(text, caption);
  }
  bool ConfirmAction(const std::string& text, const std::string& caption,
                     const std::string& action) override {
    if (confirmAction) return confirmAction(text, action);
    return Confirm(text, caption);
  }
  RestoreAnswer AskRestore(const std::string& text, const std::string& caption) override {
    return Confirm(text, caption) ? RestoreAnswer::kRestore : RestoreAnswer::kKeep;
  }
  DiscardAnswer AskDiscard(const DiscardQuestion& q) override {
    if (discard) return discard(q.text, q.caption);
    return Confirm(q.text, q.caption) ? DiscardAnswer::kDiscard : DiscardAnswer::kCancel;
  }
  void ShowError(const std::string& text) override {
    if (error) error(text);
  }
  std::optional<TurnText> AskTurnText(const std::string&, const TurnText& proposed) override {
    if (!turnText) return proposed;
    const auto text = turnText(proposed.label, proposed.note);
    return text ? std::optional(TurnText{text->first, text->second}) : std::nullopt;
  }
  std::optional<int64_t> AskTurnNumber(const std::string&, const std::string& game,
                                       int64_t last) override {
    return turnNumber ? turnNumber(game, last) : std::optional(last);
  }
  void ShowUnitList(const std::string& text) override {
    if (unitList) unitList(text);
  }
  std::optional<std::string> ChooseOpenFile() override {
    return openFile ? openFile() : std::nullopt;
  }
  std::optional<std::string> ChooseSaveFile(bool proposeNative) override {
    return saveFile ? saveFile(proposeNative) : std::nullopt;
  }
  std::optional<std::string> ChooseCompareFile(const std::string& folder) override {
    return compareFile ? compareFile(folder) : std::nullopt;
  }
  std::optional<std::string> ChooseGameFile(bool create) override {
    return gameFile ? gameFile(create) : std::nullopt;
  }
  void SetFolder(const std::string& f) override { folder = f; }
  std::string folder;
};

}  // namespace mw::test
