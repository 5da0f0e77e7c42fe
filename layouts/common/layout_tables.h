/*
 * The keyboard layout table format: the records a layout library hands to
 * the keyboard driver through KbdLayerDescriptor.
 *
 * Natural C layout with pointers of the target's width, so one source builds
 * the 64-bit host library and the 32-bit Windows DLL. Characters and names are
 * 16-bit UTF-16 code units on every target.
 */
#ifndef LAYOUTS_COMMON_LAYOUT_TABLES_H_
#define LAYOUTS_COMMON_LAYOUT_TABLES_H_

#include <stdint.h>

#ifdef __cplusplus
typedef char16_t KBD_WCHAR;
#else
typedef uint16_t KBD_WCHAR; /* what u"" literals are in C11 */
#endif

/* Modifier bits. */
#define KBDSHIFT 0x01
#define KBDCTRL 0x02
#define KBDALT 0x04

/* Flags in the high byte of a scan code's virtual key. */
#define KBDEXT 0x0100
#define KBDMULTIVK 0x0200
#define KBDSPECIAL 0x0400
#define KBDNUMPAD 0x0800

/* Character cells. */
#define WCH_NONE 0xF000
#define WCH_DEAD 0xF001
#define SHFT_INVALID 0x0F

/* Row attributes. */
#define CAPLOK 0x01

/* VirtualKey of the row that directly follows a row with WCH_DEAD cells and
 * holds, in the same columns, the accents those cells stand for. */
#define VK_DEAD_ACCENTS 0xFF

/* Locale flags. */
#define KLLF_ALTGR 0x0001

/* A virtual key with the modifier bit it sets. */
typedef struct {
  uint8_t Vk;
  uint8_t ModBits;
} VK_TO_BIT;

/* Held modifier bits to a column of the character tables. */
typedef struct {
  const VK_TO_BIT* pVkToBit; /* ends with a zero entry */
  uint16_t wMaxModBits;
  uint8_t ModNumber[8]; /* wMaxModBits + 1 entries are read */
} MODIFIERS;

/* Character table rows of 1 to 5 columns: VirtualKey, Attributes, wch[n]. */
#define KBD_DEFINE_VK_TO_WCHARS(n) \
  typedef struct {                 \
    uint8_t VirtualKey;            \
    uint8_t Attributes;            \
    KBD_WCHAR wch[n];              \
  } VK_TO_WCHARS##n;
KBD_DEFINE_VK_TO_WCHARS(1)
KBD_DEFINE_VK_TO_WCHARS(2)
KBD_DEFINE_VK_TO_WCHARS(3)
KBD_DEFINE_VK_TO_WCHARS(4)
KBD_DEFINE_VK_TO_WCHARS(5)
#undef KBD_DEFINE_VK_TO_WCHARS

/* An entry of the index of character tables; ends with a null table. */
typedef struct {
  const VK_TO_WCHARS1* pVkToWchars; /* rows of cbSize bytes */
  uint8_t nModifications;
  uint8_t cbSize;
} VK_TO_WCHAR_TABLE;

/* A dead-key composition: base character in the low 16 bits of dwBoth, accent in the high. */
typedef struct {
  uint32_t dwBoth;
  KBD_WCHAR wchComposed;
  uint16_t uFlags;
} DEADKEY;

#define DEADTRANS(base, accent, composed, flags) \
  { (uint32_t)(base) | ((uint32_t)(accent) << 16), (composed), (flags) }

/* A prefixed scan code and its virtual key; ends with a zero pair. */
typedef struct {
  uint8_t Vsc;
  uint16_t Vk;
} VSC_VK;

/* A scan code and its name; ends with a zero byte and a null name. */
typedef struct {
  uint8_t vsc;
  const KBD_WCHAR* pwsz;
} VSC_LPWSTR;

/* The top record. */
typedef struct {
  const MODIFIERS* pCharModifiers;
  const VK_TO_WCHAR_TABLE* pVkToWcharTable;
  const DEADKEY* pDeadKey;
  const VSC_LPWSTR* pKeyNames;
  const VSC_LPWSTR* pKeyNamesExt;
  const KBD_WCHAR* const* pKeyNamesDead; /* accent followed by its name; ends with null */
  const uint16_t* pusVSCtoVK;
  uint8_t bMaxVSCtoVK;
  const VSC_VK* pVSCtoVK_E0;
  const VSC_VK* pVSCtoVK_E1;
  uint32_t fLocaleFlags;
} KBDTABLES;

typedef const KBDTABLES* PKBDTABLES;

#endif /* LAYOUTS_COMMON_LAYOUT_TABLES_H_ */
