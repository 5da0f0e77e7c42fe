#include "framework/backend_selection.h"

#include <cstdlib>

#include "framework/terminal/terminal_session.h"
#include "framework/terminal/terminal_ui.h"

// The desktop backend plugs in here: build framework_app with
// LAYINST_DESKTOP_BACKEND defined and link a library that defines
// framework::MakeDesktopUi().
#ifdef LAYINST_DESKTOP_BACKEND
namespace framework {
std::unique_ptr<UiBackend> MakeDesktopUi();
}  // namespace framework
constexpr bool kDesktopBuilt = true;
#else
constexpr bool kDesktopBuilt = false;
#endif

namespace framework {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

BackendKind ChooseBackend(const BackendEnvironment& environment) {
  if (environment.display && environment.desktopBuilt) return BackendKind::kDesktop;
  if (environment.controllingTerminal) return BackendKind::kTerminal;
  return BackendKind::kNone;
}

BackendEnvironment ProbeBackendEnvironment() {
  return BackendEnvironment{
      .display = IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY"),
      .desktopBuilt = kDesktopBuilt,
      .controllingTerminal = TerminalSession::HasControllingTerminal(),
  };
}

std::unique_ptr<UiBackend> MakeBackend(BackendKind kind) {
  switch (kind) {
    case BackendKind::kDesktop:
#ifdef LAYINST_DESKTOP_BACKEND
      return MakeDesktopUi();
#else
      return nullptr;
#endif
    case BackendKind::kTerminal:
      return std::make_unique<TerminalUi>();
    case BackendKind::kNone:
      break;
  }
  return nullptr;
}

}  // namespace framework
