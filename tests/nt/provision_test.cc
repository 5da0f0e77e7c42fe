// Provisioning a station: what a new one holds, and that an existing one is
// never changed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "nt/files.h"
#include "nt/hive_file.h"
#include "nt/host_services.h"
#include "nt/provision.h"
#include "nt/reg_file.h"
#include "nt/registry.h"
#include "nt/station.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

constexpr char kLayouts[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";

class ProvisionTest : public testing::Test {
 protected:
  ProvisionTest() : paths_{dir_.path() + "/share/layinst/station"} {}

  LONG Provision(const std::string& user = "alice", const std::string& usLibrary = "",
                 bool* created = nullptr) {
    std::string error;
    LONG rc = nt::ProvisionStation(paths_, user, {.usLibrary = usLibrary}, &error, created);
    EXPECT_TRUE(rc == ERROR_SUCCESS || !error.empty());
    last_error_ = error;
    return rc;
  }

  std::unique_ptr<nt::Registry> Open(const std::string& user = "alice") {
    std::string error;
    auto registry = nt::OpenHiveRegistry(paths_.MachineHive(), paths_.UserHive(user), &error);
    EXPECT_NE(registry, nullptr) << error;
    return registry;
  }

  static unsigned Mode(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }

  // What lies beside the root: nothing but the station once provisioning ends.
  std::set<std::string> Siblings() const {
    std::set<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(paths_.root).parent_path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  TempDir dir_;
  nt::StationPaths paths_;
  std::string last_error_;
};

TEST_F(ProvisionTest, ANewStationHoldsTheSeedAndTheUsLibrary) {
  const std::string library = dir_.Write("kit/uskeys.so", "\x7f" "ELF our US layout");
  bool created = false;
  ASSERT_EQ(Provision("alice", library, &created), ERROR_SUCCESS) << last_error_;
  EXPECT_TRUE(created);
  EXPECT_EQ(Siblings(), std::set<std::string>{"station"});
  EXPECT_EQ(Mode(paths_.root), 0755u);
  EXPECT_EQ(Mode(paths_.SystemDirectory()), 0755u);
  EXPECT_EQ(Mode(paths_.MachineHive()), 0644u);
  EXPECT_EQ(Mode(paths_.UserHive("alice")), 0600u);
  EXPECT_EQ(Mode(paths_.RegistryDirectory() + "/users"), geteuid() == 0 ? 01777u : 0755u);
  EXPECT_EQ(dir_.Read("share/layinst/station/system32/uskeys.so"), "\x7f" "ELF our US layout");

  auto registry = Open();
  std::string preload;
  ASSERT_EQ(nt::ExportRegFile(*registry, HKEY_CURRENT_USER, "Keyboard Layout\\Preload", &preload),
            ERROR_SUCCESS);
  EXPECT_EQ(preload,
            "REGEDIT4\n\n[HKEY_CURRENT_USER\\Keyboard Layout\\Preload]\n\"1\"=\"00000409\"\n\n");

  // The Keyboard Layouts key: no value of its own, every subkey a layout with
  // its file and text, variants numbered without gaps and with Layout Ids of
  // their own.
  HKEY layouts = nullptr;
  ASSERT_EQ(registry->OpenKey(HKEY_LOCAL_MACHINE, kLayouts, KEY_ALL_ACCESS, &layouts),
            ERROR_SUCCESS);
  char name[40];
  DWORD length = 40;
  BYTE data[40];
  DWORD dataLength = 40;
  EXPECT_EQ(registry->EnumValue(layouts, 0, name, &length, nullptr, data, &dataLength),
            ERROR_NO_MORE_ITEMS);
  std::map<std::string, std::map<std::string, std::string>> entries;
  for (DWORD i = 0;; ++i) {
    length = 40;
    if (registry->EnumKey(layouts, i, name, &length, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY key = nullptr;
    ASSERT_EQ(registry->OpenKey(layouts, name, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    for (DWORD v = 0;; ++v) {
      char valueName[40];
      DWORD nameLength = 40;
      dataLength = 40;
      if (registry->EnumValue(key, v, valueName, &nameLength, nullptr, data, &dataLength)) break;
      entries[name][valueName] = reinterpret_cast<char*>(data);
    }
    registry->CloseKey(key);
  }
  EXPECT_GE(entries.size(), 40u);
  EXPECT_EQ(entries["00000409"]["Layout File"], "uskeys.so");
  EXPECT_EQ(entries["00000409"]["Layout Text"], "US");
  std::set<unsigned long> ids;
  for (const auto& [key, values] : entries) {
    SCOPED_TRACE(key);
    EXPECT_EQ(values.count("Layout File"), 1u);
    EXPECT_EQ(values.count("Layout Text"), 1u);
    const unsigned long number = std::stoul(key, nullptr, 16);
    if (number >> 16 == 0) continue;
    char previous[9];
    std::snprintf(previous, sizeof previous, "%08X", static_cast<unsigned>(number - 0x10000));
    EXPECT_EQ(entries.count(previous), 1u) << "a gap before this variant";
    ASSERT_EQ(values.count("Layout Id"), 1u);
    EXPECT_TRUE(ids.insert(std::stoul(values.at("Layout Id"), nullptr, 16)).second)
        << "Layout Id used twice";
  }
  registry->CloseKey(layouts);
}

TEST_F(ProvisionTest, AnExistingStationIsLeftAsItIs) {
  ASSERT_EQ(Provision("alice", "/none/uskeys.so"), ERROR_SUCCESS) << last_error_;
  EXPECT_FALSE(std::filesystem::exists(paths_.SystemDirectory() + "/uskeys.so"));
  {
    auto registry = Open();
    ASSERT_EQ(nt::DeleteKeyTree(*registry, HKEY_LOCAL_MACHINE, kLayouts), ERROR_SUCCESS);
  }
  const std::string library = dir_.Write("kit/uskeys.so", "library");
  bool created = true;
  ASSERT_EQ(Provision("alice", library, &created), ERROR_SUCCESS) << last_error_;
  EXPECT_FALSE(created);
  EXPECT_FALSE(std::filesystem::exists(paths_.SystemDirectory() + "/uskeys.so"));
  auto registry = Open();
  HKEY key = nullptr;
  EXPECT_EQ(registry->OpenKey(HKEY_LOCAL_MACHINE, kLayouts, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(ProvisionTest, AUserNewToAStationGetsAHiveOfTheirOwn) {
  ASSERT_EQ(Provision("alice"), ERROR_SUCCESS) << last_error_;
  {
    auto registry = Open("alice");
    HKEY key = nullptr;
    ASSERT_EQ(registry->OpenKey(HKEY_CURRENT_USER, "Keyboard Layout\\Preload", KEY_ALL_ACCESS,
                                &key),
              ERROR_SUCCESS);
    ASSERT_EQ(registry->SetValue(key, "2", REG_SZ, reinterpret_cast<const BYTE*>("00000418"), 8),
              ERROR_SUCCESS);
  }
  ASSERT_EQ(Provision("bob"), ERROR_SUCCESS) << last_error_;
  EXPECT_EQ(Mode(paths_.UserHive("bob")), 0600u);
  std::set<std::string> users;
  for (const auto& entry : std::filesystem::directory_iterator(paths_.RegistryDirectory() + "/users")) {
    users.insert(entry.path().filename().string());
  }
  EXPECT_EQ(users, (std::set<std::string>{"alice.db", "bob.db"}));
  for (const auto& [user, expected] :
       std::map<std::string, std::string>{{"alice", "\"2\"=hex(1):30,30,30,30,30,34,31,38\n"}, {"bob", ""}}) {
    SCOPED_TRACE(user);
    auto registry = Open(user);
    std::string text;
    ASSERT_EQ(nt::ExportRegFile(*registry, HKEY_CURRENT_USER, "Keyboard Layout\\Preload", &text),
              ERROR_SUCCESS);
    EXPECT_EQ(text, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Keyboard Layout\\Preload]\n"
                    "\"1\"=\"00000409\"\n" + expected + "\n");
  }
}

TEST_F(ProvisionTest, TheRootMayBeMissingOrEmptyButNothingElse) {
  dir_.Mkdir("share/layinst/station");
  ASSERT_EQ(Provision(), ERROR_SUCCESS) << last_error_;
  EXPECT_TRUE(nt::MayWriteMachineHive(paths_));

  paths_.root = dir_.path() + "/trailing//";
  ASSERT_EQ(Provision(), ERROR_SUCCESS) << last_error_;
  EXPECT_TRUE(std::filesystem::exists(dir_.path() + "/trailing/registry/machine.db"));

  paths_.root = dir_.path() + "/other";
  dir_.Write("other/notes.txt", "mine");
  EXPECT_FALSE(nt::MayWriteMachineHive(paths_));
  EXPECT_EQ(Provision(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(last_error_, paths_.root + " exists but is not a station");
  EXPECT_EQ(dir_.Read("other/notes.txt"), "mine");
}

TEST_F(ProvisionTest, ProcessesProvisioningAtOnceShareOneStation) {
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    paths_.root = dir_.path() + "/race" + std::to_string(round) + "/station";
    std::vector<pid_t> children;
    for (const char* user : {"alice", "bob", "carol"}) {
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        std::string error;
        _exit(nt::ProvisionStation(paths_, user, {}, &error) == ERROR_SUCCESS ? 0 : 1);
      }
      children.push_back(child);
    }
    for (pid_t child : children) {
      int status = 0;
      waitpid(child, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(Siblings(), std::set<std::string>{"station"});
    std::string report;
    EXPECT_TRUE(nt::CheckHiveIntegrity(paths_.MachineHive(), &report)) << report;
    for (const char* user : {"alice", "bob", "carol"}) {
      EXPECT_TRUE(nt::CheckHiveIntegrity(paths_.UserHive(user), &report)) << user << report;
    }
  }
}

TEST_F(ProvisionTest, HostServicesServeTheStationForTheirLifetime) {
  std::string error;
  {
    auto host = nt::HostServices::Open(paths_, {}, &error);
    ASSERT_NE(host, nullptr) << error;
    char directory[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryA(directory, sizeof directory), 0u);
    EXPECT_EQ(std::string(directory), paths_.SystemDirectory());
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLayouts, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Keyboard Layout\\Preload", 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  EXPECT_EQ(nt::Current().registry, nullptr);
  EXPECT_EQ(nt::Current().files, nullptr);

  nt::StationPaths missing{dir_.path() + "/missing"};
  EXPECT_EQ(nt::HostServices::Open(missing, {.provision = false}, &error), nullptr);
  EXPECT_NE(error.find(missing.root), std::string::npos) << error;
}

}  // namespace
