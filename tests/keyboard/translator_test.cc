#include <gtest/gtest.h>

#include "layouts/common/virtual_keys.h"
#include "nt/keyboard/layout_reader.h"
#include "nt/keyboard/strokes.h"
#include "nt/keyboard/translator.h"
#include "tests/keyboard/support/test_layout.h"
#include "tests/support/layout_image.h"

namespace {

using nt::kbd::Prefix;

class TranslatorTest : public testing::Test {
 protected:
  TranslatorTest() {
    const auto image = testing_support::SerializeLayout(*KbdLayerDescriptor());
    std::string problem;
    EXPECT_TRUE(nt::kbd::ReadLayout(image.image(), image.tables(), &layout_, &problem)) << problem;
  }
  nt::kbd::Layout layout_;
};

TEST_F(TranslatorTest, ScanCodesYieldTheirMapsVirtualKeys) {
  struct Row {
    const char* name;
    nt::kbd::ScanCode scan;
    uint16_t vk;
  } rows[] = {
      {"plain letter", {0x1E}, 'A'},
      {"flags kept", {0x36}, VK_RSHIFT | KBDEXT},
      {"no key at 0x00", {0x00}, 0xFF},
      {"past bMaxVSCtoVK", {0x54}, 0xFF},
      {"beyond seven bits", {0x9E}, 0xFF},
      {"E0 entry", {0x38, Prefix::kE0}, VK_RMENU | KBDEXT | KBDSPECIAL},
      {"E0 without entry", {0x10, Prefix::kE0}, 0xFF},
      {"E1 entry", {0x1D, Prefix::kE1}, VK_PAUSE},
      {"E1 without entry", {0x1E, Prefix::kE1}, 0xFF},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(nt::kbd::VirtualKeyOf(layout_, row.scan), row.vk);
  }
}

TEST_F(TranslatorTest, TypesStrokesToCharacters) {
  struct Row {
    const char* name;
    std::vector<std::string> strokes;
    std::u16string text;
  } rows[] = {
      {"letter by scan code", {"sc:1e"}, u"a"},
      {"Shift", {"Shift+A"}, u"A"},
      {"Caps Lock on a CAPLOK key", {"CapsLock", "A"}, u"A"},
      {"Caps Lock and Shift cancel", {"CapsLock", "Shift+A"}, u"a"},
      {"Caps Lock leaves other keys", {"CapsLock", "2"}, u"2"},
      {"Caps Lock toggles off", {"CapsLock", "CapsLock", "A"}, u"a"},
      {"Caps Lock does not reach AltGr", {"CapsLock", "AltGr+E"}, u"\u20AC"},
      {"AltGr column", {"AltGr+E"}, u"\u20AC"},
      {"Ctrl+Alt is AltGr", {"Ctrl+Alt+E"}, u"\u20AC"},
      {"WCH_NONE gives nothing", {"Shift+AltGr+E"}, u""},
      {"column beyond the row", {"AltGr+A"}, u""},
      {"Alt alone gives nothing", {"Alt+A"}, u""},
      {"Shift+Alt gives nothing", {"Shift+Alt+E"}, u""},
      {"Ctrl finds no column", {"Ctrl+A"}, u""},
      {"AltGr+Backspace", {"AltGr+VK_BACK"}, u"\x7f"},
      {"AltGr+Enter", {"AltGr+VK_RETURN"}, u"\n"},
      {"Ctrl+Enter", {"Ctrl+VK_RETURN"}, u""},
      {"dead key composes", {"VK_OEM_6", "E"}, u"\u00EA"},
      {"dead key with Shift on the base", {"VK_OEM_6", "Shift+A"}, u"\u00C2"},
      {"second dead state of one key", {"Shift+VK_OEM_6", "A"}, u"\u00E4"},
      {"dead key and space give the accent", {"VK_OEM_6", "VK_SPACE"}, u"^"},
      {"combining accent and space", {"AltGr+2", "VK_SPACE"}, u"\u030C"},
      {"combining accent composes", {"AltGr+2", "E"}, u"\u011B"},
      {"character the group lacks", {"VK_OEM_6", "Q"}, u"^q"},
      {"control character the group lacks", {"VK_OEM_6", "VK_RETURN"}, u"^\r"},
      {"dead key twice", {"VK_OEM_6", "VK_OEM_6"}, u"^^"},
      {"two accents", {"VK_OEM_6", "Shift+VK_OEM_6"}, u"^\u00A8"},
      {"AltGr state of a dead key is not dead", {"AltGr+VK_OEM_6"}, u"["},
      {"accent waits over keys without characters", {"VK_OEM_6", "VK_LSHIFT", "VK_F1", "E"}, u"\u00EA"},
      {"accent waits at the end", {"E", "VK_OEM_6"}, u"e"},
      {"keypad without Num Lock", {"sc:47"}, u""},
      {"keypad with Num Lock", {"NumLock", "sc:47", "sc:52", "sc:53"}, u"70."},
      {"Num Lock by its key", {"sc:45", "sc:4f"}, u"1"},
      {"Shift reverses Num Lock", {"NumLock", "Shift+sc:47"}, u""},
      {"E0 keys are never digits", {"NumLock", "sc:e0:47"}, u""},
      {"keypad key without a digit", {"NumLock", "sc:4e"}, u"+"},
      {"E0 key with a character", {"sc:e0:35"}, u"/"},
      {"E1 key", {"sc:e1:1d"}, u""},
      {"scan code without key", {"sc:7f"}, u""},
      {"virtual key no scan code yields", {"VK_MULTIPLY"}, u"*"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::u16string text;
    std::string problem;
    ASSERT_TRUE(nt::kbd::TypeText(layout_, row.strokes, &text, &problem)) << problem;
    EXPECT_EQ(text, row.text);
  }
}

TEST_F(TranslatorTest, ReadsTheBytesAKeyboardSends) {
  struct Row {
    const char* name;
    std::vector<uint8_t> bytes;
    std::u16string text;
    bool numLock;
  } rows[] = {
      {"make and break", {0x1E, 0x9E, 0x12, 0x92}, u"ae", false},
      {"right Alt held is AltGr", {0xE0, 0x38, 0x12, 0x92, 0xE0, 0xB8, 0x12, 0x92}, u"\u20ACe", false},
      {"left Alt held is Alt", {0x38, 0x12, 0x92, 0xB8}, u"", false},
      {"repeated make toggles Caps Lock once", {0x3A, 0x3A, 0x3A, 0xBA, 0x1E, 0x9E}, u"A", false},
      {"Pause sequence ends with its own bytes", {0xE1, 0x1D, 0x45, 0xE1, 0x9D, 0xC5, 0x47}, u"", false},
      {"Num Lock key", {0x45, 0xC5, 0x47, 0xC7}, u"7", true},
      {"E0 applies to one byte", {0xE0, 0x1C, 0x9C, 0x1E}, u"\ra", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    nt::kbd::Translator translator(layout_);
    std::u16string text;
    for (uint8_t byte : row.bytes) translator.Feed(byte, &text);
    EXPECT_EQ(text, row.text);
    EXPECT_EQ(translator.numLock(), row.numLock);
  }
}

TEST(StrokeTextTest, RefusesWhatIsNoStroke) {
  struct Row {
    const char* stroke;
    const char* problem;
  } rows[] = {
      {"Hyper+A", "\"Hyper\" is no modifier"},
      {"sc:80", "is no scan code"},
      {"sc:e2:10", "is no scan code"},
      {"sc:", "is no key"},
      {"VK_NOTHING", "\"VK_NOTHING\" is no key"},
      {"AB", "\"AB\" is no key"},
      {"Shift+", "\"Shift+\" is no key"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.stroke);
    std::string problem;
    EXPECT_FALSE(nt::kbd::ParseStroke(row.stroke, &problem));
    EXPECT_NE(problem.find(row.problem), std::string::npos) << problem;
  }
}

TEST(StrokeTextTest, ConvertsBetweenUtf16AndUtf8) {
  EXPECT_EQ(nt::kbd::ToUtf8(u"a\u011B\u20AC\U0001F600"), "a\xC4\x9B\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(nt::kbd::FromUtf8("a\xC4\x9B\xE2\x82\xAC\xF0\x9F\x98\x80"), u"a\u011B\u20AC\U0001F600");
  EXPECT_EQ(nt::kbd::ToUtf8(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD");
  EXPECT_EQ(nt::kbd::FromUtf8("\xC4"), u"\uFFFD");
}

}  // namespace
