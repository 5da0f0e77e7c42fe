// The kit's layout libraries, loaded once per test program.
#pragma once

#include <string>
#include <vector>

#include "nt/keyboard/layout.h"

namespace layout_tools_test {

// romakeys, svenkeys, ellkeys, vlamkeys and uskeys.
const std::vector<std::string>& KitLibraries();
std::string KitLibraryPath(const std::string& name);
const nt::kbd::Layout& KitLayout(const std::string& name);

}  // namespace layout_tools_test
