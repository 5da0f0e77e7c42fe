// A layout's keyboard drawn with box-drawing characters for a terminal.
#pragma once

#include <string>

#include "nt/keyboard/layout.h"

namespace layout_tools {

// The main block in its rows, each character key with Shift and Shift+AltGr
// above, base and AltGr below, dead keys followed by "•"; a title line above
// and a legend below. UTF-8, lines ending in "\n".
std::string TextPicture(const nt::kbd::Layout& layout, const std::string& title);

}  // namespace layout_tools
