// Reading the numbers of the layout registration from their texts.
#pragma once

#include <cstdint>
#include <string>

// A layout key or Layout Id: its leading hexadecimal digits, leading zeros
// allowed; false when it begins with none or its number needs more than 32 bits.
bool ParseLayoutNumber(const std::string& text, uint32_t* value);

// A catalogue key: its leading hexadecimal digits, of which only the low 32
// bits count; false when it begins with none.
bool ParseCatalogueKey(const std::string& text, uint32_t* value);

// A Preload value name: all decimal digits; false otherwise.
bool ParsePreloadPosition(const std::string& text, uint64_t* value);
