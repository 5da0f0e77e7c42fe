// The system-error report: a message box owned by `owner` whose text is the
// system's description of the thread's last error, captioned "GetLastError".
#pragma once

#include "nt/win32.h"

class CWnd;

void ReportSystemError(CWnd& owner, UINT type);
