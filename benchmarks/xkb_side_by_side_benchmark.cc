// One seeded random sequence of key events, typed through our driver and
// through libxkbcommon (xkb_state_update_key, xkb_state_key_get_utf8 and the
// compose state) on each kit library's exported keymap and Compose file.
// Reports ns per event for both and their ratio.
//   xkb_side_by_side_benchmark [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>

#include "layouts/common/layout_tables.h"
#include "nt/keyboard/library.h"
#include "nt/keyboard/strokes.h"
#include "nt/keyboard/translator.h"
#include "tools/layout/key_cells.h"
#include "tools/layout/xkb_export.h"
#include "tools/layout/xkb_typist.h"

namespace {

using nt::kbd::Prefix;
using nt::kbd::ScanCode;

constexpr unsigned kSeed = 20240611;
constexpr int kStrokes = 4000;
const char* const kLibraries[] = {"romakeys", "svenkeys", "ellkeys", "vlamkeys"};

struct Event {
  ScanCode scan;
  xkb_keycode_t keycode;
  bool down;
};

struct Side {
  std::string library;
  nt::kbd::Layout layout;
  std::unique_ptr<layout_tools::XkbTypist> typist;
  std::vector<Event> events;
  std::string problem;
};

// Keys that type something, Shift and AltGr held and let go at random, Caps Lock now and then.
std::vector<Event> RandomEvents(const nt::kbd::Layout& layout, const layout_tools::XkbExport& exported) {
  std::map<std::pair<uint8_t, Prefix>, xkb_keycode_t> keycodes;
  std::vector<ScanCode> typing;
  for (const layout_tools::XkbKey& key : exported.keys) {
    keycodes[{key.scan.code, key.scan.prefix}] = key.keycode;
    const auto cells = layout_tools::CellsOf(layout, key.scan);
    if (std::any_of(cells.begin(), cells.end(),
                    [](const layout_tools::Cell& c) { return c.kind != layout_tools::CellKind::kNone; })) {
      typing.push_back(key.scan);
    }
  }
  const ScanCode shift{0x2A, Prefix::kNone}, altGr{0x38, Prefix::kE0}, caps{0x3A, Prefix::kNone};
  auto event = [&](ScanCode scan, bool down) { return Event{scan, keycodes.at({scan.code, scan.prefix}), down}; };
  std::mt19937 random(kSeed);
  std::uniform_int_distribution<size_t> pick(0, typing.size() - 1);
  std::uniform_int_distribution<int> percent(0, 99);
  std::vector<Event> events;
  bool shiftDown = false, altGrDown = false;
  for (int i = 0; i < kStrokes; ++i) {
    const int roll = percent(random);
    if (roll < 12) {
      shiftDown = !shiftDown;
      events.push_back(event(shift, shiftDown));
    } else if (roll < 20) {
      altGrDown = !altGrDown;
      events.push_back(event(altGr, altGrDown));
    } else if (roll < 22) {
      events.push_back(event(caps, true));
      events.push_back(event(caps, false));
    } else {
      const ScanCode key = typing[pick(random)];
      events.push_back(event(key, true));
      events.push_back(event(key, false));
    }
  }
  if (shiftDown) events.push_back(event(shift, false));
  if (altGrDown) events.push_back(event(altGr, false));
  return events;
}

std::string DriverText(const Side& side) {
  nt::kbd::Translator translator(side.layout);
  std::u16string out;
  for (const Event& e : side.events) translator.Scan(e.scan, e.down, &out);
  return nt::kbd::ToUtf8(out);
}

std::string XkbText(Side& side) {
  side.typist->Reset();
  std::string out;
  for (const Event& e : side.events) side.typist->Key(e.keycode, e.down, &out);
  return out;
}

std::shared_ptr<Side> Prepare(const std::string& library, const std::string& dir) {
  auto side = std::make_shared<Side>();
  side->library = library;
  if (nt::kbd::LoadLayoutLibrary(std::string(KIT_DIR) + "/" + library + ".so", &side->layout, &side->problem) !=
      ERROR_SUCCESS) {
    return side;
  }
  const layout_tools::XkbExport exported = layout_tools::ExportXkb(side->layout, library);
  const std::string compose = dir + "/" + library + ".XCompose";
  std::ofstream(compose) << exported.compose;
  side->typist = layout_tools::XkbTypist::Create(exported.keymap, compose, &side->problem);
  if (side->typist == nullptr) return side;
  side->events = RandomEvents(side->layout, exported);
  if (DriverText(*side) != XkbText(*side)) side->problem = "the driver and libxkbcommon type differently";
  return side;
}

void PerEvent(benchmark::State& state, size_t events) {
  state.counters["events"] = static_cast<double>(events);
  state.counters["per_event"] = benchmark::Counter(
      static_cast<double>(events), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Driver(benchmark::State& state, std::shared_ptr<Side> side) {
  if (!side->problem.empty()) return state.SkipWithError(side->problem.c_str());
  nt::kbd::Translator translator(side->layout);
  std::u16string out;
  out.reserve(2 * side->events.size());
  for (auto _ : state) {
    for (const Event& e : side->events) translator.Scan(e.scan, e.down, &out);
    benchmark::DoNotOptimize(out.data());
    out.clear();
  }
  PerEvent(state, side->events.size());
}

void Xkb(benchmark::State& state, std::shared_ptr<Side> side) {
  if (!side->problem.empty()) return state.SkipWithError(side->problem.c_str());
  std::string out;
  out.reserve(4 * side->events.size());
  for (auto _ : state) {
    for (const Event& e : side->events) side->typist->Key(e.keycode, e.down, &out);
    benchmark::DoNotOptimize(out.data());
    out.clear();
  }
  PerEvent(state, side->events.size());
}

// The console's report, then one table: ns per event on each side and the ratio.
class SideBySideReporter : public benchmark::ConsoleReporter {
 public:
  SideBySideReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
      const auto it = run.counters.find("per_event");
      if (it != run.counters.end()) perEvent_[run.benchmark_name()] = it->second.value * 1e9;
    }
  }

  void PrintTable() const {
    std::printf("\n%-10s %16s %16s %8s\n", "library", "driver ns/event", "xkbcommon ns/ev", "ratio");
    for (const char* library : kLibraries) {
      const auto driver = perEvent_.find(std::string("Driver/") + library);
      const auto xkb = perEvent_.find(std::string("Xkbcommon/") + library);
      if (driver == perEvent_.end() || xkb == perEvent_.end()) continue;
      std::printf("%-10s %16.1f %16.1f %8.3f\n", library, driver->second, xkb->second, driver->second / xkb->second);
    }
  }

 private:
  std::map<std::string, double> perEvent_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::string dir = (std::filesystem::temp_directory_path() / "xkb-side-by-side-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) return 1;
  for (const char* library : kLibraries) {
    const std::shared_ptr<Side> side = Prepare(library, dir);
    benchmark::RegisterBenchmark((std::string("Driver/") + library).c_str(), Driver, side);
    benchmark::RegisterBenchmark((std::string("Xkbcommon/") + library).c_str(), Xkb, side);
  }
  std::filesystem::remove_all(dir);
  SideBySideReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintTable();
  benchmark::Shutdown();
  return 0;
}
