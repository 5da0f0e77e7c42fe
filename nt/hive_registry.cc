// The Reg* contracts over two hive stores: handles, access rights, key paths,
// the callers' buffers, and enumeration cursors.
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include "nt/hive_store.h"
#include "nt/registry.h"

namespace nt {
namespace {

constexpr size_t kMaxKeyName = 255;
constexpr size_t kMaxValueName = 16383;

constexpr REGSAM kDelete = 0x00010000;
constexpr REGSAM kWriteDac = 0x00040000;
constexpr REGSAM kWriteOwner = 0x00080000;
constexpr REGSAM kMaximumAllowed = 0x02000000;
constexpr REGSAM kGenericAll = 0x10000000;
constexpr REGSAM kGenericWrite = 0x40000000;
constexpr REGSAM kGenericRead = 0x80000000;
constexpr REGSAM kWriteRights =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | kDelete | kWriteDac | kWriteOwner;

bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The components of a key path; an empty path names the key itself. A
// trailing separator is allowed, an empty component elsewhere is not.
bool SplitPath(LPCSTR path, std::vector<std::string_view>* parts) {
  parts->clear();
  if (path == nullptr) return true;
  std::string_view rest(path);
  while (!rest.empty()) {
    const size_t end = rest.find('\\');
    std::string_view part = rest.substr(0, end);
    if (part.empty() || part.size() > kMaxKeyName) return false;
    parts->push_back(part);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return true;
}

// Copies `text` and a zero into a caller's buffer of *length bytes; on
// success *length becomes the text's length without the zero.
LONG CopyName(const std::string& text, LPSTR buffer, LPDWORD length) {
  if (text.size() + 1 > *length) return ERROR_MORE_DATA;
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  *length = static_cast<DWORD>(text.size());
  return ERROR_SUCCESS;
}

// Value data into a caller's buffer: the size needed when the buffer is
// absent or short, and a terminating zero after string data when it fits.
LONG CopyData(const ValueRecord& value, LPDWORD type, LPBYTE data, LPDWORD dataLength) {
  if (type != nullptr) *type = value.type;
  if (dataLength == nullptr) return ERROR_SUCCESS;
  const DWORD size = static_cast<DWORD>(value.data.size());
  if (data == nullptr) {
    *dataLength = size;
    return ERROR_SUCCESS;
  }
  if (*dataLength < size) {
    *dataLength = size;
    return ERROR_MORE_DATA;
  }
  std::memcpy(data, value.data.data(), size);
  if (IsStringType(value.type) && *dataLength > size) data[size] = 0;
  *dataLength = size;
  return ERROR_SUCCESS;
}

class HiveRegistry : public Registry {
 public:
  HiveRegistry(std::unique_ptr<HiveStore> machine, std::unique_ptr<HiveStore> user)
      : machine_(std::move(machine)), user_(std::move(user)) {
    machine_root_ = RootHandle(machine_.get());
    user_root_ = RootHandle(user_.get());
  }

  LONG OpenKey(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result) override {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    Handle* parent = Find(key);
    if (parent == nullptr) return ERROR_INVALID_HANDLE;
    HiveStore& store = *parent->store;
    access = Effective(access, store);
    if ((access & kWriteRights) != 0 && !store.Writable()) return ERROR_ACCESS_DENIED;
    std::vector<std::string_view> parts;
    if (!SplitPath(subKey, &parts)) return ERROR_FILE_NOT_FOUND;
    KeyId id = 0;
    LONG rc = InTransaction(store, false, [&] { return Walk(*parent, parts, &id); });
    if (rc != ERROR_SUCCESS) return rc;
    *result = NewHandle(&store, id, access);
    return ERROR_SUCCESS;
  }

  LONG CreateKey(HKEY key, LPCSTR subKey, LPCSTR keyClass, REGSAM access, PHKEY result,
                 LPDWORD disposition) override {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    Handle* parent = Find(key);
    if (parent == nullptr) return ERROR_INVALID_HANDLE;
    HiveStore& store = *parent->store;
    access = Effective(access, store);
    if ((access & kWriteRights) != 0 && !store.Writable()) return ERROR_ACCESS_DENIED;
    std::vector<std::string_view> parts;
    if (!SplitPath(subKey, &parts)) return ERROR_INVALID_PARAMETER;
    const std::string cls = keyClass == nullptr ? "" : keyClass;
    KeyId id = 0;
    bool created = false;
    LONG rc = InTransaction(store, true, [&]() -> LONG {
      if (LONG e = store.KeyExists(parent->key)) return e;
      id = parent->key;
      for (std::string_view part : parts) {
        KeyRecord child;
        LONG found = store.FindSubkey(id, FoldName(part), &child);
        if (found == ERROR_SUCCESS) {
          id = child.id;
          continue;
        }
        if (found != ERROR_FILE_NOT_FOUND) return found;
        if (!store.Writable() || (parent->access & KEY_CREATE_SUB_KEY) == 0) {
          return ERROR_ACCESS_DENIED;
        }
        if (LONG e = store.AddSubkey(id, part, cls, &id)) return e;
        created = true;
      }
      return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
    if (disposition != nullptr) {
      *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    *result = NewHandle(&store, id, access);
    return ERROR_SUCCESS;
  }

  LONG EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPSTR keyClass,
               LPDWORD classLength) override {
    if (name == nullptr || nameLength == nullptr) return ERROR_INVALID_PARAMETER;
    if (keyClass != nullptr && classLength == nullptr) return ERROR_INVALID_PARAMETER;
    Handle* handle = Find(key);
    if (handle == nullptr) return ERROR_INVALID_HANDLE;
    if ((handle->access & KEY_ENUMERATE_SUB_KEYS) == 0) return ERROR_ACCESS_DENIED;
    HiveStore& store = *handle->store;
    KeyRecord record;
    LONG rc = InTransaction(store, false, [&]() -> LONG {
      if (LONG e = Prepare(*handle)) return e;
      LONG found;
      if (index == 0) {
        found = store.NextSubkey(handle->key, nullptr, &record);
      } else if (handle->subkey_cursor && handle->subkey_index + 1 == index) {
        found = store.NextSubkey(handle->key, &handle->subkey_fold, &record);
      } else if (handle->subkey_cursor && handle->subkey_index == index) {
        found = store.FindSubkey(handle->key, handle->subkey_fold, &record);  // a retry
      } else {
        found = store.SubkeyAt(handle->key, index, &record);
      }
      if (found != ERROR_SUCCESS) return found;
      handle->subkey_cursor = true;
      handle->subkey_index = index;
      handle->subkey_fold = record.fold;
      return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
    DWORD length = *nameLength;
    if (LONG e = CopyName(record.name, name, &length)) return e;
    if (keyClass != nullptr) {
      if (LONG e = CopyName(record.keyClass, keyClass, classLength)) return e;
    }
    *nameLength = length;
    return ERROR_SUCCESS;
  }

  LONG EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD type,
                 LPBYTE data, LPDWORD dataLength) override {
    if (name == nullptr || nameLength == nullptr) return ERROR_INVALID_PARAMETER;
    if (data != nullptr && dataLength == nullptr) return ERROR_INVALID_PARAMETER;
    Handle* handle = Find(key);
    if (handle == nullptr) return ERROR_INVALID_HANDLE;
    if ((handle->access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
    HiveStore& store = *handle->store;
    ValueRecord record;
    LONG rc = InTransaction(store, false, [&]() -> LONG {
      if (LONG e = Prepare(*handle)) return e;
      LONG found;
      if (index == 0) {
        found = store.NextValue(handle->key, 0, &record);
      } else if (handle->value_cursor && handle->value_index + 1 == index) {
        found = store.NextValue(handle->key, handle->value_seq, &record);
      } else if (handle->value_cursor && handle->value_index == index) {
        found = store.NextValue(handle->key, handle->value_seq - 1, &record);  // a retry
      } else {
        found = store.ValueAt(handle->key, index, &record);
      }
      if (found != ERROR_SUCCESS) return found;
      handle->value_cursor = true;
      handle->value_index = index;
      handle->value_seq = record.seq;
      return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
    if (LONG e = CopyName(record.name, name, nameLength)) return e;
    return CopyData(record, type, data, dataLength);
  }

  LONG QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data,
                  LPDWORD dataLength) override {
    if (data != nullptr && dataLength == nullptr) return ERROR_INVALID_PARAMETER;
    Handle* handle = Find(key);
    if (handle == nullptr) return ERROR_INVALID_HANDLE;
    if ((handle->access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
    HiveStore& store = *handle->store;
    ValueRecord record;
    LONG rc = InTransaction(store, false, [&]() -> LONG {
      if (LONG e = store.KeyExists(handle->key)) return e;
      return store.FindValue(handle->key, FoldName(name == nullptr ? "" : name), &record);
    });
    if (rc != ERROR_SUCCESS) return rc;
    return CopyData(record, type, data, dataLength);
  }

  LONG SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data,
                DWORD dataLength) override {
    if (data == nullptr && dataLength != 0) return ERROR_INVALID_PARAMETER;
    const std::string_view value_name = name == nullptr ? "" : name;
    if (value_name.size() > kMaxValueName) return ERROR_INVALID_PARAMETER;
    Handle* handle = Find(key);
    if (handle == nullptr) return ERROR_INVALID_HANDLE;
    if ((handle->access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
    HiveStore& store = *handle->store;
    const std::string_view bytes(reinterpret_cast<const char*>(data), data ? dataLength : 0);
    return InTransaction(store, true, [&]() -> LONG {
      if (LONG e = store.KeyExists(handle->key)) return e;
      return store.PutValue(handle->key, value_name, type, bytes);
    });
  }

  LONG DeleteValue(HKEY key, LPCSTR name) override {
    Handle* handle = Find(key);
    if (handle == nullptr) return ERROR_INVALID_HANDLE;
    if ((handle->access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
    HiveStore& store = *handle->store;
    return InTransaction(store, true, [&]() -> LONG {
      if (LONG e = store.KeyExists(handle->key)) return e;
      return store.RemoveValue(handle->key, FoldName(name == nullptr ? "" : name));
    });
  }

  LONG DeleteKey(HKEY key, LPCSTR subKey) override {
    if (subKey == nullptr) return ERROR_INVALID_PARAMETER;
    Handle* handle = Find(key);
    if (handle == nullptr) return ERROR_INVALID_HANDLE;
    HiveStore& store = *handle->store;
    if (!store.Writable()) return ERROR_ACCESS_DENIED;
    std::vector<std::string_view> parts;
    if (!SplitPath(subKey, &parts)) return ERROR_FILE_NOT_FOUND;
    return InTransaction(store, true, [&]() -> LONG {
      KeyId id = 0;
      if (LONG e = Walk(*handle, parts, &id)) return e;
      if (id == store.Root()) return ERROR_ACCESS_DENIED;
      bool any = false;
      if (LONG e = store.HasSubkeys(id, &any)) return e;
      if (any) return ERROR_ACCESS_DENIED;  // the platform deletes only leaf keys
      return store.RemoveKey(id);
    });
  }

  LONG CloseKey(HKEY key) override {
    if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
    return handles_.erase(reinterpret_cast<uintptr_t>(key)) ? ERROR_SUCCESS
                                                            : ERROR_INVALID_HANDLE;
  }

  LONG Transact(HKEY root, const std::function<LONG()>& body) override {
    HiveStore* store = root == HKEY_LOCAL_MACHINE ? machine_.get()
                       : root == HKEY_CURRENT_USER ? user_.get()
                                                   : nullptr;
    if (store == nullptr) return ERROR_INVALID_HANDLE;
    return InTransaction(*store, true, body);
  }

 private:
  struct Handle {
    HiveStore* store = nullptr;
    KeyId key = 0;
    REGSAM access = 0;
    // Where the last enumeration stopped, valid while the hive's version stays.
    uint64_t version = 0;
    bool subkey_cursor = false;
    DWORD subkey_index = 0;
    std::string subkey_fold;
    bool value_cursor = false;
    DWORD value_index = 0;
    int64_t value_seq = 0;
  };

  static Handle RootHandle(HiveStore* store) {
    Handle handle;
    handle.store = store;
    handle.key = store->Root();
    handle.access = store->Writable() ? KEY_ALL_ACCESS : KEY_READ;
    return handle;
  }

  static REGSAM Effective(REGSAM access, const HiveStore& store) {
    if (access & kMaximumAllowed) access |= store.Writable() ? KEY_ALL_ACCESS : KEY_READ;
    if (access & kGenericAll) access |= KEY_ALL_ACCESS;
    if (access & kGenericRead) access |= KEY_READ;
    if (access & kGenericWrite) access |= KEY_WRITE;
    return access & ~(kMaximumAllowed | kGenericAll | kGenericRead | kGenericWrite);
  }

  Handle* Find(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE) return &machine_root_;
    if (key == HKEY_CURRENT_USER) return &user_root_;
    auto it = handles_.find(reinterpret_cast<uintptr_t>(key));
    return it == handles_.end() ? nullptr : &it->second;
  }

  HKEY NewHandle(HiveStore* store, KeyId id, REGSAM access) {
    const uintptr_t value = next_handle_;
    next_handle_ += 4;
    Handle& handle = handles_[value];
    handle.store = store;
    handle.key = id;
    handle.access = access;
    return reinterpret_cast<HKEY>(value);
  }

  // The key `parts` names below the handle's key.
  static LONG Walk(const Handle& from, const std::vector<std::string_view>& parts, KeyId* id) {
    HiveStore& store = *from.store;
    if (LONG e = store.KeyExists(from.key)) return e;
    *id = from.key;
    for (std::string_view part : parts) {
      KeyRecord child;
      if (LONG e = store.FindSubkey(*id, FoldName(part), &child)) return e;
      *id = child.id;
    }
    return ERROR_SUCCESS;
  }

  // Checks the handle's key still exists and drops cursors the hive's changes
  // have made stale.
  static LONG Prepare(Handle& handle) {
    if (LONG e = handle.store->KeyExists(handle.key)) return e;
    uint64_t version = 0;
    if (LONG e = handle.store->Version(&version)) return e;
    if (version != handle.version) {
      handle.version = version;
      handle.subkey_cursor = false;
      handle.value_cursor = false;
    }
    return ERROR_SUCCESS;
  }

  template <typename Body>
  static LONG InTransaction(HiveStore& store, bool write, Body&& body) {
    for (;;) {
      if (LONG e = store.Begin(write)) return e;
      const LONG rc = body();
      const LONG end = store.End(rc == ERROR_SUCCESS);
      if (rc == kNotCached) continue;
      return rc != ERROR_SUCCESS ? rc : end;
    }
  }

  std::unique_ptr<HiveStore> machine_;
  std::unique_ptr<HiveStore> user_;
  Handle machine_root_;
  Handle user_root_;
  std::unordered_map<uintptr_t, Handle> handles_;
  uintptr_t next_handle_ = 0x1000;
};

}  // namespace

std::string FoldName(std::string_view name) {
  std::string fold(name);
  for (char& c : fold) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return fold;
}

std::unique_ptr<Registry> MakeHiveRegistry(std::unique_ptr<HiveStore> machine,
                                           std::unique_ptr<HiveStore> user) {
  return std::make_unique<HiveRegistry>(std::move(machine), std::move(user));
}

std::unique_ptr<Registry> MakeMemoryRegistry(const HiveOptions& options) {
  return MakeHiveRegistry(MakeMemoryHive(!options.machineReadOnly),
                          MakeMemoryHive(!options.userReadOnly));
}

LONG Registry::Transact(HKEY /*root*/, const std::function<LONG()>& body) { return body(); }

}  // namespace nt
