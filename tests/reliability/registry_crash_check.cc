// Kills a registry writer with SIGKILL at random moments and checks, after
// each kill, that every hive passes SQLite's integrity check and that every
// value holds either its old or its new content, never a torn one.
//
//   registry_crash_check [KILLS]     (200 when not given)
//
// The writer rewrites values v00..v63 one call each, generation after
// generation, in both hives, then t0..t7 in one transaction. After a kill
// the generations must read g, …, g, g-1, …, g-1 in value order, the
// transaction's values must share one generation, and nothing may go back
// to an older generation than an earlier round saw.
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "nt/hive_file.h"
#include "nt/registry.h"

namespace {

constexpr int kValues = 64;
constexpr int kGrouped = 8;

std::string Content(long generation, int index) {
  std::string text = "g=" + std::to_string(generation) + ";i=" + std::to_string(index) + ";";
  const size_t length = 40 + static_cast<size_t>((generation * 37 + index * 11) % 3000);
  text.resize(length, static_cast<char>('a' + (generation + index) % 26));
  return text;
}

// The generation whose content `data` is for value `index`, or -1 when it
// is nobody's.
long Generation(const std::string& data, int index) {
  long generation = -1;
  int read = -1;
  if (std::sscanf(data.c_str(), "g=%ld;i=%d;", &generation, &read) != 2 || read != index) return -1;
  return data == Content(generation, index) ? generation : -1;
}

std::string Name(const char* prefix, int index) { return prefix + std::to_string(index); }

LONG Write(nt::Registry& registry, HKEY key, const std::string& name, const std::string& data) {
  return registry.SetValue(key, name.c_str(), REG_BINARY,
                           reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size()));
}

// The writer's steps in one generation: the values of each hive one call
// each, then that hive's transaction.
constexpr int kStepsPerHive = kValues + 1;
constexpr int kSteps = 2 * kStepsPerHive;

// Writes from `step` of `generation` on until killed; a byte on `ready` once
// the first step is done (the first write after a crash also recovers the
// log, which takes long).
[[noreturn]] void Writer(const std::string& machine, const std::string& user, long generation,
                         int step, int ready) {
  std::string error;
  auto registry = nt::OpenHiveRegistry(machine, user, &error);
  if (registry == nullptr) _exit(2);
  HKEY keys[2] = {};
  const HKEY roots[2] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
  for (int h = 0; h < 2; ++h) {
    if (registry->CreateKey(roots[h], "Crash", nullptr, KEY_ALL_ACCESS, &keys[h], nullptr)) _exit(3);
  }
  for (bool first = true;; first = false) {
    const int h = step / kStepsPerHive;
    const int i = step % kStepsPerHive;
    if (i < kValues) {
      if (Write(*registry, keys[h], Name("v", i), Content(generation, i))) _exit(4);
    } else {
      LONG rc = registry->Transact(roots[h], [&]() -> LONG {
        for (int j = 0; j < kGrouped; ++j) {
          if (LONG e = Write(*registry, keys[h], Name("t", j), Content(generation, 100 + j))) {
            return e;
          }
        }
        return ERROR_SUCCESS;
      });
      if (rc != ERROR_SUCCESS) _exit(5);
    }
    if (first && write(ready, "r", 1) != 1) _exit(6);
    if (++step == kSteps) {
      step = 0;
      ++generation;
    }
  }
}

struct State {
  long oldest = 0;   // the oldest generation any value holds
  long first = 0;    // the generation of v0
  long grouped = 0;  // the generation of the transaction's values
  int written = 0;   // values of v0's generation: where the writer was

  bool operator==(const State&) const = default;
};

// Checks one hive's values after a kill; false with `problem` set.
bool Verify(nt::Registry& registry, HKEY root, State* state, std::string* problem) {
  HKEY key = nullptr;
  if (registry.OpenKey(root, "Crash", KEY_READ, &key)) {
    *problem = "the key is gone";
    return false;
  }
  auto read = [&](const std::string& name, int index) {
    std::string data(4096, '\0');
    DWORD length = static_cast<DWORD>(data.size());
    if (registry.QueryValue(key, name.c_str(), nullptr, reinterpret_cast<BYTE*>(data.data()),
                            &length)) {
      return -2L;
    }
    data.resize(length);
    return Generation(data, index);
  };
  const long first = read(Name("v", 0), 0);
  long previous = first;
  int written = 0;
  for (int i = 0; problem->empty() && i < kValues; ++i) {
    const long g = read(Name("v", i), i);
    written += g == first;
    // Non-increasing, and only the generation in progress or the one before.
    if (g < 0 || g > previous || g < first - 1) {
      *problem = Name("v", i) + " holds generation " + std::to_string(g) + " after " +
                 std::to_string(previous);
    }
    previous = g;
  }
  if (problem->empty() && previous < state->oldest) {
    *problem = "a value went back to generation " + std::to_string(previous);
  }
  const long grouped = read(Name("t", 0), 100);
  for (int j = 0; problem->empty() && j < kGrouped; ++j) {
    if (grouped < 0 || read(Name("t", j), 100 + j) != grouped) {
      *problem = "the transaction's values differ";
    }
  }
  registry.CloseKey(key);
  if (!problem->empty()) return false;
  *state = State{.oldest = previous, .first = first, .grouped = grouped, .written = written};
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int kills = argc > 1 ? std::atoi(argv[1]) : 200;
  std::string dir = (std::filesystem::temp_directory_path() / "layinst-crash-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) return 1;
  const std::string machine = dir + "/machine.db";
  const std::string user = dir + "/user.db";
  std::string error;
  if (nt::CreateHiveFile(machine, 0644, &error) || nt::CreateHiveFile(user, 0600, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  // Generation 0 everywhere before the first writer starts.
  {
    auto registry = nt::OpenHiveRegistry(machine, user, &error);
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
      HKEY key = nullptr;
      registry->CreateKey(root, "Crash", nullptr, KEY_ALL_ACCESS, &key, nullptr);
      for (int i = 0; i < kValues; ++i) Write(*registry, key, Name("v", i), Content(0, i));
      for (int j = 0; j < kGrouped; ++j) Write(*registry, key, Name("t", j), Content(0, 100 + j));
      registry->CloseKey(key);
    }
  }

  std::mt19937 random(std::random_device{}());
  // Most kills land while values are written (a generation takes a few
  // milliseconds); some while the writer is still opening the hives.
  std::uniform_int_distribution<int> delay(0, 8000);  // microseconds
  std::bernoulli_distribution early(0.1);
  State states[2];
  long next = 1;
  int step = 0;
  int failures = 0;
  int changed = 0;  // rounds in which the writer got a value written
  for (int round = 0; round < kills && failures == 0; ++round) {
    int ready[2];
    if (pipe(ready) != 0) return 1;
    const pid_t child = fork();
    if (child < 0) return 1;
    if (child == 0) Writer(machine, user, next, step, ready[1]);
    close(ready[1]);
    char byte;
    if (!early(random) && read(ready[0], &byte, 1) != 1) {
      std::fprintf(stderr, "round %d: the writer failed before writing\n", round);
      ++failures;
    }
    close(ready[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    if (!(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)) {
      std::fprintf(stderr, "round %d: the writer stopped by itself (status %d)\n", round, status);
      ++failures;
      break;
    }
    for (const std::string& hive : {machine, user}) {
      std::string report;
      if (!nt::CheckHiveIntegrity(hive, &report)) {
        std::fprintf(stderr, "round %d: %s fails the integrity check: %s\n", round, hive.c_str(),
                     report.c_str());
        ++failures;
      }
    }
    auto registry = nt::OpenHiveRegistry(machine, user, &error);
    if (registry == nullptr) {
      std::fprintf(stderr, "round %d: %s\n", round, error.c_str());
      ++failures;
      break;
    }
    const HKEY roots[2] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
    const State before[2] = {states[0], states[1]};
    for (int h = 0; h < 2; ++h) {
      std::string problem;
      if (!Verify(*registry, roots[h], &states[h], &problem)) {
        std::fprintf(stderr, "round %d, %s: %s\n", round, nt::RootName(roots[h]).c_str(),
                     problem.c_str());
        ++failures;
      }
    }
    changed += !(states[0] == before[0] && states[1] == before[1]);
    // The next writer goes on where this one was killed.
    next = states[0].first;
    if (states[0].written < kValues) {
      step = states[0].written;
    } else if (states[0].grouped != next) {
      step = kValues;
    } else if (states[1].first != next || states[1].written < kValues) {
      step = kStepsPerHive + (states[1].first == next ? states[1].written : 0);
    } else if (states[1].grouped != next) {
      step = kStepsPerHive + kValues;
    } else {
      ++next;
      step = 0;
    }
  }
  std::filesystem::remove_all(dir);
  if (failures != 0) return 1;
  std::printf("registry_crash_check: %d writers killed, %d of them after writing; both hives "
              "intact after each kill, every value old or new; writing reached generation %ld\n",
              kills, changed, next);
  return 0;
}
