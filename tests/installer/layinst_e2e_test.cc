// layinst end to end: the real program in a terminal on a station of its
// own, checked afterwards with the station tool.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/support/tmux_pane.h"

namespace {

using testing::HasSubstr;
using testing::Not;
using testing_support::Quote;
using testing_support::Shell;

const std::string kKit = KIT_DIRECTORY;
const std::string kLayout = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";

class LayinstTest : public testing::Test {
 protected:
  std::string Station(const std::string& arguments) {
    return Shell("STATION_ROOT=" + Quote(root_) + " " + Quote(kKit + "/station") + " " +
                 arguments + " 2>&1");
  }
  std::string Command(const std::string& prefix = "") {
    return prefix + " env STATION_ROOT=" + Quote(root_) + " ./layinst";
  }

  testing_support::TempDir dir_;
  std::string root_ = dir_.path() + "/station";
};

TEST_F(LayinstTest, InstallsAKeyboardAndInstallsItAgain) {
  testing_support::TmuxPane pane(Command(), kKit, 100, 32);
  ASSERT_SHOWS(pane, {"Keyboards Installation", "List of langages", "Flemish (MV-A2 keyboard)",
                      "Greek (MV-B7 keyboard)", "Romanian (MV-B7 keyboard)",
                      "Swedish (MV-A2 keyboard)", "Directory[" + root_.substr(0, 10)});

  // The first keyboard of the sorted list is selected: Enter installs it.
  pane.Keys("Enter");
  ASSERT_SHOWS(pane, {"Keyboard installation",
                      "Keyboard \"Flemish (MV-A2 keyboard)\"  succesfully installed"});
  pane.Keys("Enter");
  EXPECT_GONE(pane, "Keyboard installation ");

  EXPECT_TRUE(std::filesystem::exists(root_ + "/system32/vlamkeys.so"));
  const std::string layouts = Station("reg export " + Quote(kLayout));
  EXPECT_THAT(layouts, HasSubstr("\"00010813\"=hex(1):"));
  EXPECT_THAT(layouts, HasSubstr("[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\"
                                 "Keyboard Layouts\\00010813]"));
  EXPECT_THAT(Station("reg query " + Quote(kLayout + "\\00010813")),
              HasSubstr("Layout Text    REG_SZ    Flemish (MV-A2 keyboard)"));
  EXPECT_THAT(Station("reg query 'HKCU\\Keyboard Layout\\Preload'"),
              HasSubstr("2    REG_SZ    00010813"));
  EXPECT_THAT(Station("keyboard"), HasSubstr("* 00010813"));
  EXPECT_EQ(Station("type VK_OEM_6 E Q"), "\xC3\xAA" "a\n") << "ê then a, typed with the layout";

  // Again: No changes nothing, Yes reuses the registration.
  pane.Keys("Enter");
  ASSERT_SHOWS(pane, {"WARNING  Keyboard already exists !", "is already installed",
                      "Do you want to rewrite it ?", "[ Yes ]"});
  pane.Keys("n");
  EXPECT_GONE(pane, "WARNING");
  EXPECT_EQ(Station("reg export " + Quote(kLayout)), layouts);

  pane.Keys("Enter");
  ASSERT_SHOWS(pane, "WARNING  Keyboard already exists !");
  pane.Keys("y");
  ASSERT_SHOWS(pane, "succesfully installed");
  pane.Keys("Enter");
  EXPECT_GONE(pane, "succesfully");
  EXPECT_EQ(Station("reg export " + Quote(kLayout)), layouts) << "the same key and Layout Id";

  pane.Keys("Escape");
  EXPECT_SHOWS(pane, {"EXIT=0", "TTY-RESTORED"});
  EXPECT_EQ(pane.Output(), "");
}

TEST_F(LayinstTest, AnAccountThatMayNotWriteTheMachineHiveIsNoAdministrator) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make a station root owns";
  ASSERT_THAT(Station("init"), HasSubstr("Provisioned"));
  // The kit must be readable for nobody: the test's directory is private.
  std::filesystem::permissions(dir_.path(), std::filesystem::perms::others_exec,
                               std::filesystem::perm_options::add);
  testing_support::TmuxPane pane(Command("setpriv --reuid=nobody --regid=nogroup --clear-groups"),
                                 kKit);
  ASSERT_SHOWS(pane, {"MV-Bx Installation", "You need Administrator Privileges"});
  EXPECT_THAT(pane.screen(), Not(HasSubstr("Keyboards Installation")));
  pane.Keys("Enter");
  EXPECT_SHOWS(pane, {"EXIT=1", "TTY-RESTORED"});
  EXPECT_THAT(pane.Output(),
              testing::MatchesRegex("\n.*checkprivs\\.cc: Error 1300 from "
                                    "AdjustTokenPrivileges on line [0-9]+"));
}

}  // namespace
