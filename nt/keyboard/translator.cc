#include "nt/keyboard/translator.h"

#include "layouts/common/layout_tables.h"
#include "layouts/common/virtual_keys.h"

namespace nt::kbd {
namespace {

// A dead-key entry whose result is itself an accent waiting for more.
constexpr uint16_t kDeadResult = 0x0001;

bool IsModifier(uint8_t vk) {
  switch (vk) {
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT:
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL:
    case VK_MENU: case VK_LMENU: case VK_RMENU:
      return true;
    default:
      return false;
  }
}

}  // namespace

uint16_t VirtualKeyOf(const Layout& layout, ScanCode scan) {
  if (scan.code >= 0x80) return kNoKey;
  switch (scan.prefix) {
    case Prefix::kE0: return layout.e0Vk[scan.code];
    case Prefix::kE1: return layout.e1Vk[scan.code];
    default: return layout.plainVk[scan.code];
  }
}

uint8_t NumLockVirtualKey(uint8_t vk) {
  switch (vk) {
    case VK_INSERT: return VK_NUMPAD0;
    case VK_END: return VK_NUMPAD1;
    case VK_DOWN: return VK_NUMPAD2;
    case VK_NEXT: return VK_NUMPAD3;
    case VK_LEFT: return VK_NUMPAD4;
    case VK_CLEAR: return VK_NUMPAD5;
    case VK_RIGHT: return VK_NUMPAD6;
    case VK_HOME: return VK_NUMPAD7;
    case VK_UP: return VK_NUMPAD8;
    case VK_PRIOR: return VK_NUMPAD9;
    case VK_DELETE: return VK_DECIMAL;
    default: return 0;
  }
}

void Translator::Scan(ScanCode scan, bool down, std::u16string* out) {
  const uint16_t vk = VirtualKeyOf(layout_, scan);
  if ((vk & 0xFF) == kNoKey) return;
  uint8_t key = static_cast<uint8_t>(vk);
  // With Num Lock on, the keypad gives digits; Shift reverses it for the
  // time it is held, as on the platform.
  if ((vk & KBDNUMPAD) != 0 && num_ && (bits_ & KBDSHIFT) == 0) {
    if (const uint8_t digit = NumLockVirtualKey(key)) key = digit;
  }
  Key(key, down, out);
}

void Translator::Feed(uint8_t byte, std::u16string* out) {
  if (e1Left_ > 0) {
    // E1 1D 45: the first byte after the prefix is the key, the second ends the sequence.
    if (e1Left_-- == 2) Scan({static_cast<uint8_t>(byte & 0x7F), Prefix::kE1}, (byte & 0x80) == 0, out);
    return;
  }
  if (byte == 0xE0) {
    prefix_ = Prefix::kE0;
    return;
  }
  if (byte == 0xE1) {
    prefix_ = Prefix::kNone;
    e1Left_ = 2;
    return;
  }
  const Prefix prefix = prefix_;
  prefix_ = Prefix::kNone;
  Scan({static_cast<uint8_t>(byte & 0x7F), prefix}, (byte & 0x80) == 0, out);
}

void Translator::UpdateModifiers() {
  const bool altGr = (layout_.localeFlags & KLLF_ALTGR) != 0 && IsDown(VK_RMENU);
  const bool shift = IsDown(VK_SHIFT) || IsDown(VK_LSHIFT) || IsDown(VK_RSHIFT);
  const bool control = IsDown(VK_CONTROL) || IsDown(VK_LCONTROL) || IsDown(VK_RCONTROL) || altGr;
  const bool menu = IsDown(VK_MENU) || IsDown(VK_LMENU) || IsDown(VK_RMENU);
  bits_ = 0;
  for (const auto& [vk, bits] : layout_.vkToBits) {
    if ((vk == VK_SHIFT && shift) || (vk == VK_CONTROL && control) || (vk == VK_MENU && menu) ||
        (vk != VK_SHIFT && vk != VK_CONTROL && vk != VK_MENU && IsDown(vk))) {
      bits_ |= bits;
    }
  }
}

void Translator::Key(uint8_t vk, bool down, std::u16string* out) {
  const bool wasDown = down_[vk];
  down_[vk] = down;
  if (IsModifier(vk)) {
    UpdateModifiers();
    return;
  }
  if (!down) return;
  if (vk == VK_CAPITAL) {
    if (!wasDown) caps_ = !caps_;
    return;
  }
  if (vk == VK_NUMLOCK) {
    if (!wasDown) num_ = !num_;
    return;
  }
  const CharRow* row = layout_.RowOf(vk);
  if (row == nullptr) return;
  unsigned bits = bits_;
  // Caps Lock acts as Shift on a CAPLOK key, unless Ctrl or Alt is held.
  if ((row->attributes & CAPLOK) != 0 && caps_ && (bits & (KBDCTRL | KBDALT)) == 0) bits ^= KBDSHIFT;
  const uint8_t column = layout_.Column(bits);
  if (column >= row->columns) return;
  const char16_t c = row->chars[column];
  if (c == WCH_NONE) return;
  if (c == WCH_DEAD) {
    Emit(row->accents[column], true, out);
  } else {
    Emit(c, false, out);
  }
}

void Translator::Emit(char16_t c, bool dead, std::u16string* out) {
  if (accent_ == 0) {
    if (dead) {
      accent_ = c;
    } else {
      out->push_back(c);
    }
    return;
  }
  const char16_t accent = accent_;
  accent_ = 0;
  if (const DeadKey* entry = layout_.Compose(accent, c)) {
    if ((entry->flags & kDeadResult) != 0) {
      accent_ = entry->composed;
    } else {
      out->push_back(entry->composed);
    }
    return;
  }
  // An accent that does not compose with what follows stands as itself,
  // followed by that character (or by the second accent).
  out->push_back(accent);
  out->push_back(c);
}

}  // namespace nt::kbd
