// One whole install through the scripted user interface: the dialog opens,
// Install is clicked, the success box is answered, the dialog closes.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/cwinapp.h"
#include "framework/scripted_ui.h"
#include "installer/dialog/install_dlg.h"
#include "installer/dialog/resource.h"
#include "nt/files.h"
#include "nt/hive_file.h"
#include "nt/keyboard.h"
#include "nt/profile.h"
#include "nt/registry.h"
#include "nt/security.h"
#include "nt/system.h"

namespace {

class KitFiles : public nt::FilesWrapper {
 public:
  KitFiles(nt::Files& target, std::string kit) : nt::FilesWrapper(target), kit_(std::move(kit)) {}
  DWORD CurrentDirectory(std::string* path) override {
    *path = kit_;
    return ERROR_SUCCESS;
  }

 private:
  std::string kit_;
};

class ActiveKeyboard : public nt::KeyboardLayouts {
 public:
  DWORD Load(const std::string& name, UINT flags, HKL* layout) override {
    if (flags & KLF_ACTIVATE) active_ = name;
    *layout = reinterpret_cast<HKL>(1);
    return ERROR_SUCCESS;
  }
  DWORD ActiveName(std::string* name) override {
    *name = active_;
    return ERROR_SUCCESS;
  }

 private:
  std::string active_ = "00000409";
};

void Write(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << text;
}

void Put(nt::Registry& registry, HKEY root, const char* path, const char* name, const char* data) {
  HKEY key;
  registry.CreateKey(root, path, "", KEY_ALL_ACCESS, &key, nullptr);
  if (name) registry.SetValue(key, name, REG_SZ, reinterpret_cast<const BYTE*>(data), static_cast<DWORD>(std::strlen(data)));
  registry.CloseKey(key);
}

// `sqlite`: the station's hives on disk, else the in-memory registry.
void BM_Install(benchmark::State& state) {
  const bool sqlite = state.range(0) != 0;
  std::string root = std::filesystem::temp_directory_path().string() + "/layinst-bench-XXXXXX";
  mkdtemp(root.data());
  Write(root + "/kit/keyboard.ini",
        "[OptionsTextENG]\n0418=\"Romanian\"\n[Options]\n0418=romakeys.so\n");
  Write(root + "/kit/romakeys.so", std::string(20000, 'x'));
  std::filesystem::create_directories(root + "/system32");
  std::filesystem::create_directories(root + "/registry/users");

  std::unique_ptr<nt::Registry> registry;
  std::string error;
  if (sqlite) {
    nt::CreateHiveFile(root + "/registry/machine.db", 0644, &error);
    nt::CreateHiveFile(root + "/registry/users/u.db", 0600, &error);
    registry = nt::OpenHiveRegistry(root + "/registry/machine.db", root + "/registry/users/u.db", &error);
  } else {
    registry = nt::MakeMemoryRegistry();
  }
  const char* layouts = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";
  Put(*registry, HKEY_LOCAL_MACHINE, layouts, nullptr, nullptr);
  for (int i = 0; i < 60; ++i) {
    char key[64];
    std::snprintf(key, sizeof key, "%s\\%08x", layouts, (i % 4) << 16 | (0x401 + i));
    Put(*registry, HKEY_LOCAL_MACHINE, key, "Layout File", "x.so");
  }
  Put(*registry, HKEY_CURRENT_USER, "Keyboard Layout\\Preload", "1", "00000409");

  nt::HostFiles host_files(root + "/system32");
  KitFiles files(host_files, root + "/kit");
  nt::IniProfileReader profile(files);
  framework::ScriptedUi ui;
  ActiveKeyboard keyboard;
  nt::ScopedServices scope(nt::Services{.files = &files, .profile = &profile, .ui = &ui,
                                        .registry = registry.get(), .keyboard = &keyboard});
  CWinApp app("bench");
  for (auto _ : state) {
    ui.ClearBoxes();
    ui.Click(IDC_INSTALL).Escape();
    CInstallDlg dialog;
    dialog.DoModal();
    if (ui.boxes().empty()) state.SkipWithError("no message box");
  }
  state.SetLabel(sqlite ? "SQLite hives" : "memory registry");
  registry.reset();
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_Install)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
