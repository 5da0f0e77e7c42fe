/* Romanian layout ("Roumania BL") for the MV-B7 keyboard. */
#include "layouts/common/layout_library.h"

#define LAYOUT_VK_SCAN_4E VK_ADD
#define LAYOUT_VK_SCAN_56 VK_OEM_102 /* types as the key at 0x29 */
#define LAYOUT_VK_E0_0F (VK_RMENU | KBDEXT | KBDSPECIAL)
#define LAYOUT_VK_E0_37 (VK_SNAPSHOT | KBDEXT)

static const VK_TO_WCHARS3 aVkToWch3[] = {
    {'2', 0, {'2', '@', WCH_DEAD}},
    DEAD_ACCENTS_3(WCH_NONE, WCH_NONE, 0x030C), /* caron */
    {'4', 0, {'4', '$', WCH_DEAD}},
    DEAD_ACCENTS_3(WCH_NONE, WCH_NONE, 0x0306), /* breve */
    {'5', 0, {'5', '%', WCH_DEAD}},
    DEAD_ACCENTS_3(WCH_NONE, WCH_NONE, 0x030A), /* ring above */
    {'6', 0, {'6', WCH_DEAD, WCH_DEAD}},
    DEAD_ACCENTS_3(WCH_NONE, '^', 0x0328), /* circumflex, ogonek */
    {'8', 0, {'8', '*', WCH_DEAD}},
    DEAD_ACCENTS_3(WCH_NONE, WCH_NONE, 0x0307), /* dot above */
    {VK_OEM_PLUS, 0, {'-', '_', WCH_DEAD}},
    DEAD_ACCENTS_3(WCH_NONE, WCH_NONE, 0x0308), /* diaeresis */
    {VK_OEM_4, 0, {'=', '+', WCH_DEAD}},
    DEAD_ACCENTS_3(WCH_NONE, WCH_NONE, 0x0327), /* cedilla */
    CONTROL_ROWS,
    END_OF_ROWS,
};

/* The Romanian letters follow Shift only, not Caps Lock. */
static const VK_TO_WCHARS4 aVkToWch4[] = {
    {VK_OEM_6, 0, {u'ă', u'Ă', '[', '{'}},
    {VK_OEM_1, 0, {u'î', u'Î', ']', '}'}},
    {VK_OEM_2, 0, {u'ţ', u'Ţ', '\\', '|'}},
    {VK_OEM_102, 0, {u'ş', u'Ş', '`', '~'}},
    END_OF_ROWS,
};

static const VK_TO_WCHARS2 aVkToWch2[] = {
    {'1', 0, {'1', '!'}},
    {'3', 0, {'3', '#'}},
    {'7', 0, {'7', '&'}},
    {'9', 0, {'9', '('}},
    {'0', 0, {'0', ')'}},
    {'Q', CAPLOK, {'q', 'Q'}},
    {'W', CAPLOK, {'w', 'W'}},
    {'E', CAPLOK, {'e', 'E'}},
    {'R', CAPLOK, {'r', 'R'}},
    {'T', CAPLOK, {'t', 'T'}},
    {'Y', CAPLOK, {'y', 'Y'}},
    {'U', CAPLOK, {'u', 'U'}},
    {'I', CAPLOK, {'i', 'I'}},
    {'O', CAPLOK, {'o', 'O'}},
    {'P', CAPLOK, {'p', 'P'}},
    {'A', CAPLOK, {'a', 'A'}},
    {'S', CAPLOK, {'s', 'S'}},
    {'D', CAPLOK, {'d', 'D'}},
    {'F', CAPLOK, {'f', 'F'}},
    {'G', CAPLOK, {'g', 'G'}},
    {'H', CAPLOK, {'h', 'H'}},
    {'J', CAPLOK, {'j', 'J'}},
    {'K', CAPLOK, {'k', 'K'}},
    {'L', CAPLOK, {'l', 'L'}},
    {VK_OEM_3, 0, {';', ':'}},
    {VK_OEM_7, 0, {u'´', WCH_DEAD}}, /* the acute accent as a plain character */
    DEAD_ACCENTS_2(WCH_NONE, 0x030B), /* double acute */
    {'Z', CAPLOK, {'z', 'Z'}},
    {'X', CAPLOK, {'x', 'X'}},
    {'C', CAPLOK, {'c', 'C'}},
    {'V', CAPLOK, {'v', 'V'}},
    {'B', CAPLOK, {'b', 'B'}},
    {'N', CAPLOK, {'n', 'N'}},
    {'M', CAPLOK, {'m', 'M'}},
    {VK_OEM_COMMA, 0, {',', '<'}},
    {VK_OEM_PERIOD, 0, {'.', '>'}},
    {VK_OEM_MINUS, 0, {'/', '?'}},
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
    DEADTRANS(u'2', '^', u'²', 0),
    DEADTRANS(u'3', '^', u'³', 0),
    DEADTRANS(u'1', '^', u'¹', 0),
    DEADTRANS(u'.', '^', u'·', 0),
    DEADTRANS(u'*', '^', u'°', 0),
    DEADTRANS(u' ', '^', '^', 0),

    DEADTRANS(u'a', 0x0301, u'á', 0),
    DEADTRANS(u'e', 0x0301, u'é', 0),
    DEADTRANS(u'i', 0x0301, u'í', 0),
    DEADTRANS(u'o', 0x0301, u'ó', 0),
    DEADTRANS(u'u', 0x0301, u'ú', 0),
    DEADTRANS(u'y', 0x0301, u'ý', 0),
    DEADTRANS(u'c', 0x0301, u'ć', 0),
    DEADTRANS(u's', 0x0301, u'ś', 0),
    DEADTRANS(u'z', 0x0301, u'ź', 0),
    DEADTRANS(u'r', 0x0301, u'ŕ', 0),
    DEADTRANS(u'l', 0x0301, u'ĺ', 0),
    DEADTRANS(u'n', 0x0301, u'ń', 0),
    DEADTRANS(u'A', 0x0301, u'Á', 0),
    DEADTRANS(u'E', 0x0301, u'É', 0),
    DEADTRANS(u'I', 0x0301, u'Í', 0),
    DEADTRANS(u'O', 0x0301, u'Ó', 0),
    DEADTRANS(u'U', 0x0301, u'Ú', 0),
    DEADTRANS(u'Y', 0x0301, u'Ý', 0),
    DEADTRANS(u'C', 0x0301, u'Ć', 0),
    DEADTRANS(u'S', 0x0301, u'Ś', 0),
    DEADTRANS(u'Z', 0x0301, u'Ź', 0),
    DEADTRANS(u'R', 0x0301, u'Ŕ', 0),
    DEADTRANS(u'L', 0x0301, u'Ĺ', 0),
    DEADTRANS(u'N', 0x0301, u'Ń', 0),
    DEADTRANS(u' ', 0x0301, 0x0301, 0),

    DEADTRANS(u'a', 0x0308, u'ä', 0),
    DEADTRANS(u'e', 0x0308, u'ë', 0),
    DEADTRANS(u'i', 0x0308, u'ï', 0),
    DEADTRANS(u'o', 0x0308, u'ö', 0),
    DEADTRANS(u'u', 0x0308, u'ü', 0),
    DEADTRANS(u'y', 0x0308, u'ÿ', 0),
    DEADTRANS(u'A', 0x0308, u'Ä', 0),
    DEADTRANS(u'E', 0x0308, u'Ë', 0),
    DEADTRANS(u'I', 0x0308, u'Ï', 0),
    DEADTRANS(u'O', 0x0308, u'Ö', 0),
    DEADTRANS(u'U', 0x0308, u'Ü', 0),
    DEADTRANS(u'Y', 0x0308, u'ÿ', 0), /* the small letter, not U+0178 */
    DEADTRANS(u' ', 0x0308, 0x0308, 0),

    DEADTRANS(u'l', 0x030C, u'ľ', 0),
    DEADTRANS(u's', 0x030C, u'š', 0),
    DEADTRANS(u't', 0x030C, u'ť', 0),
    DEADTRANS(u'z', 0x030C, u'ž', 0),
    DEADTRANS(u'c', 0x030C, u'č', 0),
    DEADTRANS(u'e', 0x030C, u'ě', 0),
    DEADTRANS(u'd', 0x030C, u'ď', 0),
    DEADTRANS(u'n', 0x030C, u'ň', 0),
    DEADTRANS(u'r', 0x030C, u'ř', 0),
    DEADTRANS(u'L', 0x030C, u'Ľ', 0),
    DEADTRANS(u'S', 0x030C, u'Š', 0),
    DEADTRANS(u'T', 0x030C, u'Ť', 0),
    DEADTRANS(u'Z', 0x030C, u'Ž', 0),
    DEADTRANS(u'C', 0x030C, u'Č', 0),
    DEADTRANS(u'E', 0x030C, u'Ě', 0),
    DEADTRANS(u'D', 0x030C, u'Ď', 0),
    DEADTRANS(u'N', 0x030C, u'Ň', 0),
    DEADTRANS(u'R', 0x030C, u'Ř', 0),
    DEADTRANS(u' ', 0x030C, 0x030C, 0),

    DEADTRANS(u'a', 0x0306, u'ă', 0),
    DEADTRANS(u'A', 0x0306, u'Ă', 0),
    DEADTRANS(u' ', 0x0306, 0x0306, 0),

    DEADTRANS(u'u', 0x030A, u'ů', 0),
    DEADTRANS(u'U', 0x030A, u'Ů', 0),
    DEADTRANS(u' ', 0x030A, 0x030A, 0),

    DEADTRANS(u'a', 0x0328, u'ą', 0),
    DEADTRANS(u'e', 0x0328, u'ę', 0),
    DEADTRANS(u'A', 0x0328, u'Ą', 0),
    DEADTRANS(u'E', 0x0328, u'Ę', 0),
    DEADTRANS(u' ', 0x0328, 0x0328, 0),

    DEADTRANS(u'z', 0x0307, u'ż', 0),
    DEADTRANS(u'Z', 0x0307, u'Ż', 0),
    DEADTRANS(u' ', 0x0307, 0x0307, 0),

    DEADTRANS(u's', 0x0327, u'ş', 0),
    DEADTRANS(u'c', 0x0327, u'ç', 0),
    DEADTRANS(u't', 0x0327, u'ţ', 0),
    DEADTRANS(u'S', 0x0327, u'Ş', 0),
    DEADTRANS(u'C', 0x0327, u'Ç', 0),
    DEADTRANS(u'T', 0x0327, u'Ţ', 0),
    DEADTRANS(u' ', 0x0327, 0x0327, 0),

    DEADTRANS(u'o', 0x030B, u'ő', 0),
    DEADTRANS(u'u', 0x030B, u'ű', 0),
    DEADTRANS(u'O', 0x030B, u'Ő', 0),
    DEADTRANS(u'U', 0x030B, u'Ű', 0),
    DEADTRANS(u' ', 0x030B, 0x030B, 0),

    DEADTRANS(u'a', '~', u'ã', 0),
    DEADTRANS(u'n', '~', u'ñ', 0),
    DEADTRANS(u'o', '~', u'õ', 0),
    DEADTRANS(u'A', '~', u'Ã', 0),
    DEADTRANS(u'N', '~', u'Ñ', 0),
    DEADTRANS(u'O', '~', u'Õ', 0),
    DEADTRANS(u' ', '~', '~', 0),

    {0, 0, 0},
};

/* Each name starts with its accent. */
static const KBD_WCHAR* const aKeyNamesDead[] = {
    u"~tilde",
    u"`Grave",
    u"^Circumflex",
    u"\u0301Acute accent",
    u"\u0308Dieresis",
    u"\u030CHacek caron",
    u"\u0306Breve",
    u"\u030ARing Above",
    u"\u0328Ogonek",
    u"\u0307Dot above",
    u"\u0327Cedilla",
    u"\u030BDouble acute accent",
    0,
};

#include "layouts/common/layout_library.inc"
