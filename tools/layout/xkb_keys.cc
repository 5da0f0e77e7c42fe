#include "tools/layout/xkb_keys.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <array>
#include <cstdio>

#include "layouts/common/layout_tables.h"
#include "layouts/common/virtual_keys.h"

namespace layout_tools {
namespace {

using nt::kbd::Prefix;

constexpr xkb_keycode_t kEvdevOffset = 8;

struct Pair {
  uint8_t from;
  uint16_t to;
};

// E0 codes of a PC keyboard and the evdev codes Linux gives them. E0 0x46
// (Ctrl+Break) arrives as the Pause key, which E1 0x1D already is.
constexpr Pair kE0Evdev[] = {
    {0x1C, 96},  {0x1D, 97},  {0x35, 98},  {0x37, 99},  {0x38, 100}, {0x47, 102}, {0x48, 103},
    {0x49, 104}, {0x4B, 105}, {0x4D, 106}, {0x4F, 107}, {0x50, 108}, {0x51, 109}, {0x52, 110},
    {0x53, 111}, {0x5B, 125}, {0x5C, 126}, {0x5D, 127},
};
constexpr uint16_t kEvdevPause = 119;
constexpr uint16_t kEvdevF13 = 183;

struct Name {
  xkb_keycode_t keycode;
  const char* name;
};

constexpr Name kNames[] = {
    {9, "ESC"},   {10, "AE01"}, {11, "AE02"},  {12, "AE03"},  {13, "AE04"},  {14, "AE05"},  {15, "AE06"},
    {16, "AE07"}, {17, "AE08"}, {18, "AE09"},  {19, "AE10"},  {20, "AE11"},  {21, "AE12"},  {22, "BKSP"},
    {23, "TAB"},  {24, "AD01"}, {25, "AD02"},  {26, "AD03"},  {27, "AD04"},  {28, "AD05"},  {29, "AD06"},
    {30, "AD07"}, {31, "AD08"}, {32, "AD09"},  {33, "AD10"},  {34, "AD11"},  {35, "AD12"},  {36, "RTRN"},
    {37, "LCTL"}, {38, "AC01"}, {39, "AC02"},  {40, "AC03"},  {41, "AC04"},  {42, "AC05"},  {43, "AC06"},
    {44, "AC07"}, {45, "AC08"}, {46, "AC09"},  {47, "AC10"},  {48, "AC11"},  {49, "TLDE"},  {50, "LFSH"},
    {51, "BKSL"}, {52, "AB01"}, {53, "AB02"},  {54, "AB03"},  {55, "AB04"},  {56, "AB05"},  {57, "AB06"},
    {58, "AB07"}, {59, "AB08"}, {60, "AB09"},  {61, "AB10"},  {62, "RTSH"},  {63, "KPMU"},  {64, "LALT"},
    {65, "SPCE"}, {66, "CAPS"}, {67, "FK01"},  {68, "FK02"},  {69, "FK03"},  {70, "FK04"},  {71, "FK05"},
    {72, "FK06"}, {73, "FK07"}, {74, "FK08"},  {75, "FK09"},  {76, "FK10"},  {77, "NMLK"},  {78, "SCLK"},
    {79, "KP7"},  {80, "KP8"},  {81, "KP9"},   {82, "KPSU"},  {83, "KP4"},   {84, "KP5"},   {85, "KP6"},
    {86, "KPAD"}, {87, "KP1"},  {88, "KP2"},   {89, "KP3"},   {90, "KP0"},   {91, "KPDL"},  {94, "LSGT"},
    {95, "FK11"}, {96, "FK12"}, {104, "KPEN"}, {105, "RCTL"}, {106, "KPDV"}, {107, "PRSC"}, {108, "RALT"},
    {110, "HOME"}, {111, "UP"}, {112, "PGUP"}, {113, "LEFT"}, {114, "RGHT"}, {115, "END"},  {116, "DOWN"},
    {117, "PGDN"}, {118, "INS"}, {119, "DELE"}, {127, "PAUS"}, {133, "LWIN"}, {134, "RWIN"}, {135, "COMP"},
    {191, "FK13"}, {192, "FK14"}, {193, "FK15"}, {194, "FK16"}, {195, "FK17"}, {196, "FK18"}, {197, "FK19"},
    {198, "FK20"}, {199, "FK21"}, {200, "FK22"}, {201, "FK23"}, {202, "FK24"},
};

// Keypad scan codes (plain, or E0 for Enter and the divide key).
bool IsKeypad(nt::kbd::ScanCode scan) {
  if (scan.prefix == Prefix::kE0) return scan.code == 0x1C || scan.code == 0x35;
  if (scan.prefix != Prefix::kNone) return false;
  return scan.code == 0x37 || (scan.code >= 0x47 && scan.code <= 0x53);
}

}  // namespace

std::optional<xkb_keycode_t> KeycodeOf(nt::kbd::ScanCode scan, uint8_t vk) {
  switch (scan.prefix) {
    case Prefix::kNone:
      if (scan.code >= 0x01 && scan.code <= 0x58) return scan.code + kEvdevOffset;
      if (vk >= VK_F13 && vk <= VK_F24) return kEvdevF13 + (vk - VK_F13) + kEvdevOffset;
      return std::nullopt;
    case Prefix::kE0:
      for (const Pair& pair : kE0Evdev) {
        if (pair.from == scan.code) return pair.to + kEvdevOffset;
      }
      return std::nullopt;
    case Prefix::kE1:
      if (scan.code == 0x1D) return kEvdevPause + kEvdevOffset;
      return std::nullopt;
  }
  return std::nullopt;
}

std::string KeycodeName(xkb_keycode_t keycode) {
  for (const Name& name : kNames) {
    if (name.keycode == keycode) return std::string("<") + name.name + ">";
  }
  char text[16];
  std::snprintf(text, sizeof text, "<I%03u>", keycode);
  return text;
}

xkb_keysym_t FunctionKeysym(uint16_t vkWithFlags, bool altGr) {
  const uint8_t vk = vkWithFlags & 0xFF;
  const bool keypad = (vkWithFlags & KBDNUMPAD) != 0;
  if (vk >= VK_F1 && vk <= VK_F24) return XKB_KEY_F1 + (vk - VK_F1);
  switch (vk) {
    case VK_CLEAR: return keypad ? XKB_KEY_KP_Begin : XKB_KEY_Clear;
    case VK_PAUSE: return XKB_KEY_Pause;
    case VK_CAPITAL: return XKB_KEY_Caps_Lock;
    case VK_PRIOR: return keypad ? XKB_KEY_KP_Prior : XKB_KEY_Prior;
    case VK_NEXT: return keypad ? XKB_KEY_KP_Next : XKB_KEY_Next;
    case VK_END: return keypad ? XKB_KEY_KP_End : XKB_KEY_End;
    case VK_HOME: return keypad ? XKB_KEY_KP_Home : XKB_KEY_Home;
    case VK_LEFT: return keypad ? XKB_KEY_KP_Left : XKB_KEY_Left;
    case VK_UP: return keypad ? XKB_KEY_KP_Up : XKB_KEY_Up;
    case VK_RIGHT: return keypad ? XKB_KEY_KP_Right : XKB_KEY_Right;
    case VK_DOWN: return keypad ? XKB_KEY_KP_Down : XKB_KEY_Down;
    case VK_SNAPSHOT: return XKB_KEY_Print;
    case VK_INSERT: return keypad ? XKB_KEY_KP_Insert : XKB_KEY_Insert;
    case VK_DELETE: return keypad ? XKB_KEY_KP_Delete : XKB_KEY_Delete;
    case 0x5B: return XKB_KEY_Super_L;  // VK_LWIN
    case 0x5C: return XKB_KEY_Super_R;  // VK_RWIN
    case 0x5D: return XKB_KEY_Menu;     // VK_APPS
    case VK_NUMLOCK: return XKB_KEY_Num_Lock;
    case VK_SCROLL: return XKB_KEY_Scroll_Lock;
    case VK_LSHIFT: case VK_SHIFT: return XKB_KEY_Shift_L;
    case VK_RSHIFT: return XKB_KEY_Shift_R;
    case VK_LCONTROL: case VK_CONTROL: return XKB_KEY_Control_L;
    case VK_RCONTROL: return XKB_KEY_Control_R;
    case VK_LMENU: case VK_MENU: return XKB_KEY_Alt_L;
    case VK_RMENU: return altGr ? XKB_KEY_ISO_Level3_Shift : XKB_KEY_Alt_R;
    default: return XKB_KEY_NoSymbol;
  }
}

xkb_keysym_t CharacterKeysym(nt::kbd::ScanCode scan, char16_t c) {
  if (IsKeypad(scan)) {
    if (c >= u'0' && c <= u'9') return XKB_KEY_KP_0 + (c - u'0');
    switch (c) {
      case u'.': return XKB_KEY_KP_Decimal;
      case u',': return XKB_KEY_KP_Separator;
      case u'*': return XKB_KEY_KP_Multiply;
      case u'+': return XKB_KEY_KP_Add;
      case u'-': return XKB_KEY_KP_Subtract;
      case u'/': return XKB_KEY_KP_Divide;
      case u'\r': return XKB_KEY_KP_Enter;
      default: break;
    }
  }
  // DEL as a character, not the Delete key's keysym.
  if (c == 0x7F) return 0x01000000 | c;
  return xkb_utf32_to_keysym(c);
}

std::string KeysymName(xkb_keysym_t keysym) {
  char name[64];
  if (xkb_keysym_get_name(keysym, name, sizeof name) < 0) return "NoSymbol";
  return name;
}

}  // namespace layout_tools
