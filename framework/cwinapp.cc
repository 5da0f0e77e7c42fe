#include "framework/cwinapp.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "framework/ui_backend.h"
#include "framework/winmain.h"
#include "framework/window_system.h"

namespace {

CWinApp* g_app = nullptr;

// The program's one module; resources are looked up in it whatever the handle.
HINSTANCE ProgramInstance() { return reinterpret_cast<HINSTANCE>(0x400000); }

}  // namespace

namespace framework {

std::string ModuleName() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "program";
  // The platform takes away the last extension only ("layinst.exe" -> "layinst").
  return exe.stem().string();
}

}  // namespace framework

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_hInstance(ProgramInstance()), exe_name_(framework::ModuleName()) {
  if (g_app != nullptr) {
    std::fprintf(stderr, "framework: a second application object was constructed\n");
    std::abort();
  }
  g_app = this;
  app_name_ = lpszAppName != nullptr ? lpszAppName : exe_name_;
  m_pszAppName = app_name_.c_str();
  m_pszExeName = exe_name_.c_str();
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  // Every window is modal and ran to its end inside InitInstance, so the
  // loop has nothing left to wait for once the quit request is there.
  return ExitInstance();
}

int CWinApp::ExitInstance() { return framework::QuitCode(); }

void CWinApp::DoWaitCursor(int nCode) { framework::DoWaitCursor(nCode); }

HICON CWinApp::LoadIcon(UINT nIDResource) const {
  return ::LoadIconA(m_hInstance, MAKEINTRESOURCE(nIDResource));
}

HICON CWinApp::LoadIcon(LPCSTR lpszResourceName) const {
  return ::LoadIconA(m_hInstance, lpszResourceName);
}

CWinApp* AfxGetApp() { return g_app; }

LPCSTR AfxGetAppName() {
  if (g_app != nullptr) return g_app->m_pszAppName;
  static const std::string name = framework::ModuleName();
  return name.c_str();
}

CWnd* AfxGetMainWnd() { return g_app == nullptr ? nullptr : g_app->m_pMainWnd; }
HINSTANCE AfxGetInstanceHandle() { return ProgramInstance(); }
HINSTANCE AfxGetResourceHandle() { return ProgramInstance(); }
void AfxPostQuitMessage(int nExitCode) { framework::PostQuit(nExitCode); }

namespace framework {

int RunApplication(CWinApp& app) {
  ClearQuit();
  if (!app.InitInstance()) {
    app.ExitInstance();
    return 1;
  }
  return app.Run();
}

}  // namespace framework
