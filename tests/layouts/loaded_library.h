// A layout library of the kit, loaded into this process with dlopen.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "layouts/common/layout_tables.h"
#include "tests/layouts/layout_reader.h"

namespace layout_test {

// The file's path in the kit that the build makes (build/kit or build/kit-win32).
std::string KitFile(const std::string& name);
// Empty when the Windows DLLs are not built.
std::string Win32KitFile(const std::string& name);

class LoadedLibrary : public ImageMemory {
 public:
  // Throws std::runtime_error with dlerror's text when the library does not load.
  explicit LoadedLibrary(const std::string& path);
  ~LoadedLibrary() override;
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  // Calls the library's KbdLayerDescriptor.
  PKBDTABLES Descriptor() const;
  bool Contains(const void* address, size_t size = 1) const;

  unsigned PointerSize() const override { return sizeof(void*); }
  bool Read(uint64_t address, void* out, size_t size) const override;

 private:
  void* handle_ = nullptr;
  PKBDTABLES (*descriptor_)() = nullptr;
  std::vector<std::pair<uintptr_t, uintptr_t>> segments_;  // loaded [begin, end)
};

}  // namespace layout_test
