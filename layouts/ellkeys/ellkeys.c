/* Greek layout for the MV-B7 keyboard: Latin on base and Shift, Greek on
 * AltGr and Shift+AltGr. */
#include "layouts/common/layout_library.h"

#define LAYOUT_VK_SCAN_4E (VK_ADD | KBDSPECIAL | KBDNUMPAD)
#define LAYOUT_VK_SCAN_56 VK_OEM_5 /* the backslash key */
#define LAYOUT_VK_E0_0F (VK_RMENU | KBDEXT)
#define LAYOUT_VK_E0_37 (VK_SNAPSHOT | KBDEXT)

static const VK_TO_WCHARS3 aVkToWch3[] = {
    CONTROL_ROWS,
    END_OF_ROWS,
};

static const VK_TO_WCHARS4 aVkToWch4[] = {
    {'W', CAPLOK, {'w', 'W', u'ς', WCH_NONE}},
    {'E', CAPLOK, {'e', 'E', u'ε', u'Ε'}},
    {'R', CAPLOK, {'r', 'R', u'ρ', u'Ρ'}},
    {'T', CAPLOK, {'t', 'T', u'τ', u'Τ'}},
    {'Y', CAPLOK, {'y', 'Y', u'υ', u'Υ'}},
    {'U', CAPLOK, {'u', 'U', u'θ', u'Θ'}},
    {'I', CAPLOK, {'i', 'I', u'ι', u'Ι'}},
    {'O', CAPLOK, {'o', 'O', u'ο', u'Ο'}},
    {'P', CAPLOK, {'p', 'P', u'π', u'Π'}},
    {'A', CAPLOK, {'a', 'A', u'α', u'Α'}},
    {'S', CAPLOK, {'s', 'S', u'σ', u'Σ'}},
    {'D', CAPLOK, {'d', 'D', u'δ', u'Δ'}},
    {'F', CAPLOK, {'f', 'F', u'φ', u'Φ'}},
    {'G', CAPLOK, {'g', 'G', u'γ', u'Γ'}},
    {'H', CAPLOK, {'h', 'H', u'η', u'Η'}},
    {'J', CAPLOK, {'j', 'J', u'ξ', u'Ξ'}},
    {'K', CAPLOK, {'k', 'K', u'κ', u'Κ'}},
    {'L', CAPLOK, {'l', 'L', u'λ', u'Λ'}},
    {VK_OEM_3, 0, {'\'', WCH_DEAD, WCH_DEAD, '"'}},
    DEAD_ACCENTS_4(WCH_NONE, u'¨', u'΄', WCH_NONE), /* dialytika, tonos */
    {VK_OEM_102, 0, {'<', '>', '`', '~'}},
    {'Z', CAPLOK, {'z', 'Z', u'ζ', u'Ζ'}},
    {'X', CAPLOK, {'x', 'X', u'χ', u'Χ'}},
    {'C', CAPLOK, {'c', 'C', u'ψ', u'Ψ'}},
    {'V', CAPLOK, {'v', 'V', u'ω', u'Ω'}},
    {'B', CAPLOK, {'b', 'B', u'β', u'Β'}},
    {'N', CAPLOK, {'n', 'N', u'ν', u'Ν'}},
    {'M', CAPLOK, {'m', 'M', u'μ', u'Μ'}},
    END_OF_ROWS,
};

static const VK_TO_WCHARS2 aVkToWch2[] = {
    {'1', 0, {'1', '!'}},
    {'2', 0, {'2', '@'}},
    {'3', 0, {'3', '#'}},
    {'4', 0, {'4', '$'}},
    {'5', 0, {'5', '%'}},
    {'6', 0, {'6', '^'}},
    {'7', 0, {'7', '&'}},
    {'8', 0, {'8', '*'}},
    {'9', 0, {'9', '('}},
    {'0', 0, {'0', ')'}},
    {VK_OEM_PLUS, 0, {'-', '_'}},
    {VK_OEM_4, 0, {'=', '+'}},
    {'Q', CAPLOK, {'q', 'Q'}},
    {VK_OEM_6, 0, {'[', '{'}},
    {VK_OEM_1, 0, {']', '}'}},
    {VK_OEM_7, 0, {';', ':'}},
    {VK_OEM_2, 0, {'\\', '|'}},
    {VK_OEM_COMMA, 0, {',', ','}},
    {VK_OEM_PERIOD, 0, {'.', '.'}},
    {VK_OEM_MINUS, 0, {'/', '?'}},
    KEYPAD_ROWS,
    END_OF_ROWS,
};

/* Grouped by accent; each group ends with space, which gives the accent. */
static const DEADKEY aDeadKey[] = {
    DEADTRANS(u'a', u'¨', u'ä', 0),
    DEADTRANS(u'e', u'¨', u'ë', 0),
    DEADTRANS(u'i', u'¨', u'ï', 0),
    DEADTRANS(u'ι', u'¨', u'ϊ', 0),
    DEADTRANS(u'o', u'¨', u'ö', 0),
    DEADTRANS(u'ο', u'¨', u'ö', 0), /* Greek omicron gives the Latin ö */
    DEADTRANS(u'u', u'¨', u'ü', 0),
    DEADTRANS(u'y', u'¨', u'ÿ', 0),
    DEADTRANS(u'υ', u'¨', u'ϋ', 0),
    DEADTRANS(u'A', u'¨', u'Ä', 0),
    DEADTRANS(u'E', u'¨', u'Ë', 0),
    DEADTRANS(u'I', u'¨', u'Ï', 0),
    DEADTRANS(u'Ι', u'¨', u'Ϊ', 0),
    DEADTRANS(u'O', u'¨', u'Ö', 0),
    DEADTRANS(u'Ο', u'¨', u'Ö', 0), /* Greek capital omicron gives the Latin Ö */
    DEADTRANS(u'U', u'¨', u'Ü', 0),
    DEADTRANS(u'Y', u'¨', u'ÿ', 0), /* the small letter, not U+0178 */
    DEADTRANS(u'Υ', u'¨', u'Ϋ', 0),
    DEADTRANS(u' ', u'¨', u'¨', 0),

    DEADTRANS(u'α', u'΄', u'ά', 0),
    DEADTRANS(u'ε', u'΄', u'έ', 0),
    DEADTRANS(u'η', u'΄', u'ή', 0),
    DEADTRANS(u'ι', u'΄', u'ί', 0),
    DEADTRANS(u'ο', u'΄', u'ό', 0),
    DEADTRANS(u'υ', u'΄', u'ύ', 0),
    DEADTRANS(u'ω', u'΄', u'ώ', 0),
    DEADTRANS(u'a', u'΄', u'á', 0),
    DEADTRANS(u'e', u'΄', u'é', 0),
    DEADTRANS(u'i', u'΄', u'í', 0),
    DEADTRANS(u'o', u'΄', u'ó', 0),
    DEADTRANS(u'u', u'΄', u'ú', 0),
    DEADTRANS(u'y', u'΄', u'ý', 0),
    DEADTRANS(u'A', u'΄', u'Á', 0),
    DEADTRANS(u'E', u'΄', u'É', 0),
    DEADTRANS(u'I', u'΄', u'Í', 0),
    DEADTRANS(u'O', u'΄', u'Ó', 0),
    DEADTRANS(u'U', u'΄', u'Ú', 0),
    DEADTRANS(u'Y', u'΄', u'Ý', 0),
    DEADTRANS(u' ', u'΄', u'΄', 0),

    DEADTRANS(u'ι', u'΅', u'ΐ', 0),
    DEADTRANS(u'υ', u'΅', u'ΰ', 0),
    DEADTRANS(u' ', u'΅', u'΅', 0),

    {0, 0, 0},
};

/* Each name starts with its accent. */
static const KBD_WCHAR* const aKeyNamesDead[] = {
    u"\u0384Greek Tonos",
    u"\u0385Dieretis Tonos",
    u"\u00A8Dieretis",
    0,
};

#include "layouts/common/layout_library.inc"
