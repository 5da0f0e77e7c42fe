#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>

#include "nt/errors.h"
#include "nt/win32.h"

namespace {

std::string SystemText(DWORD code) {
  LPSTR text = nullptr;
  DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                                nullptr, code, LANG_USER_DEFAULT, reinterpret_cast<LPSTR>(&text),
                                0, nullptr);
  EXPECT_NE(text, nullptr);
  std::string result(text, length);
  EXPECT_EQ(LocalFree(text), nullptr);
  return result;
}

TEST(LastError, IsKeptPerThread) {
  SetLastError(ERROR_ACCESS_DENIED);
  DWORD seen_by_other = 12345;
  std::thread other([&] {
    seen_by_other = GetLastError();
    SetLastError(ERROR_MORE_DATA);
  });
  other.join();
  EXPECT_EQ(seen_by_other, 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(FormatMessage, EveryCodeOfTheStandInHasItsOwnText) {
  const DWORD codes[] = {ERROR_SUCCESS,          ERROR_FILE_NOT_FOUND,  ERROR_PATH_NOT_FOUND,
                         ERROR_ACCESS_DENIED,    ERROR_INVALID_HANDLE,  ERROR_INVALID_PARAMETER,
                         ERROR_MORE_DATA,        ERROR_NO_MORE_ITEMS,   ERROR_NOT_ALL_ASSIGNED,
                         ERROR_NO_SUCH_PRIVILEGE, ERROR_FILE_EXISTS,    ERROR_DISK_FULL,
                         ERROR_BAD_EXE_FORMAT,   ERROR_BADDB,           ERROR_REGISTRY_IO_FAILED};
  std::set<std::string> texts;
  for (DWORD code : codes) {
    SCOPED_TRACE(code);
    const std::string text = SystemText(code);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find("Unknown"), std::string::npos);
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), std::size(codes));
}

TEST(FormatMessage, UnknownCodeStillGetsATextNamingIt) {
  EXPECT_EQ(SystemText(987654), "Unknown error 987654.");
}

TEST(FormatMessage, FixedBufferTooSmallWritesNothing) {
  char buffer[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, buffer,
                           sizeof buffer, nullptr),
            0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::string(buffer, 4), "xxxx");
}

TEST(ErrorFromErrno, MapsTheHostErrorsCallersSee) {
  struct Row {
    int error;
    DWORD code;
  } rows[] = {{ENOENT, ERROR_FILE_NOT_FOUND}, {ENOTDIR, ERROR_PATH_NOT_FOUND},
              {EACCES, ERROR_ACCESS_DENIED},  {EEXIST, ERROR_FILE_EXISTS},
              {ENOSPC, ERROR_DISK_FULL},      {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.error);
    EXPECT_EQ(nt::ErrorFromErrno(row.error), row.code);
  }
}

}  // namespace
