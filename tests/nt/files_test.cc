#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "nt/files.h"
#include "nt/system.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

class FilesTest : public testing::Test {
 protected:
  FilesTest()
      : files_(dir_.Mkdir("station/system32")), scope_(nt::Services{.files = &files_}) {}

  std::string Path(const std::string& relative) const { return dir_.path() + "/" + relative; }

  TempDir dir_;
  nt::HostFiles files_;
  nt::ScopedServices scope_;
};

TEST_F(FilesTest, ResolvePathFollowsTheStationsPathRules) {
  dir_.Write("Kit/keyboard.ini", "x");
  dir_.Mkdir("kit2/Sub");
  const std::string root = dir_.path();
  struct Row {
    const char* name;
    std::string written;
    std::string expected;
  } rows[] = {
      {"backslashes", root + "\\Kit\\keyboard.ini", root + "/Kit/keyboard.ini"},
      {"runs of separators", root + "//Kit\\\\keyboard.ini", root + "/Kit/keyboard.ini"},
      {"case of a missing component", root + "/kit/Keyboard.INI", root + "/Kit/keyboard.ini"},
      {"mixed separators and case", root + "\\KIT2/sub\\", root + "/kit2/Sub"},
      {"nothing there keeps the rest as written", root + "/None/Keyboard.ini",
       root + "/None/Keyboard.ini"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(nt::ResolvePath(row.written), row.expected);
  }
}

TEST_F(FilesTest, AttributesTellFileDirectoryAndNothing) {
  dir_.Write("lib/romakeys.so", "data");
  EXPECT_EQ(GetFileAttributesA(Path("lib\\ROMAKEYS.so").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_NE(GetFileAttributesA(Path("lib\\ROMAKEYS.so").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA(Path("lib").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  SetLastError(0);
  EXPECT_EQ(GetFileAttributesA(Path("lib\\missing.so").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, CopyReplacesTheTargetAndKeepsTheMode) {
  dir_.Write("src/a.so", "new contents");
  chmod(Path("src/a.so").c_str(), 0640);
  dir_.Write("dst/a.so", "old");
  ASSERT_TRUE(CopyFileA(Path("src\\a.so").c_str(), Path("dst\\a.so").c_str(), FALSE));
  EXPECT_EQ(dir_.Read("dst/a.so"), "new contents");
  struct stat st;
  ASSERT_EQ(stat(Path("dst/a.so").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(FilesTest, CopyFailuresSayWhyAndLeaveNothingBehind) {
  dir_.Write("src/a.so", "contents");
  dir_.Write("dst/existing.so", "old");
  dir_.Mkdir("dst/dir.so");
  struct Row {
    const char* name;
    std::string from;
    std::string to;
    BOOL fail_if_exists;
    DWORD error;
  } rows[] = {
      {"missing source", "src/none.so", "dst/none.so", FALSE, ERROR_FILE_NOT_FOUND},
      {"missing target directory", "src/a.so", "nowhere/a.so", FALSE, ERROR_PATH_NOT_FOUND},
      {"fail if exists", "src/a.so", "dst/existing.so", TRUE, ERROR_FILE_EXISTS},
      {"target is a directory", "src/a.so", "dst/dir.so", FALSE, ERROR_ACCESS_DENIED},
      {"source is a directory", "dst", "dst/b.so", FALSE, ERROR_ACCESS_DENIED},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetLastError(0);
    EXPECT_FALSE(CopyFileA(Path(row.from).c_str(), Path(row.to).c_str(), row.fail_if_exists));
    EXPECT_EQ(GetLastError(), row.error);
  }
  EXPECT_EQ(dir_.Read("dst/existing.so"), "old");
  size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Path("dst"))) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 2u) << "a temporary file was left behind";
}

TEST_F(FilesTest, CopyIntoReadOnlyDirectoryFailsWithAccessDenied) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  dir_.Write("src/a.so", "contents");
  dir_.Mkdir("ro");
  chmod(Path("ro").c_str(), 0555);
  EXPECT_FALSE(CopyFileA(Path("src/a.so").c_str(), Path("ro/a.so").c_str(), FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(FilesTest, DirectoryReadsKeepThePlatformsBufferContract) {
  const std::string system = Path("station/system32");
  char buffer[512];
  EXPECT_EQ(GetSystemDirectoryA(buffer, sizeof buffer), system.size());
  EXPECT_EQ(std::string(buffer), system);

  char small[8];
  std::memset(small, 'x', sizeof small);
  EXPECT_EQ(GetSystemDirectoryA(small, sizeof small), system.size() + 1);
  EXPECT_EQ(std::string(small, sizeof small), std::string(sizeof small, 'x'));

  // Exactly the length without room for the zero is still too small.
  std::string exact(system.size(), 'x');
  EXPECT_EQ(GetSystemDirectoryA(exact.data(), static_cast<UINT>(exact.size())),
            system.size() + 1);

  char cwd[4096];
  const DWORD length = GetCurrentDirectoryA(sizeof cwd, cwd);
  EXPECT_EQ(length, std::filesystem::current_path().string().size());
  EXPECT_EQ(GetCurrentDirectoryA(2, small), length + 1);
}

}  // namespace
