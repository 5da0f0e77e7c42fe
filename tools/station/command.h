// The station tool's commands: a tree of named commands, each group in a file
// of its own (station_commands.cc, reg_commands.cc, …) and joined in
// commands.cc.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "nt/host_services.h"

namespace station {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// One run of a command: its arguments (the words after its name) and where
// its output and messages go.
struct Invocation {
  std::string name;  // "station reg query", for messages
  std::vector<std::string> args;
  std::ostream& out;
  std::ostream& err;
};

struct Command {
  std::string name = {};
  std::string arguments = {};  // as the usage line shows them: "KEY [VALUE]"
  std::string summary = {};    // one line in the list of its group
  std::string help = {};       // what --help shows below the usage line
  int (*run)(Invocation&) = nullptr;  // null for a group
  std::vector<Command> subcommands = {};
};

// The groups of commands, one file each.
std::vector<Command> StationCommands();
Command RegCommands();
std::vector<Command> KeyboardCommands();
Command LayoutCommands();

// Every command of the tool.
std::vector<Command> AllCommands();

// Runs the command that `args` names; the program's exit status.
int Dispatch(const std::vector<Command>& commands, const std::vector<std::string>& args,
             std::ostream& out, std::ostream& err);

// "NAME: message" on the error stream, and the exit status for it.
int Failure(Invocation& invocation, const std::string& message);
// The station's services, provisioning it first when needed; null after
// reporting why it cannot be opened.
std::unique_ptr<nt::HostServices> OpenStation(Invocation& invocation);

// As Failure, with a pointer to --help: for arguments that do not fit.
int UsageError(Invocation& invocation, const std::string& message);

}  // namespace station
