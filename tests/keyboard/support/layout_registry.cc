#include "tests/keyboard/support/layout_registry.h"

#include <gtest/gtest.h>

namespace testing_support {

void LayoutRegistry::SetText(HKEY root, const std::string& path, const std::string& name,
                             const std::string& text) {
  HKEY key = nullptr;
  ASSERT_EQ(registry_->CreateKey(root, path.c_str(), "", KEY_ALL_ACCESS, &key, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(registry_->SetValue(key, name.c_str(), REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                                static_cast<DWORD>(text.size())),
            ERROR_SUCCESS);
  registry_->CloseKey(key);
}

void LayoutRegistry::RegisterLayout(const std::string& name, const std::string& file) {
  SetText(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\" + name, "Layout File", file);
}

void LayoutRegistry::SetPreload(const std::vector<std::string>& names) {
  nt::DeleteKeyTree(*registry_, HKEY_CURRENT_USER, "Keyboard Layout\\Preload");
  for (size_t i = 0; i < names.size(); ++i) {
    SetText(HKEY_CURRENT_USER, "Keyboard Layout\\Preload", std::to_string(i + 1), names[i]);
  }
}

}  // namespace testing_support
