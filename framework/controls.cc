#include "framework/controls.h"

void CListBox::GetText(int nIndex, CString& rString) const {
  const int length = GetTextLen(nIndex);
  if (length == LB_ERR) {
    rString.Empty();
    return;
  }
  GetText(nIndex, rString.GetBuffer(length));
  rString.ReleaseBuffer(length);
}
