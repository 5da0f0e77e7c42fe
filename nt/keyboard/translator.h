// Typing through a layout: scan codes to virtual keys, held modifiers, Caps
// Lock, Num Lock and dead keys to characters.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>

#include "nt/keyboard/layout.h"

namespace nt::kbd {

enum class Prefix : uint8_t { kNone, kE0, kE1 };

struct ScanCode {
  uint8_t code = 0;  // 0x00 to 0x7F
  Prefix prefix = Prefix::kNone;
};

// The virtual key a scan code yields, flags (KBDEXT, KBDNUMPAD, ...) in the
// high byte; kNoKey when it yields none.
uint16_t VirtualKeyOf(const Layout& layout, ScanCode scan);

// The keypad key's digit (or decimal point) virtual key that Num Lock gives a
// KBDNUMPAD key; 0 when the key has none.
uint8_t NumLockVirtualKey(uint8_t vk);

// One keyboard's state over one layout. Not thread-safe; the layout must
// outlive it.
class Translator {
 public:
  explicit Translator(const Layout& layout) : layout_(layout) {}

  // A key pressed (down) or released, named by its scan code. Characters
  // produced are appended to *out.
  void Scan(ScanCode scan, bool down, std::u16string* out);
  // The bytes a keyboard sends: prefixes 0xE0 and 0xE1 (which takes the two
  // bytes that follow), the break bit 0x80.
  void Feed(uint8_t byte, std::u16string* out);
  // A virtual key pressed or released as if a key yielded it.
  void Key(uint8_t vk, bool down, std::u16string* out);

  bool capsLock() const { return caps_; }
  bool numLock() const { return num_; }
  void SetCapsLock(bool on) { caps_ = on; }
  void SetNumLock(bool on) { num_ = on; }
  // The accent of a dead key waiting for the next character, or 0.
  char16_t pendingAccent() const { return accent_; }
  // The modifier bits (KBDSHIFT, KBDCTRL, KBDALT) the held keys give.
  unsigned modifierBits() const { return bits_; }

 private:
  void UpdateModifiers();
  bool IsDown(uint8_t vk) const { return down_[vk]; }
  void Emit(char16_t c, bool dead, std::u16string* out);

  const Layout& layout_;
  std::bitset<256> down_;
  unsigned bits_ = 0;
  bool caps_ = false;
  bool num_ = false;
  char16_t accent_ = 0;
  Prefix prefix_ = Prefix::kNone;
  int e1Left_ = 0;
};

}  // namespace nt::kbd
