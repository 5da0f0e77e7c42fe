// Where the keys of the main block of a 102-key (ISO) keyboard sit, in key
// units (1u is the width of a letter key), named by the scan codes they send.
#pragma once

#include <vector>

#include "nt/keyboard/translator.h"

namespace layout_tools {

struct Point {
  double x = 0;
  double y = 0;
};

struct KeyPlace {
  nt::kbd::ScanCode scan;
  double x = 0;  // left edge of the key's upper part
  double y = 0;  // top, in rows
  double width = 1;
  // The ISO Enter key reaches into the next row, narrower there.
  double lowerX = 0;
  double lowerWidth = 0;
  bool tall() const { return lowerWidth > 0; }
  // The outline, clockwise from the top left corner.
  std::vector<Point> Outline() const;
};

inline constexpr double kBoardWidth = 15;
inline constexpr int kBoardRows = 5;

// The keys of the main block, row by row from the digit row to the space bar.
const std::vector<KeyPlace>& MainBlock();

}  // namespace layout_tools
