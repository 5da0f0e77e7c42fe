// What a message box of a given MB_ type offers: its buttons, the default
// one, its icon mark, and what Escape or a letter answers.
#pragma once

#include <vector>

#include "nt/win32.h"

namespace framework {

struct MessageBoxButton {
  int id;             // IDOK, IDYES, ...
  const char* label;  // "OK", "Yes", ...
};

// The buttons of `type` in the order shown; an unknown MB_TYPEMASK value
// shows OK alone.
std::vector<MessageBoxButton> MessageBoxButtons(UINT type);
// The index of the button that Enter presses at first (MB_DEFBUTTONn).
int MessageBoxDefaultButton(UINT type);
// What Escape answers: IDCANCEL with a Cancel button, else IDNO with a No
// button, else IDOK for a lone OK; 0 when Escape does nothing.
int MessageBoxEscapeResult(UINT type);
// The button whose label starts with `letter`, in any case; 0 when none.
int MessageBoxButtonForLetter(UINT type, char letter);
// "(X)", "(?)", "(!)" or "(i)" for the MB_ICON... of `type`; "" without one.
const char* MessageBoxIconMark(UINT type);

}  // namespace framework
