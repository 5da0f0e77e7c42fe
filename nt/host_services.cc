#include "nt/host_services.h"

namespace nt {

std::unique_ptr<HostServices> HostServices::Open(const StationPaths& paths,
                                                 const HostOptions& options, std::string* error) {
  std::unique_ptr<HostServices> host(new HostServices);
  host->paths_ = paths;
  host->user_ = CurrentUserName();
  if (options.provision) {
    ProvisionOptions provision{.usLibrary = options.usLibrary.empty() ? BundledUsLibrary()
                                                                      : options.usLibrary};
    if (ProvisionStation(paths, host->user_, provision, error) != ERROR_SUCCESS) return nullptr;
  }
  host->registry_ = OpenHiveRegistry(paths.MachineHive(), paths.UserHive(host->user_), error);
  if (host->registry_ == nullptr) return nullptr;
  host->files_ = std::make_unique<HostFiles>(paths.SystemDirectory());
  host->profile_ = std::make_unique<IniProfileReader>(*host->files_);
  // The administrator's privileges go to whoever may write the machine hive.
  host->security_ = std::make_unique<HostSecurity>([paths] { return MayWriteMachineHive(paths); });
  host->keyboard_ = std::make_unique<kbd::StationKeyboard>(paths, host->user_);
  host->scope_ = std::make_unique<ScopedServices>(Services{
      .files = host->files_.get(),
      .profile = host->profile_.get(),
      .registry = host->registry_.get(),
      .security = host->security_.get(),
      .keyboard = &host->keyboard_->driver(),
  });
  return host;
}

HostServices::~HostServices() { scope_.reset(); }

}  // namespace nt
