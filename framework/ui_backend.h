// A UI backend shows the framework's dialogs and message boxes: desktop,
// terminal, or scripted for tests. It is the program's user-interface
// service (nt/ui.h), so MessageBoxA and the framework's dialogs reach the
// same backend:
//
//   framework::ScriptedUi ui;
//   nt::ScopedServices services({.ui = &ui});
#pragma once

#include "nt/ui.h"
#include "nt/win32.h"

namespace framework {

class UiBackend : public nt::UserInterface {
 public:
  // Shows the dialog and hands the user's input to the dialog manager
  // (framework/dialog_manager.h) until the dialog has ended.
  virtual void RunModalLoop(HWND dialog) = 0;
  // The wait cursor appears (true) or goes (false).
  virtual void ShowWaitCursor(bool shown) = 0;
};

// The backend of the current user-interface service; null when that
// service shows message boxes only.
UiBackend* CurrentBackend();

// Counts the wait cursor up (1), down (-1) or shows it again if counted (0);
// the backend hears of it when it appears and when it goes.
void DoWaitCursor(int code);
bool IsWaitCursorShown();

}  // namespace framework
