// A small program on the framework for the end-to-end tests of the terminal
// backend: template 102 with a list longer than it shows, and Install wired
// to a question and an answer box under the wait cursor.
//
// DEMO_FAIL=1 makes start-up fail with an ownerless box; DEMO_PIDFILE names
// a file to write the process id to.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "framework/afxwin.h"
#include "installer/dialog/resource.h"

namespace {

const char* const kItems[] = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta",
                              "Eta",   "Theta", "Iota", "Kappa", "Lambda", "Mu"};

class CDemoDlg : public CDialog {
 public:
  CDemoDlg() : CDialog(IDD_INSTALL_DIALOG), m_strDirectory("/tmp/demo/system32") {}

  CEdit m_editDirectory;
  CListBox m_listKeyboards;
  CString m_strDirectory;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DIRECTORY, m_editDirectory);
    DDX_Control(pDX, IDC_KEYBOARD_LIST, m_listKeyboards);
    DDX_Text(pDX, IDC_DIRECTORY, m_strDirectory);
  }

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    for (const char* item : kItems) m_listKeyboards.AddString(item);
    m_listKeyboards.SetCurSel(0);
    return TRUE;
  }

  afx_msg void OnInstall() {
    const int selected = m_listKeyboards.GetCurSel();
    if (selected == LB_ERR) {
      MessageBox("Please select a Keyboard", "Information", MB_OK | MB_ICONEXCLAMATION);
      return;
    }
    CString label, directory;
    m_listKeyboards.GetText(selected, label);
    m_editDirectory.GetWindowText(directory);
    BeginWaitCursor();
    const int answer = MessageBox("Install \"" + label + "\"\ninto \"" + directory + "\" ?",
                                  "Demo question", MB_YESNO | MB_ICONQUESTION);
    MessageBox(answer == IDYES ? "Answer: Yes" : "Answer: No", nullptr, MB_OK | MB_ICONINFORMATION);
    EndWaitCursor();
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDemoDlg, CDialog)
  ON_BN_CLICKED(IDC_INSTALL, OnInstall)
END_MESSAGE_MAP()

class CDemoApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    Enable3dControls();
    if (const char* pidFile = std::getenv("DEMO_PIDFILE")) {
      if (FILE* out = std::fopen(pidFile, "w")) {
        std::fprintf(out, "%d\n", static_cast<int>(getpid()));
        std::fclose(out);
      }
    }
    if (std::getenv("DEMO_FAIL") != nullptr) {
      ::MessageBoxA(nullptr, "This installation can only be run on Windows NT 4.0.\n",
                    "MV-Bx Installation", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
      return FALSE;
    }
    std::printf("demo: started\n");
    CDemoDlg dialog;
    m_pMainWnd = &dialog;
    const INT_PTR result = dialog.DoModal();
    std::printf("demo: dialog ended with %d\n", static_cast<int>(result));
    return TRUE;
  }
};

CDemoApp theApp;

}  // namespace
