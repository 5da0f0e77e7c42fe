// What each layout library must hold, written the way a layout is read: rows
// with their cells, a dead cell as Dead(accent), dead-key groups as an accent
// with its base characters. Encode() and ExpectedDeadKeys() turn them into
// the stored form.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "tests/layouts/layout_reader.h"

namespace layout_test {

inline constexpr char16_t kNone = 0xF000;  // WCH_NONE
inline constexpr char16_t kDead = 0xF001;  // WCH_DEAD
inline constexpr uint8_t kAccentRow = 0xFF;

struct Cell {
  Cell(char16_t c) : ch(c) {}  // NOLINT: rows are written with plain characters
  char16_t ch;
  bool dead = false;
};
Cell Dead(char16_t accent);

struct ExpectedRow {
  uint8_t vk;
  uint8_t attributes;
  std::vector<Cell> cells;
};

struct DeadGroup {
  char16_t accent;
  std::u16string bases;  // in table order; space is added at the end
  std::vector<std::pair<char16_t, char16_t>> exceptions = {};  // base, result
};

struct DeadName {
  char16_t accent;
  std::u16string name;
};

struct ExpectedLayout {
  std::string name;
  // The entries of the common maps that differ by library.
  uint16_t scan_4e;
  uint16_t scan_56;
  uint16_t e0_0f;
  uint16_t e0_37;
  uint32_t locale_flags;
  std::vector<ExpectedRow> wch3, wch4, wch2;
  std::vector<DeadGroup> dead_groups;
  std::vector<DeadName> dead_names;
  // The Windows build and its version resource; uskeys has none.
  bool has_dll;
  std::string description;
  uint16_t language;
  uint16_t code_page;
  bool has_comments;
};

// Test names show the library's name.
inline void PrintTo(const ExpectedLayout& layout, std::ostream* out) { *out << layout.name; }

const std::vector<ExpectedLayout>& AllLayouts();
// The four national layouts, which are also built as DLLs.
std::vector<ExpectedLayout> DllLayouts();

// The common maps with the library's own entries.
std::vector<uint16_t> ExpectedScanMap(const ExpectedLayout& layout);
std::vector<ScanVk> ExpectedE0Map(const ExpectedLayout& layout);
std::vector<ScanVk> ExpectedE1Map();
std::vector<KeyName> ExpectedKeyNames();
std::vector<KeyName> ExpectedKeyNamesExt();
std::vector<ExpectedRow> ExpectedNumpadRows();

// Rows as stored: a dead cell becomes WCH_DEAD with its accent in the same
// column of a continuation row, whose other columns hold WCH_NONE.
std::vector<Row> Encode(const std::vector<ExpectedRow>& rows);

// The precomposed character of `base` with `accent` (a spacing accent standing
// for its combining mark) by Unicode canonical composition; 0 when Unicode
// has none.
char16_t Precomposed(char16_t base, char16_t accent);

// aDeadKey as the groups give it: each base with its precomposed result or
// listed exception, then space giving the accent itself.
std::vector<DeadKey> ExpectedDeadKeys(const ExpectedLayout& layout);

}  // namespace layout_test
