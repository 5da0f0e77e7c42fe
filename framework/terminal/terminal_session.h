// The terminal the dialogs are drawn on: ncurses on the controlling
// terminal /dev/tty, so standard output stays free for the program's own
// lines (`layinst > diag.txt` still shows the dialog).
//
// The terminal is restored when the session ends, when the program exits,
// on std::terminate, and on SIGINT, SIGTERM, SIGHUP and SIGQUIT (the
// handler restores it and lets the signal take its default course).
#pragma once

#include <string>

#include "framework/dialog_manager.h"

namespace framework {

struct TerminalInput {
  enum Kind { kNone, kKey, kText, kClose, kRedraw } kind = kNone;
  Key key = Key::kEnter;
  std::string text;  // UTF-8, for kText
};

class TerminalSession {
 public:
  TerminalSession() = default;
  ~TerminalSession() { End(); }
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

  // Whether /dev/tty opens: the process has a controlling terminal.
  static bool HasControllingTerminal();

  // Takes the terminal over; throws std::runtime_error when it cannot.
  void Start();
  // Gives the terminal back as it was.
  void End();
  bool started() const { return started_; }

  // Waits for the next key. F10 and Ctrl+Q close; Ctrl+C raises SIGINT.
  TerminalInput Read();

 private:
  bool started_ = false;
};

}  // namespace framework
