#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "Result.h"

struct sqlite3;

namespace mw {

// One turn of a game as it was recorded.
struct Turn {
  int64_t number = 0;    // 1, 2, ... in the order recorded
  std::string label;     // "Turn N" unless the player named it
  std::string recorded;  // when, in ISO 8601 UTC: "2026-12-09T13:20:05Z"
  std::string note;      // empty for none
};

// A game: one SQLite database holding the map it is played on and its turns, each with the
// bytes of its position exactly as a position file (.QPX) holds them. A turn is committed whole
// or not at all, whatever happens to the process or the machine; the schema is in
// docs/GAMEFILE.md.
class GameFile {
 public:
  // "MWGm" in the database header, so that tools can tell a game file from other databases.
  static constexpr int32_t kApplicationId = 0x4D57476D;
  // The newest schema this program reads and writes; older ones are read.
  static constexpr int32_t kSchemaVersion = 1;
  static constexpr const char* kExtension = ".mwgame";

  // Opens an existing game file, for reading only or for recording too. Fails with the reason,
  // changing nothing, for a file that is no game file, a damaged one (SQLite's quick check runs
  // first) or one written by a newer schema.
  static Result<GameFile> Open(const std::filesystem::path& path, bool writable = false);
  // Makes a new game file of a map; fails when the path exists already.
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

  // The turns in order, without their positions.
  Result<std::vector<Turn>> Turns() const;
  // The position bytes of turn `number`; fails when there is no such turn.
  Result<std::vector<uint8_t>> PositionOf(int64_t number) const;
  // Appends a position (the bytes of a .QPX file of this game's map) as the next turn, with a
  // label ("Turn N" when empty) and a note; returns the turn recorded.
  Result<Turn> Record(std::span<const uint8_t> position, const std::string& label,
                      const std::string& note);
  // Gives turn `number` a new label ("Turn N" when empty) and note; its position stays as it
  // was recorded. Fails when there is no such turn.
  Result<Turn> Annotate(int64_t number, const std::string& label, const std::string& note);

 private:
  GameFile(sqlite3* db, std::filesystem::path path) : db_(db), path_(std::move(path)) {}
  Status ReadGame();

  sqlite3* db_ = nullptr;
  std::filesystem::path path_;
  std::string mapName_, mapTitle_;
};

// Whether a name is that of a game file: it ends in ".mwgame", in any case.
bool IsGamePath(std::string_view path);

}  // namespace mw
