#include "nt/keyboard/library.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "layouts/common/layout_tables.h"
#include "nt/errors.h"
#include "nt/keyboard/elf_check.h"
#include "nt/keyboard/layout_reader.h"
#include "nt/unique_fd.h"

namespace nt::kbd {
namespace {

// Far beyond any layout library; keeps a stray large file from being read whole.
constexpr off_t kMaxLibrarySize = 16 << 20;

class Library {
 public:
  explicit Library(void* handle) : handle_(handle) {}
  ~Library() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  void* get() const { return handle_; }

 private:
  void* handle_;
};

DWORD Refuse(DWORD error, const std::string& why, std::string* problem) {
  if (problem != nullptr) *problem = why;
  return error;
}

DWORD ReadFile(int fd, std::vector<uint8_t>* bytes, std::string* problem) {
  struct stat status;
  if (fstat(fd, &status) != 0) return Refuse(ErrorFromErrno(errno), std::strerror(errno), problem);
  if (!S_ISREG(status.st_mode)) return Refuse(ERROR_BAD_EXE_FORMAT, "the library is not a regular file", problem);
  if (status.st_size > kMaxLibrarySize) return Refuse(ERROR_BAD_EXE_FORMAT, "the library is too large", problem);
  bytes->resize(static_cast<size_t>(status.st_size));
  size_t done = 0;
  while (done < bytes->size()) {
    const ssize_t n = pread(fd, bytes->data() + done, bytes->size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Refuse(ErrorFromErrno(errno), std::strerror(errno), problem);
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  bytes->resize(done);
  return ERROR_SUCCESS;
}

struct SegmentSearch {
  const link_map* map;
  std::vector<Image::Segment> segments;
  bool found = false;
};

// The readable loaded segments of the library that `map` describes.
int CollectSegments(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<SegmentSearch*>(data);
  if (info->dlpi_addr != search->map->l_addr || info->dlpi_name == nullptr ||
      std::strcmp(info->dlpi_name, search->map->l_name) != 0) {
    return 0;
  }
  for (unsigned i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& phdr = info->dlpi_phdr[i];
    if (phdr.p_type != PT_LOAD || (phdr.p_flags & PF_R) == 0 || phdr.p_memsz == 0) continue;
    const uint64_t address = info->dlpi_addr + phdr.p_vaddr;
    search->segments.push_back({address, reinterpret_cast<const uint8_t*>(address), phdr.p_memsz});
  }
  search->found = true;
  return 1;
}

}  // namespace

bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\") == std::string::npos && name.find('\0') == std::string::npos;
}

DWORD LoadLayoutLibrary(const std::string& path, Layout* layout, std::string* problem) {
  const UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    const int error = errno;
    return Refuse(error == ENOENT ? ERROR_MOD_NOT_FOUND : ErrorFromErrno(error),
                  path + ": " + std::strerror(error), problem);
  }
  std::vector<uint8_t> bytes;
  if (DWORD error = ReadFile(fd.get(), &bytes, problem)) return error;
  std::string why;
  if (DWORD error = CheckLayoutElf(bytes.data(), bytes.size(), &why)) return Refuse(error, why, problem);

  // Map the very file that was checked, not whatever the path names by now.
  const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
  const Library library(dlopen(access(self.c_str(), R_OK) == 0 ? self.c_str() : path.c_str(),
                               RTLD_NOW | RTLD_LOCAL));
  if (library.get() == nullptr) {
    const char* error = dlerror();
    return Refuse(ERROR_BAD_EXE_FORMAT, error != nullptr ? error : "the library cannot be mapped", problem);
  }
  void* entry = dlsym(library.get(), "KbdLayerDescriptor");
  if (entry == nullptr) {
    return Refuse(ERROR_PROC_NOT_FOUND, "the library does not export KbdLayerDescriptor", problem);
  }
  SegmentSearch search;
  if (dlinfo(library.get(), RTLD_DI_LINKMAP, &search.map) != 0 || search.map == nullptr) {
    return Refuse(ERROR_BAD_EXE_FORMAT, "the library's mapping cannot be found", problem);
  }
  dl_iterate_phdr(CollectSegments, &search);
  if (!search.found) return Refuse(ERROR_BAD_EXE_FORMAT, "the library's mapping cannot be found", problem);

  using Descriptor = PKBDTABLES (*)();
  const auto tables = reinterpret_cast<uintptr_t>(reinterpret_cast<Descriptor>(entry)());
  if (!ReadLayout(Image(std::move(search.segments)), tables, layout, &why)) {
    return Refuse(ERROR_BAD_EXE_FORMAT, why, problem);
  }
  return ERROR_SUCCESS;
}

}  // namespace nt::kbd
