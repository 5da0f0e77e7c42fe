// Pictures of the kit's layouts: the SVG is well-formed XML with the
// expected characters on the expected keys; the terminal picture shows them
// in the keyboard's rows.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <memory>
#include <sstream>

#include "tests/layout_tools/kit_layouts.h"
#include "tools/layout/keyboard_geometry.h"
#include "tools/layout/svg_picture.h"
#include "tools/layout/text_picture.h"

namespace layout_tools_test {
namespace {

// A parsed SVG document and XPath queries on it ("s:" is the SVG namespace).
class Svg {
 public:
  explicit Svg(const std::string& text) {
    doc_ = xmlReadMemory(text.data(), static_cast<int>(text.size()), "picture.svg", "UTF-8",
                         XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (doc_ != nullptr) {
      context_ = xmlXPathNewContext(doc_);
      xmlXPathRegisterNs(context_, BAD_CAST "s", BAD_CAST "http://www.w3.org/2000/svg");
    }
  }
  ~Svg() {
    if (context_ != nullptr) xmlXPathFreeContext(context_);
    if (doc_ != nullptr) xmlFreeDoc(doc_);
  }
  bool wellFormed() const { return doc_ != nullptr; }

  // The text of every node `path` finds.
  std::vector<std::string> Texts(const std::string& path) const {
    std::vector<std::string> texts;
    xmlXPathObjectPtr result = xmlXPathEvalExpression(BAD_CAST path.c_str(), context_);
    if (result == nullptr) return texts;
    if (result->nodesetval != nullptr) {
      for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
        xmlChar* content = xmlNodeGetContent(result->nodesetval->nodeTab[i]);
        texts.emplace_back(reinterpret_cast<const char*>(content));
        xmlFree(content);
      }
    }
    xmlXPathFreeObject(result);
    return texts;
  }

 private:
  xmlDocPtr doc_ = nullptr;
  xmlXPathContextPtr context_ = nullptr;
};

std::string LevelPath(const std::string& key, const std::string& level, bool dead) {
  std::string path = "//s:g[@id='" + key + "']/s:text[contains(concat(' ', @class, ' '), ' " + level + " ')]";
  if (dead) path.insert(path.size() - 1, " and contains(concat(' ', @class, ' '), ' dead ')");
  return path;
}

TEST(SvgPicture, IsWellFormedWithEveryKeyOfTheMainBlockAndTheTitle) {
  for (const std::string& library : KitLibraries()) {
    SCOPED_TRACE(library);
    const Svg svg(layout_tools::SvgPicture(KitLayout(library), library));
    ASSERT_TRUE(svg.wellFormed());
    EXPECT_EQ(svg.Texts("/s:svg/s:title"), std::vector<std::string>{library});
    EXPECT_EQ(svg.Texts("//s:text[@class='title']"), std::vector<std::string>{library});
    EXPECT_EQ(svg.Texts("//s:g[@class='key']").size(), layout_tools::MainBlock().size());
    EXPECT_EQ(svg.Texts("//s:g[@class='legend']").size(), 1u);
  }
}

TEST(SvgPicture, ShowsTheLayoutsCharactersOnTheirKeys) {
  struct Row {
    const char* name;
    const char* library;
    const char* key;
    const char* level;
    const char* text;
    bool dead = false;
  } rows[] = {
      {.name = "romakeys 0x29 base", .library = "romakeys", .key = "key-29", .level = "base", .text = "ş"},
      {.name = "romakeys 0x56 types as 0x29", .library = "romakeys", .key = "key-56", .level = "shift-altgr",
       .text = "~"},
      {.name = "romakeys caron on AltGr+2", .library = "romakeys", .key = "key-03", .level = "altgr",
       .text = "\u25CC\u030C", .dead = true},
      {.name = "romakeys circumflex on Shift+6", .library = "romakeys", .key = "key-07", .level = "shift",
       .text = "^", .dead = true},
      {.name = "romakeys acute types at once", .library = "romakeys", .key = "key-28", .level = "base",
       .text = "\u00B4"},
      {.name = "svenkeys grave on Shift+VK_OEM_4", .library = "svenkeys", .key = "key-0d", .level = "shift",
       .text = "`", .dead = true},
      {.name = "svenkeys AltGr+VK_OEM_4 types at once", .library = "svenkeys", .key = "key-0d", .level = "altgr",
       .text = "="},
      {.name = "svenkeys 0x56 degree", .library = "svenkeys", .key = "key-56", .level = "shift-altgr",
       .text = "\u00B0"},
      {.name = "ellkeys eta", .library = "ellkeys", .key = "key-23", .level = "altgr", .text = "\u03B7"},
      {.name = "ellkeys tonos", .library = "ellkeys", .key = "key-27", .level = "altgr", .text = "\u0384",
       .dead = true},
      {.name = "ellkeys 0x56 control character", .library = "ellkeys", .key = "key-56", .level = "altgr",
       .text = "^\\"},
      {.name = "ellkeys 0x29", .library = "ellkeys", .key = "key-29", .level = "shift-altgr", .text = "~"},
      {.name = "vlamkeys a on virtual key Q", .library = "vlamkeys", .key = "key-10", .level = "base", .text = "a"},
      {.name = "vlamkeys diaeresis", .library = "vlamkeys", .key = "key-1a", .level = "shift", .text = "\u00A8",
       .dead = true},
      {.name = "vlamkeys bracket beside it", .library = "vlamkeys", .key = "key-1a", .level = "altgr", .text = "["},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Svg svg(layout_tools::SvgPicture(KitLayout(row.library), row.library));
    EXPECT_EQ(svg.Texts(LevelPath(row.key, row.level, false)), std::vector<std::string>{row.text});
    EXPECT_EQ(svg.Texts(LevelPath(row.key, row.level, true)).size(), row.dead ? 1u : 0u);
  }
}

TEST(SvgPicture, NamesTheKeysThatTypeNoCharacters) {
  const Svg svg(layout_tools::SvgPicture(KitLayout("romakeys"), "romakeys"));
  EXPECT_EQ(svg.Texts("//s:g[@id='key-0e']/s:text"), std::vector<std::string>{"Backspace"});
  EXPECT_EQ(svg.Texts("//s:g[@id='key-e0-38']/s:text"), std::vector<std::string>{"AltGr"});
  EXPECT_EQ(svg.Texts("//s:g[@id='key-3a']/s:text"), std::vector<std::string>{"Caps Lock"});
  EXPECT_EQ(svg.Texts("//s:g[@id='key-e0-5b']/s:text").size(), 0u);  // no virtual key in these layouts
}

TEST(TextPicture, DrawsTheRowsWithTheLevelsAndTheDeadKeys) {
  std::istringstream picture(layout_tools::TextPicture(KitLayout("romakeys"), "romakeys"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(picture, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 18u);
  EXPECT_EQ(lines[0], "romakeys");
  // The digit row: 0x29 first, then 1, 2 with the dead caron on AltGr, …
  EXPECT_EQ(lines[2].substr(0, lines[2].find("│ &")), "│ Ş ~ │ !   │ @   │ #   │ $   │ %   │ ^•  ");
  EXPECT_EQ(lines[3].substr(0, lines[3].find("│ 7")), "│ ş ` │ 1   │ 2 ◌̌•│ 3   │ 4 ◌̆•│ 5 ◌̊•│ 6 ◌̨•");
  // The bottom letter row starts with Shift and the key at 0x56.
  EXPECT_EQ(lines[12].substr(0, lines[12].find("│ z")), "│       │ ş ` ");
  EXPECT_NE(lines[17].find("• dead key"), std::string::npos);
}

}  // namespace
}  // namespace layout_tools_test
