// The window calls of nt/win32.h over the windows of the window system.
#include <algorithm>
#include <cstring>

#include "framework/resources.h"
#include "framework/window_system.h"

using framework::ControlKind;
using framework::LookupWindow;
using framework::Window;

BOOL WINAPI IsWindow(HWND handle) { return LookupWindow(handle) != nullptr; }

HWND WINAPI GetParent(HWND handle) {
  const Window* window = LookupWindow(handle);
  return window == nullptr ? nullptr : window->parent;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
  const Window* window = LookupWindow(dialog);
  if (window == nullptr) return nullptr;
  for (HWND control : window->controls) {
    if (LookupWindow(control)->id == id) return control;
  }
  return nullptr;
}

int WINAPI GetDlgCtrlID(HWND control) {
  const Window* window = LookupWindow(control);
  return window == nullptr ? 0 : window->id;
}

int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  return static_cast<int>(
      SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int WINAPI GetWindowTextLengthA(HWND window) {
  return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
  return static_cast<BOOL>(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

HWND WINAPI SetFocus(HWND handle) {
  Window* control = LookupWindow(handle);
  if (control == nullptr || control->kind == ControlKind::kDialog) return nullptr;
  Window* dialog = LookupWindow(control->parent);
  if (dialog == nullptr) return nullptr;
  HWND previous = dialog->focus;
  if (previous == handle) return previous;
  dialog->focus = handle;
  if (previous != nullptr) {
    SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
  }
  SendMessageA(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return previous;
}

HWND WINAPI GetFocus(void) {
  const Window* dialog = LookupWindow(framework::ActiveDialog());
  return dialog == nullptr ? nullptr : dialog->focus;
}

BOOL WINAPI EnableWindow(HWND handle, BOOL enable) {
  Window* window = LookupWindow(handle);
  if (window == nullptr) return FALSE;
  const BOOL wasDisabled = !window->enabled();
  if (enable) {
    window->style &= ~static_cast<DWORD>(WS_DISABLED);
  } else {
    window->style |= WS_DISABLED;
  }
  return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND handle) {
  const Window* window = LookupWindow(handle);
  return window != nullptr && window->enabled();
}

BOOL WINAPI IsIconic(HWND handle) {
  const Window* window = LookupWindow(handle);
  return window != nullptr && window->iconic;
}

BOOL WINAPI GetClientRect(HWND handle, LPRECT rect) {
  const Window* window = LookupWindow(handle);
  if (window == nullptr || rect == nullptr) return FALSE;
  *rect = RECT{0, 0, framework::DialogUnitsToPixelsX(window->rect.right - window->rect.left),
               framework::DialogUnitsToPixelsY(window->rect.bottom - window->rect.top)};
  return TRUE;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
  Window* window = LookupWindow(dialog);
  if (window == nullptr || window->kind != ControlKind::kDialog) return FALSE;
  window->ended = true;
  window->result = result;
  return TRUE;
}

int WINAPI GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXICON:
    case SM_CYICON:
      return 32;
    case SM_CXSCREEN:
      return 640;
    case SM_CYSCREEN:
      return 480;
  }
  return 0;
}

// A window's paint context carries the window's own number.
HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint) {
  if (LookupWindow(window) == nullptr) return nullptr;
  HDC dc = reinterpret_cast<HDC>(window);
  if (paint != nullptr) {
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    GetClientRect(window, &paint->rcPaint);
  }
  return dc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT*) { return TRUE; }

BOOL WINAPI DrawIcon(HDC dc, int x, int y, HICON icon) {
  Window* window = LookupWindow(reinterpret_cast<HWND>(dc));
  if (window == nullptr || framework::IconFromHandle(icon) == nullptr) return FALSE;
  window->painted.push_back(framework::PaintOp{framework::PaintOp::kDrawIcon, x, y, icon});
  return TRUE;
}
