// AllocateLayoutKey over a Keyboard Layouts key of 100 to 10,000 subkeys,
// on the station's SQLite hives and on the in-memory registry. A new layout
// reads every subkey, so this is the allocation's worst case.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "framework/cwinapp.h"
#include "installer/dialog/install_dlg.h"
#include "nt/files.h"
#include "nt/hive_file.h"
#include "nt/registry.h"
#include "nt/system.h"

namespace {

void Set(nt::Registry& registry, HKEY key, const char* name, const std::string& text) {
  registry.SetValue(key, name, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                    static_cast<DWORD>(text.size()));
}

// A station directory whose machine hive (SQLite, or the in-memory registry)
// holds `subkeys` layout keys of three values each.
struct Station {
  Station(int subkeys, bool sqlite) : sqlite(sqlite) {
    root = std::filesystem::temp_directory_path().string() + "/layinst-alloc-XXXXXX";
    mkdtemp(root.data());
    std::string error;
    if (sqlite) {
      nt::CreateHiveFile(root + "/machine.db", 0644, &error);
      nt::CreateHiveFile(root + "/user.db", 0600, &error);
    }
    std::unique_ptr<nt::Registry> registry = Open();
    const std::string layouts = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";
    registry->Transact(HKEY_LOCAL_MACHINE, [&]() -> LONG {
      for (int i = 0; i < subkeys; ++i) {
        // Languages 0x0400 to 0x04ff, variants counted up per language.
        char name[16];
        std::snprintf(name, sizeof name, "%04x%04x", i / 256, 0x400 + i % 256);
        HKEY key;
        registry->CreateKey(HKEY_LOCAL_MACHINE, (layouts + "\\" + name).c_str(), "",
                            KEY_ALL_ACCESS, &key, nullptr);
        Set(*registry, key, "Layout File", "layout" + std::to_string(i) + ".so");
        Set(*registry, key, "Layout Text", "Layout " + std::to_string(i));
        Set(*registry, key, "Layout Id", std::to_string(i));
        registry->CloseKey(key);
      }
      return ERROR_SUCCESS;
    });
    if (!sqlite) memory = std::move(registry);
  }
  ~Station() { std::filesystem::remove_all(root); }

  std::unique_ptr<nt::Registry> Open() const {
    std::string error;
    return sqlite ? nt::OpenHiveRegistry(root + "/machine.db", root + "/user.db", &error)
                  : nt::MakeMemoryRegistry();
  }

  bool sqlite;
  std::string root;
  std::unique_ptr<nt::Registry> memory;
};

bool Allocate(CInstallDlg& dialog) {
  CString key = "0418";
  CString layout_id;
  const bool done = dialog.AllocateLayoutKey(key, layout_id, "new.so");
  benchmark::DoNotOptimize(key);
  return done;
}

// One process allocating again and again: what it read stays valid.
void BM_AllocateLayoutKey(benchmark::State& state) {
  const int subkeys = static_cast<int>(state.range(0));
  Station station(subkeys, state.range(1) != 0);
  std::unique_ptr<nt::Registry> opened = station.sqlite ? station.Open() : nullptr;
  nt::Registry* registry = station.sqlite ? opened.get() : station.memory.get();
  nt::HostFiles files(station.root);
  nt::ScopedServices scope(nt::Services{.files = &files, .registry = registry});
  CWinApp app("bench");
  CInstallDlg dialog;
  for (auto _ : state) {
    if (!Allocate(dialog)) state.SkipWithError("failed");
  }
  state.SetComplexityN(subkeys);
  state.SetLabel(station.sqlite ? "SQLite hives" : "memory registry");
}
BENCHMARK(BM_AllocateLayoutKey)
    ->ArgsProduct({{100, 1000, 10000}, {1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllocateLayoutKey)
    ->ArgsProduct({{100, 1000, 10000}, {0}})
    ->Unit(benchmark::kMillisecond);

// The installer's case: the first allocation of a process that has just
// opened the hives, so that everything is read from the database.
void BM_AllocateLayoutKeyFirstCall(benchmark::State& state) {
  const int subkeys = static_cast<int>(state.range(0));
  Station station(subkeys, true);
  nt::HostFiles files(station.root);
  CWinApp app("bench");
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<nt::Registry> registry = station.Open();
    nt::ScopedServices scope(nt::Services{.files = &files, .registry = registry.get()});
    CInstallDlg dialog;
    state.ResumeTiming();
    if (!Allocate(dialog)) state.SkipWithError("failed");
  }
  state.SetComplexityN(subkeys);
  state.SetLabel("SQLite hives, opened anew");
}
BENCHMARK(BM_AllocateLayoutKeyFirstCall)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
