#include "framework/message_box.h"

#include <algorithm>
#include <cctype>

namespace framework {

std::vector<MessageBoxButton> MessageBoxButtons(UINT type) {
  const MessageBoxButton ok{IDOK, "OK"}, cancel{IDCANCEL, "Cancel"}, abort{IDABORT, "Abort"},
      retry{IDRETRY, "Retry"}, ignore{IDIGNORE, "Ignore"}, yes{IDYES, "Yes"}, no{IDNO, "No"};
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {ok, cancel};
    case MB_ABORTRETRYIGNORE:
      return {abort, retry, ignore};
    case MB_YESNOCANCEL:
      return {yes, no, cancel};
    case MB_YESNO:
      return {yes, no};
    case MB_RETRYCANCEL:
      return {retry, cancel};
    default:
      return {ok};
  }
}

int MessageBoxDefaultButton(UINT type) {
  const int count = static_cast<int>(MessageBoxButtons(type).size());
  const int requested = static_cast<int>((type & MB_DEFMASK) >> 8);
  return requested < count ? requested : 0;
}

int MessageBoxEscapeResult(UINT type) {
  const std::vector<MessageBoxButton> buttons = MessageBoxButtons(type);
  const auto has = [&](int id) {
    return std::any_of(buttons.begin(), buttons.end(),
                       [id](const MessageBoxButton& b) { return b.id == id; });
  };
  if (has(IDCANCEL)) return IDCANCEL;
  if (has(IDNO)) return IDNO;
  if (buttons.size() == 1 && buttons[0].id == IDOK) return IDOK;
  return 0;
}

int MessageBoxButtonForLetter(UINT type, char letter) {
  const int wanted = std::toupper(static_cast<unsigned char>(letter));
  for (const MessageBoxButton& button : MessageBoxButtons(type)) {
    if (std::toupper(static_cast<unsigned char>(button.label[0])) == wanted) return button.id;
  }
  return 0;
}

const char* MessageBoxIconMark(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
      return "(X)";
    case MB_ICONQUESTION:
      return "(?)";
    case MB_ICONEXCLAMATION:
      return "(!)";
    case MB_ICONASTERISK:
      return "(i)";
    default:
      return "";
  }
}

}  // namespace framework
