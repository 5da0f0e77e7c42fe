#include "nt/hive_cache.h"

#include <algorithm>

namespace nt {

const HiveCache::Entry* HiveCache::Find(KeyId key) const {
  auto it = keys_.find(key);
  return it == keys_.end() ? nullptr : &it->second;
}

bool HiveCache::Knows(KeyId key) const {
  const Entry* entry = Find(key);
  return entry != nullptr && entry->exists;
}

std::optional<LONG> HiveCache::FindSubkey(KeyId parent, std::string_view fold,
                                          KeyRecord* out) const {
  const Entry* entry = Find(parent);
  if (entry == nullptr) return std::nullopt;
  if (entry->subkeys) {
    const std::vector<KeyRecord>& subkeys = *entry->subkeys;
    auto it = std::lower_bound(subkeys.begin(), subkeys.end(), fold,
                               [](const KeyRecord& r, std::string_view f) { return r.fold < f; });
    if (it == subkeys.end() || it->fold != fold) return ERROR_FILE_NOT_FOUND;
    *out = *it;
    return ERROR_SUCCESS;
  }
  auto it = entry->subkey_lookups.find(fold);
  if (it == entry->subkey_lookups.end()) return std::nullopt;
  if (!it->second) return ERROR_FILE_NOT_FOUND;
  *out = *it->second;
  return ERROR_SUCCESS;
}

void HiveCache::NoteSubkey(KeyId parent, std::string_view fold, const KeyRecord* found) {
  Entry& entry = keys_[parent];
  if (found == nullptr) {
    entry.subkey_lookups.insert_or_assign(std::string(fold), std::nullopt);
    return;
  }
  entry.subkey_lookups.insert_or_assign(std::string(fold), *found);
  Entry& child = keys_[found->id];
  child.exists = true;
  child.parent = parent;
}

bool HiveCache::Listed(KeyId parent) const {
  const Entry* entry = Find(parent);
  return entry != nullptr && entry->subkeys.has_value();
}

void HiveCache::NoteListing(KeyId parent, std::vector<KeyRecord> subkeys) {
  for (const KeyRecord& record : subkeys) {
    Entry& child = keys_[record.id];
    child.exists = true;
    child.parent = parent;
  }
  Entry& entry = keys_[parent];
  entry.subkey_lookups.clear();
  entry.subkeys = std::move(subkeys);
}

LONG HiveCache::NextSubkey(KeyId parent, const std::string* afterFold, KeyRecord* out) const {
  const std::vector<KeyRecord>& subkeys = *Find(parent)->subkeys;
  auto it = afterFold == nullptr
                ? subkeys.begin()
                : std::upper_bound(
                      subkeys.begin(), subkeys.end(), *afterFold,
                      [](const std::string& f, const KeyRecord& r) { return f < r.fold; });
  if (it == subkeys.end()) return ERROR_NO_MORE_ITEMS;
  *out = *it;
  return ERROR_SUCCESS;
}

LONG HiveCache::SubkeyAt(KeyId parent, DWORD index, KeyRecord* out) const {
  const std::vector<KeyRecord>& subkeys = *Find(parent)->subkeys;
  if (index >= subkeys.size()) return ERROR_NO_MORE_ITEMS;
  *out = subkeys[index];
  return ERROR_SUCCESS;
}

std::optional<LONG> HiveCache::FindValue(KeyId key, std::string_view fold,
                                         ValueRecord* out) const {
  const Entry* entry = Find(key);
  if (entry == nullptr) return std::nullopt;
  auto it = entry->value_lookups.find(fold);
  if (it == entry->value_lookups.end()) return std::nullopt;
  if (!it->second) return ERROR_FILE_NOT_FOUND;
  *out = *it->second;
  return ERROR_SUCCESS;
}

void HiveCache::NoteValue(KeyId key, std::string_view fold, const ValueRecord* found) {
  std::optional<ValueRecord> value;
  if (found != nullptr) value = *found;
  keys_[key].value_lookups.insert_or_assign(std::string(fold), std::move(value));
}

bool HiveCache::ValuesListed(KeyId key) const {
  const Entry* entry = Find(key);
  return entry != nullptr && entry->values.has_value();
}

void HiveCache::NoteValues(KeyId key, std::vector<ValueRecord> values) {
  Entry& entry = keys_[key];
  if (!entry.values && entry.parent) ++keys_[*entry.parent].listed_child_values;
  entry.values = std::move(values);
}

LONG HiveCache::NextValue(KeyId key, int64_t afterSeq, ValueRecord* out) const {
  const std::vector<ValueRecord>& values = *Find(key)->values;
  auto it = std::upper_bound(values.begin(), values.end(), afterSeq,
                             [](int64_t seq, const ValueRecord& v) { return seq < v.seq; });
  if (it == values.end()) return ERROR_NO_MORE_ITEMS;
  *out = *it;
  return ERROR_SUCCESS;
}

LONG HiveCache::ValueAt(KeyId key, DWORD index, ValueRecord* out) const {
  const std::vector<ValueRecord>& values = *Find(key)->values;
  if (index >= values.size()) return ERROR_NO_MORE_ITEMS;
  *out = values[index];
  return ERROR_SUCCESS;
}

std::optional<KeyId> HiveCache::SiblingBatch(KeyId key) const {
  const Entry* entry = Find(key);
  if (entry == nullptr || !entry->parent) return std::nullopt;
  const Entry* parent = Find(*entry->parent);
  if (parent == nullptr || !parent->subkeys || parent->listed_child_values == 0) {
    return std::nullopt;
  }
  return *entry->parent;
}

std::vector<KeyId> HiveCache::UnlistedValues(KeyId parent) const {
  std::vector<KeyId> unlisted;
  for (const KeyRecord& record : *Find(parent)->subkeys) {
    if (!ValuesListed(record.id)) unlisted.push_back(record.id);
  }
  return unlisted;
}

}  // namespace nt
