#include "tests/framework/test_dialog.h"

#include "framework/resources.h"

namespace framework_test {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

constexpr DialogItemTemplate kItems[] = {
    {kGo, kButtonClass, "Go", 180, 17, 50, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP},
    {IDCANCEL, kButtonClass, "Exit", 180, 34, 50, 14, kChild | WS_TABSTOP},
    {kDisabled, kButtonClass, "Never", 180, 51, 50, 14, kChild | WS_TABSTOP | WS_DISABLED},
    {kEdit, kEditClass, "", 59, 120, 99, 14, kChild | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
    {kList, kListBoxClass, "", 21, 29, 137, 81,
     kChild | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | WS_TABSTOP},
    {kLabel, kStaticClass, "Text", 23, 122, 29, 8, kChild | WS_GROUP},
    {IDC_STATIC, kButtonClass, "Group", 13, 11, 151, 129, kChild | BS_GROUPBOX},
};

const DialogTemplate kTemplate = {kTestDialogId, "Test dialog", 237, 151, "MS Sans Serif", 8,
                                  DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, kItems};

const char* const kIconXpm[] = {"2 2 1 1", "k c #000000", "kk", "kk"};
constexpr framework::IconImage kIconImages[] = {{2, 2, kIconXpm}};
const framework::IconResource kIcon = {kTestIconId, kIconImages};

const framework::ResourceRegistration kRegisterTemplate(kTemplate);
const framework::ResourceRegistration kRegisterIcon(kIcon);

}  // namespace

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_BN_CLICKED(kGo, OnGo)
  ON_LBN_SELCHANGE(kList, OnSelChange)
END_MESSAGE_MAP()

TestDialog::TestDialog() : CDialog(kTestDialogId) {
  m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(kTestIconId));
}

void TestDialog::DoDataExchange(CDataExchange* pDX) {
  log.push_back(pDX->m_bSaveAndValidate ? "exchange read" : "exchange fill");
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, kEdit, m_edit);
  DDX_Control(pDX, kList, m_list);
  DDX_Text(pDX, kEdit, m_strText);
}

BOOL TestDialog::OnInitDialog() {
  log.push_back("init");
  CDialog::OnInitDialog();
  for (const std::string& item : items) m_list.AddString(item.c_str());
  m_list.SetCurSel(0);
  log.push_back("init done");
  return TRUE;
}

void TestDialog::OnSysCommand(UINT nID, LPARAM lParam) {
  log.push_back("syscommand");
  CDialog::OnSysCommand(nID, lParam);
}

// The icon centred in the client area while minimised, as an application
// of this framework draws it.
void TestDialog::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    dc.DrawIcon((rect.Width() - cxIcon + 1) / 2, (rect.Height() - cyIcon + 1) / 2, m_hIcon);
  } else {
    CDialog::OnPaint();
  }
}

HCURSOR TestDialog::OnQueryDragIcon() { return m_hIcon; }

void TestDialog::OnGo() {
  log.push_back("go");
  if (onGo) onGo(*this);
}

void TestDialog::OnSelChange() { log.push_back("selchange " + std::to_string(m_list.GetCurSel())); }

}  // namespace framework_test
