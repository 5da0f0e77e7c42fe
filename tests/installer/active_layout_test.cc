#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/installer/installer_fixture.h"

namespace installer_test {
namespace {

using Loads = std::vector<std::pair<std::string, UINT>>;

class ActiveLayoutTest : public InstallerTest {
 protected:
  // Runs `body` in the dialog with a fresh call count; returns the registry
  // calls it made.
  template <typename Body>
  std::vector<std::string> Calls(Body body) {
    nt::FaultyRegistry counted(*store_);
    std::vector<std::string> calls;
    InDialog([&](CInstallDlg& dlg) {
      nt::ScopedServices scope(nt::Services{.registry = &counted});
      body(dlg);
      calls = counted.calls();
    });
    return calls;
  }

  void SetPreloadOne(const std::string& bytes) {
    HKEY key;
    ASSERT_EQ(store_->OpenKey(HKEY_CURRENT_USER, kPreloadKey, KEY_ALL_ACCESS, &key), 0);
    store_->SetValue(key, "1", REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size()));
    store_->CloseKey(key);
  }
};

TEST_F(ActiveLayoutTest, ReleaseSwitchesOnlyOffTheActiveLayout) {
  struct Row {
    const char* name;
    const char* active;
    const char* key;
    std::string preload_one;  // "-" for no value "1"
    Loads loads;
  } rows[] = {
      {"another layout is active", "00000409", "00010418", "00000409", {}},
      {"a name in another letter case is another layout", "0001041D", "0001041d", "00000409", {}},
      {"a catalogue key never equals a layout name", "00000418", "418", "00000409", {}},
      {"the active layout falls back on Preload 1", "00010418", "00010418", "00000409",
       {{"00000409", KLF_ACTIVATE | KLF_UNLOADPREVIOUS}}},
      {"Preload 1 stored with its zero", "00010418", "00010418", std::string("00000409\0", 9),
       {{"00000409", KLF_ACTIVATE | KLF_UNLOADPREVIOUS}}},
      // Nothing defined to load: the layout stays active.
      {"no Preload 1", "00010418", "00010418", "-", {}},
      {"Preload 1 longer than its buffer", "00010418", "00010418", "0000040900000409", {}},
      {"empty Preload 1", "00010418", "00010418", "", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    nt::DeleteKeyTree(*store_, HKEY_CURRENT_USER, kPreloadKey);
    Put(HKEY_CURRENT_USER, kPreloadKey, {});
    if (row.preload_one != "-") SetPreloadOne(row.preload_one);
    keyboard_.active = row.active;
    keyboard_.loads.clear();
    dialog_.reset();
    const auto calls = Calls([&](CInstallDlg& dlg) { dlg.ReleaseActiveLayout(row.key); });
    EXPECT_EQ(keyboard_.loads, row.loads);
    if (std::string(row.active) != row.key) EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(Boxes().empty());
  }
}

TEST_F(ActiveLayoutTest, ReleaseReportsAPreloadKeyItCannotOpen) {
  keyboard_.active = "00010418";
  nt::FaultyRegistry faulty(*store_);
  faulty.FailNamed("RegOpenKeyExA", ERROR_ACCESS_DENIED);
  InDialog([&](CInstallDlg& dlg) {
    nt::ScopedServices scope(nt::Services{.registry = &faulty});
    dlg.ReleaseActiveLayout("00010418");
  });
  EXPECT_EQ(Boxes(), std::vector<framework::BoxRecord>{SystemErrorBox(ERROR_ACCESS_DENIED, 48)});
  EXPECT_TRUE(keyboard_.loads.empty());
}

TEST_F(ActiveLayoutTest, ActivateLoadsWithItsFlagsAndAlwaysSucceeds) {
  for (bool fail : {false, true}) {
    SCOPED_TRACE(fail ? "load fails" : "load works");
    keyboard_.fail_loads = fail;
    keyboard_.loads.clear();
    BOOL result = FALSE;
    dialog_.reset();
    InDialog([&](CInstallDlg& dlg) { result = dlg.ActivateLayout("00010418"); });
    EXPECT_TRUE(result);
    EXPECT_EQ(keyboard_.loads,
              (Loads{{"00010418", KLF_ACTIVATE | KLF_UNLOADPREVIOUS | KLF_REORDER | KLF_REPLACELANG}}));
    EXPECT_EQ(29u, KLF_ACTIVATE | KLF_UNLOADPREVIOUS | KLF_REORDER | KLF_REPLACELANG);
  }
}

TEST_F(ActiveLayoutTest, RewriteRestoresPreloadOneAsTheDialogFoundIt) {
  Put(HKEY_CURRENT_USER, kPreloadKey, {{"1", "0000041d"}, {"2", "00000409"}});
  BOOL result = FALSE;
  InDialog([&](CInstallDlg& dlg) {
    SetPreloadOne("00010418");  // as if something changed it meanwhile
    result = dlg.RewriteDefaultPreload();
  });
  EXPECT_TRUE(result);
  EXPECT_EQ(Get(HKEY_CURRENT_USER, kPreloadKey), (Values{{"1", "0000041d"}, {"2", "00000409"}}));
}

TEST_F(ActiveLayoutTest, RewriteWritesNothingWithoutASavedDefault) {
  nt::DeleteKeyTree(*store_, HKEY_CURRENT_USER, kPreloadKey);
  Put(HKEY_CURRENT_USER, kPreloadKey, {});
  BOOL result = TRUE;
  std::vector<std::string> calls;
  InDialog([&](CInstallDlg& dlg) {
    SetPreloadOne("00010418");  // the first install of a user without layouts
    nt::FaultyRegistry counted(*store_);
    nt::ScopedServices scope(nt::Services{.registry = &counted});
    result = dlg.RewriteDefaultPreload();
    calls = counted.calls();
  });
  EXPECT_FALSE(result);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(Get(HKEY_CURRENT_USER, kPreloadKey), (Values{{"1", "00010418"}}));
}

TEST_F(ActiveLayoutTest, RewriteFailuresHaveTheirOwnMessages) {
  struct Row {
    const char* name;
    const char* call;
    int occurrence;
    const char* text;
    const char* caption;
  } rows[] = {
      {"current-user root", "RegOpenKeyExA", 1, "RegOpenKeyEx Error", "RegOpenKeyEx on HCU"},
      {"Preload key", "RegOpenKeyExA", 2, "RegOpenKeyEx Error",
       "RegOpenKeyEx on HCU\\Keyboard Layout\\Preload"},
      {"value 1", "RegSetValueExA", 1, "RegSetValueEx Error",
       "RegSetValueEx on HCU\\Keyboard Layout\\Preload"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    dialog_.reset();
    ui_.ClearBoxes();
    BOOL result = TRUE;
    InDialog([&](CInstallDlg& dlg) {
      nt::FaultyRegistry faulty(*store_);
      faulty.FailNamed(row.call, ERROR_CANTWRITE, row.occurrence);
      nt::ScopedServices scope(nt::Services{.registry = &faulty});
      result = dlg.RewriteDefaultPreload();
    });
    EXPECT_FALSE(result);
    EXPECT_EQ(Boxes(), (std::vector<framework::BoxRecord>{{owner(), row.text, row.caption, 48}}));
  }
}

}  // namespace
}  // namespace installer_test
