// An X display of its own for one test: Xvfb on a display number that it
// picks itself (-displayfd), with openbox as the window manager, ended with
// the object. The X tools run against it: xdotool to find windows and to
// press keys and click, xwininfo and xprop to read windows, wmctrl for the
// close box, import for screenshots, xclip for the selection.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

struct WindowGeometry {
  int x = 0;  // the client area on the screen
  int y = 0;
  int width = 0;
  int height = 0;
};

class XSession {
 public:
  // What is missing for a session ("" when nothing is).
  static std::string MissingTools();

  XSession();
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  // Empty when the display and its window manager are up.
  const std::string& error() const { return error_; }
  const std::string& display() const { return display_; }

  // The environment of a program on this display: DISPLAY, no
  // WAYLAND_DISPLAY, a home and XDG directories of the session's own, and
  // LeakSanitizer told of what GTK keeps until the end.
  std::map<std::string, std::optional<std::string>> Environment() const;

  // A shell command with DISPLAY set to this display.
  std::string Run(const std::string& command, int* status = nullptr) const;

  // The visible window named exactly `name`, once there is one; 0 when none
  // came within `timeout`.
  unsigned long WaitForWindow(const std::string& name,
                              std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  // True once no visible window is named `name` any more.
  bool WaitUntilNoWindow(const std::string& name,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  // The names of the visible windows, one a line, for failure messages.
  std::string VisibleWindows() const;
  // Gives `window` the keyboard focus and waits until it has it.
  void Activate(unsigned long window) const;
  unsigned long ActiveWindow() const;
  // Keys as xdotool names them ("Return", "shift+Tab"), to the focused window.
  void Keys(const std::string& keys) const;
  void Type(const std::string& text) const;
  // A click of the left button at a point of the screen.
  void Click(int x, int y) const;
  // The close box, through the window manager.
  void Close(unsigned long window) const;

  WindowGeometry Geometry(unsigned long window) const;
  // xprop's line for `property` of `window`, or "" when it is not set.
  std::string Property(unsigned long window, const std::string& property) const;
  // The window with its frame as a PNG at `path`.
  bool Screenshot(unsigned long window, const std::string& path) const;

 private:
  TempDir dir_;
  std::string display_;
  std::string error_;
  std::unique_ptr<ChildProcess> server_;
  std::unique_ptr<ChildProcess> windowManager_;
};

// Polls `done` every 20 ms until it holds or `timeout` passes.
template <typename Done>
bool PollUntil(Done done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace testing_support
