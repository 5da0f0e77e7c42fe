// Provisioning: a new station built on first use.
//
// The station is built in a temporary directory beside its root and renamed
// into place, so it appears whole or not at all; of two processes that
// provision at once, one station survives and both use it. A station that
// exists is never changed, except that a user new to it gets a hive.
#pragma once

#include <string>

#include "nt/station.h"
#include "nt/win32.h"

namespace nt {

struct ProvisionOptions {
  // Our US layout library, copied into system32 as uskeys.so; nothing is
  // copied when it is empty or not there.
  std::string usLibrary = {};
};

// Makes the station at `paths` if it does not exist, and the hive of `user`
// if the station lacks it. *created tells whether this call made the station.
// ERROR_SUCCESS, or the platform's code with `error` saying what failed.
LONG ProvisionStation(const StationPaths& paths, const std::string& user,
                      const ProvisionOptions& options, std::string* error,
                      bool* created = nullptr);

// uskeys.so in the directory of the running program, or empty when it is not
// there.
std::string BundledUsLibrary();

}  // namespace nt
