// The desktop backend: the framework's dialogs as wxWidgets dialogs
// (framework/desktop/desktop_dialog.h) and its message boxes as wxWidgets
// message dialogs, on the display that DISPLAY or WAYLAND_DISPLAY names.
// The wait cursor is wx's busy cursor; the program's icon is on its windows.
#pragma once

#include <memory>
#include <vector>

#include "framework/ui_backend.h"

class wxWindow;

namespace framework {

class DesktopDialog;

class DesktopUi : public UiBackend {
 public:
  // Starts wxWidgets on the display; null when the display cannot be opened.
  static std::unique_ptr<DesktopUi> Open();
  ~DesktopUi() override;

  int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override;
  void RunModalLoop(HWND dialog) override;
  void ShowWaitCursor(bool shown) override;

 private:
  DesktopUi() = default;
  // The wx window that shows `owner`'s dialog; null when none does.
  wxWindow* WindowOf(HWND owner) const;

  std::vector<DesktopDialog*> dialogs_;  // innermost last
  bool busy_ = false;
};

// The hook of framework/backend_selection.cc.
std::unique_ptr<UiBackend> MakeDesktopUi();

}  // namespace framework
