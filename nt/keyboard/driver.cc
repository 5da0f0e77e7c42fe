#include "nt/keyboard/driver.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "nt/files.h"
#include "nt/keyboard/library.h"

namespace nt::kbd {
namespace {

constexpr char kLayoutsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";
constexpr char kPreloadKey[] = "Keyboard Layout\\Preload";

bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

uint32_t NameValue(const std::string& name) { return static_cast<uint32_t>(std::strtoul(name.c_str(), nullptr, 16)); }

std::vector<std::string>::iterator Find(std::vector<std::string>& names, const std::string& name) {
  return std::find_if(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, name); });
}

class Key {
 public:
  Key() = default;
  ~Key() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  LONG Open(HKEY root, const std::string& path) { return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key_); }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// A string value, without the terminating zeros a writer may have stored.
LONG QueryText(HKEY key, const char* name, std::string* text) {
  char data[MAX_PATH + 1] = {};
  DWORD type = 0;
  DWORD size = MAX_PATH;
  if (LONG error = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size)) {
    return error;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
  *text = std::string(data, strnlen(data, std::min<DWORD>(size, MAX_PATH)));
  return ERROR_SUCCESS;
}

// The subkey of `parent` whose name equals `name` but for letter case.
std::string Spelling(const std::string& name) {
  Key layouts;
  if (layouts.Open(HKEY_LOCAL_MACHINE, kLayoutsKey) != ERROR_SUCCESS) return name;
  for (DWORD i = 0;; ++i) {
    char subkey[64];
    DWORD length = sizeof subkey;
    if (RegEnumKeyExA(layouts.get(), i, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      return name;
    }
    if (SameName(subkey, name)) return subkey;
  }
}

}  // namespace

bool IsLayoutName(const std::string& name) {
  return name.size() == 8 &&
         std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isxdigit(c) != 0; }) &&
         (NameValue(name) & 0xFFFF) != 0;
}

HKL LayoutHandle(const std::string& name) {
  const uint32_t value = NameValue(name);
  const uint32_t language = value & 0xFFFF;
  const uint32_t handle = (value >> 16) != 0 ? value : (language << 16) | language;
  return reinterpret_cast<HKL>(static_cast<uintptr_t>(handle));
}

void ApplyLoadFlags(KeyboardSession& session, const std::string& name, UINT flags) {
  std::vector<std::string>& layouts = session.layouts;
  const std::string previous = session.active;
  auto at = Find(layouts, name);
  if ((flags & KLF_REPLACELANG) != 0) {
    const uint32_t language = NameValue(name) & 0xFFFF;
    auto same = std::find_if(layouts.begin(), layouts.end(), [&](const std::string& n) {
      return !SameName(n, name) && (NameValue(n) & 0xFFFF) == language;
    });
    if (same != layouts.end()) {
      if (SameName(session.active, *same)) session.active = name;
      if (at != layouts.end()) {
        layouts.erase(same);
      } else {
        *same = name;
      }
      at = Find(layouts, name);
    }
  }
  if (at == layouts.end()) {
    layouts.push_back(name);
    at = layouts.end() - 1;
  } else {
    *at = name;  // the spelling of the registry
  }
  if (SameName(session.active, name)) session.active = name;
  if ((flags & KLF_REORDER) != 0) {
    std::rotate(layouts.begin(), at, at + 1);
    session.active = name;
  }
  if ((flags & KLF_ACTIVATE) != 0) {
    session.active = name;
    if ((flags & KLF_UNLOADPREVIOUS) != 0 && !previous.empty() && !SameName(previous, name)) {
      if (auto old = Find(layouts, previous); old != layouts.end()) layouts.erase(old);
    }
  }
  if (session.active.empty() || Find(layouts, session.active) == layouts.end()) session.active = name;
}

DWORD KeyboardDriver::LoadRegistered(const std::string& name, Layout* layout, std::string* spelling) {
  problem_.clear();
  if (!IsLayoutName(name)) {
    problem_ = "\"" + name + "\" is no layout name";
    return ERROR_INVALID_PARAMETER;
  }
  Key key;
  std::string file;
  LONG error = key.Open(HKEY_LOCAL_MACHINE, std::string(kLayoutsKey) + "\\" + name);
  if (error == ERROR_SUCCESS) error = QueryText(key.get(), "Layout File", &file);
  if (error != ERROR_SUCCESS) {
    problem_ = "layout " + name + " is not registered with a layout file";
    return static_cast<DWORD>(error);
  }
  if (!IsPlainFileName(file)) {
    problem_ = "the layout file \"" + file + "\" of layout " + name + " is not a plain file name";
    return ERROR_INVALID_NAME;
  }
  char directory[MAX_PATH];
  const UINT length = GetSystemDirectoryA(directory, sizeof directory);
  if (length == 0 || length >= sizeof directory) {
    problem_ = "the system directory is not known";
    return length == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
  }
  if (DWORD loaded = LoadLayoutLibrary(ResolvePath(std::string(directory) + "\\" + file), layout, &problem_)) {
    problem_ = file + ": " + problem_;
    return loaded;
  }
  const bool letters = std::any_of(name.begin(), name.end(), [](unsigned char c) { return std::isalpha(c); });
  *spelling = letters ? Spelling(name) : name;
  return ERROR_SUCCESS;
}

void KeyboardDriver::Establish(KeyboardSession& session) {
  Key preload;
  if (preload.Open(HKEY_CURRENT_USER, kPreloadKey) != ERROR_SUCCESS) return;
  std::string first;
  for (int i = 1;; ++i) {
    std::string name;
    if (QueryText(preload.get(), std::to_string(i).c_str(), &name) != ERROR_SUCCESS) break;
    Layout layout;
    std::string spelling;
    if (LoadRegistered(name, &layout, &spelling) != ERROR_SUCCESS) continue;
    if (Find(session.layouts, spelling) != session.layouts.end()) continue;
    session.layouts.push_back(spelling);
    if (i == 1) first = spelling;
  }
  session.active = !first.empty() ? first : session.layouts.empty() ? "" : session.layouts.front();
}

DWORD KeyboardDriver::Load(const std::string& name, UINT flags, HKL* layout) {
  Layout loaded;
  std::string spelling;
  if (DWORD error = LoadRegistered(name, &loaded, &spelling)) return error;
  const std::string problem = problem_;
  const DWORD error = session_.Update([&](KeyboardSession& session, bool stored) {
    if (!stored) Establish(session);
    ApplyLoadFlags(session, spelling, flags);
    return static_cast<DWORD>(ERROR_SUCCESS);
  });
  problem_ = problem;
  if (error != ERROR_SUCCESS) return error;
  *layout = LayoutHandle(spelling);
  return ERROR_SUCCESS;
}

DWORD KeyboardDriver::Session(KeyboardSession* session) {
  bool stored = false;
  if (DWORD error = session_.Read(session, &stored)) return error;
  if (stored) return ERROR_SUCCESS;
  return session_.Update([&](KeyboardSession& current, bool storedNow) {
    if (!storedNow) Establish(current);
    *session = current;
    return static_cast<DWORD>(ERROR_SUCCESS);
  });
}

DWORD KeyboardDriver::ActiveName(std::string* name) {
  KeyboardSession session;
  if (DWORD error = Session(&session)) return error;
  if (session.active.empty()) return ERROR_INVALID_KEYBOARD_HANDLE;
  *name = session.active;
  return ERROR_SUCCESS;
}

}  // namespace nt::kbd
