// The window system behind the window calls of nt/win32.h: it keeps every
// dialog and control as a Window, runs their default procedures (list box,
// edit field, button, dialog) and hands messages to the CWnd attached to a
// window first. UI backends read the windows to show them and change them
// only through the dialog manager (framework/dialog_manager.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/dialog_template.h"
#include "nt/win32.h"

class CWnd;

namespace framework {

enum class ControlKind { kDialog, kPushButton, kGroupBox, kEdit, kListBox, kStatic };

// A drawing made while the window painted itself.
struct PaintOp {
  enum Kind { kEraseIconBackground, kDrawIcon } kind;
  int x = 0;
  int y = 0;
  HICON icon = nullptr;
};

struct Window {
  Window();
  ~Window();

  HWND handle = nullptr;
  ControlKind kind = ControlKind::kStatic;
  HWND parent = nullptr;  // a control's dialog; a dialog's owner
  int id = 0;
  std::string text;
  DWORD style = 0;
  RECT rect{};  // dialog units, within the dialog's client area; a dialog's own size
  CWnd* attached = nullptr;            // gets the window's messages first
  std::unique_ptr<CWnd> temporary;     // the wrapper CWnd::FromHandle hands out

  // List box.
  std::vector<std::string> items;
  int selection = -1;
  int top = 0;        // first item shown
  int pageRows = 1;   // items shown at once; the backend that shows it sets it

  // Edit field: the caret and the first byte shown, as byte offsets.
  size_t caret = 0;
  size_t scroll = 0;

  // Dialog.
  const DialogTemplate* dialogTemplate = nullptr;
  std::vector<HWND> controls;  // template order
  HWND focus = nullptr;
  bool ended = false;
  INT_PTR result = 0;
  bool iconic = false;
  std::vector<PaintOp> painted;

  bool enabled() const { return (style & WS_DISABLED) == 0; }
};

// The window of `handle`; null for a handle that names no window.
Window* LookupWindow(HWND handle);

// Creates a dialog and its controls from `dialogTemplate`, hidden from input
// until a backend runs its modal loop.
HWND CreateDialogWindow(const DialogTemplate& dialogTemplate, HWND owner);
// Sends WM_DESTROY and WM_NCDESTROY to the dialog and its controls and
// forgets them.
void DestroyDialogWindow(HWND dialog);

// The dialogs whose modal loops run, innermost last.
void PushModalDialog(HWND dialog);
void PopModalDialog(HWND dialog);
HWND ActiveDialog();

// Sends WM_COMMAND with `code` from `control` to its dialog.
void NotifyParent(const Window& control, WORD code);

// Pixel sizes of dialog units in the template's font (MS Sans Serif 8).
int DialogUnitsToPixelsX(int units);
int DialogUnitsToPixelsY(int units);

// The quit request the main window posts when it is destroyed.
void PostQuit(int exitCode);
void ClearQuit();
bool QuitPosted();
int QuitCode();

}  // namespace framework
