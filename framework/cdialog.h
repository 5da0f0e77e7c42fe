// CDialog: a modal dialog made from a dialog template, with data exchange
// between its controls and its members.
#pragma once

#include "framework/controls.h"
#include "framework/cwnd.h"

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
      : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

  BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
  CWnd* m_pDlgWnd;

  // The control `nIDC` of the dialog; a dialog without it is a fault of the
  // program and throws std::logic_error.
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC) { return PrepareCtrl(nIDC); }
};

// Attaches `rControl` to the dialog's control `nIDC`, once.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Exchanges the text of control `nIDC` with `value`.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

 protected:
  virtual void DoDataExchange(CDataExchange* pDX);

 public:
  // Fills the controls from the members (UpdateData(FALSE)); TRUE gives the
  // focus to the first control in Tab order.
  virtual BOOL OnInitDialog();
  // Runs the dialog until it ends; the result of EndDialog, or -1 when the
  // template does not exist.
  virtual INT_PTR DoModal();
  void EndDialog(int nResult);
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  UINT m_nIDHelp;

 protected:
  virtual void OnOK();
  virtual void OnCancel();

  CWnd* m_pParentWnd;

 private:
  afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()
};
