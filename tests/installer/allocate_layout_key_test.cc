#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/installer/installer_fixture.h"

namespace installer_test {
namespace {

// A subkey of the Keyboard Layouts key; a null file or id is an absent value.
struct Layout {
  const char* name;
  const char* file;
  const char* id;
};

struct AllocationRow {
  const char* name;
  const char* catalogue_key;
  const char* file;
  std::vector<Layout> layouts;  // in enumeration order
  const char* key;
  const char* layout_id;
};

class AllocateLayoutKeyTest : public InstallerTest {
 protected:
  void PutLayouts(const std::vector<Layout>& layouts) {
    for (const Layout& layout : layouts) {
      Values values;
      if (layout.file) values.emplace_back("Layout File", layout.file);
      if (layout.id) values.emplace_back("Layout Id", layout.id);
      Put(HKEY_LOCAL_MACHINE, std::string(kLayoutsKey) + "\\" + layout.name, values);
    }
  }

  // The allocation's result: "key/id" on success, "false key/id" with the
  // unchanged inputs after a failure.
  std::string Allocate(const char* catalogue_key, const char* file) {
    CString key = catalogue_key;
    CString layout_id;
    BOOL ok = FALSE;
    InDialog([&](CInstallDlg& dlg) { ok = dlg.AllocateLayoutKey(key, layout_id, file); });
    return (ok ? "" : "false ") + key.str() + "/" + layout_id.str();
  }
};

TEST_F(AllocateLayoutKeyTest, ChoosesKeyAndLayoutId) {
  const AllocationRow rows[] = {
      {.name = "first install",
       .catalogue_key = "418", .file = "NEW.DLL",
       .layouts = {{"00000409", "US.DLL", nullptr}, {"00000418", "RO.DLL", nullptr},
                   {"00010409", "DV.DLL", "0002"}, {"00020409", "IN.DLL", "0001"}},
       .key = "00010418", .layout_id = "3"},
      {.name = "the same install again reuses its registration",
       .catalogue_key = "418", .file = "NEW.DLL",
       .layouts = {{"00000409", "US.DLL", nullptr}, {"00000418", "RO.DLL", nullptr},
                   {"00010409", "DV.DLL", "0002"}, {"00010418", "NEW.DLL", "3"},
                   {"00020409", "IN.DLL", "0001"}},
       .key = "00010418", .layout_id = "3"},
      {.name = "equal Layout Ids raise the next one; lower-case key",
       .catalogue_key = "41d", .file = "SW.DLL",
       .layouts = {{"0000041D", "SV.DLL", nullptr}, {"00010409", "DV.DLL", "0001"},
                   {"00020409", "IN.DLL", "0002"}},
       .key = "0001041d", .layout_id = "3"},
      {.name = "Layout Ids of the language count like all others",
       .catalogue_key = "408", .file = "GR.DLL",
       .layouts = {{"00000408", "EL.DLL", nullptr}, {"00010405", "CZ.DLL", "0014"},
                   {"00010408", "E2.DLL", "0010"}, {"00020408", "E3.DLL", "0011"}},
       .key = "00030408", .layout_id = "15"},
      {.name = "no subkey of the language", .catalogue_key = "0418", .file = "NEW.DLL",
       .layouts = {{"00000409", "US.DLL", "0001"}}, .key = "00000418", .layout_id = "2"},
      {.name = "no Layout Id anywhere", .catalogue_key = "0418", .file = "NEW.DLL",
       .layouts = {{"00000409", "US.DLL", nullptr}}, .key = "00000418", .layout_id = "0"},
      {.name = "Layout Ids met as 2, 1", .catalogue_key = "0418", .file = "NEW.DLL",
       .layouts = {{"00010409", "A.DLL", "2"}, {"00020409", "B.DLL", "1"}},
       .key = "00000418", .layout_id = "3"},
      {.name = "a file name in another letter case is no match", .catalogue_key = "0418",
       .file = "NEW.DLL", .layouts = {{"00000418", "new.dll", "0004"}},
       .key = "00010418", .layout_id = "5"},
      {.name = "a subkey of the language without values", .catalogue_key = "0418",
       .file = "NEW.DLL",
       .layouts = {{"00000418", nullptr, nullptr}},
       .key = "00010418", .layout_id = "0"},
      {.name = "higher variant met first", .catalogue_key = "0418", .file = "NEW.DLL",
       .layouts = {{"0000000020418", "B.DLL", nullptr}, {"00000418", "A.DLL", nullptr}},
       .key = "00010418", .layout_id = "0"},
      {.name = "catalogue key of more than four digits counts by its low bits",
       .catalogue_key = "10418", .file = "NEW.DLL",
       .layouts = {{"00000418", "RO.DLL", nullptr}}, .key = "00010418", .layout_id = "0"},
      // Where the plain count of variants would collide with a subkey of
      // another file, the first free variant is taken.
      {.name = "a gap in the variants is filled", .catalogue_key = "0418", .file = "NEW.DLL",
       .layouts = {{"00000418", "A.DLL", "1"}, {"00020418", "C.DLL", "2"}},
       .key = "00010418", .layout_id = "3"},
      {.name = "no variant 0: variant 0 is free", .catalogue_key = "0418", .file = "NEW.DLL",
       .layouts = {{"00010418", "A.DLL", "1"}, {"00020418", "B.DLL", "2"}},
       .key = "00000418", .layout_id = "3"},
      // On a match, the matching subkey's own key and Layout Id, whatever follows.
      {.name = "a later subkey of the language does not move a match",
       .catalogue_key = "0418", .file = "NEW.DLL",
       .layouts = {{"00000418", "RO.DLL", "1"}, {"00010418", "NEW.DLL", "0003"},
                   {"00020418", "OTHER.DLL", "5"}},
       .key = "00010418", .layout_id = "3"},
      {.name = "the first of two matches", .catalogue_key = "0418", .file = "NEW.DLL",
       .layouts = {{"00010418", "NEW.DLL", "7"}, {"00020418", "NEW.DLL", "8"}},
       .key = "00010418", .layout_id = "7"},
      {.name = "a match out of order keeps its own variant", .catalogue_key = "0418",
       .file = "NEW.DLL",
       .layouts = {{"00000418", "RO.DLL", "1"}, {"00050418", "NEW.DLL", "9"}},
       .key = "00050418", .layout_id = "9"},
      {.name = "a match without Layout Id gets one that no layout uses",
       .catalogue_key = "0418", .file = "NEW.DLL",
       .layouts = {{"00000418", "RO.DLL", "0004"}, {"00010418", "NEW.DLL", nullptr},
                   {"00020409", "IN.DLL", "0020"}},
       .key = "00010418", .layout_id = "21"},
      {.name = "subkey names that are not numbers are passed over", .catalogue_key = "0418",
       .file = "NEW.DLL",
       .layouts = {{"Extra", "NEW.DLL", "0001"}, {"00000418", "RO.DLL", nullptr}},
       .key = "00010418", .layout_id = "2"},
      {.name = "a long layout file name still matches", .catalogue_key = "0418",
       .file = "a-layout-library-with-a-very-long-name.dll",
       .layouts = {{"00000418", "RO.DLL", nullptr},
                   {"00010418", "a-layout-library-with-a-very-long-name.dll", "6"}},
       .key = "00010418", .layout_id = "6"},
  };
  for (const AllocationRow& row : rows) {
    SCOPED_TRACE(row.name);
    nt::DeleteKeyTree(*store_, HKEY_LOCAL_MACHINE, kLayoutsKey);
    Put(HKEY_LOCAL_MACHINE, kLayoutsKey, {});
    PutLayouts(row.layouts);
    dialog_.reset();
    ui_.ClearBoxes();
    EXPECT_EQ(Allocate(row.catalogue_key, row.file),
              std::string(row.key) + "/" + row.layout_id);
    EXPECT_TRUE(Boxes().empty());
  }
}

TEST_F(AllocateLayoutKeyTest, WrongLetterCaseOfValueNamesIsNotRead) {
  Put(HKEY_LOCAL_MACHINE, std::string(kLayoutsKey) + "\\00000418",
      {{"layout file", "NEW.DLL"}, {"LAYOUT ID", "0007"}});
  EXPECT_EQ(Allocate("0418", "NEW.DLL"), "00010418/0");
}

TEST_F(AllocateLayoutKeyTest, LargestLayoutIdLeavesNoNextOne) {
  PutLayouts({{"00000409", "US.DLL", "ffffffff"}});
  EXPECT_EQ(Allocate("0418", "NEW.DLL"), "false 0418/");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
}

TEST_F(AllocateLayoutKeyTest, FailuresAreReportedAndLeaveTheInputs) {
  PutLayouts({{"00000409", "US.DLL", "0001"}, {"00000418", "RO.DLL", nullptr}});
  struct Row {
    const char* name;
    std::function<void(nt::FaultyRegistry&)> arm;
    std::function<framework::BoxRecord(InstallerTest&)> box;
  };
  auto keyboard_layouts_box = [](InstallerTest& t) {
    return framework::BoxRecord{
        t.owner(), "RegOpenKeyEx Error",
        "RegOpenKeyEx on HKLM\\CurrentControlSet\\Control\\Keyboard Layouts", 48};
  };
  // The dialog itself opens Preload when it opens; the allocation's opens follow.
  const Row rows[] = {
      {"local-machine root", [](auto& r) { r.FailNamed("RegOpenKeyExA", ERROR_ACCESS_DENIED, 2); },
       [](InstallerTest& t) { return t.SystemErrorBox(ERROR_ACCESS_DENIED, 48); }},
      {"Keyboard Layouts key", [](auto& r) { r.FailNamed("RegOpenKeyExA", ERROR_FILE_NOT_FOUND, 3); },
       keyboard_layouts_box},
      {"Keyboard Layouts key without full access",
       [](auto& r) { r.DenyFullAccess("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts"); },
       keyboard_layouts_box},
      {"a subkey of another language",
       [](auto& r) { r.DenyFullAccess("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\00000409"); },
       [](InstallerTest& t) { return t.SystemErrorBox(ERROR_ACCESS_DENIED, 48); }},
      {"a subkey of the language",
       [](auto& r) { r.DenyFullAccess("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\00000418"); },
       [](InstallerTest& t) { return t.SystemErrorBox(ERROR_ACCESS_DENIED, 48); }},
      {"reading a subkey's values",
       [](auto& r) { r.FailNamed("RegEnumValueA", ERROR_REGISTRY_IO_FAILED, 1); },
       [](InstallerTest& t) { return t.SystemErrorBox(ERROR_REGISTRY_IO_FAILED, 48); }},
      {"listing the subkeys",
       [](auto& r) { r.FailNamed("RegEnumKeyExA", ERROR_REGISTRY_IO_FAILED, 2); },
       [](InstallerTest& t) { return t.SystemErrorBox(ERROR_REGISTRY_IO_FAILED, 48); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    dialog_.reset();
    ui_.ClearBoxes();
    nt::FaultyRegistry faulty(*store_);  // counts calls from this dialog on
    row.arm(faulty);
    nt::ScopedServices scope(nt::Services{.registry = &faulty});
    EXPECT_EQ(Allocate("0418", "NEW.DLL"), "false 0418/");
    EXPECT_EQ(Boxes(), std::vector<framework::BoxRecord>{row.box(*this)});
  }
}

TEST_F(AllocateLayoutKeyTest, AfterAMatchOtherLanguagesAreNotOpened) {
  PutLayouts({{"00000418", "RO.DLL", nullptr}, {"00010418", "NEW.DLL", "3"},
              {"00020409", "IN.DLL", "0001"}});
  registry_.DenyFullAccess(
      "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\00020409");
  EXPECT_EQ(Allocate("0418", "NEW.DLL"), "00010418/3");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(AllocateLayoutKeyTest, CatalogueKeyThatIsNoNumberFails) {
  EXPECT_EQ(Allocate("xyz", "NEW.DLL"), "false xyz/");
  EXPECT_EQ(Boxes(), std::vector<framework::BoxRecord>{SystemErrorBox(ERROR_INVALID_DATA, 48)});
}

}  // namespace
}  // namespace installer_test
