// The tables every library shares, and the encodings of rows and dead keys.
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <stdexcept>

#include "layouts/common/virtual_keys.h"
#include "tests/layouts/expected_layouts.h"

namespace layout_test {

Cell Dead(char16_t accent) {
  Cell cell(accent);
  cell.dead = true;
  return cell;
}

// clang-format off
std::vector<uint16_t> ExpectedScanMap(const ExpectedLayout& layout) {
  constexpr uint16_t x = 0x00FF;  // no key
  return {
      /* 0x00 */ x, VK_ESCAPE, '1', '2', '3', '4', '5', '6',
      /* 0x08 */ '7', '8', '9', '0', VK_OEM_PLUS, VK_OEM_4, VK_BACK, VK_TAB,
      /* 0x10 */ 'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I',
      /* 0x18 */ 'O', 'P', VK_OEM_6, VK_OEM_1, VK_RETURN, VK_LCONTROL, 'A', 'S',
      /* 0x20 */ 'D', 'F', 'G', 'H', 'J', 'K', 'L', VK_OEM_3,
      /* 0x28 */ VK_OEM_7, VK_OEM_102, VK_LSHIFT, VK_OEM_2, 'Z', 'X', 'C', 'V',
      /* 0x30 */ 'B', 'N', 'M', VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_MINUS, 0x01A1, 0x026A,
      /* 0x38 */ VK_LMENU, VK_SPACE, VK_CAPITAL, VK_F1, VK_F2, VK_F3, VK_F4, VK_F5,
      /* 0x40 */ VK_F6, VK_F7, VK_F8, VK_F9, VK_F10, 0x0390, 0x02E5, 0x0C24,
      /* 0x48 */ 0x0C26, 0x0C21, VK_SUBTRACT, 0x0C25, 0x0C0C, 0x0C27, layout.scan_4e, 0x0C23,
      /* 0x50 */ 0x0C28, 0x0C22, 0x0C2D, 0x0C2E, VK_PAUSE, x, layout.scan_56, VK_F11,
      /* 0x58 */ VK_F12, VK_CLEAR, VK_NONAME, VK_NONAME, VK_NONAME, VK_EREOF, x, VK_NONAME,
      /* 0x60 */ x, x, x, x, VK_F13, VK_F14, 0xE8, 0xE5,
      /* 0x68 */ VK_F17, VK_F18, VK_F19, VK_F20, VK_F21, VK_F22, VK_F23, x,
      /* 0x70 */ x, x, x, x, x, x, VK_F24, x,
      /* 0x78 */ x, x, x, x, VK_TAB,
  };
}

std::vector<ScanVk> ExpectedE0Map(const ExpectedLayout& layout) {
  return {
      {0x0F, layout.e0_0f}, {0x1C, 0x010D}, {0x1D, 0x01A3}, {0x35, 0x016F},
      {0x37, layout.e0_37}, {0x38, 0x05A5}, {0x3D, 0x017C}, {0x3E, 0x017D},
      {0x3F, 0x017E},       {0x40, 0x017F}, {0x41, 0x01E3}, {0x46, 0x0103},
      {0x47, 0x0124},       {0x48, 0x0126}, {0x49, 0x0121}, {0x4B, 0x0125},
      {0x4D, 0x0127},       {0x4E, 0x016B}, {0x4F, 0x0123}, {0x50, 0x0128},
      {0x51, 0x0122},       {0x52, 0x012D}, {0x53, 0x012E},
  };
}

std::vector<ScanVk> ExpectedE1Map() { return {{0x1D, 0x0013}}; }

std::vector<KeyName> ExpectedKeyNames() {
  return {
      {0x01, u"Esc"},     {0x0E, u"Backspace"}, {0x0F, u"Tab"},         {0x1C, u"Enter"},
      {0x1D, u"Ctrl"},    {0x2A, u"Shift"},     {0x36, u"Right Shift"}, {0x37, u"Num *"},
      {0x38, u"Alt"},     {0x39, u"Space"},     {0x3A, u"Caps Lock"},   {0x3B, u"F1"},
      {0x3C, u"F2"},      {0x3D, u"F3"},        {0x3E, u"F4"},          {0x3F, u"F5"},
      {0x40, u"F6"},      {0x41, u"F7"},        {0x42, u"F8"},          {0x43, u"F9"},
      {0x44, u"F10"},     {0x45, u"Pause"},     {0x46, u"Scroll Lock"}, {0x47, u"Num 7"},
      {0x48, u"Num 8"},   {0x49, u"Num 9"},     {0x4A, u"Num -"},       {0x4B, u"Num 4"},
      {0x4C, u"Num 5"},   {0x4D, u"Num 6"},     {0x4E, u"Num +"},       {0x4F, u"Num 1"},
      {0x50, u"Num 2"},   {0x51, u"Num 3"},     {0x52, u"Num 0"},       {0x53, u"Num Del"},
      {0x54, u"Sys Req"}, {0x57, u"F11"},       {0x58, u"F12"},         {0x7C, u"F13"},
      {0x7D, u"F14"},     {0x7E, u"F15"},       {0x7F, u"F16"},         {0x80, u"F17"},
      {0x81, u"F18"},     {0x82, u"F19"},       {0x83, u"F20"},         {0x84, u"F21"},
      {0x85, u"F22"},     {0x86, u"F23"},       {0x87, u"F24"},
  };
}

std::vector<KeyName> ExpectedKeyNamesExt() {
  return {
      {0x1C, u"Num Enter"}, {0x1D, u"Right Control"}, {0x35, u"Num /"},   {0x37, u"Prnt Scrn"},
      {0x38, u"Right Alt"}, {0x45, u"Num Lock"},      {0x46, u"Break"},   {0x47, u"Home"},
      {0x48, u"Up"},        {0x49, u"Page Up"},       {0x4B, u"Left"},    {0x4D, u"Right"},
      {0x4F, u"End"},       {0x50, u"Down"},          {0x51, u"Page Down"}, {0x52, u"Insert"},
      {0x53, u"Delete"},    {0x54, u"<00>"},          {0x56, u"Help"},    {0x5C, u"Clear"},
  };
}

// clang-format on

std::vector<ExpectedRow> ExpectedNumpadRows() {
  std::vector<ExpectedRow> rows;
  for (uint8_t digit = 0; digit < 10; ++digit) {
    rows.push_back({static_cast<uint8_t>(VK_NUMPAD0 + digit), 0, {char16_t(u'0' + digit)}});
  }
  return rows;
}

std::vector<Row> Encode(const std::vector<ExpectedRow>& rows) {
  std::vector<Row> out;
  for (const ExpectedRow& expected : rows) {
    Row row{expected.vk, expected.attributes, {}};
    Row accents{kAccentRow, 0, {}};
    bool dead = false;
    for (const Cell& cell : expected.cells) {
      row.cells.push_back(cell.dead ? kDead : cell.ch);
      accents.cells.push_back(cell.dead ? cell.ch : kNone);
      dead = dead || cell.dead;
    }
    out.push_back(row);
    if (dead) out.push_back(accents);
  }
  return out;
}

namespace {

// The combining marks an accent stands for.
icu::UnicodeString CombiningMarks(char16_t accent) {
  switch (accent) {
    case u'`':
      return icu::UnicodeString(u"\u0300");
    case u'^':
      return icu::UnicodeString(u"\u0302");
    case u'~':
      return icu::UnicodeString(u"\u0303");
    case 0x00B4:
      return icu::UnicodeString(u"\u0301");
    case 0x00A8:
      return icu::UnicodeString(u"\u0308");
    case 0x0384:
      return icu::UnicodeString(u"\u0301");
    case 0x0385:
      return icu::UnicodeString(u"\u0308\u0301");
  }
  if (u_charType(accent) != U_NON_SPACING_MARK) {
    throw std::invalid_argument("not an accent: " + std::to_string(accent));
  }
  return icu::UnicodeString(accent);
}

}  // namespace

char16_t Precomposed(char16_t base, char16_t accent) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  icu::UnicodeString text(base);
  text += CombiningMarks(accent);
  const icu::UnicodeString composed = nfc->normalize(text, status);
  if (U_FAILURE(status)) throw std::runtime_error(u_errorName(status));
  return composed.length() == 1 ? composed.charAt(0) : 0;
}

std::vector<DeadKey> ExpectedDeadKeys(const ExpectedLayout& layout) {
  std::vector<DeadKey> keys;
  for (const DeadGroup& group : layout.dead_groups) {
    auto entry = [&](char16_t base, char16_t result) {
      keys.push_back({uint32_t(base) | uint32_t(group.accent) << 16, result, 0});
    };
    for (char16_t base : group.bases) {
      char16_t result = Precomposed(base, group.accent);
      for (const auto& [listed, exception] : group.exceptions) {
        if (listed == base) result = exception;
      }
      entry(base, result);
    }
    entry(u' ', group.accent);
  }
  return keys;
}

}  // namespace layout_test
