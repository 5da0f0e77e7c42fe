// The character tables, dead keys and version texts of each library, row by
// row in table order. Characters outside ASCII are written as code points.
#include "tests/layouts/expected_layouts.h"

#include <cctype>

#include "layouts/common/virtual_keys.h"

namespace layout_test {
namespace {

constexpr uint8_t kCapLock = 0x01;

const ExpectedRow kBack{VK_BACK, 0, {0x0008, 0x0008, 0x007F}};
const ExpectedRow kCancel{VK_CANCEL, 0, {0x0003, 0x0003, 0x0003}};
const ExpectedRow kEscape{VK_ESCAPE, 0, {0x001B, 0x001B, 0x001B}};
const ExpectedRow kOem5{VK_OEM_5, 0, {u'\\', u'|', 0x001C}};
const ExpectedRow kReturn{VK_RETURN, 0, {0x000D, 0x000D, 0x000A}};
const ExpectedRow kSpace{VK_SPACE, 0, {u' ', u' ', u' '}};

std::vector<ExpectedRow> ControlRows() { return {kBack, kCancel, kEscape, kOem5, kReturn, kSpace}; }

std::vector<ExpectedRow> KeypadRows() {
  return {
      {VK_TAB, 0, {u'\t', u'\t'}},  {VK_ADD, 0, {u'+', u'+'}},      {VK_DECIMAL, 0, {u'.', u'.'}},
      {VK_DIVIDE, 0, {u'/', u'/'}}, {VK_MULTIPLY, 0, {u'*', u'*'}}, {VK_SUBTRACT, 0, {u'-', u'-'}},
  };
}

// A letter key of virtual key `vk` typing `letter` (small) and its capital, with CAPLOK.
ExpectedRow Letter(uint8_t vk, char letter) {
  return {vk, kCapLock, {char16_t(letter), char16_t(std::toupper(letter))}};
}

// Letter keys that type their own letter.
std::vector<ExpectedRow> Letters(const char* vks) {
  std::vector<ExpectedRow> rows;
  for (const char* vk = vks; *vk; ++vk)
    rows.push_back(Letter(uint8_t(*vk), char(std::tolower(*vk))));
  return rows;
}

std::vector<ExpectedRow> Join(std::initializer_list<std::vector<ExpectedRow>> parts) {
  std::vector<ExpectedRow> rows;
  for (const auto& part : parts) rows.insert(rows.end(), part.begin(), part.end());
  return rows;
}

// The dead keys and names that svenkeys and vlamkeys both carry.
const std::vector<DeadGroup> kWesternGroups = {
    {u'`', u"aeiouAEIOU"},
    {0x00B4, u"aeiouyAEIOUY"},
    {u'^', u"aeiouAEIOU"},
    {0x00A8, u"aeiouyAEIOUY", {{u'Y', 0x00FF}}},
};
const std::vector<DeadName> kWesternNames = {
    {0x00B4, u"Acute"}, {u'`', u"Grave"}, {u'^', u"Circumflex"}, {0x00A8, u"Umlaut"}};

ExpectedLayout Romakeys() {
  return {
      .name = "romakeys",
      .scan_4e = 0x006B,
      .scan_56 = 0x00E2,
      .e0_0f = 0x05A5,
      .e0_37 = 0x012C,
      .locale_flags = 1,
      .wch3 = Join({{
                        {'2', 0, {u'2', u'@', Dead(0x030C)}},
                        {'4', 0, {u'4', u'$', Dead(0x0306)}},
                        {'5', 0, {u'5', u'%', Dead(0x030A)}},
                        {'6', 0, {u'6', Dead(u'^'), Dead(0x0328)}},
                        {'8', 0, {u'8', u'*', Dead(0x0307)}},
                        {VK_OEM_PLUS, 0, {u'-', u'_', Dead(0x0308)}},
                        {VK_OEM_4, 0, {u'=', u'+', Dead(0x0327)}},
                    },
                    ControlRows()}),
      .wch4 =
          {
              {VK_OEM_6, 0, {0x0103, 0x0102, u'[', u'{'}},
              {VK_OEM_1, 0, {0x00EE, 0x00CE, u']', u'}'}},
              {VK_OEM_2, 0, {0x0163, 0x0162, u'\\', u'|'}},
              {VK_OEM_102, 0, {0x015F, 0x015E, u'`', u'~'}},
          },
      .wch2 = Join({{
                        {'1', 0, {u'1', u'!'}},
                        {'3', 0, {u'3', u'#'}},
                        {'7', 0, {u'7', u'&'}},
                        {'9', 0, {u'9', u'('}},
                        {'0', 0, {u'0', u')'}},
                    },
                    Letters("QWERTYUIOPASDFGHJKL"),
                    {
                        {VK_OEM_3, 0, {u';', u':'}},
                        {VK_OEM_7, 0, {0x00B4, Dead(0x030B)}},
                    },
                    Letters("ZXCVBNM"),
                    {
                        {VK_OEM_COMMA, 0, {u',', u'<'}},
                        {VK_OEM_PERIOD, 0, {u'.', u'>'}},
                        {VK_OEM_MINUS, 0, {u'/', u'?'}},
                    },
                    KeypadRows()}),
      .dead_groups =
          {
              {u'`', u"aeiouAEIOU"},
              {u'^',
               u"aeiouAEIOU231.*",
               {{u'2', 0x00B2}, {u'3', 0x00B3}, {u'1', 0x00B9}, {u'.', 0x00B7}, {u'*', 0x00B0}}},
              {0x0301, u"aeiouycszrlnAEIOUYCSZRLN"},
              {0x0308, u"aeiouyAEIOUY", {{u'Y', 0x00FF}}},
              {0x030C, u"lstzcednrLSTZCEDNR"},
              {0x0306, u"aA"},
              {0x030A, u"uU"},
              {0x0328, u"aeAE"},
              {0x0307, u"zZ"},
              {0x0327, u"sctSCT"},
              {0x030B, u"ouOU"},
              {u'~', u"anoANO"},
          },
      .dead_names =
          {
              {u'~', u"tilde"},
              {u'`', u"Grave"},
              {u'^', u"Circumflex"},
              {0x0301, u"Acute accent"},
              {0x0308, u"Dieresis"},
              {0x030C, u"Hacek caron"},
              {0x0306, u"Breve"},
              {0x030A, u"Ring Above"},
              {0x0328, u"Ogonek"},
              {0x0307, u"Dot above"},
              {0x0327, u"Cedilla"},
              {0x030B, u"Double acute accent"},
          },
      .has_dll = true,
      .description = "Roumania BL MV-B7 Keyboard Layout",
      .language = 0x0418,
      .code_page = 1200,
      .has_comments = false,
  };
}

ExpectedLayout Svenkeys() {
  return {
      .name = "svenkeys",
      .scan_4e = 0x0C6B,
      .scan_56 = 0x00E2,
      .e0_0f = 0x01A5,
      .e0_37 = 0x01E8,
      .locale_flags = 1,
      .wch3 = Join({{
                        {'0', 0, {u'0', u'=', u')'}},
                        {'2', 0, {u'2', u'"', u'@'}},
                        {'3', 0, {u'3', 0x00A7, u'@'}},
                        {'5', 0, {u'5', u'%', 0x00B0}},
                        {'6', 0, {u'6', u'&', u'^'}},
                        {'7', 0, {u'7', u'/', u'&'}},
                        {'8', 0, {u'8', u'(', u'*'}},
                        {'9', 0, {u'9', u')', u'('}},
                    },
                    ControlRows()}),
      .wch4 =
          {
              {'1', 0, {u'1', u'!', 0x00FC, 0x00DC}},
              {'4', 0, {u'4', u'$', 0x00E9, 0x00C9}},
              {VK_OEM_4, 0, {Dead(u'^'), Dead(u'`'), u'=', u'+'}},
              {VK_OEM_6, kCapLock, {0x00E5, 0x00C5, u']', u'['}},
              {VK_OEM_1, kCapLock, {0x00FC, 0x00DC, u'#', u'\\'}},
              {VK_OEM_3, kCapLock, {0x00F6, 0x00D6, u'}', u'{'}},
              {VK_OEM_7, kCapLock, {0x00E4, 0x00C4, u'|', u'|'}},
              {VK_OEM_102, kCapLock, {u'<', u'>', u'~', 0x00B0}},
              {VK_OEM_2, 0, {Dead(0x00B4), u'*', kNone, kNone}},
              {VK_OEM_MINUS, kCapLock, {u'-', u'_', u'/', u'?'}},
          },
      .wch2 = Join({Letters("ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
                    {
                        {VK_OEM_PLUS, 0, {u'+', u'?'}},
                        {VK_OEM_COMMA, 0, {u',', u';'}},
                        {VK_OEM_PERIOD, 0, {u'.', u':'}},
                    },
                    KeypadRows()}),
      .dead_groups = kWesternGroups,
      .dead_names = kWesternNames,
      .has_dll = true,
      .description = "Swedish MV-A2 Keyboard Layout",
      .language = 0x041D,
      .code_page = 1200,
      .has_comments = false,
  };
}

// A letter key with its Greek letters on AltGr and Shift+AltGr.
ExpectedRow Greek(char vk, char16_t small, char16_t capital) {
  ExpectedRow row = Letter(uint8_t(vk), char(std::tolower(vk)));
  row.cells.push_back(small);
  row.cells.push_back(capital);
  return row;
}

ExpectedLayout Ellkeys() {
  return {
      .name = "ellkeys",
      .scan_4e = 0x0C6B,
      .scan_56 = 0x00DC,
      .e0_0f = 0x01A5,
      .e0_37 = 0x012C,
      .locale_flags = 1,
      .wch3 = ControlRows(),
      .wch4 =
          {
              Greek('W', 0x03C2, kNone),
              Greek('E', 0x03B5, 0x0395),
              Greek('R', 0x03C1, 0x03A1),
              Greek('T', 0x03C4, 0x03A4),
              Greek('Y', 0x03C5, 0x03A5),
              Greek('U', 0x03B8, 0x0398),
              Greek('I', 0x03B9, 0x0399),
              Greek('O', 0x03BF, 0x039F),
              Greek('P', 0x03C0, 0x03A0),
              Greek('A', 0x03B1, 0x0391),
              Greek('S', 0x03C3, 0x03A3),
              Greek('D', 0x03B4, 0x0394),
              Greek('F', 0x03C6, 0x03A6),
              Greek('G', 0x03B3, 0x0393),
              Greek('H', 0x03B7, 0x0397),
              Greek('J', 0x03BE, 0x039E),
              Greek('K', 0x03BA, 0x039A),
              Greek('L', 0x03BB, 0x039B),
              {VK_OEM_3, 0, {u'\'', Dead(0x00A8), Dead(0x0384), u'"'}},
              {VK_OEM_102, 0, {u'<', u'>', u'`', u'~'}},
              Greek('Z', 0x03B6, 0x0396),
              Greek('X', 0x03C7, 0x03A7),
              Greek('C', 0x03C8, 0x03A8),
              Greek('V', 0x03C9, 0x03A9),
              Greek('B', 0x03B2, 0x0392),
              Greek('N', 0x03BD, 0x039D),
              Greek('M', 0x03BC, 0x039C),
          },
      .wch2 = Join({{
                        {'1', 0, {u'1', u'!'}},
                        {'2', 0, {u'2', u'@'}},
                        {'3', 0, {u'3', u'#'}},
                        {'4', 0, {u'4', u'$'}},
                        {'5', 0, {u'5', u'%'}},
                        {'6', 0, {u'6', u'^'}},
                        {'7', 0, {u'7', u'&'}},
                        {'8', 0, {u'8', u'*'}},
                        {'9', 0, {u'9', u'('}},
                        {'0', 0, {u'0', u')'}},
                        {VK_OEM_PLUS, 0, {u'-', u'_'}},
                        {VK_OEM_4, 0, {u'=', u'+'}},
                        Letter('Q', 'q'),
                        {VK_OEM_6, 0, {u'[', u'{'}},
                        {VK_OEM_1, 0, {u']', u'}'}},
                        {VK_OEM_7, 0, {u';', u':'}},
                        {VK_OEM_2, 0, {u'\\', u'|'}},
                        {VK_OEM_COMMA, 0, {u',', u','}},
                        {VK_OEM_PERIOD, 0, {u'.', u'.'}},
                        {VK_OEM_MINUS, 0, {u'/', u'?'}},
                    },
                    KeypadRows()}),
      .dead_groups =
          {
              {0x00A8,
               u"aei\u03B9o\u03BFuy\u03C5AEI\u0399O\u039FUY\u03A5",
               {{0x03BF, 0x00F6}, {0x039F, 0x00D6}, {u'Y', 0x00FF}}},
              {0x0384, u"\u03B1\u03B5\u03B7\u03B9\u03BF\u03C5\u03C9aeiouyAEIOUY"},
              {0x0385, u"\u03B9\u03C5"},
          },
      .dead_names =
          {
              {0x0384, u"Greek Tonos"},
              {0x0385, u"Dieretis Tonos"},
              {0x00A8, u"Dieretis"},
          },
      .has_dll = true,
      .description = "Greek MV-B7 Keyboard Layout",
      .language = 0x0408,
      .code_page = 1253,
      .has_comments = false,
  };
}

ExpectedLayout Vlamkeys() {
  return {
      .name = "vlamkeys",
      .scan_4e = 0x0C6B,
      .scan_56 = 0x00DC,
      .e0_0f = 0x01A5,
      .e0_37 = 0x01E8,
      .locale_flags = 1,
      .wch3 =
          {
              {'0', kCapLock, {0x00E0, u'0', u'}'}},
              {'2', kCapLock, {0x00E9, u'2', u'|'}},
              {'6', kCapLock, {0x00A7, u'6', u'['}},
              {'7', kCapLock, {0x00E8, u'7', u']'}},
              {'9', kCapLock, {0x00E7, u'9', u'{'}},
              kBack,
              kCancel,
              kEscape,
              {VK_OEM_6, 0, {Dead(u'^'), Dead(0x00A8), u'['}},
              kOem5,
              {VK_OEM_1, 0, {u'$', u'*', u']'}},
              kReturn,
              kSpace,
          },
      .wch4 =
          {
              {VK_OEM_7, 0, {0x00FA, u'%', u'\\', u'|'}},
              {VK_OEM_102, kCapLock, {u'<', u'>', u'`', u'~'}},
          },
      .wch2 = Join({{
                        {'1', kCapLock, {u'&', u'1'}},
                        {'3', kCapLock, {u'"', u'3'}},
                        {'4', kCapLock, {0x00B4, u'4'}},
                        {'5', kCapLock, {u'(', u'5'}},
                        {'8', kCapLock, {u'!', u'8'}},
                        Letter('A', 'q'),
                    },
                    Letters("BCDEFGHIJKL"),
                    {{'M', 0, {u',', u'?'}}},
                    Letters("NOP"),
                    {Letter('Q', 'a')},
                    Letters("RSTUV"),
                    {Letter('W', 'z')},
                    Letters("XY"),
                    {
                        Letter('Z', 'w'),
                        {VK_OEM_PLUS, 0, {u')', 0x00B0}},
                        {VK_OEM_4, 0, {u'-', u'_'}},
                        Letter(VK_OEM_3, 'm'),
                        {VK_OEM_2, 0, {u'#', u'@'}},
                        {VK_OEM_COMMA, 0, {u';', u'.'}},
                        {VK_OEM_PERIOD, 0, {u':', u'/'}},
                        {VK_OEM_MINUS, 0, {u'=', u'+'}},
                    },
                    KeypadRows()}),
      .dead_groups = kWesternGroups,
      .dead_names = kWesternNames,
      .has_dll = true,
      .description = "Flemish MV-A2 Keyboard Layout",
      .language = 0x0813,
      .code_page = 1200,
      .has_comments = true,
  };
}

// The station's default: US characters by key position, no AltGr, no dead keys.
ExpectedLayout Uskeys() {
  return {
      .name = "uskeys",
      .scan_4e = 0x006B,
      .scan_56 = 0x00DC,
      .e0_0f = 0x01A5,
      .e0_37 = 0x012C,
      .locale_flags = 0,
      .wch3 = ControlRows(),
      .wch4 = {},
      .wch2 = Join({{
                        {'1', 0, {u'1', u'!'}},
                        {'2', 0, {u'2', u'@'}},
                        {'3', 0, {u'3', u'#'}},
                        {'4', 0, {u'4', u'$'}},
                        {'5', 0, {u'5', u'%'}},
                        {'6', 0, {u'6', u'^'}},
                        {'7', 0, {u'7', u'&'}},
                        {'8', 0, {u'8', u'*'}},
                        {'9', 0, {u'9', u'('}},
                        {'0', 0, {u'0', u')'}},
                        {VK_OEM_PLUS, 0, {u'-', u'_'}},
                        {VK_OEM_4, 0, {u'=', u'+'}},
                    },
                    Letters("QWERTYUIOP"),
                    {
                        {VK_OEM_6, 0, {u'[', u'{'}},
                        {VK_OEM_1, 0, {u']', u'}'}},
                    },
                    Letters("ASDFGHJKL"),
                    {
                        {VK_OEM_3, 0, {u';', u':'}},
                        {VK_OEM_7, 0, {u'\'', u'"'}},
                        {VK_OEM_102, 0, {u'`', u'~'}},
                        {VK_OEM_2, 0, {u'\\', u'|'}},
                    },
                    Letters("ZXCVBNM"),
                    {
                        {VK_OEM_COMMA, 0, {u',', u'<'}},
                        {VK_OEM_PERIOD, 0, {u'.', u'>'}},
                        {VK_OEM_MINUS, 0, {u'/', u'?'}},
                    },
                    KeypadRows()}),
      .dead_groups = {},
      .dead_names = {},
      .has_dll = false,
      .description = "",
      .language = 0x0409,
      .code_page = 1200,
      .has_comments = false,
  };
}

}  // namespace

const std::vector<ExpectedLayout>& AllLayouts() {
  static const std::vector<ExpectedLayout> layouts = {Romakeys(), Svenkeys(), Ellkeys(), Vlamkeys(),
                                                      Uskeys()};
  return layouts;
}

std::vector<ExpectedLayout> DllLayouts() {
  std::vector<ExpectedLayout> layouts;
  for (const ExpectedLayout& layout : AllLayouts()) {
    if (layout.has_dll) layouts.push_back(layout);
  }
  return layouts;
}

}  // namespace layout_test
