#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace testing_support {

TempDir::TempDir() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/layinst-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Make everything removable again, whatever a test did to permissions.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& relative, const std::string& contents) const {
  const std::filesystem::path full = std::filesystem::path(path_) / relative;
  std::filesystem::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary);
  out << contents;
  return full.string();
}

std::string TempDir::Read(const std::string& relative) const {
  std::ifstream in(std::filesystem::path(path_) / relative, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string TempDir::Mkdir(const std::string& relative) const {
  const std::filesystem::path full = std::filesystem::path(path_) / relative;
  std::filesystem::create_directories(full);
  return full.string();
}

}  // namespace testing_support
