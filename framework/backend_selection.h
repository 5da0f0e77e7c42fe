// Which UI backend shows the program: the desktop when a display is there
// and the desktop backend was built, else the terminal when the process has
// a controlling terminal, else none.
#pragma once

#include <memory>

#include "framework/ui_backend.h"

namespace framework {

enum class BackendKind { kDesktop, kTerminal, kNone };

struct BackendEnvironment {
  bool display = false;              // DISPLAY or WAYLAND_DISPLAY is set
  bool desktopBuilt = false;         // the desktop backend is linked in
  bool controllingTerminal = false;  // /dev/tty opens
};

BackendKind ChooseBackend(const BackendEnvironment& environment);
BackendEnvironment ProbeBackendEnvironment();
// Null for kNone.
std::unique_ptr<UiBackend> MakeBackend(BackendKind kind);

}  // namespace framework
