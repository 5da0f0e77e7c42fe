// The keys of an XKB keymap for a layout: which evdev keycode a scan code
// arrives as on Linux, the keycode's name, and the keysyms of keys that type
// no character.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <xkbcommon/xkbcommon.h>

#include "nt/keyboard/layout.h"
#include "nt/keyboard/translator.h"

namespace layout_tools {

// The XKB keycode (evdev code + 8) of a scan code: plain codes 0x01 to 0x58
// are their own evdev codes; the E0 codes of a PC keyboard and E1 0x1D
// (Pause) are mapped to theirs; plain codes above 0x58 only where they yield
// F13 to F24 (`vk`, without flags). Nullopt for the rest.
std::optional<xkb_keycode_t> KeycodeOf(nt::kbd::ScanCode scan, uint8_t vk);

// The keycode's name in the keymap: the usual XKB name (<AE01>, <LSGT>, …)
// or <Innn>.
std::string KeycodeName(xkb_keycode_t keycode);

// The keysym of a virtual key that types no character (F1, Home, Shift_L,
// …); for a keypad key (KBDNUMPAD) the keypad's own keysym. NoSymbol when
// the virtual key has none. `altGr` makes the right Alt key ISO_Level3_Shift.
xkb_keysym_t FunctionKeysym(uint16_t vkWithFlags, bool altGr);

// The keysym a key at `scan` sends for character `c`: the keypad's own
// keysym for a keypad key's digit or operator, else the keysym of `c`
// (U+007F as a Unicode keysym, so that it is not the Delete key).
xkb_keysym_t CharacterKeysym(nt::kbd::ScanCode scan, char16_t c);

// The keysym's name as keymaps and Compose files spell it.
std::string KeysymName(xkb_keysym_t keysym);

}  // namespace layout_tools
