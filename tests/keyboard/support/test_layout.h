// The test layout of fixtures/test_layout.c, linked into the tests.
#pragma once

#include <string>

#include "layouts/common/layout_tables.h"

extern "C" const KBDTABLES* KbdLayerDescriptor(void);

namespace testing_support {

// Where the built fixture libraries lie (testkeys.so and the broken ones).
inline std::string KeyboardFixture(const std::string& file) {
  return std::string(KEYBOARD_FIXTURE_DIR) + "/" + file;
}

}  // namespace testing_support
