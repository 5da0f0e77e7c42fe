#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <thread>

namespace testing_support {
namespace {

int StatusOf(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return -1;
}

void Redirect(const std::string& path, int fd) {
  const int file =
      open(path.empty() ? "/dev/null" : path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (file >= 0 && file != fd) {
    dup2(file, fd);
    close(file);
  }
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  std::fflush(nullptr);
  pid_ = fork();
  if (pid_ != 0) return;

  // The child: only calls that are safe after fork until exec.
  const int in = open("/dev/null", O_RDONLY);
  if (in >= 0) dup2(in, 0);
  Redirect(options.stdoutPath, 1);
  Redirect(options.stderrPath, 2);
  for (int fd = 3; fd < 1024; ++fd) {
    if (std::find(options.keepOpen.begin(), options.keepOpen.end(), fd) == options.keepOpen.end()) {
      close(fd);
    }
  }
  for (const auto& [name, value] : options.environment) {
    if (value) {
      setenv(name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
  if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) _exit(126);
  execvp(args[0], args.data());
  _exit(127);
}

ChildProcess::~ChildProcess() { Stop(); }

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
  if (status_ || pid_ <= 0) return status_;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    int raw = 0;
    if (waitpid(pid_, &raw, WNOHANG) == pid_) {
      status_ = StatusOf(raw);
      return status_;
    }
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void ChildProcess::Stop() {
  if (status_ || pid_ <= 0) return;
  kill(pid_, SIGTERM);
  if (WaitForExit(std::chrono::seconds(1))) return;
  kill(pid_, SIGKILL);
  WaitForExit(std::chrono::seconds(5));
}

}  // namespace testing_support
