// Recording an installed layout: the user's Preload value, the
// last-installation value and the layout's subkey.
#include <string>

#include "installer/dialog/install_dlg.h"
#include "installer/platform/registry_text.h"
#include "installer/platform/system_error.h"
#include "installer/registration/layout_numbers.h"
#include "installer/registration/registry_paths.h"

namespace {

constexpr UINT kOpenFailed = MB_OK | MB_ICONEXCLAMATION;   // 48
constexpr UINT kWriteFailed = MB_OK | MB_ICONINFORMATION;  // 64

// Closes a registry key when it goes out of scope.
class KeyCloser {
 public:
  explicit KeyCloser(HKEY key) : key_(key) {}
  ~KeyCloser() { RegCloseKey(key_); }
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;

 private:
  HKEY key_;
};

}  // namespace

BOOL CInstallDlg::RegisterLayout(CString layoutKey, CString layoutId, CString layoutFileName,
                                 CString layoutText) {
  HKEY root;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, nullptr, 0, KEY_ALL_ACCESS, &root) != ERROR_SUCCESS) {
    ReportSystemError(*this, kOpenFailed);
    return FALSE;
  }
  RegCloseKey(root);
  HKEY preload;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kPreloadPath, 0, KEY_ALL_ACCESS, &preload) !=
      ERROR_SUCCESS) {
    ReportSystemError(*this, kOpenFailed);
    return FALSE;
  }
  {
    KeyCloser close_preload(preload);
    // An already preloaded layout keeps its own value; any other goes after
    // the highest position, so no value that holds another layout is replaced.
    std::string position;
    uint64_t highest = 0;
    for (DWORD index = 0;; ++index) {
      std::string name, data;
      LONG result = EnumValueText(preload, index, &name, &data);
      if (result == ERROR_NO_MORE_ITEMS) break;
      if (result != ERROR_SUCCESS) {
        ReportSystemError(*this, kOpenFailed);
        return FALSE;
      }
      if (data == layoutKey.str()) {
        position = name;
        break;
      }
      uint64_t number;
      if (ParsePreloadPosition(name, &number) && number > highest) highest = number;
    }
    if (position.empty()) position = std::to_string(highest + 1);
    if (SetValueText(preload, position.c_str(), layoutKey.str()) != ERROR_SUCCESS) {
      ReportSystemError(*this, kWriteFailed);
      return FALSE;
    }
  }

  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, nullptr, 0, KEY_ALL_ACCESS, &root) != ERROR_SUCCESS) {
    ReportSystemError(*this, kOpenFailed);
    return FALSE;
  }
  RegCloseKey(root);
  HKEY layouts;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyboardLayoutsPathForWriting, 0, KEY_ALL_ACCESS,
                    &layouts) != ERROR_SUCCESS) {
    ReportSystemError(*this, kOpenFailed);
    return FALSE;
  }
  KeyCloser close_layouts(layouts);

  // The key holds one value, the last installation; more than one means
  // someone else keeps values there, and replacing one could lose theirs.
  DWORD count = 0;
  std::string last_installation;
  for (DWORD index = 0;; ++index) {
    std::string name, data;
    LONG result = EnumValueText(layouts, index, &name, &data);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS) {
      ReportSystemError(*this, kOpenFailed);
      return FALSE;
    }
    if (count++ == 0) last_installation = name;
  }
  if (count > 1) {
    MessageBox(
        "HKLM\\CurrentControlSet\\Control\\Keyboard Layouts has more than one value installation "
        "cannot safely proceed!",
        nullptr, MB_OK);
    return FALSE;
  }
  if (count == 1 && RegDeleteValueA(layouts, last_installation.c_str()) != ERROR_SUCCESS) {
    ReportSystemError(*this, kWriteFailed);
    return FALSE;
  }
  if (SetValueText(layouts, layoutKey, layoutFileName.str()) != ERROR_SUCCESS) {
    ReportSystemError(*this, kWriteFailed);
    return FALSE;
  }

  HKEY layout;
  DWORD disposition;
  char key_class[] = "REG_SZ";
  if (RegCreateKeyExA(layouts, layoutKey, 0, key_class, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &layout, &disposition) != ERROR_SUCCESS) {
    ReportSystemError(*this, kWriteFailed);
    return FALSE;
  }
  KeyCloser close_layout(layout);
  const std::pair<const char*, const CString*> values[] = {
      {"Layout File", &layoutFileName}, {"Layout Text", &layoutText}, {"Layout Id", &layoutId}};
  for (const auto& [name, text] : values) {
    if (SetValueText(layout, name, text->str()) != ERROR_SUCCESS) {
      ReportSystemError(*this, kWriteFailed);
      return FALSE;
    }
  }
  return TRUE;
}
