// A program started by a test in the background, with its own environment,
// working directory and output files; ended and reaped when the object goes.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

struct ChildOptions {
  std::map<std::string, std::optional<std::string>> environment = {};  // nullopt unsets
  std::string directory = {};   // empty: the test's own
  std::string stdoutPath = {};  // empty: /dev/null
  std::string stderrPath = {};  // empty: /dev/null
  std::vector<int> keepOpen = {};  // descriptors the program inherits, at their numbers
};

class ChildProcess {
 public:
  ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  bool started() const { return pid_ > 0; }
  // The exit status once the program ended within `timeout` (128 + the
  // signal when a signal ended it); nullopt while it still runs.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
  // SIGTERM, then SIGKILL if it has not gone within a second.
  void Stop();

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

}  // namespace testing_support
