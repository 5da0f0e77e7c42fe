// A hive in a SQLite database: the station's registry on disk.
//
// Every call is one transaction (writes take the write lock at once, so a
// busy database waits out the busy timeout instead of failing); WAL mode lets
// readers and one writer of other processes share the file.
//
// What reads find is kept in a HiveCache while the WAL header shows that no
// one has committed since, so that a walk over thousands of keys costs a
// memory read per call instead of a transaction and its queries.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "nt/errors.h"
#include "nt/hive_cache.h"
#include "nt/hive_file.h"
#include "nt/hive_store.h"
#include "nt/registry.h"
#include "nt/wal_header.h"

namespace nt {
namespace {

// "LYRG" in the header's application id marks a hive file.
constexpr int kApplicationId = 0x4C595247;
constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 10000;
constexpr KeyId kRoot = 1;

constexpr char kSchema[] = R"sql(
BEGIN;
CREATE TABLE keys(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER REFERENCES keys(id),
  name TEXT NOT NULL,
  fold TEXT NOT NULL,
  class TEXT NOT NULL DEFAULT '');
CREATE UNIQUE INDEX keys_by_fold ON keys(parent, fold);
CREATE TABLE vals(
  seq INTEGER PRIMARY KEY AUTOINCREMENT,
  key INTEGER NOT NULL REFERENCES keys(id),
  name TEXT NOT NULL,
  fold TEXT NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL);
CREATE UNIQUE INDEX vals_by_fold ON vals(key, fold);
CREATE INDEX vals_by_seq ON vals(key, seq);
INSERT INTO keys(id, parent, name, fold) VALUES(1, NULL, '', '');
PRAGMA application_id = 1280922183;
PRAGMA user_version = 1;
COMMIT;
)sql";
static_assert(kApplicationId == 1280922183);

enum Sql {
  kBeginRead,
  kBeginWrite,
  kCommit,
  kRollback,
  kSavepoint,
  kRelease,
  kRollbackTo,
  kDataVersion,
  kKeyExists,
  kFindSubkey,
  kAddSubkey,
  kHasSubkeys,
  kRemoveValues,
  kRemoveKey,
  kFirstSubkey,
  kNextSubkey,
  kSubkeyAt,
  kNextValue,
  kValueAt,
  kFindValue,
  kUpdateValue,
  kInsertValue,
  kRemoveValue,
  kListSubkeys,
  kListValues,
  kListChildValues,
  kSqlCount
};

constexpr std::array<const char*, kSqlCount> kStatements = {
    "BEGIN",
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
    "SAVEPOINT call",
    "RELEASE call",
    "ROLLBACK TO call",
    "PRAGMA data_version",
    "SELECT 1 FROM keys WHERE id = ?1",
    "SELECT id, name, fold, class FROM keys WHERE parent = ?1 AND fold = ?2",
    "INSERT INTO keys(parent, name, fold, class) VALUES(?1, ?2, ?3, ?4)",
    "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1",
    "DELETE FROM vals WHERE key = ?1",
    "DELETE FROM keys WHERE id = ?1",
    "SELECT id, name, fold, class FROM keys WHERE parent = ?1 ORDER BY fold LIMIT 1",
    "SELECT id, name, fold, class FROM keys WHERE parent = ?1 AND fold > ?2 "
    "ORDER BY fold LIMIT 1",
    "SELECT id, name, fold, class FROM keys WHERE parent = ?1 ORDER BY fold LIMIT 1 OFFSET ?2",
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND seq > ?2 ORDER BY seq LIMIT 1",
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 ORDER BY seq LIMIT 1 OFFSET ?2",
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND fold = ?2",
    "UPDATE vals SET type = ?3, data = ?4 WHERE key = ?1 AND fold = ?2",
    "INSERT INTO vals(key, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5)",
    "DELETE FROM vals WHERE key = ?1 AND fold = ?2",
    "SELECT id, name, fold, class FROM keys WHERE parent = ?1 ORDER BY fold",
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 ORDER BY seq",
    "SELECT v.key, v.seq, v.name, v.type, v.data FROM keys AS k JOIN vals AS v ON v.key = k.id "
    "WHERE k.parent = ?1 ORDER BY k.fold, v.seq",
};

// One use of a prepared statement: bound, stepped, and reset when it ends.
class Query {
 public:
  explicit Query(sqlite3_stmt* statement) : statement_(statement) {}
  ~Query() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
  }
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;

  Query& Bind(int index, int64_t number) {
    sqlite3_bind_int64(statement_, index, number);
    return *this;
  }
  Query& Bind(int index, std::string_view text) {
    // A null pointer would bind NULL, not the empty text.
    sqlite3_bind_text(statement_, index, text.empty() ? "" : text.data(),
                      static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Query& BindBlob(int index, std::string_view bytes) {
    sqlite3_bind_blob(statement_, index, bytes.empty() ? "" : bytes.data(),
                      static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    return *this;
  }

  // SQLITE_ROW, SQLITE_DONE or an error.
  int Step() { return sqlite3_step(statement_); }
  // The statement run to its end; ERROR_SUCCESS or the platform's code.
  LONG Run() {
    const int rc = Step();
    return rc == SQLITE_DONE || rc == SQLITE_ROW ? ERROR_SUCCESS : ErrorFromSqlite(rc);
  }

  int64_t Int(int column) const { return sqlite3_column_int64(statement_, column); }
  std::string Bytes(int column) const {
    const void* data = sqlite3_column_blob(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    return data == nullptr ? std::string() : std::string(static_cast<const char*>(data), size);
  }

 private:
  sqlite3_stmt* statement_;
};

// Runs `sql` (several statements) on `db`; the platform's code and SQLite's
// words in `error` on failure.
LONG Exec(sqlite3* db, const char* sql, std::string* error) {
  char* message = nullptr;
  const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
  if (rc != SQLITE_OK && error != nullptr) *error = message ? message : sqlite3_errstr(rc);
  sqlite3_free(message);
  return rc == SQLITE_OK ? ERROR_SUCCESS : ErrorFromSqlite(rc);
}

// The URI that opens `path` read-only without its shared-memory file, for a
// reader who may not create one beside a hive it may not write.
std::string ImmutableUri(const std::string& path) {
  std::string uri = "file:";
  for (char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
      uri += escaped;
    } else {
      uri += c;
    }
  }
  return uri + "?immutable=1";
}

class SqliteHive : public HiveStore {
 public:
  ~SqliteHive() override {
    for (sqlite3_stmt* statement : statements_) sqlite3_finalize(statement);
    sqlite3_close_v2(db_);
  }

  static std::unique_ptr<SqliteHive> Open(const std::string& path, bool readOnly,
                                          std::string* error) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
      *error = "cannot open hive " + path + ": " + std::strerror(errno);
      return nullptr;
    }
    const bool writable = !readOnly && HiveWritable(path);
    std::unique_ptr<SqliteHive> hive(new SqliteHive(writable));
    std::string why;
    if (hive->Connect(path, writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, false,
                      &why) ||
        (!writable && hive->Connect(ImmutableUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, true,
                                    &why))) {
      return hive;
    }
    *error = "cannot open hive " + path + ": " + why;
    return nullptr;
  }

  bool Writable() const override { return writable_; }
  KeyId Root() const override { return kRoot; }

  LONG Begin(bool write) override {
    if (depth_ > 0 || !header_) return BeginTransaction(write);
    WalHeader::Copy before;
    const bool steady = header_->Read(&before);
    if (!write && steady && seen_valid_ && before == seen_ && !must_read_) {
      cached_call_ = true;
      ++depth_;
      return ERROR_SUCCESS;
    }
    must_read_ = false;
    if (LONG e = BeginTransaction(write)) return e;
    // The transaction's first read fixes what it sees; a header that is the
    // same before and after it names that content exactly.
    if (LONG e = QueryKeyExists(kRoot)) {
      End(false);
      return e;
    }
    WalHeader::Copy after;
    const bool exact = steady && header_->Read(&after) && after == before;
    if (!exact || !seen_valid_ || before != seen_) {
      cache_.Clear();
      cache_.NoteKey(kRoot);
      ++generation_;
    }
    seen_ = before;
    seen_valid_ = exact;
    filling_ = exact && !write;
    return ERROR_SUCCESS;
  }

  LONG End(bool commit) override {
    --depth_;
    if (cached_call_) {
      cached_call_ = false;
      return ERROR_SUCCESS;
    }
    filling_ = false;
    if (depth_ > 0) {
      if (!commit) {
        if (LONG e = Query(statements_[kRollbackTo]).Run()) return e;
      }
      return Query(statements_[kRelease]).Run();
    }
    if (commit) {
      const LONG rc = Query(statements_[kCommit]).Run();
      if (rc == ERROR_SUCCESS) return rc;
      Query(statements_[kRollback]).Run();
      return rc;
    }
    return Query(statements_[kRollback]).Run();
  }

  LONG Version(uint64_t* version) override {
    if (header_) {
      // Begin counts every change it sees in the header.
      *version = generation_;
      return ERROR_SUCCESS;
    }
    Query query(statements_[kDataVersion]);
    const int rc = query.Step();
    if (rc != SQLITE_ROW) return ErrorFromSqlite(rc);
    *version = (static_cast<uint64_t>(query.Int(0)) << 32) ^ generation_;
    return ERROR_SUCCESS;
  }

  LONG KeyExists(KeyId key) override {
    if (UsesCache()) {
      if (cache_.Knows(key)) return ERROR_SUCCESS;
      if (cached_call_) return Miss();
    }
    const LONG rc = QueryKeyExists(key);
    if (rc == ERROR_SUCCESS && filling_) cache_.NoteKey(key);
    return rc;
  }

  LONG FindSubkey(KeyId parent, std::string_view fold, KeyRecord* out) override {
    if (UsesCache()) {
      if (std::optional<LONG> known = cache_.FindSubkey(parent, fold, out)) return *known;
      if (cached_call_) return Miss();
    }
    Query query(statements_[kFindSubkey]);
    query.Bind(1, parent).Bind(2, fold);
    const LONG rc = ReadKey(query, out, ERROR_FILE_NOT_FOUND);
    if (filling_ && (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND)) {
      cache_.NoteSubkey(parent, fold, rc == ERROR_SUCCESS ? out : nullptr);
    }
    return rc;
  }

  LONG AddSubkey(KeyId parent, std::string_view name, std::string_view keyClass,
                 KeyId* id) override {
    Query query(statements_[kAddSubkey]);
    query.Bind(1, parent).Bind(2, name).Bind(3, FoldName(name)).Bind(4, keyClass);
    if (LONG e = Changed(query.Run())) return e;
    *id = sqlite3_last_insert_rowid(db_);
    return ERROR_SUCCESS;
  }

  LONG HasSubkeys(KeyId key, bool* any) override {
    Query query(statements_[kHasSubkeys]);
    const int rc = query.Bind(1, key).Step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return ErrorFromSqlite(rc);
    *any = rc == SQLITE_ROW;
    return ERROR_SUCCESS;
  }

  LONG RemoveKey(KeyId key) override {
    if (LONG e = Changed(Query(statements_[kRemoveValues]).Bind(1, key).Run())) return e;
    return Changed(Query(statements_[kRemoveKey]).Bind(1, key).Run());
  }

  LONG NextSubkey(KeyId parent, const std::string* afterFold, KeyRecord* out) override {
    if (UsesCache()) {
      if (LONG e = ListSubkeys(parent)) return e;
      return cache_.NextSubkey(parent, afterFold, out);
    }
    Query query(statements_[afterFold ? kNextSubkey : kFirstSubkey]);
    query.Bind(1, parent);
    if (afterFold) query.Bind(2, *afterFold);
    return ReadKey(query, out, ERROR_NO_MORE_ITEMS);
  }

  LONG SubkeyAt(KeyId parent, DWORD index, KeyRecord* out) override {
    if (UsesCache()) {
      if (LONG e = ListSubkeys(parent)) return e;
      return cache_.SubkeyAt(parent, index, out);
    }
    Query query(statements_[kSubkeyAt]);
    query.Bind(1, parent).Bind(2, static_cast<int64_t>(index));
    return ReadKey(query, out, ERROR_NO_MORE_ITEMS);
  }

  LONG NextValue(KeyId key, int64_t afterSeq, ValueRecord* out) override {
    if (UsesCache()) {
      if (LONG e = ListValues(key)) return e;
      return cache_.NextValue(key, afterSeq, out);
    }
    Query query(statements_[kNextValue]);
    query.Bind(1, key).Bind(2, afterSeq);
    return ReadValue(query, out, ERROR_NO_MORE_ITEMS);
  }

  LONG ValueAt(KeyId key, DWORD index, ValueRecord* out) override {
    if (UsesCache()) {
      if (LONG e = ListValues(key)) return e;
      return cache_.ValueAt(key, index, out);
    }
    Query query(statements_[kValueAt]);
    query.Bind(1, key).Bind(2, static_cast<int64_t>(index));
    return ReadValue(query, out, ERROR_NO_MORE_ITEMS);
  }

  LONG FindValue(KeyId key, std::string_view fold, ValueRecord* out) override {
    if (UsesCache()) {
      if (std::optional<LONG> known = cache_.FindValue(key, fold, out)) return *known;
      if (cached_call_) return Miss();
    }
    Query query(statements_[kFindValue]);
    query.Bind(1, key).Bind(2, fold);
    const LONG rc = ReadValue(query, out, ERROR_FILE_NOT_FOUND);
    if (filling_ && (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND)) {
      cache_.NoteValue(key, fold, rc == ERROR_SUCCESS ? out : nullptr);
    }
    return rc;
  }

  LONG PutValue(KeyId key, std::string_view name, DWORD type, std::string_view data) override {
    const std::string fold = FoldName(name);
    {
      Query update(statements_[kUpdateValue]);
      update.Bind(1, key).Bind(2, fold).Bind(3, static_cast<int64_t>(type)).BindBlob(4, data);
      if (LONG e = Changed(update.Run())) return e;
    }
    if (sqlite3_changes(db_) > 0) return ERROR_SUCCESS;
    Query insert(statements_[kInsertValue]);
    insert.Bind(1, key).Bind(2, name).Bind(3, fold).Bind(4, static_cast<int64_t>(type));
    insert.BindBlob(5, data);
    return Changed(insert.Run());
  }

  LONG RemoveValue(KeyId key, std::string_view fold) override {
    if (LONG e = Changed(Query(statements_[kRemoveValue]).Bind(1, key).Bind(2, fold).Run())) {
      return e;
    }
    return sqlite3_changes(db_) > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  }

 private:
  explicit SqliteHive(bool writable) : writable_(writable) {}

  LONG BeginTransaction(bool write) {
    const Sql sql = depth_ > 0 ? kSavepoint : write ? kBeginWrite : kBeginRead;
    if (LONG e = Query(statements_[sql]).Run()) return e;
    ++depth_;
    return ERROR_SUCCESS;
  }

  LONG QueryKeyExists(KeyId key) {
    Query query(statements_[kKeyExists]);
    const int rc = query.Bind(1, key).Step();
    return rc == SQLITE_ROW ? ERROR_SUCCESS : rc == SQLITE_DONE ? ERROR_KEY_DELETED
                                                                : ErrorFromSqlite(rc);
  }

  // Whether this call's reads go through the cache: answered from it alone,
  // or read from the database at the moment the cache holds and noted in it.
  bool UsesCache() const { return cached_call_ || filling_; }

  // A cached call needs what the cache does not hold: the call runs again on
  // the database.
  LONG Miss() {
    must_read_ = true;
    return kNotCached;
  }

  // Every subkey of `parent` into the cache, unless it is there.
  LONG ListSubkeys(KeyId parent) {
    if (cache_.Listed(parent)) return ERROR_SUCCESS;
    if (cached_call_) return Miss();
    Query query(statements_[kListSubkeys]);
    query.Bind(1, parent);
    std::vector<KeyRecord> subkeys;
    if (LONG e = ReadAll(query, ReadKey, &subkeys)) return e;
    cache_.NoteListing(parent, std::move(subkeys));
    return ERROR_SUCCESS;
  }

  // Every value of `key` into the cache, unless it is there; with those of
  // its siblings when a walk over them has begun.
  LONG ListValues(KeyId key) {
    if (cache_.ValuesListed(key)) return ERROR_SUCCESS;
    if (cached_call_) return Miss();
    if (std::optional<KeyId> parent = cache_.SiblingBatch(key)) {
      // The rows come key by key, each key's in creation order.
      Query query(statements_[kListChildValues]);
      query.Bind(1, *parent);
      std::vector<ValueRecord> values;
      KeyId current = 0;
      int rc;
      while ((rc = query.Step()) == SQLITE_ROW) {
        const KeyId owner = query.Int(0);
        if (owner != current) {
          if (!values.empty()) cache_.NoteValues(current, std::move(values));
          values.clear();
          current = owner;
        }
        values.push_back(ValueFromRow(query, 1));
      }
      if (rc != SQLITE_DONE) return ErrorFromSqlite(rc);
      if (!values.empty()) cache_.NoteValues(current, std::move(values));
      for (KeyId id : cache_.UnlistedValues(*parent)) cache_.NoteValues(id, {});
      return ERROR_SUCCESS;
    }
    Query query(statements_[kListValues]);
    query.Bind(1, key);
    std::vector<ValueRecord> values;
    if (LONG e = ReadAll(query, ReadValue, &values)) return e;
    cache_.NoteValues(key, std::move(values));
    return ERROR_SUCCESS;
  }

  // Opens the database and checks that it is a hive; false with `why` set.
  // An immutable connection has no WAL header to watch and reads uncached.
  bool Connect(const std::string& name, int flags, bool immutable, std::string* why) {
    header_.reset();
    if (db_ != nullptr) {
      for (sqlite3_stmt*& statement : statements_) {
        sqlite3_finalize(statement);
        statement = nullptr;
      }
      sqlite3_close_v2(db_);
      db_ = nullptr;
    }
    int rc = sqlite3_open_v2(name.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
      *why = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
      return false;
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    sqlite3_stmt* check = nullptr;
    rc = sqlite3_prepare_v2(db_, "PRAGMA application_id", -1, &check, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(check);
    const int application = rc == SQLITE_ROW ? sqlite3_column_int(check, 0) : 0;
    sqlite3_finalize(check);
    if (rc != SQLITE_ROW) {
      *why = sqlite3_errmsg(db_);
      return false;
    }
    if (application != kApplicationId) {
      *why = "the file is not a registry hive";
      return false;
    }
    // Commits survive a crash of the process; WAL keeps the file consistent
    // after a power loss too, at the cost of the last commits.
    if (writable_ && Exec(db_, "PRAGMA synchronous = NORMAL", why) != ERROR_SUCCESS) return false;
    if (!immutable) header_ = WalHeader::Attach(db_);
    for (int i = 0; i < kSqlCount; ++i) {
      if (sqlite3_prepare_v3(db_, kStatements[i], -1, SQLITE_PREPARE_PERSISTENT, &statements_[i],
                             nullptr) != SQLITE_OK) {
        *why = sqlite3_errmsg(db_);
        return false;
      }
    }
    return true;
  }

  // Counts a change of our own, which neither the data version nor, until the
  // commit, the WAL header shows.
  LONG Changed(LONG result) {
    ++generation_;
    return result;
  }

  static LONG ReadKey(Query& query, KeyRecord* out, LONG none) {
    const int rc = query.Step();
    if (rc == SQLITE_DONE) return none;
    if (rc != SQLITE_ROW) return ErrorFromSqlite(rc);
    out->id = query.Int(0);
    out->name = query.Bytes(1);
    out->fold = query.Bytes(2);
    out->keyClass = query.Bytes(3);
    return ERROR_SUCCESS;
  }

  static LONG ReadValue(Query& query, ValueRecord* out, LONG none) {
    const int rc = query.Step();
    if (rc == SQLITE_DONE) return none;
    if (rc != SQLITE_ROW) return ErrorFromSqlite(rc);
    *out = ValueFromRow(query, 0);
    return ERROR_SUCCESS;
  }

  // Every row of `query`, each read by `read` (ReadKey or ReadValue).
  template <typename Record>
  static LONG ReadAll(Query& query, LONG (*read)(Query&, Record*, LONG),
                      std::vector<Record>* out) {
    for (;;) {
      Record record;
      const LONG rc = read(query, &record, ERROR_NO_MORE_ITEMS);
      if (rc == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
      if (rc != ERROR_SUCCESS) return rc;
      out->push_back(std::move(record));
    }
  }

  // The value in the row's columns from `first` on: seq, name, type, data.
  static ValueRecord ValueFromRow(const Query& query, int first) {
    return ValueRecord{query.Int(first), query.Bytes(first + 1),
                       static_cast<DWORD>(query.Int(first + 2)), query.Bytes(first + 3)};
  }

  bool writable_;
  sqlite3* db_ = nullptr;
  std::array<sqlite3_stmt*, kSqlCount> statements_{};
  int depth_ = 0;

  // The WAL header as the content the cache holds left it, when known.
  std::optional<WalHeader> header_;
  WalHeader::Copy seen_{};
  bool seen_valid_ = false;
  HiveCache cache_;
  bool cached_call_ = false;
  bool filling_ = false;
  bool must_read_ = false;
  // Changes with every change seen in the header and every change of our own.
  uint64_t generation_ = 0;
};

}  // namespace

DWORD ErrorFromSqlite(int result) {
  switch (result & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return ERROR_SUCCESS;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ERROR_BUSY;
    case SQLITE_NOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return ERROR_ACCESS_DENIED;
    case SQLITE_FULL: return ERROR_DISK_FULL;
    case SQLITE_CANTOPEN: return ERROR_CANTOPEN;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return ERROR_REGISTRY_CORRUPT;
    case SQLITE_TOOBIG: return ERROR_INVALID_PARAMETER;
    case SQLITE_IOERR:
    case SQLITE_PROTOCOL: return ERROR_REGISTRY_IO_FAILED;
    default: return ERROR_BADDB;
  }
}

bool HiveWritable(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string directory =
      slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  return access(path.c_str(), W_OK) == 0 && access(directory.c_str(), W_OK) == 0;
}

LONG CreateHiveFile(const std::string& path, unsigned mode, std::string* error) {
  const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
  if (fd < 0) {
    const int saved = errno;
    *error = "cannot create hive " + path + ": " + std::strerror(saved);
    return static_cast<LONG>(ErrorFromErrno(saved));
  }
  const bool moded = fchmod(fd, mode) == 0;  // whatever the umask took away
  close(fd);
  sqlite3* db = nullptr;
  std::string why = moded ? "" : std::strerror(errno);
  LONG rc = moded ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
  if (rc == ERROR_SUCCESS) {
    const int opened = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (opened != SQLITE_OK) {
      why = sqlite3_errstr(opened);
      rc = ErrorFromSqlite(opened);
    }
  }
  if (rc == ERROR_SUCCESS) rc = Exec(db, "PRAGMA journal_mode = WAL", &why);
  if (rc == ERROR_SUCCESS) rc = Exec(db, kSchema, &why);
  if (db != nullptr) sqlite3_close_v2(db);
  if (rc != ERROR_SUCCESS) {
    unlink(path.c_str());
    *error = "cannot create hive " + path + ": " + why;
  }
  return rc;
}

bool CheckHiveIntegrity(const std::string& path, std::string* report) {
  sqlite3* db = nullptr;
  report->clear();
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_stmt* check = nullptr;
    rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(check)) == SQLITE_ROW) {
      if (!report->empty()) *report += '\n';
      *report += reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
      rc = SQLITE_OK;
    }
    sqlite3_finalize(check);
  }
  if (rc != SQLITE_DONE) *report += std::string(report->empty() ? "" : "\n") + sqlite3_errstr(rc);
  sqlite3_close_v2(db);
  return rc == SQLITE_DONE && *report == "ok";
}

std::unique_ptr<Registry> OpenHiveRegistry(const std::string& machineDb,
                                           const std::string& userDb, std::string* error,
                                           const HiveOptions& options) {
  auto machine = SqliteHive::Open(machineDb, options.machineReadOnly, error);
  if (machine == nullptr) return nullptr;
  auto user = SqliteHive::Open(userDb, options.userReadOnly, error);
  if (user == nullptr) return nullptr;
  return MakeHiveRegistry(std::move(machine), std::move(user));
}

}  // namespace nt
