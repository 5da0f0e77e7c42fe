// Key names as people write them, and whole-subtree deletion.
#include <strings.h>

#include <string>
#include <vector>

#include "nt/hive_store.h"
#include "nt/registry.h"

namespace nt {

bool ParseKeyName(std::string_view text, HKEY* root, std::string* path) {
  const size_t slash = text.find('\\');
  const std::string head(text.substr(0, slash));
  if (strcasecmp(head.c_str(), "HKEY_LOCAL_MACHINE") == 0 || strcasecmp(head.c_str(), "HKLM") == 0) {
    *root = HKEY_LOCAL_MACHINE;
  } else if (strcasecmp(head.c_str(), "HKEY_CURRENT_USER") == 0 ||
             strcasecmp(head.c_str(), "HKCU") == 0) {
    *root = HKEY_CURRENT_USER;
  } else {
    return false;
  }
  *path = slash == std::string_view::npos ? "" : std::string(text.substr(slash + 1));
  while (!path->empty() && path->back() == '\\') path->pop_back();
  return true;
}

std::string RootName(HKEY root) {
  if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  return {};
}

namespace {

// Deletes every subkey below `key` (an open handle), deepest first.
LONG DeleteSubkeys(Registry& registry, HKEY key) {
  char name[256];
  for (;;) {
    DWORD length = sizeof name;
    // Index 0 each time: the key deleted last moved the rest up.
    LONG rc = registry.EnumKey(key, 0, name, &length, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return rc;
    HKEY child = nullptr;
    if (LONG e = registry.OpenKey(key, name, KEY_ALL_ACCESS, &child)) return e;
    rc = DeleteSubkeys(registry, child);
    registry.CloseKey(child);
    if (rc != ERROR_SUCCESS) return rc;
    if (LONG e = registry.DeleteKey(key, name)) return e;
  }
}

}  // namespace

LONG StoredKeyPath(Registry& registry, HKEY root, const std::string& path, std::string* stored) {
  stored->clear();
  HKEY key = nullptr;
  if (LONG e = registry.OpenKey(root, nullptr, KEY_READ, &key)) return e;
  size_t start = 0;
  LONG rc = ERROR_SUCCESS;
  while (rc == ERROR_SUCCESS && start < path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = FoldName(std::string_view(path).substr(start, end - start));
    start = end + 1;
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name;
      rc = registry.EnumKey(key, i, name, &length, nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) rc = ERROR_FILE_NOT_FOUND;
      if (rc != ERROR_SUCCESS) break;
      if (FoldName(std::string_view(name, length)) != part) continue;
      HKEY child = nullptr;
      rc = registry.OpenKey(key, name, KEY_READ, &child);
      registry.CloseKey(key);
      key = child;
      if (!stored->empty()) *stored += '\\';
      *stored += std::string(name, length);
      break;
    }
  }
  registry.CloseKey(key);
  return rc;
}

LONG DeleteKeyTree(Registry& registry, HKEY root, const std::string& path) {
  if (path.empty()) return ERROR_ACCESS_DENIED;  // a hive's root stays
  return registry.Transact(root, [&]() -> LONG {
    HKEY key = nullptr;
    if (LONG e = registry.OpenKey(root, path.c_str(), KEY_ALL_ACCESS, &key)) return e;
    LONG rc = DeleteSubkeys(registry, key);
    registry.CloseKey(key);
    if (rc != ERROR_SUCCESS) return rc;
    return registry.DeleteKey(root, path.c_str());
  });
}

}  // namespace nt
