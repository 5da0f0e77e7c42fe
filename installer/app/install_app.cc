#include "installer/app/install_app.h"

#include "installer/dialog/install_dlg.h"

BEGIN_MESSAGE_MAP(CInstallApp, CWinApp)
END_MESSAGE_MAP()

CInstallApp theApp;

BOOL CInstallApp::InitInstance() {
  Enable3dControls();

  if (GetVersion() & 0x80000000u) {
    MessageBoxA(nullptr, "This installation can only be run on Windows NT 4.0.\n",
                "MV-Bx Installation", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    return FALSE;
  }
  if (!CheckPrivileges()) {
    MessageBoxA(nullptr, "You need Administrator Privileges", "MV-Bx Installation",
                MB_OK | MB_ICONERROR);
    return FALSE;
  }

  CInstallDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  return TRUE;
}
