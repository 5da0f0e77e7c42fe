#include "tools/layout/key_cells.h"

#include "layouts/common/layout_tables.h"

namespace layout_tools {

const std::array<unsigned, kLevels> kLevelBits = {0, KBDSHIFT, KBDCTRL | KBDALT, KBDSHIFT | KBDCTRL | KBDALT};
const std::array<const char*, kLevels> kLevelNames = {"base", "Shift", "AltGr", "Shift+AltGr"};

Cell CellOf(const nt::kbd::Layout& layout, uint8_t vk, int level, bool capsLock) {
  const nt::kbd::CharRow* row = layout.RowOf(vk);
  if (row == nullptr) return {};
  unsigned bits = kLevelBits[static_cast<size_t>(level)];
  if ((row->attributes & CAPLOK) != 0 && capsLock && (bits & (KBDCTRL | KBDALT)) == 0) bits ^= KBDSHIFT;
  const uint8_t column = layout.Column(bits);
  if (column >= row->columns) return {};
  const char16_t c = row->chars[column];
  if (c == WCH_NONE) return {};
  if (c == WCH_DEAD) return {CellKind::kDead, row->accents[column]};
  return {CellKind::kChar, c};
}

std::array<Cell, kLevels> CellsOf(const nt::kbd::Layout& layout, nt::kbd::ScanCode scan) {
  std::array<Cell, kLevels> cells{};
  const uint16_t vk = nt::kbd::VirtualKeyOf(layout, scan);
  if ((vk & 0xFF) == nt::kbd::kNoKey) return cells;
  for (int level = 0; level < kLevels; ++level) cells[static_cast<size_t>(level)] = CellOf(layout, vk & 0xFF, level, false);
  return cells;
}

bool FollowsCapsLock(const nt::kbd::Layout& layout, uint8_t vk) {
  const nt::kbd::CharRow* row = layout.RowOf(vk);
  return row != nullptr && (row->attributes & CAPLOK) != 0;
}

}  // namespace layout_tools
