// What a store has read of its hive at one moment: keys known to exist,
// subkey and value listings, and single lookups, so that a call whose hive
// has not changed since is answered without the database.
//
// Lookups answer std::nullopt when the cache does not know; the store then
// reads the database and notes what it found.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "nt/hive_store.h"

namespace nt {

class HiveCache {
 public:
  void Clear() { keys_.clear(); }

  // Whether `key` is known to exist.
  bool Knows(KeyId key) const;
  void NoteKey(KeyId key) { keys_[key].exists = true; }

  std::optional<LONG> FindSubkey(KeyId parent, std::string_view fold, KeyRecord* out) const;
  // `found` is null when the parent has no such subkey.
  void NoteSubkey(KeyId parent, std::string_view fold, const KeyRecord* found);

  bool Listed(KeyId parent) const;
  // Every subkey of `parent`, in fold order.
  void NoteListing(KeyId parent, std::vector<KeyRecord> subkeys);
  // Of a listed parent only.
  LONG NextSubkey(KeyId parent, const std::string* afterFold, KeyRecord* out) const;
  LONG SubkeyAt(KeyId parent, DWORD index, KeyRecord* out) const;

  std::optional<LONG> FindValue(KeyId key, std::string_view fold, ValueRecord* out) const;
  void NoteValue(KeyId key, std::string_view fold, const ValueRecord* found);

  bool ValuesListed(KeyId key) const;
  // Every value of `key`, in creation order.
  void NoteValues(KeyId key, std::vector<ValueRecord> values);
  // Of a key whose values are listed only.
  LONG NextValue(KeyId key, int64_t afterSeq, ValueRecord* out) const;
  LONG ValueAt(KeyId key, DWORD index, ValueRecord* out) const;

  // The parent whose subkeys' values are best listed together with those of
  // `key`: one that is listed, and of which another subkey's values were
  // listed before. A walk over the subkeys then costs one read, while a
  // single subkey read costs no more than itself.
  std::optional<KeyId> SiblingBatch(KeyId key) const;
  // The subkeys of a listed `parent` whose values are not listed yet.
  std::vector<KeyId> UnlistedValues(KeyId parent) const;

 private:
  // What is known of one key; an entry may also hold what a key that does not
  // exist does not have.
  struct Entry {
    bool exists = false;
    std::optional<KeyId> parent;
    std::optional<std::vector<KeyRecord>> subkeys;
    std::map<std::string, std::optional<KeyRecord>, std::less<>> subkey_lookups;
    std::optional<std::vector<ValueRecord>> values;
    std::map<std::string, std::optional<ValueRecord>, std::less<>> value_lookups;
    int listed_child_values = 0;
  };

  const Entry* Find(KeyId key) const;

  std::unordered_map<KeyId, Entry> keys_;
};

}  // namespace nt
