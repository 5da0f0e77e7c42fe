// The keyboard.ini of each kit offers the four keyboards with libraries that
// are in the kit.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "nt/profile.h"
#include "tests/layouts/loaded_library.h"

namespace layout_test {
namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Lookup(const std::string& text, const char* section, const char* key) {
  char buffer[200];
  const DWORD length = nt::ReadProfileString(text, section, key, "error", buffer, sizeof buffer);
  return std::string(buffer, length);
}

TEST(KitCatalogue, OffersTheFourKeyboardsFromTheKit) {
  struct Kit {
    std::string catalogue;
    const char* suffix;
  };
  std::vector<Kit> kits = {{KitFile("keyboard.ini"), ".so"}};
  if (!Win32KitFile("keyboard.ini").empty()) kits.push_back({Win32KitFile("keyboard.ini"), ".dll"});
  const struct {
    const char* key;
    const char* library;
  } keyboards[] = {
      {"0408", "ellkeys"}, {"0418", "romakeys"}, {"041d", "svenkeys"}, {"0813", "vlamkeys"}};

  for (const Kit& kit : kits) {
    SCOPED_TRACE(kit.catalogue);
    const std::string text = ReadText(kit.catalogue);
    ASSERT_FALSE(text.empty());
    char section[4096];
    const DWORD length = nt::ReadProfileSection(text, "OptionsTextENG", section, sizeof section);
    std::vector<std::string> entries;
    for (const char* entry = section; entry < section + length && *entry;
         entry += std::strlen(entry) + 1) {
      entries.emplace_back(entry);
    }
    ASSERT_EQ(entries.size(), std::size(keyboards));
    for (size_t i = 0; i < entries.size(); ++i) {
      const auto& [key, library] = keyboards[i];
      SCOPED_TRACE(key);
      // The listing takes the label between the double quotes of the raw entry.
      const std::string prefix = std::string(key) + "=\"";
      EXPECT_EQ(entries[i].substr(0, prefix.size()), prefix);
      EXPECT_GT(entries[i].size(), prefix.size() + 1);
      EXPECT_EQ(entries[i].back(), '"');
      const std::string file = Lookup(text, "Options", key);
      EXPECT_EQ(file, library + std::string(kit.suffix));
      EXPECT_TRUE(
          std::filesystem::exists(std::filesystem::path(kit.catalogue).parent_path() / file));
    }
  }
}

}  // namespace
}  // namespace layout_test
