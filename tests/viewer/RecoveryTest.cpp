// The recovery copy of an unsaved position: kept while there are unsaved changes, gone once they
// are saved or given up, offered again after the program was killed, and never another
// program's.
#include <fstream>

#include "FileBytes.h"
#include "PositionFile.h"
#include "ViewerFixture.h"

namespace mw {
namespace {

class Recovery : public test::ViewerTest {
 protected:
  std::filesystem::path Folder() const { return dir / "state" / "Marrowind"; }
  Viewer& StartWithRecovery() {
    for (const auto& p : packages) p.WriteTo(dir.path());
    viewer = std::make_unique<Viewer>(host, dir.path());
    viewer->EnableRecovery(Folder());
    viewer->Start({});
    return *viewer;
  }
  void Edit(QPoint at = QPoint(120, 60)) {
    viewer->PaletteClick(QPoint(20, 0));
    viewer->MousePress(MouseButton::kLeft, at, 0);
  }
  // The program ends as a kill ends it: nothing is asked, nothing cleaned up but its lock.
  void Kill() { viewer.reset(); }
  std::vector<std::filesystem::path> Copies() const {
    std::vector<std::filesystem::path> copies;
    for (const auto& e : std::filesystem::directory_iterator(Folder()))
      if (e.path().extension() == ".QPX") copies.push_back(e.path());
    return copies;
  }
};

TEST_F(Recovery, theCopyFollowsTheEditsAndGoesWithASave) {
  StartWithRecovery();
  viewer->KeepRecoveryCopy();
  EXPECT_TRUE(Copies().empty()) << "nothing unsaved, nothing kept";
  Edit();
  viewer->KeepRecoveryCopy();
  ASSERT_TRUE(viewer->recovery()->hasCopy());
  ASSERT_TRUE(viewer->FlushRecoveryCopy());
  EXPECT_EQ(ReadFileBytes(viewer->recovery()->copyPath()).value(),
            EncodePosition(position(), false));
  Edit(QPoint(160, 60));
  viewer->MousePress(MouseButton::kLeft, QPoint(160, 60), 0);  // nothing new in the copy yet
  viewer->KeepRecoveryCopy();
  ASSERT_TRUE(viewer->FlushRecoveryCopy());
  EXPECT_EQ(ReadFileBytes(viewer->recovery()->copyPath()).value(),
            EncodePosition(position(), false));

  const auto saved = dir / "game.QPX";
  host.saveChoices.push_back(saved.string());
  viewer->Command(command::kSaveAs);
  EXPECT_TRUE(Copies().empty()) << "saved: the copy goes at once";
  const auto savedBytes = ReadFileBytes(saved).value();
  Edit();
  viewer->KeepRecoveryCopy();
  ASSERT_TRUE(viewer->FlushRecoveryCopy());
  EXPECT_EQ(Copies().size(), 1u);
  host.answers.push_back(true);
  EXPECT_TRUE(viewer->Close());
  EXPECT_TRUE(Copies().empty()) << "given up on purpose at the exit";
  EXPECT_EQ(ReadFileBytes(saved).value(), savedBytes) << "the user's own file untouched";
}

TEST_F(Recovery, aKilledProgramsPositionIsOfferedAndRestoredUnsavedWithItsFile) {
  test::TestPackage rift;
  rift.name = "Rift";
  rift.title = "A Rift";
  packages.push_back(rift);
  StartWithRecovery();
  for (const CatalogueEntry& e : host.catalogue)
    if (e.title == "A Rift") viewer->Command(e.commandId);
  const auto mine = dir / "mine.QPX";
  host.saveChoices.push_back(mine.string());
  viewer->Command(command::kSaveAs);
  Edit();
  viewer->KeepRecoveryCopy();
  const std::vector<uint8_t> board = EncodePosition(position(), false);
  Kill();

  host.prompts.clear();
  host.answers = {true};
  StartWithRecovery();
  ASSERT_EQ(host.prompts.size(), 1u);
  EXPECT_TRUE(host.prompts[0].starts_with("Restore position: Restore the unsaved position from "))
      << host.prompts[0];
  EXPECT_TRUE(host.prompts[0].ends_with("?"));
  EXPECT_EQ(EncodePosition(position(), false), board);
  EXPECT_EQ(viewer->map().packageName, "Rift") << "with its map";
  EXPECT_TRUE(position().dirty());
  EXPECT_EQ(viewer->currentFile(), mine.string());
  ASSERT_EQ(Copies().size(), 1u) << "the restored copy is this program's own now";
  EXPECT_EQ(Copies()[0], viewer->recovery()->copyPath());

  Kill();
  host.prompts.clear();
  host.answers = {false};
  StartWithRecovery();
  EXPECT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(viewer->map().packageName, "Tess") << "Cancel: the usual start";
  EXPECT_FALSE(position().dirty());
  EXPECT_TRUE(Copies().empty()) << "Cancel deletes the copy";
}

TEST_F(Recovery, twoProgramsAtOnceNeverTakeEachOthersCopy) {
  StartWithRecovery();
  Edit();
  viewer->KeepRecoveryCopy();
  ASSERT_TRUE(viewer->FlushRecoveryCopy());

  test::FakeHost other;
  Viewer second(other, dir.path());
  second.EnableRecovery(Folder());
  second.Start({});
  EXPECT_TRUE(other.prompts.empty()) << "the first program still runs";
  RecoveryStore third(Folder());
  EXPECT_TRUE(third.Orphans().empty());
  Kill();
  ASSERT_EQ(third.Orphans().size(), 1u) << "its lock went with it";
}

TEST_F(Recovery, theHeadlessViewerKeepsNoCopy) {
  StartViewer();
  Edit();
  viewer->KeepRecoveryCopy();
  EXPECT_FALSE(std::filesystem::exists(Folder()));
}

}  // namespace
}  // namespace mw
