#include "framework/desktop/program_icon.h"

#include <wx/bitmap.h>
#include <wx/icon.h>

#include "framework/resources.h"

namespace framework {

wxIconBundle ProgramIconBundle() {
  wxIconBundle bundle;
  const IconResource* icon = ProgramIcon();
  if (icon == nullptr) return bundle;
  for (const IconImage& image : icon->images) {
    const wxBitmap bitmap(image.xpm);
    if (!bitmap.IsOk()) continue;
    wxIcon converted;
    converted.CopyFromBitmap(bitmap);
    bundle.AddIcon(converted);
  }
  return bundle;
}

}  // namespace framework
