// Registry paths of the layout registration.
#pragma once

// Spelled as the allocation reads it; the registration writes "System\..."
// and reaches the same key, since key paths ignore letter case.
constexpr const char kKeyboardLayoutsPath[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";
constexpr const char kKeyboardLayoutsPathForWriting[] =
    "System\\CurrentControlSet\\Control\\Keyboard Layouts";
constexpr const char kPreloadPath[] = "Keyboard Layout\\Preload";
