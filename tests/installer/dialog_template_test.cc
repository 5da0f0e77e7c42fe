#include "installer/dialog/dialog_template.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "framework/cwinapp.h"
#include "installer/dialog/resource.h"

namespace {

struct ControlRow {
  int id;
  const char* windowClass;
  const char* text;
  int x, y, cx, cy;
  DWORD required;   // style bits that must be set
  DWORD forbidden;  // style bits that must be clear
};

TEST(InstallDialogTemplate, HoldsTheDialogAndItsControlsInTabOrder) {
  const DialogTemplate* dialog = framework::FindDialogTemplate(IDD_INSTALL_DIALOG);
  ASSERT_EQ(dialog, &kInstallDialogTemplate);
  EXPECT_EQ(dialog->id, 102u);
  EXPECT_STREQ(dialog->caption, "Keyboards Installation");
  EXPECT_EQ(dialog->cx, 237);
  EXPECT_EQ(dialog->cy, 151);
  EXPECT_STREQ(dialog->fontName, "MS Sans Serif");
  EXPECT_EQ(dialog->pointSize, 8);
  const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  EXPECT_EQ(dialog->style & frame, frame);
  EXPECT_EQ(dialog->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);

  const ControlRow rows[] = {
      {1010, "BUTTON", "Install", 180, 17, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, WS_DISABLED},
      {IDCANCEL, "BUTTON", "Exit", 180, 34, 50, 14, WS_TABSTOP, BS_TYPEMASK | WS_DISABLED},
      {1008, "EDIT", "", 59, 120, 99, 14, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP,
       ES_READONLY | ES_MULTILINE | WS_DISABLED},
      {1009, "LISTBOX", "", 21, 29, 137, 81,
       WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP,
       LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL | WS_DISABLED},
      {1012, "STATIC", "Directory", 23, 122, 29, 8, WS_GROUP, 0x3u /* SS_CENTER, SS_RIGHT */},
      {-1, "BUTTON", "List of langages", 13, 11, 151, 129, BS_GROUPBOX, WS_TABSTOP},
  };
  ASSERT_EQ(dialog->items.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    const ControlRow& row = rows[i];
    const DialogItemTemplate& item = dialog->items[i];
    SCOPED_TRACE(row.text);
    EXPECT_EQ(item.id, row.id);
    EXPECT_STREQ(item.windowClass, row.windowClass);
    EXPECT_STREQ(item.text, row.text);
    EXPECT_EQ(item.x, row.x);
    EXPECT_EQ(item.y, row.y);
    EXPECT_EQ(item.cx, row.cx);
    EXPECT_EQ(item.cy, row.cy);
    EXPECT_EQ(item.style & row.required, row.required);
    EXPECT_EQ(item.style & row.forbidden, 0u);
    EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
  }
  EXPECT_EQ(IDC_DIRECTORY, 1008);
  EXPECT_EQ(IDC_KEYBOARD_LIST, 1009);
  EXPECT_EQ(IDC_INSTALL, 1010);
  EXPECT_EQ(IDC_DIRECTORY_LABEL, 1012);
}

TEST(InstallDialogTemplate, IconHoldsA32And16PixelImageOf16ColoursAtMost) {
  CWinApp app;
  HICON icon = app.LoadIcon(IDR_MAINFRAME);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(IDR_MAINFRAME, 128);
  const framework::IconResource* resource = framework::IconFromHandle(icon);
  ASSERT_EQ(resource->images.size(), 2u);
  for (const framework::IconImage& image : resource->images) {
    SCOPED_TRACE(image.width);
    int width = 0, height = 0, colours = 0, perPixel = 0;
    ASSERT_EQ(std::sscanf(image.xpm[0], "%d %d %d %d", &width, &height, &colours, &perPixel), 4);
    EXPECT_EQ(width, image.width);
    EXPECT_EQ(height, image.height);
    EXPECT_LE(colours, 17) << "16 colours and the transparent one";
    EXPECT_EQ(perPixel, 1);
    std::string codes;
    for (int c = 0; c < colours; ++c) codes += image.xpm[1 + c][0];
    for (int y = 0; y < height; ++y) {
      const std::string row = image.xpm[1 + colours + y];
      ASSERT_EQ(static_cast<int>(row.size()), width) << "row " << y;
      EXPECT_EQ(row.find_first_not_of(codes), std::string::npos) << "row " << y;
    }
  }
  EXPECT_EQ(app.LoadIcon(129u), nullptr);
}

}  // namespace
