// The keyboard driver: loads registered layouts from the system directory
// and keeps the user's keyboard session.
#pragma once

#include <string>

#include "nt/keyboard.h"
#include "nt/keyboard/layout.h"
#include "nt/keyboard/session_store.h"

namespace nt::kbd {

// What the load flags do to the session when `name` has been loaded:
// - the layout joins the end of the loaded layouts unless it is there;
// - KLF_REPLACELANG: it takes the place of the first other loaded layout of
//   its language (the low 16 bits of the name); that one is unloaded and, if
//   it was active, the new one is active instead;
// - KLF_REORDER: it moves to the head of the loaded layouts and becomes active;
// - KLF_ACTIVATE: it becomes active;
// - KLF_UNLOADPREVIOUS, with KLF_ACTIVATE: the layout that was active before
//   is unloaded, unless it is this one;
// - a session without an active layout gets this one.
// Layout names compare without regard to letter case.
void ApplyLoadFlags(KeyboardSession& session, const std::string& name, UINT flags);

// The handle a layout name stands for: language in the low word, variant
// (or the language again) in the high word.
HKL LayoutHandle(const std::string& name);

// Whether `name` is a layout name: eight hexadecimal digits, language not 0.
bool IsLayoutName(const std::string& name);

class KeyboardDriver : public KeyboardLayouts {
 public:
  explicit KeyboardDriver(SessionStore& session) : session_(session) {}

  DWORD Load(const std::string& name, UINT flags, HKL* layout) override;
  DWORD ActiveName(std::string* name) override;

  // The user's session; on first use made from the Preload values "1", "2",
  // ... in order (those that load), with value "1" active.
  DWORD Session(KeyboardSession* session);
  // Loads the layout registered as `name` without touching the session;
  // *spelling receives the name as the Keyboard Layouts key spells it.
  DWORD LoadRegistered(const std::string& name, Layout* layout, std::string* spelling);
  // Why the last refused library was refused.
  const std::string& problem() const { return problem_; }

 private:
  void Establish(KeyboardSession& session);

  SessionStore& session_;
  std::string problem_;
};

}  // namespace nt::kbd
