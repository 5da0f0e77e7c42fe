// Choosing the layout key and Layout Id of a keyboard from the subkeys of the
// Keyboard Layouts key, which this only reads.
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "installer/dialog/install_dlg.h"
#include "installer/platform/registry_text.h"
#include "installer/platform/system_error.h"
#include "installer/registration/layout_numbers.h"
#include "installer/registration/registry_paths.h"

namespace {

// What the scan learnt of one subkey.
struct Subkey {
  std::string name;
  bool numbered = false;  // the name begins with a layout number
  uint32_t number = 0;
  bool read = false;  // its values have been read
  bool has_layout_id = false;
  uint32_t layout_id = 0;
  bool names_file = false;  // its "Layout File" is the file being installed
};

class Scan {
 public:
  Scan(CWnd& owner, const std::string& layoutFileName)
      : owner_(owner), file_name_(layoutFileName) {}

  // Reads the "Layout Id" and "Layout File" values of `subkey`; false after a
  // reported failure.
  bool Read(Subkey& subkey) {
    const std::string path = std::string(kKeyboardLayoutsPath) + "\\" + subkey.name;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
      ReportSystemError(owner_, MB_OK | MB_ICONEXCLAMATION);
      return false;
    }
    for (DWORD index = 0;; ++index) {
      std::string name, data;
      LONG result = EnumValueText(key, index, &name, &data);
      if (result == ERROR_NO_MORE_ITEMS) break;
      if (result != ERROR_SUCCESS) {
        ReportSystemError(owner_, MB_OK | MB_ICONEXCLAMATION);
        RegCloseKey(key);
        return false;
      }
      if (name == "Layout Id") {
        subkey.has_layout_id = ParseLayoutNumber(data, &subkey.layout_id);
      } else if (name == "Layout File" && data == file_name_) {
        subkey.names_file = true;
      }
    }
    RegCloseKey(key);
    subkey.read = true;
    return true;
  }

 private:
  CWnd& owner_;
  const std::string& file_name_;
};

std::string Hex(uint32_t value, const char* format) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

BOOL CInstallDlg::AllocateLayoutKey(CString& key, CString& layoutId, CString layoutFileName) {
  uint32_t catalogue_number = 0;
  if (!ParseCatalogueKey(key.str(), &catalogue_number)) {
    SetLastError(ERROR_INVALID_DATA);
    ReportSystemError(*this, MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  const uint32_t language = catalogue_number & 0xFFFF;

  HKEY root;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, nullptr, 0, KEY_ALL_ACCESS, &root) != ERROR_SUCCESS) {
    ReportSystemError(*this, MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  RegCloseKey(root);
  HKEY layouts;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyboardLayoutsPath, 0, KEY_ALL_ACCESS, &layouts) !=
      ERROR_SUCCESS) {
    MessageBox("RegOpenKeyEx Error",
               "RegOpenKeyEx on HKLM\\CurrentControlSet\\Control\\Keyboard Layouts",
               MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }

  // Subkeys of the language are always read; those of other languages only
  // until a match is found, for their Layout Ids.
  Scan scan(*this, layoutFileName.str());
  std::vector<Subkey> subkeys;
  bool matched = false;
  for (DWORD index = 0;; ++index) {
    Subkey subkey;
    LONG result = EnumSubkeyName(layouts, index, &subkey.name);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS) {
      // A subkey that cannot be listed could hold the key or Layout Id chosen next.
      ReportSystemError(*this, MB_OK | MB_ICONEXCLAMATION);
      RegCloseKey(layouts);
      return FALSE;
    }
    subkey.numbered = ParseLayoutNumber(subkey.name, &subkey.number);
    const bool of_language = subkey.numbered && (subkey.number & 0xFFFF) == language;
    if ((of_language || !matched) && !scan.Read(subkey)) {
      RegCloseKey(layouts);
      return FALSE;
    }
    matched = matched || (of_language && subkey.names_file);
    subkeys.push_back(std::move(subkey));
  }
  RegCloseKey(layouts);
  size_t match_index = subkeys.size();
  for (size_t i = 0; i < subkeys.size(); ++i) {
    const Subkey& s = subkeys[i];
    if (s.numbered && (s.number & 0xFFFF) == language && s.names_file) {
      match_index = i;
      break;
    }
  }

  uint32_t variant = 0;
  uint32_t next_layout_id = 0;
  bool need_new_layout_id = true;
  if (match_index < subkeys.size()) {
    // A reinstall: the registration of the earlier install, whatever the
    // order of the subkeys around it.
    const Subkey& found = subkeys[match_index];
    variant = found.number >> 16;
    if (found.has_layout_id) {
      next_layout_id = found.layout_id;
      need_new_layout_id = false;
    }
  } else {
    // The first variant number of the language that no subkey uses.
    std::set<uint32_t> used;
    for (const Subkey& s : subkeys) {
      if (s.numbered && (s.number & 0xFFFF) == language) used.insert(s.number >> 16);
    }
    while (used.count(variant) != 0) ++variant;
    if (variant > 0xFFFF) {
      MessageBox("Every variant number of this language is in use.", "Keyboard Layouts",
                 MB_OK | MB_ICONEXCLAMATION);
      return FALSE;
    }
  }

  if (need_new_layout_id) {
    // One more than the largest Layout Id of every subkey.
    bool any = false;
    uint32_t largest = 0;
    for (Subkey& s : subkeys) {
      if (!s.read && !scan.Read(s)) return FALSE;
      if (s.has_layout_id && (!any || s.layout_id > largest)) largest = s.layout_id;
      any = any || s.has_layout_id;
    }
    if (any && largest == 0xFFFFFFFFu) {
      MessageBox("No Layout Id is left for a new layout: ffffffff is in use.", "Keyboard Layouts",
                 MB_OK | MB_ICONEXCLAMATION);
      return FALSE;
    }
    next_layout_id = any ? largest + 1 : 0;
  }

  key = Hex(variant << 16 | language, "%08x").c_str();
  layoutId = Hex(next_layout_id, "%x").c_str();
  return TRUE;
}
