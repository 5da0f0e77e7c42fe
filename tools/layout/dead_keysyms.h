// The XKB dead keysym that stands for each accent of a layout.
#pragma once

#include <string>
#include <vector>

#include <xkbcommon/xkbcommon.h>

#include "nt/keyboard/layout.h"

namespace layout_tools {

struct DeadKeysym {
  char16_t accent = 0;
  xkb_keysym_t keysym = XKB_KEY_NoSymbol;
  // XKB has no dead keysym for this accent, or the one it would take is
  // another accent's: a spare one stands in.
  bool standIn = false;
};

// The accents of the layout (of aDeadKey, then any other that a key holds
// as dead) in that order, each with its own dead keysym: dead_acute for
// ´, U+0301 and Greek tonos, dead_caron for U+030C, …; where none exists or
// it is taken, the first free of dead_greek, dead_hook, dead_horn, ….
std::vector<DeadKeysym> AssignDeadKeysyms(const nt::kbd::Layout& layout);

}  // namespace layout_tools
