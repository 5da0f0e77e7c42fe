#include "tests/layout_tools/side_by_side.h"

#include <algorithm>
#include <cstdio>

#include "nt/keyboard/lookup.h"
#include "nt/keyboard/strokes.h"
#include "tests/layout_tools/kit_layouts.h"

namespace layout_tools_test {

std::vector<Event> Locks(bool capsLock, bool numLock) {
  std::vector<Event> events;
  for (auto [on, key] : {std::pair{capsLock, kCapsLockKey}, std::pair{numLock, kNumLockKey}}) {
    if (!on) continue;
    events.push_back({key, true});
    events.push_back({key, false});
  }
  return events;
}

std::vector<Event> Stroke(ScanCode key, int level) {
  const bool shift = level == 1 || level == 3;
  const bool altGr = level >= 2;
  std::vector<Event> events;
  if (shift) events.push_back({kShiftKey, true});
  if (altGr) events.push_back({kAltGrKey, true});
  events.push_back({key, true});
  events.push_back({key, false});
  if (altGr) events.push_back({kAltGrKey, false});
  if (shift) events.push_back({kShiftKey, false});
  return events;
}

std::vector<Event> Join(std::vector<Event> a, const std::vector<Event>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string Describe(const Typed& typed) {
  std::string out;
  for (char16_t c : nt::kbd::FromUtf8(typed.text)) {
    if (c < 0x20 || c == 0x7F || (c >= 0x0300 && c <= 0x036F)) {
      char code[16];
      std::snprintf(code, sizeof code, "<U+%04X>", static_cast<unsigned>(c));
      out += code;
    } else {
      out += nt::kbd::ToUtf8(std::u16string(1, c));
    }
  }
  if (typed.pending != 0) {
    char code[32];
    std::snprintf(code, sizeof code, "[dead U+%04X]", static_cast<unsigned>(typed.pending));
    out += code;
  }
  return out.empty() ? "(nothing)" : out;
}

SideBySide::SideBySide(const std::string& library) : layout_(KitLayout(library)) {
  exported_ = layout_tools::ExportXkb(layout_, library);
  for (const layout_tools::XkbKey& key : exported_.keys) keycodes_[{key.scan.code, key.scan.prefix}] = key.keycode;
  const std::string compose = dir_.Write(library + ".XCompose", exported_.compose);
  typist_ = layout_tools::XkbTypist::Create(exported_.keymap, compose, &problem_, &warnings_);
}

Typed SideBySide::Driver(const std::vector<Event>& events) const {
  nt::kbd::Translator translator(layout_);
  std::u16string out;
  for (const Event& event : events) translator.Scan(event.scan, event.down, &out);
  return {nt::kbd::ToUtf8(out), translator.pendingAccent()};
}

Typed SideBySide::Xkb(const std::vector<Event>& events) {
  typist_->Reset();
  std::string out;
  for (const Event& event : events) {
    const auto it = keycodes_.find({event.scan.code, event.scan.prefix});
    if (it != keycodes_.end()) typist_->Key(it->second, event.down, &out);
  }
  Typed typed{out, 0};
  for (const layout_tools::DeadKeysym& dead : exported_.deadKeysyms) {
    if (typist_->pendingDeadKeysym() != XKB_KEY_NoSymbol && dead.keysym == typist_->pendingDeadKeysym()) {
      typed.pending = dead.accent;
    }
  }
  return typed;
}

std::string SideBySide::KeyTitle(ScanCode scan) const {
  std::string title = layout_tools::DescribeScanCode(scan);
  const std::string name = nt::kbd::ToUtf8(nt::kbd::KeyName(layout_, scan));
  return name.empty() ? title : title + " \"" + name + "\"";
}

std::string Table(const std::vector<Difference>& differences) {
  size_t widths[3] = {3, 5, 6};
  for (const Difference& d : differences) {
    widths[0] = std::max(widths[0], d.key.size());
    widths[1] = std::max(widths[1], d.state.size());
    widths[2] = std::max(widths[2], d.driver.size());
  }
  auto pad = [](const std::string& text, size_t width) { return text + std::string(width - text.size() + 2, ' '); };
  std::string out = pad("key", widths[0]) + pad("state", widths[1]) + pad("driver", widths[2]) + "libxkbcommon\n";
  for (const Difference& d : differences) {
    out += pad(d.key, widths[0]) + pad(d.state, widths[1]) + pad(d.driver, widths[2]) + d.xkb + "\n";
  }
  return out;
}

}  // namespace layout_tools_test
