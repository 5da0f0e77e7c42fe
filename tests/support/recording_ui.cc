#include "tests/support/recording_ui.h"

#include <gtest/gtest.h>

namespace testing_support {

std::ostream& operator<<(std::ostream& out, const Box& box) {
  return out << "{owner=" << box.owner << ", text=\"" << box.text << "\", caption=\""
             << box.caption << "\", type=0x" << std::hex << box.type << std::dec << "}";
}

int RecordingUi::MessageBox(HWND owner, const std::string& text, const std::string& caption,
                            UINT type) {
  boxes_.push_back(Box{owner, text, caption, type});
  if (!answers_.empty()) {
    int id = answers_.front();
    answers_.pop_front();
    return id;
  }
  const UINT buttons = type & MB_TYPEMASK;
  return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
}

}  // namespace testing_support
