#define NCURSES_WIDECHAR 1
#include "framework/terminal/terminal_session.h"

#include <curses.h>
#include <fcntl.h>
#include <signal.h>
#include <term.h>
#include <termios.h>
#include <unistd.h>

#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <exception>
#include <stdexcept>

namespace framework {
namespace {

// What the signal handler needs, gathered before it can run: only
// async-signal-safe calls use it.
struct Restorer {
  volatile sig_atomic_t active = 0;
  int fd = -1;
  termios saved{};
  char sequence[256] = {};
  size_t length = 0;
};
Restorer g_restorer;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction g_previous[std::size(kSignals)];

FILE* g_tty = nullptr;
SCREEN* g_screen = nullptr;

void RestoreNow() {
  if (!g_restorer.active) return;
  g_restorer.active = 0;
  if (g_restorer.length > 0) {
    [[maybe_unused]] ssize_t written = write(g_restorer.fd, g_restorer.sequence, g_restorer.length);
  }
  tcsetattr(g_restorer.fd, TCSADRAIN, &g_restorer.saved);
}

void OnSignal(int signal) {
  RestoreNow();
  // The handler was installed with SA_RESETHAND: the default action follows.
  raise(signal);
}

void OnExit() { RestoreNow(); }

std::terminate_handler g_previousTerminate = nullptr;
void OnTerminate() {
  RestoreNow();
  if (g_previousTerminate != nullptr) g_previousTerminate();
  std::abort();
}

void AppendCapability(const char* name) {
  const char* value = tigetstr(const_cast<char*>(name));
  if (value == nullptr || value == reinterpret_cast<const char*>(-1)) return;
  const size_t n = std::strlen(value);
  if (g_restorer.length + n >= sizeof g_restorer.sequence) return;
  std::memcpy(g_restorer.sequence + g_restorer.length, value, n);
  g_restorer.length += n;
}

void InstallHandlers() {
  static bool once = false;
  if (!once) {
    once = true;
    std::atexit(OnExit);
    g_previousTerminate = std::set_terminate(OnTerminate);
  }
  for (size_t i = 0; i < std::size(kSignals); ++i) {
    struct sigaction action {};
    sigaction(kSignals[i], nullptr, &g_previous[i]);
    // A signal the program was started to ignore stays ignored.
    if (g_previous[i].sa_handler == SIG_IGN) continue;
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(kSignals[i], &action, nullptr);
  }
}

void RemoveHandlers() {
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &g_previous[i], nullptr);
}

TerminalInput KeyInput(Key key) { return TerminalInput{TerminalInput::kKey, key, {}}; }
TerminalInput Close() { return TerminalInput{TerminalInput::kClose, Key::kEscape, {}}; }
TerminalInput Redraw() { return TerminalInput{TerminalInput::kRedraw, Key::kEscape, {}}; }

}  // namespace

bool TerminalSession::HasControllingTerminal() {
  const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}

void TerminalSession::Start() {
  if (started_) return;
  // Lines the program printed so far reach their file before anything else can happen.
  std::fflush(stdout);
  std::setlocale(LC_CTYPE, "");
  g_tty = std::fopen("/dev/tty", "r+e");
  if (g_tty == nullptr) throw std::runtime_error("cannot open the terminal /dev/tty");
  // One write per screen update, so that no reader sees half a screen.
  setvbuf(g_tty, nullptr, _IOFBF, 1 << 16);
  g_restorer.fd = fileno(g_tty);
  tcgetattr(g_restorer.fd, &g_restorer.saved);
  g_screen = newterm(nullptr, g_tty, g_tty);
  if (g_screen == nullptr) {
    std::fclose(g_tty);
    g_tty = nullptr;
    const char* term = std::getenv("TERM");
    throw std::runtime_error(std::string("cannot draw on the terminal: its type \"") +
                             (term == nullptr ? "" : term) + "\" is unknown");
  }
  set_term(g_screen);
  g_restorer.length = 0;
  AppendCapability("sgr0");
  AppendCapability("cnorm");
  AppendCapability("rmkx");
  AppendCapability("rmcup");
  g_restorer.active = 1;
  InstallHandlers();
  started_ = true;

  raw();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  set_escdelay(25);
  curs_set(0);
}

void TerminalSession::End() {
  if (!started_) return;
  started_ = false;
  endwin();
  delscreen(g_screen);
  g_screen = nullptr;
  g_restorer.active = 0;
  tcsetattr(g_restorer.fd, TCSADRAIN, &g_restorer.saved);
  RemoveHandlers();
  std::fclose(g_tty);
  g_tty = nullptr;
}

TerminalInput TerminalSession::Read() {
  wint_t ch = 0;
  const int kind = wget_wch(stdscr, &ch);
  if (kind == ERR) return {};
  if (kind == KEY_CODE_YES) {
    switch (ch) {
      case KEY_UP: return KeyInput(Key::kUp);
      case KEY_DOWN: return KeyInput(Key::kDown);
      case KEY_LEFT: return KeyInput(Key::kLeft);
      case KEY_RIGHT: return KeyInput(Key::kRight);
      case KEY_HOME: return KeyInput(Key::kHome);
      case KEY_END: return KeyInput(Key::kEnd);
      case KEY_PPAGE: return KeyInput(Key::kPageUp);
      case KEY_NPAGE: return KeyInput(Key::kPageDown);
      case KEY_BACKSPACE: return KeyInput(Key::kBackspace);
      case KEY_DC: return KeyInput(Key::kDelete);
      case KEY_BTAB: return KeyInput(Key::kBackTab);
      case KEY_ENTER: return KeyInput(Key::kEnter);
      case KEY_F(10): return Close();
      case KEY_RESIZE: return Redraw();
    }
    return {};
  }
  switch (ch) {
    case '\t': return KeyInput(Key::kTab);
    case '\r':
    case '\n': return KeyInput(Key::kEnter);
    case 0x7F:
    case 0x08: return KeyInput(Key::kBackspace);
    case 0x11: return Close();  // Ctrl+Q
    case 0x0C: return Redraw();  // Ctrl+L
    case 0x03:  // Ctrl+C: as from the shell, the program is interrupted
      raise(SIGINT);
      return {};
    case 0x1B: {
      // Escape alone, or the first byte of an Alt+key, which we ignore.
      nodelay(stdscr, TRUE);
      wint_t next = 0;
      const int more = wget_wch(stdscr, &next);
      nodelay(stdscr, FALSE);
      return more == ERR ? KeyInput(Key::kEscape) : TerminalInput{};
    }
  }
  if (ch < 0x20) return {};
  char bytes[MB_LEN_MAX];
  std::mbstate_t state{};
  const size_t n = std::wcrtomb(bytes, static_cast<wchar_t>(ch), &state);
  if (n == static_cast<size_t>(-1)) return {};
  return TerminalInput{TerminalInput::kText, Key::kEnter, std::string(bytes, n)};
}

}  // namespace framework
