// A program in a tmux pane of its own server: keys go in with send-keys,
// the screen comes back with capture-pane. The program runs under a small
// script that reports its exit status and whether the terminal's modes came
// back as they were ("EXIT=n", then "TTY-RESTORED" or "TTY-CHANGED").
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace testing_support {

// Runs `command` with sh, returns what it printed; `status` gets its exit status.
std::string Shell(const std::string& command, int* status = nullptr);
// `text` quoted for sh.
std::string Quote(const std::string& text);

class TmuxPane {
 public:
  // Runs `command` (sh syntax) in `workdir` (the pane's own directory when
  // empty) with its standard output going to output(); 80x24 unless given.
  explicit TmuxPane(const std::string& command, const std::string& workdir = "",
                    int width = 80, int height = 24);
  ~TmuxPane();
  TmuxPane(const TmuxPane&) = delete;
  TmuxPane& operator=(const TmuxPane&) = delete;

  std::string Tmux(const std::string& arguments);
  void Keys(const std::string& keys) { Tmux("send-keys -t e2e " + keys); }
  void Type(const std::string& text) { Tmux("send-keys -t e2e -l " + Quote(text)); }
  std::string Screen() { return Tmux("capture-pane -p -t e2e"); }
  std::string Format(const std::string& format) { return Tmux("display -p -t e2e " + Quote(format)); }
  std::string Output() { return dir_.Read("out.txt"); }
  const TempDir& dir() const { return dir_; }

  // Polls the screen (10 s at most) until it shows every one of `expected`
  // at once; the last screen is kept for the failure message.
  bool Shows(std::initializer_list<std::string> expected) {
    return ShowsAll(std::vector<std::string>(expected));
  }
  bool Shows(const std::string& expected) { return ShowsAll({expected}); }
  bool Gone(const std::string& text);
  const std::string& screen() const { return screen_; }

 private:
  bool ShowsAll(const std::vector<std::string>& expected);
  template <typename Done>
  bool Poll(Done done);

  TempDir dir_;
  std::string screen_;
};

}  // namespace testing_support

#define EXPECT_SHOWS(pane, ...) EXPECT_TRUE((pane).Shows(__VA_ARGS__)) << (pane).screen()
#define ASSERT_SHOWS(pane, ...) ASSERT_TRUE((pane).Shows(__VA_ARGS__)) << (pane).screen()
#define EXPECT_GONE(pane, text) EXPECT_TRUE((pane).Gone(text)) << (pane).screen()
