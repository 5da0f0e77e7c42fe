// What the SQLite hives add to the registry contract: files that persist,
// processes that share them, and a hive the process may not write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "nt/hive_file.h"
#include "nt/registry.h"
#include "nt/system.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

class HiveFileTest : public testing::Test {
 protected:
  HiveFileTest() : machine_(dir_.path() + "/machine.db"), user_(dir_.path() + "/user.db") {
    std::string error;
    EXPECT_EQ(nt::CreateHiveFile(machine_, 0644, &error), ERROR_SUCCESS) << error;
    EXPECT_EQ(nt::CreateHiveFile(user_, 0600, &error), ERROR_SUCCESS) << error;
  }

  std::unique_ptr<nt::Registry> Open(const nt::HiveOptions& options = {}) {
    std::string error;
    auto registry = nt::OpenHiveRegistry(machine_, user_, &error, options);
    EXPECT_NE(registry, nullptr) << error;
    return registry;
  }

  static LONG Write(nt::Registry& registry, HKEY key, const std::string& name,
                    const std::string& text) {
    return registry.SetValue(key, name.c_str(), REG_SZ,
                             reinterpret_cast<const BYTE*>(text.data()),
                             static_cast<DWORD>(text.size()));
  }

  static std::string Read(nt::Registry& registry, HKEY key, const std::string& name) {
    char data[256];
    DWORD length = sizeof data;
    if (registry.QueryValue(key, name.c_str(), nullptr, reinterpret_cast<BYTE*>(data), &length)) {
      return "<missing>";
    }
    return std::string(data, length);
  }

  // What a reader sees of a key: its subkeys, its values in order, and the
  // value "x" looked up by name; or the error that stopped the reading.
  static std::string Picture(nt::Registry& registry, HKEY key) {
    std::string picture = "subkeys";
    for (DWORD i = 0;; ++i) {
      char name[64];
      DWORD length = sizeof name;
      const LONG rc = registry.EnumKey(key, i, name, &length, nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      if (rc != ERROR_SUCCESS) return "error " + std::to_string(rc);
      picture += " " + std::string(name, length);
    }
    picture += " | values";
    for (DWORD i = 0;; ++i) {
      char name[64], data[64];
      DWORD nameLength = sizeof name, dataLength = sizeof data;
      const LONG rc = registry.EnumValue(key, i, name, &nameLength, nullptr,
                                         reinterpret_cast<BYTE*>(data), &dataLength);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      if (rc != ERROR_SUCCESS) return "error " + std::to_string(rc);
      picture += " " + std::string(name, nameLength) + "=" + std::string(data, dataLength);
    }
    return picture + " | x=" + Read(registry, key, "x");
  }

  // Picture of the key at `path`, opened for the purpose.
  static std::string PictureAt(nt::Registry& registry, const char* path) {
    HKEY key = nullptr;
    const LONG rc = registry.OpenKey(HKEY_LOCAL_MACHINE, path, KEY_READ, &key);
    if (rc != ERROR_SUCCESS) return "error " + std::to_string(rc);
    std::string picture = Picture(registry, key);
    registry.CloseKey(key);
    return picture;
  }

  TempDir dir_;
  std::string machine_;
  std::string user_;
};

TEST_F(HiveFileTest, FilesAreMadeOnceWithTheirModes) {
  struct stat st;
  ASSERT_EQ(stat(user_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(stat(machine_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  std::string error;
  EXPECT_EQ(nt::CreateHiveFile(user_, 0600, &error), ERROR_FILE_EXISTS);
  EXPECT_NE(error.find(user_), std::string::npos);
}

TEST_F(HiveFileTest, OnlyHiveFilesOpen) {
  const std::string other = dir_.Write("other.db", "not a database at all, just text");
  std::string error;
  EXPECT_EQ(nt::OpenHiveRegistry(machine_, other, &error), nullptr);
  EXPECT_NE(error.find(other), std::string::npos) << error;
  EXPECT_EQ(nt::OpenHiveRegistry(dir_.path() + "/none.db", user_, &error), nullptr);
  EXPECT_NE(error.find("none.db"), std::string::npos) << error;
}

TEST_F(HiveFileTest, ChangesPersistAndReachOtherConnections) {
  auto first = Open();
  auto second = Open();
  HKEY a = nullptr, b = nullptr;
  ASSERT_EQ(first->CreateKey(HKEY_LOCAL_MACHINE, "Keys", nullptr, KEY_ALL_ACCESS, &a, nullptr),
            ERROR_SUCCESS);
  for (const char* name : {"k1", "k2", "k3", "k4"}) {
    HKEY child = nullptr;
    ASSERT_EQ(first->CreateKey(a, name, nullptr, KEY_ALL_ACCESS, &child, nullptr), ERROR_SUCCESS);
    first->CloseKey(child);
  }
  ASSERT_EQ(Write(*first, a, "v", "one"), ERROR_SUCCESS);
  ASSERT_EQ(second->OpenKey(HKEY_LOCAL_MACHINE, "KEYS", KEY_ALL_ACCESS, &b), ERROR_SUCCESS);
  EXPECT_EQ(Read(*second, b, "v"), "one");

  // An enumeration on one connection sees a deletion made on the other.
  char name[40];
  DWORD length = 40;
  ASSERT_EQ(second->EnumKey(b, 0, name, &length, nullptr, nullptr), ERROR_SUCCESS);
  length = 40;
  ASSERT_EQ(second->EnumKey(b, 1, name, &length, nullptr, nullptr), ERROR_SUCCESS);
  ASSERT_EQ(first->DeleteKey(a, "k1"), ERROR_SUCCESS);
  length = 40;
  ASSERT_EQ(second->EnumKey(b, 2, name, &length, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(name, "k4");
  first->CloseKey(a);
  second->CloseKey(b);
  first.reset();
  second.reset();

  auto reopened = Open();
  ASSERT_EQ(reopened->OpenKey(HKEY_LOCAL_MACHINE, "Keys", KEY_READ, &a), ERROR_SUCCESS);
  EXPECT_EQ(Read(*reopened, a, "v"), "one");
  std::string report;
  EXPECT_TRUE(nt::CheckHiveIntegrity(machine_, &report)) << report;
}

// A reader that has read a key before sees at once what another connection
// commits to it, through a handle opened before and through a new one.
TEST_F(HiveFileTest, ReadersSeeWhatAnotherConnectionCommits) {
  using Change = std::function<void(nt::Registry&, HKEY shared, HKEY key)>;
  struct Row {
    const char* name;
    Change change;
    std::string through_handle;
    std::string through_path;
  };
  const std::string initial = "subkeys a b | values x=1 y=2 | x=1";
  const Row rows[] = {
      {.name = "a value's data changes",
       .change = [](nt::Registry& r, HKEY, HKEY key) { Write(r, key, "x", "9"); },
       .through_handle = "subkeys a b | values x=9 y=2 | x=9",
       .through_path = "subkeys a b | values x=9 y=2 | x=9"},
      {.name = "a value is added",
       .change = [](nt::Registry& r, HKEY, HKEY key) { Write(r, key, "z", "3"); },
       .through_handle = "subkeys a b | values x=1 y=2 z=3 | x=1",
       .through_path = "subkeys a b | values x=1 y=2 z=3 | x=1"},
      {.name = "a value is deleted",
       .change = [](nt::Registry& r, HKEY, HKEY key) { r.DeleteValue(key, "x"); },
       .through_handle = "subkeys a b | values y=2 | x=<missing>",
       .through_path = "subkeys a b | values y=2 | x=<missing>"},
      {.name = "a subkey is added",
       .change =
           [](nt::Registry& r, HKEY, HKEY key) {
             HKEY child = nullptr;
             r.CreateKey(key, "C", nullptr, KEY_ALL_ACCESS, &child, nullptr);
             r.CloseKey(child);
           },
       .through_handle = "subkeys a b C | values x=1 y=2 | x=1",
       .through_path = "subkeys a b C | values x=1 y=2 | x=1"},
      {.name = "a subkey is deleted",
       .change = [](nt::Registry& r, HKEY, HKEY key) { r.DeleteKey(key, "a"); },
       .through_handle = "subkeys b | values x=1 y=2 | x=1",
       .through_path = "subkeys b | values x=1 y=2 | x=1"},
      {.name = "the key is deleted and made again",
       .change =
           [](nt::Registry& r, HKEY shared, HKEY key) {
             r.DeleteKey(key, "a");
             r.DeleteKey(key, "b");
             r.DeleteKey(shared, "Key");
             HKEY again = nullptr;
             r.CreateKey(shared, "Key", nullptr, KEY_ALL_ACCESS, &again, nullptr);
             Write(r, again, "x", "new");
             r.CloseKey(again);
           },
       .through_handle = "error " + std::to_string(ERROR_KEY_DELETED),
       .through_path = "subkeys | values x=new | x=new"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto writer = Open();
    HKEY shared = nullptr, key = nullptr;
    ASSERT_EQ(writer->CreateKey(HKEY_LOCAL_MACHINE, row.name, nullptr, KEY_ALL_ACCESS, &shared,
                                nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(writer->CreateKey(shared, "Key", nullptr, KEY_ALL_ACCESS, &key, nullptr),
              ERROR_SUCCESS);
    for (const char* name : {"b", "a"}) {
      HKEY child = nullptr;
      writer->CreateKey(key, name, nullptr, KEY_ALL_ACCESS, &child, nullptr);
      writer->CloseKey(child);
    }
    Write(*writer, key, "x", "1");
    Write(*writer, key, "y", "2");

    auto reader = Open();
    const std::string path = std::string(row.name) + "\\Key";
    HKEY held = nullptr;
    ASSERT_EQ(reader->OpenKey(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ, &held), ERROR_SUCCESS);
    for (int pass = 0; pass < 2; ++pass) {  // the second from what the first read
      ASSERT_EQ(Picture(*reader, held), initial);
      ASSERT_EQ(PictureAt(*reader, path.c_str()), initial);
    }
    row.change(*writer, shared, key);
    EXPECT_EQ(Picture(*reader, held), row.through_handle);
    EXPECT_EQ(PictureAt(*reader, path.c_str()), row.through_path);
    reader->CloseKey(held);
    writer->CloseKey(key);
    writer->CloseKey(shared);
  }
}

// A reader in one process while another commits: no read shows an older
// state than the read before it, and the last reads show the last commit.
// The writer adds subkey k<i> and then sets "count" to i, so a reader that
// reads the count and then lists the subkeys finds at least that many.
TEST_F(HiveFileTest, AReaderNeverSeesAnOlderStateThanBefore) {
  constexpr int kCommits = 400;
  {
    auto registry = Open();
    HKEY key = nullptr;
    ASSERT_EQ(registry->CreateKey(HKEY_LOCAL_MACHINE, "Counter", nullptr, KEY_ALL_ACCESS, &key,
                                  nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(Write(*registry, key, "count", "0"), ERROR_SUCCESS);
  }
  auto reader = Open();
  HKEY key = nullptr;
  ASSERT_EQ(reader->OpenKey(HKEY_LOCAL_MACHINE, "Counter", KEY_READ, &key), ERROR_SUCCESS);
  auto subkeys = [&] {
    int count = 0;
    char name[64];
    DWORD length = sizeof name;
    while (reader->EnumKey(key, count, name, &length, nullptr, nullptr) == ERROR_SUCCESS) {
      ++count;
      length = sizeof name;
    }
    return count;
  };
  auto listed_count = [&] {
    char name[64], data[64];
    DWORD nameLength = sizeof name, dataLength = sizeof data;
    if (reader->EnumValue(key, 0, name, &nameLength, nullptr, reinterpret_cast<BYTE*>(data),
                          &dataLength) != ERROR_SUCCESS) {
      return -1;
    }
    return std::stoi(std::string(data, dataLength));
  };

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto writer = Open();
    HKEY counter = nullptr;
    if (writer->OpenKey(HKEY_LOCAL_MACHINE, "Counter", KEY_ALL_ACCESS, &counter) !=
        ERROR_SUCCESS) {
      _exit(2);
    }
    for (int i = 1; i <= kCommits; ++i) {
      HKEY added = nullptr;
      if (writer->CreateKey(counter, ("k" + std::to_string(i)).c_str(), nullptr, KEY_ALL_ACCESS,
                            &added, nullptr) != ERROR_SUCCESS ||
          Write(*writer, counter, "count", std::to_string(i)) != ERROR_SUCCESS) {
        _exit(3);
      }
      writer->CloseKey(added);
    }
    _exit(0);
  }

  int last_count = 0, last_listed = 0, last_subkeys = 0, reads = 0, violations = 0;
  int status = 0;
  for (bool writing = true; writing;) {
    writing = waitpid(child, &status, WNOHANG) == 0;  // one more round after the writer ends
    const int count = std::stoi(Read(*reader, key, "count"));
    const int listed = listed_count();
    const int keys = subkeys();
    violations += count < last_count || listed < last_listed || keys < last_subkeys ||
                  listed < count || keys < listed;
    last_count = count;
    last_listed = listed;
    last_subkeys = keys;
    ++reads;
  }
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the writer failed";
  EXPECT_EQ(violations, 0) << "in " << reads << " rounds of reads";
  EXPECT_EQ(last_count, kCommits);
  EXPECT_EQ(last_listed, kCommits);
  EXPECT_EQ(last_subkeys, kCommits);
}

// Root may write any file, so the check runs as another user.
TEST_F(HiveFileTest, AHiveOfAnotherOwnerReadsButRefusesFullAccess) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  {
    auto registry = Open();
    HKEY key = nullptr;
    ASSERT_EQ(registry->CreateKey(HKEY_LOCAL_MACHINE, "SYSTEM", nullptr, KEY_ALL_ACCESS, &key,
                                  nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(Write(*registry, key, "v", "seen"), ERROR_SUCCESS);
  }
  chmod(dir_.path().c_str(), 0755);
  chmod(user_.c_str(), 0666);  // the other user's own hive
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(10);
    std::string error;
    auto registry = nt::OpenHiveRegistry(machine_, user_, &error);
    if (registry == nullptr) _exit(11);
    HKEY key = nullptr;
    if (registry->OpenKey(HKEY_LOCAL_MACHINE, nullptr, KEY_ALL_ACCESS, &key) !=
        ERROR_ACCESS_DENIED) {
      _exit(12);
    }
    if (registry->OpenKey(HKEY_LOCAL_MACHINE, "system", KEY_ALL_ACCESS, &key) !=
        ERROR_ACCESS_DENIED) {
      _exit(13);
    }
    if (registry->OpenKey(HKEY_LOCAL_MACHINE, "system", KEY_READ, &key) != ERROR_SUCCESS) {
      _exit(14);
    }
    if (Read(*registry, key, "v") != "seen") _exit(15);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the child's check that failed: 10 setuid, 11 open, "
                                       "12 root with full access, 13 key with full access, "
                                       "14 key for reading, 15 the value";
}

// Two processes writing into one hive at once: every write lands, none fails
// for a busy database.
TEST_F(HiveFileTest, TwoWritersAtOnceLoseNothing) {
  constexpr int kValues = 1000;
  int gate[2];
  ASSERT_EQ(pipe(gate), 0);
  std::vector<pid_t> writers;
  for (int writer = 0; writer < 2; ++writer) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(gate[1]);
      char go;
      if (read(gate[0], &go, 1) < 0) _exit(2);
      std::string error;
      auto registry = nt::OpenHiveRegistry(machine_, user_, &error);
      if (registry == nullptr) _exit(3);
      int failures = 0;
      for (int i = 0; i < kValues; ++i) {
        HKEY key = nullptr;
        if (registry->CreateKey(HKEY_LOCAL_MACHINE, "Shared", nullptr, KEY_ALL_ACCESS, &key,
                                nullptr) != ERROR_SUCCESS ||
            Write(*registry, key, "w" + std::to_string(writer) + "-" + std::to_string(i),
                  std::to_string(i)) != ERROR_SUCCESS) {
          ++failures;
        }
        registry->CloseKey(key);
      }
      _exit(failures == 0 ? 0 : 1);
    }
    writers.push_back(child);
  }
  close(gate[0]);
  close(gate[1]);  // both start now
  for (pid_t child : writers) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer saw a failure";
  }
  auto registry = Open();
  HKEY key = nullptr;
  ASSERT_EQ(registry->OpenKey(HKEY_LOCAL_MACHINE, "Shared", KEY_READ, &key), ERROR_SUCCESS);
  int found = 0;
  for (int writer = 0; writer < 2; ++writer) {
    for (int i = 0; i < kValues; ++i) {
      found += Read(*registry, key, "w" + std::to_string(writer) + "-" + std::to_string(i)) ==
               std::to_string(i);
    }
  }
  EXPECT_EQ(found, 2 * kValues);
}

}  // namespace
