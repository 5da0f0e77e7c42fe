#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "nt/files.h"

namespace nt {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// The entry of `directory` whose name equals `name` without regard to ASCII
// letter case, or the empty text when there is none.
std::string FindCaseless(const std::string& directory, const std::string& name) {
  DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return {};
  std::vector<std::string> matches;
  while (dirent* entry = readdir(dir)) {
    if (strcasecmp(entry->d_name, name.c_str()) == 0) matches.emplace_back(entry->d_name);
  }
  closedir(dir);
  if (matches.empty()) return {};
  return *std::min_element(matches.begin(), matches.end());
}

}  // namespace

std::string ResolvePath(const std::string& path) {
  const bool absolute = !path.empty() && (path[0] == '/' || path[0] == '\\');
  std::string resolved = absolute ? "/" : "";
  bool missing = false;  // once a directory is missing, nothing below it can be matched
  size_t i = 0;
  while (i < path.size()) {
    while (i < path.size() && (path[i] == '/' || path[i] == '\\')) ++i;
    size_t end = i;
    while (end < path.size() && path[end] != '/' && path[end] != '\\') ++end;
    if (end == i) break;
    std::string component = path.substr(i, end - i);
    i = end;

    const std::string base = resolved;
    std::string candidate = base;
    if (!candidate.empty() && candidate.back() != '/') candidate += '/';
    if (!missing && !Exists(candidate + component) && component != "." && component != "..") {
      std::string match = FindCaseless(base.empty() ? "." : base, component);
      if (!match.empty()) {
        component = match;
      } else {
        missing = true;
      }
    }
    resolved = candidate + component;
  }
  if (resolved.empty()) resolved = ".";
  return resolved;
}

}  // namespace nt
