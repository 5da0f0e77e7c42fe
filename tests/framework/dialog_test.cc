#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/scripted_ui.h"
#include "framework/window_system.h"
#include "nt/system.h"
#include "tests/framework/test_dialog.h"

namespace framework_test {
namespace {

using framework::BoxRecord;
using framework::Key;
using framework::ScriptedUi;
using testing::ElementsAre;

class DialogTest : public testing::Test {
 protected:
  ScriptedUi ui_;
  nt::ScopedServices services_{{.ui = &ui_}};
  TestDialog dialog_;
};

// The text of control `id` of the running dialog.
std::string TextOf(HWND dialog, int id) {
  return framework::LookupWindow(GetDlgItem(dialog, id))->text;
}

TEST_F(DialogTest, OpeningFillsControlsOnceThenRunsTheScript) {
  std::string seen;
  ui_.Do([&](HWND dialog) {
    seen = TextOf(dialog, kEdit);
    dialog_.log.push_back("script");
  });
  ui_.Escape();
  EXPECT_EQ(dialog_.DoModal(), IDCANCEL);
  EXPECT_THAT(dialog_.log, ElementsAre("init", "exchange fill", "init done", "script"));
  EXPECT_EQ(seen, "C:\\start");
  EXPECT_EQ(dialog_.m_edit.m_hWnd, nullptr) << "controls are detached when the dialog goes";
  EXPECT_EQ(dialog_.m_hWnd, nullptr);
}

TEST_F(DialogTest, TypedTextReachesMembersOnlyWhenReadBack) {
  CString fromField, member;
  dialog_.onGo = [&](TestDialog& d) {
    d.m_edit.GetWindowText(fromField);
    member = d.m_strText;
    d.UpdateData(TRUE);
  };
  ui_.Type(kEdit, "\\more").Click(kGo).Escape();
  dialog_.DoModal();
  EXPECT_EQ(fromField, "C:\\start\\more");
  EXPECT_EQ(member, "C:\\start") << "the field's text stays in the field until read";
  EXPECT_EQ(dialog_.m_strText, "C:\\start\\more");
}

TEST_F(DialogTest, ListKeepsItemsInInsertionOrderAndReportsItsSelection) {
  dialog_.items = {"Zulu", "alpha", "Mike"};
  std::vector<std::string> seen;
  dialog_.onGo = [&](TestDialog& d) {
    CString text;
    d.m_list.GetText(d.m_list.GetCurSel(), text);
    seen.push_back(std::to_string(d.m_list.GetCurSel()) + " " + text.str());
    d.m_list.GetText(7, text);
    seen.push_back("out of range: \"" + text.str() + "\"");
    seen.push_back("count " + std::to_string(d.m_list.GetCount()));
  };
  ui_.Click(kGo).Select(kList, "Mike").Click(kGo).Escape();
  dialog_.DoModal();
  EXPECT_THAT(seen, ElementsAre("0 Zulu", "out of range: \"\"", "count 3", "2 Mike",
                                "out of range: \"\"", "count 3"));
  EXPECT_THAT(dialog_.log, testing::Contains("selchange 2"));
}

TEST_F(DialogTest, EmptyListHasNoSelection) {
  dialog_.items = {};
  int selection = 0;
  int setResult = 0;
  dialog_.onGo = [&](TestDialog& d) {
    setResult = d.m_list.SetCurSel(0);
    selection = d.m_list.GetCurSel();
  };
  ui_.Click(kGo).Press(Key::kEscape);
  dialog_.DoModal();
  EXPECT_EQ(setResult, LB_ERR);
  EXPECT_EQ(selection, LB_ERR);
}

TEST_F(DialogTest, MessageBoxIsOwnedByTheDialogAndCaptionedWithTheAppName) {
  dialog_.onGo = [](TestDialog& d) {
    d.MessageBox("No caption");
    d.MessageBox("Own caption", "Information", MB_OK | MB_ICONEXCLAMATION);
  };
  HWND dialog = nullptr;
  ui_.Do([&](HWND d) { dialog = d; }).Enter().Escape();
  dialog_.DoModal();
  MessageBoxA(nullptr, "Start-up", "MV-Bx Installation", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  EXPECT_THAT(ui_.boxes(),
              ElementsAre(BoxRecord{dialog, "No caption", "framework_test", MB_OK},
                          BoxRecord{dialog, "Own caption", "Information", 0x30},
                          BoxRecord{nullptr, "Start-up", "MV-Bx Installation", 0x10010}));
}

TEST_F(DialogTest, BoxesWithoutAnAnswerGetTheirDefaultButton) {
  std::vector<int> results;
  dialog_.onGo = [&](TestDialog& d) {
    results.push_back(d.MessageBox("q1", "c", MB_YESNO | MB_ICONQUESTION));
    results.push_back(d.MessageBox("q2", "c", MB_YESNO | MB_DEFBUTTON2));
    results.push_back(d.MessageBox("q3", "c", MB_YESNO));
    results.push_back(d.MessageBox("q4", "c", MB_OKCANCEL));
  };
  ui_.Answer(IDNO).Click(kGo).Escape();
  dialog_.DoModal();
  EXPECT_THAT(results, ElementsAre(IDNO, IDNO, IDYES, IDOK));
  EXPECT_EQ(ui_.pending_answers(), 0u);
}

struct KeyRow {
  const char* name;
  std::vector<Key> keys = {};  // pressed after the dialog opened (focus on Go)
  std::vector<std::string> expected = {};  // the handler calls of the test dialog, after init
  INT_PTR result = 0;
};

TEST_F(DialogTest, EnterClicksTheDefaultButtonAndEscapeCancels) {
  const KeyRow rows[] = {
      {.name = "Enter on Go", .keys = {Key::kEnter, Key::kEscape}, .expected = {"go"},
       .result = IDCANCEL},
      {.name = "Enter on Exit", .keys = {Key::kTab, Key::kEnter}, .expected = {},
       .result = IDCANCEL},
      {.name = "Enter in the edit field clicks Go",
       .keys = {Key::kTab, Key::kTab, Key::kEnter, Key::kEscape}, .expected = {"go"},
       .result = IDCANCEL},
      {.name = "Enter in the list clicks Go",
       .keys = {Key::kBackTab, Key::kEnter, Key::kEscape}, .expected = {"go"},
       .result = IDCANCEL},
      {.name = "Escape anywhere", .keys = {Key::kTab, Key::kTab, Key::kEscape}, .expected = {},
       .result = IDCANCEL},
  };
  for (const KeyRow& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedUi ui;
    nt::ScopedServices services({.ui = &ui});
    TestDialog dialog;
    for (Key key : row.keys) ui.Press(key);
    EXPECT_EQ(dialog.DoModal(), row.result);
    std::vector<std::string> calls(dialog.log.begin() + 3, dialog.log.end());
    EXPECT_EQ(calls, row.expected);
    EXPECT_TRUE(ui.boxes().empty());
  }
}

TEST_F(DialogTest, CloseBoxAndExitEndTheDialogWithCancel) {
  ui_.Close();
  EXPECT_EQ(dialog_.DoModal(), IDCANCEL);
  EXPECT_THAT(dialog_.log, testing::Contains("syscommand")) << "the close box goes through WM_SYSCOMMAND";

  TestDialog again;
  ui_.Click(IDCANCEL);
  EXPECT_EQ(again.DoModal(), IDCANCEL);
}

TEST_F(DialogTest, TabFollowsTemplateOrderSkippingDisabledAndStaticControls) {
  std::vector<int> order;
  auto record = [&](HWND) { order.push_back(GetDlgCtrlID(GetFocus())); };
  ui_.Do(record);
  for (int i = 0; i < 4; ++i) ui_.Tab().Do(record);
  for (int i = 0; i < 2; ++i) ui_.Press(Key::kBackTab).Do(record);
  ui_.Escape();
  dialog_.DoModal();
  EXPECT_THAT(order, ElementsAre(kGo, IDCANCEL, kEdit, kList, kGo, kList, kEdit));
}

struct EditRow {
  const char* name;
  std::string start = {};
  std::vector<Key> keys = {};  // after focusing the field (caret at the end)
  std::string typed = {};
  std::string expected = {};
};

TEST_F(DialogTest, EditFieldKeys) {
  const EditRow rows[] = {
      {.name = "type at the end", .start = "C:", .keys = {}, .typed = "\\x", .expected = "C:\\x"},
      {.name = "home then type", .start = "bc", .keys = {Key::kHome}, .typed = "a",
       .expected = "abc"},
      {.name = "backspace", .start = "abc", .keys = {Key::kBackspace}, .typed = "",
       .expected = "ab"},
      {.name = "delete at the caret", .start = "abc", .keys = {Key::kHome, Key::kDelete},
       .typed = "", .expected = "bc"},
      {.name = "left then type", .start = "ac", .keys = {Key::kLeft}, .typed = "b",
       .expected = "abc"},
      {.name = "backspace takes a whole UTF-8 character", .start = "caf\xC3\xA9",
       .keys = {Key::kBackspace}, .typed = "", .expected = "caf"},
      {.name = "left steps over a whole UTF-8 character", .start = "\xC3\xA9t",
       .keys = {Key::kLeft, Key::kLeft, Key::kDelete}, .typed = "", .expected = "t"},
      {.name = "backspace at the start", .start = "a", .keys = {Key::kHome, Key::kBackspace},
       .typed = "", .expected = "a"},
      {.name = "control characters are not typed", .start = "", .keys = {},
       .typed = "a\tb\n", .expected = "ab"},
  };
  for (const EditRow& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedUi ui;
    nt::ScopedServices services({.ui = &ui});
    TestDialog dialog;
    dialog.m_strText = row.start.c_str();
    std::string text;
    ui.Focus(kEdit);
    for (Key key : row.keys) ui.Press(key);
    ui.Do([&](HWND d) {
      framework::TypeText(d, row.typed);
      text = TextOf(d, kEdit);
    });
    ui.Escape();
    dialog.DoModal();
    EXPECT_EQ(text, row.expected);
  }
}

struct ListRow {
  const char* name;
  int items = 0;
  std::vector<Key> keys = {};  // after focusing the list (first item selected)
  std::string typed = {};
  int selection = 0;
};

TEST_F(DialogTest, ListKeysMoveTheSelectionAndScroll) {
  const ListRow rows[] = {
      {.name = "down", .items = 5, .keys = {Key::kDown, Key::kDown}, .selection = 2},
      {.name = "up stops at the top", .items = 5, .keys = {Key::kUp}, .selection = 0},
      {.name = "end", .items = 30, .keys = {Key::kEnd}, .selection = 29},
      {.name = "down stops at the end", .items = 2, .keys = {Key::kDown, Key::kDown, Key::kDown},
       .selection = 1},
      {.name = "page down moves a page less one", .items = 30, .keys = {Key::kPageDown},
       .selection = 8},
      {.name = "home", .items = 30, .keys = {Key::kEnd, Key::kHome}, .selection = 0},
      {.name = "a letter selects the next item with it", .items = 12, .typed = "i",
       .selection = 8},
      {.name = "a letter wraps around", .items = 12, .keys = {Key::kEnd}, .typed = "b",
       .selection = 1},
  };
  for (const ListRow& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedUi ui;
    nt::ScopedServices services({.ui = &ui});
    TestDialog dialog;
    dialog.items.clear();
    for (int i = 0; i < row.items; ++i) dialog.items.push_back(std::string(1, 'a' + i) + "-item");
    int selection = -2, top = -2;
    ui.Focus(kList);
    for (Key key : row.keys) ui.Press(key);
    ui.Do([&](HWND d) {
      framework::TypeText(d, row.typed);
      selection = dialog.m_list.GetCurSel();
      top = dialog.m_list.GetTopIndex();
      (void)d;
    });
    ui.Escape();
    dialog.DoModal();
    EXPECT_EQ(selection, row.selection);
    // The dialog's list shows (81 - 2) / 8 = 9 items at once.
    EXPECT_LE(top, selection);
    EXPECT_GT(top + 9, selection) << "the selection is scrolled into view";
  }
}

TEST_F(DialogTest, WaitCursorNests) {
  dialog_.onGo = [](TestDialog& d) {
    d.BeginWaitCursor();
    d.BeginWaitCursor();
    d.EndWaitCursor();
    d.MessageBox("during");
    d.EndWaitCursor();
    d.EndWaitCursor();  // one too many changes nothing
    d.BeginWaitCursor();
    d.EndWaitCursor();
  };
  bool shownDuringBox = false;
  ui_.AnswerWith([&](const BoxRecord&) {
    shownDuringBox = ui_.wait_cursor_shown();
    return IDOK;
  });
  ui_.Click(kGo).Escape();
  dialog_.DoModal();
  EXPECT_TRUE(shownDuringBox);
  EXPECT_THAT(ui_.wait_cursor_changes(), ElementsAre(true, false, true, false));
  EXPECT_FALSE(ui_.wait_cursor_shown());
}

TEST_F(DialogTest, MinimisedDialogPaintsItsIconCentred) {
  const framework::Window* window = nullptr;
  std::vector<framework::PaintOp> painted;
  HCURSOR dragIcon = nullptr;
  ui_.Do([&](HWND d) { window = framework::LookupWindow(d); })
      .Minimize()
      .Do([&](HWND d) {
        painted = window->painted;
        dragIcon = reinterpret_cast<HCURSOR>(SendMessageA(d, WM_QUERYDRAGICON, 0, 0));
      })
      .Restore()
      .Escape();
  dialog_.DoModal();
  ASSERT_NE(dialog_.m_hIcon, nullptr);
  EXPECT_EQ(dragIcon, dialog_.m_hIcon);
  ASSERT_EQ(painted.size(), 2u);
  EXPECT_EQ(painted[0].kind, framework::PaintOp::kEraseIconBackground);
  EXPECT_EQ(painted[1].kind, framework::PaintOp::kDrawIcon);
  // 237 x 151 dialog units are 355 x 245 pixels.
  EXPECT_EQ(painted[1].x, (355 - 32 + 1) / 2);
  EXPECT_EQ(painted[1].y, (245 - 32 + 1) / 2);
  EXPECT_EQ(painted[1].icon, dialog_.m_hIcon);
}

TEST_F(DialogTest, CommandsRouteByControlAndNotification) {
  ui_.Do([](HWND d) {
    // Another notification from the Go button, and a click from another control.
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(kGo, EN_CHANGE), 0);
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(kLabel, BN_CLICKED), 0);
  });
  ui_.Click(kGo).Escape();
  dialog_.DoModal();
  EXPECT_EQ(std::count(dialog_.log.begin(), dialog_.log.end(), "go"), 1);
}

TEST_F(DialogTest, ScriptMistakesFailTheTestWithTheReason) {
  struct Row {
    const char* name;
    std::function<void(ScriptedUi&)> script;
    const char* message;
  };
  const Row rows[] = {
      {"script runs out", [](ScriptedUi&) {},
       "the script ended while dialog 900 (\"Test dialog\") was still open"},
      {"no such item", [](ScriptedUi& ui) { ui.Select(kList, "Omega"); },
       "list 13 has no item \"Omega\""},
      {"no such control", [](ScriptedUi& ui) { ui.Click(77); },
       "dialog 900 (\"Test dialog\") has no control 77"},
      {"disabled button", [](ScriptedUi& ui) { ui.Click(kDisabled); },
       "control 11 of dialog 900 (\"Test dialog\") is disabled"},
      {"typing into a list", [](ScriptedUi& ui) { ui.Type(kList, "x"); },
       "control 13 of dialog 900 (\"Test dialog\") is not an edit field"},
      {"an answer the box does not offer",
       [](ScriptedUi& ui) { ui.Answer(IDNO).Click(kGo); },
       "the scripted answer 7 is not a button of the box"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedUi ui;
    nt::ScopedServices services({.ui = &ui});
    TestDialog dialog;
    dialog.onGo = [](TestDialog& d) { d.MessageBox("only OK"); };
    row.script(ui);
    try {
      dialog.DoModal();
      ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& e) {
      EXPECT_THAT(e.what(), testing::StartsWith(row.message));
    }
    EXPECT_EQ(dialog.m_hWnd, nullptr) << "the window is gone after the exception";
  }
}

TEST_F(DialogTest, MissingTemplateFailsToOpen) {
  CDialog missing(4711);
  EXPECT_EQ(missing.DoModal(), -1);
}

}  // namespace
}  // namespace framework_test
