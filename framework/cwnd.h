// CCmdTarget, the root of the classes that take messages, and CWnd, the
// wrapper of a window.
#pragma once

#include "framework/cstring.h"
#include "framework/message_map.h"
#include "nt/win32.h"

class CWnd;

namespace framework {
// How the window system hands a message to the CWnd attached to a window.
LRESULT DispatchToWnd(CWnd& wnd, UINT message, WPARAM wParam, LPARAM lParam);
}  // namespace framework

class CCmdTarget {
 public:
  CCmdTarget() = default;
  virtual ~CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  // The wait cursor, counted: it shows from the first Begin to the last End.
  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

class CWnd : public CCmdTarget {
 public:
  CWnd() = default;
  // Detaches from its window; the window itself belongs to its creator.
  ~CWnd() override;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }  // NOLINT: as in MFC

  // The CWnd attached to `handle`, else a wrapper that lives as long as the window.
  static CWnd* FromHandle(HWND handle);
  BOOL Attach(HWND handle);
  HWND Detach();
  BOOL SubclassWindow(HWND handle) { return Attach(handle); }
  BOOL SubclassDlgItem(UINT id, CWnd* parent);

  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  CWnd* GetDlgItem(int id) const;
  CWnd* GetParent() const;

  void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
  int GetWindowText(LPSTR buffer, int size) const { return ::GetWindowTextA(m_hWnd, buffer, size); }
  void GetWindowText(CString& text) const;
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  // A message box owned by this window; without a caption it shows the
  // application's name.
  int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);

  CWnd* SetFocus();
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
  // Every backend centres its dialogs itself.
  void CenterWindow(CWnd* = nullptr) {}

 protected:
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Routes the message through the message maps; false when no entry takes it.
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The default handling of the message being handled.
  LRESULT Default();
  // Called once the window is gone and this object detached.
  virtual void PostNcDestroy() {}

  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnClose();

 private:
  friend LRESULT framework::DispatchToWnd(CWnd&, UINT, WPARAM, LPARAM);
  void OnNcDestroy();

  struct Message {
    UINT message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
  };
  Message current_;
};
