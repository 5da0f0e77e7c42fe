// The contract of the Reg* calls, run over every registry backend.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "nt/registry.h"
#include "nt/system.h"
#include "tests/nt/registry_backends.h"

namespace {

using testing_support::RegistryBackend;
using testing_support::TempDir;

constexpr char kLayouts[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";

class RegistryContract : public testing::TestWithParam<RegistryBackend> {
 protected:
  RegistryContract() : registry_(GetParam().make(dir_, {})), scope_({.registry = registry_.get()}) {}

  HKEY Create(HKEY root, const std::string& path, LPSTR keyClass = nullptr) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExA(root, path.c_str(), 0, keyClass, 0, KEY_ALL_ACCESS, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS)
        << path;
    return key;
  }

  // A string value as the installer writes it: no terminating zero.
  void SetText(HKEY key, const std::string& name, const std::string& text) {
    ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(text.data()),
                             static_cast<DWORD>(text.size())),
              ERROR_SUCCESS);
  }

  std::vector<std::string> Subkeys(HKEY key) {
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
      char name[256];
      DWORD length = sizeof name;
      LONG rc = RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      EXPECT_EQ(rc, ERROR_SUCCESS);
      if (rc != ERROR_SUCCESS) break;
      names.emplace_back(name, length);
    }
    return names;
  }

  std::vector<std::string> Values(HKEY key) {
    std::vector<std::string> entries;
    for (DWORD i = 0;; ++i) {
      char name[256];
      BYTE data[256];
      DWORD nameLength = sizeof name, dataLength = sizeof data, type = 0;
      LONG rc = RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataLength);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      EXPECT_EQ(rc, ERROR_SUCCESS);
      if (rc != ERROR_SUCCESS) break;
      entries.push_back(std::string(name, nameLength) + "=" +
                        std::string(reinterpret_cast<char*>(data), dataLength));
    }
    return entries;
  }

  TempDir dir_;
  std::unique_ptr<nt::Registry> registry_;
  nt::ScopedServices scope_;
};

TEST_P(RegistryContract, RootWithoutPathGivesAHandleOfItsOwn) {
  for (LPCSTR path : {static_cast<LPCSTR>(nullptr), ""}) {
    HKEY root = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &root), ERROR_SUCCESS);
    EXPECT_NE(root, HKEY_LOCAL_MACHINE);
    RegCloseKey(Create(root, "SYSTEM"));
    EXPECT_EQ(RegCloseKey(root), ERROR_SUCCESS);
  }
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "system", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_P(RegistryContract, PathsMatchWithoutRegardToCaseAndKeepTheirSpelling) {
  RegCloseKey(Create(HKEY_LOCAL_MACHINE, kLayouts));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                          "System\\CurrentControlSet\\Control\\KEYBOARD LAYOUTS", 0,
                          KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(Subkeys(HKEY_LOCAL_MACHINE), std::vector<std::string>{"SYSTEM"});

  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "system\\currentcontrolset", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  EXPECT_EQ(Subkeys(key), std::vector<std::string>{"Control"});
  RegCloseKey(key);
}

TEST_P(RegistryContract, MissingKeysAndBadHandlesFail) {
  HKEY key = nullptr;
  SetLastError(0);
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\None", 0, KEY_ALL_ACCESS, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(key, nullptr);

  HKEY closed = Create(HKEY_CURRENT_USER, "Keyboard Layout\\Preload");
  ASSERT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
  const HKEY bogus = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x7777));
  for (HKEY bad : {closed, bogus, HKEY_USERS}) {
    char name[40];
    BYTE data[40];
    DWORD nameLength = 40, dataLength = 40;
    const BYTE text[] = "x";
    EXPECT_EQ(RegOpenKeyExA(bad, nullptr, 0, KEY_ALL_ACCESS, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKeyExA(bad, "a", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegEnumKeyExA(bad, 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegEnumValueA(bad, 0, name, &nameLength, nullptr, nullptr, data, &dataLength),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(bad, "1", nullptr, nullptr, data, &dataLength),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExA(bad, "1", 0, REG_SZ, text, 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegDeleteValueA(bad, "1"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegDeleteKeyA(bad, "a"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(bad), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
}

TEST_P(RegistryContract, CreateReportsNewOrExistingAndStoresTheClass) {
  char regSz[] = "REG_SZ";
  HKEY layouts = Create(HKEY_LOCAL_MACHINE, kLayouts);
  HKEY key = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(layouts, "00010418", 0, regSz, 0, KEY_ALL_ACCESS, nullptr, &key,
                            &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  SetText(key, "Layout File", "romakeys.so");
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExA(layouts, "00010418", 0, regSz, 0, KEY_ALL_ACCESS, nullptr, &key,
                            &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  EXPECT_EQ(Values(key), std::vector<std::string>{"Layout File=romakeys.so"});
  RegCloseKey(key);

  char name[40], keyClass[40];
  DWORD nameLength = 40, classLength = 40;
  ASSERT_EQ(RegEnumKeyExA(layouts, 0, name, &nameLength, nullptr, keyClass, &classLength, nullptr),
            ERROR_SUCCESS);
  EXPECT_STREQ(keyClass, "REG_SZ");
  EXPECT_EQ(classLength, 6u);
  RegCloseKey(layouts);
}

TEST_P(RegistryContract, SubkeysEnumerateInCaseInsensitiveNameOrder) {
  HKEY layouts = Create(HKEY_LOCAL_MACHINE, kLayouts);
  // Folded to upper case, "_" sorts after the letters.
  for (const char* name : {"c", "_x", "b", "B1", "0000041D", "A", "00000409", "0001041d"}) {
    RegCloseKey(Create(layouts, name));
  }
  EXPECT_EQ(Subkeys(layouts), (std::vector<std::string>{"00000409", "0000041D", "0001041d", "A",
                                                         "b", "B1", "c", "_x"}));
  RegCloseKey(layouts);
}

TEST_P(RegistryContract, EnumerationHonoursTheCallersBuffers) {
  HKEY key = Create(HKEY_LOCAL_MACHINE, "k");
  const std::string fits(39, 'f'), tooLong(40, 'l');
  RegCloseKey(Create(key, fits));
  RegCloseKey(Create(key, tooLong));
  SetText(key, fits, "data");
  SetText(key, tooLong, "data");
  SetText(key, "short", fits);
  SetText(key, "long", tooLong);

  struct Buffer {
    char bytes[48];
    Buffer() { std::memset(bytes, '#', sizeof bytes); }
    bool Guarded() const { return bytes[40] == '#' && bytes[47] == '#'; }
  };
  {
    Buffer name;
    DWORD length = 40;
    ASSERT_EQ(RegEnumKeyExA(key, 0, name.bytes, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(name.bytes), fits);
    EXPECT_EQ(length, 39u);
    Buffer longer;
    length = 40;
    EXPECT_EQ(RegEnumKeyExA(key, 1, longer.bytes, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    EXPECT_TRUE(longer.Guarded());
    length = 40;
    EXPECT_EQ(RegEnumKeyExA(key, 2, name.bytes, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
  }
  struct Row {
    const char* name;
    DWORD index;
    LONG result;
    std::string valueName = {};
    std::string data = {};
  } rows[] = {
      {.name = "name of 39 fits", .index = 0, .result = ERROR_SUCCESS, .valueName = fits,
       .data = "data"},
      {.name = "name of 40 does not", .index = 1, .result = ERROR_MORE_DATA},
      {.name = "data of 39 fits with its zero", .index = 2, .result = ERROR_SUCCESS,
       .valueName = "short", .data = fits},
      {.name = "data of 40 fits without a zero", .index = 3, .result = ERROR_SUCCESS,
       .valueName = "long", .data = tooLong},
      {.name = "past the last", .index = 4, .result = ERROR_NO_MORE_ITEMS},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Buffer name, data;
    DWORD nameLength = 40, dataLength = 40, type = 0;
    EXPECT_EQ(RegEnumValueA(key, row.index, name.bytes, &nameLength, nullptr, &type,
                            reinterpret_cast<BYTE*>(data.bytes), &dataLength),
              row.result);
    EXPECT_TRUE(name.Guarded());
    EXPECT_TRUE(data.Guarded());
    if (row.result != ERROR_SUCCESS) continue;
    EXPECT_EQ(std::string(name.bytes), row.valueName);
    EXPECT_EQ(nameLength, row.valueName.size());
    EXPECT_EQ(std::string(data.bytes, dataLength), row.data);
    EXPECT_EQ(data.bytes[dataLength], row.data.size() < 40 ? '\0' : '#');
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  }
  {
    // Data too long for a short buffer: the size it needs, nothing written.
    Buffer name, data;
    DWORD nameLength = 40, dataLength = 10;
    EXPECT_EQ(RegEnumValueA(key, 3, name.bytes, &nameLength, nullptr, nullptr,
                            reinterpret_cast<BYTE*>(data.bytes), &dataLength),
              ERROR_MORE_DATA);
    EXPECT_EQ(dataLength, 40u);
    EXPECT_EQ(data.bytes[0], '#');
    // Asked again with room enough: the same value.
    nameLength = 40;
    dataLength = 41;
    ASSERT_EQ(RegEnumValueA(key, 3, name.bytes, &nameLength, nullptr, nullptr,
                            reinterpret_cast<BYTE*>(data.bytes), &dataLength),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(data.bytes), tooLong);
  }
  RegCloseKey(key);
}

TEST_P(RegistryContract, ValuesKeepCreationOrderAndExactBytes) {
  HKEY key = Create(HKEY_CURRENT_USER, "Keyboard Layout\\Preload");
  SetText(key, "2", "00000418");
  SetText(key, "1", "00000409");
  const BYTE binary[] = {0, 1, 2, 0};
  ASSERT_EQ(RegSetValueExA(key, "bin", 0, REG_BINARY, binary, 4), ERROR_SUCCESS);
  SetText(key, "2", "00010418");  // replaced in place
  SetText(key, "3", "x");
  ASSERT_EQ(RegDeleteValueA(key, "3"), ERROR_SUCCESS);
  SetText(key, "3", "0001041d");  // back at the end
  EXPECT_EQ(Values(key), (std::vector<std::string>{"2=00010418", "1=00000409",
                                                   std::string("bin=\0\1\2\0", 8),
                                                   "3=0001041d"}));
  // Value names ignore case and keep the first spelling.
  SetText(key, "BIN", "text");
  DWORD type = 0, length = 0;
  ASSERT_EQ(RegQueryValueExA(key, "Bin", nullptr, &type, nullptr, &length), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(length, 4u);
  EXPECT_EQ(Values(key)[2], "bin=text");
  RegCloseKey(key);
}

TEST_P(RegistryContract, QueryReportsTheSizeItNeeds) {
  HKEY key = Create(HKEY_CURRENT_USER, "q");
  SetText(key, "Layout Id", "0000001b");
  SetText(key, "", "default");
  struct Row {
    const char* name;
    const char* valueName;
    bool withBuffer;
    DWORD length;
    LONG result;
    DWORD lengthOut;
    std::string data;
  } rows[] = {
      {"fits with room for a zero", "Layout Id", true, 12, ERROR_SUCCESS, 8, "0000001b"},
      {"fits exactly", "layout id", true, 8, ERROR_SUCCESS, 8, "0000001b"},
      {"short buffer", "Layout Id", true, 7, ERROR_MORE_DATA, 8, ""},
      {"size only", "Layout Id", false, 0, ERROR_SUCCESS, 8, ""},
      {"the unnamed value", "", true, 12, ERROR_SUCCESS, 7, "default"},
      {"missing value", "Layout File", true, 12, ERROR_FILE_NOT_FOUND, 12, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char data[16];
    std::memset(data, '#', sizeof data);
    DWORD length = row.length;
    EXPECT_EQ(RegQueryValueExA(key, row.valueName, nullptr, nullptr,
                               row.withBuffer ? reinterpret_cast<BYTE*>(data) : nullptr, &length),
              row.result);
    EXPECT_EQ(length, row.lengthOut);
    if (row.result == ERROR_SUCCESS && row.withBuffer) {
      EXPECT_EQ(std::string(data, length), row.data);
      EXPECT_EQ(data[length], row.length > length ? '\0' : '#');
    } else {
      EXPECT_EQ(data[0], '#');
    }
  }
  RegCloseKey(key);
}

TEST_P(RegistryContract, DeletionsAndWhatTheyLeave) {
  HKEY layouts = Create(HKEY_LOCAL_MACHINE, kLayouts);
  HKEY leaf = Create(layouts, "00010418");
  RegCloseKey(Create(layouts, "00000409\\sub"));
  SetText(layouts, "00010418", "romakeys.so");

  EXPECT_EQ(RegDeleteValueA(layouts, "00010418"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(layouts, "00010418"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(layouts, "00000409"), ERROR_ACCESS_DENIED);  // it has a subkey
  EXPECT_EQ(RegDeleteKeyA(layouts, "00000409\\SUB"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(layouts, "00000409"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(layouts, "00000409"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(layouts, "00010418"), ERROR_SUCCESS);
  EXPECT_TRUE(Subkeys(layouts).empty());

  // The handle still open on the deleted key.
  const BYTE text[] = "x";
  EXPECT_EQ(RegSetValueExA(leaf, "a", 0, REG_SZ, text, 1), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(leaf), ERROR_SUCCESS);
  RegCloseKey(layouts);
}

TEST_P(RegistryContract, EnumerationFollowsChangesMadeBetweenSteps) {
  HKEY key = Create(HKEY_LOCAL_MACHINE, "k");
  for (const char* name : {"a", "b", "c", "d"}) RegCloseKey(Create(key, name));
  char name[40];
  DWORD length = 40;
  ASSERT_EQ(RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  length = 40;
  ASSERT_EQ(RegEnumKeyExA(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_STREQ(name, "b");
  ASSERT_EQ(RegDeleteKeyA(key, "a"), ERROR_SUCCESS);
  length = 40;
  ASSERT_EQ(RegEnumKeyExA(key, 2, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_STREQ(name, "d");  // index 2 of b, c, d

  // Deleting at index 0 until nothing is left.
  int deleted = 0;
  for (;;) {
    length = 40;
    LONG rc = RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) break;
    ASSERT_EQ(RegDeleteKeyA(key, name), ERROR_SUCCESS);
    ++deleted;
  }
  EXPECT_EQ(deleted, 3);
  RegCloseKey(key);
}

TEST_P(RegistryContract, TransactionsKeepAllOrNothing) {
  HKEY key = Create(HKEY_CURRENT_USER, "t");
  SetText(key, "kept", "old");
  // Read first, so that what a store keeps of its reads is also put to the test.
  EXPECT_EQ(Values(key), std::vector<std::string>{"kept=old"});
  EXPECT_TRUE(Subkeys(key).empty());
  LONG rc = registry_->Transact(HKEY_CURRENT_USER, [&]() -> LONG {
    SetText(key, "kept", "new");
    RegCloseKey(Create(key, "child"));
    EXPECT_EQ(RegDeleteValueA(key, "missing"), ERROR_FILE_NOT_FOUND);  // undoes nothing else
    return ERROR_INVALID_DATA;
  });
  EXPECT_EQ(rc, ERROR_INVALID_DATA);
  EXPECT_EQ(Values(key), std::vector<std::string>{"kept=old"});
  EXPECT_TRUE(Subkeys(key).empty());

  rc = registry_->Transact(HKEY_CURRENT_USER, [&]() -> LONG {
    SetText(key, "kept", "new");
    SetText(key, "added", "1");
    return ERROR_SUCCESS;
  });
  EXPECT_EQ(rc, ERROR_SUCCESS);
  EXPECT_EQ(Values(key), (std::vector<std::string>{"kept=new", "added=1"}));
  RegCloseKey(key);
}

TEST_P(RegistryContract, AHiveThatMayNotBeWrittenRefusesFullAccess) {
  TempDir dir;
  auto readOnly = GetParam().make(dir, {.machineReadOnly = true});
  nt::ScopedServices scope({.registry = readOnly.get()});
  HKEY key = nullptr;
  SetLastError(0);
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, nullptr, 0, KEY_ALL_ACCESS, &key),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "a", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_ACCESS_DENIED);
  const BYTE text[] = "x";
  EXPECT_EQ(RegSetValueExA(HKEY_LOCAL_MACHINE, "a", 0, REG_SZ, text, 1), ERROR_ACCESS_DENIED);
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, nullptr, 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, "a", 0, REG_SZ, text, 1), ERROR_ACCESS_DENIED);
  RegCloseKey(key);
  // The user's hive is still writable.
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, nullptr, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegCloseKey(key);
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryContract,
                         testing::ValuesIn(testing_support::RegistryBackends()),
                         [](const testing::TestParamInfo<RegistryBackend>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
