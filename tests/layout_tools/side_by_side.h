// One layout typed through our driver and through libxkbcommon on the
// layout's exported keymap and Compose file, key event by key event.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "nt/keyboard/layout.h"
#include "nt/keyboard/translator.h"
#include "tests/support/temp_dir.h"
#include "tools/layout/xkb_export.h"
#include "tools/layout/xkb_typist.h"

namespace layout_tools_test {

using nt::kbd::Prefix;
using nt::kbd::ScanCode;

inline constexpr ScanCode kShiftKey{0x2A, Prefix::kNone};
inline constexpr ScanCode kAltGrKey{0x38, Prefix::kE0};
inline constexpr ScanCode kCapsLockKey{0x3A, Prefix::kNone};
inline constexpr ScanCode kNumLockKey{0x45, Prefix::kNone};

struct Event {
  ScanCode scan;
  bool down = true;
};

// Caps Lock and Num Lock switched on as asked, then nothing held.
std::vector<Event> Locks(bool capsLock, bool numLock);
// `key` pressed and released at `level` (0 base, 1 Shift, 2 AltGr, 3 Shift+AltGr).
std::vector<Event> Stroke(ScanCode key, int level);
std::vector<Event> Join(std::vector<Event> a, const std::vector<Event>& b);

// What a run typed: the text, and the accent a dead key left waiting.
struct Typed {
  std::string text;
  char16_t pending = 0;
  bool operator==(const Typed&) const = default;
};
std::string Describe(const Typed& typed);

class SideBySide {
 public:
  explicit SideBySide(const std::string& library);

  bool ready() const { return typist_ != nullptr; }
  const std::string& problem() const { return problem_; }
  const std::string& warnings() const { return warnings_; }
  const nt::kbd::Layout& layout() const { return layout_; }
  const layout_tools::XkbExport& exported() const { return exported_; }

  // Each from a fresh keyboard.
  Typed Driver(const std::vector<Event>& events) const;
  Typed Xkb(const std::vector<Event>& events);

  // "0x1e \"A\"" for a key of the keymap.
  std::string KeyTitle(ScanCode scan) const;

 private:
  nt::kbd::Layout layout_;
  layout_tools::XkbExport exported_;
  testing_support::TempDir dir_;
  std::unique_ptr<layout_tools::XkbTypist> typist_;
  std::map<std::pair<uint8_t, Prefix>, xkb_keycode_t> keycodes_;
  std::string problem_;
  std::string warnings_;
};

// Differences as a table: one row per key and state.
struct Difference {
  std::string key;
  std::string state;
  std::string driver;
  std::string xkb;
};
std::string Table(const std::vector<Difference>& differences);

}  // namespace layout_tools_test
