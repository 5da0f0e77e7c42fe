// Feeds arbitrary bytes to the checks a layout library file passes before it
// is mapped: whatever the file holds, the checks read only inside it.
#include <cstdint>
#include <string>
#include <vector>

#include "nt/keyboard/elf_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly the input's size, so a read past it is caught.
  const std::vector<uint8_t> file(data, data + size);
  std::string problem;
  const DWORD result = nt::kbd::CheckLayoutElf(file.data(), file.size(), &problem);
  if (result != ERROR_SUCCESS && problem.empty()) __builtin_trap();
  return 0;
}
