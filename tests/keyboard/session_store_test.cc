#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "nt/hive_file.h"
#include "nt/keyboard/session_store.h"
#include "tests/support/temp_dir.h"

namespace {

using nt::kbd::KeyboardSession;
using nt::kbd::SessionStore;

// One contract over both stores, so the one tests use cannot drift.
class SessionStoreTest : public testing::TestWithParam<const char*> {
 protected:
  std::unique_ptr<SessionStore> Make() {
    if (std::string(GetParam()) == "memory") return std::make_unique<nt::kbd::MemorySessionStore>();
    std::string error;
    EXPECT_EQ(nt::CreateHiveFile(dir_.path() + "/user.db", 0600, &error), ERROR_SUCCESS) << error;
    return std::make_unique<nt::kbd::SqliteSessionStore>(dir_.path() + "/user.db");
  }
  testing_support::TempDir dir_;
};

TEST_P(SessionStoreTest, StoresWhatAChangeLeaves) {
  auto store = Make();
  KeyboardSession session;
  bool stored = true;
  ASSERT_EQ(store->Read(&session, &stored), ERROR_SUCCESS);
  EXPECT_FALSE(stored);
  EXPECT_EQ(session, KeyboardSession{});
  ASSERT_EQ(store->Update([](KeyboardSession& s, bool was) {
    EXPECT_FALSE(was);
    s = {{"00000409", "00000418"}, "00000418"};
    return DWORD{ERROR_SUCCESS};
  }), ERROR_SUCCESS);
  ASSERT_EQ(store->Read(&session, &stored), ERROR_SUCCESS);
  EXPECT_TRUE(stored);
  EXPECT_EQ(session, (KeyboardSession{{"00000409", "00000418"}, "00000418"}));
}

TEST_P(SessionStoreTest, AFailedChangeStoresNothing) {
  auto store = Make();
  store->Update([](KeyboardSession& s, bool) {
    s = {{"00000409"}, "00000409"};
    return DWORD{ERROR_SUCCESS};
  });
  EXPECT_EQ(store->Update([](KeyboardSession& s, bool) {
    s = {{"00000418"}, "00000418"};
    return DWORD{ERROR_BAD_EXE_FORMAT};
  }), DWORD{ERROR_BAD_EXE_FORMAT});
  KeyboardSession session;
  bool stored = false;
  ASSERT_EQ(store->Read(&session, &stored), ERROR_SUCCESS);
  EXPECT_EQ(session, (KeyboardSession{{"00000409"}, "00000409"}));
}

INSTANTIATE_TEST_SUITE_P(Stores, SessionStoreTest, testing::Values("memory", "sqlite"));

TEST(SqliteSessionStoreTest, ChangesFromTwoProcessesAreNeverLost) {
  testing_support::TempDir dir;
  const std::string hive = dir.path() + "/user.db";
  std::string error;
  ASSERT_EQ(nt::CreateHiveFile(hive, 0600, &error), ERROR_SUCCESS) << error;
  auto appendMany = [&](char tag) {
    nt::kbd::SqliteSessionStore store(hive);
    for (int i = 0; i < 25; ++i) {
      EXPECT_EQ(store.Update([&](KeyboardSession& s, bool) {
        s.layouts.push_back(std::string(1, tag) + std::to_string(i));
        return DWORD{ERROR_SUCCESS};
      }), ERROR_SUCCESS);
    }
  };
  std::thread a(appendMany, 'a');
  std::thread b(appendMany, 'b');
  a.join();
  b.join();
  KeyboardSession session;
  bool stored = false;
  ASSERT_EQ(nt::kbd::SqliteSessionStore(hive).Read(&session, &stored), ERROR_SUCCESS);
  EXPECT_EQ(session.layouts.size(), 50u);
}

TEST(SqliteSessionStoreTest, NeedsTheHiveTheStationMade) {
  testing_support::TempDir dir;
  nt::kbd::SqliteSessionStore store(dir.path() + "/user.db");
  KeyboardSession session;
  bool stored = false;
  EXPECT_EQ(store.Read(&session, &stored), DWORD{ERROR_CANTOPEN});
}

}  // namespace
