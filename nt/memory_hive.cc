// A hive held in memory. Transactions keep an undo log: each change records
// how to take it back, and a transaction that ends without commit replays its
// part of the log backwards.
#include <functional>
#include <iterator>
#include <map>
#include <unordered_map>
#include <vector>

#include "nt/hive_store.h"

namespace nt {
namespace {

class MemoryHive : public HiveStore {
 public:
  explicit MemoryHive(bool writable) : writable_(writable) {
    nodes_[kRoot].record.id = kRoot;
  }

  bool Writable() const override { return writable_; }
  KeyId Root() const override { return kRoot; }

  LONG Begin(bool /*write*/) override {
    marks_.push_back(undo_.size());
    return ERROR_SUCCESS;
  }

  LONG End(bool commit) override {
    const size_t mark = marks_.back();
    marks_.pop_back();
    if (!commit) {
      while (undo_.size() > mark) {
        undo_.back()();
        undo_.pop_back();
      }
    }
    if (marks_.empty()) undo_.clear();
    return ERROR_SUCCESS;
  }

  LONG Version(uint64_t* version) override {
    *version = version_;
    return ERROR_SUCCESS;
  }

  LONG KeyExists(KeyId key) override {
    return nodes_.count(key) ? ERROR_SUCCESS : ERROR_KEY_DELETED;
  }

  LONG FindSubkey(KeyId parent, std::string_view fold, KeyRecord* out) override {
    const Node& node = nodes_.at(parent);
    auto it = node.children.find(std::string(fold));
    if (it == node.children.end()) return ERROR_FILE_NOT_FOUND;
    *out = nodes_.at(it->second).record;
    return ERROR_SUCCESS;
  }

  LONG AddSubkey(KeyId parent, std::string_view name, std::string_view keyClass,
                 KeyId* id) override {
    const KeyId child = next_id_++;
    std::string fold = FoldName(name);
    Node& node = nodes_[child];
    node.parent = parent;
    node.record = KeyRecord{child, std::string(name), fold, std::string(keyClass)};
    nodes_.at(parent).children[fold] = child;
    Changed([this, child, parent, fold] {
      nodes_.at(parent).children.erase(fold);
      nodes_.erase(child);
    });
    *id = child;
    return ERROR_SUCCESS;
  }

  LONG HasSubkeys(KeyId key, bool* any) override {
    *any = !nodes_.at(key).children.empty();
    return ERROR_SUCCESS;
  }

  LONG RemoveKey(KeyId key) override {
    Node saved = std::move(nodes_.at(key));
    nodes_.erase(key);
    nodes_.at(saved.parent).children.erase(saved.record.fold);
    Changed([this, key, saved = std::move(saved)] {
      nodes_.at(saved.parent).children[saved.record.fold] = key;
      nodes_[key] = saved;
    });
    return ERROR_SUCCESS;
  }

  LONG NextSubkey(KeyId parent, const std::string* afterFold, KeyRecord* out) override {
    const auto& children = nodes_.at(parent).children;
    auto it = afterFold == nullptr ? children.begin() : children.upper_bound(*afterFold);
    if (it == children.end()) return ERROR_NO_MORE_ITEMS;
    *out = nodes_.at(it->second).record;
    return ERROR_SUCCESS;
  }

  LONG SubkeyAt(KeyId parent, DWORD index, KeyRecord* out) override {
    const auto& children = nodes_.at(parent).children;
    if (index >= children.size()) return ERROR_NO_MORE_ITEMS;
    *out = nodes_.at(std::next(children.begin(), index)->second).record;
    return ERROR_SUCCESS;
  }

  LONG NextValue(KeyId key, int64_t afterSeq, ValueRecord* out) override {
    const auto& values = nodes_.at(key).values;
    auto it = values.upper_bound(afterSeq);
    if (it == values.end()) return ERROR_NO_MORE_ITEMS;
    *out = it->second;
    return ERROR_SUCCESS;
  }

  LONG ValueAt(KeyId key, DWORD index, ValueRecord* out) override {
    const auto& values = nodes_.at(key).values;
    if (index >= values.size()) return ERROR_NO_MORE_ITEMS;
    *out = std::next(values.begin(), index)->second;
    return ERROR_SUCCESS;
  }

  LONG FindValue(KeyId key, std::string_view fold, ValueRecord* out) override {
    const Node& node = nodes_.at(key);
    auto it = node.value_by_fold.find(std::string(fold));
    if (it == node.value_by_fold.end()) return ERROR_FILE_NOT_FOUND;
    *out = node.values.at(it->second);
    return ERROR_SUCCESS;
  }

  LONG PutValue(KeyId key, std::string_view name, DWORD type, std::string_view data) override {
    Node& node = nodes_.at(key);
    const std::string fold = FoldName(name);
    auto it = node.value_by_fold.find(fold);
    if (it != node.value_by_fold.end()) {
      ValueRecord& value = node.values.at(it->second);
      Changed([this, key, old = value] { nodes_.at(key).values[old.seq] = old; });
      value.type = type;
      value.data = std::string(data);
      return ERROR_SUCCESS;
    }
    const int64_t seq = next_seq_++;
    node.values[seq] = ValueRecord{.seq = seq, .name = std::string(name), .type = type,
                                   .data = std::string(data)};
    node.value_by_fold[fold] = seq;
    Changed([this, key, seq, fold] {
      Node& n = nodes_.at(key);
      n.values.erase(seq);
      n.value_by_fold.erase(fold);
    });
    return ERROR_SUCCESS;
  }

  LONG RemoveValue(KeyId key, std::string_view fold) override {
    Node& node = nodes_.at(key);
    auto it = node.value_by_fold.find(std::string(fold));
    if (it == node.value_by_fold.end()) return ERROR_FILE_NOT_FOUND;
    ValueRecord saved = node.values.at(it->second);
    node.values.erase(it->second);
    node.value_by_fold.erase(it);
    Changed([this, key, saved, fold = std::string(fold)] {
      Node& n = nodes_.at(key);
      n.values[saved.seq] = saved;
      n.value_by_fold[fold] = saved.seq;
    });
    return ERROR_SUCCESS;
  }

 private:
  static constexpr KeyId kRoot = 1;

  struct Node {
    KeyId parent = 0;
    KeyRecord record;
    std::map<std::string, KeyId> children;     // by fold
    std::map<int64_t, ValueRecord> values;     // by sequence number
    std::unordered_map<std::string, int64_t> value_by_fold;
  };

  void Changed(std::function<void()> undo) {
    ++version_;
    if (!marks_.empty()) undo_.push_back(std::move(undo));
  }

  bool writable_;
  std::unordered_map<KeyId, Node> nodes_;
  KeyId next_id_ = kRoot + 1;
  int64_t next_seq_ = 1;
  uint64_t version_ = 0;
  std::vector<std::function<void()>> undo_;
  std::vector<size_t> marks_;
};

}  // namespace

std::unique_ptr<HiveStore> MakeMemoryHive(bool writable) {
  return std::make_unique<MemoryHive>(writable);
}

}  // namespace nt
