#include "nt/security.h"

#include <strings.h>

#include <cstddef>

#include "nt/system.h"

namespace nt {
namespace {

// Windows NT 4.0, build 1381: the build in the high word, bit 31 clear for
// the NT family, then minor and major version.
constexpr DWORD kVersion = 1381u << 16 | 0u << 8 | 4u;

const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

struct Privilege {
  const char* name;
  DWORD luid;
  bool administrators_only;
};

constexpr Privilege kPrivileges[] = {
    {"SeCreateTokenPrivilege", 2, true},   {"SeLockMemoryPrivilege", 4, true},
    {"SeIncreaseQuotaPrivilege", 5, true}, {"SeSecurityPrivilege", 8, true},
    {"SeTakeOwnershipPrivilege", 9, true}, {"SeLoadDriverPrivilege", 10, true},
    {"SeSystemtimePrivilege", 12, true},   {"SeBackupPrivilege", 17, true},
    {"SeRestorePrivilege", 18, true},      {"SeShutdownPrivilege", 19, false},
    {"SeChangeNotifyPrivilege", 23, false},
};

const Privilege* FindPrivilege(DWORD luid) {
  for (const Privilege& p : kPrivileges) {
    if (p.luid == luid) return &p;
  }
  return nullptr;
}

}  // namespace

HostSecurity::HostSecurity(std::function<bool()> isAdministrator)
    : is_administrator_(std::move(isAdministrator)) {}

DWORD HostSecurity::GetVersion() { return kVersion; }

HANDLE HostSecurity::GetCurrentProcess() { return kCurrentProcess; }

BOOL HostSecurity::OpenProcessToken(HANDLE process, DWORD desiredAccess, PHANDLE token) {
  if (process != kCurrentProcess || token == nullptr) {
    SetLastError(token == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const uintptr_t id = next_token_++;
  tokens_[id] = Token{desiredAccess, {}};
  *token = reinterpret_cast<HANDLE>(id);
  return TRUE;
}

BOOL HostSecurity::LookupPrivilegeValue(LPCSTR systemName, LPCSTR name, PLUID luid) {
  if (systemName != nullptr && *systemName != '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);  // only the local system is known
    return FALSE;
  }
  if (name == nullptr || luid == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (const Privilege& p : kPrivileges) {
    if (strcasecmp(p.name, name) == 0) {
      luid->LowPart = p.luid;
      luid->HighPart = 0;
      return TRUE;
    }
  }
  SetLastError(ERROR_NO_SUCH_PRIVILEGE);
  return FALSE;
}

BOOL HostSecurity::AdjustTokenPrivileges(HANDLE token, BOOL disableAll,
                                         PTOKEN_PRIVILEGES newState, DWORD bufferLength,
                                         PTOKEN_PRIVILEGES previousState, LPDWORD returnLength) {
  auto it = tokens_.find(reinterpret_cast<uintptr_t>(token));
  if (it == tokens_.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  Token& t = it->second;
  if ((t.access & TOKEN_ADJUST_PRIVILEGES) == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  // The buffer length only matters with a buffer for the previous state.
  if (previousState != nullptr) {
    if (returnLength == nullptr || bufferLength < sizeof(DWORD)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    previousState->PrivilegeCount = 0;  // no previous state is kept
    *returnLength = sizeof(DWORD);
  }
  if (disableAll) {
    t.enabled.clear();
    SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  if (newState == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  bool all_assigned = true;
  const bool administrator = is_administrator_();
  for (DWORD i = 0; i < newState->PrivilegeCount; ++i) {
    const LUID_AND_ATTRIBUTES& entry = newState->Privileges[i];
    const Privilege* privilege = entry.Luid.HighPart == 0 ? FindPrivilege(entry.Luid.LowPart) : nullptr;
    if (privilege == nullptr || (privilege->administrators_only && !administrator)) {
      all_assigned = false;
      continue;
    }
    if (entry.Attributes & SE_PRIVILEGE_ENABLED) {
      t.enabled.insert(privilege->luid);
    } else {
      t.enabled.erase(privilege->luid);
    }
  }
  SetLastError(all_assigned ? ERROR_SUCCESS : ERROR_NOT_ALL_ASSIGNED);
  return TRUE;
}

BOOL HostSecurity::CloseHandle(HANDLE handle) {
  if (tokens_.erase(reinterpret_cast<uintptr_t>(handle)) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

bool HostSecurity::IsEnabled(HANDLE token, DWORD luid) const {
  auto it = tokens_.find(reinterpret_cast<uintptr_t>(token));
  return it != tokens_.end() && it->second.enabled.count(luid) != 0;
}

}  // namespace nt

DWORD WINAPI GetVersion(void) { return nt::CurrentSecurity().GetVersion(); }

HANDLE WINAPI GetCurrentProcess(void) { return nt::CurrentSecurity().GetCurrentProcess(); }

BOOL WINAPI OpenProcessToken(HANDLE process, DWORD desiredAccess, PHANDLE token) {
  return nt::CurrentSecurity().OpenProcessToken(process, desiredAccess, token);
}

BOOL WINAPI LookupPrivilegeValueA(LPCSTR systemName, LPCSTR name, PLUID luid) {
  return nt::CurrentSecurity().LookupPrivilegeValue(systemName, name, luid);
}

BOOL WINAPI AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState,
                                  DWORD bufferLength, PTOKEN_PRIVILEGES previousState,
                                  LPDWORD returnLength) {
  return nt::CurrentSecurity().AdjustTokenPrivileges(token, disableAll, newState, bufferLength,
                                                     previousState, returnLength);
}

BOOL WINAPI CloseHandle(HANDLE handle) { return nt::CurrentSecurity().CloseHandle(handle); }
