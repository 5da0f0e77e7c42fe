// The services behind the Win32-shaped calls of nt/win32.h.
//
// Every call dispatches to the service of the current Services set. A program
// installs the real backends once at start (nt/station.h); a test installs its
// own fakes for a scope with ScopedServices and never touches the user's
// station.
#pragma once

namespace nt {

class Files;
class ProfileReader;
class UserInterface;
class Registry;
class Security;
class KeyboardLayouts;

struct Services {
  Files* files = nullptr;
  ProfileReader* profile = nullptr;
  UserInterface* ui = nullptr;
  Registry* registry = nullptr;
  Security* security = nullptr;
  KeyboardLayouts* keyboard = nullptr;
};

// The services in force. Aborts with a message when the one a call needs has
// not been installed: that is a fault of the program, not of the user.
Services& Current();
Files& CurrentFiles();
ProfileReader& CurrentProfile();
UserInterface& CurrentUi();
Registry& CurrentRegistry();
Security& CurrentSecurity();
KeyboardLayouts& CurrentKeyboard();

// Replaces the services that `replacement` names (non-null members) for the
// lifetime of this object, and restores the former set after.
class ScopedServices {
 public:
  explicit ScopedServices(const Services& replacement);
  ~ScopedServices();
  ScopedServices(const ScopedServices&) = delete;
  ScopedServices& operator=(const ScopedServices&) = delete;

 private:
  Services saved_;
};

}  // namespace nt
