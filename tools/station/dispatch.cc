// Finding the command that the words name, and --help for each.
#include <algorithm>

#include "tools/station/command.h"

namespace station {
namespace {

constexpr char kAbout[] =
    "The emulated Windows NT workstation that layinst installs into: its registry,\n"
    "system directory and keyboard. The station is $STATION_ROOT, else\n"
    "${XDG_DATA_HOME:-$HOME/.local/share}/layinst/station; the first command that\n"
    "needs it provisions it.\n";

bool IsHelp(const std::string& word) { return word == "--help" || word == "-h"; }

void PrintHelp(std::ostream& out, const std::string& name, const Command* command,
               const std::vector<Command>& subcommands) {
  if (command != nullptr && command->run != nullptr) {
    out << "usage: " << name << (command->arguments.empty() ? "" : " " + command->arguments)
        << "\n";
    if (!command->help.empty()) out << "\n" << command->help;
    return;
  }
  out << "usage: " << name << " COMMAND [ARGUMENTS]\n\n";
  out << (command == nullptr ? kAbout : command->help) << "\nCommands:\n";
  size_t width = 0;
  for (const Command& sub : subcommands) width = std::max(width, sub.name.size());
  for (const Command& sub : subcommands) {
    out << "  " << sub.name << std::string(width - sub.name.size() + 3, ' ') << sub.summary
        << "\n";
  }
  out << "\nRun \"" << name << " COMMAND --help\" for the command's own help.\n";
}

}  // namespace

int Failure(Invocation& invocation, const std::string& message) {
  invocation.err << invocation.name << ": " << message << "\n";
  return kFailed;
}

int UsageError(Invocation& invocation, const std::string& message) {
  invocation.err << invocation.name << ": " << message << "\n"
                 << "Run \"" << invocation.name << " --help\" for its usage.\n";
  return kUsage;
}

int Dispatch(const std::vector<Command>& commands, const std::vector<std::string>& args,
             std::ostream& out, std::ostream& err) {
  std::string name = "station";
  const Command* command = nullptr;
  const std::vector<Command>* level = &commands;
  size_t next = 0;
  while (command == nullptr || command->run == nullptr) {
    if (next < args.size() && IsHelp(args[next])) {
      PrintHelp(out, name, command, *level);
      return kOk;
    }
    Invocation here{name, {}, out, err};
    if (next == args.size()) return UsageError(here, "a command is missing");
    auto found = std::find_if(level->begin(), level->end(),
                              [&](const Command& c) { return c.name == args[next]; });
    if (found == level->end()) return UsageError(here, "no command \"" + args[next] + "\"");
    command = &*found;
    name += " " + command->name;
    level = &command->subcommands;
    ++next;
  }
  Invocation invocation{name, {args.begin() + static_cast<long>(next), args.end()}, out, err};
  if (std::any_of(invocation.args.begin(), invocation.args.end(), IsHelp)) {
    PrintHelp(out, name, command, *level);
    return kOk;
  }
  return command->run(invocation);
}

}  // namespace station
