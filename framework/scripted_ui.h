// The scripted backend, for tests: a script of user actions runs in each
// dialog's modal loop, message boxes are answered from a script, and every
// box and every change of the wait cursor is recorded.
//
//   framework::ScriptedUi ui;
//   nt::ScopedServices services({.ui = &ui});
//   ui.Select(IDC_KEYBOARD_LIST, "Greek").Click(IDC_INSTALL).Escape();
//   ui.Answer(IDNO);                    // to the first box the Install shows
//   EXPECT_EQ(dialog.DoModal(), IDCANCEL);
//   EXPECT_EQ(ui.boxes(), (std::vector<framework::BoxRecord>{{dialog.m_hWnd, ...}}));
//
// Each action runs the dialog's handlers to their end before the next one.
// A script that names a control, item or answer the dialog or box does not
// have, or that runs out while a dialog is still open, throws
// std::logic_error out of DoModal, so the test fails with the reason.
#pragma once

#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "framework/dialog_manager.h"
#include "framework/ui_backend.h"

namespace framework {

struct BoxRecord {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;

  friend bool operator==(const BoxRecord&, const BoxRecord&) = default;
  friend std::ostream& operator<<(std::ostream& out, const BoxRecord& box);
};

class ScriptedUi : public UiBackend {
 public:
  using Action = std::function<void(HWND dialog)>;

  // User actions; controls are named by their ids.
  ScriptedUi& Select(int listId, int index);             // click the item
  ScriptedUi& Select(int listId, const std::string& item);
  ScriptedUi& Type(int editId, const std::string& text);  // click the field's end, type
  ScriptedUi& SetText(int editId, const std::string& text);  // replace all of it
  ScriptedUi& Click(int buttonId);
  ScriptedUi& Focus(int id);
  ScriptedUi& Press(Key key);
  ScriptedUi& Tab() { return Press(Key::kTab); }
  ScriptedUi& Enter() { return Press(Key::kEnter); }
  ScriptedUi& Escape() { return Press(Key::kEscape); }
  ScriptedUi& Close();     // the close box of the title bar
  ScriptedUi& Minimize();  // through the system menu
  ScriptedUi& Restore();
  ScriptedUi& Do(Action action);

  // Answers to the message boxes, in order. A box without an answer left
  // gets its default button, as Enter would give it.
  ScriptedUi& Answer(int id);
  ScriptedUi& AnswerWith(std::function<int(const BoxRecord&)> answer);

  const std::vector<BoxRecord>& boxes() const { return boxes_; }
  void ClearBoxes() { boxes_.clear(); }
  size_t pending_actions() const { return actions_.size(); }
  size_t pending_answers() const { return answers_.size(); }
  bool wait_cursor_shown() const { return wait_cursor_shown_; }
  // Every appearance (true) and disappearance (false) of the wait cursor.
  const std::vector<bool>& wait_cursor_changes() const { return wait_cursor_changes_; }
  // The dialog whose loop runs now; null outside every loop.
  HWND dialog() const { return running_.empty() ? nullptr : running_.back(); }

  int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override;
  void RunModalLoop(HWND dialog) override;
  void ShowWaitCursor(bool shown) override;

 private:
  std::deque<Action> actions_;
  std::deque<std::function<int(const BoxRecord&)>> answers_;
  std::vector<BoxRecord> boxes_;
  std::vector<HWND> running_;
  bool wait_cursor_shown_ = false;
  std::vector<bool> wait_cursor_changes_;
};

}  // namespace framework
