// layinst itself on the desktop: the program of the kit, run in the kit
// folder on a station of the test's own, on an Xvfb display of the test's
// own, driven with xdotool; the station is read back with the station tool.
// Screenshots go to ARTIFACT_DIR.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tmux_pane.h"
#include "tests/support/x_session.h"

namespace {

using testing::HasSubstr;
using testing::Not;
using testing_support::ChildOptions;
using testing_support::ChildProcess;
using testing_support::Quote;
using testing_support::Shell;
using testing_support::XSession;

constexpr const char* kDialog = "Keyboards Installation";
constexpr const char* kSuccess = "Keyboard installation";
constexpr const char* kOverwrite = "WARNING  Keyboard already exists !";
constexpr const char* kLayouts = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";

std::string Hex(unsigned long window) {
  std::ostringstream hex;
  hex << "0x" << std::hex << window;
  return hex.str();
}

class DesktopInstaller : public testing::Test {
 protected:
  void SetUp() override {
    if (const std::string missing = XSession::MissingTools(); !missing.empty()) {
      GTEST_SKIP() << "no desktop end-to-end test: " << missing
                   << " not installed (scripts/install-deps installs it)";
    }
    x_ = std::make_unique<XSession>();
    ASSERT_EQ(x_->error(), "");
  }

  std::string Station() const { return dir_.path() + "/station"; }
  std::string SystemDirectory() const { return Station() + "/system32"; }

  // Starts layinst in the kit folder and waits for its dialog, which then
  // has the focus.
  unsigned long StartDialog() {
    auto environment = x_->Environment();
    environment["STATION_ROOT"] = Station();
    layinst_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{LAYINST_PROGRAM},
        ChildOptions{.environment = environment,
                     .directory = KIT_DIR,
                     .stdoutPath = dir_.path() + "/out.txt",
                     .stderrPath = dir_.path() + "/err.txt"});
    const unsigned long dialog = x_->WaitForWindow(kDialog);
    if (dialog != 0) x_->Activate(dialog);
    return dialog;
  }

  std::string StationTool(const std::string& arguments) const {
    return Shell("STATION_ROOT=" + Quote(Station()) + " " + Quote(STATION_PROGRAM) +
                    " " + arguments + " 2>&1");
  }
  // The user's active layout as "station keyboard" marks it.
  std::string ActiveLayout() const {
    std::istringstream lines(StationTool("keyboard"));
    for (std::string line; std::getline(lines, line);) {
      if (line.starts_with("*")) return line;
    }
    return "";
  }

  std::string Artifact(const std::string& name) const {
    return std::string(ARTIFACT_DIR) + "/" + name;
  }

  testing_support::TempDir dir_;
  std::unique_ptr<XSession> x_;
  std::unique_ptr<ChildProcess> layinst_;
};

TEST_F(DesktopInstaller, EnterInstallsTheFirstKeyboardAgainAsksAndEscapeEnds) {
  const unsigned long dialog = StartDialog();
  ASSERT_NE(dialog, 0u) << dir_.Read("err.txt");
  EXPECT_TRUE(x_->Screenshot(dialog, Artifact("desktop-installer-dialog.png")));

  // The Directory field shows the system directory: Tab twice reaches it,
  // which selects its text.
  x_->Keys("Tab Tab");
  EXPECT_TRUE(testing_support::PollUntil(
      [&] { return x_->Run("xclip -o -selection primary 2>/dev/null") == SystemDirectory(); }))
      << x_->Run("xclip -o -selection primary 2>&1");

  // Enter with the focus on the field clicks Install for the first label of
  // the sorted list, "Flemish (MV-A2 keyboard)".
  x_->Keys("Return");
  const unsigned long success = x_->WaitForWindow(kSuccess);
  ASSERT_NE(success, 0u) << dir_.Read("err.txt");
  EXPECT_THAT(x_->Property(success, "WM_TRANSIENT_FOR"), HasSubstr(Hex(dialog)));
  EXPECT_TRUE(x_->Screenshot(success, Artifact("desktop-installer-success.png")));
  x_->Keys("Return");
  ASSERT_TRUE(x_->WaitUntilNoWindow(kSuccess));
  EXPECT_TRUE(std::filesystem::exists(SystemDirectory() + "/vlamkeys.so"));
  EXPECT_THAT(ActiveLayout(), HasSubstr("vlamkeys.so"));
  const std::string registered = StationTool("reg query " + Quote(kLayouts));
  EXPECT_THAT(registered, HasSubstr("REG_SZ    vlamkeys.so"));

  // Again: the library is there, and No leaves everything as it was.
  x_->Keys("Return");
  const unsigned long question = x_->WaitForWindow(kOverwrite);
  ASSERT_NE(question, 0u) << dir_.Read("err.txt");
  EXPECT_THAT(x_->Property(question, "WM_TRANSIENT_FOR"), HasSubstr(Hex(dialog)));
  EXPECT_TRUE(x_->Screenshot(question, Artifact("desktop-installer-overwrite.png")));
  x_->Keys("n");
  ASSERT_TRUE(x_->WaitUntilNoWindow(kOverwrite));
  EXPECT_EQ(StationTool("reg query " + Quote(kLayouts)), registered);

  // Escape ends the program; were another box up, it would take the Escape.
  x_->Keys("Escape");
  EXPECT_EQ(layinst_->WaitForExit(std::chrono::seconds(10)), 0) << dir_.Read("err.txt");
  EXPECT_EQ(dir_.Read("out.txt"), "");
}

TEST_F(DesktopInstaller, ListAndDirectoryAsTheUserLeftThem) {
  const unsigned long dialog = StartDialog();
  ASSERT_NE(dialog, 0u) << dir_.Read("err.txt");
  const std::string elsewhere = dir_.Mkdir("elsewhere");

  // Shift+Tab reaches the list: End selects its last label, "Swedish (MV-A2
  // keyboard)"; Shift+Tab again reaches the Directory field.
  x_->Keys("shift+Tab End shift+Tab ctrl+a");
  x_->Type(elsewhere);
  x_->Keys("Return");
  // The library went where the field said. The keyboard driver looks for it
  // in the system directory, so the layout is not loaded; the installer does
  // not read the load's result and reports success.
  ASSERT_NE(x_->WaitForWindow(kSuccess), 0u) << x_->VisibleWindows() << dir_.Read("err.txt");
  x_->Keys("Return");
  ASSERT_TRUE(x_->WaitUntilNoWindow(kSuccess));
  EXPECT_TRUE(std::filesystem::exists(elsewhere + "/svenkeys.so"));
  EXPECT_FALSE(std::filesystem::exists(SystemDirectory() + "/svenkeys.so"));
  EXPECT_THAT(StationTool("reg query " + Quote(kLayouts)), HasSubstr("REG_SZ    svenkeys.so"));
  EXPECT_THAT(ActiveLayout(), Not(HasSubstr("svenkeys.so")));

  x_->Close(dialog);
  EXPECT_EQ(layinst_->WaitForExit(std::chrono::seconds(10)), 0) << dir_.Read("err.txt");
}

}  // namespace
