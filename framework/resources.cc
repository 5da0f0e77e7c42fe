#include "framework/resources.h"

#include <map>

namespace framework {
namespace {

// Function-local so that registrations from any static initialiser find them.
std::map<UINT, const DialogTemplate*>& Dialogs() {
  static std::map<UINT, const DialogTemplate*> dialogs;
  return dialogs;
}

std::map<UINT, const IconResource*>& Icons() {
  static std::map<UINT, const IconResource*> icons;
  return icons;
}

template <typename T>
const T* Find(const std::map<UINT, const T*>& table, UINT id) {
  auto it = table.find(id);
  return it == table.end() ? nullptr : it->second;
}

}  // namespace

const DialogTemplate* FindDialogTemplate(UINT id) { return Find(Dialogs(), id); }
const IconResource* FindIcon(UINT id) { return Find(Icons(), id); }

const IconResource* IconFromHandle(HICON icon) {
  return reinterpret_cast<const IconResource*>(icon);
}

ResourceRegistration::ResourceRegistration(const DialogTemplate& dialog) {
  Dialogs()[dialog.id] = &dialog;
}

ResourceRegistration::ResourceRegistration(const IconResource& icon) { Icons()[icon.id] = &icon; }

}  // namespace framework

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR name) {
  // Only resources named by number exist; the platform's stock icons do not.
  if (name == nullptr || !IS_INTRESOURCE(name)) return nullptr;
  const framework::IconResource* icon = framework::FindIcon(LOWORD(name));
  return reinterpret_cast<HICON>(const_cast<framework::IconResource*>(icon));
}
