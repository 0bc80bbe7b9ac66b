// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery copy of an unsaved position: kept while there are unsaved changes, gone once they
// are saved or given up, offered again after the program was killed, and never another
// program's.
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "FileBytes.h"
#include "GameFile.h"
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
    viewer->recovery().Enable(Folder());
    viewer->Start({});
    return *viewer;
  }
  void Edit(QPoint at = QPoint(120, 60)) {
    viewer->editing().PaletteClick(QPoint(20, 0));
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
  viewer->recovery().Keep();
  EXPECT_TRUE(Copies().empty()) << "nothing unsaved, nothing kept";
  Edit();
  viewer->recovery().Keep();
  ASSERT_TRUE(viewer->recovery().store()->hasCopy());
  ASSERT_TRUE(viewer->recovery().Flush());
  EXPECT_EQ(ReadFileBytes(viewer->recovery().store()->copyPath()).value(),
            EncodePosition(position(), false));
  Edit(QPoint(160, 60));
  viewer->MousePress(MouseButton::kLeft, QPoint(160, 60), 0);  // nothing new in the copy yet
  viewer->recovery().Keep();
  ASSERT_TRUE(viewer->recovery().Flush());
  EXPECT_EQ(ReadFileBytes(viewer->recovery().store()->copyPath()).value(),
            EncodePosition(position(), false));

  const auto saved = dir / "game.QPX";
  host.saveChoices.push_back(saved.string());
  viewer->Command(command::kSaveAs);
  EXPECT_TRUE(Copies().empty()) << "saved: the copy goes at once";
  const auto savedBytes = ReadFileBytes(saved).value();
  Edit();
  viewer->recovery().Keep();
  ASSERT_TRUE(viewer->recovery().Flush());
  EXPECT_EQ(Copies().size(), 1u);
  host.answers.push_back(true);
  EXPECT_TRUE(viewer->Close());
  EXPECT_TRUE(Copies().empty()) << "given up on purpose at the exit";
  EXPECT_EQ(ReadFileBytes(saved).value(), savedBytes) << "the user's own file untouched";
}

// The moves made since the game's turn are kept with the copy: restored after a kill, they go
// into the turn recorded next, as if nothing had happened.
TEST_F(Recovery, theMovesSinceTheTurnSurviveAKill) {
  const auto game = dir / "war.mwgame";
  StartWithRecovery().desk().KeepPreferences();  // the open game is remembered, as the window does
  host.saveChoices.push_back(game.string());
  viewer->Command(command::kRecordTurn);
  Edit();
  Edit(QPoint(160, 60));
  const auto before = viewer->board().MovesSinceTurn();
  ASSERT_TRUE(before && before->moves.size() == 2u);
  viewer->recovery().Keep();
  ASSERT_TRUE(viewer->recovery().Flush());
  Kill();
  host.answers = {true};
  for (const auto& p : packages) p.WriteTo(dir.path());
  viewer = std::make_unique<Viewer>(host, dir.path());
  viewer->recovery().Enable(Folder());
  viewer->desk().KeepPreferences();
  viewer->Start({});
  const auto after = viewer->board().MovesSinceTurn();
  ASSERT_TRUE(after) << "the moves came back with the board";
  EXPECT_EQ(after->turn, 1);
  EXPECT_EQ(after->moves, before->moves);
  viewer->Command(command::kRecordTurn);
  auto file = GameFile::Open(game);
  ASSERT_TRUE(file);
  const auto stored = file->MovesOf(2);
  ASSERT_TRUE(stored && *stored);
  EXPECT_EQ(**stored, before->moves);
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
  viewer->recovery().Keep();
  const std::vector<uint8_t> board = EncodePosition(position(), false);
  Kill();

  host.prompts.clear();
  host.answers = {true};
  StartWithRecovery();
  ASSERT_EQ(host.prompts.size(), 1u);
  EXPECT_TRUE(host.prompts[0].starts_with(
      "Restore position: Restore the unsaved position of the map Rift (the position file " +
      mine.string() + ") from "))
      << host.prompts[0];
  EXPECT_TRUE(host.prompts[0].ends_with("?"));
  EXPECT_EQ(EncodePosition(position(), false), board);
  EXPECT_EQ(viewer->map().packageName, "Rift") << "with its map";
  EXPECT_TRUE(position().dirty());
  EXPECT_EQ(viewer->board().document().currentFile, mine.string());
  ASSERT_EQ(Copies().size(), 1u) << "the restored copy is this program's own now";
  EXPECT_EQ(Copies()[0], viewer->recovery().store()->copyPath());

  Kill();
  host.prompts.clear();
  host.answers = {false};
  StartWithRecovery();
  EXPECT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(viewer->map().packageName, "Tess") << "Cancel: the usual start";
  EXPECT_FALSE(position().dirty());
  EXPECT_EQ(Copies().size(), 1u) << "Cancel (Esc) keeps the copy for the next start";
  EXPECT_NE(host.status[StatusField::kMessage].find("1 more unsaved position waits"),
            std::string::npos);
  // Offered again, and deleted only when the user says so.
  Kill();
  host.prompts.clear();
  host.restores = {Questions::RestoreAnswer::kDiscard};
  StartWithRecovery();
  EXPECT_EQ(host.prompts.size(), 1u) << "offered again at the next start";
  EXPECT_TRUE(Copies().empty()) << "Discard This Copy deletes it";
}

TEST_F(Recovery, twoProgramsAtOnceNeverTakeEachOthersCopy) {
  StartWithRecovery();
  Edit();
  viewer->recovery().Keep();
  ASSERT_TRUE(viewer->recovery().Flush());

  test::FakeHost other;
  Viewer second(other, dir.path());
  second.recovery().Enable(Folder());
  second.Start({});
  EXPECT_TRUE(other.prompts.empty()) << "the first program still runs";
  RecoveryStore third(Folder());
  EXPECT_TRUE(third.Orphans().empty());
  Kill();
  ASSERT_EQ(third.Orphans().size(), 1u) << "its lock went with it";
}

// Waits for the worker's write and lets the viewer hear how it went, as the next tick would.
void Tick(Viewer& viewer) {
  viewer.recovery().Keep();
  for (int i = 0; i < 200 && viewer.recovery().store()->writing(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  viewer.recovery().Keep();
}

TEST_F(Recovery, aCopyThatFailedIsTriedAgainUntilItIsWrittenAndTheUserIsTold) {
  std::filesystem::create_directories(dir / "state");
  if (::mount("tmpfs", (dir / "state").c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
  struct Unmount {
    std::filesystem::path at;
    ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
  } unmount{dir / "state"};
  StartWithRecovery();
  {  // the disk fills up
    std::ofstream filler(dir / "state" / "filler");
    filler << std::string(1 << 20, 'x');
  }
  Edit();
  Tick(*viewer);
  Tick(*viewer);
  EXPECT_TRUE(host.status[StatusField::kWarning].starts_with(
      "Unsaved work is not being protected: the recovery copy could not be written: "))
      << host.status[StatusField::kWarning];
  std::filesystem::remove(dir / "state" / "filler");
  Tick(*viewer);
  Tick(*viewer);
  EXPECT_EQ(host.status[StatusField::kMessage], "Unsaved work is protected again");
  EXPECT_EQ(host.status[StatusField::kWarning], "") << "the warning goes once mended";
  ASSERT_EQ(Copies().size(), 1u);
  EXPECT_EQ(ReadFileBytes(Copies()[0]).value(), EncodePosition(position(), false));
}

// A copy whose write ran while the board changed holds the board as it was when the write began:
// the next tick writes the board as it is now.
TEST_F(Recovery, anEditMadeWhileACopyIsWrittenIsInTheNextCopy) {
  StartWithRecovery();
  Edit();
  viewer->recovery().Keep();  // the write begins, with the board of one edit
  Edit(QPoint(160, 60));
  // The write ends as the window's timer sees it end: at the next tick.
  for (int i = 0; i < 500 && viewer->recovery().store()->writing(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  viewer->recovery().Keep();
  ASSERT_TRUE(viewer->recovery().Flush());
  EXPECT_EQ(ReadFileBytes(viewer->recovery().store()->copyPath()).value(),
            EncodePosition(position(), false));
}

// A folder that others may read, however little, keeps no copy.
TEST_F(Recovery, aFolderThatOthersMayReadKeepsNoCopy) {
  for (const auto mode :
       {std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
            std::filesystem::perms::group_exec,
        std::filesystem::perms::owner_all | std::filesystem::perms::others_exec}) {
    std::filesystem::remove_all(Folder());
    std::filesystem::create_directories(Folder());
    std::filesystem::permissions(Folder(), mode);
    StartWithRecovery();
    Edit();
    viewer->recovery().Keep();
    EXPECT_TRUE(Copies().empty()) << static_cast<int>(mode);
    EXPECT_NE(host.status[StatusField::kWarning].find("may be read by others"), std::string::npos);
    Kill();
  }
}

TEST_F(Recovery, keepsCopiesOnlyInAFolderOfTheUsersAloneAndOnlyForTheUser) {
  std::filesystem::create_directories(Folder());
  std::filesystem::permissions(Folder(), std::filesystem::perms::all);
  // A copy planted there, naming a file of the user's, is never offered.
  {
    Position planted;
    planted.header().setMapName("Tess");
    ASSERT_TRUE(SavePosition(planted, Folder() / "position-1-1.QPX"));
    std::ofstream(Folder() / "position-1-1.file") << (dir / "notes.txt").string();
  }
  StartWithRecovery();
  EXPECT_TRUE(host.prompts.empty());
  EXPECT_EQ(host.status[StatusField::kWarning],
            "Unsaved work is not being protected: " + Folder().string() +
                " may be read by others (mode 0777)");
  Edit();
  viewer->recovery().Keep();
  EXPECT_EQ(Copies().size(), 1u) << "no copy of this program's";
  Kill();

  std::filesystem::remove_all(Folder());
  StartWithRecovery();
  Edit();
  Tick(*viewer);
  for (const auto& e : std::filesystem::directory_iterator(Folder())) {
    struct stat st {};
    ASSERT_EQ(::stat(e.path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u) << e.path();
  }
  struct stat folder {};
  ASSERT_EQ(::stat(Folder().c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 07777, 0700u);
}

TEST_F(Recovery, aCopyIsClaimedBeforeItIsOfferedAndTheOthersWaitForTheNextStart) {
  // Two programs with unsaved changes, both killed.
  StartWithRecovery();
  Edit();
  Tick(*viewer);
  std::unique_ptr<Viewer> first = std::move(viewer);
  StartWithRecovery();
  Edit(QPoint(160, 60));
  Tick(*viewer);
  const std::vector<uint8_t> newer = EncodePosition(position(), false);
  Kill();
  first.reset();
  ASSERT_EQ(Copies().size(), 2u);
  {
    // Another program claimed the copies first: this one offers none of them.
    RecoveryStore other(Folder());
    const auto claimed = other.ClaimOrphans();
    ASSERT_EQ(claimed.size(), 2u);
    host.prompts.clear();
    StartWithRecovery();
    EXPECT_TRUE(host.prompts.empty());
    Kill();
  }
  host.prompts.clear();
  host.answers = {true};
  StartWithRecovery();
  ASSERT_EQ(host.prompts.size(), 1u) << "the newest is restored";
  EXPECT_EQ(EncodePosition(position(), false), newer);
  EXPECT_TRUE(host.status[StatusField::kMessage].starts_with("1 more unsaved position waits in "))
      << host.status[StatusField::kMessage];
}

// A copy names the file it belongs to; a save after its restore does not overwrite a file that
// holds no position without asking.
TEST_F(Recovery, aSaveAfterARestoreAsksBeforeItReplacesAFileThatHoldsNoPosition) {
  std::filesystem::create_directories(Folder());
  std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
  const auto notes = dir / "notes.txt";
  std::ofstream(notes) << "my notes";
  Position planted;
  planted.header().setMapName("Tess");
  ASSERT_TRUE(SavePosition(planted, Folder() / "position-1-1.QPX"));
  std::ofstream(Folder() / "position-1-1.file") << notes.string();
  host.answers = {true, false};
  StartWithRecovery();
  ASSERT_EQ(viewer->board().document().currentFile, notes.string());
  viewer->Command(command::kSave);
  ASSERT_EQ(host.prompts.size(), 2u);
  EXPECT_EQ(host.prompts[1], "Save position: " + notes.string() +
                                 " holds no position. Replace it with this position?");
  EXPECT_EQ(test::ReadText(notes), "my notes");
}

TEST_F(Recovery, startingRemovesTheTemporariesOfKilledWrites) {
  std::filesystem::create_directories(Folder());
  std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const auto orphan = Folder() / (".position-1-2.file.tmp-" + std::to_string(gone) + "-0");
  const auto running = Folder() / (".position-1-2.QPX.tmp-" + std::to_string(::getpid()) + "-0");
  std::ofstream(orphan) << "half";
  std::ofstream(running) << "being written";
  // The locks of killed programs that never wrote a copy; a fresh one may be a starting
  // program's, and one beside a copy guards it.
  const auto hour = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  const auto dead = Folder() / "position-7-1.lock", fresh = Folder() / "position-7-2.lock",
             guarding = Folder() / "position-7-3.lock";
  for (const auto& lock : {dead, fresh, guarding}) std::ofstream(lock) << "";
  std::ofstream(Folder() / "position-7-3.QPX") << "a copy";
  std::filesystem::last_write_time(dead, hour);
  std::filesystem::last_write_time(guarding, hour);
  StartWithRecovery();
  EXPECT_FALSE(std::filesystem::exists(orphan));
  EXPECT_TRUE(std::filesystem::exists(running)) << "its writer still runs";
  EXPECT_FALSE(std::filesystem::exists(dead));
  EXPECT_TRUE(std::filesystem::exists(fresh));
  EXPECT_TRUE(std::filesystem::exists(guarding));
}

TEST_F(Recovery, theHeadlessViewerKeepsNoCopy) {
  StartViewer();
  Edit();
  viewer->recovery().Keep();
  EXPECT_FALSE(std::filesystem::exists(Folder()));
}

}  // namespace
}  // namespace mw
