// SPDX-License-Identifier: GPL-3.0-or-later
// The menu commands: new map, open, save, the toggles, the reports and closing.
#include <sstream>

#include "PositionFile.h"
#include "Replay.h"
#include "ViewerFixture.h"

namespace mw {
namespace {

using test::StackAt;
using test::TestPackage;

class Commands : public test::ViewerTest {
 protected:
  void SetUp() override {
    TestPackage rift;
    rift.name = "Rift";
    rift.title = "A Rift";
    rift.start = {StackAt(150, 50, 3, 2, 2)};
    packages.push_back(rift);
    packages[0].start = {StackAt(50, 50, 1, 1, 4)};
  }
  void MakeDirty() {
    viewer->editing().PaletteClick(QPoint(20, 0));
    viewer->MousePress(MouseButton::kLeft, QPoint(120, 60), 0);
    ASSERT_TRUE(position().dirty());
  }
  int IdOf(const std::string& title) {
    for (const auto& e : host.catalogue)
      if (e.title == title) return e.commandId;
    return 0;
  }
  int RiftId() { return IdOf("A Rift"); }
};

TEST_F(Commands, newMapLoadsThePackagesStartPosition) {
  StartViewer();
  viewer->Command(RiftId());
  EXPECT_EQ(position().mapName(), "Rift");
  ASSERT_EQ(position().unitCount(), 1u);
  EXPECT_EQ(position().unit(0).pieceType, 3);
  EXPECT_EQ(position().totalOf(2).naval, 16);
  EXPECT_TRUE(host.prompts.empty()) << "nothing to lose, nothing asked";
  EXPECT_EQ(position().undoDepth(), 0u);
}

TEST_F(Commands, newMapLoadsThePackageChosenWhateverTheLengthOfItsName) {
  for (const char* name : {"Rifts", "Lengthy"}) {
    TestPackage longer;
    longer.name = name;
    longer.title = name;
    longer.sectors.push_back({.name = "East", .initialOwner = 3, .ipcValue = 2});
    longer.start = {StackAt(250, 50, 2, 3, 1)};
    packages.push_back(longer);
  }
  StartViewer();
  for (const char* name : {"Rifts", "Lengthy"}) {
    viewer->Command(IdOf(name));
    EXPECT_EQ(viewer->map().packageName, name);
    ASSERT_NE(position().grid(), nullptr) << name;
    EXPECT_EQ(position().grid()->width(), 300) << name << ", not Rift or an empty map";
    EXPECT_EQ(position().totalOf(3).ipc, 2) << name;
    EXPECT_EQ(position().mapName(), std::string(name).substr(0, 4))
        << "the file keeps 4 characters";
    viewer->KeyPress(Key::kS, kNoModifiers);
    viewer->KeyRelease(Key::kS);
    EXPECT_TRUE(std::filesystem::exists(dir / (std::string(name) + ".gim") / "SektorInfo.new"))
        << "S exports into the package shown";
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "Rift.gim" / "SektorInfo.new"));
}

TEST_F(Commands, newMapWithUnsavedChangesAsksAndCancelKeepsEverything) {
  StartViewer();
  MakeDirty();
  viewer->Command(RiftId());
  ASSERT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(host.prompts[0], "Exit Marrowind: Load new Map without saving changes?");
  EXPECT_EQ(position().mapName(), "Tess");
  EXPECT_EQ(position().unitCount(), 2u);
  host.answers = {true};
  viewer->Command(RiftId());
  EXPECT_EQ(position().mapName(), "Rift");
  EXPECT_FALSE(position().dirty());
}

TEST_F(Commands, anExportThatCannotBeWrittenSaysWhereAndWritesNothingElse) {
  StartViewer();
  // Something that is no file stands where the table would go, as a package the user may not
  // change would refuse it.
  std::filesystem::create_directories(dir / "Tess.gim" / "SektorInfo.new" / "inside");
  const auto before = std::distance(std::filesystem::recursive_directory_iterator(dir.path()),
                                    std::filesystem::recursive_directory_iterator());
  viewer->KeyPress(Key::kS, kNoModifiers);
  viewer->KeyRelease(Key::kS);
  ASSERT_EQ(host.failures.size(), 1u);
  EXPECT_EQ(host.failures[0].action, Failure::Action::kExport);
  EXPECT_EQ(host.failures[0].file, (dir / "Tess.gim" / "SektorInfo.new").string());
  EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(dir.path()),
                          std::filesystem::recursive_directory_iterator()),
            before)
      << "nothing written anywhere else";
  std::filesystem::remove_all(dir / "Tess.gim" / "SektorInfo.new");
  viewer->KeyPress(Key::kS, kNoModifiers);
  viewer->KeyRelease(Key::kS);
  EXPECT_EQ(host.status[StatusField::kMessage], "Wrote SektorInfo.new into Tess.gim");
}

TEST_F(Commands, movedLabelPointsAreNotGivenUpWithoutAQuestion) {
  StartViewer();
  viewer->KeyRelease(Key::kE);
  viewer->MousePress(MouseButton::kLeft, QPoint(40, 30), 0);
  ASSERT_FALSE(position().dirty()) << "a label point is no change of the board";
  for (const std::string action : {"Load new Map", "Exit"}) {
    host.prompts.clear();
    if (action == "Exit")
      EXPECT_FALSE(viewer->Close());
    else
      viewer->Command(RiftId());
    ASSERT_EQ(host.prompts.size(), 1u);
    EXPECT_EQ(host.prompts[0],
              "Exit Marrowind: The moved label points are not exported yet (key "
              "S). " +
                  action + " without exporting them?");
    EXPECT_EQ(position().mapName(), "Tess") << "Cancel keeps them";
  }
  viewer->KeyPress(Key::kS, kNoModifiers);
  viewer->KeyRelease(Key::kS);
  host.prompts.clear();
  viewer->Command(RiftId());
  EXPECT_TRUE(host.prompts.empty()) << "exported, nothing is lost";
  EXPECT_EQ(position().mapName(), "Rift");
}

// Fast typists let Ctrl go before S: the save happens at the press, the release does nothing.
TEST_F(Commands, onlyAnSPressedWithoutCtrlOrAltExports) {
  StartViewer();
  std::ostringstream printed;
  Replay replay(dir.path(), printed);
  ASSERT_TRUE(replay.Start({}));
  const auto exported = dir / "Tess.gim" / "SektorInfo.new";
  for (const char* keys : {"keydown S ctrl\nkeyup S\n", "keydown S alt\nkeyup S alt\n",
                           "keydown S ctrl\nkeyup S ctrl\n", "keyup S\n"}) {
    const auto lines = ParseReplayScript("dialog " + (dir / "saved.QPX").string() + "\n" + keys);
    ASSERT_TRUE(lines);
    for (const ReplayLine& line : *lines) replay.Run(line);
    EXPECT_FALSE(std::filesystem::exists(exported)) << keys;
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "saved.QPX")) << "Ctrl+S saved";
  replay.Run(**ParseReplayLine("key S"));
  EXPECT_TRUE(std::filesystem::exists(exported));
}

TEST_F(Commands, savingAPositionOfAnotherMapAsMapAsksFirst) {
  StartViewer();
  viewer->Command(RiftId());
  const auto path = dir / "rift.map";
  host.saveChoices = {path.string(), path.string()};
  viewer->Command(command::kSaveAs);
  ASSERT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(host.prompts[0],
            "Save position: A .MAP file names no map: this position of the map Rift would open "
            "on the map Tess. Save it as .MAP all the same?");
  EXPECT_FALSE(std::filesystem::exists(path)) << "Cancel saves nothing";
  host.answers = {true};
  viewer->Command(command::kSaveAs);
  EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(Commands, ignoresIdsWithoutAMap) {
  StartViewer();
  viewer->Command(299);
  viewer->Command(300);
  viewer->Command(command::kNames);
  viewer->Command(12345);
  EXPECT_EQ(position().mapName(), "Tess");
  EXPECT_TRUE(host.prompts.empty());
}

TEST_F(Commands, saveWithoutAFileIsSaveAsAndTheProposalFollowsTheMap) {
  StartViewer();
  const auto path = (dir / "first.map").string();
  host.saveChoices = {path};
  viewer->Command(command::kSave);
  EXPECT_EQ(host.saveDialogs, 1);
  ASSERT_EQ(host.proposals.size(), 1u);
  EXPECT_FALSE(host.proposals[0]) << "the default map proposes the TessWinMap format";
  EXPECT_EQ(viewer->board().document().currentFile, path);
  EXPECT_EQ(test::ReadBytes(path).size(), 4u + 24u);
  viewer->Command(command::kSave);
  EXPECT_EQ(host.saveDialogs, 1) << "now Save writes to the current file";

  viewer->Command(RiftId());
  host.saveChoices = {std::nullopt};
  viewer->Command(command::kSaveAs);
  EXPECT_TRUE(host.proposals[1]) << "any other map proposes the native format";
  EXPECT_TRUE(viewer->board().document().currentFile.empty())
      << "a cancelled dialog keeps the file";
}

TEST_F(Commands, aFailedSaveIsReportedAndTheChangesStayUnsaved) {
  StartViewer();
  MakeDirty();
  host.saveChoices = {(dir / "no/such/dir/game.QPX").string()};
  viewer->Command(command::kSaveAs);
  ASSERT_EQ(host.failures.size(), 1u);
  EXPECT_EQ(host.failures[0].action, Failure::Action::kSave);
  EXPECT_EQ(host.failures[0].file, (dir / "no/such/dir/game.QPX").string());
  EXPECT_EQ(host.errors.size(), 1u) << "a failed save is shown in a box";
  EXPECT_TRUE(position().dirty());
  EXPECT_FALSE(viewer->Close()) << "closing still asks";
}

TEST_F(Commands, openLoadsTheFileAndTheMapItNames) {
  StartViewer();
  Position other;
  other.header().setMapName("Rift");
  other.ReplaceUnits({StackAt(120, 30, 1, 2, 7)});
  ASSERT_TRUE(SavePosition(other, dir / "rift.QPX"));
  host.openChoices = {(dir / "rift.QPX").string()};
  viewer->Command(command::kOpen);
  EXPECT_EQ(position().mapName(), "Rift");
  EXPECT_EQ(position().totalOf(2).land, 21);
  EXPECT_EQ(viewer->board().document().currentFile, (dir / "rift.QPX").string());

  viewer->Command(command::kOpen);  // cancelled
  EXPECT_TRUE(viewer->board().document().currentFile.empty());
  EXPECT_EQ(position().unitCount(), 1u);
}

TEST_F(Commands, openWithUnsavedChangesAsksFirst) {
  StartViewer();
  MakeDirty();
  host.openChoices = {(dir / "Rift.gim/Start.QPX").string()};
  viewer->Command(command::kOpen);
  EXPECT_EQ(host.openDialogs, 0);
  EXPECT_EQ(position().mapName(), "Tess");
}

TEST_F(Commands, turnsAreRecordedIntoAGameAndItsLastTurnOpensOnTheBoard) {
  StartViewer();
  const std::string game = (dir / "war").string();  // the extension comes with the name
  host.saveChoices.push_back(game);
  viewer->Command(command::kRecordTurn);
  MakeDirty();
  viewer->Command(command::kRecordTurn);
  EXPECT_EQ(host.saveDialogs, 1) << "the game is asked for once";
  EXPECT_EQ(host.status[StatusField::kMessage],
            "Recorded turn 2 \"Turn 2\" in " + game + ".mwgame");
  const std::vector<uint8_t> board = EncodePosition(position(), false);
  // A board of another map is refused and the game keeps its turns.
  host.answers.push_back(true);
  viewer->Command(RiftId());
  viewer->Command(command::kRecordTurn);
  ASSERT_EQ(host.failures.size(), 1u);
  EXPECT_EQ(host.failures[0].action, Failure::Action::kRecordTurn);
  EXPECT_EQ(host.failures[0].file, game + ".mwgame");
  EXPECT_NE(host.failures[0].reason.find("map Rift"), std::string::npos) << host.failures[0].reason;
  {
    auto file = GameFile::Open(game + ".mwgame");
    ASSERT_TRUE(file) << file.error();
    ASSERT_EQ(file->Turns()->size(), 2u);
    EXPECT_EQ(*file->PositionOf(2), board);
    EXPECT_EQ(file->mapName(), "Tess");
  }
  // Opened in another viewer: the last turn, with its map, and nothing unsaved.
  test::FakeHost other;
  other.openChoices.push_back(game + ".mwgame");
  Viewer second(other, dir.path());
  second.Start();
  second.Command(command::kOpenGame);
  EXPECT_EQ(EncodePosition(second.position(), false), board);
  EXPECT_FALSE(second.position().dirty());
  EXPECT_EQ(second.map().packageName, "Tess");
  ASSERT_NE(second.games().game(), nullptr);
  EXPECT_EQ(second.games().game()->path(), game + ".mwgame");
}

TEST_F(Commands, togglesTheToolWindowsAndTheFlags) {
  StartViewer();
  viewer->Command(command::kToolBar);
  EXPECT_FALSE(host.checks[command::kToolBar]);
  EXPECT_FALSE(host.windows[ToolWindow::kPalette].shown);
  viewer->Command(command::kToolBar);
  EXPECT_TRUE(host.windows[ToolWindow::kPalette].shown);
  viewer->Command(command::kInfoView);
  EXPECT_FALSE(host.windows[ToolWindow::kInfoView].shown);
  viewer->board().LoadMapPackage("Tess");
  EXPECT_FALSE(host.windows[ToolWindow::kInfoView].shown) << "a load keeps a hidden window hidden";

  viewer->Command(command::kUseBigPieces);
  EXPECT_TRUE(viewer->desk().settings().useBigPieces());
  EXPECT_EQ(viewer->map().pieceCellWidth, 15) << "the pieces change at the next load";
  viewer->board().LoadMapPackage("Tess");
  EXPECT_EQ(viewer->map().pieceCellWidth, 20);
}

TEST_F(Commands, opensTheReports) {
  StartViewer();
  viewer->Command(command::kAbout);
  viewer->Command(command::kAbout);
  EXPECT_EQ(host.aboutBoxes, 2);
  viewer->Command(command::kListUnits);
  ASSERT_EQ(host.unitLists.size(), 1u);
  EXPECT_NE(host.unitLists[0].find("*** North \r\n4 Inf\r\n"), std::string::npos);
}

// The open report follows every reload; it is opened again only for what the author has not
// seen.
TEST_F(Commands, reloadKeepsTheReportTrueAndOpensItOnlyForSomethingNew) {
  StartViewer();
  viewer->Command(command::kReloadMap);
  EXPECT_EQ(host.checkOpened, 1) << "the package's findings, not seen yet";
  viewer->Command(command::kCheckMap);
  const std::vector<std::string> first = host.checkFindings;
  ASSERT_FALSE(first.empty());
  viewer->Command(command::kReloadMap);
  EXPECT_EQ(host.checkOpened, 2) << "nothing new";
  EXPECT_NE(host.status[StatusField::kMessage].find("Reloaded the map Tess"), std::string::npos);
  const test::TestPackage sound = packages[0];
  packages[0].sectors.push_back({.name = "Nowhere", .initialOwner = 9, .ipcValue = 1});
  packages[0].WriteTo(dir.path());
  viewer->Command(command::kReloadMap);
  EXPECT_EQ(host.checkOpened, 3);
  EXPECT_GT(host.checkFindings.size(), first.size());
  EXPECT_NE(host.status[StatusField::kMessage].find(" new"), std::string::npos);
  viewer->Command(command::kReloadMap);
  EXPECT_EQ(host.checkOpened, 3) << "seen already";
  // Mended: the report open says so, without opening again.
  std::filesystem::remove_all(dir.path() / "Tess.gim");
  packages[0] = sound;
  packages[0].WriteTo(dir.path());
  viewer->Command(command::kReloadMap);
  EXPECT_EQ(host.checkOpened, 3);
  EXPECT_EQ(host.checkFindings, first);
}

// A country the map names is called by its name wherever the board is put in words; one it does
// not name keeps its number.
TEST_F(Commands, aNamedCountryIsCalledByItsNameWhereverTheBoardIsPutInWords) {
  packages[0].alliances = "allied 1 2\ncountry 1 \xD6sterland\ncountry 3 Sarnesh\n";
  StartViewer();
  const std::string oester = "\xC3\x96sterland";
  viewer->editing().PaletteClick(QPoint(2 * 15 + 3, 2 * 10 + 3));  // Tank of country 3
  EXPECT_EQ(host.status[StatusField::kMode], "Placing Tank of Sarnesh");
  EXPECT_EQ(viewer->editing().PaletteCellText(QPoint(1 * 15 + 3, 2 * 10 + 3)),
            "Inf, value 3, land; Sarnesh (country 3)");
  EXPECT_EQ(viewer->editing().PaletteCellText(QPoint(3, 1 * 10 + 3)),
            "Ctrl, value 0, land; country 2");
  viewer->MousePress(MouseButton::kLeft, QPoint(60, 40), 0);
  viewer->MouseMove(QPoint(61, 41));
  EXPECT_EQ(host.status[StatusField::kPointer],
            "North: " + oester + ", 4 IPC \u2013 1 Tank of Sarnesh");
  viewer->MouseMove(QPoint(150, 20));
  EXPECT_EQ(host.status[StatusField::kPointer], "South: country 2, 3 IPC");
  // A marker of Sarnesh takes South: the Changes window says so by name.
  viewer->editing().PaletteClick(QPoint(3, 2 * 10 + 3));
  viewer->MousePress(MouseButton::kLeft, QPoint(150, 50), 0);
  ASSERT_TRUE(viewer->overlays().CompareWith((dir / "Tess.gim" / "Start.QPX").string()));
  std::vector<std::string> lines;
  for (const ChangeLine& line : host.changes) lines.push_back(line.text);
  for (const char* line : {"North: 0 Tank of Sarnesh \u2192 1",
                           "South: held by country 2 \u2192 Sarnesh", "Sarnesh IPC 0 \u2192 3"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
  // The History window is given the names with the turns.
  host.saveChoices.push_back((dir / "named").string());
  viewer->Command(command::kRecordTurn);
  viewer->Command(command::kHistory);
  EXPECT_EQ(host.history.countryNames[3], "Sarnesh");
}

TEST_F(Commands, closingAsksOnlyWithUnsavedChangesAndSavesTheSettings) {
  StartViewer();
  host.windows[ToolWindow::kPalette].position = QPoint(-20, 700);
  host.windows[ToolWindow::kInfoView].position = QPoint(900, 10);
  viewer->Command(command::kIpcValues);
  ASSERT_TRUE(viewer->Close());
  EXPECT_TRUE(host.prompts.empty());
  Settings saved;
  saved.Load(dir / "Marrowind.ini");
  EXPECT_EQ(saved.paletteX(), -20);
  EXPECT_EQ(saved.paletteY(), 700);
  EXPECT_EQ(saved.infoViewX(), 900);
  EXPECT_TRUE(saved.showIpcValues());

  std::filesystem::remove(dir / "Marrowind.ini");
  MakeDirty();
  EXPECT_FALSE(viewer->Close());
  EXPECT_EQ(host.prompts.back(), "Exit Marrowind: Exit Marrowind without saving changes?");
  EXPECT_FALSE(std::filesystem::exists(dir / "Marrowind.ini")) << "cancel writes nothing";
  host.answers = {true};
  EXPECT_TRUE(viewer->Close());
  EXPECT_TRUE(std::filesystem::exists(dir / "Marrowind.ini"));
}

TEST_F(Commands, undoTakesBackTheLastEdit) {
  StartViewer();
  MakeDirty();
  EXPECT_EQ(position().unitCount(), 2u);
  viewer->Command(command::kUndo);
  EXPECT_EQ(position().unitCount(), 1u);
  EXPECT_EQ(position().totalOf(1).land, 12);
}

}  // namespace
}  // namespace mw
