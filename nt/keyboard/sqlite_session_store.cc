#include <sqlite3.h>

#include <memory>

#include "nt/hive_file.h"
#include "nt/keyboard/session_store.h"

namespace nt::kbd {
namespace {

struct CloseDatabase {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct FinalizeStatement {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

int Prepare(sqlite3* db, const char* sql, Statement* statement) {
  sqlite3_stmt* raw = nullptr;
  const int result = sqlite3_prepare_v2(db, sql, -1, &raw, nullptr);
  statement->reset(raw);
  return result;
}

int ReadRows(sqlite3* db, KeyboardSession* session) {
  Statement select;
  if (int result = Prepare(db, "SELECT layout, active FROM keyboard_session ORDER BY position", &select)) {
    return result;
  }
  int result;
  while ((result = sqlite3_step(select.get())) == SQLITE_ROW) {
    const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(select.get(), 0));
    session->layouts.emplace_back(name != nullptr ? name : "");
    if (sqlite3_column_int(select.get(), 1) != 0) session->active = session->layouts.back();
  }
  return result == SQLITE_DONE ? SQLITE_OK : result;
}

int Write(sqlite3* db, const KeyboardSession& session) {
  if (int result = sqlite3_exec(db, "DELETE FROM keyboard_session", nullptr, nullptr, nullptr)) return result;
  Statement insert;
  if (int result = Prepare(db, "INSERT INTO keyboard_session (position, layout, active) VALUES (?, ?, ?)",
                           &insert)) {
    return result;
  }
  for (size_t i = 0; i < session.layouts.size(); ++i) {
    sqlite3_reset(insert.get());
    sqlite3_bind_int64(insert.get(), 1, static_cast<sqlite3_int64>(i + 1));
    sqlite3_bind_text(insert.get(), 2, session.layouts[i].c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(insert.get(), 3, session.layouts[i] == session.active ? 1 : 0);
    if (int result = sqlite3_step(insert.get()); result != SQLITE_DONE) return result;
  }
  return SQLITE_OK;
}

// Opens the hive database, which provisioning made, with the session table in place.
DWORD Open(const std::string& path, Database* db) {
  sqlite3* raw = nullptr;
  const int opened = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  db->reset(raw);
  if (opened != SQLITE_OK) return ErrorFromSqlite(opened);
  sqlite3_busy_timeout(db->get(), 5000);
  return ErrorFromSqlite(sqlite3_exec(db->get(),
                                      "PRAGMA journal_mode=WAL;"
                                      "CREATE TABLE IF NOT EXISTS keyboard_session ("
                                      " position INTEGER PRIMARY KEY, layout TEXT NOT NULL,"
                                      " active INTEGER NOT NULL DEFAULT 0)",
                                      nullptr, nullptr, nullptr));
}

}  // namespace

DWORD SqliteSessionStore::Read(KeyboardSession* session, bool* stored) {
  Database db;
  if (DWORD error = Open(path_, &db)) return error;
  *session = {};
  if (DWORD error = ErrorFromSqlite(ReadRows(db.get(), session))) return error;
  *stored = !session->layouts.empty();
  return ERROR_SUCCESS;
}

DWORD SqliteSessionStore::Update(const Change& change) {
  Database db;
  if (DWORD error = Open(path_, &db)) return error;
  int result;
  if ((result = sqlite3_exec(db.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr)) != SQLITE_OK) {
    return ErrorFromSqlite(result);
  }
  KeyboardSession session;
  DWORD error = ErrorFromSqlite(ReadRows(db.get(), &session));
  if (error == ERROR_SUCCESS) {
    const bool stored = !session.layouts.empty();
    const KeyboardSession before = session;
    error = change(session, stored);
    if (error == ERROR_SUCCESS && session != before) error = ErrorFromSqlite(Write(db.get(), session));
  }
  if (error == ERROR_SUCCESS) {
    if ((result = sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr)) == SQLITE_OK) return ERROR_SUCCESS;
    error = ErrorFromSqlite(result);
  }
  sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
  return error;
}

}  // namespace nt::kbd
