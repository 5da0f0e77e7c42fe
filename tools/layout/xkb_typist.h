// Typing through libxkbcommon the way a desktop application does: a key's
// keysym goes through the compose state, and what it types comes out as
// UTF-8. The other side of the comparison with our driver.
#pragma once

#include <memory>
#include <string>

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

namespace layout_tools {

class XkbTypist {
 public:
  // Compiles `keymap` (a complete keymap: no include path is searched) and
  // reads the Compose file at `composePath`. Null with *problem on failure;
  // *warnings gets what libxkbcommon logged at warning level or above.
  static std::unique_ptr<XkbTypist> Create(const std::string& keymap, const std::string& composePath,
                                           std::string* problem, std::string* warnings = nullptr);
  ~XkbTypist();
  XkbTypist(const XkbTypist&) = delete;
  XkbTypist& operator=(const XkbTypist&) = delete;

  // A key pressed or released; what it types is appended to *out.
  void Key(xkb_keycode_t keycode, bool down, std::string* out);
  // Back to no key down, no lock, nothing composing.
  void Reset();

  // The dead keysym a composition waits on after, or NoSymbol.
  xkb_keysym_t pendingDeadKeysym() const { return pending_; }
  xkb_keymap* keymap() const { return keymap_; }

 private:
  XkbTypist() = default;

  xkb_context* context_ = nullptr;
  xkb_keymap* keymap_ = nullptr;
  xkb_state* state_ = nullptr;
  xkb_compose_table* table_ = nullptr;
  xkb_compose_state* compose_ = nullptr;
  xkb_keysym_t pending_ = XKB_KEY_NoSymbol;
  std::string log_;
};

}  // namespace layout_tools
