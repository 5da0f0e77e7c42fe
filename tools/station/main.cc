// station: the command-line tool of the emulated workstation.
#include <iostream>

#include "tools/station/command.h"

int main(int argc, char** argv) {
  return station::Dispatch(station::AllCommands(), {argv + 1, argv + argc}, std::cout, std::cerr);
}
