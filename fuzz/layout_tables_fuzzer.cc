// Feeds arbitrary bytes to the layout table reader as a library image that
// stands at 0x10000 with its KBDTABLES record first, and types through every
// layout it accepts: nothing it accepts may make the translator misbehave.
#include <cstdint>
#include <string>

#include "layouts/common/virtual_keys.h"
#include "nt/keyboard/layout_reader.h"
#include "nt/keyboard/lookup.h"
#include "nt/keyboard/translator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr uint64_t kBase = 0x10000;
  const nt::kbd::Image image(data, size, kBase);
  nt::kbd::Layout layout;
  std::string problem;
  if (!nt::kbd::ReadLayout(image, kBase, &layout, &problem)) {
    if (problem.empty()) __builtin_trap();
    return 0;
  }
  nt::kbd::Translator translator(layout);
  std::u16string out;
  const uint8_t modifiers[] = {0, VK_LSHIFT, VK_RMENU, VK_LCONTROL, VK_LMENU};
  for (uint8_t modifier : modifiers) {
    if (modifier != 0) translator.Key(modifier, true, &out);
    for (unsigned code = 0; code < 0x80; ++code) {
      for (auto prefix : {nt::kbd::Prefix::kNone, nt::kbd::Prefix::kE0, nt::kbd::Prefix::kE1}) {
        translator.Scan({static_cast<uint8_t>(code), prefix}, true, &out);
        translator.Scan({static_cast<uint8_t>(code), prefix}, false, &out);
      }
    }
    if (modifier != 0) translator.Key(modifier, false, &out);
  }
  for (unsigned vk = 1; vk < 0xFF; ++vk) {
    translator.Key(static_cast<uint8_t>(vk), true, &out);
    translator.Key(static_cast<uint8_t>(vk), false, &out);
  }
  for (const nt::kbd::CharRow& row : layout.rows) {
    for (unsigned c = 0; c < row.columns; ++c) nt::kbd::WaysToType(layout, row.chars[c]);
  }
  for (const nt::kbd::ScanName& name : layout.keyNames) nt::kbd::KeyName(layout, {name.scan});
  for (const std::u16string& name : layout.deadKeyNames) nt::kbd::DeadKeyName(layout, name[0]);
  return 0;
}
