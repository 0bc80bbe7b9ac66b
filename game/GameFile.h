// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Result.h"
#include "UndoEntry.h"

struct sqlite3;

namespace mw {

// One turn of a game as it was recorded.
struct Turn {
  int64_t number = 0;    // 1, 2, ... in the order recorded
  std::string label;     // "Turn N" unless the player named it
  std::string recorded;  // when, in ISO 8601 UTC: "2026-12-09T13:20:05Z"
  std::string note;      // empty for none
  // The chain: SHA-256 over the turn before's hash, the number, the time and the position, as
  // TurnHash says. Empty for a turn of a file of schema 1, which stores none.
  std::string hash;
  std::optional<int64_t> parent;  // the turn the position was made from, where it is known
};

// The hash of a turn in the chain: the lowercase hex SHA-256 of `previous` (the hash of the turn
// before, empty for turn 1), a newline, the number in decimal, a newline, `recorded`, a newline
// and the position's bytes. Label and note lie outside it: they may be changed.
std::string TurnHash(const std::string& previous, int64_t number, const std::string& recorded,
                     std::span<const uint8_t> position);

// A turn to append: the bytes of a whole native position file of the game's map, its label
// ("Turn N" when empty) and note, the turn it was made from (when known), and the turn the
// recorder expects to be the game's last (none: whatever it is).
struct NewTurn {
  std::span<const uint8_t> position;
  std::string label, note;
  std::optional<int64_t> parent;
  std::optional<int64_t> after;
  // The moves that led from the parent turn to the position, in order; none where they are not
  // known (a position made elsewhere).
  std::optional<std::vector<UndoEntry>> moves;
  // The totals of the position, as EncodeFigures writes them, computed on the map whose key is
  // `figuresMap`; and those of earlier turns that the game holds none of on that map. None are
  // stored without a key.
  std::string figuresMap;
  std::optional<std::vector<uint8_t>> figures;
  std::map<int64_t, std::vector<uint8_t>> earlierFigures;
};

// What a recording did: the turn recorded, or none because the game's last turn was not the one
// expected (`last`, 0 for a game without turns); then nothing was written.
struct Recording {
  std::optional<Turn> turn;
  int64_t last = 0;
};

// Where two copies of a game part: the first turn that is not the same in both, and how.
struct Parting {
  enum class How {
    kPosition,         // both have the turn; its position differs
    kTime,             // both have it; it was recorded at another time
    kPositionAndTime,  // both differ
    kOnlyHere,         // a turn this copy has and the other lacks, with later turns in the other
    kOnlyThere,        // the other way round
    kChainHere,        // this copy's turn does not match its own chain: changed since recorded
    kChainThere,       // the other copy's turn does not match its chain
  };
  int64_t turn = 0;
  How how = How::kPosition;
  // In words, naming the two files: "turn 6 differs in its position".
  std::string Describe(const std::string& here, const std::string& there) const;
};

// What taking the turns of another copy does: the turns it adds (in order), or where the two
// copies part, when they do (then it adds nothing).
struct Taking {
  std::vector<Turn> turns;
  std::optional<Parting> parting;
};

// What recomputing a game's chain found: the number of turns, and the first turn whose stored
// hash is not the one its position, time and the turns before give (0 when every one matches).
struct Verification {
  int64_t turns = 0;
  int64_t firstBroken = 0;
  std::string reason;  // why that turn fails: "its hash does not match" or "turn 5 is missing"
};

// A game: one SQLite database holding the map it is played on and its turns, each with the
// bytes of its position exactly as a position file (.QPX) holds them, chained by hashes, so that
// copies of one game on several machines can be joined and checked. A turn is committed whole
// or not at all, whatever happens to the process or the machine; the schema is in
// docs/GAMEFILE.md.
class GameFile {
 public:
  // "MWGm" in the database header, so that tools can tell a game file from other databases.
  static constexpr int32_t kApplicationId = 0x4D57476D;
  // The newest schema this program reads and writes; older ones are read and upgraded at their
  // first write.
  static constexpr int32_t kSchemaVersion = 4;
  static constexpr const char* kExtension = ".mwgame";

  // Opens an existing game file, for reading only or for recording too. Fails with the reason,
  // changing nothing, for a file that is no game file, one whose tables are not the documented
  // ones (views, triggers, other columns) or one written by a newer schema. Damage is found in
  // the pages read, when they are read; CheckPages looks at every page.
  static Result<GameFile> Open(const std::filesystem::path& path, bool writable = false);
  // Makes a new game file of a map, with an identity of its own; fails when the path exists.
  static Result<GameFile> Create(const std::filesystem::path& path, const std::string& mapName,
                                 const std::string& mapTitle);

  // Opens the game file at `path` to record into, or makes it for a map when there is none,
  // titled as the map package in `packageFolder` says (the map's name where it says nothing).
  static Result<GameFile> OpenOrCreate(const std::filesystem::path& path,
                                       const std::string& mapName,
                                       const std::filesystem::path& packageFolder);

  GameFile(GameFile&& other) noexcept;
  GameFile& operator=(GameFile&& other) noexcept;
  GameFile(const GameFile&) = delete;
  GameFile& operator=(const GameFile&) = delete;
  ~GameFile();

  const std::string& mapName() const { return mapName_; }
  const std::string& mapTitle() const { return mapTitle_; }
  const std::filesystem::path& path() const { return path_; }
  // The game's identity, shared by its copies: a UUID made with the game. A file of schema 1
  // has none stored; it is then made from the game's map and first turn, so that every copy of
  // the game, upgraded or not, gets the same one.
  const std::string& id() const { return id_; }
  int32_t schema() const { return schema_; }

  // The turns in order, without their positions, hashes and parents: what is stored before the
  // position in a turn's row, so that listing the turns reads none of their positions.
  Result<std::vector<Turn>> Turns() const;
  // The same with their hashes and parents (for schema 1, hashes computed from the positions).
  Result<std::vector<Turn>> ChainedTurns() const;
  // Turn `number`, or the last turn for 0; none when there is no such turn.
  Result<std::optional<Turn>> FindTurn(int64_t number) const;
  // The position bytes of turn `number`; fails when there is no such turn.
  Result<std::vector<uint8_t>> PositionOf(int64_t number) const;
  // The moves of a turn in order, none where the turn was recorded without them (a position made
  // elsewhere, or a turn of a file older than schema 3); fails for a turn the game lacks.
  Result<std::optional<std::vector<UndoEntry>>> MovesOf(int64_t number) const;
  // The totals stored of each turn, computed on the map whose key is `map`, by turn; the turns
  // without them (recorded by the command line, or before schema 4) are not there.
  Result<std::map<int64_t, std::vector<uint8_t>>> StoredFigures(const std::string& map) const;
  // How many positions were read so far: what opening and stepping through a game cost.
  int64_t positionsRead() const { return positionsRead_; }
  // How many pages of the file this connection has read so far.
  int64_t pagesRead() const;
  // The newest turn whose position is exactly these bytes, if any.
  Result<std::optional<int64_t>> TurnHolding(std::span<const uint8_t> position) const;
  // Appends a turn. The last turn is looked at inside the recording's transaction, so that a turn
  // another program recorded a moment before is seen: when it is not `after`, nothing is
  // written. Fails for a position that is not a whole native position file of this game's map.
  Result<Recording> Record(const NewTurn& turn);
  // Gives turn `number` a new label ("Turn N" when empty) and note; its position stays as it
  // was recorded. Fails when there is no such turn.
  Result<Turn> Annotate(int64_t number, const std::string& label, const std::string& note);

  // SQLite's check of every page of the file: empty when the file is whole, else what is
  // damaged. It reads the whole file, so its cost follows the length of the game.
  Result<std::string> CheckPages() const;
  // Makes what runs on this file in another thread (CheckPages) stop soon, failing.
  void Interrupt() const;
  // Checks every page, then recomputes the chain from the positions: whether every turn is what
  // was recorded. Fails for a damaged file, saying what is damaged.
  Result<Verification> Verify() const;
  // What taking the turns of `other`, a copy of this game, would add: the turns after those both
  // hold, when those are the same in both. Fails when `other` holds another game.
  Result<Taking> PlanTaking(const GameFile& other) const;
  // Adds those turns, in one transaction that looks at this game's turns again; nothing is
  // written when the copies part.
  Result<Taking> Take(const GameFile& other);

  // Whether the file under the name is no longer the one opened: another program replaced it
  // (a sync tool renames its copy over it) or it was removed.
  bool Replaced() const;
  // A number that changes whenever another connection commits a change to the file.
  int64_t DataVersion() const;

 private:
  GameFile(sqlite3* db, std::filesystem::path path) : db_(db), path_(std::move(path)) {}
  Status CheckSchema();
  // The turns in order; with their hashes and parents where `chained` and the file stores them.
  Result<std::vector<Turn>> ReadTurns(bool chained) const;
  Status ReadGame();
  // Within a write transaction: brings a file of an older schema to the newest, and one without
  // the list of turns (`turn_list`) gains it.
  Status Upgrade();
  Status UpgradeSchema();
  // After a write: whether the list of turns is there to read from.
  void KnowTurnList();
  bool InsertMoves(int64_t number, const std::vector<UndoEntry>& moves);
  bool InsertDigest(int64_t number, std::span<const uint8_t> position);
  bool InsertFigures(const std::string& map,
                     const std::map<int64_t, std::vector<uint8_t>>& figures);
  Result<Taking> Plan(const GameFile& other, const std::vector<Turn>& mine,
                      const std::vector<Turn>& theirs) const;

  sqlite3* db_ = nullptr;
  std::filesystem::path path_;
  std::string mapName_, mapTitle_, id_;
  int32_t schema_ = kSchemaVersion;
  dev_t device_ = 0;  // the file opened, to see it replaced
  ino_t inode_ = 0;
  mutable int64_t positionsRead_ = 0;
  bool turnList_ = false;  // the file holds the index `turn_list`
};

// Whether a name is that of a game file: it ends in ".mwgame", in any case.
bool IsGamePath(std::string_view path);

}  // namespace mw
