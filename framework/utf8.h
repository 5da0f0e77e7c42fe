// Stepping through UTF-8 text by characters, for the caret of an edit field.
#pragma once

#include <string>

namespace framework {

inline bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The start of the character after the one at `at`.
inline size_t NextCharStart(const std::string& text, size_t at) {
  if (at >= text.size()) return text.size();
  ++at;
  while (at < text.size() && IsUtf8Continuation(text[at])) ++at;
  return at;
}

// The start of the character before `at`.
inline size_t PreviousCharStart(const std::string& text, size_t at) {
  if (at == 0) return 0;
  --at;
  while (at > 0 && IsUtf8Continuation(text[at])) --at;
  return at;
}

}  // namespace framework
