#include <gtest/gtest.h>

#include "layouts/common/virtual_keys.h"
#include "nt/keyboard/layout_reader.h"
#include "nt/keyboard/lookup.h"
#include "nt/keyboard/strokes.h"
#include "tests/keyboard/support/test_layout.h"
#include "tests/support/layout_image.h"

namespace {

using nt::kbd::Prefix;
using nt::kbd::Stroke;
using nt::kbd::Way;

class LookupTest : public testing::Test {
 protected:
  LookupTest() {
    const auto image = testing_support::SerializeLayout(*KbdLayerDescriptor());
    std::string problem;
    EXPECT_TRUE(nt::kbd::ReadLayout(image.image(), image.tables(), &layout_, &problem)) << problem;
  }
  nt::kbd::Layout layout_;
};

constexpr uint8_t kAltGr = KBDCTRL | KBDALT;

TEST_F(LookupTest, FindsTheWaysToTypeACharacterInTableOrder) {
  struct Row {
    const char* name;
    char16_t c;
    std::vector<Way> ways;
  } rows[] = {
      {"two cells, the first table first", u'@', {{{'2', KBDSHIFT}}, {{'Q', kAltGr}}}},
      {"base cell", u'a', {{{'A', 0}}}},
      {"AltGr cell", u'\u20AC', {{{'E', kAltGr}}}},
      {"only through a dead key", u'\u00EA', {{{VK_OEM_6, 0}, {'E', 0}}}},
      {"dead key and Shift", u'\u00C2', {{{VK_OEM_6, 0}, {'A', KBDSHIFT}}}},
      {"second dead state", u'\u00EB', {{{VK_OEM_6, KBDSHIFT}, {'E', 0}}}},
      {"accent itself through space", u'^', {{{VK_OEM_6, 0}, {VK_SPACE, 0}}}},
      {"group no key reaches", u'\u00E0', {}},
      {"nowhere", u'x', {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(nt::kbd::WaysToType(layout_, row.c), row.ways);
  }
}

TEST_F(LookupTest, TheFirstWayTypesEveryCharacterTheLayoutTypesBack) {
  std::u16string characters;
  for (const nt::kbd::CharRow& row : layout_.rows) {
    for (unsigned c = 0; c < row.columns; ++c) {
      if (row.chars[c] != WCH_NONE && row.chars[c] != WCH_DEAD) characters.push_back(row.chars[c]);
    }
  }
  for (const nt::kbd::DeadKey& entry : layout_.deadKeys) characters.push_back(entry.composed);
  for (char16_t c : characters) {
    SCOPED_TRACE(nt::kbd::ToUtf8(std::u16string(1, c)));
    const Way way = nt::kbd::FirstWayToType(layout_, c);
    if (way.empty()) continue;  // a dead-key group no key reaches
    std::vector<std::string> strokes;
    for (const Stroke& stroke : way) strokes.push_back(nt::kbd::DescribeStroke(layout_, stroke));
    std::u16string typed;
    std::string problem;
    ASSERT_TRUE(nt::kbd::TypeText(layout_, strokes, &typed, &problem)) << problem;
    EXPECT_EQ(typed, std::u16string(1, c));
  }
}

TEST_F(LookupTest, DescribesStrokesAsTypeableText) {
  EXPECT_EQ(nt::kbd::DescribeStroke(layout_, {'2', KBDSHIFT}), "Shift+2");
  EXPECT_EQ(nt::kbd::DescribeStroke(layout_, {VK_OEM_6, KBDSHIFT | kAltGr}), "Shift+AltGr+VK_OEM_6");
  EXPECT_EQ(nt::kbd::DescribeStroke(layout_, {'A', KBDCTRL}), "Ctrl+A");
  EXPECT_EQ(nt::kbd::DescribeStroke(layout_, {0xE5, 0}), "0xE5");
}

TEST_F(LookupTest, FindsTheScanCodeOfAVirtualKey) {
  struct Row {
    const char* name;
    uint8_t vk;
    std::optional<nt::kbd::ScanCode> scan;
    bool numLock;
  } rows[] = {
      {"plain", 'A', nt::kbd::ScanCode{0x1E}, false},
      {"E0", VK_RMENU, nt::kbd::ScanCode{0x38, Prefix::kE0}, false},
      {"E1", VK_PAUSE, nt::kbd::ScanCode{0x1D, Prefix::kE1}, false},
      {"keypad digit with Num Lock", VK_NUMPAD7, nt::kbd::ScanCode{0x47}, true},
      {"keypad point with Num Lock", VK_DECIMAL, nt::kbd::ScanCode{0x53}, true},
      {"no key", VK_OEM_5, std::nullopt, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    bool numLock = !row.numLock;
    const auto scan = nt::kbd::ScanCodeFor(layout_, row.vk, &numLock);
    ASSERT_EQ(scan.has_value(), row.scan.has_value());
    if (!scan) continue;
    EXPECT_EQ(scan->code, row.scan->code);
    EXPECT_EQ(scan->prefix, row.scan->prefix);
    EXPECT_EQ(numLock, row.numLock);
  }
}

TEST_F(LookupTest, NamesKeysAndAccents) {
  EXPECT_EQ(nt::kbd::KeyName(layout_, {0x1D}), u"Ctrl");
  EXPECT_EQ(nt::kbd::KeyName(layout_, {0x1D, Prefix::kE0}), u"Right Control");
  EXPECT_EQ(nt::kbd::KeyName(layout_, {0x80}), u"F17");
  EXPECT_EQ(nt::kbd::KeyName(layout_, {0x02}), u"");
  EXPECT_EQ(nt::kbd::KeyName(layout_, {0x1D, Prefix::kE1}), u"");
  EXPECT_EQ(nt::kbd::DeadKeyName(layout_, u'^'), u"Circumflex");
  EXPECT_EQ(nt::kbd::DeadKeyName(layout_, u'\u030C'), u"Caron");
  EXPECT_EQ(nt::kbd::DeadKeyName(layout_, u'`'), u"");
}

}  // namespace
