// The keyboard commands of the station tool:
//   station type [--layout FILE|NAME] STROKE...
//   station keyboard                      the loaded layouts, the active one marked
//   station keyboard load NAME [FLAGS]    LoadKeyboardLayoutA (FLAGS default KLF_ACTIVATE)
//   station keyboard how [--layout FILE|NAME] CHAR
// A layout given as eight hexadecimal digits is a registered layout; anything
// else is a library file, loaded directly with the same checks. Without
// --layout the active layout is used. Each returns the process's exit code:
// 0, 1 when the work failed, 2 for a command line that is wrong.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "nt/keyboard/driver.h"

namespace station {

int TypeCommand(const std::vector<std::string>& args, nt::kbd::KeyboardDriver& driver, std::ostream& out,
                std::ostream& err);
int KeyboardCommand(const std::vector<std::string>& args, nt::kbd::KeyboardDriver& driver, std::ostream& out,
                    std::ostream& err);

}  // namespace station
