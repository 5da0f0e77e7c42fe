#include "installer/catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "nt/files.h"
#include "nt/profile.h"
#include "nt/system.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

class CatalogueTest : public testing::Test {
 protected:
  CatalogueTest()
      : files_("/nonexistent"), reader_(files_),
        scope_(nt::Services{.files = &files_, .profile = &reader_}) {}

  struct Listing {
    std::vector<std::string> labels;
    std::map<std::string, std::string> map;  // what the label-to-key map answers
  };

  Listing List(const std::string& directory) {
    std::vector<char> buffer(kCatalogueSectionSize);
    CStringList labels;
    CMapStringToString map(10);
    ListCatalogue(directory.c_str(), buffer.data(), labels, map);
    Listing listing;
    for (POSITION p = labels.GetHeadPosition(); p != nullptr;) {
      listing.labels.push_back(labels.GetNext(p).str());
    }
    for (const std::string& label : listing.labels) {
      CString key;
      EXPECT_TRUE(map.Lookup(label.c_str(), key)) << label;
      listing.map[label] = key.str();
    }
    EXPECT_EQ(static_cast<size_t>(map.GetCount()), listing.map.size());
    return listing;
  }

  std::string Lookup(const char* section, const char* key) {
    char buffer[kCatalogueValueSize];
    return LookupCatalogue((dir_.path() + "\\").c_str(), section, key, buffer).str();
  }

  TempDir dir_;
  nt::HostFiles files_;
  nt::IniProfileReader reader_;
  nt::ScopedServices scope_;
};

TEST_F(CatalogueTest, Listings) {
  struct Row {
    const char* name;
    std::string ini;
    std::vector<std::string> labels;
    std::map<std::string, std::string> map;
  } rows[] = {
      {"byte order, small letters after capitals",
       "[OptionsTextENG]\n0813=\"flemish\"\n041d=\"Swedish\"\n0408=\"Greek\"\n0418=\"Romanian\"\n",
       {"Greek", "Romanian", "Swedish", "flemish"},
       {{"Greek", "0408"}, {"Romanian", "0418"}, {"Swedish", "041d"}, {"flemish", "0813"}}},
      {"codes above 127 after both, a prefix before its extension",
       "[OptionsTextENG]\n1=\"\xC9tat\"\n2=\"zz\"\n3=\"Zz\"\n4=\"Z\"\n",
       {"Z", "Zz", "zz", "\xC9tat"},
       {{"Z", "4"}, {"Zz", "3"}, {"zz", "2"}, {"\xC9tat", "1"}}},
      {"same label twice: both listed, the later key wins",
       "[OptionsTextENG]\n0418=\"Romanian\"\n0408=\"Greek\"\n0818=\"Romanian\"\n",
       {"Greek", "Romanian", "Romanian"},
       {{"Greek", "0408"}, {"Romanian", "0818"}}},
      {"same key, two labels: both listed, both to the key",
       "[OptionsTextENG]\n0418=\"Romanian\"\n0418=\"Rumanian\"\n",
       {"Romanian", "Rumanian"},
       {{"Romanian", "0418"}, {"Rumanian", "0418"}}},
      {"unquoted value loses its first and last character",
       "[OptionsTextENG]\n0418=Romanian\n", {"omania"}, {{"omania", "0418"}}},
      {"two quotes and one character give the empty label",
       "[OptionsTextENG]\n0418=\"\"\n0408=x\n", {"", ""}, {{"", "0408"}}},
      {"value with equals signs, key without",
       "[OptionsTextENG]\nk=\"a=b\"\n", {"a=b"}, {{"a=b", "k"}}},
      {"line without equals sign is passed over",
       "[OptionsTextENG]\nnonsense\n0418=\"Romanian\"\n", {"Romanian"}, {{"Romanian", "0418"}}},
      {"label longer than 199 characters is listed whole",
       "[OptionsTextENG]\n0418=\"" + std::string(300, 'L') + "\"\n",
       {std::string(300, 'L')}, {{std::string(300, 'L'), "0418"}}},
      {"missing section", "[Options]\n0418=romakeys.so\n", {}, {}},
      {"empty file", "", {}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    dir_.Write("Keyboard.ini", row.ini);
    Listing listing = List(dir_.path());
    EXPECT_EQ(listing.labels, row.labels);
    EXPECT_EQ(listing.map, row.map);
  }
}

TEST_F(CatalogueTest, MissingFileListsNothing) {
  EXPECT_TRUE(List(dir_.path() + "/nowhere").labels.empty());
}

TEST_F(CatalogueTest, SectionLimitCutsAnEntryBeforeItsEqualsSign) {
  // Entries of 19 bytes with their zero (k000="label000000"): 215 of them take
  // 4085 of the 4094 bytes before the closing zeros, so 9 bytes of the next
  // entry fit, which end before its "=".
  std::string ini = "[OptionsTextENG]\n";
  std::vector<std::string> expected;
  for (int i = 0; i < 215; ++i) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "k%03d=\"label%06d\"", i, i);
    ini += std::string(entry) + "\n";
    char label[16];
    std::snprintf(label, sizeof label, "label%06d", i);
    expected.push_back(label);
  }
  ini += "averyveryverylongkey=\"cut\"\n";
  ini += "k999=\"unseen\"\n";
  dir_.Write("Keyboard.ini", ini);
  Listing listing = List(dir_.path());
  EXPECT_EQ(listing.labels, expected);
}

TEST_F(CatalogueTest, SectionLimitListsALastEntryCutAfterItsEqualsSign) {
  std::string ini = "[OptionsTextENG]\n";
  for (int i = 0; i < 215; ++i) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "k%03d=\"label%06d\"", i, i);
    ini += std::string(entry) + "\n";
  }
  ini += "k=\"Romanian\"\n";  // 9 bytes fit: k="Romani
  dir_.Write("Keyboard.ini", ini);
  Listing listing = List(dir_.path());
  ASSERT_EQ(listing.labels.size(), 216u);
  EXPECT_EQ(listing.labels.front(), "Roman");
  EXPECT_EQ(listing.map["Roman"], "k");
}

TEST_F(CatalogueTest, Lookups) {
  dir_.Write("KEYBOARD.INI",
             "[OptionsTextENG]\n0418=\"Romanian\"\n0418=\"Rumanian\"\n041d=Swedish\n"
             "0408=\"error\"\n0409=\"" + std::string(250, 'x') + "\"\n0813=\"Flemish\"\n"
             "[Options]\n0418=romakeys.so\n041d=\"svenkeys.so\"\n");
  struct Row {
    const char* name;
    const char* section;
    const char* key;
    std::string expected;
  } rows[] = {
      {"file name", "Options", "0418", "romakeys.so"},
      {"quoted file name", "Options", "041d", "svenkeys.so"},
      {"key missing from [Options]", "Options", "0813", "error"},
      {"first of two entries is the text", "OptionsTextENG", "0418", "Romanian"},
      {"unquoted text whole", "OptionsTextENG", "041d", "Swedish"},
      {"the label error is the marker", "OptionsTextENG", "0408", "error"},
      {"missing key is the marker", "OptionsTextENG", "0419", "error"},
      {"long text cut to 199", "OptionsTextENG", "0409", std::string(199, 'x')},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Lookup(row.section, row.key), row.expected);
  }
}

TEST_F(CatalogueTest, RootDirectoryWithItsSeparatorStillReachesTheFile) {
  dir_.Write("keyboard.ini", "[OptionsTextENG]\n0418=\"Romanian\"\n");
  // A root directory's text ends in a separator, so the path holds two in a row.
  EXPECT_EQ(List(dir_.path() + "\\").labels, std::vector<std::string>{"Romanian"});
  char buffer[kCatalogueValueSize];
  EXPECT_EQ(LookupCatalogue((dir_.path() + "\\\\").c_str(), "OptionsTextENG", "0418", buffer),
            "Romanian");
}

}  // namespace
