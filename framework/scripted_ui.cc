#include "framework/scripted_ui.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "framework/message_box.h"
#include "framework/window_system.h"

namespace framework {
namespace {

std::string Describe(HWND dialog) {
  const Window* window = LookupWindow(dialog);
  return "dialog " + std::to_string(window->id) + " (\"" + window->text + "\")";
}

Window& Control(HWND dialog, int id, ControlKind kind, const char* what) {
  Window* control = LookupWindow(GetDlgItem(dialog, id));
  if (control == nullptr) {
    throw std::logic_error(Describe(dialog) + " has no control " + std::to_string(id));
  }
  if (control->kind != kind) {
    throw std::logic_error("control " + std::to_string(id) + " of " + Describe(dialog) +
                           " is not " + what);
  }
  if (!control->enabled()) {
    throw std::logic_error("control " + std::to_string(id) + " of " + Describe(dialog) +
                           " is disabled");
  }
  return *control;
}

Window& Edit(HWND dialog, int id) {
  Window& edit = Control(dialog, id, ControlKind::kEdit, "an edit field");
  SetFocus(edit.handle);
  return edit;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const BoxRecord& box) {
  return out << "{owner=" << box.owner << ", text=\"" << box.text << "\", caption=\""
             << box.caption << "\", type=0x" << std::hex << box.type << std::dec << "}";
}

ScriptedUi& ScriptedUi::Select(int listId, int index) {
  return Do([=](HWND dialog) {
    Window& list = Control(dialog, listId, ControlKind::kListBox, "a list box");
    if (index < 0 || index >= static_cast<int>(list.items.size())) {
      throw std::logic_error("list " + std::to_string(listId) + " has no item " +
                             std::to_string(index));
    }
    ClickListItem(list.handle, index);
  });
}

ScriptedUi& ScriptedUi::Select(int listId, const std::string& item) {
  return Do([=](HWND dialog) {
    Window& list = Control(dialog, listId, ControlKind::kListBox, "a list box");
    auto it = std::find(list.items.begin(), list.items.end(), item);
    if (it == list.items.end()) {
      throw std::logic_error("list " + std::to_string(listId) + " has no item \"" + item + "\"");
    }
    ClickListItem(list.handle, static_cast<int>(it - list.items.begin()));
  });
}

ScriptedUi& ScriptedUi::Type(int editId, const std::string& text) {
  return Do([=](HWND dialog) {
    Window& edit = Edit(dialog, editId);
    edit.caret = edit.text.size();
    TypeText(dialog, text);
  });
}

ScriptedUi& ScriptedUi::SetText(int editId, const std::string& text) {
  return Do([=](HWND dialog) {
    Window& edit = Edit(dialog, editId);
    edit.text.clear();
    edit.caret = 0;
    if (text.empty()) {
      NotifyParent(edit, EN_CHANGE);
    } else {
      TypeText(dialog, text);
    }
  });
}

ScriptedUi& ScriptedUi::Click(int buttonId) {
  return Do([=](HWND dialog) {
    ClickButton(Control(dialog, buttonId, ControlKind::kPushButton, "a push button").handle);
  });
}

ScriptedUi& ScriptedUi::Focus(int id) {
  return Do([=](HWND dialog) {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) {
      throw std::logic_error(Describe(dialog) + " has no control " + std::to_string(id));
    }
    SetFocus(control);
  });
}

ScriptedUi& ScriptedUi::Press(Key key) {
  return Do([=](HWND dialog) { PressKey(dialog, key); });
}

ScriptedUi& ScriptedUi::Close() {
  return Do([](HWND dialog) { CloseDialog(dialog); });
}

ScriptedUi& ScriptedUi::Minimize() {
  return Do([](HWND dialog) { SendMessageA(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0); });
}

ScriptedUi& ScriptedUi::Restore() {
  return Do([](HWND dialog) { SendMessageA(dialog, WM_SYSCOMMAND, SC_RESTORE, 0); });
}

ScriptedUi& ScriptedUi::Do(Action action) {
  actions_.push_back(std::move(action));
  return *this;
}

ScriptedUi& ScriptedUi::Answer(int id) {
  return AnswerWith([id](const BoxRecord&) { return id; });
}

ScriptedUi& ScriptedUi::AnswerWith(std::function<int(const BoxRecord&)> answer) {
  answers_.push_back(std::move(answer));
  return *this;
}

int ScriptedUi::MessageBox(HWND owner, const std::string& text, const std::string& caption,
                           UINT type) {
  boxes_.push_back(BoxRecord{owner, text, caption, type});
  const std::vector<MessageBoxButton> buttons = MessageBoxButtons(type);
  if (answers_.empty()) return buttons[MessageBoxDefaultButton(type)].id;
  auto answer = std::move(answers_.front());
  answers_.pop_front();
  const int id = answer(boxes_.back());
  if (std::none_of(buttons.begin(), buttons.end(),
                   [id](const MessageBoxButton& b) { return b.id == id; })) {
    std::ostringstream box;
    box << boxes_.back();
    throw std::logic_error("the scripted answer " + std::to_string(id) +
                           " is not a button of the box " + box.str());
  }
  return id;
}

void ScriptedUi::RunModalLoop(HWND dialog) {
  running_.push_back(dialog);
  struct Pop {
    std::vector<HWND>& running;
    ~Pop() { running.pop_back(); }
  } pop{running_};
  const Window& window = *LookupWindow(dialog);
  while (!window.ended) {
    if (actions_.empty()) {
      throw std::logic_error("the script ended while " + Describe(dialog) + " was still open");
    }
    Action action = std::move(actions_.front());
    actions_.pop_front();
    action(dialog);
  }
}

void ScriptedUi::ShowWaitCursor(bool shown) {
  wait_cursor_shown_ = shown;
  wait_cursor_changes_.push_back(shown);
}

}  // namespace framework
