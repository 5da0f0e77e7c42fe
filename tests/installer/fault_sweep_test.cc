// One whole install, repeated with the Nth registry or file call failing,
// for every N until the install runs clean: each run ends in messages the
// installer knows, and the station's hives stay sound.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "installer/dialog/resource.h"
#include "nt/hive_file.h"
#include "nt/reg_file.h"
#include "tests/installer/installer_fixture.h"

namespace installer_test {
namespace {

// Fails the Nth call of the file service with a chosen code.
class FaultyFiles : public nt::FilesWrapper {
 public:
  FaultyFiles(nt::Files& target, int fail_at) : nt::FilesWrapper(target), fail_at_(fail_at) {}
  DWORD CurrentDirectory(std::string* path) override {
    return Fault() ? ERROR_ACCESS_DENIED : nt::FilesWrapper::CurrentDirectory(path);
  }
  DWORD SystemDirectory(std::string* path) override {
    return Fault() ? ERROR_ACCESS_DENIED : nt::FilesWrapper::SystemDirectory(path);
  }
  DWORD GetAttributes(const std::string& path, DWORD* attributes) override {
    return Fault() ? ERROR_ACCESS_DENIED : nt::FilesWrapper::GetAttributes(path, attributes);
  }
  DWORD Copy(const std::string& from, const std::string& to, bool failIfExists) override {
    return Fault() ? ERROR_DISK_FULL : nt::FilesWrapper::Copy(from, to, failIfExists);
  }
  DWORD ReadAll(const std::string& path, std::string* contents) override {
    return Fault() ? ERROR_SHARING_VIOLATION : nt::FilesWrapper::ReadAll(path, contents);
  }
  bool fired() const { return calls_ >= fail_at_; }

 private:
  bool Fault() { return ++calls_ == fail_at_; }
  int fail_at_;
  int calls_ = 0;
};

class FaultSweepTest : public InstallerTest {
 protected:
  FaultSweepTest() {
    dir_.Write("kit/keyboard.ini",
               "[OptionsTextENG]\n0418=\"Romanian\"\n[Options]\n0418=romakeys.so\n");
    dir_.Write("kit/romakeys.so", "library");
    machine_ = dir_.path() + "/station/registry/machine.db";
    user_ = dir_.path() + "/station/registry/users/u.db";
    dir_.Mkdir("station/registry/users");
  }

  // A fresh station: hives with a few layouts, Preload 1, and an earlier install.
  std::unique_ptr<nt::Registry> FreshHives() {
    for (const std::string& hive : {machine_, user_}) {
      for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(hive + suffix);
    }
    std::filesystem::remove(dir_.path() + "/station/system32/romakeys.so");
    std::string error;
    EXPECT_EQ(nt::CreateHiveFile(machine_, 0644, &error), 0) << error;
    EXPECT_EQ(nt::CreateHiveFile(user_, 0600, &error), 0) << error;
    auto hives = nt::OpenHiveRegistry(machine_, user_, &error);
    EXPECT_NE(hives, nullptr) << error;
    std::swap(store_, hives);
    Put(HKEY_LOCAL_MACHINE, std::string(kLayoutsKey) + "\\00000409", {{"Layout File", "uskeys.so"}});
    Put(HKEY_LOCAL_MACHINE, std::string(kLayoutsKey) + "\\00000418", {{"Layout File", "ro.so"}});
    Put(HKEY_LOCAL_MACHINE, std::string(kLayoutsKey) + "\\00010409",
        {{"Layout File", "dv.so"}, {"Layout Id", "0002"}});
    Put(HKEY_LOCAL_MACHINE, kLayoutsKey, {{"00010409", "dv.so"}});
    Put(HKEY_CURRENT_USER, kPreloadKey, {{"1", "00000409"}});
    std::swap(store_, hives);
    return hives;
  }

  bool Known(const framework::BoxRecord& box) {
    static const std::set<std::string> captions = {
        "GetLastError", "Keyboard installation", "Keyboard installation failed !!",
        "RegOpenKeyEx on HKLM\\CurrentControlSet\\Control\\Keyboard Layouts",
        "RegOpenKeyEx on HCU", "RegOpenKeyEx on HCU\\Keyboard Layout\\Preload",
        "RegSetValueEx on HCU\\Keyboard Layout\\Preload", "Information"};
    return captions.count(box.caption) != 0 || box.caption == AfxGetAppName();
  }

  void CheckHives() {
    std::string report;
    EXPECT_TRUE(nt::CheckHiveIntegrity(machine_, &report)) << report;
    EXPECT_TRUE(nt::CheckHiveIntegrity(user_, &report)) << report;
  }

  std::string machine_;
  std::string user_;
};

TEST_F(FaultSweepTest, EveryFailingRegistryCallEndsInAKnownMessage) {
  int n = 1;
  for (;; ++n) {
    SCOPED_TRACE("registry call " + std::to_string(n));
    auto hives = FreshHives();
    nt::FaultyRegistry faulty(*hives);
    faulty.FailCall(n, ERROR_REGISTRY_IO_FAILED);
    nt::ScopedServices scope(nt::Services{.registry = &faulty});
    ui_.ClearBoxes();
    dialog_.reset();
    ui_.Click(IDC_INSTALL).Escape();
    dialog().DoModal();
    for (const auto& box : ui_.boxes()) EXPECT_TRUE(Known(box)) << box;
    hives.reset();
    CheckHives();
    if (static_cast<int>(faulty.calls().size()) < n) break;  // this run met no fault
    ASSERT_LT(n, 1000);
  }
  EXPECT_GT(n, 20) << "an install makes more registry calls than that";
  EXPECT_EQ(ui_.boxes().back().caption, "Keyboard installation") << "the clean run succeeds";
}

TEST_F(FaultSweepTest, EveryFailingFileCallEndsInAKnownMessage) {
  int n = 1;
  for (;; ++n) {
    SCOPED_TRACE("file call " + std::to_string(n));
    auto hives = FreshHives();
    FaultyFiles faulty(files_, n);
    nt::ScopedServices scope(nt::Services{.files = &faulty, .registry = hives.get()});
    nt::IniProfileReader profile(faulty);
    nt::ScopedServices profile_scope(nt::Services{.profile = &profile});
    ui_.ClearBoxes();
    dialog_.reset();
    ui_.Click(IDC_INSTALL).Escape();
    dialog().DoModal();
    for (const auto& box : ui_.boxes()) EXPECT_TRUE(Known(box)) << box;
    hives.reset();
    CheckHives();
    if (!faulty.fired()) break;
    ASSERT_LT(n, 100);
  }
  EXPECT_GT(n, 3);
}

}  // namespace
}  // namespace installer_test
