#include "tests/support/layout_image.h"

#include <tuple>

namespace testing_support {
namespace {

class Writer {
 public:
  explicit Writer(LayoutImage* image) : image_(image) {}

  // Appends `size` bytes from `data`, aligned to 8; returns their address.
  uint64_t Append(const void* data, size_t size) {
    while (image_->bytes.size() % 8 != 0) image_->bytes.push_back(0);
    const uint64_t address = image_->end();
    const auto* bytes = static_cast<const uint8_t*>(data);
    image_->bytes.insert(image_->bytes.end(), bytes, bytes + size);
    return address;
  }

  template <typename T>
  static size_t Count(const T* entries, bool (*last)(const T&)) {
    size_t n = 0;
    while (!last(entries[n])) ++n;
    return n + 1;
  }

  static size_t StringBytes(const KBD_WCHAR* text) {
    size_t n = 0;
    while (text[n] != 0) ++n;
    return (n + 1) * sizeof(KBD_WCHAR);
  }

  template <typename T>
  static T* Pointer(uint64_t address) {
    return reinterpret_cast<T*>(static_cast<uintptr_t>(address));
  }

  uint64_t Names(const VSC_LPWSTR* names) {
    const size_t count = Count<VSC_LPWSTR>(names, [](const VSC_LPWSTR& e) { return e.vsc == 0; });
    std::vector<VSC_LPWSTR> copy(names, names + count);
    for (VSC_LPWSTR& entry : copy) {
      if (entry.pwsz != nullptr) entry.pwsz = Pointer<const KBD_WCHAR>(Append(entry.pwsz, StringBytes(entry.pwsz)));
    }
    return Append(copy.data(), count * sizeof(VSC_LPWSTR));
  }

 private:
  LayoutImage* image_;
};

}  // namespace

LayoutImage SerializeLayout(const KBDTABLES& source, uint64_t base) {
  LayoutImage image;
  image.base = base;
  Writer w(&image);
  KBDTABLES top = source;
  image.at["KbdTables"] = w.Append(&top, sizeof top);

  MODIFIERS modifiers = *source.pCharModifiers;
  const size_t bits = Writer::Count<VK_TO_BIT>(modifiers.pVkToBit, [](const VK_TO_BIT& e) { return e.Vk == 0; });
  image.at["aVkToBits"] = w.Append(modifiers.pVkToBit, bits * sizeof(VK_TO_BIT));
  modifiers.pVkToBit = Writer::Pointer<const VK_TO_BIT>(image.at["aVkToBits"]);
  image.at["CharModifiers"] = w.Append(&modifiers, sizeof modifiers);
  top.pCharModifiers = Writer::Pointer<const MODIFIERS>(image.at["CharModifiers"]);

  image.at["ausVK"] = w.Append(source.pusVSCtoVK, source.bMaxVSCtoVK * sizeof(uint16_t));
  top.pusVSCtoVK = Writer::Pointer<const uint16_t>(image.at["ausVK"]);
  for (auto [name, map, field] : {std::tuple{"aE0VscToVk", source.pVSCtoVK_E0, &top.pVSCtoVK_E0},
                                  std::tuple{"aE1VscToVk", source.pVSCtoVK_E1, &top.pVSCtoVK_E1}}) {
    const size_t n = Writer::Count<VSC_VK>(map, [](const VSC_VK& e) { return e.Vsc == 0; });
    image.at[name] = w.Append(map, n * sizeof(VSC_VK));
    *field = Writer::Pointer<const VSC_VK>(image.at[name]);
  }

  std::vector<VK_TO_WCHAR_TABLE> index;
  for (const VK_TO_WCHAR_TABLE* t = source.pVkToWcharTable;; ++t) {
    index.push_back(*t);
    if (t->pVkToWchars == nullptr) break;
    size_t rows = 0;
    const auto* row = reinterpret_cast<const uint8_t*>(t->pVkToWchars);
    while (row[rows * t->cbSize] != 0) ++rows;
    const std::string name = "aVkToWch" + std::to_string(t->nModifications);
    image.at[name] = w.Append(row, (rows + 1) * t->cbSize);
    index.back().pVkToWchars = Writer::Pointer<const VK_TO_WCHARS1>(image.at[name]);
  }
  image.at["aVkToWcharTable"] = w.Append(index.data(), index.size() * sizeof(VK_TO_WCHAR_TABLE));
  top.pVkToWcharTable = Writer::Pointer<const VK_TO_WCHAR_TABLE>(image.at["aVkToWcharTable"]);

  const size_t dead = Writer::Count<DEADKEY>(source.pDeadKey, [](const DEADKEY& e) { return e.dwBoth == 0; });
  image.at["aDeadKey"] = w.Append(source.pDeadKey, dead * sizeof(DEADKEY));
  top.pDeadKey = Writer::Pointer<const DEADKEY>(image.at["aDeadKey"]);

  image.at["aKeyNames"] = w.Names(source.pKeyNames);
  top.pKeyNames = Writer::Pointer<const VSC_LPWSTR>(image.at["aKeyNames"]);
  image.at["aKeyNamesExt"] = w.Names(source.pKeyNamesExt);
  top.pKeyNamesExt = Writer::Pointer<const VSC_LPWSTR>(image.at["aKeyNamesExt"]);

  std::vector<const KBD_WCHAR*> deadNames;
  for (const KBD_WCHAR* const* name = source.pKeyNamesDead; *name != nullptr; ++name) {
    deadNames.push_back(Writer::Pointer<const KBD_WCHAR>(w.Append(*name, Writer::StringBytes(*name))));
  }
  deadNames.push_back(nullptr);
  image.at["aKeyNamesDead"] = w.Append(deadNames.data(), deadNames.size() * sizeof(const KBD_WCHAR*));
  top.pKeyNamesDead = Writer::Pointer<const KBD_WCHAR* const>(image.at["aKeyNamesDead"]);

  image.Put(image.tables(), top);
  return image;
}

}  // namespace testing_support
