#include "tools/station/command.h"

namespace station {

std::vector<Command> AllCommands() {
  std::vector<Command> commands = StationCommands();
  commands.push_back(RegCommands());
  for (Command& command : KeyboardCommands()) commands.push_back(std::move(command));
  commands.push_back(LayoutCommands());
  // Further groups: one line each.
  return commands;
}

}  // namespace station
