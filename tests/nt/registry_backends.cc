#include "tests/nt/registry_backends.h"

#include <gtest/gtest.h>

#include "nt/hive_file.h"

namespace testing_support {

std::vector<RegistryBackend> RegistryBackends() {
  return {
      {"Memory",
       [](const TempDir&, const nt::HiveOptions& options) {
         return nt::MakeMemoryRegistry(options);
       }},
      {"Sqlite",
       [](const TempDir& dir, const nt::HiveOptions& options) -> std::unique_ptr<nt::Registry> {
         const std::string machine = dir.path() + "/machine.db";
         const std::string user = dir.path() + "/user.db";
         std::string error;
         if (nt::CreateHiveFile(machine, 0644, &error) != ERROR_SUCCESS ||
             nt::CreateHiveFile(user, 0600, &error) != ERROR_SUCCESS) {
           ADD_FAILURE() << error;
           return nt::MakeMemoryRegistry();
         }
         auto registry = nt::OpenHiveRegistry(machine, user, &error, options);
         if (registry == nullptr) ADD_FAILURE() << error;
         return registry;
       }},
  };
}

}  // namespace testing_support
