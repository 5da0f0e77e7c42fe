// The program's resources: dialog templates and icons, looked up by id the
// way the platform looks them up in a module's resource section.
//
// A program registers its resources with static ResourceRegistration objects
// in a CMake OBJECT library linked into the executable, so that the linker
// keeps them (as it keeps a compiled resource script).
#pragma once

#include <span>

#include "framework/dialog_template.h"

namespace framework {

// One image of an icon, as XPM text (the C array an .xpm file holds).
struct IconImage {
  int width;
  int height;
  const char* const* xpm;
};

struct IconResource {
  UINT id;
  std::span<const IconImage> images;
};

const DialogTemplate* FindDialogTemplate(UINT id);
const IconResource* FindIcon(UINT id);

// The icon a HICON from LoadIconA stands for; null for a null handle.
const IconResource* IconFromHandle(HICON icon);

class ResourceRegistration {
 public:
  explicit ResourceRegistration(const DialogTemplate& dialog);
  explicit ResourceRegistration(const IconResource& icon);
};

}  // namespace framework
