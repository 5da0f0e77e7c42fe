#include "framework/desktop/desktop_dialog.h"

#include <wx/button.h>
#include <wx/iconbndl.h>
#include <wx/listbox.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <optional>

#include "framework/dialog_manager.h"

namespace framework {
namespace {

wxString FromUtf8(const std::string& text) { return wxString::FromUTF8(text.data(), text.size()); }

long DialogStyle(DWORD style) {
  long wx = 0;
  if ((style & WS_CAPTION) == WS_CAPTION) wx |= wxCAPTION;
  if (style & WS_SYSMENU) wx |= wxSYSTEM_MENU | wxCLOSE_BOX;
  if (style & WS_MINIMIZEBOX) wx |= wxMINIMIZE_BOX;
  if (style & WS_MAXIMIZEBOX) wx |= wxMAXIMIZE_BOX;
  if (style & WS_THICKFRAME) wx |= wxRESIZE_BORDER;
  return wx;
}

// The template's font; faces of the platform such as "MS Sans Serif" are
// not there, so its family stands in.
wxFont TemplateFont(const DialogTemplate* dialogTemplate) {
  if (dialogTemplate == nullptr || dialogTemplate->pointSize <= 0) {
    return *wxNORMAL_FONT;
  }
  return wxFont(wxFontInfo(dialogTemplate->pointSize).Family(wxFONTFAMILY_SWISS));
}

// The caret of a native field, a count of characters, as a byte offset of
// its UTF-8 text.
size_t CaretBytes(const wxString& text, long caret) {
  if (caret <= 0) return 0;
  return text.Left(static_cast<size_t>(caret)).utf8_string().size();
}

long CaretChars(const std::string& text, size_t caret) {
  return static_cast<long>(FromUtf8(text.substr(0, std::min(caret, text.size()))).length());
}

std::optional<Key> ArrowKey(int code) {
  switch (code) {
    case WXK_UP:
      return Key::kUp;
    case WXK_DOWN:
      return Key::kDown;
    case WXK_LEFT:
      return Key::kLeft;
    case WXK_RIGHT:
      return Key::kRight;
    default:
      return std::nullopt;
  }
}

}  // namespace

DesktopDialog::DesktopDialog(wxWindow* owner, HWND dialog, const wxIconBundle& icons)
    : dialog_(dialog) {
  const Window& window = *LookupWindow(dialog);
  Create(owner, wxID_ANY, FromUtf8(window.text), wxDefaultPosition, wxDefaultSize,
         DialogStyle(window.style));
  SetFont(TemplateFont(window.dialogTemplate));
  if (!icons.IsEmpty()) SetIcons(icons);

  // Group boxes first, so that they lie beneath the controls they frame.
  for (HWND handle : window.controls) {
    const Window& control = *LookupWindow(handle);
    if (control.kind == ControlKind::kGroupBox) CreateControl(control);
  }
  for (HWND handle : window.controls) {
    const Window& control = *LookupWindow(handle);
    if (control.kind != ControlKind::kGroupBox) CreateControl(control);
  }
  SetClientSize(ConvertDialogToPixels(
      wxSize(window.rect.right - window.rect.left, window.rect.bottom - window.rect.top)));
  CentreOnScreen();

  Bind(wxEVT_CHAR_HOOK, &DesktopDialog::OnCharHook, this);
  Bind(wxEVT_BUTTON, &DesktopDialog::OnButton, this);
  Bind(wxEVT_LISTBOX, &DesktopDialog::OnListBox, this);
  Bind(wxEVT_LISTBOX_DCLICK, &DesktopDialog::OnListBoxDoubleClick, this);
  Bind(wxEVT_TEXT, &DesktopDialog::OnText, this);
  Bind(wxEVT_CHILD_FOCUS, &DesktopDialog::OnChildFocus, this);
  Bind(wxEVT_CLOSE_WINDOW, &DesktopDialog::OnClose, this);
  Bind(wxEVT_ICONIZE, &DesktopDialog::OnIconize, this);
}

DesktopDialog::~DesktopDialog() = default;

void DesktopDialog::CreateControl(const Window& control) {
  const wxPoint position = ConvertDialogToPixels(wxPoint(control.rect.left, control.rect.top));
  const wxSize size = ConvertDialogToPixels(
      wxSize(control.rect.right - control.rect.left, control.rect.bottom - control.rect.top));
  const wxString text = FromUtf8(control.text);
  const DWORD style = control.style;
  wxWindow* widget = nullptr;
  switch (control.kind) {
    case ControlKind::kPushButton:
      widget = new wxButton(this, wxID_ANY, text, position, size);
      break;
    case ControlKind::kGroupBox:
      widget = new wxStaticBox(this, wxID_ANY, text, position, size);
      break;
    case ControlKind::kEdit:
      widget = new wxTextCtrl(this, wxID_ANY, text, position, size,
                              ((style & WS_BORDER) ? 0 : wxBORDER_NONE) |
                                  ((style & ES_READONLY) ? wxTE_READONLY : 0));
      break;
    case ControlKind::kListBox:
      // The window system sorts a list itself (LBS_SORT); wx must not.
      widget = new wxListBox(this, wxID_ANY, position, size, 0, nullptr,
                             wxLB_SINGLE | ((style & WS_VSCROLL) ? wxLB_NEEDED_SB : 0));
      break;
    case ControlKind::kStatic:
    case ControlKind::kDialog:
      widget = new wxStaticText(this, wxID_ANY, text, position, size, wxST_NO_AUTORESIZE);
      break;
  }
  widget->Show((style & WS_VISIBLE) != 0);
  controls_.push_back(Control{.handle = control.handle, .widget = widget, .items = {}});
}

const Window* DesktopDialog::FocusedControl() const {
  const Window* dialog = LookupWindow(dialog_);
  return dialog == nullptr ? nullptr : LookupWindow(dialog->focus);
}

DesktopDialog::Control* DesktopDialog::ControlOf(const wxObject* widget) {
  for (Control& control : controls_) {
    if (control.widget == widget) return &control;
  }
  return nullptr;
}

void DesktopDialog::Run() {
  Sync();
  const Window* window = LookupWindow(dialog_);
  if (window != nullptr && !window->ended && !failure_) {
    // Once the window is up, wx's choice of the first focus gives way to the dialog's.
    CallAfter([this] { Sync(); });
    ShowModal();
  }
  if (failure_) std::rethrow_exception(failure_);
}

void DesktopDialog::Dispatch(const std::function<void()>& change) {
  if (failure_ || LookupWindow(dialog_) == nullptr) return;
  try {
    change();
  } catch (...) {
    failure_ = std::current_exception();
    if (IsModal()) EndModal(wxID_ABORT);
    return;
  }
  Sync();
}

void DesktopDialog::Sync() {
  const Window* dialog = LookupWindow(dialog_);
  if (dialog == nullptr || syncing_) return;
  if (dialog->ended) {
    if (IsModal()) EndModal(static_cast<int>(dialog->result));
    return;
  }
  syncing_ = true;
  if (GetTitle() != FromUtf8(dialog->text)) SetTitle(FromUtf8(dialog->text));
  const HWND defaultButton = CurrentDefaultButton(dialog_);
  for (Control& control : controls_) {
    const Window* window = LookupWindow(control.handle);
    if (window == nullptr) continue;
    control.widget->Enable(window->enabled());
    switch (window->kind) {
      case ControlKind::kEdit: {
        auto* edit = static_cast<wxTextCtrl*>(control.widget);
        if (edit->GetValue().utf8_string() != window->text) {
          edit->ChangeValue(FromUtf8(window->text));
          edit->SetInsertionPoint(CaretChars(window->text, window->caret));
        }
        break;
      }
      case ControlKind::kListBox: {
        auto* list = static_cast<wxListBox*>(control.widget);
        if (control.items != window->items) {
          wxArrayString items;
          for (const std::string& item : window->items) items.Add(FromUtf8(item));
          list->Set(items);
          control.items = window->items;
        }
        if (list->GetSelection() != window->selection) {
          list->SetSelection(window->selection < 0 ? wxNOT_FOUND : window->selection);
          if (window->selection >= 0) list->EnsureVisible(window->selection);
        }
        break;
      }
      case ControlKind::kPushButton: {
        auto* button = static_cast<wxButton*>(control.widget);
        if (button->GetLabel() != FromUtf8(window->text)) button->SetLabel(FromUtf8(window->text));
        if (window->handle == defaultButton) button->SetDefault();
        break;
      }
      default:
        if (control.widget->GetLabel() != FromUtf8(window->text)) {
          control.widget->SetLabel(FromUtf8(window->text));
        }
        break;
    }
  }
  // The focus follows the dialog's, unless a box of its own holds the user.
  if (IsEnabled()) {
    for (Control& control : controls_) {
      if (control.handle != dialog->focus) continue;
      const wxWindow* focus = wxWindow::FindFocus();
      if (focus != control.widget && !control.widget->IsDescendant(const_cast<wxWindow*>(focus))) {
        control.widget->SetFocus();
      }
    }
  }
  syncing_ = false;
}

void DesktopDialog::OnCharHook(wxKeyEvent& event) {
  const int modifiers = event.GetModifiers();
  const int code = event.GetKeyCode();
  std::optional<Key> key;
  if (modifiers == wxMOD_NONE) {
    switch (code) {
      case WXK_RETURN:
      case WXK_NUMPAD_ENTER:
        key = Key::kEnter;
        break;
      case WXK_ESCAPE:
        key = Key::kEscape;
        break;
      case WXK_TAB:
        key = Key::kTab;
        break;
      default:
        // On a push button the arrows move the focus, as the dialog manager moves it.
        if (const Window* focus = FocusedControl();
            focus != nullptr && focus->kind == ControlKind::kPushButton) {
          key = ArrowKey(code);
        }
        break;
    }
  } else if (modifiers == wxMOD_SHIFT && code == WXK_TAB) {
    key = Key::kBackTab;
  }
  if (!key) {
    event.Skip();
    return;
  }
  Dispatch([&] { PressKey(dialog_, *key); });
}

void DesktopDialog::OnButton(wxCommandEvent& event) {
  Control* control = ControlOf(event.GetEventObject());
  if (control == nullptr) {
    event.Skip();
    return;
  }
  Dispatch([&] { ClickButton(control->handle); });
}

void DesktopDialog::OnListBox(wxCommandEvent& event) {
  Control* control = ControlOf(event.GetEventObject());
  if (control == nullptr || syncing_) return;
  const int index = static_cast<wxListBox*>(control->widget)->GetSelection();
  Dispatch([&] { ClickListItem(control->handle, index); });
}

void DesktopDialog::OnListBoxDoubleClick(wxCommandEvent& event) {
  Control* control = ControlOf(event.GetEventObject());
  if (control == nullptr || syncing_) return;
  Dispatch([&] {
    const Window* list = LookupWindow(control->handle);
    if (list != nullptr && (list->style & LBS_NOTIFY) != 0) NotifyParent(*list, LBN_DBLCLK);
  });
}

void DesktopDialog::OnText(wxCommandEvent& event) {
  Control* control = ControlOf(event.GetEventObject());
  if (control == nullptr || syncing_) return;
  auto* edit = static_cast<wxTextCtrl*>(control->widget);
  const wxString text = edit->GetValue();
  const size_t caret = CaretBytes(text, edit->GetInsertionPoint());
  Dispatch([&] { EditFieldChanged(control->handle, text.utf8_string(), caret); });
}

void DesktopDialog::OnChildFocus(wxChildFocusEvent& event) {
  event.Skip();
  Control* control = ControlOf(event.GetWindow());
  const Window* dialog = LookupWindow(dialog_);
  if (control == nullptr || dialog == nullptr || syncing_ || dialog->focus == control->handle) {
    return;
  }
  Dispatch([&] { ::SetFocus(control->handle); });
}

void DesktopDialog::OnClose(wxCloseEvent& event) {
  if (event.CanVeto()) event.Veto();
  Dispatch([&] { CloseDialog(dialog_); });
  if (!event.CanVeto() && IsModal()) EndModal(wxID_CANCEL);
}

void DesktopDialog::OnIconize(wxIconizeEvent& event) {
  event.Skip();
  const WPARAM command = event.IsIconized() ? SC_MINIMIZE : SC_RESTORE;
  Dispatch([&] { SendMessageA(dialog_, WM_SYSCOMMAND, command, 0); });
}

}  // namespace framework
