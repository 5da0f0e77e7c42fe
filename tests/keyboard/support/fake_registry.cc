#include "tests/keyboard/support/fake_registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace testing_support {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string Parent(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

}  // namespace

void FakeRegistry::SetText(const std::string& path, const std::string& name, const std::string& text) {
  for (std::string p = path; !p.empty(); p = Parent(p)) {
    Key& key = keys_[Lower(p)];
    if (key.spelling.empty()) key.spelling = p.substr(p.rfind('\\') + 1);
  }
  auto& values = keys_[Lower(path)].values;
  auto it = std::find_if(values.begin(), values.end(), [&](const auto& v) { return v.first == name; });
  if (it == values.end()) {
    values.emplace_back(name, text);
  } else {
    it->second = text;
  }
}

void FakeRegistry::RemoveKey(const std::string& path) { keys_.erase(Lower(path)); }

void FakeRegistry::RegisterLayout(const std::string& name, const std::string& file) {
  SetText("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\" + name, "Layout File", file);
}

void FakeRegistry::SetPreload(const std::vector<std::string>& names) {
  keys_.erase(Lower("HKCU\\Keyboard Layout\\Preload"));
  for (size_t i = 0; i < names.size(); ++i) {
    SetText("HKCU\\Keyboard Layout\\Preload", std::to_string(i + 1), names[i]);
  }
}

std::string FakeRegistry::PathOf(HKEY key, LPCSTR subKey) const {
  std::string base;
  if (key == HKEY_LOCAL_MACHINE) {
    base = "HKLM";
  } else if (key == HKEY_CURRENT_USER) {
    base = "HKCU";
  } else if (auto it = handles_.find(key); it != handles_.end()) {
    base = it->second;
  } else {
    return "";
  }
  if (subKey != nullptr && *subKey != '\0') base += std::string("\\") + subKey;
  return base;
}

HKEY FakeRegistry::NewHandle(const std::string& path) {
  HKEY handle = reinterpret_cast<HKEY>(nextHandle_++);
  handles_[handle] = path;
  return handle;
}

LONG FakeRegistry::OpenKey(HKEY key, LPCSTR subKey, REGSAM, PHKEY result) {
  ++openCalls_;
  const std::string path = PathOf(key, subKey);
  if (path.empty()) return ERROR_INVALID_HANDLE;
  if (path != "HKLM" && path != "HKCU" && keys_.count(Lower(path)) == 0) return ERROR_FILE_NOT_FOUND;
  *result = NewHandle(path);
  return ERROR_SUCCESS;
}

LONG FakeRegistry::CreateKey(HKEY key, LPCSTR subKey, LPCSTR, REGSAM, PHKEY result, LPDWORD disposition) {
  const std::string path = PathOf(key, subKey);
  if (path.empty()) return ERROR_INVALID_HANDLE;
  const bool existed = keys_.count(Lower(path)) != 0;
  if (!existed) keys_[Lower(path)].spelling = path.substr(path.rfind('\\') + 1);
  if (disposition != nullptr) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  *result = NewHandle(path);
  return ERROR_SUCCESS;
}

LONG FakeRegistry::EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPSTR, LPDWORD) {
  const std::string prefix = Lower(PathOf(key, nullptr)) + "\\";
  DWORD i = 0;
  for (const auto& [path, entry] : keys_) {
    if (path.compare(0, prefix.size(), prefix) != 0 || path.find('\\', prefix.size()) != std::string::npos) {
      continue;
    }
    if (i++ != index) continue;
    if (entry.spelling.size() + 1 > *nameLength) return ERROR_MORE_DATA;
    std::memcpy(name, entry.spelling.c_str(), entry.spelling.size() + 1);
    *nameLength = static_cast<DWORD>(entry.spelling.size());
    return ERROR_SUCCESS;
  }
  return ERROR_NO_MORE_ITEMS;
}

LONG FakeRegistry::EnumValue(HKEY, DWORD, LPSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) {
  return ERROR_NOT_SUPPORTED;
}

LONG FakeRegistry::QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD dataLength) {
  auto it = keys_.find(Lower(PathOf(key, nullptr)));
  if (it == keys_.end()) return ERROR_FILE_NOT_FOUND;
  for (const auto& [valueName, text] : it->second.values) {
    if (valueName != name) continue;
    if (type != nullptr) *type = REG_SZ;
    if (data != nullptr && *dataLength < text.size()) {
      *dataLength = static_cast<DWORD>(text.size());
      return ERROR_MORE_DATA;
    }
    if (data != nullptr) std::memcpy(data, text.data(), text.size());
    *dataLength = static_cast<DWORD>(text.size());
    return ERROR_SUCCESS;
  }
  return ERROR_FILE_NOT_FOUND;
}

LONG FakeRegistry::SetValue(HKEY key, LPCSTR name, DWORD, const BYTE* data, DWORD dataLength) {
  const std::string path = PathOf(key, nullptr);
  if (path.empty()) return ERROR_INVALID_HANDLE;
  SetText(path, name, std::string(reinterpret_cast<const char*>(data), dataLength));
  return ERROR_SUCCESS;
}

LONG FakeRegistry::DeleteValue(HKEY, LPCSTR) { return ERROR_NOT_SUPPORTED; }
LONG FakeRegistry::DeleteKey(HKEY, LPCSTR) { return ERROR_NOT_SUPPORTED; }

LONG FakeRegistry::CloseKey(HKEY key) {
  handles_.erase(key);
  return ERROR_SUCCESS;
}

}  // namespace testing_support
