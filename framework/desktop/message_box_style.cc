#include "framework/desktop/message_box_style.h"

#include <wx/defs.h>

#include <algorithm>

#include "framework/message_box.h"

namespace framework {
namespace {

// wx's button for each of the type's buttons. wx lays its buttons out in
// the order No, Cancel, Yes (or Cancel, OK), so Abort/Retry/Ignore take the
// No, Cancel and Yes buttons to read left to right.
std::vector<WxBoxButton> ButtonsOf(UINT type, long* style) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      *style = wxOK | wxCANCEL;
      return {{wxID_OK, IDOK, nullptr}, {wxID_CANCEL, IDCANCEL, nullptr}};
    case MB_ABORTRETRYIGNORE:
      *style = wxYES_NO | wxCANCEL;
      return {{wxID_NO, IDABORT, "&Abort"},
              {wxID_CANCEL, IDRETRY, "&Retry"},
              {wxID_YES, IDIGNORE, "&Ignore"}};
    case MB_YESNOCANCEL:
      *style = wxYES_NO | wxCANCEL;
      return {{wxID_YES, IDYES, nullptr}, {wxID_NO, IDNO, nullptr}, {wxID_CANCEL, IDCANCEL, nullptr}};
    case MB_YESNO:
      *style = wxYES_NO;
      return {{wxID_YES, IDYES, nullptr}, {wxID_NO, IDNO, nullptr}};
    case MB_RETRYCANCEL:
      *style = wxOK | wxCANCEL;
      return {{wxID_OK, IDRETRY, "&Retry"}, {wxID_CANCEL, IDCANCEL, nullptr}};
    default:
      *style = wxOK;
      return {{wxID_OK, IDOK, nullptr}};
  }
}

long IconOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
      return wxICON_ERROR;
    case MB_ICONQUESTION:
      return wxICON_QUESTION;
    case MB_ICONEXCLAMATION:
      return wxICON_WARNING;
    case MB_ICONASTERISK:
      return wxICON_INFORMATION;
    default:
      return wxICON_NONE;
  }
}

long DefaultFlagOf(int wxId) {
  switch (wxId) {
    case wxID_NO:
      return wxNO_DEFAULT;
    case wxID_CANCEL:
      return wxCANCEL_DEFAULT;
    default:
      return 0;  // wxYES_DEFAULT and wxOK_DEFAULT are wx's defaults
  }
}

const WxBoxButton* ByResult(const std::vector<WxBoxButton>& buttons, int result) {
  auto it = std::find_if(buttons.begin(), buttons.end(),
                         [result](const WxBoxButton& b) { return b.result == result; });
  return it == buttons.end() ? nullptr : &*it;
}

}  // namespace

WxBoxStyle WxMessageBoxStyle(UINT type) {
  WxBoxStyle box;
  box.buttons = ButtonsOf(type, &box.style);
  box.style |= IconOf(type);
  const int defaultResult = MessageBoxButtons(type)[MessageBoxDefaultButton(type)].id;
  box.style |= DefaultFlagOf(ByResult(box.buttons, defaultResult)->wxId);
  const WxBoxButton* escape = ByResult(box.buttons, MessageBoxEscapeResult(type));
  box.escapeId = escape == nullptr ? wxID_NONE : escape->wxId;
  return box;
}

int MessageBoxResultOf(const WxBoxStyle& style, UINT type, int wxId) {
  for (const WxBoxButton& button : style.buttons) {
    if (button.wxId == wxId) return button.result;
  }
  if (const int escape = MessageBoxEscapeResult(type)) return escape;
  return MessageBoxButtons(type)[MessageBoxDefaultButton(type)].id;
}

}  // namespace framework
