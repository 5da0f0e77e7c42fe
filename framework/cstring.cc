#include "framework/cstring.h"

#include <cstring>

LPSTR CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) text_.resize(static_cast<size_t>(minLength));
  return text_.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) {
    newLength = static_cast<int>(strnlen(text_.c_str(), text_.size()));
  }
  text_.resize(static_cast<size_t>(newLength));
}
