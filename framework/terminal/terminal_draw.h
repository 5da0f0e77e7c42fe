// Drawing the dialogs and message boxes of the terminal backend with
// ncurses. Each function draws into the current screen and says where the
// terminal's cursor belongs.
#pragma once

#include <string>

#include "framework/window_system.h"
#include "nt/win32.h"

namespace framework {

struct CursorSpot {
  bool shown = false;
  int row = 0;
  int column = 0;
};

struct BoxView {
  std::string text;
  std::string caption;
  UINT type = MB_OK;
  int focus = 0;  // index of the focused button
};

// Draws the dialog centred on the screen; fixes the list's page size and
// scroll and the edit field's scroll to what fits.
CursorSpot DrawDialog(Window& dialog, bool busy);
CursorSpot DrawMessageBox(const BoxView& box);
// The key hints on the screen's last row.
void DrawHints(const std::string& hints);

}  // namespace framework
