// A layout's keyboard as an SVG picture.
#pragma once

#include <string>

#include "nt/keyboard/layout.h"

namespace layout_tools {

// The main block with four characters on each character key (Shift top left,
// base bottom left, Shift+AltGr top right, AltGr bottom right), dead keys in
// a colour of their own, the other keys named, `title` above and a legend
// below. Each key is a group with id "key-XX" (scan code) or "key-e0-XX";
// its levels are text elements of class "level" and "base", "shift",
// "altgr" or "shift-altgr", with "dead" added for a dead key.
std::string SvgPicture(const nt::kbd::Layout& layout, const std::string& title);

}  // namespace layout_tools
