// A sealed station for the installer's tests: an in-memory registry behind a
// fault-injecting wrapper, a temporary directory for files, the scripted
// user interface, and a recording keyboard driver.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "framework/scripted_ui.h"
#include "installer/dialog/install_dlg.h"
#include "nt/files.h"
#include "nt/keyboard.h"
#include "nt/profile.h"
#include "nt/registry.h"
#include "nt/registry_faults.h"
#include "nt/system.h"
#include "tests/support/temp_dir.h"

namespace installer_test {

// A value as the tests write and read it: name and REG_SZ text.
using Value = std::pair<std::string, std::string>;
using Values = std::vector<Value>;

inline constexpr char kLayoutsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";
inline constexpr char kPreloadKey[] = "Keyboard Layout\\Preload";

// Records what the installer asks of the keyboard driver; a load makes the
// layout active when it activates.
class RecordingKeyboard : public nt::KeyboardLayouts {
 public:
  DWORD Load(const std::string& name, UINT flags, HKL* layout) override {
    loads.emplace_back(name, flags);
    if (fail_loads) return ERROR_FILE_NOT_FOUND;
    if (flags & KLF_ACTIVATE) active = name;
    *layout = reinterpret_cast<HKL>(static_cast<uintptr_t>(loads.size()));
    return ERROR_SUCCESS;
  }
  DWORD ActiveName(std::string* name) override {
    *name = active;
    return ERROR_SUCCESS;
  }

  std::string active = "00000409";
  bool fail_loads = false;
  std::vector<std::pair<std::string, UINT>> loads;
};

// The host's files, with the kit directory as the current directory and
// every copy recorded; copies outside the test's directory are refused.
class KitFiles : public nt::FilesWrapper {
 public:
  KitFiles(nt::Files& target, std::string kit, std::string root)
      : nt::FilesWrapper(target), kit_(std::move(kit)), root_(std::move(root)) {}
  DWORD CurrentDirectory(std::string* path) override {
    *path = kit_;
    return ERROR_SUCCESS;
  }
  DWORD Copy(const std::string& from, const std::string& to, bool failIfExists) override {
    copies.emplace_back(from, to);
    if (nt::ResolvePath(to).rfind(root_, 0) != 0) return ERROR_ACCESS_DENIED;
    return nt::FilesWrapper::Copy(from, to, failIfExists);
  }
  std::vector<std::pair<std::string, std::string>> copies;

 private:
  std::string kit_;
  std::string root_;
};

class InstallerTest : public testing::Test {
 public:
  InstallerTest();

  // Writes a key and its REG_SZ values straight into the store (no faults, not counted).
  void Put(HKEY root, const std::string& path, const Values& values);
  // The values of a key in enumeration order, read straight from the store;
  // nullopt when the key does not exist.
  std::optional<Values> Get(HKEY root, const std::string& path);
  std::vector<std::string> Subkeys(HKEY root, const std::string& path);

  // Runs `body` inside the open dialog's modal loop, as a click handler would,
  // then closes the dialog with Escape.
  template <typename Body>
  void InDialog(Body body) {
    ui_.Do([&](HWND window) {
         owner_ = window;
         body(dialog());
       }).Escape();
    dialog().DoModal();
  }

  CInstallDlg& dialog() {
    if (!dialog_) dialog_ = std::make_unique<CInstallDlg>();
    return *dialog_;
  }
  // The window of the dialog that ran last, which owns its boxes.
  HWND owner() const { return owner_; }
  std::vector<framework::BoxRecord> Boxes() const { return ui_.boxes(); }
  framework::BoxRecord SystemErrorBox(DWORD code, UINT type);

  testing_support::TempDir dir_;
  std::unique_ptr<nt::Registry> store_;
  nt::FaultyRegistry registry_;
  nt::HostFiles host_files_;
  KitFiles files_;
  nt::IniProfileReader profile_;
  framework::ScriptedUi ui_;
  RecordingKeyboard keyboard_;
  nt::ScopedServices scope_;
  std::unique_ptr<CInstallDlg> dialog_;
  HWND owner_ = nullptr;
};

}  // namespace installer_test
