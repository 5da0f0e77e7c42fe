// The fault-injecting registry: each way of failing a call, on the call
// sequences the installer makes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "nt/registry.h"
#include "nt/registry_faults.h"
#include "nt/system.h"

namespace {

constexpr char kLayouts[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";

class FaultyRegistryTest : public testing::Test {
 protected:
  FaultyRegistryTest() : store_(Seeded()), faulty_(*store_) {}

  // A local-machine hive with one layout and a user hive with its Preload key.
  static std::unique_ptr<nt::Registry> Seeded() {
    auto store = nt::MakeMemoryRegistry();
    nt::ScopedServices scope({.registry = store.get()});
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kLayouts) + "\\00000409").c_str(), 0,
                    nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegCloseKey(key);
    RegCreateKeyExA(HKEY_CURRENT_USER, "Keyboard Layout\\Preload", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, "1", 0, REG_SZ, reinterpret_cast<const BYTE*>("00000409"), 8);
    RegCloseKey(key);
    return store;
  }

  // The registration's calls, step by step: the step that fails and its code
  // (0 when all succeed).
  std::pair<int, LONG> Register() {
    std::vector<std::function<LONG()>> steps = {
        [&] { return RegOpenKeyExA(HKEY_CURRENT_USER, nullptr, 0, KEY_ALL_ACCESS, &root_); },
        [&] {
          return RegOpenKeyExA(HKEY_CURRENT_USER, "Keyboard Layout\\Preload", 0, KEY_ALL_ACCESS,
                               &preload_);
        },
        [&] { return Write(preload_, "2", "00010418"); },
        [&] { return RegCloseKey(preload_); },
        [&] { return RegOpenKeyExA(HKEY_LOCAL_MACHINE, nullptr, 0, KEY_ALL_ACCESS, &root_); },
        [&] { return RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLayouts, 0, KEY_ALL_ACCESS, &layouts_); },
        [&] { return Write(layouts_, "00010418", "romakeys.so"); },
        [&] { return RegDeleteValueA(layouts_, "00010418"); },
        [&] {
          char regSz[] = "REG_SZ";
          return RegCreateKeyExA(layouts_, "00010418", 0, regSz, 0, KEY_ALL_ACCESS, nullptr,
                                 &subkey_, nullptr);
        },
        [&] { return Write(subkey_, "Layout File", "romakeys.so"); },
        [&] { return Write(subkey_, "Layout Text", "Romanian"); },
        [&] { return Write(subkey_, "Layout Id", "3"); },
        [&] {
          return RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kLayouts) + "\\00000409").c_str(),
                               0, KEY_ALL_ACCESS, &subkey_);
        },
    };
    for (size_t i = 0; i < steps.size(); ++i) {
      if (LONG rc = steps[i]()) return {static_cast<int>(i + 1), rc};
    }
    return {0, ERROR_SUCCESS};
  }

  static LONG Write(HKEY key, const char* name, const std::string& text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                          static_cast<DWORD>(text.size()));
  }

  std::unique_ptr<nt::Registry> store_;
  nt::FaultyRegistry faulty_;
  HKEY root_ = nullptr, preload_ = nullptr, layouts_ = nullptr, subkey_ = nullptr;
};

TEST_F(FaultyRegistryTest, EveryStepCanBeMadeToFail) {
  struct Row {
    const char* name;
    std::function<void(nt::FaultyRegistry&)> arrange;
    int failingStep;
    LONG code;
  } rows[] = {
      {"nothing broken", [](nt::FaultyRegistry&) {}, 0, ERROR_SUCCESS},
      {"the current-user root", [](auto& f) { f.DenyFullAccess("HKCU"); }, 1,
       ERROR_ACCESS_DENIED},
      {"the Preload key",
       [](auto& f) { f.DenyFullAccess("hkey_current_user\\keyboard layout\\preload"); }, 2,
       ERROR_ACCESS_DENIED},
      {"the Preload write", [](auto& f) { f.FailNamed("RegSetValueExA", ERROR_CANTWRITE, 1); },
       3, ERROR_CANTWRITE},
      {"the local-machine root by call number",
       [](auto& f) { f.FailCall(5, ERROR_REGISTRY_IO_FAILED); }, 5, ERROR_REGISTRY_IO_FAILED},
      {"the Keyboard Layouts key",
       [](auto& f) { f.DenyFullAccess(std::string("HKLM\\") + kLayouts); }, 6,
       ERROR_ACCESS_DENIED},
      {"the last-installation value",
       [](auto& f) { f.FailNamed("RegSetValueExA", ERROR_DISK_FULL, 2); }, 7, ERROR_DISK_FULL},
      {"the delete of the one value",
       [](auto& f) { f.FailNamed("RegDeleteValueA", ERROR_ACCESS_DENIED); }, 8,
       ERROR_ACCESS_DENIED},
      {"the layout's subkey",
       [](auto& f) { f.FailNamed("RegCreateKeyExA", ERROR_ACCESS_DENIED); }, 9,
       ERROR_ACCESS_DENIED},
      {"the subkey by its path",
       [](auto& f) { f.DenyFullAccess(std::string("HKLM\\") + kLayouts + "\\00010418"); }, 9,
       ERROR_ACCESS_DENIED},
      {"Layout Text", [](auto& f) { f.FailNamed("RegSetValueExA", ERROR_CANTWRITE, 4); }, 11,
       ERROR_CANTWRITE},
      {"Layout Id", [](auto& f) { f.FailNamed("RegSetValueExA", ERROR_CANTWRITE, 5); }, 12,
       ERROR_CANTWRITE},
      {"an existing layout's subkey",
       [](auto& f) { f.DenyFullAccess(std::string("HKEY_LOCAL_MACHINE\\") + kLayouts + "\\00000409"); },
       13, ERROR_ACCESS_DENIED},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto store = Seeded();
    nt::FaultyRegistry faulty(*store);
    row.arrange(faulty);
    nt::ScopedServices scope({.registry = &faulty});
    SetLastError(0);
    auto [step, code] = Register();
    EXPECT_EQ(step, row.failingStep);
    EXPECT_EQ(code, row.code);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(row.code));
  }
}

TEST_F(FaultyRegistryTest, DeniedKeysStillReadAndCallsAreLogged) {
  nt::ScopedServices scope({.registry = &faulty_});
  faulty_.DenyFullAccess(std::string("HKLM\\") + kLayouts);
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLayouts, 0, KEY_ALL_ACCESS, &key),
            ERROR_ACCESS_DENIED);
  HKEY system = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System", 0, KEY_ALL_ACCESS, &system),
            ERROR_SUCCESS);
  EXPECT_EQ(RegOpenKeyExA(system, "currentcontrolset\\control\\keyboard layouts\\", 0,
                          KEY_ALL_ACCESS, &key),
            ERROR_ACCESS_DENIED);
  ASSERT_EQ(RegOpenKeyExA(system, "CurrentControlSet\\Control\\Keyboard Layouts", 0, KEY_READ,
                          &key),
            ERROR_SUCCESS);
  EXPECT_EQ(faulty_.KeyNameOf(key),
            "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Keyboard Layouts");
  char name[40];
  DWORD length = 40;
  EXPECT_EQ(RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(system), ERROR_SUCCESS);
  EXPECT_EQ(faulty_.calls(),
            (std::vector<std::string>{"RegOpenKeyExA", "RegOpenKeyExA", "RegOpenKeyExA",
                                      "RegOpenKeyExA", "RegEnumKeyExA", "RegCloseKey",
                                      "RegCloseKey"}));
  faulty_.ClearFaults();
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLayouts, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegCloseKey(key);
}

}  // namespace
