/*
 * What a layout library's source includes first: the table format, the
 * virtual keys and the character rows every library shares. The library then
 * defines its own tables and includes layout_library.inc, which adds the
 * common maps, key names, modifiers and the exported descriptor.
 */
#ifndef LAYOUTS_COMMON_LAYOUT_LIBRARY_H_
#define LAYOUTS_COMMON_LAYOUT_LIBRARY_H_

#include "layouts/common/layout_tables.h"
#include "layouts/common/virtual_keys.h"

/* Control rows of aVkToWch3; the third column is the AltGr column. */
#define ROW_BACK {VK_BACK, 0, {0x0008, 0x0008, 0x007F}}
#define ROW_CANCEL {VK_CANCEL, 0, {0x0003, 0x0003, 0x0003}}
#define ROW_ESCAPE {VK_ESCAPE, 0, {0x001B, 0x001B, 0x001B}}
#define ROW_OEM_5 {VK_OEM_5, 0, {'\\', '|', 0x001C}}
#define ROW_RETURN {VK_RETURN, 0, {0x000D, 0x000D, 0x000A}}
#define ROW_SPACE {VK_SPACE, 0, {' ', ' ', ' '}}
#define CONTROL_ROWS ROW_BACK, ROW_CANCEL, ROW_ESCAPE, ROW_OEM_5, ROW_RETURN, ROW_SPACE

/* The rows that end aVkToWch2. */
#define KEYPAD_ROWS                      \
  {VK_TAB, 0, {'\t', '\t'}},             \
  {VK_ADD, 0, {'+', '+'}},               \
  {VK_DECIMAL, 0, {'.', '.'}},           \
  {VK_DIVIDE, 0, {'/', '/'}},            \
  {VK_MULTIPLY, 0, {'*', '*'}},          \
  {VK_SUBTRACT, 0, {'-', '-'}}

/* The row that ends every character table. */
#define END_OF_ROWS {0, 0, {0}}

/* The row that follows a row with dead cells: the accents in their columns. */
#define DEAD_ACCENTS_2(base, shift) {VK_DEAD_ACCENTS, 0, {base, shift}}
#define DEAD_ACCENTS_3(base, shift, altgr) {VK_DEAD_ACCENTS, 0, {base, shift, altgr}}
#define DEAD_ACCENTS_4(base, shift, altgr, shift_altgr) \
  {VK_DEAD_ACCENTS, 0, {base, shift, altgr, shift_altgr}}

#endif /* LAYOUTS_COMMON_LAYOUT_LIBRARY_H_ */
