#include "tests/installer/installer_fixture.h"

#include <cstring>

#include "nt/errors.h"

namespace installer_test {

InstallerTest::InstallerTest()
    : store_(nt::MakeMemoryRegistry()),
      registry_(*store_),
      host_files_(dir_.Mkdir("station/system32")),
      files_(host_files_, dir_.Mkdir("kit"), dir_.path()),
      profile_(files_),
      scope_(nt::Services{.files = &files_,
                          .profile = &profile_,
                          .ui = &ui_,
                          .registry = &registry_,
                          .keyboard = &keyboard_}) {
  Put(HKEY_LOCAL_MACHINE, kLayoutsKey, {});
  Put(HKEY_CURRENT_USER, kPreloadKey, {{"1", "00000409"}});
}

void InstallerTest::Put(HKEY root, const std::string& path, const Values& values) {
  HKEY key;
  DWORD disposition;
  ASSERT_EQ(store_->CreateKey(root, path.c_str(), "", KEY_ALL_ACCESS, &key, &disposition), 0);
  for (const auto& [name, data] : values) {
    ASSERT_EQ(store_->SetValue(key, name.c_str(), REG_SZ,
                               reinterpret_cast<const BYTE*>(data.data()),
                               static_cast<DWORD>(data.size())),
              0);
  }
  store_->CloseKey(key);
}

std::optional<Values> InstallerTest::Get(HKEY root, const std::string& path) {
  HKEY key;
  if (store_->OpenKey(root, path.c_str(), KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  Values values;
  for (DWORD index = 0;; ++index) {
    char name[256];
    BYTE data[1024];
    DWORD name_length = sizeof name, data_length = sizeof data, type = 0;
    if (store_->EnumValue(key, index, name, &name_length, &type, data, &data_length) != 0) break;
    values.emplace_back(std::string(name, name_length),
                        std::string(reinterpret_cast<char*>(data),
                                    strnlen(reinterpret_cast<char*>(data), data_length)));
  }
  store_->CloseKey(key);
  return values;
}

std::vector<std::string> InstallerTest::Subkeys(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  HKEY key;
  if (store_->OpenKey(root, path.c_str(), KEY_READ, &key) != ERROR_SUCCESS) return names;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD length = sizeof name;
    if (store_->EnumKey(key, index, name, &length, nullptr, nullptr) != 0) break;
    names.emplace_back(name, length);
  }
  store_->CloseKey(key);
  return names;
}

framework::BoxRecord InstallerTest::SystemErrorBox(DWORD code, UINT type) {
  return framework::BoxRecord{owner(), nt::DescribeError(code), "GetLastError", type};
}

}  // namespace installer_test
