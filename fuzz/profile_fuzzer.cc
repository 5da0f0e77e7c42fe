// Feeds arbitrary file text to the initialization-file reader with buffers of
// exactly the size it is told, so any write past them is caught.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "nt/profile.h"

namespace {

// A list that fits ends at `length` with its closing zero; one that was cut
// ends at size - 2 with two zeros. Either way the zero at `length` is there.
void CheckList(const std::vector<char>& buffer, DWORD length) {
  if (buffer.size() >= 2) {
    if (length >= buffer.size()) __builtin_trap();
    if (buffer[length] != '\0') __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  // The first bytes choose the buffer sizes and the names asked for.
  const DWORD section_size = data[0] | (data[1] & 0x1F) << 8;
  const DWORD value_size = data[2];
  const size_t name_length = data[3] % 8;
  data += 4;
  size -= 4;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string name(text.substr(0, std::min(name_length, text.size())));

  std::vector<char> section(section_size);
  DWORD length = nt::ReadProfileSection(text, name, section.data(), section_size);
  CheckList(section, length);

  std::vector<char> value(value_size);
  length = nt::ReadProfileString(text, name.c_str(), name.c_str(), "error", value.data(),
                                 value_size);
  if (value_size > 0 && (length >= value_size || value[length] != '\0')) __builtin_trap();

  length = nt::ReadProfileString(text, nullptr, nullptr, "", section.data(), section_size);
  CheckList(section, length);
  length = nt::ReadProfileString(text, name.c_str(), nullptr, "", section.data(), section_size);
  CheckList(section, length);
  return 0;
}
