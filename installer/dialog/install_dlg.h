// The installation dialog: the installer's one window.
#pragma once

#include "framework/collections.h"
#include "framework/cstring.h"
#include "framework/afxwin.h"

class CInstallDlg : public CDialog {
 public:
  explicit CInstallDlg(CWnd* pParent = nullptr);
  ~CInstallDlg() override;

  // Layout key allocation: replaces the catalogue key in `key` by the layout
  // key and fills `layoutId`; false (both unchanged) after a reported failure.
  BOOL AllocateLayoutKey(CString& key, CString& layoutId, CString layoutFileName);
  // Writes the Preload value, the last-installation value and the layout's subkey.
  BOOL RegisterLayout(CString layoutKey, CString layoutId, CString layoutFileName,
                      CString layoutText);
  // Steps the user off `layoutKey` onto Preload value "1" when it is the active layout.
  void ReleaseActiveLayout(CString layoutKey);
  // Loads `layoutKey` and makes it the active layout.
  BOOL ActivateLayout(CString layoutKey);
  // Writes the saved default layout as Preload value "1".
  BOOL RewriteDefaultPreload();

  // Installs one keyboard of the catalogue; its only reports are message boxes.
  void InstallKeyboard(CString sourceDirectory, CString destinationDirectory, CString key,
                       CString label);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnInstall();
  DECLARE_MESSAGE_MAP()

 public:
  CEdit m_editDirectory;
  CListBox m_listKeyboards;
  CString m_strSystemDirectory;
  HICON m_hIcon;
  CMapStringToString m_mapLabelToKey;
  CString m_strSourceDirectory;
  CString m_strSavedDefaultLayout;
};
