#include "framework/winmain.h"

#include <cstdio>
#include <exception>
#include <string>

#include "framework/backend_selection.h"
#include "framework/cwinapp.h"
#include "nt/system.h"

int AfxWinMain(int, char**) {
  const std::string program = framework::ModuleName();
  CWinApp* app = AfxGetApp();
  if (app == nullptr) {
    std::fprintf(stderr, "%s: the program has no application object\n", program.c_str());
    return 1;
  }
  const framework::BackendKind kind =
      framework::ChooseBackend(framework::ProbeBackendEnvironment());
  std::unique_ptr<framework::UiBackend> backend = framework::MakeBackend(kind);
  if (backend == nullptr) {
    std::fprintf(stderr,
                 "%s: cannot show the dialog: there is no display (DISPLAY or "
                 "WAYLAND_DISPLAY) and no controlling terminal\n",
                 program.c_str());
    return 1;
  }
  std::string failure;
  int status = 1;
  try {
    nt::ScopedServices services({.ui = backend.get()});
    status = framework::RunApplication(*app);
  } catch (const std::exception& e) {
    failure = e.what();
  }
  // The terminal is the user's again before anything is said on it.
  backend.reset();
  if (!failure.empty()) {
    std::fprintf(stderr, "%s: %s\n", program.c_str(), failure.c_str());
    return 1;
  }
  return status;
}
