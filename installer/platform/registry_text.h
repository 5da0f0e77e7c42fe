// Registry reads through the fixed 40-byte buffers the registration code
// uses, with one retry for names or data that do not fit them, so a long
// value is read whole instead of being taken for something else.
#pragma once

#include <string>

#include "nt/win32.h"

// The size of the name and data buffers of registry reads.
constexpr DWORD kRegistryTextSize = 40;

// Subkey `index` of `key`: ERROR_SUCCESS with its name, ERROR_NO_MORE_ITEMS
// past the last, or another error.
LONG EnumSubkeyName(HKEY key, DWORD index, std::string* name);

// Value `index` of `key`: ERROR_SUCCESS with its name and its data up to the
// first zero byte, ERROR_NO_MORE_ITEMS past the last, or another error.
LONG EnumValueText(HKEY key, DWORD index, std::string* name, std::string* data);

// A registry string as written: REG_SZ, the byte count of the text without a
// terminating zero.
LONG SetValueText(HKEY key, const char* name, const std::string& text);
