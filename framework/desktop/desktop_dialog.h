// A dialog of the window system shown as a wxDialog: laid out from its
// template in dialog units of the template's font, its controls kept equal
// to the window system's state after every change, and the user's keys and
// clicks handed to the dialog manager, so that the dialog's handlers run as
// with every other backend.
//
// Enter, Escape and Tab (and the arrows on a push button) go to the dialog
// manager as keys; the native list and edit field handle their own keys and
// report the new selection or text; clicks on buttons are button clicks; the
// close box is the dialog's close box.
#pragma once

#include <wx/dialog.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "framework/window_system.h"

class wxIconBundle;

namespace framework {

class DesktopDialog : public wxDialog {
 public:
  DesktopDialog(wxWindow* owner, HWND dialog, const wxIconBundle& icons);
  ~DesktopDialog() override;

  HWND handle() const { return dialog_; }
  // Shows the dialog modally until the window system's dialog has ended.
  // An exception from a handler ends the dialog and comes out of here.
  void Run();

 private:
  struct Control {
    HWND handle = nullptr;
    wxWindow* widget = nullptr;
    std::vector<std::string> items;  // a list's items as shown
  };

  void CreateControl(const Window& control);
  Control* ControlOf(const wxObject* widget);
  const Window* FocusedControl() const;
  // Runs a change of the window system, then shows what it changed.
  void Dispatch(const std::function<void()>& change);
  void Sync();

  void OnCharHook(wxKeyEvent& event);
  void OnButton(wxCommandEvent& event);
  void OnListBox(wxCommandEvent& event);
  void OnListBoxDoubleClick(wxCommandEvent& event);
  void OnText(wxCommandEvent& event);
  void OnChildFocus(wxChildFocusEvent& event);
  void OnClose(wxCloseEvent& event);
  void OnIconize(wxIconizeEvent& event);

  HWND dialog_;
  std::vector<Control> controls_;
  bool syncing_ = false;
  std::exception_ptr failure_;
};

}  // namespace framework
