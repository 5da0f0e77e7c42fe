/* Swedish layout for the MV-A2 keyboard. */
#include "layouts/common/layout_library.h"

#define LAYOUT_VK_SCAN_4E (VK_ADD | KBDSPECIAL | KBDNUMPAD)
#define LAYOUT_VK_SCAN_56 VK_OEM_102 /* types as the key at 0x29 */
#define LAYOUT_VK_E0_0F (VK_RMENU | KBDEXT)
#define LAYOUT_VK_E0_37 (0xE8 | KBDEXT)

static const VK_TO_WCHARS3 aVkToWch3[] = {
    {'0', 0, {'0', '=', ')'}},
    {'2', 0, {'2', '"', '@'}},
    {'3', 0, {'3', u'§', '@'}},
    {'5', 0, {'5', '%', u'°'}},
    {'6', 0, {'6', '&', '^'}},
    {'7', 0, {'7', '/', '&'}},
    {'8', 0, {'8', '(', '*'}},
    {'9', 0, {'9', ')', '('}},
    CONTROL_ROWS,
    END_OF_ROWS,
};

static const VK_TO_WCHARS4 aVkToWch4[] = {
    {'1', 0, {'1', '!', u'ü', u'Ü'}},
    {'4', 0, {'4', '$', u'é', u'É'}},
    {VK_OEM_4, 0, {WCH_DEAD, WCH_DEAD, '=', '+'}},
    DEAD_ACCENTS_4('^', '`', WCH_NONE, WCH_NONE),
    {VK_OEM_6, CAPLOK, {u'å', u'Å', ']', '['}},
    {VK_OEM_1, CAPLOK, {u'ü', u'Ü', '#', '\\'}},
    {VK_OEM_3, CAPLOK, {u'ö', u'Ö', '}', '{'}},
    {VK_OEM_7, CAPLOK, {u'ä', u'Ä', '|', '|'}},
    {VK_OEM_102, CAPLOK, {'<', '>', '~', u'°'}},
    {VK_OEM_2, 0, {WCH_DEAD, '*', WCH_NONE, WCH_NONE}},
    DEAD_ACCENTS_4(u'´', WCH_NONE, WCH_NONE, WCH_NONE),
    {VK_OEM_MINUS, CAPLOK, {'-', '_', '/', '?'}},
    END_OF_ROWS,
};

static const VK_TO_WCHARS2 aVkToWch2[] = {
    {'A', CAPLOK, {'a', 'A'}},
    {'B', CAPLOK, {'b', 'B'}},
    {'C', CAPLOK, {'c', 'C'}},
    {'D', CAPLOK, {'d', 'D'}},
    {'E', CAPLOK, {'e', 'E'}},
    {'F', CAPLOK, {'f', 'F'}},
    {'G', CAPLOK, {'g', 'G'}},
    {'H', CAPLOK, {'h', 'H'}},
    {'I', CAPLOK, {'i', 'I'}},
    {'J', CAPLOK, {'j', 'J'}},
    {'K', CAPLOK, {'k', 'K'}},
    {'L', CAPLOK, {'l', 'L'}},
    {'M', CAPLOK, {'m', 'M'}},
    {'N', CAPLOK, {'n', 'N'}},
    {'O', CAPLOK, {'o', 'O'}},
    {'P', CAPLOK, {'p', 'P'}},
    {'Q', CAPLOK, {'q', 'Q'}},
    {'R', CAPLOK, {'r', 'R'}},
    {'S', CAPLOK, {'s', 'S'}},
    {'T', CAPLOK, {'t', 'T'}},
    {'U', CAPLOK, {'u', 'U'}},
    {'V', CAPLOK, {'v', 'V'}},
    {'W', CAPLOK, {'w', 'W'}},
    {'X', CAPLOK, {'x', 'X'}},
    {'Y', CAPLOK, {'y', 'Y'}},
    {'Z', CAPLOK, {'z', 'Z'}},
    {VK_OEM_PLUS, 0, {'+', '?'}},
    {VK_OEM_COMMA, 0, {',', ';'}},
    {VK_OEM_PERIOD, 0, {'.', ':'}},
    KEYPAD_ROWS,
    END_OF_ROWS,
};

/* Grouped by accent; each group ends with space, which gives the accent. */
static const DEADKEY aDeadKey[] = {
    DEADTRANS(u'a', '`', u'à', 0),
    DEADTRANS(u'e', '`', u'è', 0),
    DEADTRANS(u'i', '`', u'ì', 0),
    DEADTRANS(u'o', '`', u'ò', 0),
    DEADTRANS(u'u', '`', u'ù', 0),
    DEADTRANS(u'A', '`', u'À', 0),
    DEADTRANS(u'E', '`', u'È', 0),
    DEADTRANS(u'I', '`', u'Ì', 0),
    DEADTRANS(u'O', '`', u'Ò', 0),
    DEADTRANS(u'U', '`', u'Ù', 0),
    DEADTRANS(u' ', '`', '`', 0),

    DEADTRANS(u'a', u'´', u'á', 0),
    DEADTRANS(u'e', u'´', u'é', 0),
    DEADTRANS(u'i', u'´', u'í', 0),
    DEADTRANS(u'o', u'´', u'ó', 0),
    DEADTRANS(u'u', u'´', u'ú', 0),
    DEADTRANS(u'y', u'´', u'ý', 0),
    DEADTRANS(u'A', u'´', u'Á', 0),
    DEADTRANS(u'E', u'´', u'É', 0),
    DEADTRANS(u'I', u'´', u'Í', 0),
    DEADTRANS(u'O', u'´', u'Ó', 0),
    DEADTRANS(u'U', u'´', u'Ú', 0),
    DEADTRANS(u'Y', u'´', u'Ý', 0),
    DEADTRANS(u' ', u'´', u'´', 0),

    DEADTRANS(u'a', '^', u'â', 0),
    DEADTRANS(u'e', '^', u'ê', 0),
    DEADTRANS(u'i', '^', u'î', 0),
    DEADTRANS(u'o', '^', u'ô', 0),
    DEADTRANS(u'u', '^', u'û', 0),
    DEADTRANS(u'A', '^', u'Â', 0),
    DEADTRANS(u'E', '^', u'Ê', 0),
    DEADTRANS(u'I', '^', u'Î', 0),
    DEADTRANS(u'O', '^', u'Ô', 0),
    DEADTRANS(u'U', '^', u'Û', 0),
    DEADTRANS(u' ', '^', '^', 0),

    DEADTRANS(u'a', u'¨', u'ä', 0),
    DEADTRANS(u'e', u'¨', u'ë', 0),
    DEADTRANS(u'i', u'¨', u'ï', 0),
    DEADTRANS(u'o', u'¨', u'ö', 0),
    DEADTRANS(u'u', u'¨', u'ü', 0),
    DEADTRANS(u'y', u'¨', u'ÿ', 0),
    DEADTRANS(u'A', u'¨', u'Ä', 0),
    DEADTRANS(u'E', u'¨', u'Ë', 0),
    DEADTRANS(u'I', u'¨', u'Ï', 0),
    DEADTRANS(u'O', u'¨', u'Ö', 0),
    DEADTRANS(u'U', u'¨', u'Ü', 0),
    DEADTRANS(u'Y', u'¨', u'ÿ', 0), /* the small letter, not U+0178 */
    DEADTRANS(u' ', u'¨', u'¨', 0),

    {0, 0, 0},
};

/* Each name starts with its accent. */
static const KBD_WCHAR* const aKeyNamesDead[] = {
    u"\u00B4Acute",
    u"`Grave",
    u"^Circumflex",
    u"\u00A8Umlaut",
    0,
};

#include "layouts/common/layout_library.inc"
