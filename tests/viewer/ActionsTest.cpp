// SPDX-License-Identifier: GPL-3.0-or-later
// The table of actions is what the program does: the key page is made from it, every shortcut
// runs its command, every key a replay names is a key, and every menu item runs its command.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "Actions.h"
#include "FileBytes.h"
#include "Replay.h"

namespace mw {
namespace {

TEST(KeysPage, isMadeFromTheTableOfActions) {
  const std::filesystem::path page = std::filesystem::path(SOURCE_DIR) / "docs" / "KEYS.md";
  const auto bytes = ReadFileBytes(page);
  const std::string expected = KeysPage();
  if (!bytes || std::string(bytes->begin(), bytes->end()) != expected) {
    const auto made = std::filesystem::path(::testing::TempDir()) / "KEYS.md";
    std::ofstream(made) << expected;
    FAIL() << "docs/KEYS.md is not what the table of actions makes; the page it makes is in "
           << made.string();
  }
}

TEST(Actions, everyShortcutRunsItsCommandAndEveryItemIsACommandOnce) {
  std::set<int> commands;
  std::set<std::pair<Key, unsigned>> chords;
  for (const Action& a : Actions()) {
    if (a.kind != Action::Kind::kItem) continue;
    EXPECT_TRUE(commands.insert(a.command).second) << "command " << a.command << " twice";
    for (const Chord& chord : a.chords) {
      if (chord.empty()) continue;
      EXPECT_TRUE(chords.insert({chord.key, chord.modifiers}).second) << ChordText(chord);
      EXPECT_EQ(ShortcutCommand(chord.key, chord.modifiers), a.command) << ChordText(chord);
      // The replay runs it by the names of its key and modifiers, as the window does.
      const std::string line =
          "key " +
          std::string(std::find_if(kKeyNames.begin(), kKeyNames.end(),
                                   [&](const KeyName& k) { return k.key == chord.key; })
                          ->replay) +
          (chord.modifiers & kCtrl ? " ctrl" : "") + (chord.modifiers & kAlt ? " alt" : "") +
          (chord.modifiers & kShift ? " shift" : "");
      const auto parsed = ParseReplayLine(line);
      ASSERT_TRUE(parsed && *parsed) << line;
      EXPECT_EQ(ShortcutCommand((*parsed)->key, (*parsed)->modifiers), a.command) << line;
    }
  }
  for (const KeyName& k : kKeyNames) EXPECT_EQ(KeyOfReplayName(k.replay), k.key) << k.replay;
}

}  // namespace
}  // namespace mw
