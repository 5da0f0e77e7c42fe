// The registry: the service behind the Reg* calls of nt/win32.h.
//
// A backend keeps its own handles. Keys are case-insensitive and
// case-preserving; subkeys enumerate in case-insensitive name order, values
// in creation order. Every method returns ERROR_SUCCESS or the platform's
// error code; the Reg* calls also set the thread's last error on failure.
//
// Backends: MakeMemoryRegistry (tests) and OpenHiveRegistry (the station's
// SQLite hives). Both serve HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER only.
// nt/registry_faults.h wraps either to make chosen calls fail.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "nt/win32.h"

namespace nt {

class Registry {
 public:
  virtual ~Registry() = default;
  virtual LONG OpenKey(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result) = 0;
  virtual LONG CreateKey(HKEY key, LPCSTR subKey, LPCSTR keyClass, REGSAM access, PHKEY result,
                         LPDWORD disposition) = 0;
  virtual LONG EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPSTR keyClass,
                       LPDWORD classLength) = 0;
  virtual LONG EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD type,
                         LPBYTE data, LPDWORD dataLength) = 0;
  virtual LONG QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data,
                          LPDWORD dataLength) = 0;
  virtual LONG SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data,
                        DWORD dataLength) = 0;
  virtual LONG DeleteValue(HKEY key, LPCSTR name) = 0;
  virtual LONG DeleteKey(HKEY key, LPCSTR subKey) = 0;
  virtual LONG CloseKey(HKEY key) = 0;

  // Runs `body` as one transaction on the hive of `root` (HKEY_LOCAL_MACHINE
  // or HKEY_CURRENT_USER): when it returns anything but ERROR_SUCCESS, none of
  // the changes it made to that hive remain. Returns body's result, or the
  // error that kept the transaction from starting or committing. Not a Win32
  // call: the station tool imports .reg files with it.
  // This default gives no atomicity; the backends below override it.
  virtual LONG Transact(HKEY root, const std::function<LONG()>& body);
};

// Which hives a backend may write; a hive it may not write still reads.
struct HiveOptions {
  bool machineReadOnly = false;
  bool userReadOnly = false;
};

// Both hives in memory, empty.
std::unique_ptr<Registry> MakeMemoryRegistry(const HiveOptions& options = {});

// The SQLite hive files of a station (nt/station.h). Both must exist (see
// nt/hive_file.h). A hive the process may not write as a file opens read-only.
// Null with `error` set when a hive cannot be opened.
std::unique_ptr<Registry> OpenHiveRegistry(const std::string& machineDb,
                                           const std::string& userDb, std::string* error,
                                           const HiveOptions& options = {});

// Key names as people write them: "HKEY_LOCAL_MACHINE\a\b" or "HKLM\a\b",
// "HKEY_CURRENT_USER\..." or "HKCU\..." (root names in any letter case).
// False when the root is not one of these.
bool ParseKeyName(std::string_view text, HKEY* root, std::string* path);

// "HKEY_LOCAL_MACHINE" or "HKEY_CURRENT_USER"; empty for any other handle.
std::string RootName(HKEY root);

// `path` under `root` spelt as the registry keeps its names.
LONG StoredKeyPath(Registry& registry, HKEY root, const std::string& path, std::string* stored);

// Deletes `path` under `root` with all its subkeys and values, in one
// transaction. ERROR_FILE_NOT_FOUND when it does not exist.
LONG DeleteKeyTree(Registry& registry, HKEY root, const std::string& path);

}  // namespace nt
