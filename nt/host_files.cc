#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

#include "nt/errors.h"
#include "nt/files.h"
#include "nt/unique_fd.h"

namespace nt {
namespace {

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

DWORD WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return ErrorFromErrno(errno);
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return ERROR_SUCCESS;
}

}  // namespace

HostFiles::HostFiles(std::string systemDirectory) : system_directory_(std::move(systemDirectory)) {}

DWORD HostFiles::CurrentDirectory(std::string* path) {
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer) == nullptr) return ErrorFromErrno(errno);
  *path = buffer;
  return ERROR_SUCCESS;
}

DWORD HostFiles::SystemDirectory(std::string* path) {
  *path = system_directory_;
  return ERROR_SUCCESS;
}

DWORD HostFiles::GetAttributes(const std::string& path, DWORD* attributes) {
  struct stat st;
  if (stat(ResolvePath(path).c_str(), &st) != 0) return ErrorFromErrno(errno);
  DWORD result = 0;
  if (S_ISDIR(st.st_mode)) result |= FILE_ATTRIBUTE_DIRECTORY;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) result |= FILE_ATTRIBUTE_READONLY;
  if (result == 0) result = FILE_ATTRIBUTE_ARCHIVE;
  *attributes = result;
  return ERROR_SUCCESS;
}

DWORD HostFiles::Copy(const std::string& from, const std::string& to, bool failIfExists) {
  const std::string source_path = ResolvePath(from);
  const std::string target_path = ResolvePath(to);

  UniqueFd source(open(source_path.c_str(), O_RDONLY | O_CLOEXEC));
  if (source.get() < 0) return ErrorFromErrno(errno);
  struct stat source_stat;
  if (fstat(source.get(), &source_stat) != 0) return ErrorFromErrno(errno);
  if (S_ISDIR(source_stat.st_mode)) return ERROR_ACCESS_DENIED;

  struct stat target_stat;
  if (stat(target_path.c_str(), &target_stat) == 0) {
    if (S_ISDIR(target_stat.st_mode)) return ERROR_ACCESS_DENIED;
    if (failIfExists) return ERROR_FILE_EXISTS;
    if (target_stat.st_dev == source_stat.st_dev && target_stat.st_ino == source_stat.st_ino) {
      return ERROR_SHARING_VIOLATION;  // a file copied onto itself
    }
  }

  // Write a temporary file beside the target and rename it into place, so the
  // target is either the old file or the whole new one.
  const std::string directory = DirectoryOf(target_path);
  struct stat dir_stat;
  if (stat(directory.c_str(), &dir_stat) != 0) {
    return errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno);
  }
  if (!S_ISDIR(dir_stat.st_mode)) return ERROR_PATH_NOT_FOUND;
  std::string temp_path = directory + "/." + BaseName(target_path) + ".XXXXXX";
  UniqueFd temp(mkostemp(temp_path.data(), O_CLOEXEC));
  if (temp.get() < 0) return ErrorFromErrno(errno);

  DWORD result = ERROR_SUCCESS;
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = read(source.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      result = ErrorFromErrno(errno);
      break;
    }
    if (n == 0) break;
    result = WriteAll(temp.get(), buffer, static_cast<size_t>(n));
    if (result != ERROR_SUCCESS) break;
  }
  if (result == ERROR_SUCCESS && fchmod(temp.get(), source_stat.st_mode & 07777) != 0) {
    result = ErrorFromErrno(errno);
  }
  if (result == ERROR_SUCCESS && fsync(temp.get()) != 0) result = ErrorFromErrno(errno);
  if (result == ERROR_SUCCESS && close(temp.release()) != 0) result = ErrorFromErrno(errno);
  if (result == ERROR_SUCCESS) {
    if (failIfExists) {
      // link() refuses an existing target, so a file that appeared meanwhile survives.
      if (link(temp_path.c_str(), target_path.c_str()) != 0) result = ErrorFromErrno(errno);
    } else if (rename(temp_path.c_str(), target_path.c_str()) != 0) {
      result = ErrorFromErrno(errno);
    }
  }
  unlink(temp_path.c_str());  // after a rename the name is gone already
  return result;
}

DWORD HostFiles::ReadAll(const std::string& path, std::string* contents) {
  UniqueFd fd(open(ResolvePath(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return ErrorFromErrno(errno);
  struct stat st;
  if (fstat(fd.get(), &st) != 0) return ErrorFromErrno(errno);
  if (S_ISDIR(st.st_mode)) return ERROR_ACCESS_DENIED;
  contents->clear();
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return ErrorFromErrno(errno);
    }
    if (n == 0) break;
    contents->append(buffer, static_cast<size_t>(n));
  }
  return ERROR_SUCCESS;
}

}  // namespace nt
