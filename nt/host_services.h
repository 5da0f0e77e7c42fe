// The real backends of a station, installed as the current services for the
// lifetime of this object. Programs (layinst, station) make one at start:
//
//   std::string error;
//   auto host = nt::HostServices::Open(nt::DefaultStation(), {}, &error);
//   if (!host) { std::fprintf(stderr, "%s\n", error.c_str()); return 1; }
//
// A service added later gets a member here and a line in Open.
#pragma once

#include <memory>
#include <string>

#include "nt/files.h"
#include "nt/keyboard/station_keyboard.h"
#include "nt/profile.h"
#include "nt/provision.h"
#include "nt/registry.h"
#include "nt/security.h"
#include "nt/station.h"
#include "nt/system.h"

namespace nt {

struct HostOptions {
  // Provision the station first when it does not exist.
  bool provision = true;
  // Passed to provisioning; BundledUsLibrary() when left empty.
  std::string usLibrary = {};
};

class HostServices {
 public:
  // Null with `error` set when the station cannot be provisioned or opened.
  static std::unique_ptr<HostServices> Open(const StationPaths& paths, const HostOptions& options,
                                            std::string* error);
  ~HostServices();

  const StationPaths& paths() const { return paths_; }
  const std::string& user() const { return user_; }
  Registry& registry() { return *registry_; }
  Files& files() { return *files_; }
  kbd::KeyboardDriver& keyboard() { return keyboard_->driver(); }

 private:
  HostServices() = default;

  StationPaths paths_;
  std::string user_;
  std::unique_ptr<HostFiles> files_;
  std::unique_ptr<IniProfileReader> profile_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<HostSecurity> security_;
  std::unique_ptr<kbd::StationKeyboard> keyboard_;
  std::unique_ptr<ScopedServices> scope_;  // last: uninstalled first
};

}  // namespace nt
