// Speed of the keyboard driver: key events through the translator, and
// loading a layout library (file checks, mapping, table checks, copy).
//   keyboard_bench [library.so ...]   (default: the test layout and the kit's libraries)
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "layouts/common/layout_tables.h"
#include "nt/keyboard/library.h"
#include "nt/keyboard/lookup.h"
#include "nt/keyboard/strokes.h"
#include "nt/keyboard/translator.h"

namespace {

struct Event {
  nt::kbd::ScanCode scan;
  bool down;
};

void Press(const nt::kbd::Layout& layout, uint8_t vk, bool down, std::vector<Event>* events) {
  bool numLock = false;
  if (const auto scan = nt::kbd::ScanCodeFor(layout, vk, &numLock); scan && !numLock) events->push_back({*scan, down});
}

// The scan-code events that type `text` (each character by its first way),
// with Shift and AltGr pressed and released around each stroke.
std::vector<Event> EventsFor(const nt::kbd::Layout& layout, std::u16string_view text) {
  std::vector<Event> events;
  for (char16_t c : text) {
    for (const nt::kbd::Stroke& stroke : nt::kbd::FirstWayToType(layout, c)) {
      const bool shift = stroke.modBits & KBDSHIFT;
      const bool altGr = (stroke.modBits & (KBDCTRL | KBDALT)) == (KBDCTRL | KBDALT);
      if (shift) Press(layout, 0xA0, true, &events);
      if (altGr) Press(layout, 0xA5, true, &events);
      Press(layout, stroke.vk, true, &events);
      Press(layout, stroke.vk, false, &events);
      if (altGr) Press(layout, 0xA5, false, &events);
      if (shift) Press(layout, 0xA0, false, &events);
    }
  }
  return events;
}

constexpr std::u16string_view kText =
    u"The quick brown fox jumps over the lazy dog. \u00EA\u00E9\u00E4\u011B\u00C2 "
    u"\u03B7\u03AE\u00E5\u00F6 Sphinx of black quartz, judge my vow 1234567890 @[]{}";

void KeyEvents(benchmark::State& state, std::string path) {
  nt::kbd::Layout layout;
  std::string problem;
  if (nt::kbd::LoadLayoutLibrary(path, &layout, &problem) != ERROR_SUCCESS) {
    state.SkipWithError(problem.c_str());
    return;
  }
  const std::vector<Event> events = EventsFor(layout, kText);
  nt::kbd::Translator translator(layout);
  std::u16string out;
  out.reserve(4096);
  for (auto _ : state) {
    for (const Event& event : events) translator.Scan(event.scan, event.down, &out);
    benchmark::DoNotOptimize(out.data());
    out.clear();
  }
  state.counters["events"] = static_cast<double>(events.size());
  // Seconds per event, shown with an SI prefix (n for nanoseconds).
  state.counters["per_event"] = benchmark::Counter(
      static_cast<double>(events.size()),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Load(benchmark::State& state, std::string path) {
  for (auto _ : state) {
    nt::kbd::Layout layout;
    std::string problem;
    if (nt::kbd::LoadLayoutLibrary(path, &layout, &problem) != ERROR_SUCCESS) {
      state.SkipWithError(problem.c_str());
      return;
    }
    benchmark::DoNotOptimize(layout.rows.data());
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::vector<std::string> libraries(argv + 1, argv + argc);
  if (libraries.empty()) {
    libraries.push_back(std::string(KEYBOARD_FIXTURE_DIR) + "/testkeys.so");
    for (const char* name : {"romakeys", "svenkeys", "ellkeys", "vlamkeys"}) {
      const std::string path = std::string(KIT_DIR) + "/" + name + ".so";
      if (std::filesystem::exists(path)) libraries.push_back(path);
    }
  }
  for (const std::string& path : libraries) {
    const std::string name = std::filesystem::path(path).stem().string();
    benchmark::RegisterBenchmark(("KeyEvents/" + name).c_str(), KeyEvents, path);
    benchmark::RegisterBenchmark(("LoadLibrary/" + name).c_str(), Load, path)->Unit(benchmark::kMicrosecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
