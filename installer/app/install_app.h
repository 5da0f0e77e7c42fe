// The installer's application: start-up checks, then the installation dialog.
#pragma once

#include "framework/afxwin.h"

class CInstallApp : public CWinApp {
 public:
  BOOL InitInstance() override;
  // Enables "SeSecurityPrivilege" in the process token: the administrator test.
  BOOL CheckPrivileges();

  DECLARE_MESSAGE_MAP()
};
