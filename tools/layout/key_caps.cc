#include "tools/layout/key_caps.h"

#include "layouts/common/layout_tables.h"
#include "layouts/common/virtual_keys.h"
#include "nt/keyboard/lookup.h"
#include "nt/keyboard/strokes.h"

namespace layout_tools {
namespace {

// A cell worth drawing as a character: a dead key or a visible character.
bool Shows(const Cell& cell) {
  if (cell.kind == CellKind::kDead) return true;
  return cell.kind == CellKind::kChar && cell.c > 0x20 && cell.c != 0x7F;
}

}  // namespace

std::vector<KeyCap> KeyCaps(const nt::kbd::Layout& layout) {
  std::vector<KeyCap> caps;
  for (const KeyPlace& place : MainBlock()) {
    KeyCap cap{.place = place};
    cap.cells = CellsOf(layout, place.scan);
    for (const Cell& cell : cap.cells) cap.characters = cap.characters || Shows(cell);
    if (!cap.characters) {
      const uint16_t vk = nt::kbd::VirtualKeyOf(layout, place.scan);
      if ((vk & 0xFF) == VK_RMENU && (layout.localeFlags & KLLF_ALTGR) != 0) {
        cap.label = "AltGr";
      } else if ((vk & 0xFF) != nt::kbd::kNoKey) {
        cap.label = nt::kbd::ToUtf8(nt::kbd::KeyName(layout, place.scan));
        cap.shortLabel = cap.label;
        if (place.scan.prefix == nt::kbd::Prefix::kE0) {
          const std::string twin = nt::kbd::ToUtf8(nt::kbd::KeyName(layout, {place.scan.code, nt::kbd::Prefix::kNone}));
          if (!twin.empty() && twin.size() < cap.label.size()) cap.shortLabel = twin;
        }
      }
    }
    caps.push_back(cap);
  }
  return caps;
}

}  // namespace layout_tools
