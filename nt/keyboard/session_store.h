// Where the user's keyboard session lasts between runs: the loaded layouts in
// order and the active one.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "nt/win32.h"

namespace nt::kbd {

struct KeyboardSession {
  std::vector<std::string> layouts;  // layout names in the user's order
  std::string active;                // one of `layouts`
  bool operator==(const KeyboardSession&) const = default;
};

class SessionStore {
 public:
  // Changes the session: returns ERROR_SUCCESS to store it, anything else to
  // leave the stored session as it was. `stored` is false while the user has
  // no session yet (the session is then empty).
  using Change = std::function<DWORD(KeyboardSession& session, bool stored)>;

  virtual ~SessionStore() = default;
  // Runs `change` on the stored session as one transaction, so two processes
  // changing one user's session never lose a change. Returns change's result
  // or the store's error.
  virtual DWORD Update(const Change& change) = 0;
  // The stored session; *stored is false while the user has none.
  virtual DWORD Read(KeyboardSession* session, bool* stored) = 0;
};

// A session kept in memory, for tests.
class MemorySessionStore : public SessionStore {
 public:
  DWORD Update(const Change& change) override {
    KeyboardSession copy = session_;
    const DWORD result = change(copy, stored_);
    if (result == ERROR_SUCCESS) {
      session_ = std::move(copy);
      stored_ = !session_.layouts.empty();
    }
    return result;
  }
  DWORD Read(KeyboardSession* session, bool* stored) override {
    *session = session_;
    *stored = stored_;
    return ERROR_SUCCESS;
  }
  const KeyboardSession& session() const { return session_; }

 private:
  KeyboardSession session_;
  bool stored_ = false;
};

// The session in a table of its own, keyboard_session, in the user's hive
// database (registry/users/<user>.db), next to the registry's own tables. The
// database must exist (the station makes it); the table is made on first use.
class SqliteSessionStore : public SessionStore {
 public:
  explicit SqliteSessionStore(std::string databasePath) : path_(std::move(databasePath)) {}
  DWORD Update(const Change& change) override;
  DWORD Read(KeyboardSession* session, bool* stored) override;

 private:
  std::string path_;
};

}  // namespace nt::kbd
