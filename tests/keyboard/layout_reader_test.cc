#include <gtest/gtest.h>

#include <functional>

#include "nt/keyboard/layout_reader.h"
#include "tests/keyboard/support/test_layout.h"
#include "tests/support/layout_image.h"

namespace {

using testing_support::LayoutImage;
using testing_support::SerializeLayout;

// Appends bytes at the end of the image; returns their address.
uint64_t AppendAtEnd(LayoutImage& image, const std::vector<uint8_t>& bytes) {
  while (image.bytes.size() % 8 != 0) image.bytes.push_back(0);
  const uint64_t address = image.end();
  image.bytes.insert(image.bytes.end(), bytes.begin(), bytes.end());
  return address;
}

template <typename T>
std::vector<uint8_t> Bytes(const std::vector<T>& items) {
  std::vector<uint8_t> bytes(items.size() * sizeof(T));
  std::memcpy(bytes.data(), items.data(), bytes.size());
  return bytes;
}

// Sets a field of the KbdTables record.
template <typename Field>
void SetTop(LayoutImage& image, Field KBDTABLES::*field, Field value) {
  KBDTABLES top = image.Get<KBDTABLES>(image.tables());
  top.*field = value;
  image.Put(image.tables(), top);
}

template <typename T>
const T* At(uint64_t address) {
  return reinterpret_cast<const T*>(static_cast<uintptr_t>(address));
}

// The index entry of the four-column table.
uint64_t Table4Entry(const LayoutImage& image) { return image.at.at("aVkToWcharTable") + sizeof(VK_TO_WCHAR_TABLE); }

void PointTable4At(LayoutImage& image, uint64_t rows) {
  VK_TO_WCHAR_TABLE entry = image.Get<VK_TO_WCHAR_TABLE>(Table4Entry(image));
  entry.pVkToWchars = At<VK_TO_WCHARS1>(rows);
  image.Put(Table4Entry(image), entry);
}

TEST(LayoutReaderTest, ReadsEveryTableOfAWellFormedImage) {
  const LayoutImage image = SerializeLayout(*KbdLayerDescriptor());
  nt::kbd::Layout layout;
  std::string problem;
  ASSERT_TRUE(nt::kbd::ReadLayout(image.image(), image.tables(), &layout, &problem)) << problem;
  EXPECT_EQ(layout.maxModBits, 7);
  EXPECT_EQ(layout.vkToBits.size(), 3u);
  EXPECT_EQ(layout.scanToVk.size(), 0x54u);
  EXPECT_EQ(layout.e0ToVk.size(), 6u);
  EXPECT_EQ(layout.e1ToVk.size(), 1u);
  ASSERT_EQ(layout.tables.size(), 4u);
  EXPECT_EQ(layout.tables[0].columns, 3);
  EXPECT_EQ(layout.tables[0].rowCount, 4u) << "the continuation row is folded into its dead key";
  EXPECT_EQ(layout.rows.size(), 4u + 3 + 7 + 10);
  const nt::kbd::CharRow* oem6 = layout.RowOf(0xDD);
  ASSERT_NE(oem6, nullptr);
  EXPECT_EQ(oem6->accents[0], u'^');
  EXPECT_EQ(oem6->accents[1], u'\u00A8');
  EXPECT_EQ(layout.deadKeys.size(), 11u);
  EXPECT_EQ(layout.keyNames.back().name, u"F17");
  EXPECT_EQ(layout.keyNamesExt.size(), 3u);
  EXPECT_EQ(layout.deadKeyNames[2], u"\u030C" u"Caron");
  EXPECT_EQ(layout.localeFlags, uint32_t{KLLF_ALTGR});
}

TEST(LayoutReaderTest, TablesTheFormatLeavesOptionalMayBeMissing) {
  LayoutImage image = SerializeLayout(*KbdLayerDescriptor());
  SetTop(image, &KBDTABLES::pDeadKey, static_cast<const DEADKEY*>(nullptr));
  SetTop(image, &KBDTABLES::pKeyNamesExt, static_cast<const VSC_LPWSTR*>(nullptr));
  SetTop(image, &KBDTABLES::pVSCtoVK_E1, static_cast<const VSC_VK*>(nullptr));
  nt::kbd::Layout layout;
  std::string problem;
  ASSERT_TRUE(nt::kbd::ReadLayout(image.image(), image.tables(), &layout, &problem)) << problem;
  EXPECT_TRUE(layout.deadKeys.empty());
  EXPECT_TRUE(layout.keyNamesExt.empty());
  EXPECT_TRUE(layout.e1ToVk.empty());
}

TEST(LayoutReaderTest, RefusesEveryKindOfMalformedTable) {
  using Mutation = std::function<void(LayoutImage&)>;
  struct Row {
    const char* name;
    Mutation mutate;
    const char* problem;  // a part of the expected explanation
  } rows[] = {
      {.name = "top record past the end",
       .mutate = [](LayoutImage& i) { i.at["KbdTables"] = i.end() - 8; },
       .problem = "KBDTABLES record"},
      {.name = "no modifier record",
       .mutate = [](LayoutImage& i) { SetTop(i, &KBDTABLES::pCharModifiers, static_cast<const MODIFIERS*>(nullptr)); },
       .problem = "pCharModifiers is null"},
      {.name = "modifier record outside",
       .mutate = [](LayoutImage& i) { SetTop(i, &KBDTABLES::pCharModifiers, At<MODIFIERS>(i.end() + 64)); },
       .problem = "MODIFIERS record"},
      {.name = "modifier record cut by the end",
       .mutate = [](LayoutImage& i) { SetTop(i, &KBDTABLES::pCharModifiers, At<MODIFIERS>(i.end() - 8)); },
       .problem = "MODIFIERS record"},
      {.name = "wMaxModBits beyond ModNumber",
       .mutate =
           [](LayoutImage& i) {
             MODIFIERS m = i.Get<MODIFIERS>(i.at["CharModifiers"]);
             m.wMaxModBits = 8;
             i.Put(i.at["CharModifiers"], m);
           },
       .problem = "wMaxModBits 8"},
      {.name = "ModNumber entry no column",
       .mutate =
           [](LayoutImage& i) {
             MODIFIERS m = i.Get<MODIFIERS>(i.at["CharModifiers"]);
             m.ModNumber[6] = 0x10;
             i.Put(i.at["CharModifiers"], m);
           },
       .problem = "ModNumber[6]"},
      {.name = "aVkToBits unterminated",
       .mutate =
           [](LayoutImage& i) {
             MODIFIERS m = i.Get<MODIFIERS>(i.at["CharModifiers"]);
             m.pVkToBit = At<VK_TO_BIT>(AppendAtEnd(i, {0x10, 1, 0x11, 2}));
             i.Put(i.at["CharModifiers"], m);
           },
       .problem = "aVkToBits at 0x"},
      {.name = "scan map longer than the image",
       .mutate = [](LayoutImage& i) { SetTop(i, &KBDTABLES::pusVSCtoVK, At<uint16_t>(i.end() - 16)); },
       .problem = "(bMaxVSCtoVK) do not fit"},
      {.name = "no scan map",
       .mutate = [](LayoutImage& i) { SetTop(i, &KBDTABLES::pusVSCtoVK, static_cast<const uint16_t*>(nullptr)); },
       .problem = "pusVSCtoVK is null"},
      {.name = "E0 map unterminated",
       .mutate =
           [](LayoutImage& i) {
             SetTop(i, &KBDTABLES::pVSCtoVK_E0,
                    At<VSC_VK>(AppendAtEnd(i, Bytes<VSC_VK>({{0x1C, 0x10D}, {0x1D, 0x1A3}}))));
           },
       .problem = "pVSCtoVK_E0 at 0x"},
      {.name = "E1 map misaligned",
       .mutate = [](LayoutImage& i) { SetTop(i, &KBDTABLES::pVSCtoVK_E1, At<VSC_VK>(i.at["aE1VscToVk"] + 1)); },
       .problem = "misaligned"},
      {.name = "no character tables",
       .mutate = [](LayoutImage& i) {
         SetTop(i, &KBDTABLES::pVkToWcharTable, static_cast<const VK_TO_WCHAR_TABLE*>(nullptr));
       },
       .problem = "pVkToWcharTable is null"},
      {.name = "index unterminated",
       .mutate =
           [](LayoutImage& i) {
             VK_TO_WCHAR_TABLE first = i.Get<VK_TO_WCHAR_TABLE>(i.at["aVkToWcharTable"]);
             SetTop(i, &KBDTABLES::pVkToWcharTable, At<VK_TO_WCHAR_TABLE>(AppendAtEnd(i, Bytes<VK_TO_WCHAR_TABLE>({first}))));
           },
       .problem = "aVkToWcharTable index at 0x"},
      {.name = "row size wrong for the columns",
       .mutate =
           [](LayoutImage& i) {
             VK_TO_WCHAR_TABLE entry = i.Get<VK_TO_WCHAR_TABLE>(Table4Entry(i));
             entry.cbSize = 12;
             i.Put(Table4Entry(i), entry);
           },
       .problem = "row size 12 does not match 4 columns"},
      {.name = "no columns",
       .mutate =
           [](LayoutImage& i) {
             VK_TO_WCHAR_TABLE entry = i.Get<VK_TO_WCHAR_TABLE>(Table4Entry(i));
             entry.nModifications = 0;
             entry.cbSize = 2;
             i.Put(Table4Entry(i), entry);
           },
       .problem = "has 0 columns"},
      {.name = "more columns than modifiers can select",
       .mutate =
           [](LayoutImage& i) {
             VK_TO_WCHAR_TABLE entry = i.Get<VK_TO_WCHAR_TABLE>(Table4Entry(i));
             entry.nModifications = 16;
             entry.cbSize = 34;
             i.Put(Table4Entry(i), entry);
           },
       .problem = "has 16 columns"},
      {.name = "rows unterminated",
       .mutate = [](LayoutImage& i) { PointTable4At(i, AppendAtEnd(i, Bytes<VK_TO_WCHARS4>({{'E', 1, {'e', 'E', 0xF000, 0xF000}}}))); },
       .problem = "character table 2 at 0x"},
      {.name = "dead key at the end of the image",
       .mutate = [](LayoutImage& i) { PointTable4At(i, AppendAtEnd(i, Bytes<VK_TO_WCHARS4>({{0xDD, 0, {WCH_DEAD, 0xF000, 0xF000, 0xF000}}}))); },
       .problem = "has no continuation row"},
      {.name = "dead key followed by another key",
       .mutate =
           [](LayoutImage& i) {
             PointTable4At(i, AppendAtEnd(i, Bytes<VK_TO_WCHARS4>({{0xDD, 0, {WCH_DEAD, 0xF000, 0xF000, 0xF000}},
                                                                   {'E', 0, {'e', 'E', 0xF000, 0xF000}},
                                                                   {0, 0, {0, 0, 0, 0}}})));
           },
       .problem = "has no continuation row"},
      {.name = "dead key followed by the terminator",
       .mutate =
           [](LayoutImage& i) {
             PointTable4At(i, AppendAtEnd(i, Bytes<VK_TO_WCHARS4>({{0xDD, 0, {WCH_DEAD, 0xF000, 0xF000, 0xF000}},
                                                                   {0, 0, {0, 0, 0, 0}}})));
           },
       .problem = "has no continuation row"},
      {.name = "continuation row without accent",
       .mutate =
           [](LayoutImage& i) {
             PointTable4At(i, AppendAtEnd(i, Bytes<VK_TO_WCHARS4>({{0xDD, 0, {WCH_DEAD, 0xF000, 0xF000, 0xF000}},
                                                                   {0xFF, 0, {WCH_NONE, 0xF000, 0xF000, 0xF000}},
                                                                   {0, 0, {0, 0, 0, 0}}})));
           },
       .problem = "holds no accent in column 0"},
      {.name = "continuation row after no dead key",
       .mutate =
           [](LayoutImage& i) {
             PointTable4At(i, AppendAtEnd(i, Bytes<VK_TO_WCHARS4>({{0xFF, 0, {'^', 0xF000, 0xF000, 0xF000}},
                                                                   {0, 0, {0, 0, 0, 0}}})));
           },
       .problem = "follows no dead key"},
      {.name = "dead-key table unterminated",
       .mutate =
           [](LayoutImage& i) {
             SetTop(i, &KBDTABLES::pDeadKey, At<DEADKEY>(AppendAtEnd(i, Bytes<DEADKEY>({DEADTRANS('a', '^', 0xE2, 0)}))));
           },
       .problem = "aDeadKey at 0x"},
      {.name = "dead-key table misaligned",
       .mutate = [](LayoutImage& i) { SetTop(i, &KBDTABLES::pDeadKey, At<DEADKEY>(i.at["aDeadKey"] + 2)); },
       .problem = "misaligned"},
      {.name = "key names outside the image",
       .mutate = [](LayoutImage& i) { SetTop(i, &KBDTABLES::pKeyNames, At<VSC_LPWSTR>(i.end() + 0x1000)); },
       .problem = "pKeyNames at 0x"},
      {.name = "key name null",
       .mutate =
           [](LayoutImage& i) {
             SetTop(i, &KBDTABLES::pKeyNames, At<VSC_LPWSTR>(AppendAtEnd(i, Bytes<VSC_LPWSTR>({{0x01, nullptr}, {0, nullptr}}))));
           },
       .problem = "the name of scan code 0x1 is null"},
      {.name = "key name unterminated",
       .mutate =
           [](LayoutImage& i) {
             const uint64_t names = AppendAtEnd(i, std::vector<uint8_t>(2 * sizeof(VSC_LPWSTR)));
             const uint64_t text = AppendAtEnd(i, Bytes<char16_t>({u'E', u's', u'c'}));
             i.Put(names, VSC_LPWSTR{0x01, At<KBD_WCHAR>(text)});
             SetTop(i, &KBDTABLES::pKeyNames, At<VSC_LPWSTR>(names));
           },
       .problem = "is not terminated"},
      {.name = "key name pointing outside",
       .mutate =
           [](LayoutImage& i) {
             SetTop(i, &KBDTABLES::pKeyNamesExt,
                    At<VSC_LPWSTR>(AppendAtEnd(i, Bytes<VSC_LPWSTR>({{0x1D, At<KBD_WCHAR>(i.base - 64)}, {0, nullptr}}))));
           },
       .problem = "pKeyNamesExt: the name of scan code 0x1d"},
      {.name = "dead-key names unterminated",
       .mutate =
           [](LayoutImage& i) {
             const uint64_t first = i.Get<uint64_t>(i.at["aKeyNamesDead"]);
             SetTop(i, &KBDTABLES::pKeyNamesDead, At<const KBD_WCHAR*>(AppendAtEnd(i, Bytes<uint64_t>({first}))));
           },
       .problem = "pKeyNamesDead at 0x"},
      {.name = "dead-key name without accent",
       .mutate =
           [](LayoutImage& i) {
             const uint64_t empty = AppendAtEnd(i, {0, 0});
             SetTop(i, &KBDTABLES::pKeyNamesDead, At<const KBD_WCHAR*>(AppendAtEnd(i, Bytes<uint64_t>({empty, 0}))));
           },
       .problem = "lacks its accent"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    LayoutImage image = SerializeLayout(*KbdLayerDescriptor());
    row.mutate(image);
    nt::kbd::Layout layout;
    std::string problem;
    EXPECT_FALSE(nt::kbd::ReadLayout(image.image(), image.tables(), &layout, &problem));
    EXPECT_NE(problem.find(row.problem), std::string::npos) << problem;
  }
}

TEST(LayoutReaderTest, ReadsOnlyFromTheImageItWasGiven) {
  // The same tables copied to an address far from the buffer: any read that
  // bypassed the image would fault or read something else.
  const LayoutImage image = SerializeLayout(*KbdLayerDescriptor(), 0x7f0000000000);
  nt::kbd::Layout layout;
  std::string problem;
  EXPECT_TRUE(nt::kbd::ReadLayout(image.image(), image.tables(), &layout, &problem)) << problem;
  EXPECT_FALSE(nt::kbd::ReadLayout(image.image(), 0, &layout, &problem));
  EXPECT_NE(problem.find("returned no tables"), std::string::npos);
}

}  // namespace
