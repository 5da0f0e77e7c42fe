// The dialog manager: what the user's keys and clicks do to a dialog, the
// same for every backend. Each call runs the dialog's handlers to their end
// (message boxes included) before it returns.
//
// Tab and Shift+Tab move the focus through the controls with WS_TABSTOP in
// template order. Enter clicks the default button: the focused push button,
// else the BS_DEFPUSHBUTTON one. Escape sends IDCANCEL. In a list the arrows,
// Page Up/Down, Home and End move the selection and a letter selects the
// next item that starts with it; in an edit field the arrows, Home, End,
// Backspace and Delete edit and typed text goes in at the caret.
#pragma once

#include <string_view>

#include "nt/win32.h"

namespace framework {

enum class Key {
  kTab,
  kBackTab,
  kEnter,
  kEscape,
  kUp,
  kDown,
  kLeft,
  kRight,
  kHome,
  kEnd,
  kPageUp,
  kPageDown,
  kBackspace,
  kDelete,
};

void PressKey(HWND dialog, Key key);
// Printable text typed with the focus where it is; control characters are dropped.
void TypeText(HWND dialog, std::string_view text);
// A mouse click: the control takes the focus and acts.
void ClickButton(HWND button);
void ClickListItem(HWND list, int index);
// The close box of the title bar.
void CloseDialog(HWND dialog);

// The tab stop after (or before) `from`, wrapping; the first (or last) when
// `from` is null. Null when the dialog has none.
HWND NextTabStop(HWND dialog, HWND from, bool backwards);
// The button Enter clicks now; null when there is none.
HWND CurrentDefaultButton(HWND dialog);

}  // namespace framework
