#include "nt/keyboard/layout_reader.h"

#include <cstddef>
#include <cstdio>

#include "layouts/common/layout_tables.h"

namespace nt::kbd {
namespace {

uint64_t Address(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

std::string Hex(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

class Reader {
 public:
  Reader(const Image& image, std::string* problem) : image_(image), problem_(problem) {}

  bool Read(uint64_t tables, Layout* layout) {
    KBDTABLES top;
    if (tables == 0) return Fail("KbdLayerDescriptor returned no tables");
    if (!image_.Read(tables, &top)) return Fail("the KBDTABLES record at " + Hex(tables) + " lies outside the image");
    layout->localeFlags = top.fLocaleFlags;
    return ReadModifiers(Address(top.pCharModifiers), layout) &&
           ReadScanMap(Address(top.pusVSCtoVK), top.bMaxVSCtoVK, layout) &&
           ReadPrefixMap("pVSCtoVK_E0", Address(top.pVSCtoVK_E0), &layout->e0ToVk) &&
           ReadPrefixMap("pVSCtoVK_E1", Address(top.pVSCtoVK_E1), &layout->e1ToVk) &&
           ReadCharTables(Address(top.pVkToWcharTable), layout) &&
           ReadDeadKeys(Address(top.pDeadKey), layout) &&
           ReadKeyNames("pKeyNames", Address(top.pKeyNames), &layout->keyNames) &&
           ReadKeyNames("pKeyNamesExt", Address(top.pKeyNamesExt), &layout->keyNamesExt) &&
           ReadDeadKeyNames(Address(top.pKeyNamesDead), layout);
  }

 private:
  bool Fail(const std::string& what) {
    *problem_ = what;
    return false;
  }

  bool Outside(const std::string& what, uint64_t address) {
    return Fail(what + " at " + Hex(address) + " lies outside the image or is misaligned");
  }

  bool ReadModifiers(uint64_t address, Layout* layout) {
    MODIFIERS modifiers;
    if (address == 0) return Fail("pCharModifiers is null");
    if (!image_.Read(address, &modifiers)) return Outside("the MODIFIERS record", address);
    if (modifiers.wMaxModBits >= sizeof modifiers.ModNumber) {
      return Fail("wMaxModBits " + std::to_string(modifiers.wMaxModBits) +
                  " exceeds the eight ModNumber entries");
    }
    for (unsigned bits = 0; bits <= modifiers.wMaxModBits; ++bits) {
      if (modifiers.ModNumber[bits] > SHFT_INVALID) {
        return Fail("ModNumber[" + std::to_string(bits) + "] is no column");
      }
    }
    layout->maxModBits = modifiers.wMaxModBits;
    for (size_t i = 0; i < layout->modNumber.size(); ++i) {
      layout->modNumber[i] = i <= modifiers.wMaxModBits ? modifiers.ModNumber[i] : SHFT_INVALID;
    }
    const uint64_t bits = Address(modifiers.pVkToBit);
    if (bits == 0) return Fail("pVkToBit is null");
    for (uint64_t at = bits;; at += sizeof(VK_TO_BIT)) {
      VK_TO_BIT entry;
      if (!image_.Read(at, &entry)) return Unterminated("aVkToBits", bits, at);
      if (entry.Vk == 0) break;
      layout->vkToBits.emplace_back(entry.Vk, entry.ModBits);
    }
    return true;
  }

  bool Unterminated(const std::string& what, uint64_t start, uint64_t at) {
    if (at == start) return Outside(what, start);
    return Fail(what + " at " + Hex(start) + " is not terminated within the image");
  }

  bool ReadScanMap(uint64_t address, unsigned count, Layout* layout) {
    if (address == 0) return Fail("pusVSCtoVK is null");
    const uint8_t* bytes = nullptr;
    if (address % alignof(uint16_t) != 0 || image_.Available(address, &bytes) < count * sizeof(uint16_t) ||
        bytes == nullptr) {
      return Fail("the " + std::to_string(count) + " entries of pusVSCtoVK at " + Hex(address) +
                  " (bMaxVSCtoVK) do not fit in the image");
    }
    layout->scanToVk.resize(count);
    if (count != 0) std::memcpy(layout->scanToVk.data(), bytes, count * sizeof(uint16_t));
    return true;
  }

  // A missing prefix map means no prefixed scan code has a key.
  bool ReadPrefixMap(const std::string& what, uint64_t address, std::vector<ScanVk>* map) {
    if (address == 0) return true;
    for (uint64_t at = address;; at += sizeof(VSC_VK)) {
      VSC_VK entry;
      if (!image_.Read(at, &entry)) return Unterminated(what, address, at);
      if (entry.Vsc == 0) break;
      map->push_back({entry.Vsc, entry.Vk});
    }
    return true;
  }

  bool ReadCharTables(uint64_t address, Layout* layout) {
    if (address == 0) return Fail("pVkToWcharTable is null");
    for (uint64_t at = address;; at += sizeof(VK_TO_WCHAR_TABLE)) {
      VK_TO_WCHAR_TABLE entry;
      if (!image_.Read(at, &entry)) return Unterminated("the aVkToWcharTable index", address, at);
      if (entry.pVkToWchars == nullptr) break;
      const std::string name = "character table " + std::to_string(layout->tables.size() + 1);
      if (layout->tables.size() >= 0xFF) return Fail("aVkToWcharTable lists too many tables");
      if (entry.nModifications == 0 || entry.nModifications > kMaxColumns) {
        return Fail(name + " has " + std::to_string(entry.nModifications) + " columns");
      }
      if (entry.cbSize != 2 + 2 * entry.nModifications) {
        return Fail(name + ": row size " + std::to_string(entry.cbSize) + " does not match " +
                    std::to_string(entry.nModifications) + " columns");
      }
      if (!ReadRows(name, Address(entry.pVkToWchars), entry.nModifications, entry.cbSize, layout)) {
        return false;
      }
    }
    return true;
  }

  bool ReadRows(const std::string& name, uint64_t address, unsigned columns, unsigned rowSize,
                Layout* layout) {
    CharTable table;
    table.columns = static_cast<uint8_t>(columns);
    table.firstRow = static_cast<uint32_t>(layout->rows.size());
    const uint8_t tableIndex = static_cast<uint8_t>(layout->tables.size());
    bool awaitingContinuation = false;
    for (uint64_t at = address;; at += rowSize) {
      const uint8_t* bytes = nullptr;
      if (at % alignof(char16_t) != 0 || image_.Available(at, &bytes) < rowSize) {
        if (awaitingContinuation) return Fail(name + ": a dead key at " + Hex(at - rowSize) + " has no continuation row");
        return Unterminated(name, address, at);
      }
      const uint8_t vk = bytes[0];
      char16_t cells[kMaxColumns];
      std::memcpy(cells, bytes + 2, 2 * columns);
      if (awaitingContinuation) {
        awaitingContinuation = false;
        if (vk != kContinuationKey) {
          return Fail(name + ": a dead key at " + Hex(at - rowSize) + " has no continuation row");
        }
        CharRow& dead = layout->rows.back();
        for (unsigned c = 0; c < columns; ++c) {
          if (dead.chars[c] != WCH_DEAD) continue;
          if (cells[c] == WCH_NONE || cells[c] == WCH_DEAD || cells[c] == 0) {
            return Fail(name + ": the continuation row at " + Hex(at) + " holds no accent in column " +
                        std::to_string(c));
          }
          dead.accents[c] = cells[c];
        }
        continue;
      }
      if (vk == 0) break;
      if (vk == kContinuationKey) {
        return Fail(name + ": the continuation row at " + Hex(at) + " follows no dead key");
      }
      CharRow row;
      row.virtualKey = vk;
      row.attributes = bytes[1];
      row.columns = static_cast<uint8_t>(columns);
      row.table = tableIndex;
      row.chars.fill(WCH_NONE);
      for (unsigned c = 0; c < columns; ++c) {
        row.chars[c] = cells[c];
        if (cells[c] == WCH_DEAD) awaitingContinuation = true;
      }
      layout->rows.push_back(row);
    }
    table.rowCount = static_cast<uint32_t>(layout->rows.size()) - table.firstRow;
    layout->tables.push_back(table);
    return true;
  }

  // A missing dead-key table means no accent composes.
  bool ReadDeadKeys(uint64_t address, Layout* layout) {
    if (address == 0) return true;
    for (uint64_t at = address;; at += sizeof(DEADKEY)) {
      DEADKEY entry;
      if (!image_.Read(at, &entry)) return Unterminated("aDeadKey", address, at);
      if (entry.dwBoth == 0) break;
      layout->deadKeys.push_back({static_cast<char16_t>(entry.dwBoth >> 16),
                                  static_cast<char16_t>(entry.dwBoth & 0xFFFF),
                                  entry.wchComposed, entry.uFlags});
    }
    return true;
  }

  bool ReadString(const std::string& what, uint64_t address, std::u16string* text) {
    const uint8_t* bytes = nullptr;
    const size_t available = address % alignof(char16_t) == 0 ? image_.Available(address, &bytes) : 0;
    if (available < sizeof(char16_t)) return Outside(what, address);
    for (size_t i = 0; i + 1 < available; i += 2) {
      char16_t c;
      std::memcpy(&c, bytes + i, sizeof c);
      if (c == 0) return true;
      text->push_back(c);
    }
    return Fail(what + " at " + Hex(address) + " is not terminated within the image");
  }

  bool ReadKeyNames(const std::string& what, uint64_t address, std::vector<ScanName>* names) {
    if (address == 0) return true;
    for (uint64_t at = address;; at += sizeof(VSC_LPWSTR)) {
      VSC_LPWSTR entry;
      if (!image_.Read(at, &entry)) return Unterminated(what, address, at);
      if (entry.vsc == 0) break;
      if (entry.pwsz == nullptr) {
        return Fail(what + ": the name of scan code " + Hex(entry.vsc) + " is null");
      }
      ScanName name{entry.vsc, {}};
      if (!ReadString(what + ": the name of scan code " + Hex(entry.vsc), Address(entry.pwsz),
                      &name.name)) {
        return false;
      }
      names->push_back(std::move(name));
    }
    return true;
  }

  bool ReadDeadKeyNames(uint64_t address, Layout* layout) {
    if (address == 0) return true;
    for (uint64_t at = address;; at += sizeof(const KBD_WCHAR*)) {
      const KBD_WCHAR* entry = nullptr;
      if (!image_.Read(at, &entry)) return Unterminated("pKeyNamesDead", address, at);
      if (entry == nullptr) break;
      std::u16string name;
      const std::string what = "dead-key name " + std::to_string(layout->deadKeyNames.size() + 1);
      if (!ReadString(what, Address(entry), &name)) return false;
      if (name.empty()) return Fail(what + " lacks its accent");
      layout->deadKeyNames.push_back(std::move(name));
    }
    return true;
  }

  const Image& image_;
  std::string* problem_;
};

}  // namespace

bool ReadLayout(const Image& image, uint64_t tables, Layout* layout, std::string* problem) {
  Layout read;
  std::string why;
  if (!Reader(image, &why).Read(tables, &read)) {
    if (problem != nullptr) *problem = why;
    return false;
  }
  read.Index();
  *layout = std::move(read);
  return true;
}

}  // namespace nt::kbd
