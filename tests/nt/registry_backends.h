// The registry backends the contract tests run over.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "nt/registry.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

struct RegistryBackend {
  const char* name;
  // A registry with both hives empty; `dir` holds whatever files it needs.
  std::function<std::unique_ptr<nt::Registry>(const TempDir& dir, const nt::HiveOptions&)> make;
};

std::vector<RegistryBackend> RegistryBackends();

inline void PrintTo(const RegistryBackend& backend, std::ostream* out) { *out << backend.name; }

}  // namespace testing_support
