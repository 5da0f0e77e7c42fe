// The station: the emulated workstation's state on disk.
//
//   <root>/system32/                 the system directory
//   <root>/registry/machine.db       HKEY_LOCAL_MACHINE
//   <root>/registry/users/<user>.db  HKEY_CURRENT_USER of each user
#pragma once

#include <string>

namespace nt {

struct StationPaths {
  std::string root;

  std::string SystemDirectory() const { return root + "/system32"; }
  std::string RegistryDirectory() const { return root + "/registry"; }
  std::string MachineHive() const { return root + "/registry/machine.db"; }
  std::string UserHive(const std::string& user) const {
    return root + "/registry/users/" + user + ".db";
  }
};

// STATION_ROOT when set, else ${XDG_DATA_HOME:-$HOME/.local/share}/layinst/station.
StationPaths DefaultStation();

// The name of the user running the process, as the station keys its hives.
std::string CurrentUserName();

// Whether the process may write the station's machine hive: what makes it an
// administrator of the station.
bool MayWriteMachineHive(const StationPaths& station);

}  // namespace nt
