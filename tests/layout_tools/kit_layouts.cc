#include "tests/layout_tools/kit_layouts.h"

#include <gtest/gtest.h>

#include <map>

#include "nt/keyboard/library.h"

namespace layout_tools_test {

const std::vector<std::string>& KitLibraries() {
  static const std::vector<std::string> names{"romakeys", "svenkeys", "ellkeys", "vlamkeys", "uskeys"};
  return names;
}

std::string KitLibraryPath(const std::string& name) { return std::string(KIT_DIR) + "/" + name + ".so"; }

const nt::kbd::Layout& KitLayout(const std::string& name) {
  static std::map<std::string, nt::kbd::Layout> loaded;
  auto it = loaded.find(name);
  if (it == loaded.end()) {
    nt::kbd::Layout layout;
    std::string problem;
    EXPECT_EQ(nt::kbd::LoadLayoutLibrary(KitLibraryPath(name), &layout, &problem), ERROR_SUCCESS)
        << name << ": " << problem;
    it = loaded.emplace(name, std::move(layout)).first;
  }
  return it->second;
}

}  // namespace layout_tools_test
