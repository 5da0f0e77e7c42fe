// Start-up of layinst to its drawn dialog in a terminal: the program runs in
// a pseudo-terminal on a provisioned station; the clock stops when the
// dialog's caption has been drawn, then Escape ends the program.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace {

const std::string kKit = KIT_DIRECTORY;

// Reads from `fd` until `text` has appeared or a second has passed.
bool WaitFor(int fd, const std::string& text) {
  std::string seen;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) return false;
    seen.append(buffer, static_cast<size_t>(n));
    if (seen.find(text) != std::string::npos) return true;
  }
  return false;
}

void BM_StartupToDialog(benchmark::State& state) {
  std::string root = std::filesystem::temp_directory_path().string() + "/layinst-startup-XXXXXX";
  mkdtemp(root.data());
  setenv("STATION_ROOT", (root + "/station").c_str(), 1);
  setenv("TERM", "xterm", 1);
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  std::system((kKit + "/station init > /dev/null").c_str());

  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    int terminal;
    winsize size{40, 120, 0, 0};
    const pid_t child = forkpty(&terminal, nullptr, nullptr, &size);
    if (child == 0) {
      chdir(kKit.c_str());
      execl("./layinst", "layinst", static_cast<char*>(nullptr));
      _exit(127);
    }
    const bool drawn = WaitFor(terminal, "Keyboards Installation");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    write(terminal, "\x1b", 1);
    int status;
    waitpid(child, &status, 0);
    close(terminal);
    if (!drawn) {
      state.SkipWithError("the dialog was not drawn");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
  }
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_StartupToDialog)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace

BENCHMARK_MAIN();
