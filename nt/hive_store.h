// The storage under one hive: keys as a tree of ids, values per key. The
// handles, access rights and buffer contracts of the Reg* calls live above it
// in HiveRegistry, once for every store.
//
// Names are compared through their fold (FoldName); subkeys order by fold,
// values by their sequence number (creation order). Methods return
// ERROR_SUCCESS or the platform's code; "nothing there" is ERROR_FILE_NOT_FOUND
// for lookups and ERROR_NO_MORE_ITEMS for walks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "nt/win32.h"

namespace nt {

using KeyId = int64_t;

struct KeyRecord {
  KeyId id = 0;
  std::string name;
  std::string fold;
  std::string keyClass;
};

struct ValueRecord {
  int64_t seq = 0;
  std::string name;
  DWORD type = REG_NONE;
  std::string data;
};

// The case-insensitive form of a key or value name: ASCII letters upper-cased,
// as the platform compares names.
std::string FoldName(std::string_view name);

constexpr LONG kNotCached = -1;

class HiveStore {
 public:
  virtual ~HiveStore() = default;

  virtual bool Writable() const = 0;
  virtual KeyId Root() const = 0;

  // Brackets one call, or a Transact body; transactions nest, and an inner
  // one that ends without commit undoes only its own changes. A store may
  // answer the reads of a call from what it read before, and then answer
  // kNotCached for what it has not: the caller ends the call and runs it
  // again, and the store reads its database for it.
  virtual LONG Begin(bool write) = 0;
  virtual LONG End(bool commit) = 0;

  // Changes whenever the hive's content may have changed since the last call,
  // by this store or by anyone else; enumeration cursors are kept only while
  // it stays the same.
  virtual LONG Version(uint64_t* version) = 0;

  virtual LONG KeyExists(KeyId key) = 0;
  virtual LONG FindSubkey(KeyId parent, std::string_view fold, KeyRecord* out) = 0;
  virtual LONG AddSubkey(KeyId parent, std::string_view name, std::string_view keyClass,
                         KeyId* id) = 0;
  virtual LONG HasSubkeys(KeyId key, bool* any) = 0;
  // Removes a key without subkeys, with its values.
  virtual LONG RemoveKey(KeyId key) = 0;

  // The first subkey whose fold is greater than `afterFold` (the first of all
  // when null), and the subkey at `index` of the whole order.
  virtual LONG NextSubkey(KeyId parent, const std::string* afterFold, KeyRecord* out) = 0;
  virtual LONG SubkeyAt(KeyId parent, DWORD index, KeyRecord* out) = 0;

  // The first value whose sequence number is greater than `afterSeq`, and the
  // value at `index` in creation order.
  virtual LONG NextValue(KeyId key, int64_t afterSeq, ValueRecord* out) = 0;
  virtual LONG ValueAt(KeyId key, DWORD index, ValueRecord* out) = 0;
  virtual LONG FindValue(KeyId key, std::string_view fold, ValueRecord* out) = 0;
  // Replaces the data of an existing value in place (name and position stay),
  // else adds the value at the end.
  virtual LONG PutValue(KeyId key, std::string_view name, DWORD type, std::string_view data) = 0;
  virtual LONG RemoveValue(KeyId key, std::string_view fold) = 0;
};

std::unique_ptr<HiveStore> MakeMemoryHive(bool writable);

// The registry over one store per hive.
std::unique_ptr<class Registry> MakeHiveRegistry(std::unique_ptr<HiveStore> machine,
                                                 std::unique_ptr<HiveStore> user);

}  // namespace nt
