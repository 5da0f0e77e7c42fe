// Dialog templates as data: what a resource script's DIALOG statement holds.
// Every UI backend lays a dialog out from its template.
#pragma once

#include <span>

#include "nt/win32.h"

// Window classes of the controls a template may hold.
inline constexpr const char* kButtonClass = "BUTTON";
inline constexpr const char* kEditClass = "EDIT";
inline constexpr const char* kListBoxClass = "LISTBOX";
inline constexpr const char* kStaticClass = "STATIC";

// The control id of controls that are never addressed, such as a group box.
inline constexpr int IDC_STATIC = -1;

// One control. Coordinates are dialog units relative to the dialog's client
// area; `style` holds the control's WS_/BS_/ES_/LBS_/SS_ bits.
struct DialogItemTemplate {
  int id;
  const char* windowClass;
  const char* text;
  int x;
  int y;
  int cx;
  int cy;
  DWORD style;
};

// A dialog; `items` are in template order, which is also the Tab order.
struct DialogTemplate {
  UINT id;
  const char* caption;
  int cx;
  int cy;
  const char* fontName;
  int pointSize;
  DWORD style;
  std::span<const DialogItemTemplate> items;
};
