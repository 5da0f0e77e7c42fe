// Files and directories: the service behind GetCurrentDirectoryA,
// GetSystemDirectoryA, GetFileAttributesA and CopyFileA, and the reads of the
// initialization-file reader.
#pragma once

#include <string>

#include "nt/win32.h"

namespace nt {

class Files {
 public:
  virtual ~Files() = default;

  // Each call returns ERROR_SUCCESS or the platform's error code. Paths are
  // taken as the caller wrote them, with either separator.
  virtual DWORD CurrentDirectory(std::string* path) = 0;
  virtual DWORD SystemDirectory(std::string* path) = 0;
  virtual DWORD GetAttributes(const std::string& path, DWORD* attributes) = 0;
  virtual DWORD Copy(const std::string& from, const std::string& to, bool failIfExists) = 0;
  virtual DWORD ReadAll(const std::string& path, std::string* contents) = 0;
};

// The host's file system. The system directory is the station's system32.
class HostFiles : public Files {
 public:
  explicit HostFiles(std::string systemDirectory);
  DWORD CurrentDirectory(std::string* path) override;
  DWORD SystemDirectory(std::string* path) override;
  DWORD GetAttributes(const std::string& path, DWORD* attributes) override;
  DWORD Copy(const std::string& from, const std::string& to, bool failIfExists) override;
  DWORD ReadAll(const std::string& path, std::string* contents) override;

 private:
  std::string system_directory_;
};

// Forwards every call to another Files; tests derive from it and override
// only the calls they break.
class FilesWrapper : public Files {
 public:
  explicit FilesWrapper(Files& target) : target_(target) {}
  DWORD CurrentDirectory(std::string* path) override { return target_.CurrentDirectory(path); }
  DWORD SystemDirectory(std::string* path) override { return target_.SystemDirectory(path); }
  DWORD GetAttributes(const std::string& path, DWORD* attributes) override {
    return target_.GetAttributes(path, attributes);
  }
  DWORD Copy(const std::string& from, const std::string& to, bool failIfExists) override {
    return target_.Copy(from, to, failIfExists);
  }
  DWORD ReadAll(const std::string& path, std::string* contents) override {
    return target_.ReadAll(path, contents);
  }

 private:
  Files& target_;
};

// A path as the host reads it: `\` and `/` both separate, a run of separators
// counts as one, and a component that does not exist as written is matched
// without regard to letter case (the first match in name order).
std::string ResolvePath(const std::string& path);

}  // namespace nt
