// Initialization files: the service behind GetPrivateProfileSectionA and
// GetPrivateProfileStringA.
//
// The format: "[name]" opens a section; each following line up to the next
// section is an entry "key=value". Lines end at LF, CR, CRLF or a NUL byte.
// Blanks around lines, keys and values are dropped; lines starting with ";"
// are comments. Section and key names match without regard to ASCII letter
// case; sections of one name that occur twice read as one.
#pragma once

#include <string>
#include <string_view>

#include "nt/win32.h"

namespace nt {

class Files;

class ProfileReader {
 public:
  virtual ~ProfileReader() = default;
  virtual DWORD GetSection(LPCSTR section, LPSTR buffer, DWORD size, LPCSTR file) = 0;
  virtual DWORD GetString(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer,
                          DWORD size, LPCSTR file) = 0;
};

// Reads files through a Files service; a file that cannot be read reads as
// an empty one.
class IniProfileReader : public ProfileReader {
 public:
  explicit IniProfileReader(Files& files) : files_(files) {}
  DWORD GetSection(LPCSTR section, LPSTR buffer, DWORD size, LPCSTR file) override;
  DWORD GetString(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer, DWORD size,
                  LPCSTR file) override;

 private:
  std::string Read(LPCSTR file);
  Files& files_;
};

// The two reads on the text of a file, with the platform's buffer contracts.
//
// Section: every entry followed by a zero byte, then one more zero byte;
// returns the bytes written without the last zero. When that does not fit,
// as much as fits in size - 2 bytes, then two zero bytes; returns size - 2.
DWORD ReadProfileSection(std::string_view text, std::string_view section, char* buffer,
                         DWORD size);

// String: the value of the first entry of `key` in `section`, with one pair of
// enclosing double or single quotes removed, else `defaultText`; at most
// size - 1 characters and a zero byte; returns the characters written.
// A null section lists the section names, a null key the section's keys, as
// zero-separated lists like ReadProfileSection's.
DWORD ReadProfileString(std::string_view text, const char* section, const char* key,
                        const char* defaultText, char* buffer, DWORD size);

}  // namespace nt
