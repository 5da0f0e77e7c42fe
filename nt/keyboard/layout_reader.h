// Checks the tables of a layout library and copies them into a Layout.
#pragma once

#include <cstdint>
#include <string>

#include "nt/keyboard/image.h"
#include "nt/keyboard/layout.h"

namespace nt::kbd {

// Reads the layout whose top record (KBDTABLES) lies at `tables` in `image`.
// Every address the tables hold must lie inside the image, aligned for what
// it points at; every list must end within the image; rows must match their
// table's width; a dead cell must be followed by its continuation row. On
// success fills *layout (indexed) and returns true; otherwise *problem says
// what is wrong and where.
bool ReadLayout(const Image& image, uint64_t tables, Layout* layout, std::string* problem);

}  // namespace nt::kbd
