// The user's active keyboard layout and Preload value "1".
#include <algorithm>
#include <cstring>
#include <string>

#include "installer/dialog/install_dlg.h"
#include "installer/platform/system_error.h"
#include "installer/registration/registry_paths.h"

namespace {

constexpr DWORD kLayoutNameSize = 12;
constexpr int kSavedDefaultLayoutSize = 20;

}  // namespace

void CInstallDlg::ReleaseActiveLayout(CString layoutKey) {
  char active[kLayoutNameSize] = {};
  if (!GetKeyboardLayoutNameA(active)) return;
  if (layoutKey != CString(active)) return;

  HKEY preload;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kPreloadPath, 0, KEY_ALL_ACCESS, &preload) !=
      ERROR_SUCCESS) {
    ReportSystemError(*this, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  BYTE data[kLayoutNameSize];
  DWORD size = sizeof data;
  const LONG result = RegQueryValueExA(preload, "1", nullptr, nullptr, data, &size);
  RegCloseKey(preload);
  // Without a readable value "1" there is no layout to fall back on: a
  // missing value, or one longer than the buffer, leaves the layout active.
  if (result != ERROR_SUCCESS) return;
  const size_t length = strnlen(reinterpret_cast<const char*>(data), std::min(size, kLayoutNameSize));
  const std::string fallback(reinterpret_cast<const char*>(data), length);
  if (fallback.empty()) return;
  LoadKeyboardLayoutA(fallback.c_str(), KLF_ACTIVATE | KLF_UNLOADPREVIOUS);
}

BOOL CInstallDlg::ActivateLayout(CString layoutKey) {
  LoadKeyboardLayoutA(layoutKey, KLF_ACTIVATE | KLF_UNLOADPREVIOUS | KLF_REORDER | KLF_REPLACELANG);
  return TRUE;
}

BOOL CInstallDlg::RewriteDefaultPreload() {
  // The saved default is Preload value "1" as the dialog found it; without
  // one there is nothing to restore, and writing an empty value would leave
  // the user without a first layout.
  if (m_strSavedDefaultLayout.IsEmpty()) return FALSE;
  char layout[kSavedDefaultLayoutSize] = {};
  std::strncpy(layout, m_strSavedDefaultLayout, kSavedDefaultLayoutSize - 1);

  HKEY root;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, nullptr, 0, KEY_ALL_ACCESS, &root) != ERROR_SUCCESS) {
    MessageBox("RegOpenKeyEx Error", "RegOpenKeyEx on HCU", MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  RegCloseKey(root);
  HKEY preload;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kPreloadPath, 0, KEY_ALL_ACCESS, &preload) !=
      ERROR_SUCCESS) {
    MessageBox("RegOpenKeyEx Error", "RegOpenKeyEx on HCU\\Keyboard Layout\\Preload",
               MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  const LONG result = RegSetValueExA(preload, "1", 0, REG_SZ, reinterpret_cast<BYTE*>(layout),
                                     static_cast<DWORD>(std::strlen(layout)));
  RegCloseKey(preload);
  if (result != ERROR_SUCCESS) {
    MessageBox("RegSetValueEx Error", "RegSetValueEx on HCU\\Keyboard Layout\\Preload",
               MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  return TRUE;
}
