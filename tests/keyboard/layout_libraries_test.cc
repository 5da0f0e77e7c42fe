// The four layout libraries of the kit, loaded as the driver loads them and
// typed through: every typed case their layouts single out, as one table.
#include <gtest/gtest.h>

#include <map>

#include "layouts/common/layout_tables.h"
#include "layouts/common/virtual_keys.h"
#include "nt/keyboard/library.h"
#include "nt/keyboard/lookup.h"
#include "nt/keyboard/strokes.h"
#include "nt/keyboard/translator.h"
#include "tools/station/keyboard_commands.h"

#include <sstream>

namespace {

const nt::kbd::Layout& Library(const std::string& name) {
  static std::map<std::string, nt::kbd::Layout> loaded;
  auto it = loaded.find(name);
  if (it == loaded.end()) {
    nt::kbd::Layout layout;
    std::string problem;
    EXPECT_EQ(nt::kbd::LoadLayoutLibrary(std::string(KIT_DIR) + "/" + name + ".so", &layout, &problem),
              ERROR_SUCCESS)
        << name << ": " << problem;
    it = loaded.emplace(name, std::move(layout)).first;
  }
  return it->second;
}

struct Typed {
  const char* library;
  std::vector<std::string> strokes;
  std::u16string text;
};

const std::vector<Typed>& TypedCases() {
  static const std::vector<Typed> cases = {
      // Common to the four libraries.
      {"romakeys", {"sc:7c"}, u"\t"},
      {"svenkeys", {"sc:7d"}, u""},
      {"ellkeys", {"Alt+A"}, u""},
      {"vlamkeys", {"Shift+Alt+sc:10"}, u""},
      {"svenkeys", {"AltGr+VK_BACK", "AltGr+VK_RETURN"}, u"\x7f\n"},
      {"ellkeys", {"Ctrl+VK_RETURN", "Ctrl+VK_BACK"}, u""},
      // romakeys
      {"romakeys", {"AltGr+2", "E"}, u"\u011B"},
      {"romakeys", {"AltGr+2", "VK_SPACE"}, u"\u030C"},
      {"romakeys", {"Shift+6", "2", "Shift+6", "3", "Shift+6", "1"}, u"\u00B2\u00B3\u00B9"},
      {"romakeys", {"Shift+6", "VK_OEM_PERIOD"}, u"\u00B7"},
      {"romakeys", {"Shift+6", "Shift+8"}, u"\u00B0"},
      {"romakeys", {"AltGr+6", "A"}, u"\u0105"},
      {"romakeys", {"Shift+6", "A"}, u"\u00E2"},
      {"romakeys", {"AltGr+VK_OEM_PLUS", "Shift+Y"}, u"\u00FF"},
      {"romakeys", {"Shift+VK_OEM_7", "Shift+O"}, u"\u0150"},
      {"romakeys", {"VK_OEM_7"}, u"\u00B4"},
      {"romakeys", {"AltGr+VK_OEM_4", "T"}, u"\u0163"},
      {"romakeys", {"VK_OEM_2"}, u"\u0163"},
      {"romakeys", {"sc:29", "Shift+sc:29", "AltGr+sc:29", "Shift+AltGr+sc:29"}, u"\u015F\u015E`~"},
      {"romakeys", {"sc:56", "Shift+sc:56", "AltGr+sc:56", "Shift+AltGr+sc:56"}, u"\u015F\u015E`~"},
      {"romakeys", {"CapsLock", "A", "VK_OEM_1", "VK_OEM_2", "VK_OEM_102"}, u"A\u00EE\u0163\u015F"},
      {"romakeys", {"AltGr+VK_BACK", "AltGr+VK_RETURN"}, u"\x7f\n"},
      {"romakeys", {"Alt+A", "Shift+Alt+A"}, u""},
      {"romakeys", {"VK_OEM_5"}, u"\\"},
      {"romakeys", {"AltGr+VK_OEM_2", "Shift+6", "VK_SPACE"}, u"\\^"},
      // svenkeys
      {"svenkeys", {"VK_OEM_4", "E"}, u"\u00EA"},
      {"svenkeys", {"Shift+VK_OEM_4", "Shift+A"}, u"\u00C0"},
      {"svenkeys", {"VK_OEM_2", "Y"}, u"\u00FD"},
      {"svenkeys", {"VK_OEM_2", "VK_SPACE"}, u"\u00B4"},
      {"svenkeys", {"AltGr+VK_OEM_4", "Shift+AltGr+VK_OEM_4"}, u"=+"},
      {"svenkeys", {"AltGr+VK_OEM_2", "Shift+AltGr+VK_OEM_2"}, u""},
      {"svenkeys", {"AltGr+2", "AltGr+3"}, u"@@"},
      {"svenkeys", {"AltGr+VK_OEM_7", "Shift+AltGr+VK_OEM_7"}, u"||"},
      {"svenkeys", {"AltGr+1", "Shift+AltGr+1", "VK_OEM_1", "Shift+VK_OEM_1"}, u"\u00FC\u00DC\u00FC\u00DC"},
      {"svenkeys", {"CapsLock", "VK_OEM_6", "VK_OEM_102", "VK_OEM_MINUS", "2", "0"}, u"\u00C5>_20"},
      {"svenkeys", {"sc:29", "Shift+sc:29", "AltGr+sc:29", "Shift+AltGr+sc:29"}, u"<>~\u00B0"},
      {"svenkeys", {"sc:56", "Shift+sc:56", "AltGr+sc:56", "Shift+AltGr+sc:56"}, u"<>~\u00B0"},
      {"svenkeys", {"VK_OEM_4", "Q"}, u"^q"},
      // ellkeys
      {"ellkeys", {"AltGr+H", "Shift+AltGr+H", "AltGr+A"}, u"\u03B7\u0397\u03B1"},
      {"ellkeys", {"AltGr+VK_OEM_3", "AltGr+H"}, u"\u03AE"},
      {"ellkeys", {"AltGr+VK_OEM_3", "AltGr+V"}, u"\u03CE"},
      {"ellkeys", {"AltGr+VK_OEM_3", "E"}, u"\u00E9"},
      {"ellkeys", {"AltGr+VK_OEM_3", "VK_SPACE"}, u"\u0384"},
      {"ellkeys", {"Shift+VK_OEM_3", "AltGr+I"}, u"\u03CA"},
      {"ellkeys", {"Shift+VK_OEM_3", "Shift+AltGr+Y"}, u"\u03AB"},
      {"ellkeys", {"Shift+VK_OEM_3", "AltGr+O"}, u"\u00F6"},
      {"ellkeys", {"AltGr+VK_OEM_3", "Shift+AltGr+A"}, u"\u0384\u0391"},
      {"ellkeys", {"AltGr+W", "Shift+AltGr+W", "AltGr+Q"}, u"\u03C2"},
      {"ellkeys", {"VK_OEM_3", "Shift+AltGr+VK_OEM_3"}, u"'\""},
      {"ellkeys", {"Shift+VK_OEM_COMMA", "Shift+VK_OEM_PERIOD"}, u",."},
      {"ellkeys", {"sc:56", "Shift+sc:56", "AltGr+sc:56"}, u"\\|\x1c"},
      {"ellkeys", {"sc:29", "Shift+sc:29", "AltGr+sc:29", "Shift+AltGr+sc:29"}, u"<>`~"},
      // vlamkeys
      {"vlamkeys", {"sc:10", "Shift+sc:10", "CapsLock", "sc:10", "CapsLock", "sc:1e"}, u"aAAq"},
      {"vlamkeys", {"sc:32", "Shift+sc:32", "CapsLock", "sc:32", "sc:27"}, u",?,M"},
      {"vlamkeys", {"sc:27"}, u"m"},
      {"vlamkeys", {"2", "Shift+2", "AltGr+2", "CapsLock", "2"}, u"\u00E92|2"},
      {"vlamkeys", {"VK_OEM_6", "E"}, u"\u00EA"},
      {"vlamkeys", {"Shift+VK_OEM_6", "I"}, u"\u00EF"},
      {"vlamkeys", {"Shift+VK_OEM_6", "Shift+Y"}, u"\u00FF"},
      {"vlamkeys", {"VK_OEM_6", "VK_SPACE", "Shift+VK_OEM_6", "VK_SPACE"}, u"^\u00A8"},
      {"vlamkeys", {"AltGr+VK_OEM_6"}, u"["},
      {"vlamkeys", {"sc:56", "Shift+sc:56", "AltGr+sc:56"}, u"\\|\x1c"},
      {"vlamkeys", {"sc:29", "Shift+sc:29", "AltGr+sc:29", "Shift+AltGr+sc:29"}, u"<>`~"},
      // The keypad with Num Lock.
      {"romakeys", {"NumLock", "sc:47", "sc:53", "sc:4e"}, u"7.+"},
      {"svenkeys", {"sc:47", "NumLock", "sc:52"}, u"0"},
  };
  return cases;
}

TEST(LayoutLibrariesTest, TypeWhatTheirLayoutsSay) {
  for (const Typed& row : TypedCases()) {
    std::string trace = std::string(row.library) + ":";
    for (const std::string& stroke : row.strokes) trace += " " + stroke;
    SCOPED_TRACE(trace);
    std::u16string text;
    std::string problem;
    ASSERT_TRUE(nt::kbd::TypeText(Library(row.library), row.strokes, &text, &problem)) << problem;
    EXPECT_EQ(nt::kbd::ToUtf8(text), nt::kbd::ToUtf8(row.text));
    // The same through `station type --layout FILE`.
    std::vector<std::string> args = {"--layout", std::string(KIT_DIR) + "/" + row.library + ".so"};
    args.insert(args.end(), row.strokes.begin(), row.strokes.end());
    nt::kbd::MemorySessionStore session;
    nt::kbd::KeyboardDriver driver(session);
    std::ostringstream out, err;
    station::Invocation invocation{"station type", args, out, err};
    EXPECT_EQ(station::RunType(invocation, driver), 0) << err.str();
    EXPECT_EQ(out.str(), nt::kbd::ToUtf8(row.text) + "\n");
  }
}

TEST(LayoutLibrariesTest, FindTheFirstKeyOfACharacter) {
  struct Row {
    const char* library;
    char16_t c;
    const char* strokes;
  } rows[] = {
      {"vlamkeys", u'[', "AltGr+6"},
      {"vlamkeys", u'\\', "VK_OEM_5"},
      {"vlamkeys", u'|', "AltGr+2"},
      {"svenkeys", u'\u00FC', "AltGr+1"},
      {"romakeys", u'\u011B', "AltGr+2 E"},
      {"ellkeys", u'\u03AE', "AltGr+VK_OEM_3 AltGr+H"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.library) + " " + nt::kbd::ToUtf8(std::u16string(1, row.c)));
    std::string strokes;
    for (const nt::kbd::Stroke& stroke : nt::kbd::FirstWayToType(Library(row.library), row.c)) {
      strokes += (strokes.empty() ? "" : " ") + nt::kbd::DescribeStroke(Library(row.library), stroke);
    }
    EXPECT_EQ(strokes, row.strokes);
  }
}

TEST(LayoutLibrariesTest, MapScanCodesAsTheirKeyboardsDo) {
  using nt::kbd::Prefix;
  struct Row {
    const char* library;
    nt::kbd::ScanCode scan;
    uint16_t vk;
  } rows[] = {
      {"romakeys", {0x7C}, VK_TAB},
      {"romakeys", {0x37, Prefix::kE0}, VK_SNAPSHOT | KBDEXT},
      {"svenkeys", {0x37, Prefix::kE0}, 0xE8 | KBDEXT},
      {"vlamkeys", {0x37, Prefix::kE0}, 0xE8 | KBDEXT},
      {"romakeys", {0x0F, Prefix::kE0}, VK_RMENU | KBDEXT | KBDSPECIAL},
      {"svenkeys", {0x0F, Prefix::kE0}, VK_RMENU | KBDEXT},
      {"vlamkeys", {0x10}, 'Q'},
      {"ellkeys", {0x56}, VK_OEM_5},
      {"romakeys", {0x56}, VK_OEM_102},
      {"svenkeys", {0x1D, Prefix::kE1}, VK_PAUSE},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.library);
    EXPECT_EQ(nt::kbd::VirtualKeyOf(Library(row.library), row.scan), row.vk);
  }
  for (const char* library : {"romakeys", "svenkeys", "ellkeys", "vlamkeys"}) {
    SCOPED_TRACE(library);
    for (unsigned scan = 0x7D; scan < 0x80; ++scan) {
      EXPECT_EQ(nt::kbd::VirtualKeyOf(Library(library), {static_cast<uint8_t>(scan)}), nt::kbd::kNoKey);
    }
    EXPECT_EQ(nt::kbd::KeyName(Library(library), {0x1D}), u"Ctrl");
    EXPECT_EQ(nt::kbd::KeyName(Library(library), {0x38, Prefix::kE0}), u"Right Alt");
  }
}

TEST(LayoutLibrariesTest, TypeBackEveryCharacterTheyType) {
  for (const char* library : {"romakeys", "svenkeys", "ellkeys", "vlamkeys"}) {
    const nt::kbd::Layout& layout = Library(library);
    for (const nt::kbd::CharRow& row : layout.rows) {
      for (unsigned c = 0; c < row.columns; ++c) {
        const char16_t wanted = row.chars[c];
        if (wanted == WCH_NONE || wanted == WCH_DEAD) continue;
        SCOPED_TRACE(std::string(library) + " " + nt::kbd::ToUtf8(std::u16string(1, wanted)));
        std::vector<std::string> strokes;
        for (const nt::kbd::Stroke& stroke : nt::kbd::FirstWayToType(layout, wanted)) {
          strokes.push_back(nt::kbd::DescribeStroke(layout, stroke));
        }
        std::u16string typed;
        std::string problem;
        ASSERT_TRUE(nt::kbd::TypeText(layout, strokes, &typed, &problem)) << problem;
        EXPECT_EQ(typed, std::u16string(1, wanted));
      }
    }
  }
}

}  // namespace
