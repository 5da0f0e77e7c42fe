#include "framework/ui_backend.h"

#include "nt/system.h"

namespace framework {
namespace {
int g_waitCursorCount = 0;
}  // namespace

UiBackend* CurrentBackend() { return dynamic_cast<UiBackend*>(nt::Current().ui); }

void DoWaitCursor(int code) {
  const bool wasShown = g_waitCursorCount > 0;
  g_waitCursorCount += code;
  if (g_waitCursorCount < 0) g_waitCursorCount = 0;  // an End too many changes nothing
  const bool shown = g_waitCursorCount > 0;
  UiBackend* backend = CurrentBackend();
  if (backend != nullptr && shown != wasShown) {
    backend->ShowWaitCursor(shown);
  }
}

bool IsWaitCursorShown() { return g_waitCursorCount > 0; }

}  // namespace framework
