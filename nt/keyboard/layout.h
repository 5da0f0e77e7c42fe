// A keyboard layout as the driver uses it: the tables of a layout library,
// checked and copied out of the library's image, plus lookup arrays built
// from them. Nothing here points into the library.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nt::kbd {

// Columns a character row may have; column 15 is SHFT_INVALID.
inline constexpr int kMaxColumns = 15;
// The virtual key of a scan code that has none.
inline constexpr uint16_t kNoKey = 0x00FF;
// The virtual key of a dead key's continuation row.
inline constexpr uint8_t kContinuationKey = 0xFF;

struct CharRow {
  uint8_t virtualKey = 0;
  uint8_t attributes = 0;
  uint8_t columns = 0;
  uint8_t table = 0;  // position of its table in the index
  std::array<char16_t, kMaxColumns> chars{};
  // For a WCH_DEAD cell, the accent that its continuation row holds.
  std::array<char16_t, kMaxColumns> accents{};
};

struct CharTable {
  uint8_t columns = 0;
  uint32_t firstRow = 0;  // into Layout::rows
  uint32_t rowCount = 0;
};

struct DeadKey {
  char16_t accent = 0;
  char16_t base = 0;
  char16_t composed = 0;
  uint16_t flags = 0;
};

struct ScanName {
  uint8_t scan = 0;
  std::u16string name;
};

struct ScanVk {
  uint8_t scan = 0;
  uint16_t vk = 0;
};

struct Layout {
  // The modifier record.
  std::vector<std::pair<uint8_t, uint8_t>> vkToBits;  // virtual key, modifier bits
  uint16_t maxModBits = 0;
  std::array<uint8_t, 8> modNumber{};
  // The scan-code maps, as the library lists them.
  std::vector<uint16_t> scanToVk;
  std::vector<ScanVk> e0ToVk;
  std::vector<ScanVk> e1ToVk;
  // The character tables in index order; rows of all tables, continuation rows left out.
  std::vector<CharTable> tables;
  std::vector<CharRow> rows;
  std::vector<DeadKey> deadKeys;
  std::vector<ScanName> keyNames;
  std::vector<ScanName> keyNamesExt;
  std::vector<std::u16string> deadKeyNames;  // accent followed by its name
  uint32_t localeFlags = 0;

  // Lookups built by Index(): each scan code's virtual key (with flags) and
  // the first row of each virtual key (-1: none).
  std::array<uint16_t, 128> plainVk{};
  std::array<uint16_t, 128> e0Vk{};
  std::array<uint16_t, 128> e1Vk{};
  std::array<int32_t, 256> rowOfVk{};
  // Dead-key entries ordered by (accent, base), first occurrence kept.
  std::vector<DeadKey> deadIndex;

  void Index();
  // The column for held modifier bits, or SHFT_INVALID.
  uint8_t Column(unsigned modBits) const {
    return modBits <= maxModBits && modBits < modNumber.size() ? modNumber[modBits] : 0x0F;
  }
  // The composition of `accent` with `base`, or null.
  const DeadKey* Compose(char16_t accent, char16_t base) const;
  const CharRow* RowOf(uint8_t vk) const {
    const int32_t i = rowOfVk[vk];
    return i < 0 ? nullptr : &rows[static_cast<size_t>(i)];
  }
};

}  // namespace nt::kbd
