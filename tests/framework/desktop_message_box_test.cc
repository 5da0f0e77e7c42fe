// The message boxes of the desktop backend: which wx message dialog shows
// each MB_ type and what each of its answers returns.
#include "framework/desktop/message_box_style.h"

#include <gtest/gtest.h>
#include <wx/defs.h>

#include <string>
#include <vector>

namespace {

struct Answer {
  int wxId;
  int result;
  std::string label;  // "" for wx's own

  friend bool operator==(const Answer&, const Answer&) = default;
};

std::vector<Answer> AnswersOf(const framework::WxBoxStyle& style) {
  std::vector<Answer> answers;
  for (const framework::WxBoxButton& button : style.buttons) {
    answers.push_back({button.wxId, button.result, button.label == nullptr ? "" : button.label});
  }
  return answers;
}

struct Row {
  const char* name;
  UINT type;
  long style;
  std::vector<Answer> answers;
  int escapeId;
};

TEST(DesktopMessageBox, StyleAndAnswersOfEachType) {
  const Row rows[] = {
      {.name = "start-up error, brought to the front",
       .type = MB_OK | MB_ICONERROR | MB_SETFOREGROUND,
       .style = wxOK | wxICON_ERROR,
       .answers = {{wxID_OK, IDOK, ""}},
       .escapeId = wxID_OK},
      {.name = "overwrite question",
       .type = MB_YESNO | MB_ICONQUESTION,
       .style = wxYES_NO | wxICON_QUESTION,
       .answers = {{wxID_YES, IDYES, ""}, {wxID_NO, IDNO, ""}},
       .escapeId = wxID_NO},
      {.name = "success",
       .type = MB_OK | MB_ICONINFORMATION,
       .style = wxOK | wxICON_INFORMATION,
       .answers = {{wxID_OK, IDOK, ""}},
       .escapeId = wxID_OK},
      {.name = "failure",
       .type = MB_OK | MB_ICONEXCLAMATION,
       .style = wxOK | wxICON_WARNING,
       .answers = {{wxID_OK, IDOK, ""}},
       .escapeId = wxID_OK},
      {.name = "yes/no with No the default, no icon",
       .type = MB_YESNO | MB_DEFBUTTON2,
       .style = wxYES_NO | wxNO_DEFAULT | wxICON_NONE,
       .answers = {{wxID_YES, IDYES, ""}, {wxID_NO, IDNO, ""}},
       .escapeId = wxID_NO},
      {.name = "ok/cancel with Cancel the default",
       .type = MB_OKCANCEL | MB_DEFBUTTON2,
       .style = wxOK | wxCANCEL | wxCANCEL_DEFAULT | wxICON_NONE,
       .answers = {{wxID_OK, IDOK, ""}, {wxID_CANCEL, IDCANCEL, ""}},
       .escapeId = wxID_CANCEL},
      {.name = "yes/no/cancel with Cancel the default",
       .type = MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_ICONEXCLAMATION,
       .style = wxYES_NO | wxCANCEL | wxCANCEL_DEFAULT | wxICON_WARNING,
       .answers = {{wxID_YES, IDYES, ""}, {wxID_NO, IDNO, ""}, {wxID_CANCEL, IDCANCEL, ""}},
       .escapeId = wxID_CANCEL},
      {.name = "abort/retry/ignore on wx's No, Cancel and Yes; Escape does nothing",
       .type = MB_ABORTRETRYIGNORE | MB_ICONHAND,
       .style = wxYES_NO | wxCANCEL | wxNO_DEFAULT | wxICON_ERROR,
       .answers = {{wxID_NO, IDABORT, "&Abort"},
                   {wxID_CANCEL, IDRETRY, "&Retry"},
                   {wxID_YES, IDIGNORE, "&Ignore"}},
       .escapeId = wxID_NONE},
      {.name = "retry/cancel on wx's OK and Cancel",
       .type = MB_RETRYCANCEL,
       .style = wxOK | wxCANCEL | wxICON_NONE,
       .answers = {{wxID_OK, IDRETRY, "&Retry"}, {wxID_CANCEL, IDCANCEL, ""}},
       .escapeId = wxID_CANCEL},
      {.name = "an unknown type shows OK",
       .type = 0x0E,
       .style = wxOK | wxICON_NONE,
       .answers = {{wxID_OK, IDOK, ""}},
       .escapeId = wxID_OK},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const framework::WxBoxStyle style = framework::WxMessageBoxStyle(row.type);
    EXPECT_EQ(style.style, row.style);
    EXPECT_EQ(AnswersOf(style), row.answers);
    EXPECT_EQ(style.escapeId, row.escapeId);
    for (const Answer& answer : row.answers) {
      EXPECT_EQ(framework::MessageBoxResultOf(style, row.type, answer.wxId), answer.result);
    }
  }
}

// wx answers wxID_CANCEL for a box closed some other way; a box without
// Cancel then gives what Escape gives, or its default button.
TEST(DesktopMessageBox, AnAnswerTheBoxDoesNotOfferIsTheEscapeResult) {
  const struct {
    const char* name;
    UINT type;
    int result;
  } rows[] = {
      {"yes/no", MB_YESNO | MB_ICONQUESTION, IDNO},
      {"ok", MB_OK, IDOK},
      {"abort/retry/ignore: the default", MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const framework::WxBoxStyle style = framework::WxMessageBoxStyle(row.type);
    EXPECT_EQ(framework::MessageBoxResultOf(style, row.type, wxID_CLOSE), row.result);
  }
}

}  // namespace
