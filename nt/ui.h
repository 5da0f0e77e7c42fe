// The user-interface service: what the platform's window system does for the
// calls of nt/win32.h. The framework's UI backends (framework/ui_backend.h)
// are such services that also run dialogs, so MessageBoxA and the dialogs
// reach the same backend.
#pragma once

#include <string>

#include "nt/win32.h"

namespace nt {

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Shows a modal message box and returns the ID of the button that closed it.
  virtual int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                         UINT type) = 0;
};

}  // namespace nt
