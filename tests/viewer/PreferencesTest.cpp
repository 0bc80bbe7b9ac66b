// SPDX-License-Identifier: GPL-3.0-or-later
// Marrowind.conf shared by windows of the program: what each changes is merged into what the
// others wrote, paths keep their bytes, and the open game comes back at the next start.
#include "Games.h"
#include "PositionFile.h"
#include "ViewerFixture.h"

namespace mw {
namespace {

using Change = Preferences::RecentChange;

TEST(PreferencesMerge, keepsWhatEachWindowChangedAndTheRestFromTheDisk) {
  Preferences base;
  base.recent = {{"/a", "A"}, {"/b", "B"}};
  Preferences disk = base;  // another window since: /c opened, German chosen, a place kept
  disk.Remember("/c", "C");
  disk.language = Preferences::kGerman;
  disk.places["History"] = QPoint(5, 6);
  Preferences mine = base;  // this window: /d opened, /a found missing, grab turned on
  mine.Remember("/d", "D");
  std::erase_if(mine.recent, [](const RecentFile& f) { return f.path == "/a"; });
  mine.grabToScroll = true;
  mine.places["Trends"] = QPoint(1, 2);
  const Preferences merged =
      Preferences::Merge(base, mine, {{false, {"/d", "D"}}, {true, {"/a", "A"}}}, disk);
  EXPECT_EQ(merged.recent, (std::vector<RecentFile>{{"/d", "D"}, {"/c", "C"}, {"/b", "B"}}));
  EXPECT_EQ(merged.language, Preferences::kGerman) << "not changed here: the disk's";
  EXPECT_TRUE(merged.grabToScroll) << "changed here: mine";
  EXPECT_EQ(merged.places,
            (std::map<std::string, QPoint>{{"History", {5, 6}}, {"Trends", {1, 2}}}));
}

// Viewers as the window makes them: keeping the preferences from before their start.
class SharedPreferences : public test::ViewerTest {
 protected:
  void StartKeeping() {
    for (const auto& p : packages) p.WriteTo(dir.path());
    viewer = std::make_unique<Viewer>(host, dir.path());
    viewer->desk().KeepPreferences();
    viewer->Start({});
  }
};

TEST_F(SharedPreferences, twoWindowsOpeningFilesBothAppearInRecentWithTheirBytes) {
  StartKeeping();
  test::FakeHost otherHost;
  Viewer other(otherHost, dir.path());
  other.desk().KeepPreferences();
  other.Start({});
  // A name that is no UTF-8, as an old file system may hold.
  const std::string odd = (dir.path() / "f\xE4hre.QPX").string(), plain = (dir / "b.QPX").string();
  for (const std::string& path : {odd, plain})
    ASSERT_TRUE(SavePosition(viewer->board().position(), path));
  viewer->OpenFile(odd);
  other.OpenFile(plain);
  viewer->Command(command::kGrabToScroll);
  const Preferences kept = Preferences::Load(viewer->desk().preferencesPath());
  ASSERT_EQ(kept.recent.size(), 2u);
  EXPECT_EQ(kept.recent[0].path, plain);
  EXPECT_EQ(kept.recent[1].path, odd) << "the second window's save kept the first's file";
  EXPECT_TRUE(kept.grabToScroll);
  EXPECT_EQ(viewer->desk().preferences().recent, kept.recent) << "the window shows both";
}

TEST_F(SharedPreferences, theGameOpenAtTheEndOpensAtTheNextStart) {
  StartKeeping();
  const std::string game = (dir / "war.mwgame").string();
  host.saveChoices.push_back(game);
  viewer->Command(command::kRecordTurn);
  ASSERT_TRUE(viewer->games().game());
  viewer.reset();
  StartKeeping();
  ASSERT_TRUE(viewer->games().game()) << "the game came back";
  EXPECT_EQ(viewer->games().game()->path().string(), game);
  EXPECT_EQ(viewer->board().document().origin.turn, 1);
  EXPECT_EQ(host.folder, dir.path().string()) << "the dialogs open beside the game";
  // A game that is gone is forgotten, and the start position stands.
  viewer.reset();
  std::filesystem::remove(game);
  StartKeeping();
  EXPECT_FALSE(viewer->games().game());
  EXPECT_EQ(Preferences::Load(viewer->desk().preferencesPath()).game, "");
}

}  // namespace
}  // namespace mw
