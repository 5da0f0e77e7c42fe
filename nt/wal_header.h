// The header of a WAL database's shared index, read where the connection has
// it mapped. Every commit by any connection or process changes it, so a copy
// taken earlier tells whether the database has changed since, at the cost of
// a memory read instead of a transaction.
#pragma once

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <optional>

namespace nt {

class WalHeader {
 public:
  using Copy = std::array<uint32_t, 12>;

  // Nothing when the connection has no shared index (not in WAL mode, or
  // opened without one).
  static std::optional<WalHeader> Attach(sqlite3* db);

  // False while a writer is in the middle of changing it.
  bool Read(Copy* out) const;

 private:
  explicit WalHeader(const volatile uint32_t* words) : words_(words) {}

  const volatile uint32_t* words_;
};

}  // namespace nt
