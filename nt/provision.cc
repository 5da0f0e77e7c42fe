#include "nt/provision.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "nt/errors.h"
#include "nt/files.h"
#include "nt/hive_file.h"
#include "nt/reg_file.h"
#include "nt/registry.h"
#include "nt/seed.h"

namespace nt {
namespace {

namespace fs = std::filesystem;

LONG Failure(int error, const std::string& what, std::string* message) {
  *message = what + ": " + std::strerror(error);
  return static_cast<LONG>(ErrorFromErrno(error));
}

LONG MakeDirectory(const std::string& path, mode_t mode, std::string* error) {
  if (mkdir(path.c_str(), mode) != 0) return Failure(errno, "cannot create " + path, error);
  if (chmod(path.c_str(), mode) != 0) return Failure(errno, "cannot set the mode of " + path, error);
  return ERROR_SUCCESS;
}

// Fills new hives from the seeds; an empty seed leaves its hive alone.
LONG Seed(const std::string& machineDb, std::string_view machineSeed, const std::string& userDb,
          std::string_view userSeed, std::string* error) {
  auto registry =
      OpenHiveRegistry(machineDb, userDb, error, {.machineReadOnly = machineSeed.empty()});
  if (registry == nullptr) return ERROR_CANTOPEN;
  for (std::string_view seed : {machineSeed, userSeed}) {
    if (seed.empty()) continue;
    std::vector<RegEdit> edits;
    if (!ParseRegFile(seed, &edits, error)) {
      *error = "the built-in seed is malformed: " + *error;
      return ERROR_BADDB;
    }
    if (LONG e = ApplyRegEdits(*registry, edits, error)) return e;
  }
  return ERROR_SUCCESS;
}

std::string UniqueSuffix() {
  std::random_device random;
  return std::to_string(getpid()) + "-" + std::to_string(random());
}

// A user hive for `user` in a station that lacks one, made aside and linked
// into place so that a racing process cannot see it half made.
LONG EnsureUserHive(const StationPaths& paths, const std::string& user, std::string* error) {
  const std::string hive = paths.UserHive(user);
  struct stat st;
  if (lstat(hive.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode) || (st.st_uid != geteuid() && geteuid() != 0)) {
      *error = hive + " is not a hive of " + user;
      return ERROR_ACCESS_DENIED;
    }
    return ERROR_SUCCESS;
  }
  const std::string temp =
      paths.RegistryDirectory() + "/users/." + user + "." + UniqueSuffix() + ".db";
  LONG rc = CreateHiveFile(temp, 0600, error);
  if (rc == ERROR_SUCCESS) {
    rc = Seed(paths.MachineHive(), {}, temp, UserSeed(), error);
  }
  if (rc == ERROR_SUCCESS && link(temp.c_str(), hive.c_str()) != 0 && errno != EEXIST) {
    rc = Failure(errno, "cannot create " + hive, error);
  }
  unlink(temp.c_str());
  return rc;
}

LONG Build(const std::string& dir, const StationPaths& paths, const std::string& user,
           const ProvisionOptions& options, std::string* error) {
  const StationPaths built{dir};
  // Every user needs to make a hive in a station that root provisioned.
  const mode_t usersMode = geteuid() == 0 ? 01777 : 0755;
  if (LONG e = MakeDirectory(built.SystemDirectory(), 0755, error)) return e;
  if (LONG e = MakeDirectory(built.RegistryDirectory(), 0755, error)) return e;
  if (LONG e = MakeDirectory(built.RegistryDirectory() + "/users", usersMode, error)) return e;
  if (LONG e = CreateHiveFile(built.MachineHive(), 0644, error)) return e;
  if (LONG e = CreateHiveFile(built.UserHive(user), 0600, error)) return e;
  if (LONG e = Seed(built.MachineHive(), MachineSeed(), built.UserHive(user), UserSeed(), error)) {
    return e;
  }
  struct stat st;
  if (!options.usLibrary.empty() && stat(options.usLibrary.c_str(), &st) == 0) {
    HostFiles files(built.SystemDirectory());
    const std::string target = built.SystemDirectory() + "/uskeys.so";
    if (DWORD e = files.Copy(options.usLibrary, target, true)) {
      *error = "cannot copy " + options.usLibrary + " to " + paths.SystemDirectory() + ": " +
               DescribeError(e);
      return static_cast<LONG>(e);
    }
  }
  if (chmod(dir.c_str(), 0755) != 0) return Failure(errno, "cannot set the mode of " + dir, error);
  return ERROR_SUCCESS;
}

}  // namespace

LONG ProvisionStation(const StationPaths& paths, const std::string& user,
                      const ProvisionOptions& options, std::string* error, bool* created) {
  if (created) *created = false;
  struct stat st;
  if (stat(paths.MachineHive().c_str(), &st) == 0) return EnsureUserHive(paths, user, error);

  std::error_code ec;
  fs::path root = fs::absolute(paths.root, ec).lexically_normal();
  if (!root.has_filename()) root = root.parent_path();  // a trailing separator
  if (stat(paths.root.c_str(), &st) == 0 && (!S_ISDIR(st.st_mode) || !fs::is_empty(root, ec))) {
    *error = paths.root + " exists but is not a station";
    return ERROR_ALREADY_EXISTS;
  }
  const fs::path parent = root.parent_path();
  fs::create_directories(parent, ec);
  if (ec) return Failure(ec.value(), "cannot create " + parent.string(), error);

  std::string temp = (parent / ("." + root.filename().string() + ".new-XXXXXX")).string();
  if (mkdtemp(temp.data()) == nullptr) return Failure(errno, "cannot create " + temp, error);
  LONG rc = Build(temp, paths, user, options, error);
  if (rc == ERROR_SUCCESS) {
    // Onto nothing or an empty directory; a station another process renamed
    // there first makes this fail, and that station is used.
    if (rename(temp.c_str(), root.c_str()) == 0) {
      if (created) *created = true;
      return ERROR_SUCCESS;
    }
    const int saved = errno;
    if (saved != ENOTEMPTY && saved != EEXIST) {
      rc = Failure(saved, "cannot rename " + temp + " to " + paths.root, error);
    }
  }
  fs::remove_all(temp, ec);
  if (rc != ERROR_SUCCESS) return rc;
  if (stat(paths.MachineHive().c_str(), &st) != 0) {
    *error = paths.root + " exists but is not a station";
    return ERROR_ALREADY_EXISTS;
  }
  return EnsureUserHive(paths, user, error);
}

std::string BundledUsLibrary() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  const fs::path library = self.parent_path() / "uskeys.so";
  return fs::is_regular_file(library, ec) ? library.string() : std::string();
}

}  // namespace nt
