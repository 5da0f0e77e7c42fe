// The keyboard commands of the station tool:
//   station type [--layout FILE|NAME] STROKE...
//   station keyboard                      the loaded layouts, the active one marked
//   station keyboard load NAME [FLAGS]    LoadKeyboardLayoutA (FLAGS default KLF_ACTIVATE)
//   station keyboard how [--layout FILE|NAME] CHAR
// A layout given as eight hexadecimal digits is a registered layout; anything
// else is a library file, loaded directly with the same checks. Without
// --layout the active layout is used.
#pragma once

#include "nt/keyboard/driver.h"
#include "tools/station/command.h"

namespace station {

// The commands over a given driver (the station's, or a test's); the exit status.
int RunType(Invocation& invocation, nt::kbd::KeyboardDriver& driver);
int RunKeyboard(Invocation& invocation, nt::kbd::KeyboardDriver& driver);

// A registered layout's text value ("Layout File", "Layout Text"), or empty.
std::string LayoutValue(const std::string& name, const char* value);

}  // namespace station
