// Strokes written as text, the way `station type` takes them: optional
// modifiers Shift, Ctrl, Alt, AltGr joined by "+", then a key: sc:XX,
// sc:e0:XX or sc:e1:XX (hexadecimal scan code), a virtual-key name such as
// VK_OEM_4, a letter A-Z or digit 0-9 naming that virtual key, CapsLock or
// NumLock (each toggles its lock).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nt/keyboard/lookup.h"
#include "nt/keyboard/translator.h"

namespace nt::kbd {

struct TextStroke {
  std::vector<uint8_t> modifiers;  // VK_LSHIFT, VK_LCONTROL, VK_LMENU, VK_RMENU
  bool byScanCode = false;
  ScanCode scan;
  uint8_t vk = 0;
};

// The stroke `text` names, or nullopt with *problem saying what is wrong.
std::optional<TextStroke> ParseStroke(std::string_view text, std::string* problem);

// Presses the modifiers, presses and releases the key, releases the modifiers.
void TypeStroke(Translator& translator, const TextStroke& stroke, std::u16string* out);

// Types every stroke of `strokes` (each parsed as above) from a fresh
// keyboard state; false with *problem on a stroke that does not parse.
bool TypeText(const Layout& layout, const std::vector<std::string>& strokes, std::u16string* out,
              std::string* problem);

// A stroke as text that ParseStroke reads back: "AltGr+VK_OEM_6", "Shift+A".
std::string DescribeStroke(const Layout& layout, const Stroke& stroke);

// UTF-16 to UTF-8 and back; unpaired surrogates and bad bytes become U+FFFD.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace nt::kbd
