// Random Keyboard Layouts and Preload states: after an allocation and a
// registration, no other layout's registration or preload is lost.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>

#include "installer/registration/layout_numbers.h"
#include "tests/installer/installer_fixture.h"

namespace installer_test {
namespace {

constexpr char kFile[] = "NEW.DLL";

class RegistrationPropertyTest : public InstallerTest {
 protected:
  std::map<std::string, Values> Layouts() {
    std::map<std::string, Values> layouts;
    for (const std::string& name : Subkeys(HKEY_LOCAL_MACHINE, kLayoutsKey)) {
      layouts[name] = *Get(HKEY_LOCAL_MACHINE, std::string(kLayoutsKey) + "\\" + name);
    }
    return layouts;
  }

  static const std::string* Find(const Values& values, const std::string& name) {
    for (const auto& [n, d] : values) {
      if (n == name) return &d;
    }
    return nullptr;
  }
};

TEST_F(RegistrationPropertyTest, NoOtherLayoutIsEverReplaced) {
  std::mt19937 random(20261211);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const char* languages[] = {"0409", "0418", "041d", "0408"};
  const char* files[] = {"A.DLL", "B.DLL", kFile, "new.dll"};
  const char* names[] = {"1", "2", "3", "4", "5", "7", "02", "x"};

  for (int round = 0; round < 1000; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    nt::DeleteKeyTree(*store_, HKEY_LOCAL_MACHINE, kLayoutsKey);
    nt::DeleteKeyTree(*store_, HKEY_CURRENT_USER, kPreloadKey);
    Put(HKEY_LOCAL_MACHINE, kLayoutsKey, pick(2) ? Values{} : Values{{"00000409", "US.DLL"}});
    std::vector<std::string> keys;
    for (int i = pick(7); i > 0; --i) {
      char key[16];
      std::snprintf(key, sizeof key, "%04x%s", pick(4), languages[pick(4)]);
      Values values;
      if (pick(5)) values.emplace_back("Layout File", files[pick(4)]);
      if (pick(3)) values.emplace_back("Layout Id", std::to_string(pick(40)));
      Put(HKEY_LOCAL_MACHINE, std::string(kLayoutsKey) + "\\" + key, values);
      keys.push_back(key);
    }
    Values preload;
    std::set<std::string> used_names;
    for (int i = pick(5); i > 0; --i) {
      const std::string name = names[pick(8)];
      if (!used_names.insert(name).second) continue;
      preload.emplace_back(name, keys.empty() || pick(4) == 0 ? "00000409" : keys[pick(static_cast<int>(keys.size()))]);
    }
    Put(HKEY_CURRENT_USER, kPreloadKey, preload);
    const auto before = Layouts();

    CString key = "0418";
    CString layout_id;
    BOOL allocated = FALSE, registered = FALSE;
    dialog_.reset();
    ui_.ClearBoxes();
    InDialog([&](CInstallDlg& dlg) {
      allocated = dlg.AllocateLayoutKey(key, layout_id, kFile);
      if (allocated) registered = dlg.RegisterLayout(key, layout_id, kFile, "Romanian");
    });
    ASSERT_TRUE(allocated && registered) << testing::PrintToString(Boxes());

    // The key is the first matching subkey's, or one no subkey has.
    std::string match;
    uint32_t key_number = 0;
    ASSERT_TRUE(ParseLayoutNumber(key.str(), &key_number));
    for (const auto& [name, values] : before) {
      uint32_t number;
      const std::string* file = Find(values, "Layout File");
      if (ParseLayoutNumber(name, &number) && (number & 0xFFFF) == 0x0418 && file && *file == kFile) {
        match = name;
        break;
      }
    }
    if (!match.empty()) {
      EXPECT_EQ(key.str(), match);
    } else {
      for (const auto& [name, values] : before) {
        uint32_t number;
        EXPECT_FALSE(ParseLayoutNumber(name, &number) && number == key_number) << name;
      }
    }
    // The Layout Id is the match's own, or one no other layout uses.
    uint32_t id;
    ASSERT_TRUE(ParseLayoutNumber(layout_id.str(), &id));
    const std::string* own_id = match.empty() ? nullptr : Find(before.at(match), "Layout Id");
    uint32_t own_number;
    if (own_id && ParseLayoutNumber(*own_id, &own_number)) {
      EXPECT_EQ(id, own_number);
    } else {
      for (const auto& [name, values] : before) {
        if (name == key.str()) continue;
        const std::string* other = Find(values, "Layout Id");
        uint32_t other_id;
        if (other && ParseLayoutNumber(*other, &other_id)) EXPECT_NE(other_id, id) << name;
      }
    }
    // Other subkeys are untouched; the layout's own holds the registration.
    const auto after = Layouts();
    for (const auto& [name, values] : before) {
      if (name != key.str()) EXPECT_EQ(after.at(name), values) << name;
    }
    const Values& own = after.at(key.str());
    EXPECT_EQ(*Find(own, "Layout File"), kFile);
    EXPECT_EQ(*Find(own, "Layout Id"), layout_id.str());
    // Every preloaded layout is still preloaded, and the new one once more at most.
    const Values preload_after = *Get(HKEY_CURRENT_USER, kPreloadKey);
    for (const Value& value : preload) {
      EXPECT_EQ(*Find(preload_after, value.first), value.second) << value.first;
    }
    int holding = 0;
    for (const Value& value : preload_after) holding += value.second == key.str();
    EXPECT_GE(holding, 1);
    EXPECT_LE(preload_after.size(), preload.size() + 1);
  }
}

}  // namespace
}  // namespace installer_test
