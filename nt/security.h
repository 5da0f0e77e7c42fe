// Version and security: the service behind GetVersion and the access-token
// calls of nt/win32.h.
#pragma once

#include <functional>
#include <map>
#include <set>

#include "nt/win32.h"

namespace nt {

class Security {
 public:
  virtual ~Security() = default;
  // Each call sets the thread's last error as the platform's does.
  virtual DWORD GetVersion() = 0;
  virtual HANDLE GetCurrentProcess() = 0;
  virtual BOOL OpenProcessToken(HANDLE process, DWORD desiredAccess, PHANDLE token) = 0;
  virtual BOOL LookupPrivilegeValue(LPCSTR systemName, LPCSTR name, PLUID luid) = 0;
  virtual BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState,
                                     DWORD bufferLength, PTOKEN_PRIVILEGES previousState,
                                     LPDWORD returnLength) = 0;
  virtual BOOL CloseHandle(HANDLE handle) = 0;
};

// The station's security: an NT 4.0 system whose process holds the
// administrator's privileges exactly when `isAdministrator` says so (the
// station grants them to whoever may write its machine hive).
class HostSecurity : public Security {
 public:
  explicit HostSecurity(std::function<bool()> isAdministrator);
  DWORD GetVersion() override;
  HANDLE GetCurrentProcess() override;
  BOOL OpenProcessToken(HANDLE process, DWORD desiredAccess, PHANDLE token) override;
  BOOL LookupPrivilegeValue(LPCSTR systemName, LPCSTR name, PLUID luid) override;
  BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState,
                             DWORD bufferLength, PTOKEN_PRIVILEGES previousState,
                             LPDWORD returnLength) override;
  BOOL CloseHandle(HANDLE handle) override;

  // Whether `token` has the privilege of `luid` enabled.
  bool IsEnabled(HANDLE token, DWORD luid) const;

 private:
  struct Token {
    DWORD access;
    std::set<DWORD> enabled;
  };
  std::function<bool()> is_administrator_;
  std::map<uintptr_t, Token> tokens_;
  uintptr_t next_token_ = 0x100;
};

}  // namespace nt
