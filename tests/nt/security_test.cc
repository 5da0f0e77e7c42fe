#include "nt/security.h"

#include <gtest/gtest.h>

#include "nt/system.h"

namespace {

TOKEN_PRIVILEGES Request(LUID luid) {
  TOKEN_PRIVILEGES request{};
  request.PrivilegeCount = 1;
  request.Privileges[0].Luid = luid;
  request.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  return request;
}

TEST(HostSecurity, IsNt4) {
  nt::HostSecurity security([] { return true; });
  nt::ScopedServices scope(nt::Services{.security = &security});
  const DWORD version = GetVersion();
  EXPECT_EQ(version & 0x80000000u, 0u);
  EXPECT_EQ(version & 0xFF, 4u);
}

TEST(HostSecurity, SecurityPrivilegeIsEnabledExactlyForAdministrators) {
  for (bool administrator : {true, false}) {
    SCOPED_TRACE(administrator ? "administrator" : "user");
    nt::HostSecurity security([=] { return administrator; });
    nt::ScopedServices scope(nt::Services{.security = &security});
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
    LUID luid;
    ASSERT_TRUE(LookupPrivilegeValueA(nullptr, "SeSecurityPrivilege", &luid));
    TOKEN_PRIVILEGES request = Request(luid);
    SetLastError(12345);
    EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, &request, sizeof request, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), administrator ? 0u : static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED));
    EXPECT_EQ(security.IsEnabled(token, luid.LowPart), administrator);
    EXPECT_TRUE(CloseHandle(token));
  }
}

TEST(HostSecurity, FailuresCarryThePlatformsCodes) {
  nt::HostSecurity security([] { return true; });
  nt::ScopedServices scope(nt::Services{.security = &security});
  HANDLE token = nullptr;
  LUID luid;
  EXPECT_FALSE(LookupPrivilegeValueA(nullptr, "SeNoSuchPrivilege", &luid));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_SUCH_PRIVILEGE));
  EXPECT_FALSE(OpenProcessToken(reinterpret_cast<HANDLE>(42), TOKEN_QUERY, &token));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  ASSERT_TRUE(LookupPrivilegeValueA(nullptr, "SeSecurityPrivilege", &luid));
  TOKEN_PRIVILEGES request = Request(luid);
  EXPECT_FALSE(AdjustTokenPrivileges(token, FALSE, &request, sizeof request, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(CloseHandle(token));
  EXPECT_FALSE(AdjustTokenPrivileges(token, FALSE, &request, sizeof request, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
