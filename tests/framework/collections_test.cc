#include "framework/collections.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Items(const CStringList& list) {
  std::vector<std::string> items;
  for (POSITION p = list.GetHeadPosition(); p != nullptr;) items.push_back(list.GetNext(p).str());
  return items;
}

TEST(CStringList, InsertBeforeKeepsPositionsOfOthers) {
  CStringList list;
  POSITION b = list.AddTail("b");
  list.AddTail("d");
  list.InsertBefore(b, "a");
  POSITION d = list.GetTailPosition();
  list.InsertBefore(d, "c");
  list.InsertBefore(nullptr, "0");
  EXPECT_EQ(Items(list), (std::vector<std::string>{"0", "a", "b", "c", "d"}));
  EXPECT_EQ(list.GetCount(), 5);
  EXPECT_EQ(list.GetAt(b), "b");
  list.RemoveAll();
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetHeadPosition(), nullptr);
}

TEST(CMapStringToString, KeysMatchExactlyAndLaterValuesReplace) {
  CMapStringToString map(10);
  map.SetAt("Greek", "0408");
  map.SetAt("Greek", "0409");
  CString value;
  EXPECT_TRUE(map.Lookup("Greek", value));
  EXPECT_EQ(value, "0409");
  EXPECT_FALSE(map.Lookup("greek", value));
  EXPECT_EQ(value, "0409") << "a failed lookup leaves the value alone";
  EXPECT_EQ(map.GetCount(), 1);
}

}  // namespace
