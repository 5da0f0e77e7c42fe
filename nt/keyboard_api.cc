// The Win32-shaped keyboard-layout calls, on the current KeyboardLayouts service.
#include <algorithm>
#include <cstring>

#include "nt/keyboard.h"
#include "nt/system.h"

HKL WINAPI LoadKeyboardLayoutA(LPCSTR name, UINT flags) {
  if (name == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HKL layout = nullptr;
  if (DWORD error = nt::CurrentKeyboard().Load(name, flags, &layout)) {
    SetLastError(error);
    return nullptr;
  }
  return layout;
}

BOOL WINAPI GetKeyboardLayoutNameA(LPSTR name) {
  if (name == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string active;
  if (DWORD error = nt::CurrentKeyboard().ActiveName(&active)) {
    SetLastError(error);
    return FALSE;
  }
  // The caller's buffer holds KL_NAMELENGTH bytes.
  const size_t length = std::min<size_t>(active.size(), KL_NAMELENGTH - 1);
  std::memcpy(name, active.data(), length);
  name[length] = '\0';
  return TRUE;
}
