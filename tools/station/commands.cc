#include "tools/station/command.h"

namespace station {

std::vector<Command> AllCommands() {
  std::vector<Command> commands = StationCommands();
  commands.push_back(RegCommands());
  // Further groups: one line each.
  return commands;
}

}  // namespace station
