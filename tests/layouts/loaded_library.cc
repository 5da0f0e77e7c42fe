#include "tests/layouts/loaded_library.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <stdexcept>

namespace layout_test {

std::string KitFile(const std::string& name) { return std::string(LAYOUT_KIT_DIR "/") + name; }

std::string Win32KitFile(const std::string& name) {
  const std::string dir = LAYOUT_WIN32_KIT_DIR;
  return dir.empty() ? std::string() : dir + "/" + name;
}

namespace {

struct SegmentSearch {
  ElfW(Addr) base;
  std::vector<std::pair<uintptr_t, uintptr_t>>* segments;
};

int CollectSegments(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<SegmentSearch*>(data);
  if (info->dlpi_addr != search->base) return 0;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& ph = info->dlpi_phdr[i];
    if (ph.p_type != PT_LOAD) continue;
    const uintptr_t begin = info->dlpi_addr + ph.p_vaddr;
    search->segments->emplace_back(begin, begin + ph.p_memsz);
  }
  return 1;
}

}  // namespace

LoadedLibrary::LoadedLibrary(const std::string& path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) throw std::runtime_error(dlerror());
  descriptor_ = reinterpret_cast<PKBDTABLES (*)()>(dlsym(handle_, "KbdLayerDescriptor"));
  link_map* map = nullptr;
  if (descriptor_ == nullptr || dlinfo(handle_, RTLD_DI_LINKMAP, &map) != 0) {
    dlclose(handle_);
    throw std::runtime_error(path + ": no KbdLayerDescriptor");
  }
  SegmentSearch search{map->l_addr, &segments_};
  dl_iterate_phdr(CollectSegments, &search);
}

LoadedLibrary::~LoadedLibrary() { dlclose(handle_); }

PKBDTABLES LoadedLibrary::Descriptor() const { return descriptor_(); }

bool LoadedLibrary::Contains(const void* address, size_t size) const {
  const auto begin = reinterpret_cast<uintptr_t>(address);
  for (const auto& [first, last] : segments_) {
    if (begin >= first && begin <= last && size <= last - begin) return true;
  }
  return false;
}

bool LoadedLibrary::Read(uint64_t address, void* out, size_t size) const {
  const auto* source = reinterpret_cast<const void*>(static_cast<uintptr_t>(address));
  if (!Contains(source, size)) return false;
  std::memcpy(out, source, size);
  return true;
}

}  // namespace layout_test
