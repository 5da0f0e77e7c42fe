/* US English layout (101/102 keys): the station's default layout. The
 * characters follow the US key positions over the common scan-code map;
 * the extra 102-key key at 0x56 is the backslash key. No dead keys, and the
 * right Alt key is a plain Alt key. */
#include "layouts/common/layout_library.h"

#define LAYOUT_VK_SCAN_4E VK_ADD
#define LAYOUT_VK_SCAN_56 VK_OEM_5
#define LAYOUT_VK_E0_0F (VK_RMENU | KBDEXT)
#define LAYOUT_VK_E0_37 (VK_SNAPSHOT | KBDEXT)
#define LAYOUT_LOCALE_FLAGS 0

static const VK_TO_WCHARS3 aVkToWch3[] = {
    CONTROL_ROWS,
    END_OF_ROWS,
};

static const VK_TO_WCHARS4 aVkToWch4[] = {
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
    {'W', CAPLOK, {'w', 'W'}},
    {'E', CAPLOK, {'e', 'E'}},
    {'R', CAPLOK, {'r', 'R'}},
    {'T', CAPLOK, {'t', 'T'}},
    {'Y', CAPLOK, {'y', 'Y'}},
    {'U', CAPLOK, {'u', 'U'}},
    {'I', CAPLOK, {'i', 'I'}},
    {'O', CAPLOK, {'o', 'O'}},
    {'P', CAPLOK, {'p', 'P'}},
    {VK_OEM_6, 0, {'[', '{'}},
    {VK_OEM_1, 0, {']', '}'}},
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
    {VK_OEM_7, 0, {'\'', '"'}},
    {VK_OEM_102, 0, {'`', '~'}},
    {VK_OEM_2, 0, {'\\', '|'}},
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

static const DEADKEY aDeadKey[] = {
    {0, 0, 0},
};

static const KBD_WCHAR* const aKeyNamesDead[] = {
    0,
};

#include "layouts/common/layout_library.inc"
