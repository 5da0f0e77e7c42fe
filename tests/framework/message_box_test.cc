#include "framework/message_box.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Row {
  const char* name;
  UINT type;
  std::string buttons;  // labels joined by '|'
  int defaultButton;
  int escape;
  const char* icon;
};

TEST(MessageBox, ButtonsDefaultsEscapeAndIconOfEachType) {
  const Row rows[] = {
      {"ok with error icon, foreground", MB_OK | MB_ICONERROR | MB_SETFOREGROUND, "OK", 0, IDOK,
       "(X)"},
      {"ok with exclamation", 0x30, "OK", 0, IDOK, "(!)"},
      {"ok with information", 64, "OK", 0, IDOK, "(i)"},
      {"yes/no question", 36, "Yes|No", 0, IDNO, "(?)"},
      {"yes/no, second default", MB_YESNO | MB_DEFBUTTON2, "Yes|No", 1, IDNO, ""},
      {"ok/cancel", MB_OKCANCEL, "OK|Cancel", 0, IDCANCEL, ""},
      {"yes/no/cancel", MB_YESNOCANCEL | MB_DEFBUTTON3, "Yes|No|Cancel", 2, IDCANCEL, ""},
      {"abort/retry/ignore has no escape", MB_ABORTRETRYIGNORE, "Abort|Retry|Ignore", 0, 0, ""},
      {"retry/cancel", MB_RETRYCANCEL, "Retry|Cancel", 0, IDCANCEL, ""},
      {"a default past the buttons is the first", MB_OK | MB_DEFBUTTON3, "OK", 0, IDOK, ""},
      {"an unknown type shows OK", 0x0E, "OK", 0, IDOK, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string labels;
    for (const auto& button : framework::MessageBoxButtons(row.type)) {
      labels += (labels.empty() ? "" : "|") + std::string(button.label);
    }
    EXPECT_EQ(labels, row.buttons);
    EXPECT_EQ(framework::MessageBoxDefaultButton(row.type), row.defaultButton);
    EXPECT_EQ(framework::MessageBoxEscapeResult(row.type), row.escape);
    EXPECT_STREQ(framework::MessageBoxIconMark(row.type), row.icon);
  }
}

TEST(MessageBox, FirstLetterOfAButtonAnswers) {
  EXPECT_EQ(framework::MessageBoxButtonForLetter(MB_YESNO, 'y'), IDYES);
  EXPECT_EQ(framework::MessageBoxButtonForLetter(MB_YESNO, 'N'), IDNO);
  EXPECT_EQ(framework::MessageBoxButtonForLetter(MB_YESNO, 'o'), 0);
  EXPECT_EQ(framework::MessageBoxButtonForLetter(MB_OK, 'O'), IDOK);
  EXPECT_EQ(framework::MessageBoxButtonForLetter(MB_RETRYCANCEL, 'c'), IDCANCEL);
}

}  // namespace
