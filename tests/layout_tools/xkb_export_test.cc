// The exported keymap and Compose file, proven with libxkbcommon: every key
// at every level, with Caps Lock and Num Lock off and on, and every dead key
// followed by every key, type through libxkbcommon what our driver types.
#include <gtest/gtest.h>

#include <set>

#include "layouts/common/layout_tables.h"
#include "tests/layout_tools/kit_layouts.h"
#include "tests/layout_tools/side_by_side.h"
#include "tools/layout/key_cells.h"
#include "tools/layout/xkb_keys.h"

namespace layout_tools_test {
namespace {

using layout_tools::CellKind;
using layout_tools::kLevels;

std::string State(int level, bool capsLock, bool numLock) {
  std::string state = layout_tools::kLevelNames[static_cast<size_t>(level)];
  if (capsLock) state += ", Caps Lock";
  if (numLock) state += ", Num Lock";
  return state;
}

class XkbExportTest : public testing::TestWithParam<std::string> {
 protected:
  // The right Alt key is AltGr only where the layout says so; elsewhere it is
  // Alt, and the AltGr levels are not reached from it.
  static int Levels(const nt::kbd::Layout& layout) { return (layout.localeFlags & KLLF_ALTGR) != 0 ? kLevels : 2; }
};

TEST_P(XkbExportTest, CompilesWithoutWarnings) {
  SideBySide side(GetParam());
  ASSERT_TRUE(side.ready()) << side.problem();
  EXPECT_EQ(side.warnings(), "");
}

// The one difference of single strokes: libxkbcommon gives the Delete key's
// keysym the text U+007F, where the layout's tables have no character.
bool KnownDifference(ScanCode scan, const Typed& driver, const Typed& xkb) {
  return scan.code == 0x53 && scan.prefix == Prefix::kE0 && driver == Typed{} && xkb == Typed{"\x7f", 0};
}

TEST_P(XkbExportTest, EveryKeyAtEveryLevelTypesAlike) {
  SideBySide side(GetParam());
  ASSERT_TRUE(side.ready()) << side.problem();
  std::vector<Difference> differences;
  int compared = 0;
  int known = 0;
  for (const layout_tools::XkbKey& key : side.exported().keys) {
    for (int level = 0; level < Levels(side.layout()); ++level) {
      for (bool capsLock : {false, true}) {
        for (bool numLock : {false, true}) {
          const auto events = Join(Locks(capsLock, numLock), Stroke(key.scan, level));
          const Typed driver = side.Driver(events);
          const Typed xkb = side.Xkb(events);
          ++compared;
          if (driver == xkb) continue;
          if (KnownDifference(key.scan, driver, xkb)) {
            ++known;
          } else {
            differences.push_back({side.KeyTitle(key.scan), State(level, capsLock, numLock), Describe(driver),
                                   Describe(xkb)});
          }
        }
      }
    }
  }
  EXPECT_GT(compared, 500);
  EXPECT_EQ(known, Levels(side.layout()) * 4);  // the Delete key in every state
  EXPECT_TRUE(differences.empty()) << differences.size() << " differences:\n" << Table(differences);
}

TEST_P(XkbExportTest, EveryDeadKeyFollowedByEveryKeyTypesAlike) {
  SideBySide side(GetParam());
  ASSERT_TRUE(side.ready()) << side.problem();
  const nt::kbd::Layout& layout = side.layout();
  std::vector<Difference> differences;
  std::set<std::pair<char16_t, char16_t>> composed;  // accent, base character typed after it
  std::set<char16_t> typed;                         // characters some stroke types
  std::set<char16_t> reached;                       // accents some stroke leaves waiting
  int dropped = 0;
  for (bool capsLock : {false, true}) {
    for (bool numLock : {false, true}) {
      for (const layout_tools::XkbKey& dead : side.exported().keys) {
        const uint8_t deadVk = nt::kbd::VirtualKeyOf(layout, dead.scan) & 0xFF;
        for (int deadLevel = 0; deadLevel < Levels(layout); ++deadLevel) {
          const layout_tools::Cell accent = layout_tools::CellOf(layout, deadVk, deadLevel, capsLock);
          if (accent.kind != CellKind::kDead) continue;
          reached.insert(accent.c);
          for (const layout_tools::XkbKey& next : side.exported().keys) {
            for (int level = 0; level < Levels(layout); ++level) {
              const auto events =
                  Join(Join(Locks(capsLock, numLock), Stroke(dead.scan, deadLevel)), Stroke(next.scan, level));
              const Typed driver = side.Driver(events);
              const Typed xkb = side.Xkb(events);
              // The known difference: a key that types nothing leaves the accent waiting for the
              // driver, while XKB's compose drops it.
              if (driver == Typed{"", accent.c} && xkb == Typed{}) {
                ++dropped;
              } else if (driver != xkb) {
                differences.push_back({side.KeyTitle(dead.scan) + " then " + side.KeyTitle(next.scan),
                                       State(deadLevel, capsLock, numLock) + " / " +
                                           layout_tools::kLevelNames[static_cast<size_t>(level)],
                                       Describe(driver), Describe(xkb)});
              }
              const uint8_t vk = nt::kbd::VirtualKeyOf(layout, next.scan) & 0xFF;
              const layout_tools::Cell base = layout_tools::CellOf(layout, vk, level, capsLock);
              if (base.kind == CellKind::kChar && !numLock) {
                composed.insert({accent.c, base.c});
                typed.insert(base.c);
              }
            }
          }
        }
      }
    }
  }
  EXPECT_TRUE(differences.empty()) << differences.size() << " differences:\n" << Table(differences);
  EXPECT_EQ(dropped > 0, !reached.empty());
  // Every composition of an accent that a key reaches, with a character that a key types, was tried.
  int compositions = 0;
  for (const nt::kbd::DeadKey& entry : layout.deadKeys) {
    if (!reached.count(entry.accent) || !typed.count(entry.base)) continue;
    ++compositions;
    EXPECT_TRUE(composed.count({entry.accent, entry.base}))
        << "U+" << std::hex << static_cast<unsigned>(entry.accent) << " with U+" << static_cast<unsigned>(entry.base)
        << " was not tried";
  }
  EXPECT_EQ(compositions > 0, !reached.empty());
}

INSTANTIATE_TEST_SUITE_P(Kit, XkbExportTest, testing::ValuesIn(KitLibraries()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

// Scan codes whose keys have no keycode of their own under Linux: no PC
// keyboard sends them, except E0 0x46 (Ctrl+Break), which arrives as the
// Pause key. The same in every library of the kit.
TEST(XkbExport, LeavesOutExactlyTheKeysWithoutAnEvdevKeycode) {
  const std::set<std::string> expected{
      "0x59", "0x5a", "0x5b", "0x5c", "0x5d", "0x5f", "0x66", "0x67", "0x7c", "e0 0x0f", "e0 0x3d",
      "e0 0x3e", "e0 0x3f", "e0 0x40", "e0 0x41", "e0 0x46", "e0 0x4e",
  };
  for (const std::string& library : KitLibraries()) {
    SCOPED_TRACE(library);
    std::set<std::string> leftOut;
    for (const ScanCode scan : layout_tools::ExportXkb(KitLayout(library), library).leftOut) {
      leftOut.insert(layout_tools::DescribeScanCode(scan));
    }
    EXPECT_EQ(leftOut, expected);
  }
}

TEST(XkbExport, GivesEachAccentADeadKeysymOfItsOwn) {
  struct Row {
    const char* name;
    const char* library;
    char16_t accent;
    const char* keysym;
    bool standIn = false;
  } rows[] = {
      {.name = "romakeys caron", .library = "romakeys", .accent = 0x030C, .keysym = "dead_caron"},
      {.name = "romakeys combining acute", .library = "romakeys", .accent = 0x0301, .keysym = "dead_acute"},
      {.name = "romakeys double acute", .library = "romakeys", .accent = 0x030B, .keysym = "dead_doubleacute"},
      {.name = "romakeys circumflex", .library = "romakeys", .accent = u'^', .keysym = "dead_circumflex"},
      {.name = "svenkeys acute", .library = "svenkeys", .accent = 0x00B4, .keysym = "dead_acute"},
      {.name = "svenkeys grave", .library = "svenkeys", .accent = u'`', .keysym = "dead_grave"},
      {.name = "ellkeys tonos", .library = "ellkeys", .accent = 0x0384, .keysym = "dead_acute"},
      {.name = "ellkeys diaeresis", .library = "ellkeys", .accent = 0x00A8, .keysym = "dead_diaeresis"},
      {.name = "ellkeys dialytika tonos has none", .library = "ellkeys", .accent = 0x0385,
       .keysym = "dead_greek", .standIn = true},
      {.name = "vlamkeys diaeresis", .library = "vlamkeys", .accent = 0x00A8, .keysym = "dead_diaeresis"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto exported = layout_tools::ExportXkb(KitLayout(row.library), row.library);
    std::set<xkb_keysym_t> keysyms;
    const layout_tools::DeadKeysym* found = nullptr;
    for (const layout_tools::DeadKeysym& dead : exported.deadKeysyms) {
      EXPECT_TRUE(keysyms.insert(dead.keysym).second) << "two accents share " << layout_tools::KeysymName(dead.keysym);
      if (dead.accent == row.accent) found = &dead;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(layout_tools::KeysymName(found->keysym), row.keysym);
    EXPECT_EQ(found->standIn, row.standIn);
  }
}

// What XKB cannot do as the layout's driver does. Each row types the same
// keys on both sides and states both results; docs/xkb.md lists them.
TEST(XkbExport, KnownLimitsOfTheMapping) {
  constexpr ScanCode kLeftArrow{0x4B, Prefix::kE0};
  constexpr ScanCode kLeftCtrl{0x1D, Prefix::kNone};
  constexpr ScanCode kLeftAlt{0x38, Prefix::kNone};
  constexpr ScanCode kA{0x1E, Prefix::kNone};
  constexpr ScanCode kE{0x12, Prefix::kNone};
  constexpr ScanCode k2{0x03, Prefix::kNone};
  constexpr ScanCode k6{0x07, Prefix::kNone};
  auto held = [](ScanCode modifier, std::vector<Event> inner) {
    return Join(Join({{modifier, true}}, inner), {{modifier, false}});
  };
  struct Row {
    const char* name;
    std::vector<Event> events;
    std::string driver;
    std::string xkb;
  } rows[] = {
      {"a key that types nothing between a dead key and its letter: XKB's compose drops the accent",
       Join(Join(Stroke(k6, 1), Stroke(kLeftArrow, 0)), Stroke(kE, 0)), "\u00EA", "e"},
      {"Ctrl with a letter: no character in the tables, a control character through libxkbcommon",
       held(kLeftCtrl, Stroke(kA, 0)), "", "\x01"},
      {"left Ctrl with left Alt: AltGr for the driver, plain Ctrl+Alt in XKB",
       Join(held(kLeftCtrl, held(kLeftAlt, Stroke(k2, 0))), Stroke(kE, 0)), "\u011B", "e"},
  };
  SideBySide side("romakeys");
  ASSERT_TRUE(side.ready()) << side.problem();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(side.Driver(row.events), (Typed{row.driver, 0}));
    EXPECT_EQ(side.Xkb(row.events), (Typed{row.xkb, 0}));
  }
}

}  // namespace
}  // namespace layout_tools_test
