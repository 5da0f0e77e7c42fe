// station layout show and export-xkb, run through the tool's dispatcher.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/layout_tools/kit_layouts.h"
#include "tests/support/temp_dir.h"
#include "tools/layout/text_picture.h"
#include "tools/layout/xkb_export.h"
#include "tools/station/command.h"

namespace layout_tools_test {
namespace {

struct Result {
  int code;
  std::string out;
  std::string err;
};

Result Station(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = station::Dispatch(station::AllCommands(), args, out, err);
  return {code, out.str(), err.str()};
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t BigEndian(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

TEST(LayoutCommands, ShowPrintsThePictureOfALibrary) {
  const Result result = Station({"layout", "show", KitLibraryPath("svenkeys")});
  EXPECT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.out, layout_tools::TextPicture(KitLayout("svenkeys"), "svenkeys"));
}

TEST(LayoutCommands, ShowWritesSvgAndPng) {
  testing_support::TempDir dir;
  const std::string svg = dir.path() + "/vlamkeys.svg";
  const std::string png = dir.path() + "/vlamkeys.png";
  if (system("command -v rsvg-convert >/dev/null") != 0) GTEST_SKIP() << "rsvg-convert is not installed";
  const Result result = Station({"layout", "show", "--svg", svg, KitLibraryPath("vlamkeys"), "--png", png});
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.out, "wrote " + svg + "\nwrote " + png + "\n");
  EXPECT_EQ(ReadFile(svg).rfind("<?xml", 0), 0u);
  const std::string image = ReadFile(png);
  ASSERT_GT(image.size(), 24u);
  EXPECT_EQ(image.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(image.substr(12, 4), "IHDR");
  EXPECT_EQ(BigEndian(image, 16), 1410u);  // 940 pixels at a zoom of 1.5
  // Nothing is left beside the files.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(LayoutCommands, ExportWritesTheKeymapAndComposeFile) {
  testing_support::TempDir dir;
  const std::string out = dir.path() + "/xkb/new";
  const Result result = Station({"layout", "export-xkb", KitLibraryPath("ellkeys"), out});
  ASSERT_EQ(result.code, 0) << result.err;
  const auto exported = layout_tools::ExportXkb(KitLayout("ellkeys"), "ellkeys");
  EXPECT_EQ(ReadFile(out + "/ellkeys.xkb"), exported.keymap);
  EXPECT_EQ(ReadFile(out + "/ellkeys.XCompose"), exported.compose);
  EXPECT_EQ(result.out.rfind("wrote " + out + "/ellkeys.xkb\nwrote " + out + "/ellkeys.XCompose\n", 0), 0u);
  EXPECT_NE(result.out.find("note: accent U+0385 \u0385 has no dead keysym of its own in XKB: dead_greek stands for it\n"),
            std::string::npos);
}

TEST(LayoutCommands, RefuseWhatTheyCannotDo) {
  testing_support::TempDir dir;
  const std::string notLibrary = dir.Write("notes.txt", "not a library");
  const std::string blocked = dir.Write("file", "");
  struct Row {
    const char* name;
    std::vector<std::string> args;
    int code;
    std::string err;
  } rows[] = {
      {"no layout", {"layout", "show"}, 2,
       "station layout show: show takes one layout\nRun \"station layout show --help\" for its usage.\n"},
      {"no file after --svg", {"layout", "show", KitLibraryPath("romakeys"), "--svg"}, 2,
       "station layout show: --svg needs a file name\nRun \"station layout show --help\" for its usage.\n"},
      {"not a library", {"layout", "show", notLibrary}, 1,
       "station layout show: cannot load keyboard layout " + notLibrary +
           ": The library is not a valid keyboard layout library. (the file is not an ELF library)\n"},
      {"too many arguments", {"layout", "export-xkb", "a", "b", "c"}, 2,
       "station layout export-xkb: export-xkb takes a layout and a directory\n"
       "Run \"station layout export-xkb --help\" for its usage.\n"},
      {"a file where the directory should be", {"layout", "export-xkb", KitLibraryPath("romakeys"), blocked + "/x"},
       1, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Result result = Station(row.args);
    EXPECT_EQ(result.code, row.code);
    if (!row.err.empty()) {
      EXPECT_EQ(result.err, row.err);
    }
    EXPECT_NE(result.err, "");
    EXPECT_EQ(result.out, "");
  }
}

}  // namespace
}  // namespace layout_tools_test
