#include "framework/terminal/terminal_layout.h"

#include <gtest/gtest.h>

#include "framework/backend_selection.h"

namespace {

using framework::CellRect;

TEST(TerminalLayout, InstallDialogOnAnEightyByTwentyFourScreen) {
  const framework::DialogLayout layout = framework::LayOutDialog(237, 151, 80, 24);
  EXPECT_EQ(layout.unitsPerColumn, 4);
  EXPECT_EQ(layout.unitsPerRow, 8);
  // 59 x 19 cells inside a border, centred above the hint row.
  EXPECT_EQ(layout.frame, (CellRect{9, 1, 70, 22}));
  EXPECT_EQ(layout.client, (CellRect{10, 2, 69, 21}));
  struct Row {
    const char* name;
    RECT units;
    CellRect cells;
  } rows[] = {
      {"Install", {180, 17, 230, 31}, {55, 4, 67, 6}},
      {"Exit", {180, 34, 230, 48}, {55, 6, 67, 8}},
      {"Directory field", {59, 120, 158, 134}, {25, 17, 49, 19}},
      {"list", {21, 29, 158, 110}, {15, 6, 49, 16}},
      {"group box, one column outside the list", {13, 11, 164, 140}, {13, 3, 51, 20}},
      {"a sliver still takes a cell", {0, 0, 1, 1}, {10, 2, 11, 3}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(layout.Control(row.units), row.cells);
  }
}

TEST(TerminalLayout, SmallScreenScalesTheDialogDown) {
  const framework::DialogLayout layout = framework::LayOutDialog(237, 151, 40, 12);
  EXPECT_EQ(layout.unitsPerColumn, 7);   // 237 units in 38 columns
  EXPECT_EQ(layout.unitsPerRow, 17);     // 151 units in 9 rows
  EXPECT_LE(layout.frame.right, 40);
  EXPECT_LE(layout.frame.bottom, 11) << "the last row holds the hints";
}

TEST(BackendSelection, DesktopThenTerminalThenNone) {
  struct Row {
    const char* name;
    framework::BackendEnvironment environment;
    framework::BackendKind expected;
  } rows[] = {
      {"display and desktop built", {.display = true, .desktopBuilt = true, .controllingTerminal = true},
       framework::BackendKind::kDesktop},
      {"display without desktop", {.display = true, .desktopBuilt = false, .controllingTerminal = true},
       framework::BackendKind::kTerminal},
      {"desktop built, no display", {.display = false, .desktopBuilt = true, .controllingTerminal = true},
       framework::BackendKind::kTerminal},
      {"display only", {.display = true, .desktopBuilt = false, .controllingTerminal = false},
       framework::BackendKind::kNone},
      {"nothing", {}, framework::BackendKind::kNone},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(framework::ChooseBackend(row.environment), row.expected);
  }
}

}  // namespace
