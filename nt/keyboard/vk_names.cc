#include "nt/keyboard/vk_names.h"

#include <strings.h>

#include <cstdio>

#include "layouts/common/virtual_keys.h"

namespace nt::kbd {
namespace {

struct Named {
  const char* name;
  uint8_t vk;
};

constexpr Named kNames[] = {
    {"VK_CANCEL", VK_CANCEL},
    {"VK_BACK", VK_BACK},
    {"VK_TAB", VK_TAB},
    {"VK_CLEAR", VK_CLEAR},
    {"VK_RETURN", VK_RETURN},
    {"VK_SHIFT", VK_SHIFT},
    {"VK_CONTROL", VK_CONTROL},
    {"VK_MENU", VK_MENU},
    {"VK_PAUSE", VK_PAUSE},
    {"VK_CAPITAL", VK_CAPITAL},
    {"VK_ESCAPE", VK_ESCAPE},
    {"VK_SPACE", VK_SPACE},
    {"VK_PRIOR", VK_PRIOR},
    {"VK_NEXT", VK_NEXT},
    {"VK_END", VK_END},
    {"VK_HOME", VK_HOME},
    {"VK_LEFT", VK_LEFT},
    {"VK_UP", VK_UP},
    {"VK_RIGHT", VK_RIGHT},
    {"VK_DOWN", VK_DOWN},
    {"VK_SNAPSHOT", VK_SNAPSHOT},
    {"VK_INSERT", VK_INSERT},
    {"VK_DELETE", VK_DELETE},
    {"VK_NUMPAD0", VK_NUMPAD0},
    {"VK_NUMPAD1", VK_NUMPAD1},
    {"VK_NUMPAD2", VK_NUMPAD2},
    {"VK_NUMPAD3", VK_NUMPAD3},
    {"VK_NUMPAD4", VK_NUMPAD4},
    {"VK_NUMPAD5", VK_NUMPAD5},
    {"VK_NUMPAD6", VK_NUMPAD6},
    {"VK_NUMPAD7", VK_NUMPAD7},
    {"VK_NUMPAD8", VK_NUMPAD8},
    {"VK_NUMPAD9", VK_NUMPAD9},
    {"VK_MULTIPLY", VK_MULTIPLY},
    {"VK_ADD", VK_ADD},
    {"VK_SUBTRACT", VK_SUBTRACT},
    {"VK_DECIMAL", VK_DECIMAL},
    {"VK_DIVIDE", VK_DIVIDE},
    {"VK_F1", VK_F1},
    {"VK_F2", VK_F2},
    {"VK_F3", VK_F3},
    {"VK_F4", VK_F4},
    {"VK_F5", VK_F5},
    {"VK_F6", VK_F6},
    {"VK_F7", VK_F7},
    {"VK_F8", VK_F8},
    {"VK_F9", VK_F9},
    {"VK_F10", VK_F10},
    {"VK_F11", VK_F11},
    {"VK_F12", VK_F12},
    {"VK_F13", VK_F13},
    {"VK_F14", VK_F14},
    {"VK_F15", VK_F15},
    {"VK_F16", VK_F16},
    {"VK_F17", VK_F17},
    {"VK_F18", VK_F18},
    {"VK_F19", VK_F19},
    {"VK_F20", VK_F20},
    {"VK_F21", VK_F21},
    {"VK_F22", VK_F22},
    {"VK_F23", VK_F23},
    {"VK_F24", VK_F24},
    {"VK_NUMLOCK", VK_NUMLOCK},
    {"VK_SCROLL", VK_SCROLL},
    {"VK_LSHIFT", VK_LSHIFT},
    {"VK_RSHIFT", VK_RSHIFT},
    {"VK_LCONTROL", VK_LCONTROL},
    {"VK_RCONTROL", VK_RCONTROL},
    {"VK_LMENU", VK_LMENU},
    {"VK_RMENU", VK_RMENU},
    {"VK_OEM_1", VK_OEM_1},
    {"VK_OEM_PLUS", VK_OEM_PLUS},
    {"VK_OEM_COMMA", VK_OEM_COMMA},
    {"VK_OEM_MINUS", VK_OEM_MINUS},
    {"VK_OEM_PERIOD", VK_OEM_PERIOD},
    {"VK_OEM_2", VK_OEM_2},
    {"VK_OEM_3", VK_OEM_3},
    {"VK_OEM_4", VK_OEM_4},
    {"VK_OEM_5", VK_OEM_5},
    {"VK_OEM_6", VK_OEM_6},
    {"VK_OEM_7", VK_OEM_7},
    {"VK_OEM_102", VK_OEM_102},
    {"VK_EREOF", VK_EREOF},
    {"VK_NONAME", VK_NONAME},
};

}  // namespace

std::optional<uint8_t> VirtualKeyFromName(std::string_view name) {
  if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9'))) {
    return static_cast<uint8_t>(name[0]);
  }
  for (const Named& entry : kNames) {
    if (name.size() == std::char_traits<char>::length(entry.name) &&
        strncasecmp(name.data(), entry.name, name.size()) == 0) {
      return entry.vk;
    }
  }
  return std::nullopt;
}

std::string VirtualKeyName(uint8_t vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, static_cast<char>(vk));
  for (const Named& entry : kNames) {
    if (entry.vk == vk) return entry.name;
  }
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", vk);
  return text;
}

}  // namespace nt::kbd
