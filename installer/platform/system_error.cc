#include "installer/platform/system_error.h"

#include "framework/cwnd.h"

void ReportSystemError(CWnd& owner, UINT type) {
  LPSTR description = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                 GetLastError(), LANG_USER_DEFAULT, reinterpret_cast<LPSTR>(&description), 0,
                 nullptr);
  owner.MessageBox(description != nullptr ? description : "", "GetLastError", type);
  LocalFree(description);
}
