// The terminal backend: dialogs and message boxes drawn with ncurses on the
// controlling terminal.
//
// Keys in a dialog: Tab and Shift+Tab move between the controls in template
// order; the arrows, Page Up/Down, Home and End move in a list; in the edit
// field the arrows, Home, End, Backspace and Delete edit; Enter clicks the
// default button (shown as [<Install>]), Escape cancels, and F10 or Ctrl+Q
// is the close box ("F10 [x]" in the caption). In a message box Enter
// presses the focused button, Tab and the arrows move between buttons, a
// button's first letter presses it, and Escape (or F10, Ctrl+Q) answers
// Cancel, else No, else the lone OK. While the wait cursor shows, the
// caption says "Working...".
//
// The terminal is taken over while a dialog or a box is up and given back
// as soon as the outermost one ends.
#pragma once

#include <string>
#include <vector>

#include "framework/terminal/terminal_draw.h"
#include "framework/terminal/terminal_session.h"
#include "framework/ui_backend.h"

namespace framework {

class TerminalUi : public UiBackend {
 public:
  TerminalUi() = default;
  ~TerminalUi() override = default;

  int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override;
  void RunModalLoop(HWND dialog) override;
  void ShowWaitCursor(bool shown) override;

 private:
  class Use;
  void Redraw();

  TerminalSession session_;
  int depth_ = 0;
  std::vector<HWND> dialogs_;
  const BoxView* box_ = nullptr;
  bool busy_ = false;
};

}  // namespace framework
