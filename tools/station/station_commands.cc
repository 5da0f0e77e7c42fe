// station init, station info: the station itself.
#include <unistd.h>

#include "nt/hive_file.h"
#include "nt/provision.h"
#include "nt/station.h"
#include "tools/station/command.h"

namespace station {
namespace {

int Init(Invocation& invocation) {
  if (!invocation.args.empty()) return UsageError(invocation, "init takes no arguments");
  const nt::StationPaths paths = nt::DefaultStation();
  std::string error;
  bool created = false;
  if (nt::ProvisionStation(paths, nt::CurrentUserName(), {.usLibrary = nt::BundledUsLibrary()},
                           &error, &created) != ERROR_SUCCESS) {
    return Failure(invocation, error);
  }
  invocation.out << (created ? "Provisioned a new station at " : "The station exists at ")
                 << paths.root << "\n";
  return kOk;
}

int Info(Invocation& invocation) {
  if (!invocation.args.empty()) return UsageError(invocation, "info takes no arguments");
  const nt::StationPaths paths = nt::DefaultStation();
  const std::string user = nt::CurrentUserName();
  const bool provisioned = access(paths.MachineHive().c_str(), F_OK) == 0;
  invocation.out << "root:             " << paths.root << "\n"
                 << "system directory: " << paths.SystemDirectory() << "\n"
                 << "machine hive:     " << paths.MachineHive() << "\n"
                 << "user hive:        " << paths.UserHive(user) << "\n"
                 << "user:             " << user << "\n"
                 << "provisioned:      " << (provisioned ? "yes" : "no") << "\n"
                 << "administrator:    " << (nt::MayWriteMachineHive(paths) ? "yes" : "no")
                 << "\n";
  return kOk;
}

}  // namespace

std::unique_ptr<nt::HostServices> OpenStation(Invocation& invocation) {
  std::string error;
  auto host = nt::HostServices::Open(nt::DefaultStation(), {}, &error);
  if (host == nullptr) Failure(invocation, error);
  return host;
}

std::vector<Command> StationCommands() {
  return {
      {.name = "init",
       .summary = "provision the station if it does not exist",
       .help = "Makes the station: its system directory with our US layout library (uskeys.so\n"
               "from beside this program, when it is there), the machine hive with the\n"
               "Keyboard Layouts key and the user's hive. A station that exists is left as\n"
               "it is; a user new to it gets a hive of their own.\n",
       .run = Init},
      {.name = "info",
       .summary = "show where the station and its hives are",
       .help = "Shows the station's root, system directory and hives, the user, whether\n"
               "the station is provisioned, and whether this user is its administrator\n"
               "(may write the machine hive). Provisions nothing.\n",
       .run = Info},
  };
}

}  // namespace station
