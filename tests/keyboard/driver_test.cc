#include <gtest/gtest.h>

#include <filesystem>

#include "nt/files.h"
#include "nt/keyboard/driver.h"
#include "nt/system.h"
#include "nt/hive_file.h"
#include "tests/keyboard/support/layout_registry.h"
#include "tests/keyboard/support/test_layout.h"
#include "tests/support/temp_dir.h"

namespace {

using nt::kbd::KeyboardSession;
using testing_support::KeyboardFixture;

TEST(LoadFlagsTest, ActOnTheSessionAsTheirNamesSay) {
  struct Row {
    const char* name;
    KeyboardSession before;
    const char* layout;
    UINT flags;
    KeyboardSession after;
  } rows[] = {
      {"no flag adds at the end", {{"00000409"}, "00000409"}, "00000418", 0, {{"00000409", "00000418"}, "00000409"}},
      {"activate", {{"00000409"}, "00000409"}, "00000418", KLF_ACTIVATE, {{"00000409", "00000418"}, "00000418"}},
      {"loaded already", {{"00000409", "00000418"}, "00000418"}, "00000409", KLF_ACTIVATE,
       {{"00000409", "00000418"}, "00000409"}},
      {"activate and unload the previous",
       {{"00000409", "00000418"}, "00000418"}, "00000409", KLF_ACTIVATE | KLF_UNLOADPREVIOUS,
       {{"00000409"}, "00000409"}},
      {"unload previous needs activate", {{"00000409"}, "00000409"}, "00000418", KLF_UNLOADPREVIOUS,
       {{"00000409", "00000418"}, "00000409"}},
      {"reactivating the active unloads nothing", {{"00000409", "00000418"}, "00000409"}, "00000409",
       KLF_ACTIVATE | KLF_UNLOADPREVIOUS, {{"00000409", "00000418"}, "00000409"}},
      {"reorder moves to the head and activates",
       {{"00000409", "00000418", "0000041d"}, "00000409"}, "0000041d", KLF_REORDER,
       {{"0000041d", "00000409", "00000418"}, "0000041d"}},
      {"replace language in place", {{"00000409", "00000418", "0000041d"}, "00000409"}, "00010418",
       KLF_REPLACELANG, {{"00000409", "00010418", "0000041d"}, "00000409"}},
      {"replace the active language", {{"00000409", "00000418"}, "00000418"}, "00010418", KLF_REPLACELANG,
       {{"00000409", "00010418"}, "00010418"}},
      {"replace language when both are loaded", {{"00000418", "00000409", "00010418"}, "00000418"}, "00010418",
       KLF_REPLACELANG, {{"00000409", "00010418"}, "00010418"}},
      {"the installer's activation, another language",
       {{"00000409"}, "00000409"}, "00000418", 29, {{"00000418"}, "00000418"}},
      {"the installer's activation, same language",
       {{"00000409", "00000418"}, "00000409"}, "00010418", 29, {{"00010418"}, "00010418"}},
      {"the installer's release", {{"00000409", "d0010418"}, "d0010418"}, "00000409", 5, {{"00000409"}, "00000409"}},
      {"names compare without case", {{"d0010418"}, "d0010418"}, "D0010418", KLF_ACTIVATE, {{"D0010418"}, "D0010418"}},
      {"an empty session gets an active layout", {{}, ""}, "00000409", 0, {{"00000409"}, "00000409"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    KeyboardSession session = row.before;
    nt::kbd::ApplyLoadFlags(session, row.layout, row.flags);
    EXPECT_EQ(session.layouts, row.after.layouts);
    EXPECT_EQ(session.active, row.after.active);
  }
}

TEST(LayoutNameTest, IsEightHexDigitsWithALanguage) {
  EXPECT_TRUE(nt::kbd::IsLayoutName("00000409"));
  EXPECT_TRUE(nt::kbd::IsLayoutName("d0010418"));
  EXPECT_TRUE(nt::kbd::IsLayoutName("D0010418"));
  EXPECT_FALSE(nt::kbd::IsLayoutName("409"));
  EXPECT_FALSE(nt::kbd::IsLayoutName("0000040g"));
  EXPECT_FALSE(nt::kbd::IsLayoutName("00010000"));
  EXPECT_FALSE(nt::kbd::IsLayoutName("..\\00409"));
  EXPECT_FALSE(nt::kbd::IsLayoutName(" 0000409"));
  EXPECT_EQ(nt::kbd::LayoutHandle("00000409"), reinterpret_cast<HKL>(uintptr_t{0x04090409}));
  EXPECT_EQ(nt::kbd::LayoutHandle("d0010418"), reinterpret_cast<HKL>(uintptr_t{0xd0010418}));
}

class KeyboardDriverTest : public testing::Test {
 protected:
  KeyboardDriverTest()
      : system32_(dir_.Mkdir("station/system32")),
        files_(system32_),
        driver_(session_),
        scope_(nt::Services{.files = &files_, .registry = registry_.get(), .keyboard = &driver_}) {
    for (const char* copy : {"testkeys.so", "romatest.so", "CaseKeys.so"}) {
      std::filesystem::copy_file(KeyboardFixture("testkeys.so"), system32_ + "/" + copy);
    }
    std::filesystem::copy_file(KeyboardFixture("bad_initialiser.so"), system32_ + "/trapkeys.so");
    registry_.RegisterLayout("00000409", "testkeys.so");
    registry_.RegisterLayout("00000418", "romatest.so");
    registry_.RegisterLayout("d0010418", "romatest.so");
    registry_.RegisterLayout("0000041d", "casekeys.SO");
    registry_.RegisterLayout("00000408", "..\\station\\system32\\testkeys.so");
    registry_.RegisterLayout("00000813", "missing.so");
    registry_.RegisterLayout("00000807", "trapkeys.so");
  }

  std::string ActiveName() {
    char name[KL_NAMELENGTH] = "unset";
    if (!GetKeyboardLayoutNameA(name)) return "error " + std::to_string(GetLastError());
    return name;
  }

  testing_support::TempDir dir_;
  std::string system32_;
  nt::HostFiles files_;
  testing_support::LayoutRegistry registry_;
  nt::kbd::MemorySessionStore session_;
  nt::kbd::KeyboardDriver driver_;
  nt::ScopedServices scope_;
};

TEST_F(KeyboardDriverTest, FirstUseLoadsThePreloadedLayoutsAndActivatesTheFirst) {
  registry_.SetPreload({"00000418", "00000409", "00000418"});
  EXPECT_EQ(ActiveName(), "00000418");
  KeyboardSession session;
  ASSERT_EQ(driver_.Session(&session), ERROR_SUCCESS);
  EXPECT_EQ(session.layouts, (std::vector<std::string>{"00000418", "00000409"}));
  // Later changes of Preload do not remake the session.
  registry_.SetPreload({"00000409"});
  EXPECT_EQ(ActiveName(), "00000418");
}

TEST_F(KeyboardDriverTest, FirstUseSkipsPreloadedLayoutsThatDoNotLoad) {
  registry_.SetPreload({"00000807", "00000813", "0000041d", "00000409"});
  EXPECT_EQ(ActiveName(), "0000041d");
  KeyboardSession session;
  ASSERT_EQ(driver_.Session(&session), ERROR_SUCCESS);
  EXPECT_EQ(session.layouts, (std::vector<std::string>{"0000041d", "00000409"}));
}

TEST_F(KeyboardDriverTest, NoLayoutAtAllIsAnError) {
  EXPECT_EQ(ActiveName(), "error " + std::to_string(ERROR_INVALID_KEYBOARD_HANDLE));
}

TEST_F(KeyboardDriverTest, LoadingJoinsTheFirstUseSession) {
  registry_.SetPreload({"00000409"});
  HKL layout = LoadKeyboardLayoutA("00000418", KLF_ACTIVATE);
  EXPECT_EQ(layout, reinterpret_cast<HKL>(uintptr_t{0x04180418}));
  EXPECT_EQ(session_.session().layouts, (std::vector<std::string>{"00000409", "00000418"}));
  EXPECT_EQ(ActiveName(), "00000418");
}

TEST_F(KeyboardDriverTest, ActiveNameIsSpelledAsTheRegistryStoresIt) {
  ASSERT_NE(LoadKeyboardLayoutA("D0010418", KLF_ACTIVATE), nullptr);
  EXPECT_EQ(ActiveName(), "d0010418");
}

TEST_F(KeyboardDriverTest, FindsTheLayoutFileWithoutRegardToCase) {
  EXPECT_NE(LoadKeyboardLayoutA("0000041d", KLF_ACTIVATE), nullptr) << driver_.problem();
}

TEST_F(KeyboardDriverTest, RefusesWhatCannotBeLoadedAndLeavesTheSession) {
  registry_.SetPreload({"00000409"});
  struct Row {
    const char* name;
    const char* layout;
    DWORD error;
  } rows[] = {
      {"not hexadecimal", "0000040g", ERROR_INVALID_PARAMETER},
      {"too short", "409", ERROR_INVALID_PARAMETER},
      {"a path", "..\\..\\0409", ERROR_INVALID_PARAMETER},
      {"language 0", "00010000", ERROR_INVALID_PARAMETER},
      {"not registered", "00000c0c", ERROR_FILE_NOT_FOUND},
      {"layout file with a directory part", "00000408", ERROR_INVALID_NAME},
      {"layout file missing", "00000813", ERROR_MOD_NOT_FOUND},
      {"library with an initialiser", "00000807", ERROR_BAD_EXE_FORMAT},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetLastError(0);
    EXPECT_EQ(LoadKeyboardLayoutA(row.layout, KLF_ACTIVATE | KLF_UNLOADPREVIOUS), nullptr);
    EXPECT_EQ(GetLastError(), row.error) << driver_.problem();
    EXPECT_FALSE(driver_.problem().empty());
    EXPECT_EQ(ActiveName(), "00000409");
    EXPECT_EQ(session_.session().layouts, std::vector<std::string>{"00000409"});
  }
}

TEST_F(KeyboardDriverTest, TheSessionLastsAcrossRunsInTheUsersHive) {
  const std::string hive = dir_.path() + "/station/user.db";
  std::string error;
  ASSERT_EQ(nt::CreateHiveFile(hive, 0600, &error), ERROR_SUCCESS) << error;
  registry_.SetPreload({"00000409"});
  {
    nt::kbd::SqliteSessionStore store(hive);
    nt::kbd::KeyboardDriver driver(store);
    HKL layout = nullptr;
    ASSERT_EQ(driver.Load("00000418", KLF_ACTIVATE | KLF_REORDER, &layout), ERROR_SUCCESS) << driver.problem();
  }
  registry_.SetPreload({"0000041d"});
  nt::kbd::SqliteSessionStore store(hive);
  nt::kbd::KeyboardDriver driver(store);
  KeyboardSession session;
  ASSERT_EQ(driver.Session(&session), ERROR_SUCCESS);
  EXPECT_EQ(session.layouts, (std::vector<std::string>{"00000418", "00000409"}));
  EXPECT_EQ(session.active, "00000418");
}

}  // namespace
