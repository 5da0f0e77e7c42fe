#include <gtest/gtest.h>

#include <string>

#include "framework/scripted_ui.h"
#include "framework/winmain.h"
#include "nt/system.h"
#include "tests/framework/test_dialog.h"

namespace framework_test {
namespace {

class DialogApp : public CWinApp {
 public:
  bool checksPass = true;
  CWnd* mainWindowDuringDialog = nullptr;
  INT_PTR dialogResult = 0;

  BOOL InitInstance() override {
    Enable3dControls();
    if (!checksPass) {
      ::MessageBoxA(nullptr, "You need Administrator Privileges", "MV-Bx Installation", 0x10);
      return FALSE;
    }
    TestDialog dialog;
    dialog.onGo = [this](TestDialog&) { mainWindowDuringDialog = AfxGetMainWnd(); };
    m_pMainWnd = &dialog;
    dialogResult = dialog.DoModal();
    return TRUE;
  }
};

TEST(Application, RunsTheDialogAsMainWindowAndEndsWhenItCloses) {
  framework::ScriptedUi ui;
  nt::ScopedServices services({.ui = &ui});
  DialogApp app;
  ui.Click(kGo).Close();
  EXPECT_EQ(framework::RunApplication(app), 0);
  EXPECT_EQ(app.dialogResult, IDCANCEL);
  EXPECT_NE(app.mainWindowDuringDialog, nullptr);
  EXPECT_EQ(app.m_pMainWnd, nullptr) << "the main-window slot is cleared when the dialog goes";
  EXPECT_EQ(AfxGetApp(), &app);
}

TEST(Application, FailedStartUpShowsItsBoxAndEndsWithFailure) {
  framework::ScriptedUi ui;
  nt::ScopedServices services({.ui = &ui});
  DialogApp app;
  app.checksPass = false;
  EXPECT_EQ(framework::RunApplication(app), 1);
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].owner, nullptr);
  EXPECT_EQ(ui.pending_actions(), 0u);
}

TEST(Application, IsNamedAfterTheProgramUnlessGivenAName) {
  {
    CWinApp app;
    EXPECT_STREQ(AfxGetAppName(), "framework_test");
    EXPECT_STREQ(app.m_pszExeName, "framework_test");
  }
  CWinApp named("Installer");
  EXPECT_STREQ(AfxGetAppName(), "Installer");
  EXPECT_STREQ(named.m_pszExeName, "framework_test");
}

}  // namespace
}  // namespace framework_test
