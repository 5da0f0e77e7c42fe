#include "tools/layout/dead_keysyms.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>

#include "layouts/common/layout_tables.h"

namespace layout_tools {
namespace {

struct Accent {
  char16_t spacing;    // the spacing accent, 0 when none
  char16_t combining;  // its combining mark
  xkb_keysym_t keysym;
};

// Each accent as a spacing character and as a combining mark. The Greek tonos
// is the acute accent; the Greek dialytika tonos (U+0385, diaeresis and acute)
// has no dead keysym of its own.
constexpr Accent kAccents[] = {
    {0x0060, 0x0300, XKB_KEY_dead_grave},       {0x00B4, 0x0301, XKB_KEY_dead_acute},
    {0x0384, 0x0301, XKB_KEY_dead_acute},       {0x005E, 0x0302, XKB_KEY_dead_circumflex},
    {0x007E, 0x0303, XKB_KEY_dead_tilde},       {0x00AF, 0x0304, XKB_KEY_dead_macron},
    {0x02D8, 0x0306, XKB_KEY_dead_breve},       {0x02D9, 0x0307, XKB_KEY_dead_abovedot},
    {0x00A8, 0x0308, XKB_KEY_dead_diaeresis},   {0x02DA, 0x030A, XKB_KEY_dead_abovering},
    {0x02DD, 0x030B, XKB_KEY_dead_doubleacute}, {0x02C7, 0x030C, XKB_KEY_dead_caron},
    {0x00B8, 0x0327, XKB_KEY_dead_cedilla},     {0x02DB, 0x0328, XKB_KEY_dead_ogonek},
    {0x037A, 0x0345, XKB_KEY_dead_iota},        {0, 0x0323, XKB_KEY_dead_belowdot},
    {0, 0x0309, XKB_KEY_dead_hook},             {0, 0x031B, XKB_KEY_dead_horn},
    {0, 0x0313, XKB_KEY_dead_psili},            {0, 0x0314, XKB_KEY_dead_dasia},
    {0, 0x0326, XKB_KEY_dead_belowcomma},       {0, 0x0335, XKB_KEY_dead_stroke},
};

// Dead keysyms that no accent above takes first, for accents without one.
constexpr xkb_keysym_t kStandIns[] = {
    XKB_KEY_dead_greek,         XKB_KEY_dead_hook,         XKB_KEY_dead_horn,
    XKB_KEY_dead_belowdot,      XKB_KEY_dead_stroke,       XKB_KEY_dead_currency,
    XKB_KEY_dead_doublegrave,   XKB_KEY_dead_invertedbreve, XKB_KEY_dead_belowring,
    XKB_KEY_dead_belowmacron,   XKB_KEY_dead_belowcircumflex, XKB_KEY_dead_belowtilde,
    XKB_KEY_dead_belowbreve,    XKB_KEY_dead_belowdiaeresis, XKB_KEY_dead_lowline,
};

xkb_keysym_t Preferred(char16_t accent) {
  for (const Accent& entry : kAccents) {
    if (entry.spacing == accent || entry.combining == accent) return entry.keysym;
  }
  return XKB_KEY_NoSymbol;
}

}  // namespace

std::vector<DeadKeysym> AssignDeadKeysyms(const nt::kbd::Layout& layout) {
  std::vector<DeadKeysym> accents;
  auto add = [&](char16_t accent) {
    if (std::none_of(accents.begin(), accents.end(), [&](const DeadKeysym& d) { return d.accent == accent; })) {
      accents.push_back({.accent = accent});
    }
  };
  for (const nt::kbd::DeadKey& entry : layout.deadKeys) add(entry.accent);
  for (const nt::kbd::CharRow& row : layout.rows) {
    for (int column = 0; column < row.columns; ++column) {
      if (row.chars[static_cast<size_t>(column)] == WCH_DEAD) add(row.accents[static_cast<size_t>(column)]);
    }
  }
  auto taken = [&](xkb_keysym_t keysym) {
    return std::any_of(accents.begin(), accents.end(), [&](const DeadKeysym& d) { return d.keysym == keysym; });
  };
  for (DeadKeysym& dead : accents) {
    const xkb_keysym_t keysym = Preferred(dead.accent);
    if (keysym != XKB_KEY_NoSymbol && !taken(keysym)) dead.keysym = keysym;
  }
  for (DeadKeysym& dead : accents) {
    if (dead.keysym != XKB_KEY_NoSymbol) continue;
    dead.standIn = true;
    for (xkb_keysym_t spare : kStandIns) {
      if (!taken(spare)) {
        dead.keysym = spare;
        break;
      }
    }
  }
  return accents;
}

}  // namespace layout_tools
