// How a character of a layout is shown on a key cap: control characters in
// caret notation (^\\ for U+001C), combining marks on a dotted circle, space as ␣.
#pragma once

#include <string>

#include "tools/layout/key_cells.h"

namespace layout_tools {

bool IsCombiningMark(char16_t c);

// The text shown for `c`, in UTF-8.
std::string Glyph(char16_t c);

// The text shown for a cell: empty for none.
std::string Glyph(const Cell& cell);

// U+XXXX.
std::string CodePoint(char16_t c);

}  // namespace layout_tools
