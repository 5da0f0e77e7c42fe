// The .reg files that seed a new station (nt/seed/), built into the program
// so that an installed tool needs no source tree.
#pragma once

#include <string_view>

namespace nt {

// HKEY_LOCAL_MACHINE: the Keyboard Layouts key of a workstation.
std::string_view MachineSeed();
// HKEY_CURRENT_USER of a user new to the station: Preload 1 = 00000409.
std::string_view UserSeed();

}  // namespace nt
