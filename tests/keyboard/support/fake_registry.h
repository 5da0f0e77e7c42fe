// A registry in memory for the keyboard driver's tests: enough of the
// Registry service to register layouts and Preload values.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "nt/registry.h"

namespace testing_support {

class FakeRegistry : public nt::Registry {
 public:
  // Sets a REG_SZ value (stored without a terminating zero), making the key
  // and its parents. `path` starts with "HKLM\" or "HKCU\".
  void SetText(const std::string& path, const std::string& name, const std::string& text);
  void RemoveKey(const std::string& path);
  // Registers a layout under the Keyboard Layouts key.
  void RegisterLayout(const std::string& name, const std::string& file);
  // Sets the Preload values "1", "2", ... to `names` in order.
  void SetPreload(const std::vector<std::string>& names);
  int openCalls() const { return openCalls_; }

  LONG OpenKey(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result) override;
  LONG CreateKey(HKEY key, LPCSTR subKey, LPCSTR keyClass, REGSAM access, PHKEY result,
                 LPDWORD disposition) override;
  LONG EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPSTR keyClass,
               LPDWORD classLength) override;
  LONG EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD type, LPBYTE data,
                 LPDWORD dataLength) override;
  LONG QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD dataLength) override;
  LONG SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD dataLength) override;
  LONG DeleteValue(HKEY key, LPCSTR name) override;
  LONG DeleteKey(HKEY key, LPCSTR subKey) override;
  LONG CloseKey(HKEY key) override;

 private:
  struct Key {
    std::string spelling;  // the last component as created
    std::vector<std::pair<std::string, std::string>> values;
  };
  std::string PathOf(HKEY key, LPCSTR subKey) const;
  HKEY NewHandle(const std::string& path);

  std::map<std::string, Key> keys_;  // by lower-case full path
  std::map<HKEY, std::string> handles_;
  uintptr_t nextHandle_ = 0x1000;
  int openCalls_ = 0;
};

}  // namespace testing_support
