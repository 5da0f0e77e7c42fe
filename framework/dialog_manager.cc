#include "framework/dialog_manager.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "framework/utf8.h"
#include "framework/window_system.h"

namespace framework {
namespace {

bool IsTabStop(const Window& control) {
  return (control.style & WS_TABSTOP) != 0 && control.enabled() &&
         control.kind != ControlKind::kGroupBox && control.kind != ControlKind::kStatic;
}

void SendCommand(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SelectItem(Window& list, int index) {
  const int count = static_cast<int>(list.items.size());
  if (count == 0) return;
  index = std::clamp(index, 0, count - 1);
  if (index == list.selection) return;
  SendMessageA(list.handle, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  if (list.style & LBS_NOTIFY) NotifyParent(list, LBN_SELCHANGE);
}

void ListKey(Window& list, Key key) {
  const int page = std::max(1, list.pageRows - 1);
  const int at = list.selection;
  switch (key) {
    case Key::kUp:
      SelectItem(list, at < 0 ? 0 : at - 1);
      break;
    case Key::kDown:
      SelectItem(list, at < 0 ? 0 : at + 1);
      break;
    case Key::kPageUp:
      SelectItem(list, at < 0 ? 0 : at - page);
      break;
    case Key::kPageDown:
      SelectItem(list, at < 0 ? 0 : at + page);
      break;
    case Key::kHome:
      SelectItem(list, 0);
      break;
    case Key::kEnd:
      SelectItem(list, static_cast<int>(list.items.size()) - 1);
      break;
    default:
      break;
  }
}

void Changed(Window& edit) { NotifyParent(edit, EN_CHANGE); }

void EditKey(Window& edit, Key key) {
  std::string& text = edit.text;
  const bool editable = (edit.style & ES_READONLY) == 0;
  switch (key) {
    case Key::kLeft:
      edit.caret = PreviousCharStart(text, edit.caret);
      break;
    case Key::kRight:
      edit.caret = NextCharStart(text, edit.caret);
      break;
    case Key::kHome:
      edit.caret = 0;
      break;
    case Key::kEnd:
      edit.caret = text.size();
      break;
    case Key::kBackspace:
      if (editable && edit.caret > 0) {
        const size_t from = PreviousCharStart(text, edit.caret);
        text.erase(from, edit.caret - from);
        edit.caret = from;
        Changed(edit);
      }
      break;
    case Key::kDelete:
      if (editable && edit.caret < text.size()) {
        text.erase(edit.caret, NextCharStart(text, edit.caret) - edit.caret);
        Changed(edit);
      }
      break;
    default:
      break;
  }
}

// Type-ahead: the next item after the selection that starts with `c`.
void ListLetter(Window& list, char c) {
  const int count = static_cast<int>(list.items.size());
  const auto lower = [](char x) { return std::tolower(static_cast<unsigned char>(x)); };
  for (int i = 1; i <= count; ++i) {
    const int at = (std::max(list.selection, -1) + i + count) % count;
    if (!list.items[at].empty() && lower(list.items[at][0]) == lower(c)) {
      SelectItem(list, at);
      return;
    }
  }
}

Window* Focused(HWND dialog) {
  Window* window = LookupWindow(dialog);
  return window == nullptr ? nullptr : LookupWindow(window->focus);
}

}  // namespace

HWND NextTabStop(HWND dialog, HWND from, bool backwards) {
  const Window* window = LookupWindow(dialog);
  if (window == nullptr) return nullptr;
  const std::vector<HWND>& controls = window->controls;
  const int count = static_cast<int>(controls.size());
  int at = static_cast<int>(std::find(controls.begin(), controls.end(), from) - controls.begin());
  if (at == count) at = backwards ? 0 : -1;
  for (int step = 1; step <= count; ++step) {
    const int i = ((backwards ? at - step : at + step) % count + count) % count;
    if (IsTabStop(*LookupWindow(controls[i]))) return controls[i];
  }
  return nullptr;
}

HWND CurrentDefaultButton(HWND dialog) {
  if (const Window* focus = Focused(dialog);
      focus != nullptr && focus->kind == ControlKind::kPushButton) {
    return focus->handle;
  }
  const LRESULT defId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
  if (HIWORD(defId) != DC_HASDEFID) return nullptr;
  return GetDlgItem(dialog, LOWORD(defId));
}

void PressKey(HWND dialog, Key key) {
  Window* window = LookupWindow(dialog);
  if (window == nullptr) return;
  switch (key) {
    case Key::kTab:
    case Key::kBackTab:
      if (HWND next = NextTabStop(dialog, window->focus, key == Key::kBackTab)) SetFocus(next);
      return;
    case Key::kEscape:
      SendCommand(dialog, IDCANCEL);
      return;
    case Key::kEnter: {
      HWND button = CurrentDefaultButton(dialog);
      if (button == nullptr) {
        SendCommand(dialog, IDOK);
      } else if (IsWindowEnabled(button)) {
        SendCommand(dialog, GetDlgCtrlID(button));
      }
      return;
    }
    default:
      break;
  }
  Window* focus = LookupWindow(window->focus);
  if (focus == nullptr) return;
  switch (focus->kind) {
    case ControlKind::kListBox:
      ListKey(*focus, key);
      break;
    case ControlKind::kEdit:
      EditKey(*focus, key);
      break;
    case ControlKind::kPushButton:
      if (key == Key::kUp || key == Key::kLeft || key == Key::kDown || key == Key::kRight) {
        const bool back = key == Key::kUp || key == Key::kLeft;
        if (HWND next = NextTabStop(dialog, focus->handle, back)) SetFocus(next);
      }
      break;
    default:
      break;
  }
}

void TypeText(HWND dialog, std::string_view text) {
  std::string printable;
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) printable += c;
  }
  Window* focus = Focused(dialog);
  if (focus == nullptr || printable.empty()) return;
  switch (focus->kind) {
    case ControlKind::kEdit:
      if (focus->style & ES_READONLY) return;
      focus->text.insert(focus->caret, printable);
      focus->caret += printable.size();
      Changed(*focus);
      break;
    case ControlKind::kListBox:
      for (char c : printable) ListLetter(*focus, c);
      break;
    case ControlKind::kPushButton:
      if (printable.find(' ') != std::string::npos) SendCommand(dialog, focus->id);
      break;
    default:
      break;
  }
}

void ClickButton(HWND button) {
  if (!IsWindowEnabled(button)) return;
  SetFocus(button);
  SendMessageA(button, BM_CLICK, 0, 0);
}

void ClickListItem(HWND list, int index) {
  Window* window = LookupWindow(list);
  if (window == nullptr || !window->enabled()) return;
  SetFocus(list);
  if (index >= 0 && index < static_cast<int>(window->items.size())) SelectItem(*window, index);
}

void CloseDialog(HWND dialog) { SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

}  // namespace framework
