// A layout as an XKB keymap and a Compose file for its dead keys, for the
// X server (xkbcomp) and for libxkbcommon.
#pragma once

#include <string>
#include <vector>

#include <xkbcommon/xkbcommon.h>

#include "nt/keyboard/layout.h"
#include "nt/keyboard/translator.h"
#include "tools/layout/dead_keysyms.h"

namespace layout_tools {

struct XkbKey {
  nt::kbd::ScanCode scan;
  xkb_keycode_t keycode = 0;
};

struct XkbExport {
  std::vector<XkbKey> keys;                 // in the keymap, by scan code (plain, E0, E1)
  std::vector<nt::kbd::ScanCode> leftOut;   // keys of the layout with no keycode of their own
  std::vector<DeadKeysym> deadKeysyms;
  std::vector<std::string> notes;           // what the user should know, one line each
  std::string keymap;                       // a complete xkb_keymap
  std::string compose;                      // a Compose file
};

// `name` names the keymap's parts and is written in the files' headers.
// The keymap has the layout's keys at their evdev keycodes, a type per
// kind of key that gives Caps Lock the layout's meaning (CAPLOK rows follow
// it, the others do not), four levels with the right Alt key as AltGr
// (LevelThree), the keypad with Num Lock. The Compose file has every
// composition of aDeadKey and, for each accent that a key types as a dead
// key, what the layout types for each other key the keymap has: the accent
// followed by that character.
XkbExport ExportXkb(const nt::kbd::Layout& layout, const std::string& name);

// "0x1e", "e0 0x38", "e1 0x1d".
std::string DescribeScanCode(nt::kbd::ScanCode scan);

}  // namespace layout_tools
