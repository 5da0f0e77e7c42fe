#define NCURSES_WIDECHAR 1
#include "framework/terminal/terminal_ui.h"

#include <curses.h>

#include "framework/dialog_manager.h"
#include "framework/message_box.h"
#include "framework/window_system.h"

namespace framework {

// Holds the terminal for one dialog or box; the outermost gives it back,
// also when a handler throws.
class TerminalUi::Use {
 public:
  explicit Use(TerminalUi& ui) : ui_(ui) {
    if (ui_.depth_ == 0) ui_.session_.Start();
    ++ui_.depth_;
  }
  ~Use() {
    if (--ui_.depth_ == 0) ui_.session_.End();
  }
  Use(const Use&) = delete;
  Use& operator=(const Use&) = delete;

 private:
  TerminalUi& ui_;
};

namespace {

std::string ButtonText(HWND button) {
  const Window* window = LookupWindow(button);
  return window == nullptr ? "" : window->text;
}

std::string DialogHints(HWND dialog) {
  std::string hints = "Tab/Shift+Tab: move";
  if (HWND button = CurrentDefaultButton(dialog)) hints += "   Enter: " + ButtonText(button);
  return hints + "   Esc: cancel   F10 or Ctrl+Q: close";
}

std::string BoxHints(const BoxView& box) {
  const std::vector<MessageBoxButton> buttons = MessageBoxButtons(box.type);
  std::string hints = std::string("Enter: ") + buttons[box.focus].label;
  if (buttons.size() > 1) {
    hints += "   Tab: next button   ";
    for (size_t i = 0; i < buttons.size(); ++i) {
      hints += (i == 0 ? "" : "/") + std::string(1, buttons[i].label[0]);
    }
    hints += ": answer";
  }
  for (const MessageBoxButton& button : buttons) {
    if (button.id == MessageBoxEscapeResult(box.type)) hints += std::string("   Esc: ") + button.label;
  }
  return hints;
}

}  // namespace

void TerminalUi::Redraw() {
  erase();
  CursorSpot cursor;
  std::string hints;
  if (!dialogs_.empty()) {
    if (Window* dialog = LookupWindow(dialogs_.back())) {
      cursor = DrawDialog(*dialog, busy_);
      hints = DialogHints(dialog->handle);
    }
  }
  if (box_ != nullptr) {
    cursor = DrawMessageBox(*box_);
    hints = BoxHints(*box_);
  }
  DrawHints(busy_ && box_ == nullptr ? "Working..." : hints);
  if (cursor.shown && !busy_) {
    move(cursor.row, cursor.column);
    curs_set(1);
  } else {
    curs_set(0);
  }
  refresh();
}

int TerminalUi::MessageBox(HWND, const std::string& text, const std::string& caption,
                           UINT type) {
  Use use(*this);
  BoxView box{text, caption, type, MessageBoxDefaultButton(type)};
  const BoxView* outer = box_;
  box_ = &box;
  struct Restore {
    const BoxView*& box;
    const BoxView* outer;
    ~Restore() { box = outer; }
  } restore{box_, outer};

  const std::vector<MessageBoxButton> buttons = MessageBoxButtons(type);
  const int count = static_cast<int>(buttons.size());
  while (true) {
    Redraw();
    const TerminalInput input = session_.Read();
    switch (input.kind) {
      case TerminalInput::kKey:
        switch (input.key) {
          case Key::kEnter:
            return buttons[box.focus].id;
          case Key::kTab:
          case Key::kRight:
          case Key::kDown:
            box.focus = (box.focus + 1) % count;
            break;
          case Key::kBackTab:
          case Key::kLeft:
          case Key::kUp:
            box.focus = (box.focus + count - 1) % count;
            break;
          case Key::kEscape:
            if (int id = MessageBoxEscapeResult(type)) return id;
            break;
          default:
            break;
        }
        break;
      case TerminalInput::kText:
        if (input.text == " ") return buttons[box.focus].id;
        if (input.text.size() == 1) {
          if (int id = MessageBoxButtonForLetter(type, input.text[0])) return id;
        }
        break;
      case TerminalInput::kClose:
        if (int id = MessageBoxEscapeResult(type)) return id;
        break;
      case TerminalInput::kRedraw:
        clearok(curscr, TRUE);
        break;
      case TerminalInput::kNone:
        break;
    }
  }
}

void TerminalUi::RunModalLoop(HWND dialog) {
  Use use(*this);
  dialogs_.push_back(dialog);
  struct Pop {
    std::vector<HWND>& dialogs;
    ~Pop() { dialogs.pop_back(); }
  } pop{dialogs_};
  SendMessageA(dialog, WM_PAINT, 0, 0);
  const Window& window = *LookupWindow(dialog);
  while (!window.ended) {
    Redraw();
    const TerminalInput input = session_.Read();
    switch (input.kind) {
      case TerminalInput::kKey:
        PressKey(dialog, input.key);
        break;
      case TerminalInput::kText:
        TypeText(dialog, input.text);
        break;
      case TerminalInput::kClose:
        CloseDialog(dialog);
        break;
      case TerminalInput::kRedraw:
        clearok(curscr, TRUE);
        break;
      case TerminalInput::kNone:
        break;
    }
  }
}

void TerminalUi::ShowWaitCursor(bool shown) {
  busy_ = shown;
  if (session_.started()) Redraw();
}

}  // namespace framework
