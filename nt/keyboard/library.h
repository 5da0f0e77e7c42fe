// Loading a layout library file: checked before it is mapped, its tables
// checked and copied after, and unmapped again.
#pragma once

#include <string>

#include "nt/keyboard/layout.h"
#include "nt/win32.h"

namespace nt::kbd {

// Loads the layout library at `path` (a host path) into *layout. Returns
// ERROR_SUCCESS, or the error with *problem saying what is wrong:
// ERROR_MOD_NOT_FOUND and other file errors, ERROR_BAD_EXE_FORMAT for a file
// that is no clean layout library or whose tables do not check out,
// ERROR_PROC_NOT_FOUND when it does not export KbdLayerDescriptor.
DWORD LoadLayoutLibrary(const std::string& path, Layout* layout, std::string* problem);

// Whether `name` is a plain file name: not empty, no directory part, not "." or "..".
bool IsPlainFileName(const std::string& name);

}  // namespace nt::kbd
