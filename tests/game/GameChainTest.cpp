// SPDX-License-Identifier: GPL-3.0-or-later
// The game file as a chain of turns: its hash is the SHA-256 the format page defines, a file of
// the release before upgrades at its first write with the identity every copy of it computes,
// and a file whose tables could run code or hide turns is refused before anything is read.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "FileBytes.h"
#include "GameFile.h"
#include "PositionFile.h"
#include "Sha256.h"
#include "TempDir.h"
#include "TestMap.h"

namespace mw {
namespace {

namespace fs = std::filesystem;
const fs::path kVersion1 = fs::path(FIXTURES_DIR) / "tess-war-v1.mwgame";

TEST(Sha256, digestsTheStandardVectorsWhateverPiecesItIsFed) {
  const std::pair<std::string, std::string> vectors[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}};
  for (const auto& [text, digest] : vectors) {
    EXPECT_EQ(Sha256().Add(text).HexDigest(), digest) << text.size() << " bytes whole";
    for (const size_t piece : {size_t{1}, size_t{63}, size_t{64}, size_t{65}}) {
      if (text.size() > 100000 && piece < 63) continue;
      Sha256 hash;
      for (size_t at = 0; at < text.size(); at += piece) hash.Add(text.substr(at, piece));
      EXPECT_EQ(hash.HexDigest(), digest) << text.size() << " bytes in pieces of " << piece;
    }
  }
  // A turn's hash: the hash before, the number, the time and the position, a line each.
  const std::vector<uint8_t> position = {'M', 'F', 0, 1, 2};
  EXPECT_EQ(TurnHash("ab", 12, "2026-12-09T13:20:05Z", position),
            Sha256().Add("ab\n12\n2026-12-09T13:20:05Z\n").Add(position).HexDigest());
}

// Runs SQL on a game file as another tool would.
void Tamper(const fs::path& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  const int done = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  const std::string reason = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  ASSERT_EQ(done, SQLITE_OK) << sql << ": " << reason;
}

std::vector<uint8_t> Board(int stacks) {
  Position p;
  p.header().setMapName("Tess");
  std::vector<Unit> units;
  for (int i = 0; i < stacks; ++i) units.push_back(test::MakeUnit(10 * i, 20, 1, 2, 3));
  p.ReplaceUnits(units);
  return EncodePosition(p, false);
}

// Several programs recording into one game at once: each turn gets a number of its own, none is
// lost, and the chain holds.
TEST(GameFile, recordingsAtOnceEachTakeTheirOwnTurn) {
  test::TempDir dir;
  const fs::path path = dir / "busy.mwgame";
  // A making of the game that was killed left its temporary: the next making removes it.
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const fs::path left = dir / (".busy.mwgame.tmp-" + std::to_string(gone) + "-0");
  dir.Write(left.filename().string(), "half a game");
  ASSERT_TRUE(GameFile::Create(path, "Tess", "The Isles of Tess"));
  EXPECT_FALSE(fs::exists(left));
  constexpr int kWriters = 8, kEach = 40;
  std::vector<std::thread> writers;
  std::atomic<int> failed{0};
  for (int w = 0; w < kWriters; ++w)
    writers.emplace_back([&, w] {
      auto game = GameFile::Open(path, true);
      if (!game) return void(failed += kEach);
      for (int i = 0; i < kEach; ++i) {
        const auto recorded = game->Record({Board(w + 1), {}, {}, {}, {}, {}, {}, {}, {}});
        if (!recorded || !recorded->turn) ++failed;
      }
    });
  for (std::thread& t : writers) t.join();
  EXPECT_EQ(failed, 0);
  auto game = GameFile::Open(path);
  ASSERT_TRUE(game);
  EXPECT_EQ(game->Turns()->size(), size_t{kWriters * kEach});
  EXPECT_EQ(game->Verify()->firstBroken, 0);
}

TEST(GameFile, refusesTablesThatAreNotTheDocumentedOnesAndLeavesThemUnchanged) {
  const std::pair<const char*, const char*> crafted[] = {
      {"a view named turn",
       "ALTER TABLE turn RENAME TO kept; CREATE VIEW turn AS SELECT * FROM kept"},
      {"a trigger", "CREATE TRIGGER wipe AFTER INSERT ON turn BEGIN DELETE FROM turn; END"},
      {"a column more", "ALTER TABLE turn ADD COLUMN extra TEXT"},
      {"a column less", "DROP INDEX turn_list; ALTER TABLE turn DROP COLUMN parent"},
      {"a generated column", "ALTER TABLE turn ADD COLUMN g INT GENERATED ALWAYS AS (1)"},
      {"no key of turns",
       "CREATE TABLE t2 AS SELECT * FROM turn; DROP TABLE turn; ALTER TABLE t2 RENAME TO turn"},
      {"a time that is no UTC time", "UPDATE turn SET recorded = '9 Dec 2026' WHERE number = 2"},
      {"no id", "DELETE FROM game WHERE key = 'id'"}};
  for (const auto& [what, sql] : crafted) {
    test::TempDir dir;
    const fs::path path = dir / "crafted.mwgame";
    {
      auto game = GameFile::Create(path, "Tess", "The Isles of Tess");
      ASSERT_TRUE(game);
      for (int stacks : {1, 2})
        ASSERT_TRUE(game->Record({Board(stacks), {}, {}, {}, {}, {}, {}, {}, {}}));
    }
    Tamper(path, sql);
    const auto before = ReadFileBytes(path).value();
    auto game = GameFile::Open(path, true);
    const bool refused = !game || !game->Turns() ||
                         !game->Record({Board(3), {}, {}, {}, {}, {}, {}, {}, {}}) ||
                         !game->Verify();
    EXPECT_TRUE(refused) << what;
    EXPECT_EQ(ReadFileBytes(path).value(), before) << what;
  }
}

TEST(GameFile, aFileOfTheReleaseBeforeUpgradesAtItsFirstWriteAndItsCopiesStillJoin) {
  test::TempDir dir;
  fs::copy_file(kVersion1, dir / "mine.mwgame");
  fs::copy_file(kVersion1, dir / "theirs.mwgame");
  auto mine = GameFile::Open(dir / "mine.mwgame", true);
  auto theirs = GameFile::Open(dir / "theirs.mwgame", true);
  ASSERT_TRUE(mine && theirs);
  EXPECT_EQ(mine->schema(), 1);
  EXPECT_EQ(mine->id(), theirs->id()) << "copies of one game are one game";
  const auto turns = mine->Turns().value();
  ASSERT_EQ(turns.size(), 10u);
  // Reading changes nothing; a label is a write, and the file is of the newest schema after it.
  EXPECT_EQ(ReadFileBytes(dir / "mine.mwgame").value(), ReadFileBytes(kVersion1).value());
  ASSERT_TRUE(mine->Annotate(3, "Greyspire", turns[2].note));
  EXPECT_EQ(mine->schema(), GameFile::kSchemaVersion);
  // Each copy upgraded on its own, the other by a recording: the same identity, the same chain.
  const auto last = theirs->PositionOf(10).value();
  const auto recorded = theirs->Record({last, "Quiet", {}, 10, 10, {}, {}, {}, {}});
  ASSERT_TRUE(recorded && recorded->turn);
  for (auto* game : {&*mine, &*theirs}) {
    auto reread = GameFile::Open(game->path());
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->id(), GameFile::Open(kVersion1)->id());
    EXPECT_EQ(reread->Verify()->firstBroken, 0) << game->path();
  }
  auto taken = mine->Take(*theirs);
  ASSERT_TRUE(taken) << taken.error();
  ASSERT_FALSE(taken->parting);
  ASSERT_EQ(taken->turns.size(), 1u);
  EXPECT_EQ(mine->ChainedTurns()->back().parent, 10);
  EXPECT_EQ(mine->Turns()->at(2).label, "Greyspire") << "our labels stay ours";
  // Upgraded, recorded into and taken into, every turn has the digest of its position: the turn
  // a position is found by is the newest that holds it, whatever the digests claim.
  for (int64_t n = 1; n <= 11; ++n)
    EXPECT_EQ(mine->TurnHolding(mine->PositionOf(n).value()).value(), n == 10 ? 11 : n) << n;
  Tamper(dir / "mine.mwgame",
         "UPDATE digest SET sha256 = (SELECT sha256 FROM digest WHERE turn = 4) WHERE turn = 5;"
         "UPDATE digest SET sha256 = 'none' WHERE turn = 11;");
  EXPECT_EQ(mine->TurnHolding(mine->PositionOf(4).value()).value(), 4) << "held to its bytes";
  EXPECT_EQ(mine->TurnHolding(mine->PositionOf(11).value()).value(), 10);
  EXPECT_EQ(mine->TurnHolding(Board(7)).value(), std::nullopt);
}

// The turns listed, a turn found by its number and how many moves it has are read from the index
// of every column but the position: a few pages however long the game, saying what the table
// says. A file made before the index says the same from the table and gains it at its first write.
TEST(GameFile, theTurnsAreListedFromAFewPagesWhateverTheLengthOfTheGame) {
  test::TempDir dir;
  const fs::path made = dir / "long.mwgame", old = dir / "old.mwgame";
  constexpr int64_t kTurns = 30;
  {
    auto game = GameFile::Create(made, "Tess", "The Isles of Tess");
    ASSERT_TRUE(game);
    for (int64_t n = 1; n <= kTurns; ++n) {
      std::optional<std::vector<UndoEntry>> moves;
      if (n % 3 != 0) moves.emplace(n % 3, UndoEntry{UndoKind::kAdd, 0, 0, 5, 6, 0, 1, 2, 3, 4});
      const auto recorded = game->Record({Board(2000 + static_cast<int>(n)),
                                          n % 4 ? "" : "Spring",
                                          n % 5 ? "" : "a note",
                                          n - 1,
                                          {},
                                          moves,
                                          {},
                                          {},
                                          {}});
      ASSERT_TRUE(recorded && recorded->turn);
    }
  }
  fs::copy_file(made, old);
  Tamper(old, "DROP INDEX turn_list");
  const auto read = [&](const fs::path& path, int64_t& pages) {
    auto game = GameFile::Open(path);
    std::vector<std::string> seen;
    const auto turns = game->Turns().value();
    for (const Turn& t : turns)
      seen.push_back(std::to_string(t.number) + t.label + t.recorded + t.note);
    for (int64_t n = 0; n <= kTurns + 1; ++n) {
      const auto turn = game->FindTurn(n).value();
      const auto moves = game->MovesOf(n);
      seen.push_back(!turn ? "none"
                           : turn->label + turn->hash + std::to_string(turn->parent.value_or(-1)));
      seen.push_back(!moves ? "no turn" : *moves ? std::to_string((*moves)->size()) : "unknown");
    }
    pages = game->pagesRead();
    return seen;
  };
  int64_t listed = 0, fromTable = 0;
  const auto expected = read(old, fromTable);
  EXPECT_EQ(read(made, listed), expected);
  EXPECT_GT(fromTable, 10 * kTurns) << "the turns' rows read through their positions";
  EXPECT_LT(listed, 12) << "the list read apart from the positions";
  // The old file's first write makes the list, which then says what the table said.
  ASSERT_TRUE(GameFile::Open(old, true)->Annotate(4, "Spring", ""));
  EXPECT_EQ(read(old, fromTable), expected);
  EXPECT_LT(fromTable, 12);
  EXPECT_EQ(GameFile::Open(old)->Verify()->firstBroken, 0);
}

}  // namespace
}  // namespace mw
