#include "framework/cwnd.h"

#include <stdexcept>
#include <string>

#include "framework/cwinapp.h"
#include "framework/ui_backend.h"
#include "framework/window_system.h"

namespace framework {

LRESULT DispatchToWnd(CWnd& wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Keep the message of an outer dispatch for its Default() after we return.
  const CWnd::Message outer = wnd.current_;
  wnd.current_ = CWnd::Message{message, wParam, lParam};
  struct Restore {
    CWnd& wnd;
    CWnd::Message outer;
    ~Restore() { wnd.current_ = outer; }
  } restore{wnd, outer};
  if (message == WM_NCDESTROY) {
    wnd.OnNcDestroy();
    return 0;
  }
  return wnd.WindowProc(message, wParam, lParam);
}

}  // namespace framework

namespace {

// Through the application, as the platform's framework does, so that an
// application may watch its wait cursor.
void WaitCursor(int code) {
  if (CWinApp* app = AfxGetApp()) {
    app->DoWaitCursor(code);
  } else {
    framework::DoWaitCursor(code);
  }
}

}  // namespace

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT message, WPARAM wParam) {
  for (; map != nullptr; map = map->pfnGetBaseMap == nullptr ? nullptr : map->pfnGetBaseMap()) {
    for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nMessage != 0; ++entry) {
      if (entry->nMessage != message) continue;
      if (message == WM_COMMAND &&
          (entry->nID != LOWORD(wParam) || entry->nCode != HIWORD(wParam))) {
        continue;
      }
      return entry;
    }
  }
  return nullptr;
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

void CCmdTarget::BeginWaitCursor() { WaitCursor(1); }
void CCmdTarget::EndWaitCursor() { WaitCursor(-1); }
void CCmdTarget::RestoreWaitCursor() { WaitCursor(0); }

CWnd::~CWnd() { Detach(); }

CWnd* CWnd::FromHandle(HWND handle) {
  framework::Window* window = framework::LookupWindow(handle);
  if (window == nullptr) return nullptr;
  if (window->attached != nullptr) return window->attached;
  if (!window->temporary) {
    window->temporary = std::make_unique<CWnd>();
    window->temporary->m_hWnd = handle;
  }
  return window->temporary.get();
}

BOOL CWnd::Attach(HWND handle) {
  framework::Window* window = framework::LookupWindow(handle);
  if (window == nullptr || m_hWnd != nullptr) return FALSE;
  if (window->attached != nullptr) {
    throw std::logic_error("window " + std::to_string(window->id) +
                           " is already attached to another object");
  }
  window->attached = this;
  m_hWnd = handle;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND handle = m_hWnd;
  if (framework::Window* window = framework::LookupWindow(handle);
      window != nullptr && window->attached == this) {
    window->attached = nullptr;
  }
  m_hWnd = nullptr;
  return handle;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  HWND control = parent == nullptr ? nullptr : ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
  return control != nullptr && Attach(control);
}

CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

void CWnd::GetWindowText(CString& text) const {
  const int length = GetWindowTextLength();
  ::GetWindowTextA(m_hWnd, text.GetBuffer(length), length + 1);
  text.ReleaseBuffer();
}

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) {
  if (caption == nullptr) caption = AfxGetAppName();
  return ::MessageBoxA(GetSafeHwnd(), text, caption, type);
}

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnWndMsg(message, wParam, lParam, &result)) return result;
  return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const AFX_MSGMAP_ENTRY* entry = AfxFindMessageEntry(GetMessageMap(), message, wParam);
  if (entry == nullptr) return FALSE;
  *result = entry->pfn(this, wParam, lParam);
  return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(current_.message, current_.wParam, current_.lParam); }

void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnPaint() { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnClose() { Default(); }

void CWnd::OnNcDestroy() {
  // The main window's end is the application's end.
  if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd == this) {
    framework::PostQuit(0);
    app->m_pMainWnd = nullptr;
  }
  Detach();
  PostNcDestroy();
}
