// Reads a layout's tables out of a library image through the addresses its
// KBDTABLES record holds, the way a keyboard driver must before trusting
// them: every address inside the image, every table terminated.
//
// The same reader serves a library loaded in this process (64-bit pointers)
// and a Windows DLL read as a file (32-bit pointers), so the two can be
// compared table for table.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace layout_test {

class ImageMemory {
 public:
  virtual ~ImageMemory() = default;
  virtual unsigned PointerSize() const = 0;
  // Copies `size` bytes at `address`; false unless all of them lie inside the image.
  virtual bool Read(uint64_t address, void* out, size_t size) const = 0;
  // Told the address of every pointer the reader follows.
  virtual void NotePointerAt(uint64_t /*address*/) const {}
};

struct Row {
  uint8_t vk = 0;
  uint8_t attributes = 0;
  std::vector<char16_t> cells;
  bool operator==(const Row&) const = default;
};

struct CharTable {
  unsigned columns = 0;
  unsigned row_size = 0;
  std::vector<Row> rows;  // without the terminating zero row
  bool operator==(const CharTable&) const = default;
};

struct ScanVk {
  uint8_t scan = 0;
  uint16_t vk = 0;
  bool operator==(const ScanVk&) const = default;
};

struct KeyName {
  uint8_t scan = 0;
  std::u16string name;
  bool operator==(const KeyName&) const = default;
};

struct DeadKey {
  uint32_t both = 0;  // base in the low 16 bits, accent in the high
  char16_t composed = 0;
  uint16_t flags = 0;
  bool operator==(const DeadKey&) const = default;
};

// Everything the KBDTABLES record reaches, terminators left out.
struct LayoutSnapshot {
  std::vector<std::pair<uint8_t, uint8_t>> vk_to_bits;
  uint16_t max_mod_bits = 0;
  std::array<uint8_t, 8> mod_number{};
  std::vector<CharTable> tables;  // in index order
  std::vector<DeadKey> dead_keys;
  std::vector<KeyName> key_names;
  std::vector<KeyName> key_names_ext;
  std::vector<std::u16string> dead_key_names;
  std::vector<uint16_t> scan_to_vk;  // bMaxVSCtoVK entries
  std::vector<ScanVk> e0;
  std::vector<ScanVk> e1;
  uint32_t locale_flags = 0;
  // The addresses the record holds, in field order (for identity checks).
  std::array<uint64_t, 9> table_addresses{};
  bool operator==(const LayoutSnapshot& other) const;
};

// Readable test output.
void PrintTo(const Row& row, std::ostream* out);
void PrintTo(const CharTable& table, std::ostream* out);
void PrintTo(const ScanVk& pair, std::ostream* out);
void PrintTo(const KeyName& name, std::ostream* out);
void PrintTo(const DeadKey& key, std::ostream* out);
void PrintTo(const LayoutSnapshot& snapshot, std::ostream* out);

// Throws std::runtime_error naming the table when an address lies outside the
// image or a table runs out of the image before its terminator.
LayoutSnapshot ReadLayout(const ImageMemory& image, uint64_t tables_address);

}  // namespace layout_test
