#include "nt/keyboard/strokes.h"

#include <strings.h>

#include <charconv>

#include "layouts/common/layout_tables.h"
#include "layouts/common/virtual_keys.h"
#include "nt/keyboard/vk_names.h"

namespace nt::kbd {
namespace {

bool Equals(std::string_view a, const char* b) {
  return a.size() == std::char_traits<char>::length(b) && strncasecmp(a.data(), b, a.size()) == 0;
}

std::optional<uint8_t> Hex(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size() || text.empty() || value > 0x7F) {
    return std::nullopt;
  }
  return static_cast<uint8_t>(value);
}

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::optional<TextStroke> ParseStroke(std::string_view text, std::string* problem) {
  TextStroke stroke;
  std::string_view rest = text;
  // Every part before the last "+" is a modifier.
  for (size_t plus; (plus = rest.find('+')) != std::string_view::npos && plus + 1 < rest.size();) {
    const std::string_view modifier = rest.substr(0, plus);
    if (Equals(modifier, "Shift")) {
      stroke.modifiers.push_back(VK_LSHIFT);
    } else if (Equals(modifier, "Ctrl")) {
      stroke.modifiers.push_back(VK_LCONTROL);
    } else if (Equals(modifier, "Alt")) {
      stroke.modifiers.push_back(VK_LMENU);
    } else if (Equals(modifier, "AltGr")) {
      stroke.modifiers.push_back(VK_RMENU);
    } else {
      *problem = "\"" + std::string(modifier) + "\" is no modifier (Shift, Ctrl, Alt, AltGr)";
      return std::nullopt;
    }
    rest.remove_prefix(plus + 1);
  }
  if (rest.size() > 3 && Equals(rest.substr(0, 3), "sc:")) {
    std::string_view code = rest.substr(3);
    stroke.byScanCode = true;
    if (code.size() > 3 && (Equals(code.substr(0, 3), "e0:") || Equals(code.substr(0, 3), "e1:"))) {
      stroke.scan.prefix = code[1] == '0' ? Prefix::kE0 : Prefix::kE1;
      code.remove_prefix(3);
    }
    const auto value = Hex(code);
    if (!value) {
      *problem = "\"" + std::string(rest) + "\" is no scan code (sc:XX, sc:e0:XX, sc:e1:XX, XX below 80)";
      return std::nullopt;
    }
    stroke.scan.code = *value;
    return stroke;
  }
  if (Equals(rest, "CapsLock")) {
    stroke.vk = VK_CAPITAL;
  } else if (Equals(rest, "NumLock")) {
    stroke.vk = VK_NUMLOCK;
  } else if (const auto vk = VirtualKeyFromName(rest)) {
    stroke.vk = *vk;
  } else {
    *problem = "\"" + std::string(rest) + "\" is no key";
    return std::nullopt;
  }
  return stroke;
}

void TypeStroke(Translator& translator, const TextStroke& stroke, std::u16string* out) {
  for (uint8_t vk : stroke.modifiers) translator.Key(vk, true, out);
  if (stroke.byScanCode) {
    translator.Scan(stroke.scan, true, out);
    translator.Scan(stroke.scan, false, out);
  } else {
    translator.Key(stroke.vk, true, out);
    translator.Key(stroke.vk, false, out);
  }
  for (auto it = stroke.modifiers.rbegin(); it != stroke.modifiers.rend(); ++it) translator.Key(*it, false, out);
}

bool TypeText(const Layout& layout, const std::vector<std::string>& strokes, std::u16string* out,
              std::string* problem) {
  Translator translator(layout);
  for (const std::string& text : strokes) {
    const auto stroke = ParseStroke(text, problem);
    if (!stroke) return false;
    TypeStroke(translator, *stroke, out);
  }
  return true;
}

std::string DescribeStroke(const Layout& layout, const Stroke& stroke) {
  std::string text;
  const bool altGr = (layout.localeFlags & KLLF_ALTGR) != 0 &&
                     (stroke.modBits & (KBDCTRL | KBDALT)) == (KBDCTRL | KBDALT);
  if (stroke.modBits & KBDSHIFT) text += "Shift+";
  if (altGr) {
    text += "AltGr+";
  } else {
    if (stroke.modBits & KBDCTRL) text += "Ctrl+";
    if (stroke.modBits & KBDALT) text += "Alt+";
  }
  return text + VirtualKeyName(stroke.vk);
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(c, &out);
  }
  return out;
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const int length = byte < 0x80 ? 1 : (byte >> 5) == 6 ? 2 : (byte >> 4) == 14 ? 3 : (byte >> 3) == 30 ? 4 : 0;
    char32_t c = length == 1 ? byte : length == 2 ? byte & 0x1F : length == 3 ? byte & 0x0F : byte & 0x07;
    bool good = length != 0 && i + length <= text.size();
    for (int k = 1; good && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      good = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    if (!good || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
    i += length;
  }
  return out;
}

}  // namespace nt::kbd
