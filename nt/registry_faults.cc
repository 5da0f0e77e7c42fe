#include "nt/registry_faults.h"

#include "nt/hive_store.h"

namespace nt {
namespace {

constexpr REGSAM kWriteRights =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | 0x00010000 | 0x00040000 | 0x00080000 |
    0x10000000 | 0x40000000;

}  // namespace

void FaultyRegistry::FailCall(int n, LONG code) { numbered_[n] = code; }

void FaultyRegistry::FailNamed(const std::string& call, LONG code, int occurrence) {
  named_.push_back(NamedFault{call, code, occurrence});
}

void FaultyRegistry::DenyFullAccess(const std::string& keyName) {
  HKEY root = nullptr;
  std::string path;
  std::string full = keyName;
  if (ParseKeyName(keyName, &root, &path)) {
    full = RootName(root);
    if (!path.empty()) full += "\\" + path;
  }
  denied_.push_back(FoldName(full));
}

void FaultyRegistry::ClearFaults() {
  numbered_.clear();
  named_.clear();
  denied_.clear();
}

std::string FaultyRegistry::KeyNameOf(HKEY key) const {
  if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER) return RootName(key);
  auto it = names_.find(key);
  return it == names_.end() ? std::string() : it->second;
}

LONG FaultyRegistry::Injected(const char* call) {
  calls_.emplace_back(call);
  const int count = ++counts_[call];
  if (auto it = numbered_.find(static_cast<int>(calls_.size())); it != numbered_.end()) {
    return it->second;
  }
  for (const NamedFault& fault : named_) {
    if (fault.call == call && (fault.occurrence == 0 || fault.occurrence == count)) {
      return fault.code;
    }
  }
  return ERROR_SUCCESS;
}

std::string FaultyRegistry::ChildName(HKEY key, LPCSTR subKey) const {
  std::string name = KeyNameOf(key);
  if (name.empty()) return name;
  std::string sub = subKey == nullptr ? "" : subKey;
  while (!sub.empty() && sub.back() == '\\') sub.pop_back();
  if (!sub.empty()) name += "\\" + sub;
  return name;
}

LONG FaultyRegistry::Denied(HKEY key, LPCSTR subKey, REGSAM access) const {
  if ((access & kWriteRights) == 0 || denied_.empty()) return ERROR_SUCCESS;
  const std::string name = ChildName(key, subKey);
  if (name.empty()) return ERROR_SUCCESS;
  const std::string fold = FoldName(name);
  for (const std::string& denied : denied_) {
    if (denied == fold) return ERROR_ACCESS_DENIED;
  }
  return ERROR_SUCCESS;
}

LONG FaultyRegistry::OpenKey(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result) {
  if (LONG e = Injected("RegOpenKeyExA")) return e;
  if (LONG e = Denied(key, subKey, access)) return e;
  LONG rc = target_.OpenKey(key, subKey, access, result);
  if (rc == ERROR_SUCCESS) names_[*result] = ChildName(key, subKey);
  return rc;
}

LONG FaultyRegistry::CreateKey(HKEY key, LPCSTR subKey, LPCSTR keyClass, REGSAM access,
                               PHKEY result, LPDWORD disposition) {
  if (LONG e = Injected("RegCreateKeyExA")) return e;
  if (LONG e = Denied(key, subKey, access)) return e;
  LONG rc = target_.CreateKey(key, subKey, keyClass, access, result, disposition);
  if (rc == ERROR_SUCCESS) names_[*result] = ChildName(key, subKey);
  return rc;
}

LONG FaultyRegistry::EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength,
                             LPSTR keyClass, LPDWORD classLength) {
  if (LONG e = Injected("RegEnumKeyExA")) return e;
  return target_.EnumKey(key, index, name, nameLength, keyClass, classLength);
}

LONG FaultyRegistry::EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength,
                               LPDWORD type, LPBYTE data, LPDWORD dataLength) {
  if (LONG e = Injected("RegEnumValueA")) return e;
  return target_.EnumValue(key, index, name, nameLength, type, data, dataLength);
}

LONG FaultyRegistry::QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data,
                                LPDWORD dataLength) {
  if (LONG e = Injected("RegQueryValueExA")) return e;
  return target_.QueryValue(key, name, type, data, dataLength);
}

LONG FaultyRegistry::SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data,
                              DWORD dataLength) {
  if (LONG e = Injected("RegSetValueExA")) return e;
  return target_.SetValue(key, name, type, data, dataLength);
}

LONG FaultyRegistry::DeleteValue(HKEY key, LPCSTR name) {
  if (LONG e = Injected("RegDeleteValueA")) return e;
  return target_.DeleteValue(key, name);
}

LONG FaultyRegistry::DeleteKey(HKEY key, LPCSTR subKey) {
  if (LONG e = Injected("RegDeleteKeyA")) return e;
  return target_.DeleteKey(key, subKey);
}

LONG FaultyRegistry::CloseKey(HKEY key) {
  if (LONG e = Injected("RegCloseKey")) return e;
  LONG rc = target_.CloseKey(key);
  if (rc == ERROR_SUCCESS) names_.erase(key);
  return rc;
}

}  // namespace nt
