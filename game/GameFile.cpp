// SPDX-License-Identifier: GPL-3.0-or-later
#include "GameFile.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <random>
#include <set>
#include <utility>

#include "FileBytes.h"
#include "MapInfo.h"
#include "PackagePaths.h"
#include "PositionFile.h"
#include "PositionHeader.h"
#include "Sha256.h"

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
  std::span<const uint8_t> Blob(int column) const {
    const auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(s_, column));
    return {bytes, bytes ? static_cast<size_t>(sqlite3_column_bytes(s_, column)) : 0};
  }
  int64_t Number(int column) const { return sqlite3_column_int64(s_, column); }
  bool IsNull(int column) const { return sqlite3_column_type(s_, column) == SQLITE_NULL; }
  void Bind(int index, const std::string& text) {
    sqlite3_bind_text(s_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  void Bind(int index, std::span<const uint8_t> bytes) {
    sqlite3_bind_blob(s_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  }
  void Bind(int index, int64_t number) { sqlite3_bind_int64(s_, index, number); }
  void Bind(int index, std::optional<int64_t> number) {
    if (number)
      Bind(index, *number);
    else
      sqlite3_bind_null(s_, index);
  }

 private:
  sqlite3_stmt* s_ = nullptr;
  bool ok_ = false;
};

// What went wrong, in the words of the fault: SQLite's own words say "readonly database" also
// of a file that another program replaced meanwhile.
std::string Fault(sqlite3* db) {
  const int code = sqlite3_extended_errcode(db);
  switch (code) {
    case SQLITE_READONLY_DBMOVED:
      return "the file was replaced or moved by another program meanwhile";
    case SQLITE_FULL:
      return "the disk is full";
    case SQLITE_NOTADB:
      return "not a game file";
    default:
      break;
  }
  switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "another program is writing the game file; try again in a moment";
    case SQLITE_READONLY:
      return "the file may not be written (it or its folder is read-only)";
    case SQLITE_CORRUPT:
      return "the game file is damaged";
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
      return std::string(sqlite3_errmsg(db)) +
             (sqlite3_system_errno(db) ? std::string(": ") + std::strerror(sqlite3_system_errno(db))
                                       : std::string());
    default:
      return sqlite3_errmsg(db);
  }
}

std::string Reason(const std::filesystem::path& path, sqlite3* db, const std::string& what) {
  return path.string() + ": " + what + (db ? ": " + Fault(db) : std::string());
}

bool Execute(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// One value of a pragma or query that answers with a number.
int64_t QueryNumber(sqlite3* db, const char* sql) {
  Statement s(db, sql);
  return s.Step() == SQLITE_ROW ? s.Number(0) : -1;
}

std::string NowUtc() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

// "2026-12-09T13:20:05Z" and nothing else: a time of the calendar in UTC.
bool IsUtcTime(const std::string& text) {
  static constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:ddZ";
  if (text.size() != kShape.size()) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (kShape[i] == 'd' ? text[i] < '0' || text[i] > '9' : text[i] != kShape[i]) return false;
  const auto field = [&](size_t at, size_t n) { return std::stoi(text.substr(at, n)); };
  return field(5, 2) >= 1 && field(5, 2) <= 12 && field(8, 2) >= 1 && field(8, 2) <= 31 &&
         field(11, 2) <= 23 && field(14, 2) <= 59 && field(17, 2) <= 60;
}

// A UUID as text from 16 bytes, marked with its version and the variant of RFC 9562.
std::string UuidText(std::array<uint8_t, 16> bytes, int version) {
  bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0f) | version << 4);
  bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3f) | 0x80);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 15];
  }
  return text;
}

std::string RandomUuid() {
  std::random_device device;
  std::array<uint8_t, 16> bytes;
  for (size_t i = 0; i < bytes.size(); i += 4) {
    const uint32_t r = device();
    for (size_t k = 0; k < 4; ++k) bytes[i + k] = static_cast<uint8_t>(r >> (8 * k));
  }
  return UuidText(bytes, 4);
}

// The identity of a game of schema 1, which stored none: the same for every copy, made from what
// every copy holds alike.
std::string DerivedUuid(const std::string& map, const std::string& firstTurn) {
  const std::string digest = Sha256().Add("Marrowind game\n" + map + "\n" + firstTurn).HexDigest();
  std::array<uint8_t, 16> bytes;
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<uint8_t>(std::stoi(digest.substr(2 * i, 2), nullptr, 16));
  return UuidText(bytes, 8);
}

// The table of moves, added by schema 3 with the column turn.moves (how many a turn has; NULL
// where they are not known).
#define MW_MOVE_TABLE                                                                        \
  "CREATE TABLE move (turn INTEGER NOT NULL, seq INTEGER NOT NULL, action INTEGER NOT NULL," \
  " count INTEGER NOT NULL, piece INTEGER NOT NULL, country INTEGER NOT NULL,"               \
  " from_x INTEGER NOT NULL, from_y INTEGER NOT NULL, from_sector INTEGER NOT NULL,"         \
  " to_x INTEGER NOT NULL, to_y INTEGER NOT NULL, to_sector INTEGER NOT NULL,"               \
  " PRIMARY KEY (turn, seq));"

// The tables added by schema 4. `figures` keeps each turn's totals, computed once and read instead
// of every turn's position; `map` is the key of the map they were computed on (FiguresMapKey),
// and totals of another map are computed again. `digest` keeps the SHA-256 of each turn's
// position, which finds the turn a position was made from without reading every position.
#define MW_SCHEMA4_TABLES                                                                     \
  "CREATE TABLE figures (turn INTEGER PRIMARY KEY, map TEXT NOT NULL, totals BLOB NOT NULL);" \
  "CREATE TABLE digest (turn INTEGER PRIMARY KEY, sha256 TEXT NOT NULL);"

// Every column of `turn` but the position, in the order of the turns. A row of `turn` is its
// position's pages in a chain: the list of turns read from the table reads a page of every turn,
// and a column after the position (hash, parent, moves) is reached only through every page of
// it. The index holds them apart, so that listing the turns and finding one read a few pages
// however long the game. SQLite keeps it with the table, whichever program writes.
#define MW_TURN_LIST " turn_list ON turn (number, label, recorded, note, hash, parent, moves)"

constexpr const char* kSchema =
    "CREATE TABLE game (key TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE turn (number INTEGER PRIMARY KEY, label TEXT NOT NULL, recorded TEXT NOT NULL,"
    " note TEXT NOT NULL DEFAULT '', position BLOB NOT NULL, hash TEXT NOT NULL,"
    " parent INTEGER, moves INTEGER);" MW_MOVE_TABLE MW_SCHEMA4_TABLES "CREATE INDEX" MW_TURN_LIST
    ";";
// As SQLite keeps it in the schema.
constexpr const char* kTurnList = "CREATE INDEX" MW_TURN_LIST;
constexpr const char* kMakeTurnList = "CREATE INDEX IF NOT EXISTS" MW_TURN_LIST ";";
#undef MW_TURN_LIST
constexpr const char* kMoveTable = MW_MOVE_TABLE;
constexpr const char* kSchema4Tables = MW_SCHEMA4_TABLES;
#undef MW_MOVE_TABLE
#undef MW_SCHEMA4_TABLES

// The statement that made each table of kSchema, as SQLite keeps it in the schema.
const std::map<std::string, std::string>& MadeTables() {
  static const std::map<std::string, std::string> made = [] {
    std::map<std::string, std::string> tables;
    const std::string_view schema = kSchema;
    for (size_t start = 0, end; (end = schema.find(';', start)) != std::string_view::npos;
         start = end + 1) {
      const std::string_view statement = schema.substr(start, end - start);
      if (!statement.starts_with("CREATE TABLE ")) continue;
      const size_t name = std::string_view("CREATE TABLE ").size();
      tables.emplace(statement.substr(name, statement.find(' ', name) - name), statement);
    }
    return tables;
  }();
  return made;
}

// The columns of the tables, by schema.
const std::set<std::string> kGameColumns = {"key", "value"};
const std::set<std::string> kTurnColumns1 = {"number", "label", "recorded", "note", "position"};
const std::set<std::string> kTurnColumns2 = {"number",   "label", "recorded", "note",
                                             "position", "hash",  "parent"};
const std::set<std::string> kTurnColumns3 = {"number",   "label", "recorded", "note",
                                             "position", "hash",  "parent",   "moves"};
const std::set<std::string> kFiguresColumns = {"turn", "map", "totals"};
const std::set<std::string> kDigestColumns = {"turn", "sha256"};
const std::set<std::string> kMoveColumns = {"turn",        "seq",     "action", "count",
                                            "piece",       "country", "from_x", "from_y",
                                            "from_sector", "to_x",    "to_y",   "to_sector"};

// Whether a position can be a turn of the game on `map`: a whole native position file of it.
Status CheckTurnPosition(std::span<const uint8_t> position, const std::string& map,
                         const std::string& what) {
  PositionHeader header;
  if (position.size() > INT32_MAX) return Status::Fail(what + " is too large to record");
  std::copy_n(position.begin(), std::min(position.size(), PositionHeader::kSize),
              header.bytes().begin());
  if (position.size() < PositionHeader::kSize || !header.hasMagic())
    return Status::Fail(what + " is not a position of the native format");
  if (const PositionExtent extent = ExtentOf(position); !extent.whole())
    return Status::Fail(extent.Describe(what) + ": a cut position is never recorded");
  if (!EqualsIgnoringCase(header.mapName(), map))
    return Status::Fail(what + " is a position of the map " + header.mapName() +
                        ", the game one of the map " + map);
  return Status::Ok();
}

// A write transaction, rolled back unless committed.
class WriteTransaction {
 public:
  explicit WriteTransaction(sqlite3* db) : db_(db), open_(Execute(db, "BEGIN IMMEDIATE")) {}
  ~WriteTransaction() {
    if (open_) Execute(db_, "ROLLBACK");
  }
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;
  bool open() const { return open_; }
  bool Commit() {
    open_ = !Execute(db_, "COMMIT");
    return !open_;
  }

 private:
  sqlite3* db_;
  bool open_;
};

}  // namespace

std::string TurnHash(const std::string& previous, int64_t number, const std::string& recorded,
                     std::span<const uint8_t> position) {
  return Sha256()
      .Add(previous + "\n" + std::to_string(number) + "\n" + recorded + "\n")
      .Add(position)
      .HexDigest();
}

std::string Parting::Describe(const std::string& here, const std::string& there) const {
  const std::string at = "turn " + std::to_string(turn);
  const std::string part = here + " and " + there + " part at " + at + ": ";
  switch (how) {
    case How::kPosition:
      return part + "its position differs";
    case How::kTime:
      return part + "it was recorded at another time";
    case How::kPositionAndTime:
      return part + "its position and the time it was recorded differ";
    case How::kOnlyHere:
      return part + "only " + here + " has it";
    case How::kOnlyThere:
      return part + "only " + there + " has it";
    case How::kChainHere:
    case How::kChainThere:
      return at + " of " + (how == How::kChainHere ? here : there) +
             " does not match its chain: its position or time was changed after it was recorded";
  }
  return part;
}

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
  if (struct stat file{}; ::stat(path.c_str(), &file) == 0) {
    game.device_ = file.st_dev;
    game.inode_ = file.st_ino;
  }
  sqlite3_busy_timeout(db, 5000);
  // The reads of the opening share one read transaction: one lock taken and one look at the
  // file's header, not one for each statement. A failure below closes the file, which ends it.
  Execute(db, "BEGIN");
  // Before anything else: is it a database at all? Only the pages read are checked here, as every
  // read checks them: a check of every page would make opening cost as much as the whole file.
  {
    Statement check(db, "SELECT count(*) FROM sqlite_schema");
    const int step = check.Step();
    if (step != SQLITE_ROW && !writable &&
        sqlite3_extended_errcode(db) == SQLITE_READONLY_ROLLBACK) {
      // A recording was cut off: its journal must be rolled back, which restores the game as the
      // last whole turn left it. That takes a writer; then the file is read as asked.
      if (auto recovered = Open(path, true); !recovered) return R::Fail(recovered.error());
      return Open(path, false);
    }
    if (step != SQLITE_ROW) return R::Fail(Reason(path, db, "not a game file"));
  }
  if (QueryNumber(db, "PRAGMA application_id") != kApplicationId)
    return R::Fail(path.string() + ": not a game file of Marrowind");
  const int64_t version = QueryNumber(db, "PRAGMA user_version");
  if (version > kSchemaVersion)
    return R::Fail(path.string() + ": written by a newer Marrowind (game file schema " +
                   std::to_string(version) + "; this one reads up to " +
                   std::to_string(kSchemaVersion) + ")");
  if (version < 1) return R::Fail(path.string() + ": not a game file of Marrowind");
  game.schema_ = static_cast<int32_t>(version);
  if (Status checked = game.CheckSchema(); !checked) return R::Fail(checked.error());
  if (Status read = game.ReadGame(); !read) return R::Fail(read.error());
  if (!Execute(db, "COMMIT")) return R::Fail(Reason(path, db, "cannot read the game file"));
  // What a write needs to be whole after a crash or a power loss, whatever the file asked for.
  if (writable && !Execute(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL"))
    return R::Fail(Reason(path, db, "cannot prepare the game file for recording"));
  return R::Ok(std::move(game));
}

// The tables as documented and nothing that runs on its own: a view or a trigger could make a
// recording report a turn it did not store, or change turns recorded before.
Status GameFile::CheckSchema() {
  const auto refuse = [&](const std::string& what) {
    return Status::Fail(path_.string() + ": not a game file of Marrowind: " + what);
  };
  Statement objects(db_, "SELECT type, name, sql FROM sqlite_schema");
  std::map<std::string, std::string> tables;  // name: how it was made
  int step;
  while ((step = objects.Step()) == SQLITE_ROW) {
    const std::string type = objects.Text(0), name = objects.Text(1);
    if (type == "trigger") return refuse("it holds a trigger (" + name + ")");
    // Another index under the name is not read as the list.
    if (type == "index" && name == "turn_list") turnList_ = objects.Text(2) == kTurnList;
    if (name == "game" || name == "turn" || name == "move" || name == "figures" ||
        name == "digest") {
      if (type != "table") return refuse(name + " is a " + type + ", not a table");
      tables[name] = objects.Text(2);
    }
  }
  if (step != SQLITE_DONE) return Status::Fail(Reason(path_, db_, "cannot read the game file"));
  std::vector<const char*> names = {"game", "turn"};
  if (schema_ >= 3) names.push_back("move");
  if (schema_ >= 4) names.insert(names.end(), {"figures", "digest"});
  for (const char* name : names) {
    if (!tables.contains(name)) return refuse(std::string("it has no table ") + name);
    if (!tables[name].starts_with("CREATE TABLE"))
      return refuse(std::string("the table ") + name + " is not a plain table");
  }
  // SQLite knows a table's columns only from the statement that made it, kept as it was written.
  // A game made by this version keeps the statements of kSchema word for word, so its columns
  // are known without asking for them; any other (an older schema upgraded, or a file made by
  // hand) has them read and compared below.
  if (schema_ == kSchemaVersion && tables == MadeTables()) return Status::Ok();
  // The columns of every table, read in one statement: opening costs a few statements.
  std::map<std::string, std::set<std::string>> columns;
  bool numberIsKey = false;
  Statement info(db_,
                 "SELECT t.name, c.name, c.type, c.pk, c.hidden FROM sqlite_schema AS t,"
                 " pragma_table_xinfo(t.name) AS c WHERE t.type = 'table' AND"
                 " t.name IN ('game', 'turn', 'move', 'figures', 'digest')");
  while ((step = info.Step()) == SQLITE_ROW) {
    std::set<std::string>& names = columns[info.Text(0)];
    const std::string column = info.Text(1);
    // Generated and hidden columns hold what no recording wrote.
    if (info.Number(4) != 0) names.insert("(hidden) " + column);
    names.insert(column);
    if (info.Text(0) == "turn" && column == "number")
      numberIsKey = EqualsIgnoringCase(info.Text(2), "INTEGER") && info.Number(3) == 1;
  }
  if (step != SQLITE_DONE) return Status::Fail(Reason(path_, db_, "cannot read the game file"));
  if (columns["game"] != kGameColumns)
    return refuse("the table game does not have the columns key and value");
  const auto& wanted = schema_ == 1 ? kTurnColumns1 : schema_ == 2 ? kTurnColumns2 : kTurnColumns3;
  if (columns["turn"] != wanted || !numberIsKey)
    return refuse("the table turn does not have the columns of schema " + std::to_string(schema_));
  if (schema_ >= 3 && columns["move"] != kMoveColumns)
    return refuse("the table move does not have the columns of schema " + std::to_string(schema_));
  if (schema_ >= 4 && columns["figures"] != kFiguresColumns)
    return refuse("the table figures does not have the columns of schema " +
                  std::to_string(schema_));
  if (schema_ >= 4 && columns["digest"] != kDigestColumns)
    return refuse("the table digest does not have the columns of schema " +
                  std::to_string(schema_));
  return Status::Ok();
}

Result<GameFile> GameFile::Create(const std::filesystem::path& path, const std::string& mapName,
                                  const std::string& mapTitle) {
  using R = Result<GameFile>;
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, error)))
    return R::Fail(path.string() + ": exists already");
  // Made whole under a temporary name beside it and then linked in, so that no half-made game
  // file ever stands under the name and none made meanwhile is overwritten.
  // What a making of this game that was killed left behind goes first.
  RemoveAbandonedTemporariesOf(path);
  const std::filesystem::path temporary = TemporaryNameFor(path);
  std::filesystem::remove(temporary, error);
  sqlite3* db = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  if (sqlite3_open_v2(temporary.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    const std::string reason = Reason(path, db, "cannot make the game file");
    sqlite3_close(db);
    return R::Fail(reason);
  }
  bool made = Execute(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL") &&
              Execute(db, "BEGIN") && Execute(db, kSchema);
  if (made) {
    Statement insert(db,
                     "INSERT INTO game (key, value) VALUES ('map', ?1), ('title', ?2), "
                     "('id', ?3)");
    insert.Bind(1, mapName);
    insert.Bind(2, mapTitle);
    insert.Bind(3, RandomUuid());
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
      mapTitle_(std::move(other.mapTitle_)),
      id_(std::move(other.id_)),
      schema_(other.schema_),
      device_(other.device_),
      inode_(other.inode_),
      positionsRead_(other.positionsRead_),
      turnList_(other.turnList_) {}

GameFile& GameFile::operator=(GameFile&& other) noexcept {
  if (this != &other) {
    sqlite3_close(db_);
    db_ = std::exchange(other.db_, nullptr);
    path_ = std::move(other.path_);
    mapName_ = std::move(other.mapName_);
    mapTitle_ = std::move(other.mapTitle_);
    id_ = std::move(other.id_);
    schema_ = other.schema_;
    device_ = other.device_;
    inode_ = other.inode_;
    positionsRead_ = other.positionsRead_;
    turnList_ = other.turnList_;
  }
  return *this;
}

GameFile::~GameFile() { sqlite3_close(db_); }

Status GameFile::ReadGame() {
  Statement s(db_, "SELECT key, value FROM game WHERE key IN ('map', 'title', 'id')");
  if (!s.ok()) return Status::Fail(Reason(path_, db_, "not a game file of Marrowind"));
  bool named = false;
  for (int step; (step = s.Step()) == SQLITE_ROW;) {
    const std::string key = s.Text(0);
    if (key == "map") {
      mapName_ = s.Text(1);
      named = true;
    } else if (key == "title") {
      mapTitle_ = s.Text(1);
    } else {
      id_ = s.Text(1);
    }
  }
  if (!named) return Status::Fail(path_.string() + ": the game file names no map");
  if (schema_ >= 2 && id_.empty()) return Status::Fail(path_.string() + ": the game has no id");
  if (schema_ == 1) {
    // The first turn's hash, whichever copy computes it; a game without turns has its title.
    Statement first(db_, "SELECT recorded, position FROM turn ORDER BY number LIMIT 1");
    const int step = first.Step();
    if (step != SQLITE_ROW && step != SQLITE_DONE)
      return Status::Fail(Reason(path_, db_, "cannot read the turns"));
    id_ = DerivedUuid(mapName_, step == SQLITE_ROW ? TurnHash({}, 1, first.Text(0), first.Blob(1))
                                                   : "title " + mapTitle_);
  }
  return Status::Ok();
}

Result<std::vector<Turn>> GameFile::Turns() const { return ReadTurns(false); }

Result<std::vector<Turn>> GameFile::ReadTurns(bool chained) const {
  using R = Result<std::vector<Turn>>;
  // Without the chain, only the columns before the position: those after it are reached through
  // every page of it. The chain is read from the table itself, whose rows the hashes hold.
  Statement s(db_, chained && schema_ >= 2
                       ? "SELECT number, label, recorded, note, hash, parent FROM "
                         "turn ORDER BY number"
                   : turnList_ ? "SELECT number, label, recorded, note, '', NULL FROM turn "
                                 "INDEXED BY turn_list ORDER BY number"
                               : "SELECT number, label, recorded, note, '', NULL FROM turn "
                                 "ORDER BY number");
  std::vector<Turn> turns;
  int step = SQLITE_ERROR;
  while ((step = s.Step()) == SQLITE_ROW) {
    Turn turn{s.Number(0), s.Text(1), s.Text(2), s.Text(3), s.Text(4), std::nullopt};
    if (!s.IsNull(5)) turn.parent = s.Number(5);
    if (!IsUtcTime(turn.recorded))
      return R::Fail(path_.string() + ": the game file is damaged: turn " +
                     std::to_string(turn.number) +
                     " has no time of recording in ISO 8601 UTC (2026-12-09T13:20:05Z)");
    turns.push_back(std::move(turn));
  }
  if (step != SQLITE_DONE) return R::Fail(Reason(path_, db_, "cannot read the turns"));
  return R::Ok(std::move(turns));
}

Result<std::optional<Turn>> GameFile::FindTurn(int64_t number) const {
  using R = Result<std::optional<Turn>>;
  // Looked up by its key (the last one from the end): a condition on the number that is not the
  // key alone would read the turns one by one.
  const std::string columns = schema_ == 1 ? "number, label, recorded, note, '', NULL"
                                           : "number, label, recorded, note, hash, parent";
  const std::string sql = "SELECT " + columns + " FROM turn" +
                          (turnList_ ? " INDEXED BY turn_list" : "") +
                          (number == 0 ? " ORDER BY number DESC LIMIT 1" : " WHERE number = ?1");
  Statement s(db_, sql.c_str());
  s.Bind(1, number);
  const int step = s.Step();
  if (step == SQLITE_DONE) return R::Ok(std::nullopt);
  if (step != SQLITE_ROW) return R::Fail(Reason(path_, db_, "cannot read the turns"));
  Turn turn{s.Number(0), s.Text(1), s.Text(2), s.Text(3), s.Text(4), std::nullopt};
  if (!s.IsNull(5)) turn.parent = s.Number(5);
  return R::Ok(std::move(turn));
}

Result<std::vector<uint8_t>> GameFile::PositionOf(int64_t number) const {
  using R = Result<std::vector<uint8_t>>;
  ++positionsRead_;
  // Read straight into the vector returned: a query would make SQLite gather the pages of the
  // position into a buffer of its own first, to be copied again here. The number is the key of
  // the row. Any failure (no such turn, a position that is no blob) is told by the query below.
  if (sqlite3_blob* blob = nullptr;
      sqlite3_blob_open(db_, "main", "turn", "position", number, 0, &blob) == SQLITE_OK) {
    std::vector<uint8_t> bytes(static_cast<size_t>(sqlite3_blob_bytes(blob)));
    const bool read =
        sqlite3_blob_read(blob, bytes.data(), static_cast<int>(bytes.size()), 0) == SQLITE_OK;
    sqlite3_blob_close(blob);
    if (read) return R::Ok(std::move(bytes));
  }
  Statement s(db_, "SELECT position FROM turn WHERE number = ?1");
  s.Bind(1, number);
  const int step = s.Step();
  if (step == SQLITE_DONE)
    return R::Fail(path_.string() + ": the game has no turn " + std::to_string(number));
  if (step != SQLITE_ROW) return R::Fail(Reason(path_, db_, "cannot read the turn"));
  const auto bytes = s.Blob(0);
  return R::Ok(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

Result<std::map<int64_t, std::vector<uint8_t>>> GameFile::StoredFigures(
    const std::string& map) const {
  using R = Result<std::map<int64_t, std::vector<uint8_t>>>;
  std::map<int64_t, std::vector<uint8_t>> figures;
  if (schema_ < 4) return R::Ok(std::move(figures));
  Statement s(db_, "SELECT turn, totals FROM figures WHERE map = ?1");
  s.Bind(1, map);
  int step;
  while ((step = s.Step()) == SQLITE_ROW) {
    const auto bytes = s.Blob(1);
    figures.emplace(s.Number(0), std::vector<uint8_t>(bytes.begin(), bytes.end()));
  }
  if (step != SQLITE_DONE) return R::Fail(Reason(path_, db_, "cannot read the turns' totals"));
  return R::Ok(std::move(figures));
}

bool GameFile::InsertDigest(int64_t number, std::span<const uint8_t> position) {
  Statement insert(db_, "INSERT OR REPLACE INTO digest (turn, sha256) VALUES (?1, ?2)");
  insert.Bind(1, number);
  insert.Bind(2, Sha256().Add(position).HexDigest());
  return insert.Step() == SQLITE_DONE;
}

bool GameFile::InsertFigures(const std::string& map,
                             const std::map<int64_t, std::vector<uint8_t>>& figures) {
  if (map.empty() || figures.empty()) return true;
  // Only for turns the game holds: a turn's totals never stand without it.
  Statement insert(db_,
                   "INSERT OR REPLACE INTO figures (turn, map, totals) SELECT ?1, ?2, ?3 "
                   "WHERE EXISTS (SELECT 1 FROM turn WHERE number = ?1)");
  for (const auto& [turn, totals] : figures) {
    sqlite3_reset(insert.get());
    insert.Bind(1, turn);
    insert.Bind(2, map);
    insert.Bind(3, std::span<const uint8_t>(totals));
    if (insert.Step() != SQLITE_DONE) return false;
  }
  return true;
}

Result<std::optional<int64_t>> GameFile::TurnHolding(std::span<const uint8_t> position) const {
  using R = Result<std::optional<int64_t>>;
  // By the digests where the file keeps them, each turn found held to its bytes; else the length
  // first, which SQLite knows without reading the positions.
  Statement s(db_, schema_ >= 4
                       ? "SELECT number FROM turn WHERE number IN "
                         "(SELECT turn FROM digest WHERE sha256 = ?3) "
                         "AND length(position) = ?1 AND position = ?2 "
                         "ORDER BY number DESC LIMIT 1"
                       : "SELECT number FROM turn WHERE length(position) = ?1 AND position = ?2 "
                         "ORDER BY number DESC LIMIT 1");
  s.Bind(1, static_cast<int64_t>(position.size()));
  s.Bind(2, position);
  if (schema_ >= 4) s.Bind(3, Sha256().Add(position).HexDigest());
  const int step = s.Step();
  if (step == SQLITE_ROW) return R::Ok(s.Number(0));
  if (step == SQLITE_DONE) return R::Ok(std::nullopt);
  return R::Fail(Reason(path_, db_, "cannot read the turns"));
}

Result<std::vector<Turn>> GameFile::ChainedTurns() const {
  auto turns = ReadTurns(true);
  if (!turns || schema_ >= 2) return turns;
  std::string previous;
  for (Turn& turn : *turns) {
    auto position = PositionOf(turn.number);
    if (!position) return Result<std::vector<Turn>>::Fail(position.error());
    previous = turn.hash = TurnHash(previous, turn.number, turn.recorded, *position);
  }
  return turns;
}

int64_t GameFile::pagesRead() const {
  int now = 0, highest = 0;
  sqlite3_db_status(db_, SQLITE_DBSTATUS_CACHE_MISS, &now, &highest, 0);
  return now;
}

void GameFile::Interrupt() const { sqlite3_interrupt(db_); }

Result<std::string> GameFile::CheckPages() const {
  Statement check(db_, "PRAGMA quick_check");
  std::string verdict;
  int step;
  while ((step = check.Step()) == SQLITE_ROW)
    verdict += (verdict.empty() ? "" : "; ") + check.Text(0);
  if (step != SQLITE_DONE && (sqlite3_errcode(db_) & 0xff) != SQLITE_CORRUPT)
    return Result<std::string>::Fail(Reason(path_, db_, "cannot check the game file"));
  if (step != SQLITE_DONE) verdict = sqlite3_errmsg(db_);
  return Result<std::string>::Ok(verdict == "ok" ? std::string() : verdict);
}

Result<Verification> GameFile::Verify() const {
  using R = Result<Verification>;
  if (auto damage = CheckPages(); !damage || !damage->empty())
    return R::Fail(damage ? path_.string() + ": the game file is damaged: " + *damage
                          : damage.error());
  auto turns = ReadTurns(true);
  if (!turns) return R::Fail(turns.error());
  Verification v;
  v.turns = static_cast<int64_t>(turns->size());
  std::string previous;
  for (size_t i = 0; i < turns->size(); ++i) {
    const Turn& turn = (*turns)[i];
    const auto expected = static_cast<int64_t>(i + 1);
    if (turn.number != expected) {
      v.firstBroken = expected;
      v.reason = "turn " + std::to_string(expected) + " is missing";
      return R::Ok(v);
    }
    auto position = PositionOf(turn.number);
    if (!position) return R::Fail(position.error());
    previous = TurnHash(previous, turn.number, turn.recorded, *position);
    // A file of schema 1 stored no chain: there is nothing to hold the turns to.
    if (schema_ >= 2 && previous != turn.hash) {
      v.firstBroken = turn.number;
      v.reason = "its position or the time it was recorded was changed after it was recorded";
      return R::Ok(v);
    }
  }
  return R::Ok(v);
}

Status GameFile::Upgrade() {
  if (schema_ < kSchemaVersion)
    if (Status upgraded = UpgradeSchema(); !upgraded) return upgraded;
  // A file of schema 4 written before the list of turns gains it at its first write: made once
  // from every turn, then kept with each.
  if (!turnList_ && !Execute(db_, kMakeTurnList))
    return Status::Fail(Reason(path_, db_, "cannot upgrade the game file"));
  return Status::Ok();
}

void GameFile::KnowTurnList() {
  Statement s(db_, "SELECT sql FROM sqlite_schema WHERE type = 'index' AND name = 'turn_list'");
  turnList_ = s.Step() == SQLITE_ROW && s.Text(0) == kTurnList;
}

Status GameFile::UpgradeSchema() {
  const auto fail = [&] {
    return Status::Fail(Reason(path_, db_, "cannot upgrade the game file"));
  };
  // Schema 4 keeps the totals of turns (those before it too, once computed) and the digest of
  // every turn's position, each position of the turns there are read once for it.
  const auto addSchema4 = [&] {
    if (!Execute(db_, kSchema4Tables)) return false;
    Statement positions(db_, "SELECT number, position FROM turn");
    int step;
    while ((step = positions.Step()) == SQLITE_ROW)
      if (!InsertDigest(positions.Number(0), positions.Blob(1))) return false;
    return step == SQLITE_DONE;
  };
  // Schema 3 keeps the moves of the turns recorded from then on; those before have none.
  const auto addMoves = [&] {
    return Execute(db_, "ALTER TABLE turn ADD COLUMN moves INTEGER;") && Execute(db_, kMoveTable) &&
           addSchema4();
  };
  if (schema_ == 2 || schema_ == 3) {
    if (!(schema_ == 2 ? addMoves() : addSchema4())) return fail();
    const std::string version = "PRAGMA user_version=" + std::to_string(kSchemaVersion);
    if (!Execute(db_, version.c_str())) return fail();
    schema_ = kSchemaVersion;
    return Status::Ok();
  }
  auto turns = ChainedTurns();
  if (!turns) return Status::Fail(turns.error());
  if (!addMoves()) return fail();
  if (!Execute(db_,
               "ALTER TABLE turn ADD COLUMN hash TEXT NOT NULL DEFAULT '';"
               "ALTER TABLE turn ADD COLUMN parent INTEGER;"))
    return fail();
  Statement update(db_, "UPDATE turn SET hash = ?2 WHERE number = ?1");
  for (const Turn& turn : *turns) {
    sqlite3_reset(update.get());
    update.Bind(1, turn.number);
    update.Bind(2, turn.hash);
    if (update.Step() != SQLITE_DONE) return fail();
  }
  Statement id(db_, "INSERT OR REPLACE INTO game (key, value) VALUES ('id', ?1)");
  id.Bind(1, id_);
  if (id.Step() != SQLITE_DONE) return fail();
  const std::string version = "PRAGMA user_version=" + std::to_string(kSchemaVersion);
  if (!Execute(db_, version.c_str())) return fail();
  schema_ = kSchemaVersion;
  return Status::Ok();
}

Result<Recording> GameFile::Record(const NewTurn& turn) {
  using R = Result<Recording>;
  if (Status fits = CheckTurnPosition(turn.position, mapName_, "the position"); !fits)
    return R::Fail(fits.error() + " (" + path_.string() + ")");
  const int32_t schemaBefore = schema_;
  WriteTransaction transaction(db_);
  if (!transaction.open()) return R::Fail(Reason(path_, db_, "cannot record"));
  // The last turn as it is now, another program's recording of a moment ago included.
  Statement last(db_, "SELECT number FROM turn ORDER BY number DESC LIMIT 1");
  const int step = last.Step();
  if (step != SQLITE_ROW && step != SQLITE_DONE)
    return R::Fail(Reason(path_, db_, "cannot record"));
  Recording recording;
  recording.last = step == SQLITE_ROW ? last.Number(0) : 0;
  if (turn.after && *turn.after != recording.last) return R::Ok(recording);
  if (Status upgraded = Upgrade(); !upgraded) {
    schema_ = schemaBefore;
    return R::Fail(upgraded.error());
  }
  std::string previous;
  if (recording.last > 0) {
    // From the row itself, which the chain holds to: the index is what it says for showing.
    Statement hash(db_, "SELECT hash FROM turn NOT INDEXED WHERE number = ?1");
    hash.Bind(1, recording.last);
    if (hash.Step() != SQLITE_ROW) return R::Fail(Reason(path_, db_, "cannot record"));
    previous = hash.Text(0);
  }
  Turn made;
  made.number = recording.last + 1;
  made.label = turn.label.empty() ? "Turn " + std::to_string(made.number) : turn.label;
  made.recorded = NowUtc();
  made.note = turn.note;
  made.hash = TurnHash(previous, made.number, made.recorded, turn.position);
  made.parent = turn.parent;
  Statement insert(
      db_,
      "INSERT INTO turn (number, label, recorded, note, position, hash, parent, moves) "
      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
  insert.Bind(1, made.number);
  insert.Bind(2, made.label);
  insert.Bind(3, made.recorded);
  insert.Bind(4, made.note);
  insert.Bind(5, turn.position);
  insert.Bind(6, made.hash);
  insert.Bind(7, made.parent);
  insert.Bind(8, turn.moves ? std::optional<int64_t>(static_cast<int64_t>(turn.moves->size()))
                            : std::nullopt);
  std::map<int64_t, std::vector<uint8_t>> figures = turn.earlierFigures;
  if (turn.figures) figures[made.number] = *turn.figures;
  if (insert.Step() != SQLITE_DONE || (turn.moves && !InsertMoves(made.number, *turn.moves)) ||
      !InsertDigest(made.number, turn.position) || !InsertFigures(turn.figuresMap, figures) ||
      !transaction.Commit()) {
    schema_ = schemaBefore;
    return R::Fail(Reason(path_, db_, "cannot record"));
  }
  KnowTurnList();
  recording.turn = std::move(made);
  return R::Ok(std::move(recording));
}

bool GameFile::InsertMoves(int64_t number, const std::vector<UndoEntry>& moves) {
  Statement insert(db_,
                   "INSERT INTO move (turn, seq, action, count, piece, country, from_x, from_y,"
                   " from_sector, to_x, to_y, to_sector)"
                   " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)");
  for (size_t i = 0; i < moves.size(); ++i) {
    const UndoEntry& m = moves[i];
    sqlite3_reset(insert.get());
    const int64_t values[] = {number,
                              static_cast<int64_t>(i + 1),
                              static_cast<int64_t>(m.kind),
                              m.count,
                              m.pieceType,
                              m.country,
                              m.fromX,
                              m.fromY,
                              m.fromSector,
                              m.toX,
                              m.toY,
                              m.toSector};
    for (int k = 0; k < 12; ++k) insert.Bind(k + 1, values[k]);
    if (insert.Step() != SQLITE_DONE) return false;
  }
  return true;
}

Result<std::optional<std::vector<UndoEntry>>> GameFile::MovesOf(int64_t number) const {
  using R = Result<std::optional<std::vector<UndoEntry>>>;
  Statement kept(db_, schema_ < 3 ? "SELECT NULL FROM turn WHERE number = ?1"
                      : turnList_ ? "SELECT moves FROM turn INDEXED BY turn_list WHERE number = ?1"
                                  : "SELECT moves FROM turn WHERE number = ?1");
  kept.Bind(1, number);
  const int found = kept.Step();
  if (found == SQLITE_DONE)
    return R::Fail(path_.string() + ": the game has no turn " + std::to_string(number));
  if (found != SQLITE_ROW) return R::Fail(Reason(path_, db_, "cannot read the moves"));
  if (sqlite3_column_type(kept.get(), 0) == SQLITE_NULL) return R::Ok(std::nullopt);
  const int64_t count = kept.Number(0);
  Statement s(db_,
              "SELECT action, count, piece, country, from_x, from_y, from_sector, to_x, to_y,"
              " to_sector FROM move WHERE turn = ?1 ORDER BY seq");
  s.Bind(1, number);
  std::vector<UndoEntry> moves;
  int step;
  const auto field = [&](int column, int64_t high) {
    const int64_t v = s.Number(column);
    return v < 0 || v > high ? -1 : v;
  };
  while ((step = s.Step()) == SQLITE_ROW) {
    UndoEntry m;
    const int64_t action = field(0, 3);
    if (action < 1)
      return R::Fail(path_.string() + ": a move of turn " + std::to_string(number) +
                     " has no action the program knows");
    m.kind = static_cast<UndoKind>(action);
    m.count = static_cast<uint16_t>(std::max<int64_t>(0, field(1, UINT16_MAX)));
    m.pieceType = static_cast<uint8_t>(std::max<int64_t>(0, field(2, UINT8_MAX)));
    m.country = static_cast<uint8_t>(std::max<int64_t>(0, field(3, UINT8_MAX)));
    m.fromX = static_cast<uint16_t>(std::max<int64_t>(0, field(4, UINT16_MAX)));
    m.fromY = static_cast<uint16_t>(std::max<int64_t>(0, field(5, UINT16_MAX)));
    m.fromSector = static_cast<uint16_t>(std::max<int64_t>(0, field(6, UINT16_MAX)));
    m.toX = static_cast<uint16_t>(std::max<int64_t>(0, field(7, UINT16_MAX)));
    m.toY = static_cast<uint16_t>(std::max<int64_t>(0, field(8, UINT16_MAX)));
    m.toSector = static_cast<uint16_t>(std::max<int64_t>(0, field(9, UINT16_MAX)));
    moves.push_back(m);
  }
  if (step != SQLITE_DONE) return R::Fail(Reason(path_, db_, "cannot read the moves"));
  if (static_cast<int64_t>(moves.size()) != count)
    return R::Fail(path_.string() + ": turn " + std::to_string(number) + " names " +
                   std::to_string(count) + " moves but holds " + std::to_string(moves.size()));
  return R::Ok(std::move(moves));
}

Result<Turn> GameFile::Annotate(int64_t number, const std::string& label, const std::string& note) {
  using R = Result<Turn>;
  const int32_t schemaBefore = schema_;
  WriteTransaction transaction(db_);
  if (!transaction.open()) return R::Fail(Reason(path_, db_, "cannot change the turn"));
  if (Status upgraded = Upgrade(); !upgraded) {
    schema_ = schemaBefore;
    return R::Fail(upgraded.error());
  }
  Statement update(db_,
                   "UPDATE turn SET label = ?2, note = ?3 WHERE number = ?1 "
                   "RETURNING number, label, recorded, note, hash, parent");
  update.Bind(1, number);
  update.Bind(2, label.empty() ? "Turn " + std::to_string(number) : label);
  update.Bind(3, note);
  const int step = update.Step();
  const auto failed = [&](std::string reason) {
    schema_ = schemaBefore;
    return R::Fail(std::move(reason));
  };
  if (step == SQLITE_DONE)
    return failed(path_.string() + ": there is no turn " + std::to_string(number));
  if (step != SQLITE_ROW) return failed(Reason(path_, db_, "cannot change the turn"));
  Turn turn{update.Number(0), update.Text(1), update.Text(2),
            update.Text(3),   update.Text(4), std::nullopt};
  if (!update.IsNull(5)) turn.parent = update.Number(5);
  if (update.Step() != SQLITE_DONE || !transaction.Commit())
    return failed(Reason(path_, db_, "cannot change the turn"));
  KnowTurnList();
  return R::Ok(std::move(turn));
}

Result<Taking> GameFile::Plan(const GameFile& other, const std::vector<Turn>& mine,
                              const std::vector<Turn>& theirs) const {
  using R = Result<Taking>;
  std::map<int64_t, const Turn*> a, b;
  for (const Turn& t : mine) a[t.number] = &t;
  for (const Turn& t : theirs) b[t.number] = &t;
  const int64_t lastA = a.empty() ? 0 : a.rbegin()->first;
  const int64_t lastB = b.empty() ? 0 : b.rbegin()->first;
  Taking taking;
  for (int64_t n = 1; n <= std::max(lastA, lastB); ++n) {
    const auto inA = a.find(n), inB = b.find(n);
    const bool hasA = inA != a.end(), hasB = inB != b.end();
    if (hasA && hasB) {
      if (inA->second->hash == inB->second->hash) continue;
      auto positionA = PositionOf(n);
      auto positionB = other.PositionOf(n);
      if (!positionA) return R::Fail(positionA.error());
      if (!positionB) return R::Fail(positionB.error());
      const bool position = *positionA != *positionB;
      const bool time = inA->second->recorded != inB->second->recorded;
      using How = Parting::How;
      // Same position and time, another hash: a turn before differs, or a hash was changed.
      const How how = position && time ? How::kPositionAndTime
                      : position       ? How::kPosition
                      : time           ? How::kTime
                                       : How::kChainHere;
      taking.parting = Parting{n, how};
      return R::Ok(std::move(taking));
    }
    if (hasA && !hasB && n < lastB) {
      taking.parting = Parting{n, Parting::How::kOnlyHere};
      return R::Ok(std::move(taking));
    }
    if (!hasA && hasB) {
      if (n < lastA) {
        taking.parting = Parting{n, Parting::How::kOnlyThere};
        return R::Ok(std::move(taking));
      }
      taking.turns.push_back(*inB->second);
    }
  }
  return R::Ok(std::move(taking));
}

Result<Taking> GameFile::PlanTaking(const GameFile& other) const {
  using R = Result<Taking>;
  if (other.id_ != id_ || !EqualsIgnoringCase(other.mapName_, mapName_))
    return R::Fail(other.path_.string() + " holds another game than " + path_.string() +
                   " (its id " + other.id_ + ", ours " + id_ + ")");
  // Both chains are held to their positions first: a turn changed after it was recorded is
  // neither taken nor built upon.
  for (const auto& [game, how] :
       {std::pair{this, Parting::How::kChainHere}, {&other, Parting::How::kChainThere}}) {
    auto verified = game->Verify();
    if (!verified) return R::Fail(verified.error());
    if (verified->firstBroken != 0) {
      Taking broken;
      broken.parting = Parting{verified->firstBroken, how};
      return R::Ok(std::move(broken));
    }
  }
  auto mine = ChainedTurns();
  if (!mine) return R::Fail(mine.error());
  auto theirs = other.ChainedTurns();
  if (!theirs) return R::Fail(theirs.error());
  return Plan(other, *mine, *theirs);
}

Result<Taking> GameFile::Take(const GameFile& other) {
  using R = Result<Taking>;
  const int32_t schemaBefore = schema_;
  WriteTransaction transaction(db_);
  if (!transaction.open()) return R::Fail(Reason(path_, db_, "cannot take the turns"));
  // Planned again inside the transaction: a turn recorded here a moment ago counts.
  auto taking = PlanTaking(other);
  if (!taking || taking->parting || taking->turns.empty()) return taking;
  const auto failed = [&](std::string reason) {
    schema_ = schemaBefore;
    return R::Fail(std::move(reason));
  };
  if (Status upgraded = Upgrade(); !upgraded) return failed(upgraded.error());
  Statement insert(
      db_,
      "INSERT INTO turn (number, label, recorded, note, position, hash, parent, moves) "
      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
  for (const Turn& turn : taking->turns) {
    // The moves come with the turn, where the other copy kept them.
    auto moves = other.MovesOf(turn.number);
    if (!moves) return failed(moves.error());
    auto position = other.PositionOf(turn.number);
    if (!position) return failed(position.error());
    const std::string what = "turn " + std::to_string(turn.number) + " of " + other.path_.string();
    if (Status fits = CheckTurnPosition(*position, mapName_, what); !fits)
      return failed(fits.error());
    sqlite3_reset(insert.get());
    insert.Bind(1, turn.number);
    insert.Bind(2, turn.label);
    insert.Bind(3, turn.recorded);
    insert.Bind(4, turn.note);
    insert.Bind(5, std::span<const uint8_t>(*position));
    insert.Bind(6, turn.hash);
    insert.Bind(7, turn.parent);
    insert.Bind(
        8, *moves ? std::optional<int64_t>(static_cast<int64_t>((*moves)->size())) : std::nullopt);
    if (insert.Step() != SQLITE_DONE || (*moves && !InsertMoves(turn.number, **moves)) ||
        !InsertDigest(turn.number, *position))
      return failed(Reason(path_, db_, "cannot take the turns"));
  }
  // The totals come too, where the other copy computed them.
  if (other.schema_ >= 4) {
    Statement theirs(other.db_, "SELECT map, totals FROM figures WHERE turn = ?1");
    for (const Turn& turn : taking->turns) {
      sqlite3_reset(theirs.get());
      theirs.Bind(1, turn.number);
      if (theirs.Step() != SQLITE_ROW) continue;
      const auto totals = theirs.Blob(1);
      if (!InsertFigures(theirs.Text(0),
                         {{turn.number, std::vector<uint8_t>(totals.begin(), totals.end())}}))
        return failed(Reason(path_, db_, "cannot take the turns"));
    }
  }
  if (!transaction.Commit()) return failed(Reason(path_, db_, "cannot take the turns"));
  KnowTurnList();
  return taking;
}

bool GameFile::Replaced() const {
  int moved = 0;
  if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved)
    return true;
  struct stat file {};
  return ::stat(path_.c_str(), &file) != 0 || file.st_dev != device_ || file.st_ino != inode_;
}

int64_t GameFile::DataVersion() const { return QueryNumber(db_, "PRAGMA data_version"); }

}  // namespace mw
