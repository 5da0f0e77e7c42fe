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

namespace {

using testing::HasSubstr;
using testing::Not;

std::string Shell(const std::string& command, int* status = nullptr) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int result = pclose(pipe);
  if (status != nullptr) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
  return output;
}

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// One tmux server of its own with one 80x24 pane running the demo under a
// script that reports the exit status and whether the terminal's modes came
// back as they were.
class DemoPane {
 public:
  explicit DemoPane(const std::string& environment = "") {
    const std::string script = dir_.Write(
        "run.sh",
        "cd " + Quote(dir_.path()) + "\n"
        "unset DISPLAY WAYLAND_DISPLAY\n"
        "stty -g > before\n" +
            environment + " DEMO_PIDFILE=pid " + Quote(DEMO_PROGRAM) + " > out.txt\n"
            "echo \"EXIT=$?\"\n"
            "if [ \"$(stty -g)\" = \"$(cat before)\" ]; then echo TTY-RESTORED; else echo TTY-CHANGED; fi\n"
            "sleep 60\n");
    Tmux("-f /dev/null new-session -d -x 80 -y 24 -s e2e " + Quote("sh " + script));
  }
  ~DemoPane() { Tmux("kill-server"); }

  std::string Tmux(const std::string& arguments) {
    return Shell("tmux -S " + Quote(dir_.path() + "/tmux.sock") + " " + arguments + " 2>&1");
  }
  void Keys(const std::string& keys) { Tmux("send-keys -t e2e " + keys); }
  void Type(const std::string& text) { Tmux("send-keys -t e2e -l " + Quote(text)); }
  std::string Screen() { return Tmux("capture-pane -p -t e2e"); }
  std::string Format(const std::string& format) { return Tmux("display -p -t e2e " + Quote(format)); }
  std::string Output() { return dir_.Read("out.txt"); }
  int Pid() { return std::stoi(dir_.Read("pid")); }

  // Polls the screen until it shows every one of `expected` at once; the
  // last screen is in `screen_` for the failure message.
  bool Shows(const std::vector<std::string>& expected) {
    return Poll([&] {
      for (const std::string& text : expected) {
        if (screen_.find(text) == std::string::npos) return false;
      }
      return true;
    });
  }
  bool Shows(const std::string& expected) { return Shows(std::vector<std::string>{expected}); }
  bool Gone(const std::string& text) {
    return Poll([&] { return screen_.find(text) == std::string::npos; });
  }
  const std::string& screen() const { return screen_; }

 private:
  template <typename Done>
  bool Poll(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    do {
      screen_ = Screen();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
  }

  testing_support::TempDir dir_;
  std::string screen_;
};

#define EXPECT_SHOWS(pane, ...) EXPECT_TRUE((pane).Shows(__VA_ARGS__)) << (pane).screen()
#define ASSERT_SHOWS(pane, ...) ASSERT_TRUE((pane).Shows(__VA_ARGS__)) << (pane).screen()
#define EXPECT_GONE(pane, text) EXPECT_TRUE((pane).Gone(text)) << (pane).screen()

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
