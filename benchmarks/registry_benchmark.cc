// Enumerating the subkeys of one key, index 0, 1, 2, … as the layout key
// allocation does: each step should cost the same whatever the number of
// subkeys. "per_step" is the time of one RegEnumKeyExA; on SQLite, the walks
// after the first read the listing the store keeps while nothing commits.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "nt/hive_file.h"
#include "nt/registry.h"

namespace {

class Fixture {
 public:
  Fixture(bool sqlite, int subkeys) {
    if (sqlite) {
      std::string pattern =
          (std::filesystem::temp_directory_path() / "layinst-bench-XXXXXX").string();
      dir_ = mkdtemp(pattern.data());
      std::string error;
      nt::CreateHiveFile(dir_ + "/machine.db", 0644, &error);
      nt::CreateHiveFile(dir_ + "/user.db", 0600, &error);
      registry_ = nt::OpenHiveRegistry(dir_ + "/machine.db", dir_ + "/user.db", &error);
    } else {
      registry_ = nt::MakeMemoryRegistry();
    }
    registry_->Transact(HKEY_LOCAL_MACHINE, [&]() -> LONG {
      HKEY parent = nullptr;
      registry_->CreateKey(HKEY_LOCAL_MACHINE, "Keyboard Layouts", nullptr, KEY_ALL_ACCESS,
                           &parent, nullptr);
      for (int i = 0; i < subkeys; ++i) {
        char name[16];
        // Spread over the name order rather than appended at its end.
        std::snprintf(name, sizeof name, "%08X", static_cast<unsigned>(i * 2654435761u));
        HKEY child = nullptr;
        registry_->CreateKey(parent, name, nullptr, KEY_ALL_ACCESS, &child, nullptr);
        registry_->CloseKey(child);
      }
      registry_->CloseKey(parent);
      return ERROR_SUCCESS;
    });
  }

  ~Fixture() {
    registry_.reset();
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  nt::Registry& registry() { return *registry_; }

 private:
  std::string dir_;
  std::unique_ptr<nt::Registry> registry_;
};

// Steps through every subkey on one handle, as the allocation does.
void EnumerateSubkeys(benchmark::State& state, bool sqlite) {
  const int subkeys = static_cast<int>(state.range(0));
  Fixture fixture(sqlite, subkeys);
  nt::Registry& registry = fixture.registry();
  HKEY key = nullptr;
  registry.OpenKey(HKEY_LOCAL_MACHINE, "Keyboard Layouts", KEY_ALL_ACCESS, &key);
  int64_t steps = 0;
  for (auto _ : state) {
    for (DWORD i = 0;; ++i) {
      char name[40];
      DWORD length = sizeof name;
      if (registry.EnumKey(key, i, name, &length, nullptr, nullptr) != ERROR_SUCCESS) break;
      ++steps;
    }
  }
  if (steps != subkeys * static_cast<int64_t>(state.iterations())) state.SkipWithError("lost keys");
  state.counters["per_step"] =
      benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate |
                                                         benchmark::Counter::kInvert);
  registry.CloseKey(key);
}

// The same walk with a new handle for every step, so no cursor helps: what
// each step would cost if the index were counted off from the start.
void EnumerateSubkeysWithoutCursor(benchmark::State& state, bool sqlite) {
  const int subkeys = static_cast<int>(state.range(0));
  Fixture fixture(sqlite, subkeys);
  nt::Registry& registry = fixture.registry();
  int64_t steps = 0;
  for (auto _ : state) {
    for (DWORD i = 0;; ++i) {
      HKEY key = nullptr;
      registry.OpenKey(HKEY_LOCAL_MACHINE, "Keyboard Layouts", KEY_ALL_ACCESS, &key);
      char name[40];
      DWORD length = sizeof name;
      const LONG rc = registry.EnumKey(key, i, name, &length, nullptr, nullptr);
      registry.CloseKey(key);
      if (rc != ERROR_SUCCESS) break;
      ++steps;
    }
  }
  state.counters["per_step"] =
      benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate |
                                                         benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(EnumerateSubkeys, Memory, false)->Arg(100)->Arg(1000)->Arg(10000);
BENCHMARK_CAPTURE(EnumerateSubkeys, Sqlite, true)->Arg(100)->Arg(1000)->Arg(10000);
BENCHMARK_CAPTURE(EnumerateSubkeysWithoutCursor, Sqlite, true)->Arg(100)->Arg(1000)->Arg(10000);

}  // namespace

BENCHMARK_MAIN();
