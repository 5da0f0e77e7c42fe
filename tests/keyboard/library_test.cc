#include <dlfcn.h>
#include <gtest/gtest.h>

#include "nt/keyboard/layout_reader.h"
#include "nt/keyboard/library.h"
#include "tests/keyboard/support/test_layout.h"
#include "tests/support/layout_image.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::KeyboardFixture;

TEST(LayoutLibraryTest, LoadsACleanLibraryAndReadsWhatItsTablesHold) {
  nt::kbd::Layout loaded;
  std::string problem;
  ASSERT_EQ(nt::kbd::LoadLayoutLibrary(KeyboardFixture("testkeys.so"), &loaded, &problem), ERROR_SUCCESS)
      << problem;
  // The same tables, compiled into this test, read from memory.
  const auto image = testing_support::SerializeLayout(*KbdLayerDescriptor());
  nt::kbd::Layout expected;
  ASSERT_TRUE(nt::kbd::ReadLayout(image.image(), image.tables(), &expected, &problem)) << problem;
  EXPECT_EQ(loaded.scanToVk, expected.scanToVk);
  ASSERT_EQ(loaded.rows.size(), expected.rows.size());
  for (size_t i = 0; i < loaded.rows.size(); ++i) {
    EXPECT_EQ(loaded.rows[i].chars, expected.rows[i].chars) << "row " << i;
    EXPECT_EQ(loaded.rows[i].accents, expected.rows[i].accents) << "row " << i;
  }
  EXPECT_EQ(loaded.deadKeyNames, expected.deadKeyNames);
  EXPECT_EQ(loaded.keyNamesExt.back().name, expected.keyNamesExt.back().name);
}

TEST(LayoutLibraryTest, LeavesNothingMappedAfterLoading) {
  nt::kbd::Layout layout;
  std::string problem;
  ASSERT_EQ(nt::kbd::LoadLayoutLibrary(KeyboardFixture("testkeys.so"), &layout, &problem), ERROR_SUCCESS);
  EXPECT_EQ(dlopen(KeyboardFixture("testkeys.so").c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
}

// Each broken library is refused without its code ever running: the ones
// with initialisers, finalisers or an indirect-function resolver trap, so
// running them would end this test process.
TEST(LayoutLibraryTest, RefusesEveryKindOfBrokenLibrary) {
  struct Row {
    const char* file;
    DWORD error;
    const char* problem;
  } rows[] = {
      {"bad_not_elf.so", ERROR_BAD_EXE_FORMAT, "not an ELF library"},
      {"bad_truncated.so", ERROR_BAD_EXE_FORMAT, "outside the file"},
      {"bad_needs_library.so", ERROR_BAD_EXE_FORMAT, "needs another library"},
      {"bad_initialiser.so", ERROR_BAD_EXE_FORMAT, "has initialisers"},
      {"bad_init_function.so", ERROR_BAD_EXE_FORMAT, "has initialisers"},
      {"bad_finaliser.so", ERROR_BAD_EXE_FORMAT, "has finalisers"},
      {"bad_ifunc.so", ERROR_BAD_EXE_FORMAT, "indirect function"},
      {"bad_import.so", ERROR_BAD_EXE_FORMAT, "imports \"getpid\""},
      {"bad_second_export.so", ERROR_BAD_EXE_FORMAT, "exports \"KbdLayerDescriptorEx\""},
      {"bad_nodelete.so", ERROR_BAD_EXE_FORMAT, "never to be unloaded"},
      {"bad_execstack.so", ERROR_BAD_EXE_FORMAT, "executable stack"},
      {"bad_no_export.so", ERROR_PROC_NOT_FOUND, "does not export KbdLayerDescriptor"},
      {"bad_data_export.so", ERROR_PROC_NOT_FOUND, "does not export KbdLayerDescriptor as a function"},
      {"bad_null_tables.so", ERROR_BAD_EXE_FORMAT, "returned no tables"},
      {"bad_pointer_outside.so", ERROR_BAD_EXE_FORMAT, "pKeyNames at 0x"},
      {"bad_unterminated.so", ERROR_BAD_EXE_FORMAT, "pVSCtoVK_E1 at 0x"},
      {"bad_row_size.so", ERROR_BAD_EXE_FORMAT, "row size 12 does not match 4 columns"},
      {"bad_scan_map_size.so", ERROR_BAD_EXE_FORMAT, "(bMaxVSCtoVK) do not fit"},
      {"bad_no_continuation.so", ERROR_BAD_EXE_FORMAT, "has no continuation row"},
      {"bad_stray_continuation.so", ERROR_BAD_EXE_FORMAT, "follows no dead key"},
      {"bad_mod_bits.so", ERROR_BAD_EXE_FORMAT, "wMaxModBits 9"},
      {"bad_misaligned.so", ERROR_BAD_EXE_FORMAT, "aDeadKey at 0x"},
      {"bad_null_name.so", ERROR_BAD_EXE_FORMAT, "the name of scan code 0x3a is null"},
      {"no_such_library.so", ERROR_MOD_NOT_FOUND, "No such file"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    nt::kbd::Layout layout;
    std::string problem;
    EXPECT_EQ(nt::kbd::LoadLayoutLibrary(KeyboardFixture(row.file), &layout, &problem), row.error);
    EXPECT_NE(problem.find(row.problem), std::string::npos) << problem;
    EXPECT_TRUE(layout.rows.empty());
  }
}

TEST(LayoutLibraryTest, RefusesWhatIsNoRegularFile) {
  testing_support::TempDir dir;
  nt::kbd::Layout layout;
  std::string problem;
  EXPECT_EQ(nt::kbd::LoadLayoutLibrary(dir.Mkdir("dir.so"), &layout, &problem), ERROR_BAD_EXE_FORMAT);
  EXPECT_EQ(problem, "the library is not a regular file");
}

TEST(LayoutLibraryTest, PlainFileNamesHaveNoDirectoryPart) {
  struct Row {
    const char* name;
    bool plain;
  } rows[] = {
      {"romakeys.so", true},   {"ROMAKEYS.DLL", true}, {"", false},        {".", false},
      {"..", false},           {"../x.so", false},     {"a/b.so", false},  {"a\\b.so", false},
      {"/abs.so", false},      {"..x.so", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(nt::kbd::IsPlainFileName(row.name), row.plain);
  }
}

}  // namespace
