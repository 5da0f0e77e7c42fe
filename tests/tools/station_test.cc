// The station tool, run as a real process on a station of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "nt/registry.h"
#include "nt/station.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

struct Result {
  int status;
  std::string out;
  std::string err;
};

class StationToolTest : public testing::Test {
 protected:
  std::string Root() const { return dir_.path() + "/station"; }

  // Runs the tool with `args` and `input` on standard input.
  Result Run(const std::vector<std::string>& args, const std::string& input = "") {
    const std::string in = dir_.Write("run/in", input);
    const std::string out = dir_.path() + "/run/out";
    const std::string err = dir_.path() + "/run/err";
    const pid_t child = fork();
    if (child == 0) {
      std::vector<char*> argv{const_cast<char*>(STATION_BINARY)};
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      dup2(open(in.c_str(), O_RDONLY), 0);
      dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
      dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
      setenv("STATION_ROOT", Root().c_str(), 1);
      setenv("HOME", dir_.path().c_str(), 1);
      execv(STATION_BINARY, argv.data());
      _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir_.Read("run/out"),
            dir_.Read("run/err")};
  }

  // Runs a command that must succeed silently on standard error.
  std::string Ok(const std::vector<std::string>& args, const std::string& input = "") {
    Result result = Run(args, input);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    return result.out;
  }

  TempDir dir_;
};

TEST_F(StationToolTest, UsageAndHelp) {
  struct Row {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  } rows[] = {
      {"no command", {}, 2, "",
       "station: a command is missing\nRun \"station --help\" for its usage.\n"},
      {"unknown command", {"regedit"}, 2, "",
       "station: no command \"regedit\"\nRun \"station --help\" for its usage.\n"},
      {"group without its command", {"reg"}, 2, "",
       "station reg: a command is missing\nRun \"station reg --help\" for its usage.\n"},
      {"help of a command",
       {"reg", "delete", "--help"},
       0,
       "usage: station reg delete KEY [VALUE]\n\n"
       "Deletes KEY with its values and all keys below it, or only its VALUE.\n"
       "KEY is written HKEY_LOCAL_MACHINE\\... or HKLM\\..., HKEY_CURRENT_USER\\... or\n"
       "HKCU\\... (quote it for the shell).\n",
       ""},
      {"help of a group",
       {"reg", "-h"},
       0,
       "usage: station reg COMMAND [ARGUMENTS]\n\n"
       "Reads and changes the station's registry.\n"
       "KEY is written HKEY_LOCAL_MACHINE\\... or HKLM\\..., HKEY_CURRENT_USER\\... or\n"
       "HKCU\\... (quote it for the shell).\n\n"
       "Commands:\n"
       "  query    show a key's values and subkeys, or one value\n"
       "  export   write a key and everything below it as a REGEDIT4 file\n"
       "  import   apply a .reg file\n"
       "  delete   delete a key with everything below it, or one value\n\n"
       "Run \"station reg COMMAND --help\" for the command's own help.\n",
       ""},
      {"too many arguments", {"reg", "query", "HKLM", "a", "b"}, 2, "",
       "station reg query: query takes KEY and an optional VALUE\n"
       "Run \"station reg query --help\" for its usage.\n"},
      {"a key of another root", {"reg", "export", "HKEY_USERS\\.DEFAULT"}, 2, "",
       "station reg export: \"HKEY_USERS\\.DEFAULT\" is not a key of HKEY_LOCAL_MACHINE (HKLM) "
       "or HKEY_CURRENT_USER (HKCU)\nRun \"station reg export --help\" for its usage.\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Result result = Run(row.args);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.out, row.out);
    EXPECT_EQ(result.err, row.err);
  }
}

TEST_F(StationToolTest, InitAndInfo) {
  const std::string user = nt::CurrentUserName();
  const std::string paths = "root:             " + Root() + "\n" +
                            "system directory: " + Root() + "/system32\n" +
                            "machine hive:     " + Root() + "/registry/machine.db\n" +
                            "user hive:        " + Root() + "/registry/users/" + user + ".db\n" +
                            "user:             " + user + "\n";
  EXPECT_EQ(Ok({"info"}), paths + "provisioned:      no\nadministrator:    no\n");
  EXPECT_EQ(Ok({"init"}), "Provisioned a new station at " + Root() + "\n");
  EXPECT_EQ(Ok({"init"}), "The station exists at " + Root() + "\n");
  EXPECT_EQ(Ok({"info"}), paths + "provisioned:      yes\nadministrator:    yes\n");
}

TEST_F(StationToolTest, QueryShowsValuesThenSubkeys) {
  EXPECT_EQ(Ok({"reg", "query", "hklm\\system\\currentcontrolset\\control\\keyboard layouts\\00000409"}),
            "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\00000409\n"
            "    Layout File    REG_SZ    uskeys.so\n"
            "    Layout Text    REG_SZ    US\n\n");
  Ok({"reg", "import", "-"},
     "REGEDIT4\n[HKCU\\t]\n@=\"d\"\n\"n\"=dword:0000001b\n\"b\"=hex:00,1f\n"
     "\"m\"=hex(7):61,00,62,00,00\n\"raw\"=hex(1):61,62\n[HKCU\\t\\Sub]\n");
  EXPECT_EQ(Ok({"reg", "query", "HKEY_CURRENT_USER\\T"}),
            "HKEY_CURRENT_USER\\t\n"
            "    (Default)    REG_SZ    d\n"
            "    n    REG_DWORD    0x1b\n"
            "    b    REG_BINARY    001F\n"
            "    m    REG_MULTI_SZ    a\\0b\n"
            "    raw    REG_SZ    ab\n\n"
            "HKEY_CURRENT_USER\\t\\Sub\n");
  EXPECT_EQ(Ok({"reg", "query", "HKCU\\t", "N"}), "HKEY_CURRENT_USER\\t\n    n    REG_DWORD    0x1b\n");
  Result missing = Run({"reg", "query", "HKCU\\t", "none"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "station reg query: HKCU\\t value \"none\": The file or registry key "
                         "could not be found.\n");
}

TEST_F(StationToolTest, ExportOfAnImportReproducesIt) {
  const std::string file =
      "REGEDIT4\n"
      "\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n"
      "@=\"default\"\n"
      "\"Layout File\"=\"rom\\\\keys \\\"so\\\"\"\n"
      "\"no zero\"=hex(1):72,6f,6d,61,6b,65,79,73\n"
      "\"count\"=dword:ffffffff\n"
      "\"blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
      "  16,17,18,19\n"
      "\"expand\"=hex(2):25,41,25,00\n"
      "\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\00000409]\n"
      "\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\0000041D]\n"
      "\"Layout Text\"=\"Swedish\"\n"
      "\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\0001041d]\n"
      "\n";
  Ok({"reg", "import", dir_.Write("in.reg", file)});
  EXPECT_EQ(Ok({"reg", "export", "HKLM\\Software\\Test"}), file);
  // Through a file and into another station: the same text again.
  Ok({"reg", "export", "HKLM\\SOFTWARE\\Test", dir_.path() + "/out.reg"});
  EXPECT_EQ(dir_.Read("out.reg"), file);
  Ok({"reg", "delete", "HKLM\\software\\test"});
  EXPECT_EQ(Run({"reg", "export", "HKLM\\SOFTWARE\\Test"}).status, 1);
  Ok({"reg", "import", dir_.path() + "/out.reg"});
  EXPECT_EQ(Ok({"reg", "export", "HKLM\\SOFTWARE\\Test"}), file);

  // The value without a terminating zero kept its eight bytes.
  std::string error;
  auto registry = nt::OpenHiveRegistry(Root() + "/registry/machine.db",
                                       Root() + "/registry/users/" + nt::CurrentUserName() + ".db",
                                       &error);
  ASSERT_NE(registry, nullptr) << error;
  HKEY key = nullptr;
  ASSERT_EQ(registry->OpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test", KEY_READ, &key), ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  ASSERT_EQ(registry->QueryValue(key, "no zero", &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 8u);
}

TEST_F(StationToolTest, Version5FilesImport) {
  std::string file = "\xFF\xFE";
  for (char c : std::string("Windows Registry Editor Version 5.00\r\n\r\n"
                            "[HKEY_CURRENT_USER\\Keyboard Layout\\Preload]\r\n"
                            "\"2\"=\"00000418\"\r\n")) {
    file += c;
    file += '\0';
  }
  Ok({"reg", "import", dir_.Write("v5.reg", file)});
  EXPECT_EQ(Ok({"reg", "query", "HKCU\\Keyboard Layout\\Preload"}),
            "HKEY_CURRENT_USER\\Keyboard Layout\\Preload\n"
            "    1    REG_SZ    00000409\n"
            "    2    REG_SZ    00000418\n\n");
}

TEST_F(StationToolTest, AMalformedImportChangesNothing) {
  const std::string before = Ok({"reg", "export", "HKCU"});
  struct Row {
    const char* name;
    std::string file;
    std::string message;
  } rows[] = {
      {"bad header", "REGEDIT5\n[-HKCU\\Keyboard Layout]\n",
       "line 1: expected \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\""},
      {"good lines before a bad one",
       "REGEDIT4\n[-HKCU\\Keyboard Layout]\n[HKCU\\New]\n\"a\"=\"1\"\n\"b\"=dword:xyz\n",
       "line 5: dword: needs one to eight hexadecimal digits"},
      {"bad hex on a continued line",
       "REGEDIT4\n\n[HKCU\\New]\n\"a\"=hex:00,01,\\\n  02,\\\n  0q\n",
       "line 6: expected two hexadecimal digits"},
      {"a value outside of a key", "REGEDIT4\n\"a\"=\"1\"\n[HKCU\\New]\n",
       "line 2: a value outside of a key"},
      {"an unknown root", "REGEDIT4\n[HKCU\\New]\n[HKEY_CLASSES_ROOT\\.txt]\n",
       "line 3: unknown root key in \"HKEY_CLASSES_ROOT\\.txt\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = dir_.Write("bad.reg", row.file);
    Result result = Run({"reg", "import", path});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "station reg import: " + path + ": " + row.message + "; nothing was imported\n");
    EXPECT_EQ(Ok({"reg", "export", "HKCU"}), before);
  }
}

TEST_F(StationToolTest, DeleteRemovesKeysAndValues) {
  Ok({"reg", "import", "-"}, "REGEDIT4\n[HKCU\\a\\b\\c]\n\"v\"=\"1\"\n[HKCU\\a]\n\"w\"=\"2\"\n\"x\"=\"3\"\n");
  Ok({"reg", "delete", "HKCU\\a", "W"});
  Ok({"reg", "delete", "HKCU\\A\\B"});
  EXPECT_EQ(Ok({"reg", "export", "HKCU\\a"}), "REGEDIT4\n\n[HKEY_CURRENT_USER\\a]\n\"x\"=\"3\"\n\n");
  struct Row {
    const char* name;
    std::vector<std::string> args;
    std::string err;
  } rows[] = {
      {"a root", {"reg", "delete", "HKLM"}, "HKLM: a root key cannot be deleted"},
      {"a missing key", {"reg", "delete", "HKCU\\a\\b"},
       "HKCU\\a\\b: The file or registry key could not be found."},
      {"a missing value", {"reg", "delete", "HKCU\\a", "w"},
       "HKCU\\a value \"w\": The file or registry key could not be found."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Result result = Run(row.args);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "station reg delete: " + row.err + "\n");
  }
}

}  // namespace

// The keyboard commands on a new station: its US layout, then a layout
// registered and loaded, typed with and asked about.
TEST_F(StationToolTest, KeyboardCommandsOnTheStationsLayouts) {
  const std::string kit = std::string(STATION_BINARY).substr(0, std::string(STATION_BINARY).rfind('/'));
  EXPECT_EQ(Ok({"keyboard"}), "* 00000409  uskeys.so  US\n");
  EXPECT_EQ(Ok({"type", "Shift+H", "I", "Shift+1"}), "Hi!\n");
  EXPECT_EQ(Ok({"type", "--layout", kit + "/romakeys.so", "AltGr+2", "E"}), "\xC4\x9B\n");

  std::filesystem::copy_file(kit + "/romakeys.so", Root() + "/system32/romakeys.so",
                             std::filesystem::copy_options::overwrite_existing);
  Ok({"reg", "import",
      dir_.Write("roma.reg",
                 "REGEDIT4\n\n"
                 "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\d0010418]\n"
                 "\"Layout File\"=\"romakeys.so\"\n\"Layout Text\"=\"Romanian\"\n")});
  EXPECT_EQ(Ok({"keyboard", "load", "D0010418"}),
            "  00000409  uskeys.so  US\n* d0010418  romakeys.so  Romanian\n");
  EXPECT_EQ(Ok({"type", "VK_OEM_1", "Shift+6", "A"}), "\xC3\xAE\xC3\xA2\n");
  EXPECT_EQ(Ok({"keyboard", "how", "\xC4\x9B"}), "AltGr+2 E\n");

  // A layout of the seeded registry whose library the station does not have.
  const Result refused = Run({"keyboard", "load", "00000c0c"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err.rfind("station keyboard: cannot load keyboard layout 00000c0c: The library "
                              "could not be found. (KBDFC.DLL: ", 0),
            0u)
      << refused.err;
  EXPECT_EQ(Ok({"keyboard"}), "  00000409  uskeys.so  US\n* d0010418  romakeys.so  Romanian\n");
}

// The layout commands find a registered layout on the station, and a
// library by its name beside the program.
TEST_F(StationToolTest, LayoutCommandsByRegisteredNameAndByLibraryName) {
  const std::string registered = Ok({"layout", "show", "00000409"});
  EXPECT_EQ(registered.substr(0, registered.find('\n')), "00000409 US (uskeys.so)");
  const std::string byName = Ok({"layout", "show", "ellkeys"});
  EXPECT_EQ(byName.substr(0, byName.find('\n')), "ellkeys");
  const std::string out = dir_.path() + "/xkb";
  EXPECT_EQ(Ok({"layout", "export-xkb", "00000409", out}),
            "wrote " + out + "/uskeys.xkb\nwrote " + out + "/uskeys.XCompose\n" +
                "note: key 0x46 \"Scroll Lock\": virtual key 0xE5 types nothing and has no keysym\n"
                "note: left out, having no keycode of their own under Linux: 0x59 (VK_CLEAR) 0x5a (VK_NONAME) "
                "0x5b (VK_NONAME) 0x5c (VK_NONAME) 0x5d (VK_EREOF) 0x5f (VK_NONAME) 0x66 (0xE8) 0x67 (0xE5) "
                "0x7c (VK_TAB) e0 0x0f (VK_RMENU) e0 0x3d (VK_F13) e0 0x3e (VK_F14) e0 0x3f (VK_F15) "
                "e0 0x40 (VK_F16) e0 0x41 (0xE3) e0 0x46 (VK_CANCEL) e0 0x4e (VK_ADD)\n");
  EXPECT_TRUE(std::filesystem::exists(out + "/uskeys.xkb"));
}
