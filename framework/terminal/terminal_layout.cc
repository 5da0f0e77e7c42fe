#include "framework/terminal/terminal_layout.h"

#include <algorithm>

namespace framework {
namespace {

int Round(int units, int perCell) { return (units + perCell / 2) / perCell; }
int CeilDiv(int a, int b) { return (a + b - 1) / b; }

}  // namespace

CellRect DialogLayout::Control(const RECT& units) const {
  CellRect cells{client.left + Round(units.left, unitsPerColumn),
                 client.top + Round(units.top, unitsPerRow),
                 // Right edges round down, so that a control keeps a column
                 // between itself and a frame around it (list, group box).
                 client.left + units.right / unitsPerColumn,
                 client.top + Round(units.bottom, unitsPerRow)};
  cells.right = std::max(cells.right, cells.left + 1);
  cells.bottom = std::max(cells.bottom, cells.top + 1);
  return cells;
}

DialogLayout LayOutDialog(int cx, int cy, int screenColumns, int screenRows) {
  DialogLayout layout;
  // Two columns of border; two rows of border and the hint row.
  const int columns = std::max(1, screenColumns - 2);
  const int rows = std::max(1, screenRows - 3);
  layout.unitsPerColumn = std::max(4, CeilDiv(cx, columns));
  layout.unitsPerRow = std::max(8, CeilDiv(cy, rows));
  const int width = std::max(1, Round(cx, layout.unitsPerColumn));
  const int height = std::max(1, Round(cy, layout.unitsPerRow));
  const int left = std::max(0, (screenColumns - width - 2) / 2);
  const int top = std::max(0, (screenRows - 1 - height - 2) / 2);
  layout.frame = CellRect{left, top, left + width + 2, top + height + 2};
  layout.client = CellRect{left + 1, top + 1, left + 1 + width, top + 1 + height};
  return layout;
}

}  // namespace framework
