#include "nt/errors.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <algorithm>

namespace nt {
namespace {

thread_local DWORD t_last_error = 0;

struct Description {
  DWORD code;
  const char* text;
};

// Our own wording for every code the stand-in produces.
constexpr Description kDescriptions[] = {
    {ERROR_SUCCESS, "The operation succeeded."},
    {ERROR_INVALID_FUNCTION, "The function is not valid for this object."},
    {ERROR_FILE_NOT_FOUND, "The file or registry key could not be found."},
    {ERROR_PATH_NOT_FOUND, "A directory on the path could not be found."},
    {ERROR_TOO_MANY_OPEN_FILES, "Too many files are open."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_HANDLE, "The handle is not valid, or it has been closed."},
    {ERROR_NOT_ENOUGH_MEMORY, "There is not enough memory to complete the operation."},
    {ERROR_INVALID_DATA, "The data is not valid."},
    {ERROR_OUTOFMEMORY, "There is not enough memory to complete the operation."},
    {ERROR_NOT_READY, "The device is not ready."},
    {ERROR_WRITE_FAULT, "The device could not be written."},
    {ERROR_READ_FAULT, "The device could not be read."},
    {ERROR_SHARING_VIOLATION, "The file is in use by another process."},
    {ERROR_LOCK_VIOLATION, "Another process has locked a part of the file."},
    {ERROR_HANDLE_DISK_FULL, "The disk is full."},
    {ERROR_NOT_SUPPORTED, "The request is not supported."},
    {ERROR_FILE_EXISTS, "The file already exists."},
    {ERROR_INVALID_PARAMETER, "A parameter is not valid."},
    {ERROR_DISK_FULL, "There is not enough space on the disk."},
    {ERROR_INSUFFICIENT_BUFFER, "The buffer is too small for the data."},
    {ERROR_INVALID_NAME, "The file name, directory name or volume label is not valid."},
    {ERROR_MOD_NOT_FOUND, "The library could not be found."},
    {ERROR_PROC_NOT_FOUND, "The library does not export the procedure."},
    {ERROR_DIR_NOT_EMPTY, "The directory is not empty."},
    {ERROR_BUSY, "The resource is in use."},
    {ERROR_ALREADY_EXISTS, "The file already exists, so it cannot be created."},
    {ERROR_BAD_EXE_FORMAT, "The library is not a valid keyboard layout library."},
    {ERROR_FILENAME_EXCED_RANGE, "The file name or path is too long."},
    {ERROR_MORE_DATA, "More data is available than the buffer holds."},
    {ERROR_NO_MORE_ITEMS, "There are no more items."},
    {ERROR_DIRECTORY, "The directory name is not valid."},
    {ERROR_INVALID_FLAGS, "The flags are not valid."},
    {ERROR_BADDB, "The registry database is corrupt."},
    {ERROR_BADKEY, "The registry key is not valid."},
    {ERROR_CANTOPEN, "The registry key could not be opened."},
    {ERROR_CANTREAD, "The registry key could not be read."},
    {ERROR_CANTWRITE, "The registry key could not be written."},
    {ERROR_REGISTRY_CORRUPT, "The registry database is damaged."},
    {ERROR_REGISTRY_IO_FAILED, "A read or write of the registry database failed."},
    {ERROR_KEY_DELETED, "The registry key has been deleted."},
    {ERROR_NOT_ALL_ASSIGNED, "Not all of the requested privileges are held by the account."},
    {ERROR_NO_SUCH_PRIVILEGE, "The privilege named does not exist."},
    {ERROR_PRIVILEGE_NOT_HELD, "The account does not hold a privilege the operation needs."},
    {ERROR_NO_SYSTEM_RESOURCES, "The system lacks the resources for the operation."},
    {ERROR_INVALID_KEYBOARD_HANDLE, "The keyboard layout is not valid or not loaded."},
};

}  // namespace

DWORD ErrorFromErrno(int error) {
  switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EISDIR: return ERROR_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ELOOP: return ERROR_INVALID_NAME;
    case EIO: return ERROR_WRITE_FAULT;
    default: return ERROR_INVALID_FUNCTION;
  }
}

std::string DescribeError(DWORD code) {
  for (const Description& d : kDescriptions) {
    if (d.code == code) return d.text;
  }
  std::string text = "Unknown error ";
  text += std::to_string(code);
  text += '.';
  return text;
}

}  // namespace nt

DWORD WINAPI GetLastError(void) { return nt::t_last_error; }

void WINAPI SetLastError(DWORD code) { nt::t_last_error = code; }

DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID /*source*/, DWORD messageId,
                            DWORD /*languageId*/, LPSTR buffer, DWORD size,
                            void* /*arguments*/) {
  if ((flags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 || buffer == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::string text = nt::DescribeError(messageId);
  const DWORD length = static_cast<DWORD>(text.size());
  if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    // `buffer` is really the address of a pointer that receives the text;
    // `size` is then the least number of bytes to allocate.
    const size_t bytes = std::max<size_t>(length + 1, size);
    auto* memory = static_cast<char*>(std::malloc(bytes));
    if (memory == nullptr) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return 0;
    }
    std::memcpy(memory, text.c_str(), length + 1);
    *reinterpret_cast<LPSTR*>(buffer) = memory;
    return length;
  }
  if (size < length + 1) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(buffer, text.c_str(), length + 1);
  return length;
}

HLOCAL WINAPI LocalFree(HLOCAL memory) {
  std::free(memory);
  return nullptr;
}
