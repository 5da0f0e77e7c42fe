#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "nt/files.h"
#include "nt/profile.h"
#include "nt/system.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

// A zero-separated list up to its closing pair of zeros, with "|" for each zero.
std::string Visible(const char* buffer, DWORD size) {
  std::string out;
  for (DWORD i = 0; i < size; ++i) {
    out += buffer[i] == '\0' ? '|' : buffer[i];
    if (i > 0 && buffer[i] == '\0' && buffer[i - 1] == '\0') break;
  }
  return out;
}

std::string Section(const std::string& text, const char* name, DWORD size = 4096) {
  std::string buffer(size, '#');
  DWORD length = nt::ReadProfileSection(text, name, buffer.data(), size);
  EXPECT_LT(length, size);
  return Visible(buffer.data(), size);
}

std::string Value(const std::string& text, const char* section, const char* key,
                  DWORD size = 200) {
  std::string buffer(size, '#');
  DWORD length = nt::ReadProfileString(text, section, key, "error", buffer.data(), size);
  EXPECT_EQ(buffer[length], '\0');
  return std::string(buffer.data(), length);
}

TEST(ProfileString, Lookups) {
  struct Row {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::string expected;
  } rows[] = {
      {"double quotes removed", "[S]\nk=\"Romanian\"\n", "S", "k", "Romanian"},
      {"single quotes removed", "[S]\nk='Romanian'\n", "S", "k", "Romanian"},
      {"only one pair removed", "[S]\nk=\"\"x\"\"\n", "S", "k", "\"x\""},
      {"unbalanced quotes kept", "[S]\nk=\"abc'\n", "S", "k", "\"abc'"},
      {"a lone quote kept", "[S]\nk=\"\n", "S", "k", "\""},
      {"unquoted value whole", "[S]\nk=Romanian\n", "S", "k", "Romanian"},
      {"first entry of a key wins", "[S]\nk=one\nk=two\n", "S", "k", "one"},
      {"names ignore case", "[options]\nABC=x.dll\n", "Options", "abc", "x.dll"},
      {"blanks around key and value", "[S]\n  k  =  v w  \n", "S", "k", "v w"},
      {"missing key gives default", "[S]\nk=v\n", "S", "other", "error"},
      {"missing section gives default", "[T]\nk=v\n", "S", "k", "error"},
      {"empty file gives default", "", "S", "k", "error"},
      {"key in another section", "[T]\nk=t\n[S]\nj=s\n", "S", "k", "error"},
      {"split section reads as one", "[S]\na=1\n[T]\nk=t\n[s]\nk=s\n", "S", "k", "s"},
      {"value with equals signs", "[S]\nk=a=b=c\n", "S", "k", "a=b=c"},
      {"comments skipped", "[S]\n;k=c\nk=v\n", "S", "k", "v"},
      {"CRLF endings", "[S]\r\nk=v\r\n", "S", "k", "v"},
      {"lone CR endings", "[S]\rk=v\rj=w", "S", "j", "w"},
      {"no final newline", "[S]\nk=v", "S", "k", "v"},
      {"NUL ends a line", std::string("[S]\nk=v\0j=w\n", 12), "S", "j", "w"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Value(row.text, row.section, row.key), row.expected);
  }
}

TEST(ProfileString, LongValueIsCutTo199Characters) {
  const std::string value(250, 'v');
  EXPECT_EQ(Value("[S]\nk=" + value + "\n", "S", "k"), value.substr(0, 199));
  EXPECT_EQ(Value("[S]\nk=\"" + value + "\"\n", "S", "k"), value.substr(0, 199));
}

TEST(ProfileSection, EntriesInFileOrderClosedByAnEmptyEntry) {
  EXPECT_EQ(Section("[A]\nx=1\n[OptionsTextENG]\n0418=\"Romanian\"\n041d=\"Swedish\"\n"
                    "no equals\n[B]\ny=2\n",
                    "optionstexteng"),
            "0418=\"Romanian\"|041d=\"Swedish\"|no equals||");
  EXPECT_EQ(Section("[A]\nx=1\n", "OptionsTextENG"), "||");
  EXPECT_EQ(Section("", "OptionsTextENG"), "||");
}

TEST(ProfileSection, TruncationKeepsTheClosingEmptyEntry) {
  // Two entries of 6 characters and a zero each, then the closing zero: 15 bytes.
  const std::string text = "[S]\na=1234\nb=5678\n";
  EXPECT_EQ(Section(text, "S", 15), "a=1234|b=5678||");
  EXPECT_EQ(Section(text, "S", 14), "a=1234|b=567||");
  EXPECT_EQ(Section(text, "S", 10), "a=1234|b||");
  EXPECT_EQ(Section(text, "S", 9), "a=1234||");
  EXPECT_EQ(Section(text, "S", 2), "||");
}

TEST(ProfileSection, TruncationNeverWritesPastTheBuffer) {
  std::string text = "[S]\n";
  for (int i = 0; i < 2000; ++i) text += "k" + std::to_string(i) + "=value\n";
  for (DWORD size : {0u, 1u, 2u, 3u, 100u, 4096u}) {
    SCOPED_TRACE(size);
    std::string buffer(size + 16, '#');
    DWORD length = nt::ReadProfileSection(text, "S", buffer.data(), size);
    EXPECT_EQ(buffer.substr(size), std::string(16, '#'));
    if (size >= 2) {
      EXPECT_EQ(length, size - 2);
      EXPECT_EQ(buffer[size - 1], '\0');
      EXPECT_EQ(buffer[size - 2], '\0');
    }
  }
}

TEST(ProfileString, NullSectionAndKeyListNames) {
  const std::string text = "[A]\nx=1\ny=2\n[B]\n";
  std::string buffer(64, '#');
  nt::ReadProfileString(text, nullptr, nullptr, "", buffer.data(), 64);
  EXPECT_EQ(Visible(buffer.data(), 64), "A|B||");
  nt::ReadProfileString(text, "a", nullptr, "", buffer.data(), 64);
  EXPECT_EQ(Visible(buffer.data(), 64), "x|y||");
}

TEST(ProfileText, HostileInputNeverBreaksTheReader) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
  const std::string huge_line = "[S]\nk=" + std::string(10 * 1024 * 1024, 'x') + "\nj=after\n";
  EXPECT_EQ(Value(binary, "S", "k").size() <= 199, true);
  EXPECT_EQ(Value(huge_line, "S", "j"), "after");
  EXPECT_EQ(Value(huge_line, "S", "k"), std::string(199, 'x'));
  EXPECT_EQ(Value("[S", "S", "k"), "error");
  EXPECT_EQ(Value("[]\n=v\n", "", ""), "v");
}

class ProfileFilesTest : public testing::Test {
 protected:
  ProfileFilesTest() : files_("/nonexistent"), reader_(files_),
                       scope_(nt::Services{.files = &files_, .profile = &reader_}) {}
  TempDir dir_;
  nt::HostFiles files_;
  nt::IniProfileReader reader_;
  nt::ScopedServices scope_;
};

TEST_F(ProfileFilesTest, UnreadableFilesReadAsEmpty) {
  const std::string directory = dir_.Mkdir("keyboard.ini");
  const std::string locked = dir_.Write("locked.ini", "[S]\nk=v\n");
  chmod(locked.c_str(), 0);
  char buffer[200];
  struct Row {
    const char* name;
    std::string path;
  } rows[] = {{"missing file", dir_.path() + "/none.ini"},
              {"a directory", directory},
              {"unreadable", locked}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (geteuid() == 0 && std::string(row.name) == "unreadable") continue;  // root reads it
    EXPECT_EQ(GetPrivateProfileStringA("S", "k", "error", buffer, 200, row.path.c_str()), 5u);
    EXPECT_STREQ(buffer, "error");
    EXPECT_EQ(GetPrivateProfileSectionA("S", buffer, 200, row.path.c_str()), 0u);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], '\0');
  }
}

TEST_F(ProfileFilesTest, CallsReachTheFileWhateverTheCaseOfItsName) {
  dir_.Write("kit/keyboard.ini", "[Options]\n0418=romakeys.so\n");
  char buffer[200];
  const std::string path = dir_.path() + "\\kit\\Keyboard.ini";
  EXPECT_EQ(GetPrivateProfileStringA("Options", "0418", "error", buffer, 200, path.c_str()), 11u);
  EXPECT_STREQ(buffer, "romakeys.so");
}

}  // namespace
