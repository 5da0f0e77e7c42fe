// The Win32-shaped registry calls, on the current Registry service. A failing
// call also leaves its result as the thread's last error.
#include "nt/registry.h"
#include "nt/system.h"

namespace {

LONG Result(LONG code) {
  if (code != ERROR_SUCCESS) SetLastError(static_cast<DWORD>(code));
  return code;
}

}  // namespace

LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD /*options*/, REGSAM desired,
                          PHKEY result) {
  return Result(nt::CurrentRegistry().OpenKey(key, subKey, desired, result));
}

LONG WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass,
                            DWORD options, REGSAM desired, LPSECURITY_ATTRIBUTES /*security*/,
                            PHKEY result, LPDWORD disposition) {
  if (reserved != 0 || (options & ~static_cast<DWORD>(REG_OPTION_VOLATILE)) != 0) {
    return Result(ERROR_INVALID_PARAMETER);
  }
  return Result(
      nt::CurrentRegistry().CreateKey(key, subKey, keyClass, desired, result, disposition));
}

LONG WINAPI RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength,
                          LPDWORD reserved, LPSTR keyClass, LPDWORD classLength,
                          PFILETIME /*lastWriteTime*/) {
  if (reserved != nullptr) return Result(ERROR_INVALID_PARAMETER);
  return Result(
      nt::CurrentRegistry().EnumKey(key, index, name, nameLength, keyClass, classLength));
}

LONG WINAPI RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength,
                          LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataLength) {
  if (reserved != nullptr) return Result(ERROR_INVALID_PARAMETER);
  return Result(
      nt::CurrentRegistry().EnumValue(key, index, name, nameLength, type, data, dataLength));
}

LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type,
                             LPBYTE data, LPDWORD dataLength) {
  if (reserved != nullptr) return Result(ERROR_INVALID_PARAMETER);
  return Result(nt::CurrentRegistry().QueryValue(key, name, type, data, dataLength));
}

LONG WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                           const BYTE* data, DWORD dataLength) {
  if (reserved != 0) return Result(ERROR_INVALID_PARAMETER);
  return Result(nt::CurrentRegistry().SetValue(key, name, type, data, dataLength));
}

LONG WINAPI RegDeleteValueA(HKEY key, LPCSTR name) {
  return Result(nt::CurrentRegistry().DeleteValue(key, name));
}

LONG WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey) {
  return Result(nt::CurrentRegistry().DeleteKey(key, subKey));
}

LONG WINAPI RegCloseKey(HKEY key) { return Result(nt::CurrentRegistry().CloseKey(key)); }
