// The program's icon (framework::ProgramIcon) in every size it has, for
// the title bars of the program's windows.
#pragma once

#include <wx/iconbndl.h>

namespace framework {

// Empty when the program has no icon.
wxIconBundle ProgramIconBundle();

}  // namespace framework
