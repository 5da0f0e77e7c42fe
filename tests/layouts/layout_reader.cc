#include "tests/layouts/layout_reader.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <tuple>

namespace layout_test {
namespace {

// Offsets of the records for a pointer size p, by the natural alignment the
// libraries are compiled with (both targets align a pointer to its size).
class Reader {
 public:
  explicit Reader(const ImageMemory& image) : image_(image), p_(image.PointerSize()) {}

  template <typename T>
  T Get(uint64_t address, const char* what) const {
    T value{};
    if (!image_.Read(address, &value, sizeof value)) {
      throw std::runtime_error(std::string(what) + ": outside the image");
    }
    return value;
  }

  uint64_t Pointer(uint64_t address, const char* what) const {
    image_.NotePointerAt(address);
    return p_ == 4 ? Get<uint32_t>(address, what) : Get<uint64_t>(address, what);
  }

  // A zero-terminated UTF-16 string.
  std::u16string String(uint64_t address, const char* what) const {
    std::u16string text;
    for (char16_t c; (c = Get<char16_t>(address, what)) != 0; address += 2) text += c;
    return text;
  }

  std::vector<ScanVk> ScanVks(uint64_t address, const char* what) const {
    std::vector<ScanVk> pairs;
    for (;; address += 4) {
      ScanVk pair{Get<uint8_t>(address, what), Get<uint16_t>(address + 2, what)};
      if (pair.scan == 0 && pair.vk == 0) return pairs;
      pairs.push_back(pair);
    }
  }

  std::vector<KeyName> KeyNames(uint64_t address, const char* what) const {
    std::vector<KeyName> names;
    for (;; address += 2 * p_) {
      const uint8_t scan = Get<uint8_t>(address, what);
      const uint64_t name = Pointer(address + p_, what);
      if (scan == 0 && name == 0) return names;
      if (name == 0) throw std::runtime_error(std::string(what) + ": null name");
      names.push_back({scan, String(name, what)});
    }
  }

  CharTable Rows(uint64_t address, unsigned columns, unsigned row_size) const {
    CharTable table{columns, row_size, {}};
    if (row_size != 2 + 2 * columns) throw std::runtime_error("character table: row size");
    for (;; address += row_size) {
      Row row{
          Get<uint8_t>(address, "character row"), Get<uint8_t>(address + 1, "character row"), {}};
      bool all_zero = row.vk == 0 && row.attributes == 0;
      for (unsigned c = 0; c < columns; ++c) {
        row.cells.push_back(Get<char16_t>(address + 2 + 2 * c, "character row"));
        all_zero = all_zero && row.cells.back() == 0;
      }
      if (all_zero) return table;
      table.rows.push_back(std::move(row));
    }
  }

  LayoutSnapshot Layout(uint64_t record) const {
    LayoutSnapshot s;
    for (unsigned field = 0; field < 7; ++field) {
      s.table_addresses[field] = Pointer(record + field * p_, "KBDTABLES");
    }
    s.table_addresses[7] = Pointer(record + 8 * p_, "KBDTABLES");
    s.table_addresses[8] = Pointer(record + 9 * p_, "KBDTABLES");
    const auto [modifiers, index, dead_keys, names, names_ext, names_dead, scan_map, e0, e1] =
        s.table_addresses;
    const uint8_t max_scan = Get<uint8_t>(record + 7 * p_, "KBDTABLES");
    s.locale_flags = Get<uint32_t>(record + 10 * p_, "KBDTABLES");

    for (uint64_t a = Pointer(modifiers, "MODIFIERS");; a += 2) {
      const auto vk = Get<uint8_t>(a, "aVkToBits"), bits = Get<uint8_t>(a + 1, "aVkToBits");
      if (vk == 0 && bits == 0) break;
      s.vk_to_bits.emplace_back(vk, bits);
    }
    s.max_mod_bits = Get<uint16_t>(modifiers + p_, "MODIFIERS");
    if (s.max_mod_bits >= s.mod_number.size()) throw std::runtime_error("MODIFIERS: wMaxModBits");
    for (unsigned i = 0; i <= s.max_mod_bits; ++i) {
      s.mod_number[i] = Get<uint8_t>(modifiers + p_ + 2 + i, "MODIFIERS");
    }

    for (uint64_t entry = index;; entry += 2 * p_) {
      const uint64_t rows = Pointer(entry, "aVkToWcharTable");
      const auto columns = Get<uint8_t>(entry + p_, "aVkToWcharTable");
      const auto row_size = Get<uint8_t>(entry + p_ + 1, "aVkToWcharTable");
      if (rows == 0) {
        if (columns != 0 || row_size != 0) throw std::runtime_error("aVkToWcharTable: end entry");
        break;
      }
      s.tables.push_back(Rows(rows, columns, row_size));
    }

    for (uint64_t a = dead_keys;; a += 8) {
      DeadKey key{Get<uint32_t>(a, "aDeadKey"), Get<char16_t>(a + 4, "aDeadKey"),
                  Get<uint16_t>(a + 6, "aDeadKey")};
      if (key == DeadKey{}) break;
      s.dead_keys.push_back(key);
    }

    s.key_names = KeyNames(names, "aKeyNames");
    s.key_names_ext = KeyNames(names_ext, "aKeyNamesExt");
    for (uint64_t a = names_dead;; a += p_) {
      const uint64_t name = Pointer(a, "aKeyNamesDead");
      if (name == 0) break;
      s.dead_key_names.push_back(String(name, "aKeyNamesDead"));
    }

    for (unsigned scan = 0; scan < max_scan; ++scan) {
      s.scan_to_vk.push_back(Get<uint16_t>(scan_map + 2 * scan, "ausVK"));
    }
    s.e0 = ScanVks(e0, "aE0VscToVk");
    s.e1 = ScanVks(e1, "aE1VscToVk");
    return s;
  }

 private:
  const ImageMemory& image_;
  const unsigned p_;
};

}  // namespace

bool LayoutSnapshot::operator==(const LayoutSnapshot& o) const {
  auto fields = [](const LayoutSnapshot& s) {
    return std::tie(s.vk_to_bits, s.max_mod_bits, s.mod_number, s.tables, s.dead_keys, s.key_names,
                    s.key_names_ext, s.dead_key_names, s.scan_to_vk, s.e0, s.e1, s.locale_flags);
  };
  return fields(*this) == fields(o);
}

namespace {

void PrintCode(char16_t c, std::ostream* out) {
  char text[8];
  std::snprintf(text, sizeof text, "U+%04X", unsigned(c));
  *out << text;
}

}  // namespace

void PrintTo(const Row& row, std::ostream* out) {
  *out << "{vk 0x" << std::hex << int(row.vk) << std::dec << ", attributes " << int(row.attributes);
  for (char16_t c : row.cells) *out << ", ", PrintCode(c, out);
  *out << "}";
}

void PrintTo(const CharTable& table, std::ostream* out) {
  *out << table.columns << "-column table of " << table.rows.size() << " rows";
}

void PrintTo(const ScanVk& pair, std::ostream* out) {
  *out << "{scan 0x" << std::hex << int(pair.scan) << ", vk 0x" << pair.vk << std::dec << "}";
}

void PrintTo(const KeyName& name, std::ostream* out) {
  *out << "{scan 0x" << std::hex << int(name.scan) << std::dec << ", \"";
  for (char16_t c : name.name) c < 0x80 ? void(*out << char(c)) : PrintCode(c, out);
  *out << "\"}";
}

void PrintTo(const DeadKey& key, std::ostream* out) {
  *out << "{";
  PrintCode(key.both & 0xFFFF, out);
  *out << " with ";
  PrintCode(key.both >> 16, out);
  *out << " gives ";
  PrintCode(key.composed, out);
  *out << ", flags " << key.flags << "}";
}

void PrintTo(const LayoutSnapshot& s, std::ostream* out) {
  *out << "layout of " << s.tables.size() << " character tables, " << s.dead_keys.size()
       << " dead keys, " << s.scan_to_vk.size() << " scan codes, locale flags " << s.locale_flags;
}

LayoutSnapshot ReadLayout(const ImageMemory& image, uint64_t tables_address) {
  if (image.PointerSize() != 4 && image.PointerSize() != 8) {
    throw std::runtime_error("pointer size");
  }
  return Reader(image).Layout(tables_address);
}

}  // namespace layout_test
