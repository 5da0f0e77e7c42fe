#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/cwinapp.h"
#include "tests/installer/installer_fixture.h"

namespace installer_test {
namespace {

class RegisterLayoutTest : public InstallerTest {
 protected:
  BOOL Register(const char* key = "00010418", const char* id = "3",
                const char* file = "NEW.DLL", const char* text = "Romanian") {
    BOOL ok = FALSE;
    InDialog([&](CInstallDlg& dlg) { ok = dlg.RegisterLayout(key, id, file, text); });
    return ok;
  }
  std::string LayoutPath(const char* key = "00010418") {
    return std::string(kLayoutsKey) + "\\" + key;
  }
};

TEST_F(RegisterLayoutTest, PreloadGetsTheLayoutOnce) {
  struct Row {
    const char* name;
    Values before;
    const char* key;
    Values after;
  } rows[] = {
      {"added after the last", {{"1", "00000409"}, {"2", "00000418"}}, "00010418",
       {{"1", "00000409"}, {"2", "00000418"}, {"3", "00010418"}}},
      {"already preloaded: written again, no new value",
       {{"1", "00000409"}, {"2", "00000418"}, {"3", "00010418"}}, "00010418",
       {{"1", "00000409"}, {"2", "00000418"}, {"3", "00010418"}}},
      {"after nine values comes 10",
       {{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}, {"5", "e"}, {"6", "f"}, {"7", "g"},
        {"8", "h"}, {"9", "i"}},
       "00010418",
       {{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}, {"5", "e"}, {"6", "f"}, {"7", "g"},
        {"8", "h"}, {"9", "i"}, {"10", "00010418"}}},
      {"letter case of the data counts", {{"1", "00000409"}, {"2", "0001041D"}}, "0001041d",
       {{"1", "00000409"}, {"2", "0001041D"}, {"3", "0001041d"}}},
      // No value that holds another layout is ever replaced.
      {"an empty Preload key starts at 1", {}, "00010418", {{"1", "00010418"}}},
      {"the last value is not the highest", {{"1", "00000409"}, {"3", "00000418"}, {"2", "0000041d"}},
       "00010418",
       {{"1", "00000409"}, {"3", "00000418"}, {"2", "0000041d"}, {"4", "00010418"}}},
      {"names that are not numbers", {{"1", "00000409"}, {"x", "00000418"}}, "00010418",
       {{"1", "00000409"}, {"x", "00000418"}, {"2", "00010418"}}},
      {"preloaded under a name with a leading zero", {{"1", "00000409"}, {"02", "00010418"}},
       "00010418", {{"1", "00000409"}, {"02", "00010418"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    nt::DeleteKeyTree(*store_, HKEY_CURRENT_USER, kPreloadKey);
    Put(HKEY_CURRENT_USER, kPreloadKey, row.before);
    Put(HKEY_LOCAL_MACHINE, kLayoutsKey, {});
    dialog_.reset();
    EXPECT_TRUE(Register(row.key));
    EXPECT_EQ(Get(HKEY_CURRENT_USER, kPreloadKey), row.after);
  }
}

TEST_F(RegisterLayoutTest, WritesTheLastInstallationValueAndTheSubkey) {
  struct Row {
    const char* name;
    Values before;
  } rows[] = {
      {"no value before", {}},
      {"one value before, whatever its name", {{"0001041d", "SW.DLL"}}},
      {"one foreign value", {{"Something", "else"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    nt::DeleteKeyTree(*store_, HKEY_LOCAL_MACHINE, kLayoutsKey);
    Put(HKEY_LOCAL_MACHINE, kLayoutsKey, row.before);
    dialog_.reset();
    EXPECT_TRUE(Register());
    EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, kLayoutsKey), (Values{{"00010418", "NEW.DLL"}}));
    EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, LayoutPath()),
              (Values{{"Layout File", "NEW.DLL"}, {"Layout Text", "Romanian"}, {"Layout Id", "3"}}));
  }
}

TEST_F(RegisterLayoutTest, TwoValuesRefuseAndKeepThePreloadValue) {
  Put(HKEY_LOCAL_MACHINE, kLayoutsKey, {{"a", "1"}, {"b", "2"}});
  EXPECT_FALSE(Register());
  EXPECT_EQ(Boxes(), (std::vector<framework::BoxRecord>{
                         {owner(),
                          "HKLM\\CurrentControlSet\\Control\\Keyboard Layouts has more than one "
                          "value installation cannot safely proceed!",
                          AfxGetAppName(), 0}}));
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, kLayoutsKey), (Values{{"a", "1"}, {"b", "2"}}));
  EXPECT_TRUE(Subkeys(HKEY_LOCAL_MACHINE, kLayoutsKey).empty());
  EXPECT_EQ(Get(HKEY_CURRENT_USER, kPreloadKey), (Values{{"1", "00000409"}, {"2", "00010418"}}));
}

TEST_F(RegisterLayoutTest, ExistingSubkeyKeepsItsOtherValues) {
  Put(HKEY_LOCAL_MACHINE, LayoutPath(),
      {{"Layout File", "OLD.DLL"}, {"Layout Display Name", "kept"}, {"Layout Id", "9"}});
  EXPECT_TRUE(Register());
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, LayoutPath()),
            (Values{{"Layout File", "NEW.DLL"}, {"Layout Display Name", "kept"},
                    {"Layout Id", "3"}, {"Layout Text", "Romanian"}}));
}

TEST_F(RegisterLayoutTest, TextsAreStoredExactlyAndWhole) {
  const std::string long_text(60, 'T');
  EXPECT_TRUE(Register("00010418", "3", "NEW.DLL", "Romanian  "));
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, LayoutPath())->at(1), (Value{"Layout Text", "Romanian  "}));
  HKEY key;
  ASSERT_EQ(store_->OpenKey(HKEY_LOCAL_MACHINE, LayoutPath().c_str(), KEY_READ, &key), 0);
  BYTE data[64];
  DWORD size = sizeof data;
  ASSERT_EQ(store_->QueryValue(key, "Layout Text", nullptr, data, &size), 0);
  EXPECT_EQ(size, 10u) << "no terminating zero is stored";
  store_->CloseKey(key);

  dialog_.reset();
  EXPECT_TRUE(Register("00010418", "3", "NEW.DLL", long_text.c_str()));
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, LayoutPath())->at(1), (Value{"Layout Text", long_text}));
}

TEST_F(RegisterLayoutTest, FailuresAreReportedWithTheirTypes) {
  // The dialog's opening makes one RegOpenKeyExA (Preload) before these.
  struct Row {
    const char* name;
    const char* call;
    int occurrence;
    UINT type;
    Values layouts_after;  // the Keyboard Layouts key's values afterwards
    bool subkey_after;
  } rows[] = {
      {"current-user root", "RegOpenKeyExA", 2, 48, {{"0001041d", "SW.DLL"}}, false},
      {"Preload key", "RegOpenKeyExA", 3, 48, {{"0001041d", "SW.DLL"}}, false},
      {"Preload value", "RegSetValueExA", 1, 64, {{"0001041d", "SW.DLL"}}, false},
      {"local-machine root", "RegOpenKeyExA", 4, 48, {{"0001041d", "SW.DLL"}}, false},
      {"Keyboard Layouts key", "RegOpenKeyExA", 5, 48, {{"0001041d", "SW.DLL"}}, false},
      {"deleting the last installation", "RegDeleteValueA", 1, 64, {{"0001041d", "SW.DLL"}}, false},
      {"writing the last installation", "RegSetValueExA", 2, 64, {}, false},
      {"creating the subkey", "RegCreateKeyExA", 1, 64, {{"00010418", "NEW.DLL"}}, false},
      {"writing Layout File", "RegSetValueExA", 3, 64, {{"00010418", "NEW.DLL"}}, true},
      {"writing Layout Text", "RegSetValueExA", 4, 64, {{"00010418", "NEW.DLL"}}, true},
      {"writing Layout Id", "RegSetValueExA", 5, 64, {{"00010418", "NEW.DLL"}}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    nt::DeleteKeyTree(*store_, HKEY_LOCAL_MACHINE, kLayoutsKey);
    Put(HKEY_LOCAL_MACHINE, kLayoutsKey, {{"0001041d", "SW.DLL"}});
    dialog_.reset();
    ui_.ClearBoxes();
    nt::FaultyRegistry counted(*store_);  // counts calls from this dialog on
    counted.FailNamed(row.call, ERROR_CANTWRITE, row.occurrence);
    nt::ScopedServices scope(nt::Services{.registry = &counted});
    EXPECT_FALSE(Register());
    EXPECT_EQ(Boxes(), std::vector<framework::BoxRecord>{SystemErrorBox(ERROR_CANTWRITE, row.type)});
    EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, kLayoutsKey), row.layouts_after);
    EXPECT_EQ(!Subkeys(HKEY_LOCAL_MACHINE, kLayoutsKey).empty(), row.subkey_after);
  }
}

}  // namespace
}  // namespace installer_test
