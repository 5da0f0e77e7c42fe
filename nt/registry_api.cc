// The Win32-shaped registry calls, on the current Registry service. A failing
// call also sets the thread's last error to its result.
#include "nt/errors.h"
#include "nt/registry.h"
#include "nt/system.h"

namespace {

LONG Result(LONG result) {
  if (result != ERROR_SUCCESS) SetLastError(static_cast<DWORD>(result));
  return result;
}

}  // namespace

LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM desired, PHKEY result) {
  return Result(nt::CurrentRegistry().OpenKey(key, subKey, desired, result));
}

LONG WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR keyClass, DWORD, REGSAM desired,
                            LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
  return Result(nt::CurrentRegistry().CreateKey(key, subKey, keyClass, desired, result, disposition));
}

LONG WINAPI RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD,
                          LPSTR keyClass, LPDWORD classLength, PFILETIME) {
  return Result(nt::CurrentRegistry().EnumKey(key, index, name, nameLength, keyClass, classLength));
}

LONG WINAPI RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD,
                          LPDWORD type, LPBYTE data, LPDWORD dataLength) {
  return Result(nt::CurrentRegistry().EnumValue(key, index, name, nameLength, type, data, dataLength));
}

LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data,
                             LPDWORD dataLength) {
  return Result(nt::CurrentRegistry().QueryValue(key, name, type, data, dataLength));
}

LONG WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD dataLength) {
  return Result(nt::CurrentRegistry().SetValue(key, name, type, data, dataLength));
}

LONG WINAPI RegDeleteValueA(HKEY key, LPCSTR name) {
  return Result(nt::CurrentRegistry().DeleteValue(key, name));
}

LONG WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey) {
  return Result(nt::CurrentRegistry().DeleteKey(key, subKey));
}

LONG WINAPI RegCloseKey(HKEY key) { return Result(nt::CurrentRegistry().CloseKey(key)); }
