#include "nt/station.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "nt/hive_file.h"

namespace nt {

StationPaths DefaultStation() {
  if (const char* root = std::getenv("STATION_ROOT"); root != nullptr && *root != '\0') {
    return StationPaths{root};
  }
  std::string data;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
    data = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
      const passwd* pw = getpwuid(getuid());
      home = pw != nullptr ? pw->pw_dir : "/tmp";
    }
    data = std::string(home) + "/.local/share";
  }
  return StationPaths{data + "/layinst/station"};
}

std::string CurrentUserName() {
  const passwd* pw = getpwuid(geteuid());
  if (pw != nullptr && pw->pw_name != nullptr) return pw->pw_name;
  return "uid" + std::to_string(geteuid());
}

bool MayWriteMachineHive(const StationPaths& station) {
  return HiveWritable(station.MachineHive());
}

}  // namespace nt
