#include "tools/layout/text_picture.h"

#include <cmath>
#include <sstream>
#include <vector>

#include "tools/layout/glyphs.h"
#include "tools/layout/key_caps.h"

namespace layout_tools {
namespace {

constexpr int kColumnsPerUnit = 6;
constexpr int kLinesPerRow = 3;
constexpr char kDeadMark[] = "\u2022";

enum Edge : uint8_t { kUp = 1, kDown = 2, kLeft = 4, kRight = 8 };

// A grid of terminal cells: box edges and text.
class Canvas {
 public:
  Canvas(int columns, int lines)
      : columns_(columns), edges_(static_cast<size_t>(columns * lines)), text_(edges_.size()) {}

  void Line(int c0, int l0, int c1, int l1) {
    if (l0 == l1) {
      if (c0 > c1) std::swap(c0, c1);
      for (int c = c0; c <= c1; ++c) Edge(c, l0) |= (c > c0 ? kLeft : 0) | (c < c1 ? kRight : 0);
    } else {
      if (l0 > l1) std::swap(l0, l1);
      for (int l = l0; l <= l1; ++l) Edge(c0, l) |= (l > l0 ? kUp : 0) | (l < l1 ? kDown : 0);
    }
  }

  // One glyph (one column wide) per cell.
  void Put(int column, int line, std::string glyph) { text_[Index(column, line)] = std::move(glyph); }

  void Write(int column, int line, const std::string& ascii) {
    for (size_t i = 0; i < ascii.size(); ++i) Put(column + static_cast<int>(i), line, std::string(1, ascii[i]));
  }

  std::string Render() const {
    std::string out;
    const int lines = static_cast<int>(edges_.size()) / columns_;
    for (int l = 0; l < lines; ++l) {
      std::string line;
      for (int c = 0; c < columns_; ++c) {
        const size_t i = Index(c, l);
        line += !text_[i].empty() ? text_[i] : Box(edges_[i]);
      }
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out += line + "\n";
    }
    return out;
  }

 private:
  size_t Index(int column, int line) const { return static_cast<size_t>(line * columns_ + column); }
  uint8_t& Edge(int column, int line) { return edges_[Index(column, line)]; }

  static const char* Box(uint8_t edges) {
    switch (edges) {
      case 0: return " ";
      case kLeft | kRight: case kLeft: case kRight: return "\u2500";
      case kUp | kDown: case kUp: case kDown: return "\u2502";
      case kDown | kRight: return "\u250C";
      case kDown | kLeft: return "\u2510";
      case kUp | kRight: return "\u2514";
      case kUp | kLeft: return "\u2518";
      case kUp | kDown | kRight: return "\u251C";
      case kUp | kDown | kLeft: return "\u2524";
      case kDown | kLeft | kRight: return "\u252C";
      case kUp | kLeft | kRight: return "\u2534";
      default: return "\u253C";
    }
  }

  int columns_;
  std::vector<uint8_t> edges_;
  std::vector<std::string> text_;
};

int Column(double x) { return static_cast<int>(std::lround(x * kColumnsPerUnit)); }
int Line(double y) { return static_cast<int>(std::lround(y * kLinesPerRow)); }

// Shows one level: its glyph and, for a dead key, the mark after it.
void PutCell(Canvas& canvas, int column, int line, const Cell& cell) {
  if (cell.kind == CellKind::kNone) return;
  const std::string glyph = Glyph(cell);
  if (glyph.size() == 2 && glyph[0] == '^') {
    canvas.Write(column, line, glyph);  // a control character takes the mark's column too
    return;
  }
  canvas.Put(column, line, glyph);
  if (cell.kind == CellKind::kDead) canvas.Put(column + 1, line, kDeadMark);
}

bool Fits(const std::string& label, int width) {
  const size_t blank = label.find(' ');
  if (static_cast<int>(label.size()) <= width) return true;
  return blank != std::string::npos && static_cast<int>(blank) <= width &&
         static_cast<int>(label.size() - blank - 1) <= width;
}

// The label in the key's two lines, split at a blank when it is too long.
void PutLabel(Canvas& canvas, int column, int line, int width, const KeyCap& cap) {
  const std::string& label = Fits(cap.label, width) ? cap.label : cap.shortLabel;
  std::string first = label;
  std::string second;
  if (static_cast<int>(label.size()) > width) {
    if (const size_t blank = label.find(' '); blank != std::string::npos) {
      first = label.substr(0, blank);
      second = label.substr(blank + 1);
    }
  }
  canvas.Write(column, line, first.substr(0, static_cast<size_t>(width)));
  canvas.Write(column, line + 1, second.substr(0, static_cast<size_t>(width)));
}

}  // namespace

std::string TextPicture(const nt::kbd::Layout& layout, const std::string& title) {
  Canvas canvas(Column(kBoardWidth) + 1, Line(kBoardRows) + 1);
  for (const KeyCap& cap : KeyCaps(layout)) {
    const std::vector<Point> outline = cap.place.Outline();
    for (size_t i = 0; i < outline.size(); ++i) {
      const Point& a = outline[i];
      const Point& b = outline[(i + 1) % outline.size()];
      canvas.Line(Column(a.x), Line(a.y), Column(b.x), Line(b.y));
    }
    const int left = Column(cap.place.x) + 2;
    const int top = Line(cap.place.y) + 1;
    if (cap.characters) {
      PutCell(canvas, left, top, cap.cells[1]);
      PutCell(canvas, left + 2, top, cap.cells[3]);
      PutCell(canvas, left, top + 1, cap.cells[0]);
      PutCell(canvas, left + 2, top + 1, cap.cells[2]);
    } else {
      const int width = Column(cap.place.x + cap.place.width) - left - 1;
      PutLabel(canvas, left, top, width, cap);
    }
  }
  std::ostringstream out;
  out << title << "\n" << canvas.Render();
  out << "Each key: Shift and Shift+AltGr above, base and AltGr below.  " << kDeadMark
      << " dead key  \u2423 space  \u25CC combining mark  ^\\ control character\n";
  return out.str();
}

}  // namespace layout_tools
