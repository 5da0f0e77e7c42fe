// Virtual keys by name: VK_OEM_4, VK_NUMPAD5, and a letter or digit for its own key.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nt::kbd {

// The virtual key a name stands for (VK_ names without regard to letter case).
std::optional<uint8_t> VirtualKeyFromName(std::string_view name);

// The name of a virtual key; one without a name is written 0xNN.
std::string VirtualKeyName(uint8_t vk);

}  // namespace nt::kbd
