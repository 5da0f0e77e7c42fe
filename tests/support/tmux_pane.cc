#include "tests/support/tmux_pane.h"

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace testing_support {

std::string Shell(const std::string& command, int* status) {
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

TmuxPane::TmuxPane(const std::string& command, const std::string& workdir, int width,
                   int height) {
  const std::string script = dir_.Write(
      "run.sh",
      "cd " + Quote(workdir.empty() ? dir_.path() : workdir) + "\n"
      "unset DISPLAY WAYLAND_DISPLAY\n"
      "stty -g > " + Quote(dir_.path() + "/before") + "\n" +
          command + " > " + Quote(dir_.path() + "/out.txt") + "\n"
          "echo \"EXIT=$?\"\n"
          "if [ \"$(stty -g)\" = \"$(cat " + Quote(dir_.path() + "/before") +
          ")\" ]; then echo TTY-RESTORED; else echo TTY-CHANGED; fi\n"
          "sleep 60\n");
  Tmux("-f /dev/null new-session -d -x " + std::to_string(width) + " -y " +
       std::to_string(height) + " -s e2e " + Quote("sh " + script));
}

TmuxPane::~TmuxPane() { Tmux("kill-server"); }

std::string TmuxPane::Tmux(const std::string& arguments) {
  return Shell("tmux -S " + Quote(dir_.path() + "/tmux.sock") + " " + arguments + " 2>&1");
}

template <typename Done>
bool TmuxPane::Poll(Done done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  do {
    screen_ = Screen();
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

bool TmuxPane::ShowsAll(const std::vector<std::string>& expected) {
  return Poll([&] {
    for (const std::string& text : expected) {
      if (screen_.find(text) == std::string::npos) return false;
    }
    return true;
  });
}

bool TmuxPane::Gone(const std::string& text) {
  return Poll([&] { return screen_.find(text) == std::string::npos; });
}

}  // namespace testing_support
