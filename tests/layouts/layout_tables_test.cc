// Each Linux layout library read through KbdLayerDescriptor against the
// tables it must hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <stdexcept>

#include "layouts/common/virtual_keys.h"
#include "tests/layouts/expected_layouts.h"
#include "tests/layouts/layout_reader.h"
#include "tests/layouts/loaded_library.h"

namespace layout_test {
namespace {

class LayoutTables : public testing::TestWithParam<ExpectedLayout> {
 protected:
  void SetUp() override {
    try {
      library_ = std::make_unique<LoadedLibrary>(KitFile(layout().name + ".so"));
      snapshot_ = ReadLayout(*library_, reinterpret_cast<uintptr_t>(library_->Descriptor()));
    } catch (const std::exception& e) {
      FAIL() << layout().name << ": " << e.what();
    }
  }
  const ExpectedLayout& layout() const { return GetParam(); }

  std::unique_ptr<LoadedLibrary> library_;
  LayoutSnapshot snapshot_;
};

// Row by row up to the first difference, so that a failure names the row.
void ExpectRows(const std::vector<Row>& actual, const std::vector<Row>& expected) {
  for (size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
    ASSERT_LT(i, actual.size()) << "row " << i << " missing, virtual key " << int(expected[i].vk);
    ASSERT_LT(i, expected.size()) << "extra row " << i << ", virtual key " << int(actual[i].vk);
    ASSERT_TRUE(actual[i] == expected[i])
        << "row " << i << ": virtual key " << int(actual[i].vk) << ", expected "
        << int(expected[i].vk) << "\n  actual   " << testing::PrintToString(actual[i].cells)
        << " attributes " << int(actual[i].attributes) << "\n  expected "
        << testing::PrintToString(expected[i].cells) << " attributes "
        << int(expected[i].attributes);
  }
}

TEST_P(LayoutTables, DescriptorReturnsOneRecordInsideTheLibrary) {
  PKBDTABLES first = library_->Descriptor();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(library_->Descriptor(), first);
  EXPECT_TRUE(library_->Contains(first, sizeof *first));
  EXPECT_EQ(first->bMaxVSCtoVK, 0x7D);
  EXPECT_EQ(first->fLocaleFlags, layout().locale_flags);
  // Nine tables, each of its own.
  const std::set<uint64_t> tables(snapshot_.table_addresses.begin(),
                                  snapshot_.table_addresses.end());
  EXPECT_EQ(tables.size(), 9u);
  EXPECT_FALSE(tables.contains(0));
}

TEST_P(LayoutTables, Modifiers) {
  const std::vector<std::pair<uint8_t, uint8_t>> bits = {
      {VK_SHIFT, 1}, {VK_CONTROL, 2}, {VK_MENU, 4}};
  EXPECT_EQ(snapshot_.vk_to_bits, bits);
  EXPECT_EQ(snapshot_.max_mod_bits, 7);
  const std::array<uint8_t, 8> columns = {0, 1, 4, 5, 0x0F, 0x0F, 2, 3};
  EXPECT_EQ(snapshot_.mod_number, columns);
}

TEST_P(LayoutTables, ScanCodeMaps) {
  const std::vector<uint16_t> expected = ExpectedScanMap(layout());
  ASSERT_EQ(snapshot_.scan_to_vk.size(), expected.size());
  for (size_t scan = 0; scan < expected.size(); ++scan) {
    EXPECT_EQ(snapshot_.scan_to_vk[scan], expected[scan]) << "scan code " << scan;
  }
  const std::vector<ScanVk> e0 = ExpectedE0Map(layout());
  ASSERT_EQ(snapshot_.e0.size(), e0.size());
  for (size_t i = 0; i < e0.size(); ++i) {
    EXPECT_EQ(snapshot_.e0[i].scan, e0[i].scan) << "E0 entry " << i;
    EXPECT_EQ(snapshot_.e0[i].vk, e0[i].vk) << "E0 entry " << i;
  }
  EXPECT_EQ(snapshot_.e1, ExpectedE1Map());
}

TEST_P(LayoutTables, KeyNames) {
  for (const auto& [names, expected, table] :
       {std::tuple{snapshot_.key_names, ExpectedKeyNames(), "aKeyNames"},
        std::tuple{snapshot_.key_names_ext, ExpectedKeyNamesExt(), "aKeyNamesExt"}}) {
    SCOPED_TRACE(table);
    ASSERT_EQ(names.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(names[i].scan, expected[i].scan) << "entry " << i;
      EXPECT_TRUE(names[i].name == expected[i].name) << "entry " << i;
    }
  }
}

TEST_P(LayoutTables, CharacterTablesInIndexOrder) {
  struct Entry {
    const char* name;
    unsigned columns;
    unsigned row_size;
    std::vector<ExpectedRow> rows;
  };
  const Entry index[] = {
      {"aVkToWch3", 3, 8, layout().wch3},
      {"aVkToWch4", 4, 10, layout().wch4},
      {"aVkToWch2", 2, 6, layout().wch2},
      {"aVkToWch1", 1, 4, ExpectedNumpadRows()},
  };
  ASSERT_EQ(snapshot_.tables.size(), std::size(index));
  for (size_t i = 0; i < std::size(index); ++i) {
    SCOPED_TRACE(index[i].name);
    EXPECT_EQ(snapshot_.tables[i].columns, index[i].columns);
    EXPECT_EQ(snapshot_.tables[i].row_size, index[i].row_size);
    ExpectRows(snapshot_.tables[i].rows, Encode(index[i].rows));
  }
}

// Every dead cell is followed by the row of its accent, and each accent has
// its group in aDeadKey.
TEST_P(LayoutTables, DeadCellsLeadToAccentRowsAndGroups) {
  std::set<char16_t> accents_with_groups;
  for (const DeadKey& key : snapshot_.dead_keys) accents_with_groups.insert(key.both >> 16);
  for (const CharTable& table : snapshot_.tables) {
    for (size_t i = 0; i < table.rows.size(); ++i) {
      const Row& row = table.rows[i];
      SCOPED_TRACE("row " + std::to_string(i) + " of the " + std::to_string(table.columns) +
                   "-column table");
      const bool has_dead = std::ranges::find(row.cells, kDead) != row.cells.end();
      if (row.vk == kAccentRow) {
        EXPECT_TRUE(i > 0 && std::ranges::find(table.rows[i - 1].cells, kDead) !=
                                 table.rows[i - 1].cells.end())
            << "accent row after a row without dead cells";
        continue;
      }
      if (!has_dead) continue;
      ASSERT_LT(i + 1, table.rows.size());
      const Row& accents = table.rows[i + 1];
      EXPECT_EQ(accents.vk, kAccentRow);
      EXPECT_EQ(accents.attributes, 0);
      for (size_t c = 0; c < row.cells.size(); ++c) {
        if (row.cells[c] == kDead) {
          EXPECT_NE(accents.cells[c], kNone);
          EXPECT_TRUE(accents_with_groups.contains(accents.cells[c]))
              << "no dead-key group for accent " << int(accents.cells[c]);
        } else {
          EXPECT_EQ(accents.cells[c], kNone);
        }
      }
    }
  }
}

TEST_P(LayoutTables, EachVirtualKeyHasOneRow) {
  std::set<uint8_t> seen;
  for (const CharTable& table : snapshot_.tables) {
    for (const Row& row : table.rows) {
      if (row.vk == kAccentRow) continue;
      EXPECT_TRUE(seen.insert(row.vk).second) << "virtual key " << int(row.vk) << " twice";
    }
  }
}

TEST_P(LayoutTables, DeadKeys) {
  const std::vector<DeadKey> expected = ExpectedDeadKeys(layout());
  ASSERT_EQ(snapshot_.dead_keys.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const DeadKey& actual = snapshot_.dead_keys[i];
    SCOPED_TRACE("entry " + std::to_string(i) + ": base " +
                 std::to_string(expected[i].both & 0xFFFF) + ", accent " +
                 std::to_string(expected[i].both >> 16));
    EXPECT_EQ(actual.both, expected[i].both);
    EXPECT_EQ(actual.composed, expected[i].composed);
    EXPECT_EQ(actual.flags, 0);
  }
}

// The groups themselves: Unicode has a precomposed letter for every base that
// is not an exception, and every exception differs from it.
TEST_P(LayoutTables, DeadKeyGroupsComposeByUnicode) {
  for (const DeadGroup& group : layout().dead_groups) {
    SCOPED_TRACE("accent " + std::to_string(group.accent));
    for (char16_t base : group.bases) {
      const auto listed =
          std::ranges::find(group.exceptions, base, &std::pair<char16_t, char16_t>::first);
      const char16_t composed = Precomposed(base, group.accent);
      if (listed == group.exceptions.end()) {
        EXPECT_NE(composed, 0) << "base " << int(base);
      } else {
        EXPECT_NE(composed, listed->second) << "base " << int(base);
      }
    }
  }
}

TEST_P(LayoutTables, DeadKeyNames) {
  ASSERT_EQ(snapshot_.dead_key_names.size(), layout().dead_names.size());
  for (size_t i = 0; i < layout().dead_names.size(); ++i) {
    const DeadName& expected = layout().dead_names[i];
    EXPECT_TRUE(snapshot_.dead_key_names[i] == expected.accent + expected.name) << "entry " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Libraries, LayoutTables, testing::ValuesIn(AllLayouts()),
                         [](const auto& info) { return info.param.name; });

// The codes the maps are written with.
TEST(VirtualKeyCodes, NamedCodes) {
  struct Row {
    const char* name;
    int code;
    int expected;
  } rows[] = {
      {"VK_OEM_1", VK_OEM_1, 0xBA},           {"VK_OEM_PLUS", VK_OEM_PLUS, 0xBB},
      {"VK_OEM_COMMA", VK_OEM_COMMA, 0xBC},   {"VK_OEM_MINUS", VK_OEM_MINUS, 0xBD},
      {"VK_OEM_PERIOD", VK_OEM_PERIOD, 0xBE}, {"VK_OEM_2", VK_OEM_2, 0xBF},
      {"VK_OEM_3", VK_OEM_3, 0xC0},           {"VK_OEM_4", VK_OEM_4, 0xDB},
      {"VK_OEM_5", VK_OEM_5, 0xDC},           {"VK_OEM_6", VK_OEM_6, 0xDD},
      {"VK_OEM_7", VK_OEM_7, 0xDE},           {"VK_OEM_102", VK_OEM_102, 0xE2},
      {"VK_EREOF", VK_EREOF, 0xF9},           {"VK_NONAME", VK_NONAME, 0xFC},
      {"VK_CANCEL", VK_CANCEL, 0x03},
  };
  for (const Row& row : rows) EXPECT_EQ(row.code, row.expected) << row.name;
}

}  // namespace
}  // namespace layout_test
