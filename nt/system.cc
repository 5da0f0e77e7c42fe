#include "nt/system.h"

#include <cstdio>
#include <cstdlib>

namespace nt {
namespace {

Services g_services;

template <typename T>
T& Require(T* service, const char* name) {
  if (service == nullptr) {
    std::fprintf(stderr, "nt: no %s service is installed\n", name);
    std::abort();
  }
  return *service;
}

}  // namespace

Services& Current() { return g_services; }
Files& CurrentFiles() { return Require(g_services.files, "files"); }
ProfileReader& CurrentProfile() { return Require(g_services.profile, "profile"); }
UserInterface& CurrentUi() { return Require(g_services.ui, "user-interface"); }
Registry& CurrentRegistry() { return Require(g_services.registry, "registry"); }
Security& CurrentSecurity() { return Require(g_services.security, "security"); }
KeyboardLayouts& CurrentKeyboard() { return Require(g_services.keyboard, "keyboard"); }

ScopedServices::ScopedServices(const Services& replacement) : saved_(g_services) {
  if (replacement.files) g_services.files = replacement.files;
  if (replacement.profile) g_services.profile = replacement.profile;
  if (replacement.ui) g_services.ui = replacement.ui;
  if (replacement.registry) g_services.registry = replacement.registry;
  if (replacement.security) g_services.security = replacement.security;
  if (replacement.keyboard) g_services.keyboard = replacement.keyboard;
}

ScopedServices::~ScopedServices() { g_services = saved_; }

}  // namespace nt
