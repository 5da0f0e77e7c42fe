#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "nt/files.h"
#include "nt/system.h"
#include "tests/keyboard/support/layout_registry.h"
#include "tests/keyboard/support/test_layout.h"
#include "tests/support/temp_dir.h"
#include "tools/station/keyboard_commands.h"

namespace {

using testing_support::KeyboardFixture;

class StationKeyboardTest : public testing::Test {
 protected:
  StationKeyboardTest()
      : system32_(dir_.Mkdir("station/system32")),
        files_(system32_),
        driver_(session_),
        scope_(nt::Services{.files = &files_, .registry = registry_.get(), .keyboard = &driver_}) {
    std::filesystem::copy_file(KeyboardFixture("testkeys.so"), system32_ + "/testkeys.so");
    std::filesystem::copy_file(KeyboardFixture("testkeys.so"), system32_ + "/romatest.so");
    registry_.RegisterLayout("00000409", "testkeys.so");
    registry_.SetText(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\00000409",
                      "Layout Text", "Test");
    registry_.RegisterLayout("00000418", "romatest.so");
  }

  struct Result {
    int code;
    std::string out;
    std::string err;
  };

  Result Run(const std::string& command, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    station::Invocation invocation{"station " + command, args, out, err};
    const int code = command == "type" ? station::RunType(invocation, driver_)
                                       : station::RunKeyboard(invocation, driver_);
    return {code, out.str(), err.str()};
  }

  testing_support::TempDir dir_;
  std::string system32_;
  nt::HostFiles files_;
  testing_support::LayoutRegistry registry_;
  nt::kbd::MemorySessionStore session_;
  nt::kbd::KeyboardDriver driver_;
  nt::ScopedServices scope_;
};

TEST_F(StationKeyboardTest, TypesWithALibraryALayoutNameOrTheActiveLayout) {
  registry_.SetPreload({"00000409"});
  const std::string library = KeyboardFixture("testkeys.so");
  struct Row {
    const char* name;
    std::vector<std::string> args;
    std::string out;
  } rows[] = {
      {"library file", {"--layout", library, "AltGr+2", "E"}, "\xC4\x9B\n"},
      {"registered name", {"--layout", "00000418", "Shift+A", "sc:12"}, "Ae\n"},
      {"active layout", {"A", "VK_OEM_6", "VK_SPACE"}, "a^\n"},
      {"option after the strokes", {"Shift+A", "--layout", "00000409"}, "A\n"},
      {"control characters as they are", {"VK_RETURN", "VK_TAB"}, "\r\t\n"},
      {"nothing typed", {"Alt+A"}, "\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Result result = Run("type", row.args);
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, row.out);
  }
}

TEST_F(StationKeyboardTest, TypeRefusesBadStrokesAndLayouts) {
  const std::string kHelp = "Run \"station type --help\" for its usage.\n";
  struct Row {
    const char* name;
    std::vector<std::string> args;
    int code;
    std::string err;
  } rows[] = {
      {"no stroke", {}, 2, "station type: a stroke is missing\n" + kHelp},
      {"no layout after the option", {"A", "--layout"}, 2,
       "station type: --layout needs a library file or a layout name\n" + kHelp},
      {"bad stroke", {"Hyper+A"}, 2, "station type: \"Hyper\" is no modifier (Shift, Ctrl, Alt, AltGr)\n" + kHelp},
      {"no active layout", {"A"}, 1,
       "station type: there is no active keyboard layout: The keyboard layout is not valid or not loaded.\n"},
      {"broken library", {"--layout", KeyboardFixture("bad_initialiser.so"), "A"}, 1,
       "station type: cannot load keyboard layout " + KeyboardFixture("bad_initialiser.so") +
           ": The library is not a valid keyboard layout library. (the library has initialisers)\n"},
      {"unregistered name", {"--layout", "00000c0c", "A"}, 1,
       "station type: cannot load keyboard layout 00000c0c: The file or registry key could not be found. "
       "(layout 00000c0c is not registered with a layout file)\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Result result = Run("type", row.args);
    EXPECT_EQ(result.code, row.code);
    EXPECT_EQ(result.err, row.err);
    EXPECT_EQ(result.out, "");
  }
}

TEST_F(StationKeyboardTest, ShowsAndLoadsLayouts) {
  registry_.SetPreload({"00000409"});
  Result result = Run("keyboard", {});
  EXPECT_EQ(result.out, "* 00000409  testkeys.so  Test\n");
  result = Run("keyboard", {"load", "00000418"});
  EXPECT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.out, "  00000409  testkeys.so  Test\n* 00000418  romatest.so\n");
  result = Run("keyboard", {"load", "00000409", "5"});
  EXPECT_EQ(result.out, "* 00000409  testkeys.so  Test\n");
  result = Run("keyboard", {"load", "00000c0c"});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("cannot load keyboard layout 00000c0c"), std::string::npos);
  EXPECT_EQ(Run("keyboard", {"load", "00000418", "x"}).code, 2);
  EXPECT_EQ(Run("keyboard", {"unload"}).code, 2);
}

TEST_F(StationKeyboardTest, TellsWhichStrokesTypeACharacter) {
  registry_.SetPreload({"00000409"});
  struct Row {
    const char* name;
    std::vector<std::string> args;
    int code;
    std::string out;
  } rows[] = {
      {"two keys in table order", {"how", "@"}, 0, "Shift+2\nAltGr+Q\n"},
      {"through a dead key", {"how", "\xC3\xAA"}, 0, "VK_OEM_6 E\n"},
      {"every cell that holds it", {"how", "*"}, 0, "VK_MULTIPLY\nShift+VK_MULTIPLY\n"},
      {"a keypad digit", {"how", "7", "--layout", "00000418"}, 0, "VK_NUMPAD7  (with Num Lock)\n"},
      {"nowhere", {"how", "x"}, 1, ""},
      {"two characters", {"how", "ab"}, 2, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Result result = Run("keyboard", row.args);
    EXPECT_EQ(result.code, row.code) << result.err;
    EXPECT_EQ(result.out, row.out);
  }
}

}  // namespace
