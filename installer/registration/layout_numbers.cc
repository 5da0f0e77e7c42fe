#include "installer/registration/layout_numbers.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ParseLayoutNumber(const std::string& text, uint32_t* value) {
  uint64_t number = 0;
  size_t i = 0;
  for (; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
    number = number << 4 | static_cast<uint64_t>(HexDigit(text[i]));
    if (number > 0xFFFFFFFFu) return false;
  }
  if (i == 0) return false;
  *value = static_cast<uint32_t>(number);
  return true;
}

bool ParseCatalogueKey(const std::string& text, uint32_t* value) {
  uint32_t number = 0;  // wraps: only the low bits matter
  size_t i = 0;
  for (; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
    number = number << 4 | static_cast<uint32_t>(HexDigit(text[i]));
  }
  if (i == 0) return false;
  *value = number;
  return true;
}

bool ParsePreloadPosition(const std::string& text, uint64_t* value) {
  if (text.empty() || text.size() > 18) return false;
  uint64_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<uint64_t>(c - '0');
  }
  *value = number;
  return true;
}
