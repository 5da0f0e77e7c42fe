// The registry: the service behind the Reg* calls of nt/win32.h.
//
// A backend keeps its own handles. Keys are case-insensitive and
// case-preserving; subkeys enumerate in case-insensitive name order, values
// in creation order. Every method returns ERROR_SUCCESS or the platform's
// error code; the Reg* calls also set the thread's last error on failure.
#pragma once

#include <memory>
#include <string>

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
};

}  // namespace nt
