#include "tests/support/x_session.h"

#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "tests/support/tmux_pane.h"

namespace testing_support {
namespace {

constexpr const char* kTools[] = {"Xvfb", "openbox", "xdotool", "xwininfo", "xprop", "wmctrl",
                                  "import", "xclip"};

bool OnPath(const std::string& tool) {
  int status = 0;
  Shell("command -v " + Quote(tool) + " >/dev/null 2>&1", &status);
  return status == 0;
}

// Openbox's own configuration with a title bar of icon, caption and close
// box, as the program's windows ask for (openbox would otherwise draw its own
// choice of buttons).
std::string OpenboxConfig() {
  std::ifstream in("/etc/xdg/openbox/rc.xml");
  std::stringstream text;
  text << in.rdbuf();
  const std::regex layout("<titleLayout>[A-Z]*</titleLayout>");
  if (std::regex_search(text.str(), layout)) {
    return std::regex_replace(text.str(), layout, "<titleLayout>NLC</titleLayout>");
  }
  return R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <theme><name>Clearlooks</name><titleLayout>NLC</titleLayout></theme>
</openbox_config>
)";
}

// The display number that Xvfb writes to `fd` once it listens.
std::string ReadDisplayNumber(int fd, std::chrono::milliseconds timeout) {
  std::string number;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, 50) <= 0) continue;
    char c;
    if (read(fd, &c, 1) != 1) break;
    if (c == '\n') return number;
    number += c;
  }
  return "";
}

// Under LeakSanitizer, what GTK keeps until the end is no leak of the program's.
std::string LsanOptions() {
  const char* given = std::getenv("LSAN_OPTIONS");
  return std::string(given == nullptr || *given == '\0' ? "" : std::string(given) + ":") +
         "suppressions=" + LSAN_DESKTOP_SUPPRESSIONS + ":print_suppressions=0";
}

}  // namespace

std::string XSession::MissingTools() {
  std::string missing;
  for (const char* tool : kTools) {
    if (!OnPath(tool)) missing += std::string(missing.empty() ? "" : ", ") + tool;
  }
  return missing;
}

XSession::XSession() {
  dir_.Mkdir("home");
  int fds[2];
  if (pipe(fds) != 0) {
    error_ = "no pipe for Xvfb";
    return;
  }
  server_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                               "1024x768x24", "-nolisten", "tcp",
                               // No reset when the last client leaves: a tool that looks
                               // before the window manager is there would make it drop
                               // the window manager's connection.
                               "-noreset"},
      ChildOptions{.stderrPath = dir_.path() + "/xvfb.log", .keepOpen = {fds[1]}});
  close(fds[1]);
  const std::string number = ReadDisplayNumber(fds[0], std::chrono::seconds(10));
  close(fds[0]);
  if (number.empty()) {
    error_ = "Xvfb did not start: " + dir_.Read("xvfb.log");
    return;
  }
  display_ = ":" + number;

  const std::string config = dir_.Write("openbox.xml", OpenboxConfig());
  windowManager_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"openbox", "--config-file", config},
      ChildOptions{.environment = Environment(),
                   .stdoutPath = dir_.path() + "/openbox.out",
                   .stderrPath = dir_.path() + "/openbox.log"});
  const bool managed = PollUntil([&] {
    int status = 1;
    Run("wmctrl -m >/dev/null 2>&1", &status);
    return status == 0;
  });
  if (!managed) {
    const std::optional<int> status = windowManager_->WaitForExit(std::chrono::milliseconds(0));
    error_ = "openbox did not start on " + display_ +
             (status ? " (exit status " + std::to_string(*status) + ")" : " (running)") + ": " +
             dir_.Read("openbox.out") + dir_.Read("openbox.log");
  }
}

XSession::~XSession() {
  windowManager_.reset();
  server_.reset();
}

std::map<std::string, std::optional<std::string>> XSession::Environment() const {
  const std::string home = dir_.path() + "/home";
  return {
      {"DISPLAY", display_},
      {"WAYLAND_DISPLAY", std::nullopt},
      {"NO_AT_BRIDGE", "1"},  // no accessibility bus to talk to
      {"HOME", home},
      {"XDG_CONFIG_HOME", home + "/.config"},
      {"XDG_CACHE_HOME", home + "/.cache"},
      {"XDG_DATA_HOME", home + "/.local/share"},
      {"LSAN_OPTIONS", LsanOptions()},
  };
}

std::string XSession::Run(const std::string& command, int* status) const {
  return Shell("DISPLAY=" + display_ + " " + command, status);
}

unsigned long XSession::WaitForWindow(const std::string& name,
                                      std::chrono::milliseconds timeout) const {
  unsigned long window = 0;
  PollUntil(
      [&] {
        const std::string found =
            Run("xdotool search --onlyvisible --name " + Quote("^" + name + "$") +
                " 2>/dev/null");
        window = std::strtoul(found.c_str(), nullptr, 10);
        return window != 0;
      },
      timeout);
  return window;
}

bool XSession::WaitUntilNoWindow(const std::string& name, std::chrono::milliseconds timeout) const {
  return PollUntil(
      [&] {
        return Run("xdotool search --onlyvisible --name " + Quote("^" + name + "$") +
                   " 2>/dev/null")
            .empty();
      },
      timeout);
}

std::string XSession::VisibleWindows() const {
  return Run("xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null");
}

void XSession::Activate(unsigned long window) const {
  Run("xdotool windowactivate --sync " + std::to_string(window) + " 2>/dev/null");
}

unsigned long XSession::ActiveWindow() const {
  return std::strtoul(Run("xdotool getactivewindow 2>/dev/null").c_str(), nullptr, 10);
}

void XSession::Keys(const std::string& keys) const { Run("xdotool key --delay 20 " + keys); }

void XSession::Type(const std::string& text) const {
  Run("xdotool type --delay 20 " + Quote(text));
}

void XSession::Click(int x, int y) const {
  Run("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

void XSession::Close(unsigned long window) const {
  Run("wmctrl -i -c " + std::to_string(window));
}

WindowGeometry XSession::Geometry(unsigned long window) const {
  std::istringstream lines(Run("xwininfo -id " + std::to_string(window)));
  WindowGeometry geometry;
  for (std::string line; std::getline(lines, line);) {
    const auto value = [&](const char* label, int& out) {
      if (line.find(label) != std::string::npos) out = std::atoi(line.substr(line.find(':') + 1).c_str());
    };
    value("Absolute upper-left X:", geometry.x);
    value("Absolute upper-left Y:", geometry.y);
    value("Width:", geometry.width);
    value("Height:", geometry.height);
  }
  return geometry;
}

std::string XSession::Property(unsigned long window, const std::string& property) const {
  const std::string line =
      Run("xprop -id " + std::to_string(window) + " " + Quote(property) + " 2>/dev/null");
  return line.find("not found") != std::string::npos || line.find("no such atom") != std::string::npos
             ? ""
             : line;
}

bool XSession::Screenshot(unsigned long window, const std::string& path) const {
  int status = 1;
  Run("import -frame -window " + std::to_string(window) + " " + Quote(path) + " 2>/dev/null",
      &status);
  return status == 0;
}

}  // namespace testing_support
