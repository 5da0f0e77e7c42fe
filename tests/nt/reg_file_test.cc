// .reg files: parsing with line numbers, applying all or nothing, exporting
// in enumeration order, and the round trip between the two.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nt/reg_file.h"
#include "nt/registry.h"
#include "nt/registry_faults.h"

namespace {

using Kind = nt::RegEdit::Kind;

std::string Utf16(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

TEST(RegFileTest, MalformedFilesAreRefusedWithTheirLine) {
  struct Row {
    const char* name;
    std::string text;
    int line;
    const char* message;
  } rows[] = {
      {"no header", "REGEDIT\n[HKLM\\a]\n", 1, "expected \"REGEDIT4\""},
      {"version 5 header in UTF-16 required", Utf16(u"REGEDIT4\r\n"), 1,
       "expected \"Windows Registry Editor Version 5.00\""},
      {"UTF-16 with a lone surrogate", Utf16(u"Windows Registry Editor Version 5.00\r\n\xD800"), 1,
       "not valid UTF-16"},
      {"a value before any key", "REGEDIT4\n\n\"a\"=\"b\"\n", 3, "a value outside of a key"},
      {"a value after a deleted key", "REGEDIT4\n[-HKLM\\a]\n\"a\"=\"b\"\n", 3,
       "a value outside of a key"},
      {"unknown root", "REGEDIT4\n\n[HKEY_USERS\\.DEFAULT]\n", 3, "unknown root key"},
      {"key line without ]", "REGEDIT4\n[HKLM\\a\n", 2, "must end with ]"},
      {"empty key name", "REGEDIT4\n[HKLM\\a\\\\b]\n", 2, "empty key name"},
      {"deleting a root", "REGEDIT4\n[-HKEY_CURRENT_USER]\n", 2, "root key cannot be deleted"},
      {"stray text", "REGEDIT4\n[HKLM\\a]\nname=value\n", 3, "expected a [key] or a value"},
      {"no =", "REGEDIT4\n[HKLM\\a]\n\"n\" \"v\"\n", 3, "expected = after"},
      {"open quote", "REGEDIT4\n[HKLM\\a]\n\"n\"=\"v\n", 3, "closing quote"},
      {"unknown escape", "REGEDIT4\n[HKLM\\a]\n\"n\"=\"a\\tb\"\n", 3, "backslash in quotes"},
      {"text after the string", "REGEDIT4\n[HKLM\\a]\n\"n\"=\"v\" x\n", 3,
       "after the closing quote"},
      {"long dword", "REGEDIT4\n[HKLM\\a]\n\"n\"=dword:123456789\n", 3, "dword:"},
      {"bad dword", "REGEDIT4\n[HKLM\\a]\n\"n\"=dword:12z\n", 3, "dword:"},
      {"unknown data", "REGEDIT4\n[HKLM\\a]\n\"n\"=qword:1\n", 3, "unrecognised value data"},
      {"bad hex type", "REGEDIT4\n[HKLM\\a]\n\"n\"=hex(x):00\n", 3, "hex(n):"},
      {"bad hex digit", "REGEDIT4\n[HKLM\\a]\n@=hex:0g\n", 3, "two hexadecimal digits"},
      {"no comma", "REGEDIT4\n[HKLM\\a]\n@=hex:00 01\n", 3, "comma between bytes"},
      {"bad byte on a continued line",
       "REGEDIT4\n[HKLM\\a]\n@=hex:00,\\\n  01,\\\n  0x\n\"ok\"=\"\"\n", 5,
       "two hexadecimal digits"},
      {"file ends inside hex data", "REGEDIT4\n[HKLM\\a]\n@=hex:00,\\", 3, "ends inside"},
      {"text of hex(1) in version 5 not UTF-16",
       "Windows Registry Editor Version 5.00\n[HKLM\\a]\n@=hex(1):41\n", 3, "not UTF-16"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<nt::RegEdit> edits;
    std::string error;
    int line = 0;
    EXPECT_FALSE(nt::ParseRegFile(row.text, &edits, &error, &line));
    EXPECT_EQ(line, row.line);
    EXPECT_TRUE(error.starts_with("line " + std::to_string(row.line) + ": ")) << error;
    EXPECT_NE(error.find(row.message), std::string::npos) << error;
    EXPECT_TRUE(edits.empty());
  }
}

TEST(RegFileTest, EveryKindOfLineParses) {
  const std::string text =
      "REGEDIT4\r\n"
      "\r\n"
      "; a comment\r\n"
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\Layouts]\r\n"
      "\"Layout File\"=\"a \\\"b\\\" \\\\c\"\r\n"
      "@=\"\"\r\n"
      "\"n\" = dword:0000001B\r\n"
      "\"bin\"=hex:00,ff,\\\r\n"
      "  10\r\n"
      "\"none\"=hex:\r\n"
      "\"exp\"=hex(2):41,00\r\n"
      "\"gone\"=-\r\n"
      "[-HKCU\\Keyboard Layout\\Old]\r\n";
  std::vector<nt::RegEdit> edits;
  std::string error;
  ASSERT_TRUE(nt::ParseRegFile(text, &edits, &error)) << error;
  struct Expected {
    Kind kind;
    HKEY root;
    std::string path;
    std::string name;
    DWORD type;
    std::string data;
    int line;
  } expected[] = {
      {Kind::kCreateKey, HKEY_LOCAL_MACHINE, "SYSTEM\\Layouts", "", REG_NONE, "", 4},
      {Kind::kSetValue, HKEY_LOCAL_MACHINE, "SYSTEM\\Layouts", "Layout File", REG_SZ,
       std::string("a \"b\" \\c\0", 9), 5},
      {Kind::kSetValue, HKEY_LOCAL_MACHINE, "SYSTEM\\Layouts", "", REG_SZ, std::string("\0", 1),
       6},
      {Kind::kSetValue, HKEY_LOCAL_MACHINE, "SYSTEM\\Layouts", "n", REG_DWORD,
       std::string("\x1b\0\0\0", 4), 7},
      {Kind::kSetValue, HKEY_LOCAL_MACHINE, "SYSTEM\\Layouts", "bin", REG_BINARY,
       std::string("\0\xff\x10", 3), 8},
      {Kind::kSetValue, HKEY_LOCAL_MACHINE, "SYSTEM\\Layouts", "none", REG_BINARY, "", 10},
      {Kind::kSetValue, HKEY_LOCAL_MACHINE, "SYSTEM\\Layouts", "exp", REG_EXPAND_SZ,
       std::string("A\0", 2), 11},
      {Kind::kDeleteValue, HKEY_LOCAL_MACHINE, "SYSTEM\\Layouts", "gone", REG_NONE, "", 12},
      {Kind::kDeleteKey, HKEY_CURRENT_USER, "Keyboard Layout\\Old", "", REG_NONE, "", 13},
  };
  ASSERT_EQ(edits.size(), std::size(expected));
  for (size_t i = 0; i < edits.size(); ++i) {
    SCOPED_TRACE("edit " + std::to_string(i));
    EXPECT_EQ(edits[i].kind, expected[i].kind);
    EXPECT_EQ(edits[i].root, expected[i].root);
    EXPECT_EQ(edits[i].path, expected[i].path);
    EXPECT_EQ(edits[i].name, expected[i].name);
    EXPECT_EQ(edits[i].type, expected[i].type);
    EXPECT_EQ(edits[i].data, expected[i].data);
    EXPECT_EQ(edits[i].line, expected[i].line);
  }
}

TEST(RegFileTest, Version5FilesReadAsUtf8) {
  const std::string text = Utf16(
      u"Windows Registry Editor Version 5.00\r\n\r\n"
      u"[HKEY_CURRENT_USER\\Keyboard Layout\\Preload]\r\n"
      u"\"1\"=\"Rom\u00e2n\u0103\"\r\n"
      u"\"2\"=hex(7):61,00,00,00,00,00\r\n");
  std::vector<nt::RegEdit> edits;
  std::string error;
  ASSERT_TRUE(nt::ParseRegFile(text, &edits, &error)) << error;
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[1].data, std::string("Rom\xC3\xA2n\xC4\x83\0", 9));
  EXPECT_EQ(edits[2].type, static_cast<DWORD>(REG_MULTI_SZ));
  EXPECT_EQ(edits[2].data, std::string("a\0\0", 3));
}

class RegFileRegistryTest : public testing::Test {
 protected:
  void Import(const std::string& text) {
    std::vector<nt::RegEdit> edits;
    std::string error;
    ASSERT_TRUE(nt::ParseRegFile(text, &edits, &error)) << error;
    ASSERT_EQ(nt::ApplyRegEdits(*registry_, edits, &error), ERROR_SUCCESS) << error;
  }

  std::string Export(HKEY root, const std::string& path) {
    std::string text;
    EXPECT_EQ(nt::ExportRegFile(*registry_, root, path, &text), ERROR_SUCCESS);
    return text;
  }

  std::unique_ptr<nt::Registry> registry_ = nt::MakeMemoryRegistry();
};

TEST_F(RegFileRegistryTest, ExportWritesEveryTypeSoThatItReadsBack) {
  HKEY key = nullptr;
  ASSERT_EQ(registry_->CreateKey(HKEY_LOCAL_MACHINE, "Top\\b", nullptr, KEY_ALL_ACCESS, &key,
                                 nullptr),
            ERROR_SUCCESS);
  registry_->CloseKey(key);
  ASSERT_EQ(registry_->CreateKey(HKEY_LOCAL_MACHINE, "top\\A", nullptr, KEY_ALL_ACCESS, &key,
                                 nullptr),
            ERROR_SUCCESS);
  auto set = [&](const char* name, DWORD type, const std::string& data) {
    ASSERT_EQ(registry_->SetValue(key, name, type, reinterpret_cast<const BYTE*>(data.data()),
                                  static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
  };
  set("with zero", REG_SZ, std::string("uskeys.so\0", 10));
  set("without zero", REG_SZ, "romakeys.so");
  set("quote \" and \\", REG_SZ, std::string("a\"b\\c\0", 6));
  set("", REG_SZ, std::string("\0", 1));
  set("two zeros", REG_SZ, std::string("a\0b\0", 4));
  set("line break", REG_SZ, std::string("a\nb\0", 4));
  set("number", REG_DWORD, std::string("\x1b\0\0\1", 4));
  set("short number", REG_DWORD, "ab");
  set("expand", REG_EXPAND_SZ, std::string("%x%\0", 4));
  set("long", REG_BINARY, std::string(40, '\xab'));
  registry_->CloseKey(key);

  const std::string expected =
      "REGEDIT4\n"
      "\n"
      "[HKEY_LOCAL_MACHINE\\Top]\n"
      "\n"
      "[HKEY_LOCAL_MACHINE\\Top\\A]\n"
      "\"with zero\"=\"uskeys.so\"\n"
      "\"without zero\"=hex(1):72,6f,6d,61,6b,65,79,73,2e,73,6f\n"
      "\"quote \\\" and \\\\\"=\"a\\\"b\\\\c\"\n"
      "@=\"\"\n"
      "\"two zeros\"=hex(1):61,00,62,00\n"
      "\"line break\"=hex(1):61,0a,62,00\n"
      "\"number\"=dword:0100001b\n"
      "\"short number\"=hex(4):61,62\n"
      "\"expand\"=hex(2):25,78,25,00\n"
      "\"long\"=hex:ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,\\\n"
      "  ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab\n"
      "\n"
      "[HKEY_LOCAL_MACHINE\\Top\\b]\n"
      "\n";
  const std::string exported = Export(HKEY_LOCAL_MACHINE, "TOP");
  EXPECT_EQ(exported, expected);

  // Into an empty registry and out again: the same text, the same bytes.
  registry_ = nt::MakeMemoryRegistry();
  Import(exported);
  EXPECT_EQ(Export(HKEY_LOCAL_MACHINE, "Top"), expected);
  char data[16];
  DWORD length = sizeof data;
  ASSERT_EQ(registry_->CreateKey(HKEY_LOCAL_MACHINE, "Top\\A", nullptr, KEY_ALL_ACCESS, &key,
                                 nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(registry_->QueryValue(key, "without zero", nullptr, reinterpret_cast<BYTE*>(data),
                                  &length),
            ERROR_SUCCESS);
  EXPECT_EQ(length, 11u);
}

TEST_F(RegFileRegistryTest, DeletionsRemoveWholeKeysAndMissingThingsAreNoError) {
  Import(
      "REGEDIT4\n[HKCU\\a\\b\\c]\n\"v\"=\"1\"\n[HKCU\\a\\d]\n\"w\"=\"2\"\n\"x\"=\"3\"\n");
  Import("REGEDIT4\n[-HKCU\\a\\b]\n[-HKCU\\none]\n[HKCU\\a\\d]\n\"w\"=-\n\"missing\"=-\n");
  EXPECT_EQ(Export(HKEY_CURRENT_USER, "a"),
            "REGEDIT4\n\n[HKEY_CURRENT_USER\\a]\n\n[HKEY_CURRENT_USER\\a\\d]\n\"x\"=\"3\"\n\n");
}

TEST_F(RegFileRegistryTest, AFailingEditLeavesItsHiveAsItWas) {
  Import("REGEDIT4\n[HKLM\\k]\n\"old\"=\"1\"\n");
  nt::FaultyRegistry faulty(*registry_);
  faulty.FailNamed("RegSetValueExA", ERROR_DISK_FULL, 3);
  std::vector<nt::RegEdit> edits;
  std::string error;
  ASSERT_TRUE(nt::ParseRegFile(
      "REGEDIT4\n[HKLM\\k]\n\"old\"=\"2\"\n\"new\"=\"3\"\n[HKLM\\k\\sub]\n\"x\"=\"4\"\n", &edits,
      &error));
  EXPECT_EQ(nt::ApplyRegEdits(faulty, edits, &error), ERROR_DISK_FULL);
  EXPECT_EQ(error, "cannot apply line 6 to HKEY_LOCAL_MACHINE\\k\\sub: There is not enough "
                   "space on the disk.");
  EXPECT_EQ(Export(HKEY_LOCAL_MACHINE, "k"),
            "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\k]\n\"old\"=\"1\"\n\n");
}

}  // namespace
