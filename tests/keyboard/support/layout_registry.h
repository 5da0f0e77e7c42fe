// The in-memory registry with what the keyboard driver reads: layouts under
// the Keyboard Layouts key and the user's Preload values.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "nt/registry.h"

namespace testing_support {

class LayoutRegistry {
 public:
  LayoutRegistry() : registry_(nt::MakeMemoryRegistry()) {}
  nt::Registry* get() const { return registry_.get(); }

  // Sets a REG_SZ value without a terminating zero, making the key as needed.
  void SetText(HKEY root, const std::string& path, const std::string& name, const std::string& text);
  // Registers a layout with its "Layout File".
  void RegisterLayout(const std::string& name, const std::string& file);
  // Makes the Preload values "1", "2", ... exactly `names`.
  void SetPreload(const std::vector<std::string>& names);

 private:
  std::unique_ptr<nt::Registry> registry_;
};

}  // namespace testing_support
