#include "nt/wal_header.h"

#include <atomic>
#include <cstring>

namespace nt {
namespace {

// The shared index is mapped in regions of this size; the header opens the
// first with two copies of itself, which writers update second copy first.
constexpr int kRegionSize = 32768;
constexpr size_t kWords = std::tuple_size_v<WalHeader::Copy>;
// Byte 12 of a copy is 1 once the index is built.
constexpr size_t kInitByte = 12;

}  // namespace

std::optional<WalHeader> WalHeader::Attach(sqlite3* db) {
  sqlite3_stmt* statement = nullptr;
  bool wal = false;
  if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW) {
    const auto* mode = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    wal = mode != nullptr && std::strcmp(mode, "wal") == 0;
  }
  sqlite3_finalize(statement);
  if (!wal) return std::nullopt;

  sqlite3_file* file = nullptr;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
      file == nullptr || file->pMethods == nullptr || file->pMethods->iVersion < 2 ||
      file->pMethods->xShmMap == nullptr) {
    return std::nullopt;
  }
  // Region 0 is already mapped by the connection's reads; this asks for it
  // without growing the file. A read-only index answers SQLITE_READONLY.
  volatile void* region = nullptr;
  const int rc = file->pMethods->xShmMap(file, 0, kRegionSize, 0, &region);
  if ((rc != SQLITE_OK && rc != SQLITE_READONLY) || region == nullptr) return std::nullopt;
  return WalHeader(static_cast<const volatile uint32_t*>(region));
}

bool WalHeader::Read(Copy* out) const {
  Copy second;
  for (size_t i = 0; i < kWords; ++i) (*out)[i] = words_[i];
  std::atomic_thread_fence(std::memory_order_seq_cst);
  for (size_t i = 0; i < kWords; ++i) second[i] = words_[kWords + i];
  return *out == second && reinterpret_cast<const unsigned char*>(out->data())[kInitByte] != 0;
}

}  // namespace nt
