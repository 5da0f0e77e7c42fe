// CWinApp: the one global application object, and the Afx functions that
// reach it.
#pragma once

#include <string>

#include "framework/cwnd.h"

class CWinApp : public CCmdTarget {
 public:
  // Without a name the application is called after the program's file name,
  // without directory and extension.
  explicit CWinApp(LPCSTR lpszAppName = nullptr);
  ~CWinApp() override;

  // Start-up: runs once before any message loop; false ends the program.
  virtual BOOL InitInstance();
  // The message loop: returns when the quit request comes, with ExitInstance's result.
  virtual int Run();
  virtual int ExitInstance();
  virtual void DoWaitCursor(int nCode);

  // Dialog controls look three-dimensional on every platform we run on.
  BOOL Enable3dControls() { return TRUE; }
  HICON LoadIcon(UINT nIDResource) const;
  HICON LoadIcon(LPCSTR lpszResourceName) const;

  CWnd* m_pMainWnd = nullptr;
  LPCSTR m_pszAppName = nullptr;
  LPCSTR m_pszExeName = nullptr;
  HINSTANCE m_hInstance = nullptr;

 private:
  std::string app_name_;
  std::string exe_name_;
};

CWinApp* AfxGetApp();
// The application's name; the program's file name when there is no application object.
LPCSTR AfxGetAppName();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxPostQuitMessage(int nExitCode);

namespace framework {
// The running program's file name without directory and extension.
std::string ModuleName();
}  // namespace framework
