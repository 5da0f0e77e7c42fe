#include "tests/nt/registry_backends.h"

namespace testing_support {

std::vector<RegistryBackend> RegistryBackends() {
  return {
      {"Memory",
       [](const TempDir&, const nt::HiveOptions& options) {
         return nt::MakeMemoryRegistry(options);
       }},
  };
}

}  // namespace testing_support
