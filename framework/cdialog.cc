#include "framework/cdialog.h"

#include <stdexcept>
#include <string>

#include "framework/dialog_manager.h"
#include "framework/resources.h"
#include "framework/ui_backend.h"
#include "framework/window_system.h"

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
  if (control == nullptr) {
    throw std::logic_error("data exchange with control " + std::to_string(nIDC) +
                           ", which the dialog does not have");
  }
  return control;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd == nullptr) rControl.SubclassWindow(pDX->PrepareCtrl(nIDC));
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  CWnd* control = CWnd::FromHandle(pDX->PrepareEditCtrl(nIDC));
  if (pDX->m_bSaveAndValidate) {
    control->GetWindowText(value);
  } else {
    control->SetWindowText(value);
  }
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

INT_PTR CDialog::DoModal() {
  const DialogTemplate* dialogTemplate = framework::FindDialogTemplate(m_nIDHelp);
  if (dialogTemplate == nullptr) return -1;
  framework::UiBackend* backend = framework::CurrentBackend();
  if (backend == nullptr) {
    throw std::logic_error("the user-interface service cannot show dialogs");
  }
  HWND owner = m_pParentWnd == nullptr ? nullptr : m_pParentWnd->m_hWnd;
  HWND dialog = framework::CreateDialogWindow(*dialogTemplate, owner);
  Attach(dialog);
  framework::PushModalDialog(dialog);
  // Also on an exception from a handler: the window goes, and this object
  // with its controls is detached from it.
  struct Cleanup {
    HWND dialog;
    ~Cleanup() {
      framework::PopModalDialog(dialog);
      framework::DestroyDialogWindow(dialog);
    }
  } cleanup{dialog};

  if (SendMessage(WM_INITDIALOG, 0, 0)) {
    if (HWND first = framework::NextTabStop(dialog, nullptr, false)) ::SetFocus(first);
  }
  const framework::Window& window = *framework::LookupWindow(dialog);
  if (!window.ended) backend->RunModalLoop(dialog);
  return window.result;
}

void CDialog::EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange exchange(this, bSaveAndValidate);
  DoDataExchange(&exchange);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
