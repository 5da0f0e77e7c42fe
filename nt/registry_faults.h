// Registries for tests that need the registry to fail.
//
// RegistryWrapper forwards every call to another Registry; a test derives from
// it and overrides only what it breaks. FaultyRegistry fails chosen calls:
//
//   auto store = nt::MakeMemoryRegistry();
//   nt::FaultyRegistry faulty(*store);
//   faulty.FailNamed("RegSetValueExA", ERROR_ACCESS_DENIED, 2);   // the 2nd write
//   faulty.FailCall(7, ERROR_REGISTRY_IO_FAILED);                 // the 7th call
//   faulty.DenyFullAccess("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts");
//   nt::ScopedServices scope({.registry = &faulty});
//
// A failed call returns its code without reaching the wrapped registry; the
// Reg* calls then set the thread's last error to it as for any failure.
#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "nt/registry.h"

namespace nt {

class RegistryWrapper : public Registry {
 public:
  explicit RegistryWrapper(Registry& target) : target_(target) {}

  LONG OpenKey(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result) override {
    return target_.OpenKey(key, subKey, access, result);
  }
  LONG CreateKey(HKEY key, LPCSTR subKey, LPCSTR keyClass, REGSAM access, PHKEY result,
                 LPDWORD disposition) override {
    return target_.CreateKey(key, subKey, keyClass, access, result, disposition);
  }
  LONG EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPSTR keyClass,
               LPDWORD classLength) override {
    return target_.EnumKey(key, index, name, nameLength, keyClass, classLength);
  }
  LONG EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD type,
                 LPBYTE data, LPDWORD dataLength) override {
    return target_.EnumValue(key, index, name, nameLength, type, data, dataLength);
  }
  LONG QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data,
                  LPDWORD dataLength) override {
    return target_.QueryValue(key, name, type, data, dataLength);
  }
  LONG SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data,
                DWORD dataLength) override {
    return target_.SetValue(key, name, type, data, dataLength);
  }
  LONG DeleteValue(HKEY key, LPCSTR name) override { return target_.DeleteValue(key, name); }
  LONG DeleteKey(HKEY key, LPCSTR subKey) override { return target_.DeleteKey(key, subKey); }
  LONG CloseKey(HKEY key) override { return target_.CloseKey(key); }
  LONG Transact(HKEY root, const std::function<LONG()>& body) override {
    return target_.Transact(root, body);
  }

 protected:
  Registry& target_;
};

class FaultyRegistry : public RegistryWrapper {
 public:
  explicit FaultyRegistry(Registry& target) : RegistryWrapper(target) {}

  // The `n`th call through this wrapper (from 1, every Reg* call counted)
  // fails with `code`.
  void FailCall(int n, LONG code);
  // Calls of `call` ("RegOpenKeyExA", "RegSetValueExA", …) fail with `code`:
  // every one, or only the `occurrence`th (from 1).
  void FailNamed(const std::string& call, LONG code, int occurrence = 0);
  // Opening or creating `keyName` ("HKLM\\…", "HKEY_CURRENT_USER\\…" or a
  // root alone) with any write access fails with ERROR_ACCESS_DENIED; reading
  // it still works.
  void DenyFullAccess(const std::string& keyName);
  // Drops every rule; the calls made so far stay counted.
  void ClearFaults();

  // The calls made so far, in order, by their Win32 names.
  const std::vector<std::string>& calls() const { return calls_; }
  // The full name of the key behind a handle opened through this wrapper
  // ("HKEY_LOCAL_MACHINE\\SYSTEM\\…"); empty when unknown.
  std::string KeyNameOf(HKEY key) const;

  LONG OpenKey(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result) override;
  LONG CreateKey(HKEY key, LPCSTR subKey, LPCSTR keyClass, REGSAM access, PHKEY result,
                 LPDWORD disposition) override;
  LONG EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPSTR keyClass,
               LPDWORD classLength) override;
  LONG EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD type,
                 LPBYTE data, LPDWORD dataLength) override;
  LONG QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data,
                  LPDWORD dataLength) override;
  LONG SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data,
                DWORD dataLength) override;
  LONG DeleteValue(HKEY key, LPCSTR name) override;
  LONG DeleteKey(HKEY key, LPCSTR subKey) override;
  LONG CloseKey(HKEY key) override;

 private:
  struct NamedFault {
    std::string call;
    LONG code;
    int occurrence;
  };

  // Counts the call and gives the code it must fail with, or ERROR_SUCCESS.
  LONG Injected(const char* call);
  // The fault for opening `subKey` below `key` with `access`, if denied.
  LONG Denied(HKEY key, LPCSTR subKey, REGSAM access) const;
  std::string ChildName(HKEY key, LPCSTR subKey) const;

  std::vector<std::string> calls_;
  std::map<std::string, int> counts_;
  std::map<int, LONG> numbered_;
  std::vector<NamedFault> named_;
  std::vector<std::string> denied_;  // folded full key names
  std::unordered_map<HKEY, std::string> names_;
};

}  // namespace nt
