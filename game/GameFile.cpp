#include "GameFile.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

#include "MapInfo.h"
#include "PackagePaths.h"
#include "PositionHeader.h"

namespace mw {
namespace {

// A prepared statement, finalised when it goes.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) {
    ok_ = sqlite3_prepare_v2(db, sql, -1, &s_, nullptr) == SQLITE_OK;
  }
  ~Statement() { sqlite3_finalize(s_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool ok() const { return ok_; }
  sqlite3_stmt* get() const { return s_; }
  int Step() { return ok_ ? sqlite3_step(s_) : SQLITE_ERROR; }
  std::string Text(int column) const {
    const auto* text = sqlite3_column_text(s_, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<size_t>(sqlite3_column_bytes(s_, column)))
                : std::string();
  }
  void Bind(int index, const std::string& text) {
    sqlite3_bind_text(s_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }

 private:
  sqlite3_stmt* s_ = nullptr;
  bool ok_ = false;
};

std::string Reason(const std::filesystem::path& path, sqlite3* db, const std::string& what) {
  return path.string() + ": " + what + (db ? std::string(": ") + sqlite3_errmsg(db) : "");
}

bool Execute(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// One value of a pragma that answers with a number.
int64_t PragmaNumber(sqlite3* db, const char* sql) {
  Statement s(db, sql);
  return s.Step() == SQLITE_ROW ? sqlite3_column_int64(s.get(), 0) : -1;
}

std::string NowUtc() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

constexpr const char* kSchema =
    "CREATE TABLE game (key TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE turn (number INTEGER PRIMARY KEY, label TEXT NOT NULL, recorded TEXT NOT NULL,"
    " note TEXT NOT NULL DEFAULT '', position BLOB NOT NULL);";

}  // namespace

bool IsGamePath(std::string_view path) {
  const std::string_view ext = GameFile::kExtension;
  return path.size() > ext.size() && EqualsIgnoringCase(path.substr(path.size() - ext.size()), ext);
}

Result<GameFile> GameFile::Open(const std::filesystem::path& path, bool writable) {
  using R = Result<GameFile>;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error))
    return R::Fail(
        path.string() + ": " +
        (std::filesystem::exists(path, error) ? "is not a regular file" : "no such file"));
  sqlite3* db = nullptr;
  const int flags = writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    const std::string reason = Reason(path, db, "cannot open the game file");
    sqlite3_close(db);
    return R::Fail(reason);
  }
  GameFile game(db, path);
  sqlite3_busy_timeout(db, 5000);
  // Before anything else: is it a database at all, and a whole one?
  {
    Statement check(db, "PRAGMA quick_check");
    const int step = check.Step();
    if (step != SQLITE_ROW && !writable &&
        sqlite3_extended_errcode(db) == SQLITE_READONLY_ROLLBACK) {
      // A recording was cut off: its journal must be rolled back, which restores the game as the
      // last whole turn left it. That takes a writer; then the file is read as asked.
      if (auto recovered = Open(path, true); !recovered) return R::Fail(recovered.error());
      return Open(path, false);
    }
    if (step != SQLITE_ROW) return R::Fail(Reason(path, db, "not a game file"));
    if (const std::string verdict = check.Text(0); verdict != "ok")
      return R::Fail(path.string() + ": the game file is damaged: " + verdict);
  }
  if (PragmaNumber(db, "PRAGMA application_id") != kApplicationId)
    return R::Fail(path.string() + ": not a game file of Marrowind");
  const int64_t version = PragmaNumber(db, "PRAGMA user_version");
  if (version > kSchemaVersion)
    return R::Fail(path.string() + ": written by a newer Marrowind (game file schema " +
                   std::to_string(version) + "; this one reads up to " +
                   std::to_string(kSchemaVersion) + ")");
  if (version < 1) return R::Fail(path.string() + ": not a game file of Marrowind");
  if (Status read = game.ReadGame(); !read) return R::Fail(read.error());
  return R::Ok(std::move(game));
}

Result<GameFile> GameFile::Create(const std::filesystem::path& path, const std::string& mapName,
                                  const std::string& mapTitle) {
  using R = Result<GameFile>;
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, error)))
    return R::Fail(path.string() + ": exists already");
  // Made whole under a temporary name beside it and then linked in, so that no half-made game
  // file ever stands under the name and none made meanwhile is overwritten.
  const std::filesystem::path temporary =
      path.parent_path() / ("." + path.filename().string() + ".tmp-" + std::to_string(::getpid()));
  std::filesystem::remove(temporary, error);
  sqlite3* db = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  if (sqlite3_open_v2(temporary.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    const std::string reason = Reason(path, db, "cannot make the game file");
    sqlite3_close(db);
    return R::Fail(reason);
  }
  bool made =
      Execute(db, "PRAGMA journal_mode=DELETE") && Execute(db, "BEGIN") && Execute(db, kSchema);
  if (made) {
    Statement insert(db, "INSERT INTO game (key, value) VALUES ('map', ?1), ('title', ?2)");
    insert.Bind(1, mapName);
    insert.Bind(2, mapTitle);
    made = insert.Step() == SQLITE_DONE;
  }
  const std::string pragmas = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                              "; PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";";
  made = made && Execute(db, pragmas.c_str()) && Execute(db, "COMMIT");
  const std::string reason = made ? std::string() : Reason(path, db, "cannot make the game file");
  sqlite3_close(db);
  int failure = 0;
  if (made && ::link(temporary.c_str(), path.c_str()) != 0) {
    failure = errno;
    // A file system without hard links (FAT on a memory stick): a rename that replaces nothing.
    if (failure == EPERM || failure == ENOTSUP || failure == ENOSYS)
      failure =
          ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0
              ? 0
              : errno;
  }
  std::filesystem::remove(temporary, error);
  if (!made || failure != 0)
    return R::Fail(reason.empty()
                       ? path.string() + ": cannot make the game file: " + std::strerror(failure)
                       : reason);
  return Open(path, true);
}

Result<GameFile> GameFile::OpenOrCreate(const std::filesystem::path& path,
                                        const std::string& mapName,
                                        const std::filesystem::path& packageFolder) {
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, error)))
    return Open(path, true);
  const auto title = ReadMapTitle(FindEntryIgnoringCase(packageFolder, package_file::kMapInfo));
  return Create(path, mapName, title ? *title : mapName);
}

GameFile::GameFile(GameFile&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      path_(std::move(other.path_)),
      mapName_(std::move(other.mapName_)),
      mapTitle_(std::move(other.mapTitle_)) {}

GameFile& GameFile::operator=(GameFile&& other) noexcept {
  if (this != &other) {
    sqlite3_close(db_);
    db_ = std::exchange(other.db_, nullptr);
    path_ = std::move(other.path_);
    mapName_ = std::move(other.mapName_);
    mapTitle_ = std::move(other.mapTitle_);
  }
  return *this;
}

GameFile::~GameFile() { sqlite3_close(db_); }

Status GameFile::ReadGame() {
  Statement s(db_, "SELECT key, value FROM game WHERE key IN ('map', 'title')");
  if (!s.ok()) return Status::Fail(Reason(path_, db_, "not a game file of Marrowind"));
  bool named = false;
  for (int step; (step = s.Step()) == SQLITE_ROW;) {
    const std::string key = s.Text(0);
    if (key == "map") {
      mapName_ = s.Text(1);
      named = true;
    } else {
      mapTitle_ = s.Text(1);
    }
  }
  if (!named) return Status::Fail(path_.string() + ": the game file names no map");
  // The turns must be there to be read, with every column this program reads.
  if (!Statement(db_, "SELECT number, label, recorded, note, position FROM turn LIMIT 0").ok())
    return Status::Fail(Reason(path_, db_, "the game file has no turns table"));
  return Status::Ok();
}

Result<std::vector<Turn>> GameFile::Turns() const {
  using R = Result<std::vector<Turn>>;
  Statement s(db_, "SELECT number, label, recorded, note FROM turn ORDER BY number");
  std::vector<Turn> turns;
  int step = SQLITE_ERROR;
  while ((step = s.Step()) == SQLITE_ROW)
    turns.push_back({sqlite3_column_int64(s.get(), 0), s.Text(1), s.Text(2), s.Text(3)});
  if (step != SQLITE_DONE) return R::Fail(Reason(path_, db_, "cannot read the turns"));
  return R::Ok(std::move(turns));
}

Result<std::vector<uint8_t>> GameFile::PositionOf(int64_t number) const {
  using R = Result<std::vector<uint8_t>>;
  Statement s(db_, "SELECT position FROM turn WHERE number = ?1");
  sqlite3_bind_int64(s.get(), 1, number);
  const int step = s.Step();
  if (step == SQLITE_DONE)
    return R::Fail(path_.string() + ": the game has no turn " + std::to_string(number));
  if (step != SQLITE_ROW) return R::Fail(Reason(path_, db_, "cannot read the turn"));
  const auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(s.get(), 0));
  const auto size = static_cast<size_t>(sqlite3_column_bytes(s.get(), 0));
  return R::Ok(std::vector<uint8_t>(bytes, bytes + size));
}

Result<Turn> GameFile::Record(std::span<const uint8_t> position, const std::string& label,
                              const std::string& note) {
  using R = Result<Turn>;
  PositionHeader header;
  if (position.size() > INT32_MAX) return R::Fail("the position is too large to record");
  if (position.size() < PositionHeader::kSize)
    return R::Fail("not a position of the native format: too short");
  std::copy_n(position.begin(), PositionHeader::kSize, header.bytes().begin());
  if (!header.hasMagic()) return R::Fail("not a position of the native format");
  if (!EqualsIgnoringCase(header.mapName(), mapName_))
    return R::Fail("a position of the map " + header.mapName() + " cannot be recorded into " +
                   path_.string() + ", a game on the map " + mapName_);
  // The next number and the new row in one transaction that writes from its start.
  if (!Execute(db_, "BEGIN IMMEDIATE")) return R::Fail(Reason(path_, db_, "cannot record"));
  Turn turn;
  turn.number = PragmaNumber(db_, "SELECT coalesce(max(number), 0) + 1 FROM turn");
  turn.label = label.empty() ? "Turn " + std::to_string(turn.number) : label;
  turn.recorded = NowUtc();
  turn.note = note;
  Statement insert(db_,
                   "INSERT INTO turn (number, label, recorded, note, position) "
                   "VALUES (?1, ?2, ?3, ?4, ?5)");
  sqlite3_bind_int64(insert.get(), 1, turn.number);
  insert.Bind(2, turn.label);
  insert.Bind(3, turn.recorded);
  insert.Bind(4, turn.note);
  sqlite3_bind_blob(insert.get(), 5, position.data(), static_cast<int>(position.size()),
                    SQLITE_TRANSIENT);
  if (turn.number < 1 || insert.Step() != SQLITE_DONE || !Execute(db_, "COMMIT")) {
    const std::string reason = Reason(path_, db_, "cannot record");
    Execute(db_, "ROLLBACK");
    return R::Fail(reason);
  }
  return R::Ok(std::move(turn));
}

Result<Turn> GameFile::Annotate(int64_t number, const std::string& label, const std::string& note) {
  using R = Result<Turn>;
  Statement update(db_,
                   "UPDATE turn SET label = ?2, note = ?3 WHERE number = ?1 "
                   "RETURNING number, label, recorded, note");
  sqlite3_bind_int64(update.get(), 1, number);
  update.Bind(2, label.empty() ? "Turn " + std::to_string(number) : label);
  update.Bind(3, note);
  const int step = update.Step();
  if (step == SQLITE_DONE)
    return R::Fail(path_.string() + ": there is no turn " + std::to_string(number));
  if (step != SQLITE_ROW) return R::Fail(Reason(path_, db_, "cannot change the turn"));
  Turn turn{sqlite3_column_int64(update.get(), 0), update.Text(1), update.Text(2), update.Text(3)};
  // The change is committed when the statement is done.
  if (update.Step() != SQLITE_DONE) return R::Fail(Reason(path_, db_, "cannot change the turn"));
  return R::Ok(std::move(turn));
}

}  // namespace mw
