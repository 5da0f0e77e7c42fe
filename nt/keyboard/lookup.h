// Questions about a layout: which keys type a character, where a virtual key
// sits, what keys and accents are called.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "nt/keyboard/layout.h"
#include "nt/keyboard/translator.h"

namespace nt::kbd {

// A virtual key typed with modifier bits held (KBDSHIFT, KBDCTRL, KBDALT).
struct Stroke {
  uint8_t vk = 0;
  uint8_t modBits = 0;
  bool operator==(const Stroke&) const = default;
};

// The strokes that type one character: one, or a dead key and a second key.
using Way = std::vector<Stroke>;

// Every way to type `c`, first the cells that hold it in table order (tables
// in index order, rows from the top, columns left to right), then the
// dead-key compositions that give it, in the order of aDeadKey. Cells that
// no modifier combination reaches are left out.
std::vector<Way> WaysToType(const Layout& layout, char16_t c);

// The first of WaysToType, or an empty way.
Way FirstWayToType(const Layout& layout, char16_t c);

// The fewest modifier bits that select `column`, or nullopt.
std::optional<uint8_t> ModifierBitsFor(const Layout& layout, unsigned column);

// The scan code that yields `vk`: the lowest plain one, else the first E0 or
// E1 one; a keypad digit or decimal point is found on its KBDNUMPAD key,
// which gives it with Num Lock on (*numLock is set then).
std::optional<ScanCode> ScanCodeFor(const Layout& layout, uint8_t vk, bool* numLock = nullptr);

// The name aKeyNames (plain) or aKeyNamesExt (E0) gives a scan code; empty when none.
std::u16string KeyName(const Layout& layout, ScanCode scan);

// The name aKeyNamesDead gives an accent; empty when none.
std::u16string DeadKeyName(const Layout& layout, char16_t accent);

}  // namespace nt::kbd
