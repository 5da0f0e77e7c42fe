// Start-up: the family test, the privilege check and its diagnostics.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "framework/cwinapp.h"
#include "installer/app/install_app.h"
#include "nt/security.h"
#include "tests/installer/installer_fixture.h"

namespace installer_test {
namespace {

// The station's security with one step broken.
class BrokenSecurity : public nt::HostSecurity {
 public:
  enum class Break { kNothing, kFamily, kProcess, kToken, kLookup, kNotAdministrator };
  explicit BrokenSecurity(Break what)
      : nt::HostSecurity([what] { return what != Break::kNotAdministrator; }), what_(what) {}

  DWORD GetVersion() override {
    return what_ == Break::kFamily ? 0x80000A04u : nt::HostSecurity::GetVersion();
  }
  HANDLE GetCurrentProcess() override {
    if (what_ != Break::kProcess) return nt::HostSecurity::GetCurrentProcess();
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) override {
    if (what_ != Break::kToken) return nt::HostSecurity::OpenProcessToken(process, access, token);
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  BOOL LookupPrivilegeValue(LPCSTR system, LPCSTR name, PLUID luid) override {
    if (what_ != Break::kLookup) return nt::HostSecurity::LookupPrivilegeValue(system, name, luid);
    SetLastError(ERROR_NO_SUCH_PRIVILEGE);
    return FALSE;
  }

 private:
  Break what_;
};

// The line `line` of the privilege check's source.
std::string SourceLine(int line) {
  std::ifstream in(CHECKPRIVS_SOURCE);
  std::string text;
  for (int i = 0; i < line && std::getline(in, text); ++i) {
  }
  return text;
}

class StartupTest : public InstallerTest {};

TEST_F(StartupTest, FailedChecksShowOneBoxAndNoDialog) {
  using Break = BrokenSecurity::Break;
  const framework::BoxRecord privileges{nullptr, "You need Administrator Privileges",
                                        "MV-Bx Installation", 0x10};
  struct Row {
    const char* name;
    Break what;
    framework::BoxRecord box;
    const char* step;  // of the diagnostic; null for none
    DWORD error;
    bool administrator_line;
  } rows[] = {
      {"outside the NT family", Break::kFamily,
       {nullptr, "This installation can only be run on Windows NT 4.0.\n", "MV-Bx Installation",
        0x10010},
       nullptr, 0, false},
      {"no process handle", Break::kProcess, privileges, "GetCurrentProcess", ERROR_INVALID_HANDLE, false},
      {"token cannot be opened", Break::kToken, privileges, "OpenProcessToken", ERROR_ACCESS_DENIED, false},
      {"privilege cannot be looked up", Break::kLookup, privileges, "LookupPrivilegeValue",
       ERROR_NO_SUCH_PRIVILEGE, true},
      {"account without the privilege", Break::kNotAdministrator, privileges,
       "AdjustTokenPrivileges", ERROR_NOT_ALL_ASSIGNED, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    BrokenSecurity security(row.what);
    nt::ScopedServices scope(nt::Services{.security = &security});
    ui_.ClearBoxes();
    testing::internal::CaptureStdout();
    const BOOL started = static_cast<CInstallApp*>(AfxGetApp())->InitInstance();
    const std::string output = testing::internal::GetCapturedStdout();

    EXPECT_FALSE(started);
    EXPECT_EQ(ui_.boxes(), std::vector<framework::BoxRecord>{row.box});
    if (row.step == nullptr) {
      EXPECT_EQ(output, "");
      continue;
    }
    std::smatch match;
    const std::regex diagnostic("\n(.*): Error ([0-9]+) from ([A-Za-z]+) on line ([0-9]+)(.*)",
                                std::regex::extended);
    ASSERT_TRUE(std::regex_match(output, match, diagnostic)) << output;
    EXPECT_EQ(match[1], CHECKPRIVS_SOURCE);
    EXPECT_EQ(match[2], std::to_string(row.error));
    EXPECT_EQ(match[3], row.step);
    EXPECT_NE(SourceLine(std::stoi(match[4])).find(row.step), std::string::npos)
        << "line " << match[4] << " is not the failing call";
    EXPECT_EQ(match[5], row.administrator_line
                            ? "\nThe above error means you need to log on as an Administrator"
                            : "");
  }
}

TEST_F(StartupTest, PassedChecksRunTheDialogAsMainWindow) {
  nt::HostSecurity security([] { return true; });
  nt::ScopedServices scope(nt::Services{.security = &security});
  CWnd* main_window = nullptr;
  ui_.Do([&](HWND) { main_window = AfxGetApp()->m_pMainWnd; }).Escape();
  testing::internal::CaptureStdout();
  EXPECT_TRUE(static_cast<CInstallApp*>(AfxGetApp())->InitInstance());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_NE(main_window, nullptr);
  EXPECT_TRUE(ui_.boxes().empty());
  EXPECT_EQ(ui_.pending_actions(), 0u);
}

}  // namespace
}  // namespace installer_test
