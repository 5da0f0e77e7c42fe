// What a picture of a layout shows on each key of the main block: the four
// levels of a character key, or the name of any other key.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "tools/layout/key_cells.h"
#include "tools/layout/keyboard_geometry.h"

namespace layout_tools {

struct KeyCap {
  KeyPlace place = {};
  bool characters = false;  // a key that types characters shows its four levels
  std::array<Cell, kLevels> cells{};
  std::string label = {};  // what other keys show: the layout's name for the key
  std::string shortLabel = {};  // for little room: an E0 key's plain twin's name ("Ctrl")
};

std::vector<KeyCap> KeyCaps(const nt::kbd::Layout& layout);

}  // namespace layout_tools
