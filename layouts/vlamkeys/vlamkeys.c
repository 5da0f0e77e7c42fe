/* Flemish (Belgian AZERTY) layout for the MV-A2 keyboard. The virtual keys
 * stay those of the key positions: virtual key Q types a, A types q, W
 * types z, Z types w, M types the comma and VK_OEM_3 types m. */
#include "layouts/common/layout_library.h"

#define LAYOUT_VK_SCAN_4E (VK_ADD | KBDSPECIAL | KBDNUMPAD)
#define LAYOUT_VK_SCAN_56 VK_OEM_5 /* the backslash key */
#define LAYOUT_VK_E0_0F (VK_RMENU | KBDEXT)
#define LAYOUT_VK_E0_37 (0xE8 | KBDEXT)

/* The digit row types the digits with Shift and with Caps Lock. */
static const VK_TO_WCHARS3 aVkToWch3[] = {
    {'0', CAPLOK, {u'à', '0', '}'}},
    {'2', CAPLOK, {u'é', '2', '|'}},
    {'6', CAPLOK, {u'§', '6', '['}},
    {'7', CAPLOK, {u'è', '7', ']'}},
    {'9', CAPLOK, {u'ç', '9', '{'}},
    ROW_BACK,
    ROW_CANCEL,
    ROW_ESCAPE,
    {VK_OEM_6, 0, {WCH_DEAD, WCH_DEAD, '['}},
    DEAD_ACCENTS_3('^', u'¨', WCH_NONE),
    ROW_OEM_5,
    {VK_OEM_1, 0, {'$', '*', ']'}},
    ROW_RETURN,
    ROW_SPACE,
    END_OF_ROWS,
};

static const VK_TO_WCHARS4 aVkToWch4[] = {
    {VK_OEM_7, 0, {u'ú', '%', '\\', '|'}},
    {VK_OEM_102, CAPLOK, {'<', '>', '`', '~'}},
    END_OF_ROWS,
};

static const VK_TO_WCHARS2 aVkToWch2[] = {
    {'1', CAPLOK, {'&', '1'}},
    {'3', CAPLOK, {'"', '3'}},
    {'4', CAPLOK, {u'´', '4'}},
    {'5', CAPLOK, {'(', '5'}},
    {'8', CAPLOK, {'!', '8'}},
    {'A', CAPLOK, {'q', 'Q'}},
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
    {'M', 0, {',', '?'}},
    {'N', CAPLOK, {'n', 'N'}},
    {'O', CAPLOK, {'o', 'O'}},
    {'P', CAPLOK, {'p', 'P'}},
    {'Q', CAPLOK, {'a', 'A'}},
    {'R', CAPLOK, {'r', 'R'}},
    {'S', CAPLOK, {'s', 'S'}},
    {'T', CAPLOK, {'t', 'T'}},
    {'U', CAPLOK, {'u', 'U'}},
    {'V', CAPLOK, {'v', 'V'}},
    {'W', CAPLOK, {'z', 'Z'}},
    {'X', CAPLOK, {'x', 'X'}},
    {'Y', CAPLOK, {'y', 'Y'}},
    {'Z', CAPLOK, {'w', 'W'}},
    {VK_OEM_PLUS, 0, {')', u'°'}},
    {VK_OEM_4, 0, {'-', '_'}},
    {VK_OEM_3, CAPLOK, {'m', 'M'}},
    {VK_OEM_2, 0, {'#', '@'}},
    {VK_OEM_COMMA, 0, {';', '.'}},
    {VK_OEM_PERIOD, 0, {':', '/'}},
    {VK_OEM_MINUS, 0, {'=', '+'}},
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
