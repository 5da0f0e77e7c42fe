#define NCURSES_WIDECHAR 1
#include "framework/terminal/terminal_draw.h"

#include <curses.h>

#include <algorithm>
#include <cwchar>
#include <string_view>
#include <vector>

#include "framework/dialog_manager.h"
#include "framework/message_box.h"
#include "framework/terminal/terminal_layout.h"

namespace framework {
namespace {

// One character of UTF-8 text: what it shows, where its bytes start, its width.
struct Glyph {
  wchar_t ch;
  size_t offset;
  int width;
};

std::vector<Glyph> Decode(std::string_view text) {
  std::vector<Glyph> glyphs;
  std::mbstate_t state{};
  size_t at = 0;
  while (at < text.size()) {
    wchar_t ch = 0;
    size_t n = std::mbrtowc(&ch, text.data() + at, text.size() - at, &state);
    if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2) || n == 0) {
      // Bytes the locale cannot show stand as one '?' each.
      ch = L'?';
      n = 1;
      state = std::mbstate_t{};
    }
    const int width = wcwidth(ch);
    glyphs.push_back(Glyph{ch, at, width < 1 ? 1 : width});
    at += n;
  }
  return glyphs;
}

int Width(std::string_view text) {
  int width = 0;
  for (const Glyph& g : Decode(text)) width += g.width;
  return width;
}

// Puts the glyphs at (row, column), at most `columns` cells and never past
// the screen's edge; returns the cells used.
int PutGlyphs(int row, int column, const std::vector<Glyph>& glyphs, size_t first, int columns,
              attr_t attr = A_NORMAL) {
  columns = std::min(columns, COLS - column);
  if (row < 0 || row >= LINES || column < 0 || columns <= 0) return 0;
  std::wstring shown;
  int used = 0;
  for (size_t i = first; i < glyphs.size() && used + glyphs[i].width <= columns; ++i) {
    shown += glyphs[i].ch;
    used += glyphs[i].width;
  }
  attron(attr);
  mvaddnwstr(row, column, shown.c_str(), static_cast<int>(shown.size()));
  attroff(attr);
  return used;
}

int PutText(int row, int column, std::string_view text, int columns, attr_t attr = A_NORMAL) {
  return PutGlyphs(row, column, Decode(text), 0, columns, attr);
}

void Fill(const CellRect& r, attr_t attr = A_NORMAL) {
  attron(attr);
  for (int row = std::max(0, r.top); row < std::min(r.bottom, LINES); ++row) {
    for (int col = std::max(0, r.left); col < std::min(r.right, COLS); ++col) {
      mvaddch(row, col, ' ');
    }
  }
  attroff(attr);
}

void Frame(const CellRect& r, attr_t attr = A_NORMAL) {
  if (r.width() < 2 || r.height() < 2) return;
  attron(attr);
  mvhline(r.top, r.left + 1, ACS_HLINE, r.width() - 2);
  mvhline(r.bottom - 1, r.left + 1, ACS_HLINE, r.width() - 2);
  mvvline(r.top + 1, r.left, ACS_VLINE, r.height() - 2);
  mvvline(r.top + 1, r.right - 1, ACS_VLINE, r.height() - 2);
  mvaddch(r.top, r.left, ACS_ULCORNER);
  mvaddch(r.top, r.right - 1, ACS_URCORNER);
  mvaddch(r.bottom - 1, r.left, ACS_LLCORNER);
  mvaddch(r.bottom - 1, r.right - 1, ACS_LRCORNER);
  attroff(attr);
}

int Middle(const CellRect& r) { return r.top + (r.height() - 1) / 2; }

CursorSpot DrawButton(const Window& button, const CellRect& r, bool focused, bool isDefault) {
  const std::string label =
      isDefault ? "[<" + button.text + ">]" : "[ " + button.text + " ]";
  const int width = std::min(Width(label), r.width());
  const int column = r.left + (r.width() - width) / 2;
  attr_t attr = focused ? A_REVERSE : A_NORMAL;
  if (!button.enabled()) attr |= A_DIM;
  PutText(Middle(r), column, label, r.width(), attr);
  return CursorSpot{focused, Middle(r), column + 2};
}

CursorSpot DrawEdit(Window& edit, const CellRect& r, bool focused) {
  const int row = Middle(r);
  CellRect inner = r;
  if (r.width() >= 3) {
    PutText(row, r.left, "[", 1);
    PutText(row, r.right - 1, "]", 1);
    inner = CellRect{r.left + 1, r.top, r.right - 1, r.bottom};
  }
  Fill(CellRect{inner.left, row, inner.right, row + 1}, A_UNDERLINE);
  const std::vector<Glyph> glyphs = Decode(edit.text);
  // Index of the glyph at a byte offset (the end for the end).
  const auto indexAt = [&](size_t offset) {
    return static_cast<size_t>(
        std::find_if(glyphs.begin(), glyphs.end(), [&](const Glyph& g) { return g.offset >= offset; }) -
        glyphs.begin());
  };
  const size_t caret = indexAt(std::min(edit.caret, edit.text.size()));
  size_t first = std::min(indexAt(edit.scroll), caret);
  // Scroll right until the caret, and one cell after it, fit.
  const auto cellsBetween = [&](size_t from, size_t to) {
    int cells = 0;
    for (size_t i = from; i < to; ++i) cells += glyphs[i].width;
    return cells;
  };
  while (first < caret && cellsBetween(first, caret) + 1 > inner.width()) ++first;
  edit.scroll = first < glyphs.size() ? glyphs[first].offset : edit.text.size();
  PutGlyphs(row, inner.left, glyphs, first, inner.width(), A_UNDERLINE);
  return CursorSpot{focused, row, inner.left + cellsBetween(first, caret)};
}

CursorSpot DrawList(Window& list, const CellRect& r, bool focused) {
  CellRect inner = r;
  if ((list.style & WS_BORDER) && r.width() >= 3 && r.height() >= 3) {
    Frame(r);
    inner = CellRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  }
  const int count = static_cast<int>(list.items.size());
  const int rows = std::max(1, inner.height());
  list.pageRows = rows;
  if (list.selection >= 0) {
    if (list.selection < list.top) list.top = list.selection;
    if (list.selection >= list.top + rows) list.top = list.selection - rows + 1;
  }
  list.top = std::clamp(list.top, 0, std::max(0, count - rows));
  int textWidth = inner.width();
  if (count > rows && (list.style & WS_VSCROLL) && inner.width() >= 2) {
    // A scroll bar: arrows at the ends, the thumb where the shown items are.
    const int bar = inner.right - 1;
    textWidth -= 1;
    mvvline(inner.top, bar, ACS_CKBOARD, rows);
    mvaddch(inner.top, bar, ACS_UARROW);
    mvaddch(inner.bottom - 1, bar, ACS_DARROW);
    if (rows > 2) {
      const int track = rows - 2;
      const int thumb = inner.top + 1 + list.top * (track - 1) / std::max(1, count - rows);
      mvaddch(thumb, bar, ACS_BLOCK);
    }
  }
  for (int i = 0; i < rows && list.top + i < count; ++i) {
    const int index = list.top + i;
    const bool selected = index == list.selection;
    if (selected) Fill(CellRect{inner.left, inner.top + i, inner.left + textWidth, inner.top + i + 1}, A_REVERSE);
    PutText(inner.top + i, inner.left, list.items[index], textWidth,
            selected ? A_REVERSE : A_NORMAL);
  }
  const int caretRow = list.selection >= 0 ? list.selection - list.top : 0;
  return CursorSpot{focused, inner.top + std::clamp(caretRow, 0, rows - 1), inner.left};
}

}  // namespace

CursorSpot DrawDialog(Window& dialog, bool busy) {
  const DialogLayout layout = LayOutDialog(dialog.rect.right, dialog.rect.bottom, COLS, LINES);
  if (layout.client.width() < 8 || layout.client.height() < 3 || layout.frame.right > COLS ||
      layout.frame.bottom > LINES) {
    PutText(0, 0, "The terminal is too small for the dialog \"" + dialog.text + "\".", COLS);
    return {};
  }
  Fill(layout.frame);
  Frame(layout.frame);
  const CellRect& frame = layout.frame;
  const std::string closeMark = " F10 [x] ";
  const int captionRoom = frame.width() - 4 - Width(closeMark);
  int column = frame.left + 2;
  column += PutText(frame.top, column, " " + dialog.text + " ", captionRoom, A_BOLD);
  if (busy) PutText(frame.top, column + 1, " Working... ", frame.left + 2 + captionRoom - column - 1, A_REVERSE);
  PutText(frame.top, frame.right - 1 - Width(closeMark), closeMark, Width(closeMark));

  HWND defaultButton = CurrentDefaultButton(dialog.handle);
  CursorSpot cursor;
  // Group boxes first, then labels, then the rest over them.
  const auto pass = [&](auto wanted) {
    for (HWND handle : dialog.controls) {
      Window& control = *LookupWindow(handle);
      if (!wanted(control.kind)) continue;
      const CellRect r = layout.Control(control.rect);
      const bool focused = handle == dialog.focus;
      CursorSpot spot;
      switch (control.kind) {
        case ControlKind::kGroupBox:
          Frame(r);
          PutText(r.top, r.left + 2, control.text, r.width() - 4);
          break;
        case ControlKind::kStatic:
          PutText(r.top, r.left, control.text, layout.client.right - r.left,
                  control.enabled() ? A_NORMAL : A_DIM);
          break;
        case ControlKind::kPushButton:
          spot = DrawButton(control, r, focused, handle == defaultButton);
          break;
        case ControlKind::kEdit:
          spot = DrawEdit(control, r, focused);
          break;
        case ControlKind::kListBox:
          spot = DrawList(control, r, focused);
          break;
        case ControlKind::kDialog:
          break;
      }
      if (spot.shown) cursor = spot;
    }
  };
  pass([](ControlKind k) { return k == ControlKind::kGroupBox; });
  pass([](ControlKind k) { return k == ControlKind::kStatic; });
  pass([](ControlKind k) { return k != ControlKind::kGroupBox && k != ControlKind::kStatic; });
  if (busy) cursor.shown = false;
  return cursor;
}

namespace {

// Breaks `text` at line feeds and, where a line is wider than `width`, at
// its last blank before the edge (or at the edge).
std::vector<std::string> Wrap(const std::string& text, int width) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    const size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    while (Width(line) > width) {
      const std::vector<Glyph> glyphs = Decode(line);
      int used = 0;
      size_t fit = 0;
      while (fit < glyphs.size() && used + glyphs[fit].width <= width) used += glyphs[fit++].width;
      size_t cut = glyphs[fit].offset;
      const size_t blank = line.rfind(' ', cut);
      if (blank != std::string::npos && blank > 0) cut = blank;
      lines.push_back(line.substr(0, cut));
      line = line.substr(cut == glyphs[fit].offset ? cut : cut + 1);
    }
    lines.push_back(line);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace

CursorSpot DrawMessageBox(const BoxView& box) {
  const std::vector<MessageBoxButton> buttons = MessageBoxButtons(box.type);
  const std::string icon = MessageBoxIconMark(box.type);
  const int iconWidth = icon.empty() ? 0 : Width(icon) + 2;
  const int maxText = std::max(10, std::min(60, COLS - 8 - iconWidth));
  const std::vector<std::string> lines = Wrap(box.text, maxText);
  int textWidth = 0;
  for (const std::string& line : lines) textWidth = std::max(textWidth, Width(line));
  std::vector<std::string> labels;
  int buttonsWidth = 0;
  for (const MessageBoxButton& button : buttons) {
    labels.push_back(std::string("[ ") + button.label + " ]");
    buttonsWidth += Width(labels.back()) + (labels.size() > 1 ? 2 : 0);
  }
  const int inner = std::min(
      COLS - 2, std::max({iconWidth + textWidth, buttonsWidth, Width(box.caption) + 2}) + 4);
  const int height = static_cast<int>(lines.size()) + 5;
  const int left = std::max(0, (COLS - inner - 2) / 2);
  const int top = std::max(0, (LINES - 1 - height) / 2);
  const CellRect frame{left, top, left + inner + 2, top + height};
  Fill(frame);
  Frame(frame);
  PutText(top, left + 2, " " + box.caption + " ", inner - 2, A_BOLD);
  if (!icon.empty()) PutText(top + 2, left + 3, icon, iconWidth, A_BOLD);
  for (size_t i = 0; i < lines.size() && top + 2 + static_cast<int>(i) < frame.bottom - 3; ++i) {
    PutText(top + 2 + static_cast<int>(i), left + 3 + iconWidth, lines[i], inner - 4 - iconWidth);
  }
  CursorSpot cursor;
  int column = left + 1 + (inner - buttonsWidth) / 2;
  const int row = frame.bottom - 2;
  for (size_t i = 0; i < labels.size(); ++i) {
    const bool focused = static_cast<int>(i) == box.focus;
    if (focused) cursor = CursorSpot{true, row, column + 2};
    column += PutText(row, column, labels[i], frame.right - 1 - column,
                      focused ? A_REVERSE : A_NORMAL) + 2;
  }
  return cursor;
}

void DrawHints(const std::string& hints) {
  move(LINES - 1, 0);
  clrtoeol();
  PutText(LINES - 1, 0, hints, COLS, A_DIM);
}

}  // namespace framework
