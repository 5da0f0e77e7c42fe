#include "tools/layout/svg_picture.h"

#include <cstdio>
#include <sstream>

#include "tools/layout/glyphs.h"
#include "tools/layout/key_caps.h"

namespace layout_tools {
namespace {

constexpr double kUnit = 60;
constexpr double kMargin = 20;
constexpr double kTitleHeight = 44;
constexpr double kLegendHeight = 84;
constexpr double kGap = 3;

constexpr char kDeadFill[] = "#fbe3cf";
constexpr char kDeadInk[] = "#c04a00";
constexpr char kAltGrInk[] = "#1f5fa8";

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::string KeyId(const nt::kbd::ScanCode& scan) {
  char text[16];
  std::snprintf(text, sizeof text, scan.prefix == nt::kbd::Prefix::kE0 ? "key-e0-%02x" : "key-%02x", scan.code);
  return text;
}

double X(double units) { return kMargin + units * kUnit; }
double Y(double rows) { return kMargin + kTitleHeight + rows * kUnit; }

struct Corner {
  const char* name;  // class
  double dx, dy;     // from the key's top left corner
  bool right;
  double size;
};

// Shift top left, base bottom left, AltGr bottom right, Shift+AltGr top right.
constexpr Corner kCorners[kLevels] = {
    {"base", 11, 48, false, 19},
    {"shift", 11, 24, false, 19},
    {"altgr", kUnit - 11, 48, true, 16},
    {"shift-altgr", kUnit - 11, 24, true, 16},
};

void Level(std::ostream& out, double x, double y, int level, const Cell& cell) {
  if (cell.kind == CellKind::kNone) return;
  const Corner& corner = kCorners[level];
  const bool dead = cell.kind == CellKind::kDead;
  const double tx = x + corner.dx;
  const double ty = y + corner.dy;
  if (dead) {
    const double w = corner.size + 6;
    out << "    <rect class=\"dead-mark\" x=\"" << Number(corner.right ? tx - w + 3 : tx - 3) << "\" y=\""
        << Number(ty - corner.size - 1) << "\" width=\"" << Number(w) << "\" height=\"" << Number(corner.size + 6)
        << "\" rx=\"4\" fill=\"" << kDeadFill << "\"/>\n";
  }
  out << "    <text class=\"level " << corner.name << (dead ? " dead" : "") << "\" x=\"" << Number(tx) << "\" y=\""
      << Number(ty) << "\" font-size=\"" << Number(corner.size) << "\"";
  if (corner.right) out << " text-anchor=\"end\"";
  if (dead) {
    out << " fill=\"" << kDeadInk << "\" font-weight=\"bold\"";
  } else if (level >= 2) {
    out << " fill=\"" << kAltGrInk << "\"";
  }
  out << ">" << Escape(Glyph(cell)) << "</text>\n";
}

void Outline(std::ostream& out, const KeyPlace& place, const char* fill) {
  if (!place.tall()) {
    out << "    <rect x=\"" << Number(X(place.x) + kGap) << "\" y=\"" << Number(Y(place.y) + kGap) << "\" width=\""
        << Number(place.width * kUnit - 2 * kGap) << "\" height=\"" << Number(kUnit - 2 * kGap)
        << "\" rx=\"6\" fill=\"" << fill << "\" stroke=\"#8a8a8a\"/>\n";
    return;
  }
  // The ISO Enter key: its outline drawn inside by the gap.
  const double left = X(place.x) + kGap, right = X(place.x + place.width) - kGap;
  const double top = Y(place.y) + kGap, middle = Y(place.y + 1) + kGap, bottom = Y(place.y + 2) - kGap;
  const double lowerLeft = X(place.lowerX) + kGap;
  out << "    <path d=\"M" << Number(left) << " " << Number(top) << " H" << Number(right) << " V" << Number(bottom)
      << " H" << Number(lowerLeft) << " V" << Number(middle) << " H" << Number(left) << " Z\" fill=\"" << fill
      << "\" stroke=\"#8a8a8a\" stroke-linejoin=\"round\"/>\n";
}

void Label(std::ostream& out, const KeyPlace& place, const std::string& label) {
  const size_t blank = label.find(' ');
  const bool split = blank != std::string::npos && label.size() * 7 > place.width * kUnit - 14;
  const std::string first = split ? label.substr(0, blank) : label;
  const double x = X(place.x) + 9;
  const double y = Y(place.y) + 21;
  out << "    <text class=\"label\" x=\"" << Number(x) << "\" y=\"" << Number(y)
      << "\" font-size=\"12\" fill=\"#555555\">" << Escape(first);
  if (split) out << "<tspan x=\"" << Number(x) << "\" dy=\"15\">" << Escape(label.substr(blank + 1)) << "</tspan>";
  out << "</text>\n";
}

void Legend(std::ostream& out, double top) {
  const double x = kMargin;
  out << "  <g class=\"legend\">\n";
  out << "    <rect x=\"" << Number(x + kGap) << "\" y=\"" << Number(top + kGap) << "\" width=\""
      << Number(2.5 * kUnit - 2 * kGap) << "\" height=\"" << Number(kUnit - 2 * kGap)
      << "\" rx=\"6\" fill=\"#f4f4f4\" stroke=\"#8a8a8a\"/>\n";
  const struct {
    const char* text;
    double dx, dy;
    bool right;
    const char* ink;
  } corners[] = {{"Shift", 10, 24, false, "#222222"},
                 {"base", 10, 48, false, "#222222"},
                 {"Shift+AltGr", 2.5 * kUnit - 10, 24, true, kAltGrInk},
                 {"AltGr", 2.5 * kUnit - 10, 48, true, kAltGrInk}};
  for (const auto& corner : corners) {
    out << "    <text x=\"" << Number(x + corner.dx) << "\" y=\"" << Number(top + corner.dy)
        << "\" font-size=\"12\" fill=\"" << corner.ink << "\"" << (corner.right ? " text-anchor=\"end\"" : "")
        << ">" << corner.text << "</text>\n";
  }
  const double x2 = x + 2.5 * kUnit + 24;
  out << "    <rect x=\"" << Number(x2) << "\" y=\"" << Number(top + 12) << "\" width=\"26\" height=\"24\" rx=\"4\" fill=\""
      << kDeadFill << "\"/>\n";
  out << "    <text x=\"" << Number(x2 + 13) << "\" y=\"" << Number(top + 30)
      << "\" font-size=\"18\" font-weight=\"bold\" text-anchor=\"middle\" fill=\"" << kDeadInk << "\">^</text>\n";
  out << "    <text x=\"" << Number(x2 + 34) << "\" y=\"" << Number(top + 29)
      << "\" font-size=\"13\" fill=\"#222222\">dead key: the accent waits for the next character</text>\n";
  out << "    <text x=\"" << Number(x2) << "\" y=\"" << Number(top + 56)
      << "\" font-size=\"13\" fill=\"#222222\" xml:space=\"preserve\">\u2423 space     \u25CC\u0301 combining mark     "
         "^\\ control character     AltGr: the right Alt key</text>\n";
  out << "  </g>\n";
}

}  // namespace

std::string SvgPicture(const nt::kbd::Layout& layout, const std::string& title) {
  const double width = 2 * kMargin + kBoardWidth * kUnit;
  const double legendTop = Y(kBoardRows) + 12;
  const double height = legendTop + kLegendHeight;
  std::ostringstream out;
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Number(width) << "\" height=\"" << Number(height)
      << "\" viewBox=\"0 0 " << Number(width) << " " << Number(height)
      << "\" font-family=\"DejaVu Sans, Verdana, sans-serif\">\n";
  out << "  <title>" << Escape(title) << "</title>\n";
  out << "  <rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  out << "  <text class=\"title\" x=\"" << Number(kMargin) << "\" y=\"" << Number(kMargin + 24)
      << "\" font-size=\"22\" font-weight=\"bold\" fill=\"#222222\">" << Escape(title) << "</text>\n";
  for (const KeyCap& cap : KeyCaps(layout)) {
    const bool exists = cap.characters || !cap.label.empty();
    out << "  <g class=\"key\" id=\"" << KeyId(cap.place.scan) << "\">\n";
    Outline(out, cap.place, exists ? "#f4f4f4" : "#e4e4e4");
    if (cap.characters) {
      for (int level = 0; level < kLevels; ++level) {
        Level(out, X(cap.place.x), Y(cap.place.y), level, cap.cells[static_cast<size_t>(level)]);
      }
    } else if (!cap.label.empty()) {
      Label(out, cap.place, cap.label);
    }
    out << "  </g>\n";
  }
  Legend(out, legendTop);
  out << "</svg>\n";
  return out.str();
}

}  // namespace layout_tools
