// CString: the framework's counted text of bytes.
#pragma once

#include <string>
#include <string_view>

#include "nt/win32.h"

class CString {
 public:
  CString() = default;
  CString(const char* text) : text_(text == nullptr ? "" : text) {}  // NOLINT: implicit as in MFC
  CString(const char* text, int length) : text_(text, static_cast<size_t>(length)) {}
  CString(std::string text) : text_(std::move(text)) {}  // NOLINT
  CString(std::string_view text) : text_(text) {}        // NOLINT

  int GetLength() const { return static_cast<int>(text_.size()); }
  bool IsEmpty() const { return text_.empty(); }
  void Empty() { text_.clear(); }
  operator LPCSTR() const { return text_.c_str(); }  // NOLINT
  const std::string& str() const { return text_; }
  char operator[](int index) const { return text_[static_cast<size_t>(index)]; }

  CString Mid(int first, int count) const { return CString(text_.substr(first, count)); }
  CString Mid(int first) const { return CString(text_.substr(first)); }
  CString Left(int count) const { return CString(text_.substr(0, count)); }
  int Find(char c) const {
    size_t at = text_.find(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
  }

  // A writable buffer of at least `minLength` bytes plus a zero; the text is
  // cut at its first zero byte by ReleaseBuffer, or to `newLength` bytes.
  LPSTR GetBuffer(int minLength);
  void ReleaseBuffer(int newLength = -1);

  CString& operator=(const char* text) {
    text_ = text == nullptr ? "" : text;
    return *this;
  }
  CString& operator+=(const CString& other) {
    text_ += other.text_;
    return *this;
  }
  CString& operator+=(const char* text) {
    text_ += text;
    return *this;
  }
  CString& operator+=(char c) {
    text_ += c;
    return *this;
  }

  friend CString operator+(const CString& a, const CString& b) { return CString(a.text_ + b.text_); }
  friend CString operator+(const CString& a, const char* b) { return CString(a.text_ + b); }
  friend CString operator+(const char* a, const CString& b) { return CString(a + b.text_); }
  friend bool operator==(const CString& a, const CString& b) { return a.text_ == b.text_; }
  friend bool operator==(const CString& a, const char* b) { return a.text_ == b; }
  friend bool operator!=(const CString& a, const CString& b) { return a.text_ != b.text_; }
  friend bool operator<(const CString& a, const CString& b) { return a.text_ < b.text_; }

 private:
  std::string text_;
};
