// The Win32-shaped file calls, on the current Files service.
#include <cstring>
#include <string>

#include "nt/files.h"
#include "nt/system.h"

namespace {

// The platform's contract for a directory read into a caller's buffer: the
// length without the zero when it fits, else the size needed with the zero
// and nothing written.
DWORD CopyOut(const std::string& text, char* buffer, DWORD size) {
  const DWORD length = static_cast<DWORD>(text.size());
  if (buffer == nullptr || size < length + 1) return length + 1;
  std::memcpy(buffer, text.c_str(), length + 1);
  return length;
}

}  // namespace

DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  std::string path;
  if (DWORD error = nt::CurrentFiles().CurrentDirectory(&path)) {
    SetLastError(error);
    return 0;
  }
  return CopyOut(path, buffer, size);
}

UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size) {
  std::string path;
  if (DWORD error = nt::CurrentFiles().SystemDirectory(&path)) {
    SetLastError(error);
    return 0;
  }
  return CopyOut(path, buffer, size);
}

DWORD WINAPI GetFileAttributesA(LPCSTR path) {
  if (path == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = 0;
  if (DWORD error = nt::CurrentFiles().GetAttributes(path, &attributes)) {
    SetLastError(error);
    return INVALID_FILE_ATTRIBUTES;
  }
  return attributes;
}

BOOL WINAPI CopyFileA(LPCSTR existing, LPCSTR target, BOOL failIfExists) {
  if (existing == nullptr || target == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (DWORD error = nt::CurrentFiles().Copy(existing, target, failIfExists != FALSE)) {
    SetLastError(error);
    return FALSE;
  }
  return TRUE;
}
