// Error codes of the stand-in: the one place where host errors become the
// platform's codes, and the texts that describe them.
#pragma once

#include <string>

#include "nt/win32.h"

namespace nt {

// The platform code for a host errno value.
DWORD ErrorFromErrno(int error);

// The description of a code, as FormatMessageA gives it; a code without a
// text of its own still gets one that names the number.
std::string DescribeError(DWORD code);

// Sets the thread's last error to `code` and returns it, for `return Fail(x);`.
inline LONG Fail(DWORD code) {
  SetLastError(code);
  return static_cast<LONG>(code);
}

}  // namespace nt
