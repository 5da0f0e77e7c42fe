// The program's start: what the platform does before and after the global
// application object's InitInstance.
#pragma once

class CWinApp;

namespace framework {

// Runs `app` with the current UI service: InitInstance, then the message
// loop. Returns the exit status: ExitInstance's result, or 1 when
// InitInstance failed (the program could not do its work).
int RunApplication(CWinApp& app);

}  // namespace framework

// Picks the UI backend, installs it as the user-interface service and runs
// the global application. A program either links framework_main, whose main
// calls this, or calls it from its own main after setting up its other
// services.
int AfxWinMain(int argc, char** argv);
