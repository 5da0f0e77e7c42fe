// The administrator test: can the process enable "SeSecurityPrivilege"?
// A failing step leaves one diagnostic line on standard output.
#include <cstdio>

#include "installer/app/install_app.h"

namespace {

constexpr const char kDiagnostic[] = "\n%s: Error %d from %s on line %d";

static_assert(sizeof(TOKEN_PRIVILEGES) == 16, "the request is passed with the length 16");

// Each call stands on the line its diagnostic names.
BOOL Diagnose(const char* step, int line) {
  std::printf(kDiagnostic, __FILE__, static_cast<int>(GetLastError()), step, line);
  return FALSE;
}

}  // namespace

BOOL CInstallApp::CheckPrivileges() {
  HANDLE process;
  if ((process = GetCurrentProcess()) == nullptr) return Diagnose("GetCurrentProcess", __LINE__);

  HANDLE token;
  if (!OpenProcessToken(process, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return Diagnose("OpenProcessToken", __LINE__);

  TOKEN_PRIVILEGES request;
  if (!LookupPrivilegeValueA(nullptr, SE_SECURITY_NAME, &request.Privileges[0].Luid)) {
    Diagnose("LookupPrivilegeValue", __LINE__ - 1);
    std::printf("\nThe above error means you need to log on as an Administrator");
    return FALSE;
  }

  request.PrivilegeCount = 1;
  request.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  AdjustTokenPrivileges(token, FALSE, &request, sizeof request, nullptr, nullptr);
  if (GetLastError() != ERROR_SUCCESS) return Diagnose("AdjustTokenPrivileges", __LINE__ - 1);
  return TRUE;
}
