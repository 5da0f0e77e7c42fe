// Wrappers of the standard controls.
#pragma once

#include "framework/cwnd.h"

class CEdit : public CWnd {};

class CListBox : public CWnd {
 public:
  int GetCount() const { return Send(LB_GETCOUNT); }
  int GetCurSel() const { return Send(LB_GETCURSEL); }
  int SetCurSel(int nSelect) { return Send(LB_SETCURSEL, static_cast<WPARAM>(nSelect)); }
  int GetTopIndex() const { return Send(LB_GETTOPINDEX); }
  int SetTopIndex(int nIndex) { return Send(LB_SETTOPINDEX, static_cast<WPARAM>(nIndex)); }
  int AddString(LPCSTR lpszItem) { return Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszItem)); }
  int InsertString(int nIndex, LPCSTR lpszItem) {
    return Send(LB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszItem));
  }
  int DeleteString(UINT nIndex) { return Send(LB_DELETESTRING, nIndex); }
  void ResetContent() { Send(LB_RESETCONTENT); }
  int FindStringExact(int nIndexStart, LPCSTR lpszFind) const {
    return Send(LB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart),
                reinterpret_cast<LPARAM>(lpszFind));
  }
  int GetTextLen(int nIndex) const { return Send(LB_GETTEXTLEN, static_cast<WPARAM>(nIndex)); }
  // The buffer must hold GetTextLen(nIndex) bytes and a zero.
  int GetText(int nIndex, LPSTR lpszBuffer) const {
    return Send(LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszBuffer));
  }
  // An index outside the list leaves `rString` empty.
  void GetText(int nIndex, CString& rString) const;

 private:
  int Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return static_cast<int>(::SendMessageA(m_hWnd, message, wParam, lParam));
  }
};

// Rectangles and painting.
class CRect : public RECT {
 public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

class CDC {
 public:
  HDC m_hDC = nullptr;
  HDC GetSafeHdc() const { return m_hDC; }
  BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
  BOOL DrawIcon(POINT point, HICON hIcon) { return ::DrawIcon(m_hDC, point.x, point.y, hIcon); }
};

// Paints a window for the length of a WM_PAINT handler.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
  ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

  PAINTSTRUCT m_ps{};

 protected:
  HWND m_hWnd;
};
