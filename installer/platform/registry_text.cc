#include "installer/platform/registry_text.h"

#include <cstring>
#include <vector>

namespace {

constexpr DWORD kLongTextSize = 1 << 16;

std::string TextOf(const char* bytes, DWORD length) {
  return std::string(bytes, strnlen(bytes, length));
}

}  // namespace

LONG EnumSubkeyName(HKEY key, DWORD index, std::string* name) {
  char buffer[kRegistryTextSize];
  DWORD length = kRegistryTextSize;
  LONG result = RegEnumKeyExA(key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
  if (result == ERROR_MORE_DATA) {
    std::vector<char> long_buffer(kLongTextSize);
    length = kLongTextSize;
    result = RegEnumKeyExA(key, index, long_buffer.data(), &length, nullptr, nullptr, nullptr,
                           nullptr);
    if (result == ERROR_SUCCESS) *name = TextOf(long_buffer.data(), length);
    return result;
  }
  if (result == ERROR_SUCCESS) *name = TextOf(buffer, length);
  return result;
}

LONG EnumValueText(HKEY key, DWORD index, std::string* name, std::string* data) {
  char name_buffer[kRegistryTextSize];
  BYTE data_buffer[kRegistryTextSize];
  DWORD name_length = kRegistryTextSize;
  DWORD data_length = kRegistryTextSize;
  LONG result = RegEnumValueA(key, index, name_buffer, &name_length, nullptr, nullptr,
                              data_buffer, &data_length);
  if (result == ERROR_MORE_DATA) {
    std::vector<char> long_name(kLongTextSize);
    std::vector<BYTE> long_data(kLongTextSize);
    name_length = kLongTextSize;
    data_length = kLongTextSize;
    result = RegEnumValueA(key, index, long_name.data(), &name_length, nullptr, nullptr,
                           long_data.data(), &data_length);
    if (result == ERROR_SUCCESS) {
      *name = TextOf(long_name.data(), name_length);
      *data = TextOf(reinterpret_cast<const char*>(long_data.data()), data_length);
    }
    return result;
  }
  if (result == ERROR_SUCCESS) {
    *name = TextOf(name_buffer, name_length);
    *data = TextOf(reinterpret_cast<const char*>(data_buffer), data_length);
  }
  return result;
}

LONG SetValueText(HKEY key, const char* name, const std::string& text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                        static_cast<DWORD>(text.size()));
}
