// The installation dialog: construction, opening and painting.
#include "installer/dialog/install_dlg.h"

#include <vector>

#include "installer/catalogue/catalogue.h"
#include "installer/dialog/resource.h"
#include "installer/registration/registry_paths.h"

namespace {

constexpr UINT kSystemDirectorySize = 100;
constexpr DWORD kCurrentDirectorySize = 250;
constexpr DWORD kSavedDefaultLayoutSize = 20;

// A directory read through a fixed buffer, read again whole when it does not
// fit, so the text is never cut or undefined.
template <typename Read>
CString ReadDirectory(DWORD size, Read read) {
  std::vector<char> buffer(size);
  DWORD length = read(buffer.data(), size);
  if (length >= size) {
    buffer.assign(length + 1, '\0');
    length = read(buffer.data(), length + 1);
    if (length > buffer.size() - 1) length = 0;
  }
  return CString(buffer.data(), static_cast<int>(length));
}

// Preload value "1" as it stands, or the empty text when there is none that fits.
CString ReadPreloadDefault() {
  HKEY preload;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kPreloadPath, 0, KEY_ALL_ACCESS, &preload) != ERROR_SUCCESS) {
    return CString();
  }
  char data[kSavedDefaultLayoutSize] = {};
  DWORD size = kSavedDefaultLayoutSize - 1;
  DWORD type = 0;
  const LONG result =
      RegQueryValueExA(preload, "1", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(preload);
  if (result != ERROR_SUCCESS || type != REG_SZ) return CString();
  return CString(data);
}

}  // namespace

BEGIN_MESSAGE_MAP(CInstallDlg, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_BN_CLICKED(IDC_INSTALL, OnInstall)
END_MESSAGE_MAP()

CInstallDlg::CInstallDlg(CWnd* pParent) : CDialog(IDD_INSTALL_DIALOG, pParent), m_mapLabelToKey(10) {
  m_strSystemDirectory = ReadDirectory(kSystemDirectorySize, [](char* buffer, DWORD size) {
    return static_cast<DWORD>(GetSystemDirectoryA(buffer, size));
  });
  m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

CInstallDlg::~CInstallDlg() = default;

void CInstallDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_DIRECTORY, m_editDirectory);
  DDX_Control(pDX, IDC_KEYBOARD_LIST, m_listKeyboards);
  DDX_Text(pDX, IDC_DIRECTORY, m_strSystemDirectory);
}

BOOL CInstallDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  std::vector<char> buffer(kCatalogueSectionSize);
  m_strSourceDirectory = ReadDirectory(kCurrentDirectorySize, [](char* out, DWORD size) {
    return GetCurrentDirectoryA(size, out);
  });

  CStringList labels;
  ListCatalogue(m_strSourceDirectory, buffer.data(), labels, m_mapLabelToKey);
  for (POSITION position = labels.GetHeadPosition(); position != nullptr;) {
    m_listKeyboards.AddString(labels.GetNext(position));
  }
  m_listKeyboards.SetCurSel(0);

  // The user's first layout as it is now, which each install restores.
  m_strSavedDefaultLayout = ReadPreloadDefault();
  return TRUE;
}

void CInstallDlg::OnSysCommand(UINT nID, LPARAM lParam) { CDialog::OnSysCommand(nID, lParam); }

void CInstallDlg::OnPaint() {
  if (!IsIconic()) {
    CDialog::OnPaint();
    return;
  }
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  const int cxIcon = GetSystemMetrics(SM_CXICON);
  const int cyIcon = GetSystemMetrics(SM_CYICON);
  CRect rect;
  GetClientRect(&rect);
  const int x = (rect.Width() - cxIcon + 1) / 2;
  const int y = (rect.Height() - cyIcon + 1) / 2;
  dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CInstallDlg::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(m_hIcon); }
