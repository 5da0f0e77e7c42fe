#include "tools/layout/keyboard_geometry.h"

namespace layout_tools {
namespace {

using nt::kbd::Prefix;
using nt::kbd::ScanCode;

struct RowKey {
  ScanCode scan;
  double width;
};

std::vector<KeyPlace> Build() {
  auto plain = [](uint8_t code) { return ScanCode{code, Prefix::kNone}; };
  auto e0 = [](uint8_t code) { return ScanCode{code, Prefix::kE0}; };
  std::vector<KeyPlace> keys;
  auto row = [&](double y, double x, std::vector<RowKey> list) {
    for (const RowKey& key : list) {
      keys.push_back({.scan = key.scan, .x = x, .y = y, .width = key.width});
      x += key.width;
    }
  };
  auto run = [&](uint8_t first, uint8_t last) {
    std::vector<RowKey> list;
    for (int code = first; code <= last; ++code) list.push_back({plain(static_cast<uint8_t>(code)), 1});
    return list;
  };
  auto join = [](std::vector<RowKey> a, const std::vector<RowKey>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };

  row(0, 0, join(join({{plain(0x29), 1}}, run(0x02, 0x0D)), {{plain(0x0E), 2}}));
  row(1, 0, join({{plain(0x0F), 1.5}}, run(0x10, 0x1B)));
  keys.push_back({.scan = plain(0x1C), .x = 13.5, .y = 1, .width = 1.5, .lowerX = 13.75, .lowerWidth = 1.25});
  row(2, 0, join(join({{plain(0x3A), 1.75}}, run(0x1E, 0x28)), {{plain(0x2B), 1}}));
  row(3, 0, join(join({{plain(0x2A), 1.25}, {plain(0x56), 1}}, run(0x2C, 0x35)), {{plain(0x36), 2.75}}));
  row(4, 0,
      {{plain(0x1D), 1.25}, {e0(0x5B), 1.25}, {plain(0x38), 1.25}, {plain(0x39), 6.25}, {e0(0x38), 1.25},
       {e0(0x5C), 1.25}, {e0(0x5D), 1.25}, {e0(0x1D), 1.25}});
  return keys;
}

}  // namespace

std::vector<Point> KeyPlace::Outline() const {
  if (!tall()) return {{x, y}, {x + width, y}, {x + width, y + 1}, {x, y + 1}};
  const double right = x + width;
  return {{x, y}, {right, y}, {right, y + 2}, {lowerX, y + 2}, {lowerX, y + 1}, {x, y + 1}};
}

const std::vector<KeyPlace>& MainBlock() {
  static const std::vector<KeyPlace> keys = Build();
  return keys;
}

}  // namespace layout_tools
