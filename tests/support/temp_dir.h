// A directory of its own for one test, removed with everything in it.
#pragma once

#include <string>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // Writes `contents` to `relative` (parent directories made), returns the full path.
  std::string Write(const std::string& relative, const std::string& contents) const;
  std::string Read(const std::string& relative) const;
  std::string Mkdir(const std::string& relative) const;

 private:
  std::string path_;
};

}  // namespace testing_support
