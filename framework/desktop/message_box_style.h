// How the desktop backend shows a message box of an MB_ type with
// wxWidgets' message dialog: its style, the buttons it offers and which
// ID... result each of them stands for. Types whose buttons wx does not
// have (Abort/Retry/Ignore, Retry/Cancel) relabel wx's buttons.
#pragma once

#include <vector>

#include "nt/win32.h"

namespace framework {

struct WxBoxButton {
  int wxId;           // wxID_OK, wxID_YES, wxID_NO or wxID_CANCEL
  int result;         // IDOK, IDYES, ...
  const char* label;  // null: wx's own label for wxId
};

struct WxBoxStyle {
  long style = 0;  // wxOK / wxYES_NO / wxCANCEL, the wx..._DEFAULT flag, one wxICON_...
  std::vector<WxBoxButton> buttons;
  int escapeId = 0;  // the wx id that Escape and the close box answer; wxID_NONE: neither works
};

WxBoxStyle WxMessageBoxStyle(UINT type);
// The ID... result of the wx answer `wxId`; the Escape result (or the
// default button) for an answer the box does not offer.
int MessageBoxResultOf(const WxBoxStyle& style, UINT type, int wxId);

}  // namespace framework
