// The terminal backend end to end: the demo program (e2e/demo_app.cc) runs
// in a tmux pane under a small shell script, keys go in with send-keys and
// the screen comes back with capture-pane.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/support/tmux_pane.h"

namespace {

using testing::HasSubstr;
using testing::Not;

using testing_support::Quote;
using testing_support::Shell;

// The demo program in a pane.
class DemoPane : public testing_support::TmuxPane {
 public:
  explicit DemoPane(const std::string& environment = "")
      : TmuxPane(environment + " DEMO_PIDFILE=pid " + Quote(DEMO_PROGRAM)) {}
  int Pid() { return std::stoi(dir().Read("pid")); }
};

TEST(TerminalDialog, DrawsTheDialogAndGivesTheTerminalBackOnEscape) {
  DemoPane pane;
  ASSERT_SHOWS(pane, {"Keyboards Installation", "F10 [x]", "List of langages", "[<Install>]",
                      "[ Exit ]", "Alpha", "Theta", "Directory[/tmp/demo/system32",
                      "Enter: Install"});
  EXPECT_THAT(pane.screen(), Not(HasSubstr("Iota"))) << "eight items fit in the list";
  EXPECT_EQ(pane.Format("#{cursor_x},#{cursor_y}"), "57,4\n") << "the focus is on Install";
  EXPECT_EQ(pane.Format("#{alternate_on}"), "1\n");

  pane.Keys("Escape");
  EXPECT_SHOWS(pane, "TTY-RESTORED");
  EXPECT_THAT(pane.screen(), HasSubstr("EXIT=0"));
  EXPECT_EQ(pane.Format("#{alternate_on}"), "0\n");
  EXPECT_EQ(pane.Output(), "demo: started\ndemo: dialog ended with 2\n")
      << "standard output went to the file, the dialog to the terminal";
}

TEST(TerminalDialog, ConversationWithKeys) {
  DemoPane pane;
  ASSERT_SHOWS(pane, "Keyboards Installation");

  // The focus starts on Install; Tab goes Exit, Directory, list.
  pane.Keys("Tab");
  EXPECT_SHOWS(pane, "Enter: Exit");
  pane.Keys("Tab");
  EXPECT_SHOWS(pane, "Enter: Install");
  pane.Keys("End BSpace BSpace");
  pane.Type("64");
  EXPECT_SHOWS(pane, "Directory[/tmp/demo/system64");
  pane.Keys("Tab Down Down Enter");  // Enter in the list clicks Install
  ASSERT_SHOWS(pane, {"Demo question", "(?)  Install \"Gamma\"", "into \"/tmp/demo/system64\" ?",
                      "[ Yes ]  [ No ]", "Working...", "Y/N: answer   Esc: No"});
  pane.Keys("n");
  // A box without a caption of its own is captioned with the program's name.
  ASSERT_SHOWS(pane, {"framework_demo", "(i)  Answer: No", "[ OK ]"});
  pane.Keys("Enter");
  EXPECT_GONE(pane, "Working...");

  // Shift+Tab back to the Directory field, Tab to the list again; End
  // scrolls it; Y answers yes, Escape No.
  pane.Keys("BTab");
  pane.Type("X");
  EXPECT_SHOWS(pane, "Directory[/tmp/demo/system64X");
  pane.Keys("Tab End");
  EXPECT_GONE(pane, "Alpha");
  EXPECT_THAT(pane.screen(), HasSubstr("Mu"));
  pane.Keys("Enter");
  ASSERT_SHOWS(pane, "Install \"Mu\"");
  pane.Keys("y");
  ASSERT_SHOWS(pane, "Answer: Yes");
  pane.Keys("Escape");  // a lone OK
  EXPECT_GONE(pane, "Answer: Yes");
  pane.Keys("Enter");
  ASSERT_SHOWS(pane, "Install \"Mu\"");
  pane.Keys("Escape");  // Yes/No: Escape is No
  ASSERT_SHOWS(pane, "Answer: No");
  pane.Keys("Enter");
  EXPECT_GONE(pane, "Answer: No");

  // Tab and Enter on the Yes/No box: Tab to No, Enter presses it.
  pane.Keys("Enter");
  ASSERT_SHOWS(pane, "Install \"Mu\"");
  pane.Keys("Tab Enter");
  ASSERT_SHOWS(pane, "Answer: No");
  pane.Keys("Enter");
  EXPECT_GONE(pane, "Answer: No");

  pane.Keys("F10");
  EXPECT_SHOWS(pane, "TTY-RESTORED");
  EXPECT_THAT(pane.screen(), HasSubstr("EXIT=0"));
}

TEST(TerminalDialog, EnterOnExitEndsTheProgram) {
  DemoPane pane;
  ASSERT_SHOWS(pane, "Keyboards Installation");
  pane.Keys("Right Enter");  // the arrows move between the buttons
  EXPECT_SHOWS(pane, "TTY-RESTORED");
  EXPECT_THAT(pane.Output(), HasSubstr("dialog ended with 2"));
}

TEST(TerminalDialog, SignalsRestoreTheTerminal) {
  struct Row {
    const char* name;
    int signal;
  } rows[] = {{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DemoPane pane;
    ASSERT_SHOWS(pane, "Keyboards Installation");
    ASSERT_EQ(kill(pane.Pid(), row.signal), 0);
    EXPECT_SHOWS(pane, "TTY-RESTORED");
    EXPECT_THAT(pane.screen(), HasSubstr("EXIT=" + std::to_string(128 + row.signal)));
    EXPECT_EQ(pane.Format("#{alternate_on}"), "0\n");
    EXPECT_EQ(pane.Output(), "demo: started\n") << "lines printed before the dialog are kept";
  }
}

TEST(TerminalDialog, StartUpBoxWithoutDialog) {
  DemoPane pane("DEMO_FAIL=1");
  ASSERT_SHOWS(pane, {"MV-Bx Installation",
                      "(X)  This installation can only be run on Windows NT 4.0.", "[ OK ]",
                      "Enter: OK"});
  EXPECT_THAT(pane.screen(), Not(HasSubstr("Keyboards Installation")));
  pane.Keys("Enter");
  EXPECT_SHOWS(pane, "TTY-RESTORED");
  EXPECT_THAT(pane.screen(), HasSubstr("EXIT=1"));
}

TEST(TerminalDialog, WithoutATerminalTheProgramSaysSoAndFails) {
  int status = 0;
  const std::string output = Shell("env -u DISPLAY -u WAYLAND_DISPLAY setsid -w " +
                                     Quote(DEMO_PROGRAM) + " </dev/null 2>&1",
                                 &status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(output,
            "framework_demo: cannot show the dialog: there is no display (DISPLAY or "
            "WAYLAND_DISPLAY) and no controlling terminal\n");
}

}  // namespace
