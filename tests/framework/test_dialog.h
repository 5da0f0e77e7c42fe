// A dialog for the framework's tests, shaped like the installer's: a list,
// an edit field, a default button, Exit (IDCANCEL) and a disabled button.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/afxwin.h"

namespace framework_test {

constexpr UINT kTestDialogId = 900;
constexpr UINT kTestIconId = 901;
constexpr int kGo = 10;
constexpr int kDisabled = 11;
constexpr int kEdit = 12;
constexpr int kList = 13;
constexpr int kLabel = 14;

class TestDialog : public CDialog {
 public:
  TestDialog();

  CEdit m_edit;
  CListBox m_list;
  CString m_strText = "C:\\start";
  HICON m_hIcon;

  std::vector<std::string> items = {"Alpha", "Beta", "Gamma"};
  // What happens, in order: "init", "exchange fill", "go", ...
  std::vector<std::string> log;
  std::function<void(TestDialog&)> onGo;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnGo();
  afx_msg void OnSelChange();
  DECLARE_MESSAGE_MAP()
};

}  // namespace framework_test
