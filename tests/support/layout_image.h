// A layout's tables copied into one buffer that stands at a chosen address,
// the way a library's image holds them: what the table reader is tested and
// fuzzed on without mapping a library.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "layouts/common/layout_tables.h"
#include "nt/keyboard/image.h"

namespace testing_support {

struct LayoutImage {
  std::vector<uint8_t> bytes;
  uint64_t base = 0;
  // The address of each table by its name in the layout sources ("KbdTables",
  // "CharModifiers", "aVkToBits", "ausVK", "aE0VscToVk", "aE1VscToVk",
  // "aVkToWcharTable", "aVkToWch<columns>", "aDeadKey", "aKeyNames",
  // "aKeyNamesExt", "aKeyNamesDead").
  std::map<std::string, uint64_t> at;

  uint64_t tables() const { return at.at("KbdTables"); }
  uint64_t end() const { return base + bytes.size(); }
  nt::kbd::Image image() const { return nt::kbd::Image(bytes.data(), bytes.size(), base); }

  template <typename T>
  void Put(uint64_t address, const T& value) {
    std::memcpy(bytes.data() + (address - base), &value, sizeof(T));
  }
  template <typename T>
  T Get(uint64_t address) const {
    T value;
    std::memcpy(&value, bytes.data() + (address - base), sizeof(T));
    return value;
  }
};

// Copies a well-formed table set into an image at `base`, KbdTables first.
LayoutImage SerializeLayout(const KBDTABLES& tables, uint64_t base = 0x10000);

}  // namespace testing_support
