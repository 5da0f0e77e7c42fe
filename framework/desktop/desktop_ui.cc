#include "framework/desktop/desktop_ui.h"

#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/richmsgdlg.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include <cstdio>
#include <string>

#include "framework/cwinapp.h"
#include "framework/desktop/desktop_dialog.h"
#include "framework/desktop/message_box_style.h"
#include "framework/desktop/program_icon.h"
#include "framework/message_box.h"
#include "framework/window_system.h"

namespace framework {
namespace {

wxString FromUtf8(const std::string& text) { return wxString::FromUTF8(text.data(), text.size()); }

class DesktopApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

// wx's assertions and error log go to standard error instead of boxes of
// their own in the middle of the program's conversation.
void ReportAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& message) {
  std::fprintf(stderr, "wx: %s:%d %s: %s %s\n", file.utf8_str().data(), line,
               func.utf8_str().data(), cond.utf8_str().data(), message.utf8_str().data());
}

// The message dialog of one box: wide enough for its whole caption, and
// without a parent window when the box has no owner.
class MessageBoxDialog : public wxRichMessageDialog {
 public:
  MessageBoxDialog(wxWindow* parent, const wxString& text, const wxString& caption,
                   UINT type, const WxBoxStyle& style)
      : wxRichMessageDialog(parent, text, caption,
                            style.style | (parent == nullptr ? wxDIALOG_NO_PARENT : 0)),
        ownerless_(parent == nullptr),
        closable_(style.escapeId != wxID_NONE) {
    wxString yes = GetYesLabel(), no = GetNoLabel(), ok = GetOKLabel(), cancel = GetCancelLabel();
    bool relabelled = false;
    for (const WxBoxButton& button : style.buttons) {
      if (button.label == nullptr) continue;
      relabelled = true;
      switch (button.wxId) {
        case wxID_YES: yes = button.label; break;
        case wxID_NO: no = button.label; break;
        case wxID_OK: ok = button.label; break;
        case wxID_CANCEL: cancel = button.label; break;
      }
    }
    if (relabelled) {
      if (style.style & wxYES_NO) {
        SetYesNoCancelLabels(yes, no, cancel);
      } else {
        SetOKCancelLabels(ok, cancel);
      }
    }
    SetEscapeId(style.escapeId);
    // A button's first letter presses it, as in the platform's boxes.
    Bind(wxEVT_CHAR_HOOK, [this, type, style](wxKeyEvent& event) {
      const wxChar letter = event.GetUnicodeKey();
      if (event.GetModifiers() == wxMOD_NONE && letter > ' ' && letter < 0x7F) {
        const int result = MessageBoxButtonForLetter(type, static_cast<char>(letter));
        for (const WxBoxButton& button : style.buttons) {
          if (result != 0 && button.result == result) {
            EndModal(button.wxId);
            return;
          }
        }
      }
      event.Skip();
    });
    // A box whose Escape does nothing has no close box that works either.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
      if (!closable_ && event.CanVeto()) {
        event.Veto();
      } else {
        event.Skip();
      }
    });
  }

 protected:
  // Called once the window exists and before it shows.
  void AddMessageDialogDetails(wxSizer* sizer) override {
    wxRichMessageDialog::AddMessageDialogDetails(sizer);
    if (ownerless_) SetWindowStyleFlag(GetWindowStyleFlag() | wxDIALOG_NO_PARENT);
    if (const wxIconBundle icons = ProgramIconBundle(); !icons.IsEmpty()) SetIcons(icons);
    // Room for the caption, the title bar's icon and its buttons.
    const wxFont bold = GetFont().Bold();
    int width = 0, height = 0;
    GetTextExtent(GetTitle(), &width, &height, nullptr, nullptr, &bold);
    sizer->Add(width + 4 * height + 40, 0);
  }

 private:
  bool ownerless_;
  bool closable_;
};

}  // namespace

std::unique_ptr<DesktopUi> DesktopUi::Open() {
  static std::string program = ModuleName();
  static char* argv[] = {program.data(), nullptr};
  int argc = 1;
  wxApp::SetInstance(new DesktopApp);
  if (!wxEntryStart(argc, argv)) return nullptr;
  wxSetAssertHandler(ReportAssert);
  delete wxLog::SetActiveTarget(new wxLogStderr);
  return std::unique_ptr<DesktopUi>(new DesktopUi);
}

DesktopUi::~DesktopUi() {
  if (busy_) wxEndBusyCursor();
  wxEntryCleanup();
}

wxWindow* DesktopUi::WindowOf(HWND owner) const {
  const Window* window = LookupWindow(owner);
  if (window != nullptr && window->kind != ControlKind::kDialog) window = LookupWindow(window->parent);
  if (window == nullptr) return nullptr;
  for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it) {
    if ((*it)->handle() == window->handle) return *it;
  }
  return nullptr;
}

int DesktopUi::MessageBox(HWND owner, const std::string& text, const std::string& caption,
                          UINT type) {
  // The user answers the box with the ordinary pointer, as over any box.
  struct PauseBusy {
    bool busy;
    explicit PauseBusy(bool b) : busy(b) { if (busy) wxEndBusyCursor(); }
    ~PauseBusy() { if (busy) wxBeginBusyCursor(); }
  } pause(busy_);
  const WxBoxStyle style = WxMessageBoxStyle(type);
  MessageBoxDialog box(WindowOf(owner), FromUtf8(text), FromUtf8(caption), type, style);
  if (type & MB_SETFOREGROUND) box.CallAfter([&box] { box.Raise(); });
  return MessageBoxResultOf(style, type, box.ShowModal());
}

void DesktopUi::RunModalLoop(HWND dialog) {
  const Window* window = LookupWindow(dialog);
  if (window == nullptr) return;
  DesktopDialog shown(WindowOf(window->parent), dialog, ProgramIconBundle());
  dialogs_.push_back(&shown);
  struct Pop {
    std::vector<DesktopDialog*>& dialogs;
    ~Pop() { dialogs.pop_back(); }
  } pop{dialogs_};
  shown.Run();
}

void DesktopUi::ShowWaitCursor(bool shown) {
  if (shown == busy_) return;
  busy_ = shown;
  if (shown) {
    wxBeginBusyCursor();
  } else {
    wxEndBusyCursor();
  }
}

std::unique_ptr<UiBackend> MakeDesktopUi() { return DesktopUi::Open(); }

}  // namespace framework
