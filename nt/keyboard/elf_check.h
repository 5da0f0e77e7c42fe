// The checks a layout library passes before it is mapped. A layout library is
// data: it may not need another library, run code when it is loaded or
// unloaded, import anything, or export anything but KbdLayerDescriptor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "nt/win32.h"

namespace nt::kbd {

// Checks the bytes of a library file built for this machine. Returns
// ERROR_SUCCESS, ERROR_PROC_NOT_FOUND when KbdLayerDescriptor is not
// exported as a function, or ERROR_BAD_EXE_FORMAT; *problem says why.
DWORD CheckLayoutElf(const uint8_t* data, size_t size, std::string* problem);

}  // namespace nt::kbd
