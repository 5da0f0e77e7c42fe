#include "framework/window_system.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "framework/cwnd.h"
#include "framework/resources.h"

namespace framework {
namespace {

struct State {
  std::map<uintptr_t, std::unique_ptr<Window>> windows;
  uintptr_t nextHandle = 0x10000;
  std::vector<HWND> modal;
  bool quitPosted = false;
  int quitCode = 0;
};

State& Windows() {
  static State state;
  return state;
}

ControlKind KindOf(const DialogItemTemplate& item) {
  const std::string cls = item.windowClass;
  if (cls == kEditClass) return ControlKind::kEdit;
  if (cls == kListBoxClass) return ControlKind::kListBox;
  if (cls == kButtonClass) {
    return (item.style & BS_TYPEMASK) == BS_GROUPBOX ? ControlKind::kGroupBox
                                                      : ControlKind::kPushButton;
  }
  return ControlKind::kStatic;
}

Window& NewWindow() {
  State& state = Windows();
  auto window = std::make_unique<Window>();
  window->handle = reinterpret_cast<HWND>(state.nextHandle++);
  Window& result = *window;
  state.windows[reinterpret_cast<uintptr_t>(result.handle)] = std::move(window);
  return result;
}

// Copies `text` into a caller's buffer of `size` bytes, cut to fit and
// ending in a zero; returns the bytes copied without the zero.
LRESULT CopyText(const std::string& text, WPARAM size, LPARAM buffer) {
  char* out = reinterpret_cast<char*>(buffer);
  if (out == nullptr || size == 0) return 0;
  const size_t n = std::min(text.size(), static_cast<size_t>(size) - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return static_cast<LRESULT>(n);
}

void ScrollSelectionIntoView(Window& list) {
  if (list.selection < 0) return;
  if (list.selection < list.top) list.top = list.selection;
  const int rows = std::max(1, list.pageRows);
  if (list.selection >= list.top + rows) list.top = list.selection - rows + 1;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

LRESULT ListBoxProc(Window& list, UINT message, WPARAM wParam, LPARAM lParam) {
  const int count = static_cast<int>(list.items.size());
  const int index = static_cast<int>(wParam);
  switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
      const char* text = reinterpret_cast<const char*>(lParam);
      std::string item = text == nullptr ? "" : text;
      int at = count;
      if (message == LB_INSERTSTRING && index >= 0 && index <= count) {
        at = index;
      } else if (message == LB_ADDSTRING && (list.style & LBS_SORT) != 0) {
        at = static_cast<int>(
            std::upper_bound(list.items.begin(), list.items.end(), item, LessIgnoringCase) -
            list.items.begin());
      } else if (message == LB_INSERTSTRING && index != -1) {
        return LB_ERR;
      }
      list.items.insert(list.items.begin() + at, std::move(item));
      if (list.selection >= at) ++list.selection;
      return at;
    }
    case LB_DELETESTRING:
      if (index < 0 || index >= count) return LB_ERR;
      list.items.erase(list.items.begin() + index);
      if (list.selection == index) list.selection = -1;
      if (list.selection > index) --list.selection;
      list.top = std::clamp(list.top, 0, std::max(0, count - 2));
      return count - 1;
    case LB_RESETCONTENT:
      list.items.clear();
      list.selection = -1;
      list.top = 0;
      return 0;
    case LB_SETCURSEL:
      if (index < 0 || index >= count) {
        if (index == -1) list.selection = -1;
        return LB_ERR;
      }
      list.selection = index;
      ScrollSelectionIntoView(list);
      return index;
    case LB_GETCURSEL:
      return list.selection;
    case LB_GETTEXT:
      if (index < 0 || index >= count) return LB_ERR;
      // The caller's buffer holds LB_GETTEXTLEN bytes and a zero.
      std::memcpy(reinterpret_cast<char*>(lParam), list.items[index].c_str(),
                  list.items[index].size() + 1);
      return static_cast<LRESULT>(list.items[index].size());
    case LB_GETTEXTLEN:
      if (index < 0 || index >= count) return LB_ERR;
      return static_cast<LRESULT>(list.items[index].size());
    case LB_GETCOUNT:
      return count;
    case LB_GETTOPINDEX:
      return list.top;
    case LB_SETTOPINDEX:
      if (index < 0 || (index >= count && count > 0)) return LB_ERR;
      list.top = index;
      return LB_OKAY;
    case LB_FINDSTRINGEXACT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      for (int i = 0; i < count && text != nullptr; ++i) {
        const int at = (index + 1 + i) % count;
        if (strcasecmp(list.items[at].c_str(), text) == 0) return at;
      }
      return LB_ERR;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (list.style & LBS_NOTIFY) {
        NotifyParent(list, message == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
      }
      return 0;
  }
  return 0;
}

LRESULT EditProc(Window& edit, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_SETFOCUS:
      edit.caret = edit.text.size();
      NotifyParent(edit, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      NotifyParent(edit, EN_KILLFOCUS);
      return 0;
    case EM_SETSEL:
      // No selection is kept: the caret goes to the end of the range.
      edit.caret = std::min(static_cast<size_t>(wParam), edit.text.size());
      return 0;
    case EM_GETSEL:
      return MAKELONG(edit.caret, edit.caret);
  }
  return 0;
}

LRESULT ButtonProc(Window& button, UINT message) {
  if (message == BM_CLICK && button.enabled()) NotifyParent(button, BN_CLICKED);
  return 0;
}

void Paint(Window& dialog) { SendMessageA(dialog.handle, WM_PAINT, 0, 0); }

LRESULT DialogProc(Window& dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE:
          return SendMessageA(dialog.handle, WM_CLOSE, 0, 0);
        case SC_MINIMIZE:
          dialog.iconic = true;
          Paint(dialog);
          return 0;
        case SC_RESTORE:
          dialog.iconic = false;
          Paint(dialog);
          return 0;
      }
      return 0;
    case WM_CLOSE: {
      // The close box acts as the cancel button, unless that is disabled.
      HWND cancel = GetDlgItem(dialog.handle, IDCANCEL);
      if (cancel != nullptr && !IsWindowEnabled(cancel)) return 0;
      return SendMessageA(dialog.handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                          reinterpret_cast<LPARAM>(cancel));
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(dialog.handle, &paint);
      EndPaint(dialog.handle, &paint);
      return 0;
    }
    case WM_ICONERASEBKGND:
      dialog.painted.push_back(PaintOp{PaintOp::kEraseIconBackground});
      return 1;
    case WM_INITDIALOG:
      return TRUE;
    case DM_GETDEFID:
      for (HWND handle : dialog.controls) {
        const Window* control = LookupWindow(handle);
        if (control->kind == ControlKind::kPushButton &&
            (control->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
          return MAKELONG(control->id, DC_HASDEFID);
        }
      }
      return 0;
  }
  (void)lParam;
  return 0;
}

}  // namespace

Window::Window() = default;
Window::~Window() = default;

Window* LookupWindow(HWND handle) {
  State& state = Windows();
  auto it = state.windows.find(reinterpret_cast<uintptr_t>(handle));
  return it == state.windows.end() ? nullptr : it->second.get();
}

HWND CreateDialogWindow(const DialogTemplate& dialogTemplate, HWND owner) {
  Window& dialog = NewWindow();
  dialog.kind = ControlKind::kDialog;
  dialog.parent = owner;
  dialog.id = static_cast<int>(dialogTemplate.id);
  dialog.text = dialogTemplate.caption == nullptr ? "" : dialogTemplate.caption;
  dialog.style = dialogTemplate.style;
  dialog.rect = RECT{0, 0, dialogTemplate.cx, dialogTemplate.cy};
  dialog.dialogTemplate = &dialogTemplate;
  for (const DialogItemTemplate& item : dialogTemplate.items) {
    Window& control = NewWindow();
    control.kind = KindOf(item);
    control.parent = dialog.handle;
    control.id = item.id;
    control.text = item.text == nullptr ? "" : item.text;
    control.style = item.style;
    control.rect = RECT{item.x, item.y, item.x + item.cx, item.y + item.cy};
    // Items of the template's font are 8 dialog units high, less the border.
    control.pageRows = std::max(1, (item.cy - 2) / 8);
    dialog.controls.push_back(control.handle);
  }
  return dialog.handle;
}

void DestroyDialogWindow(HWND handle) {
  Window* dialog = LookupWindow(handle);
  if (dialog == nullptr) return;
  SendMessageA(handle, WM_DESTROY, 0, 0);
  for (HWND control : dialog->controls) SendMessageA(control, WM_DESTROY, 0, 0);
  for (HWND control : dialog->controls) SendMessageA(control, WM_NCDESTROY, 0, 0);
  SendMessageA(handle, WM_NCDESTROY, 0, 0);
  State& state = Windows();
  for (HWND control : dialog->controls) state.windows.erase(reinterpret_cast<uintptr_t>(control));
  state.windows.erase(reinterpret_cast<uintptr_t>(handle));
}

void PushModalDialog(HWND dialog) { Windows().modal.push_back(dialog); }

void PopModalDialog(HWND dialog) {
  auto& modal = Windows().modal;
  modal.erase(std::remove(modal.begin(), modal.end(), dialog), modal.end());
}

HWND ActiveDialog() {
  const auto& modal = Windows().modal;
  return modal.empty() ? nullptr : modal.back();
}

void NotifyParent(const Window& control, WORD code) {
  SendMessageA(control.parent, WM_COMMAND, MAKEWPARAM(control.id, code),
               reinterpret_cast<LPARAM>(control.handle));
}

// MS Sans Serif 8 has the base units 6 by 13 pixels; a dialog unit is a
// quarter of the width and an eighth of the height.
int DialogUnitsToPixelsX(int units) { return units * 6 / 4; }
int DialogUnitsToPixelsY(int units) { return units * 13 / 8; }

void PostQuit(int exitCode) {
  Windows().quitPosted = true;
  Windows().quitCode = exitCode;
}
void ClearQuit() {
  Windows().quitPosted = false;
  Windows().quitCode = 0;
}
bool QuitPosted() { return Windows().quitPosted; }
int QuitCode() { return Windows().quitCode; }

}  // namespace framework

using framework::LookupWindow;
using framework::Window;

LRESULT WINAPI SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = LookupWindow(handle);
  if (window == nullptr) return 0;
  if (window->attached != nullptr) {
    return framework::DispatchToWnd(*window->attached, message, wParam, lParam);
  }
  return DefWindowProcA(handle, message, wParam, lParam);
}

LRESULT WINAPI DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = LookupWindow(handle);
  if (window == nullptr) return 0;
  switch (message) {
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      window->text = text == nullptr ? "" : text;
      window->caret = 0;
      window->scroll = 0;
      return TRUE;
    }
    case WM_GETTEXT:
      return framework::CopyText(window->text, wParam, lParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(window->text.size());
  }
  switch (window->kind) {
    case framework::ControlKind::kDialog:
      return framework::DialogProc(*window, message, wParam, lParam);
    case framework::ControlKind::kListBox:
      return framework::ListBoxProc(*window, message, wParam, lParam);
    case framework::ControlKind::kEdit:
      return framework::EditProc(*window, message, wParam, lParam);
    case framework::ControlKind::kPushButton:
      return framework::ButtonProc(*window, message);
    default:
      return 0;
  }
}
