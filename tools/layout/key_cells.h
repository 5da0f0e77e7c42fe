// What a key gives in each of the four levels a layout's character tables
// serve: base, Shift, AltGr and Shift+AltGr.
#pragma once

#include <array>
#include <cstdint>

#include "nt/keyboard/layout.h"
#include "nt/keyboard/translator.h"

namespace layout_tools {

enum class CellKind : uint8_t { kNone, kChar, kDead };

struct Cell {
  CellKind kind = CellKind::kNone;
  char16_t c = 0;  // the character, or the accent of a dead key
  bool operator==(const Cell&) const = default;
};

inline constexpr int kLevels = 4;
// The modifier bits (KBDSHIFT, KBDCTRL, KBDALT) of each level; AltGr is Ctrl+Alt.
extern const std::array<unsigned, kLevels> kLevelBits;
extern const std::array<const char*, kLevels> kLevelNames;  // "base", "Shift", "AltGr", "Shift+AltGr"

// What virtual key `vk` gives at `level`, with Caps Lock on or off, as the
// driver's translator gives it.
Cell CellOf(const nt::kbd::Layout& layout, uint8_t vk, int level, bool capsLock);

// The four levels of the key that sends `scan`, Caps Lock off.
std::array<Cell, kLevels> CellsOf(const nt::kbd::Layout& layout, nt::kbd::ScanCode scan);

// Whether the row of `vk` follows Caps Lock.
bool FollowsCapsLock(const nt::kbd::Layout& layout, uint8_t vk);

}  // namespace layout_tools
