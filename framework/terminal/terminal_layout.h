// Where a dialog lands in character cells: dialog units map to cells, 4 per
// column and 8 per row (right edges rounded down, others to the nearest), more when the screen is too small for that; the
// dialog is centred above the screen's last row, which holds the key hints.
#pragma once

#include "nt/win32.h"

namespace framework {

// Screen cells; right and bottom are exclusive.
struct CellRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const CellRect&, const CellRect&) = default;
};

struct DialogLayout {
  int unitsPerColumn = 4;
  int unitsPerRow = 8;
  CellRect frame;   // with the border; the caption is on its top line
  CellRect client;  // inside the border

  // The cells of a control's rectangle in dialog units; at least one cell.
  CellRect Control(const RECT& units) const;
};

DialogLayout LayOutDialog(int cx, int cy, int screenColumns, int screenRows);

}  // namespace framework
