#include "nt/system.h"
#include "nt/ui.h"

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  // The platform titles a box without a caption "Error".
  return nt::CurrentUi().MessageBox(owner, text == nullptr ? "" : text,
                                    caption == nullptr ? "Error" : caption, type);
}
