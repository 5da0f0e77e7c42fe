// Keyboard layouts: the service behind LoadKeyboardLayoutA and
// GetKeyboardLayoutNameA. The driver (nt/keyboard/driver.h) is the real one;
// tests of the installer install a fake.
#pragma once

#include <string>

#include "nt/win32.h"

namespace nt {

class KeyboardLayouts {
 public:
  virtual ~KeyboardLayouts() = default;
  // Loads the layout registered under `name` (eight hexadecimal digits) and
  // applies the KLF_ flags to the user's keyboard session. Returns
  // ERROR_SUCCESS and the layout's handle, or the error.
  virtual DWORD Load(const std::string& name, UINT flags, HKL* layout) = 0;
  // The active layout's name, as the Keyboard Layouts key spells it.
  virtual DWORD ActiveName(std::string* name) = 0;
};

}  // namespace nt
