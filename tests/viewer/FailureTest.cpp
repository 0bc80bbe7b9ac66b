// SPDX-License-Identifier: GPL-3.0-or-later
// Every failure is said the same way: its status line names the file and the reason, and a box
// comes exactly with the failures that leave work where the user did not ask it to be.
#include <gtest/gtest.h>

#include "Failure.h"

namespace mw {
namespace {

TEST(Failure, isSaidWithItsFileAndReasonAndBoxedOnlyWhereWorkWasNotKept) {
  using enum Failure::Action;
  // A reason and a file that hold the places of a text: filled in once, never read again.
  const std::string file = "/games/%1 war/turn.QPX", reason = "disk full at %2";
  const std::pair<Failure::Action, bool> actions[] = {
      {kOpen, false},      {kSave, true},       {kExport, true},    {kOpenGame, false},
      {kOpenNamed, true},  {kRecordTurn, true}, {kTakeTurns, true}, {kLoadTurn, false},
      {kChangeTurn, true}, {kCompare, false},
  };
  for (const auto& [action, boxed] : actions) {
    const FailureWords words = WordsFor({action, file, reason});
    const auto name = "action " + std::to_string(static_cast<int>(action));
    EXPECT_EQ(MustBeAcknowledged(action), boxed) << name;
    EXPECT_TRUE(words.status.starts_with("Could not ")) << name << ": " << words.status;
    EXPECT_TRUE(words.status.ends_with(": " + reason)) << name << ": " << words.status;
    EXPECT_EQ(words.box.empty(), !boxed) << name;
    if (boxed) {
      EXPECT_NE(words.box.find(action == kExport ? "turn.QPX" : file), std::string::npos)
          << name << ": " << words.box;
      EXPECT_TRUE(words.box.ends_with("\n" + reason)) << name << ": " << words.box;
    }
  }
  // Before a game is chosen, the box says the reason alone.
  EXPECT_EQ(WordsFor({kRecordTurn, {}, reason}).box, reason);
}

}  // namespace
}  // namespace mw
