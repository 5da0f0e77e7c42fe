#include "nt/keyboard/lookup.h"

#include "layouts/common/layout_tables.h"
#include "layouts/common/virtual_keys.h"

namespace nt::kbd {
namespace {

// Every cell holding `c` (or, with `dead`, every dead cell of accent `c`), in table order.
std::vector<Stroke> Cells(const Layout& layout, char16_t c, bool dead) {
  std::vector<Stroke> strokes;
  for (const CharRow& row : layout.rows) {
    for (unsigned column = 0; column < row.columns; ++column) {
      const bool match = dead ? row.chars[column] == WCH_DEAD && row.accents[column] == c
                              : row.chars[column] == c && c != WCH_NONE && c != WCH_DEAD;
      if (!match) continue;
      if (auto bits = ModifierBitsFor(layout, column)) strokes.push_back({row.virtualKey, *bits});
    }
  }
  return strokes;
}

}  // namespace

std::optional<uint8_t> ModifierBitsFor(const Layout& layout, unsigned column) {
  for (unsigned bits = 0; bits <= layout.maxModBits && bits < layout.modNumber.size(); ++bits) {
    if (layout.modNumber[bits] == column) return static_cast<uint8_t>(bits);
  }
  return std::nullopt;
}

std::vector<Way> WaysToType(const Layout& layout, char16_t c) {
  std::vector<Way> ways;
  for (const Stroke& stroke : Cells(layout, c, false)) ways.push_back({stroke});
  for (const DeadKey& entry : layout.deadKeys) {
    if (entry.composed != c || entry.flags != 0) continue;
    // Only the first entry for an accent and base character is ever used.
    if (layout.Compose(entry.accent, entry.base) != nullptr &&
        layout.Compose(entry.accent, entry.base)->composed != c) {
      continue;
    }
    const std::vector<Stroke> accents = Cells(layout, entry.accent, true);
    const std::vector<Stroke> bases = Cells(layout, entry.base, false);
    if (accents.empty() || bases.empty()) continue;
    ways.push_back({accents.front(), bases.front()});
  }
  return ways;
}

Way FirstWayToType(const Layout& layout, char16_t c) {
  std::vector<Way> ways = WaysToType(layout, c);
  return ways.empty() ? Way{} : ways.front();
}

std::optional<ScanCode> ScanCodeFor(const Layout& layout, uint8_t vk, bool* numLock) {
  if (numLock != nullptr) *numLock = false;
  for (size_t scan = 0; scan < layout.plainVk.size(); ++scan) {
    if ((layout.plainVk[scan] & 0xFF) == vk && vk != kNoKey) return ScanCode{static_cast<uint8_t>(scan)};
  }
  for (const ScanVk& entry : layout.e0ToVk) {
    if ((entry.vk & 0xFF) == vk && entry.scan < 0x80) return ScanCode{entry.scan, Prefix::kE0};
  }
  for (const ScanVk& entry : layout.e1ToVk) {
    if ((entry.vk & 0xFF) == vk && entry.scan < 0x80) return ScanCode{entry.scan, Prefix::kE1};
  }
  for (size_t scan = 0; scan < layout.plainVk.size(); ++scan) {
    const uint16_t entry = layout.plainVk[scan];
    if ((entry & KBDNUMPAD) != 0 && NumLockVirtualKey(static_cast<uint8_t>(entry)) == vk && vk != 0) {
      if (numLock != nullptr) *numLock = true;
      return ScanCode{static_cast<uint8_t>(scan)};
    }
  }
  return std::nullopt;
}

std::u16string KeyName(const Layout& layout, ScanCode scan) {
  const std::vector<ScanName>* names = scan.prefix == Prefix::kNone ? &layout.keyNames
                                      : scan.prefix == Prefix::kE0 ? &layout.keyNamesExt
                                                                   : nullptr;
  if (names == nullptr) return {};
  for (const auto& entry : *names) {
    if (entry.scan == scan.code) return entry.name;
  }
  return {};
}

std::u16string DeadKeyName(const Layout& layout, char16_t accent) {
  for (const std::u16string& entry : layout.deadKeyNames) {
    if (entry[0] == accent) return entry.substr(1);
  }
  return {};
}

}  // namespace nt::kbd
