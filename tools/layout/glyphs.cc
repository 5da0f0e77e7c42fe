#include "tools/layout/glyphs.h"

#include <cstdio>

#include "nt/keyboard/strokes.h"

namespace layout_tools {

bool IsCombiningMark(char16_t c) {
  return (c >= 0x0300 && c <= 0x036F) || (c >= 0x0483 && c <= 0x0489) || (c >= 0x1AB0 && c <= 0x1AFF) ||
         (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F);
}

std::string Glyph(char16_t c) {
  // Caret notation: few fonts have the control pictures.
  if (c < 0x20) return std::string{'^', static_cast<char>(0x40 + c)};
  if (c == 0x7F) return "^?";
  if (c == 0x20) return "\u2423";
  if (IsCombiningMark(c)) return nt::kbd::ToUtf8(std::u16string{u'\u25CC', c});
  return nt::kbd::ToUtf8(std::u16string(1, c));
}

std::string Glyph(const Cell& cell) { return cell.kind == CellKind::kNone ? "" : Glyph(cell.c); }

std::string CodePoint(char16_t c) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
  return text;
}

}  // namespace layout_tools
