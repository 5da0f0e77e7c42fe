// The desktop backend end to end: the demo program (e2e/demo_app.cc) on an
// Xvfb display of the test's own, driven with xdotool and read back with
// xwininfo, xprop and its standard output. Screenshots go to ARTIFACT_DIR.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tmux_pane.h"
#include "tests/support/x_session.h"

namespace {

using testing::HasSubstr;
using testing_support::ChildOptions;
using testing_support::ChildProcess;
using testing_support::PollUntil;
using testing_support::XSession;

constexpr const char* kDialog = "Keyboards Installation";

// Template 102's size and the rectangles the tests click, in dialog units.
constexpr int kDialogWidth = 237;
constexpr int kDialogHeight = 151;
struct Rect {
  int x, y, cx, cy;
};
constexpr Rect kInstall{180, 17, 50, 14};
constexpr Rect kExit{180, 34, 50, 14};
constexpr Rect kDirectory{59, 120, 99, 14};

class DesktopDemo : public testing::Test {
 protected:
  void SetUp() override {
    if (const std::string missing = XSession::MissingTools(); !missing.empty()) {
      GTEST_SKIP() << "no desktop end-to-end test: " << missing
                   << " not installed (scripts/install-deps installs it)";
    }
    x_ = std::make_unique<XSession>();
    ASSERT_EQ(x_->error(), "");
  }

  void Start(const std::map<std::string, std::optional<std::string>>& settings = {}) {
    std::map<std::string, std::optional<std::string>> environment = x_->Environment();
    environment.insert(settings.begin(), settings.end());
    demo_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{DEMO_PROGRAM},
        ChildOptions{.environment = environment,
                     .directory = dir_.path(),
                     .stdoutPath = dir_.path() + "/out.txt",
                     .stderrPath = dir_.path() + "/err.txt"});
  }

  // Starts the demo and waits for its dialog, which then has the focus.
  unsigned long StartDialog() {
    Start();
    const unsigned long dialog = x_->WaitForWindow(kDialog);
    if (dialog != 0) x_->Activate(dialog);
    return dialog;
  }

  std::string Output() const { return dir_.Read("out.txt"); }
  bool Printed(const std::string& line) const {
    return PollUntil([&] { return Output().find(line + "\n") != std::string::npos; });
  }

  // The screen point of a template rectangle's centre, scaled by the
  // dialog's client size.
  std::pair<int, int> Centre(unsigned long dialog, Rect rect) const {
    const testing_support::WindowGeometry client = x_->Geometry(dialog);
    return {client.x + (rect.x + rect.cx / 2) * client.width / kDialogWidth,
            client.y + (rect.y + rect.cy / 2) * client.height / kDialogHeight};
  }
  void ClickAt(unsigned long dialog, Rect rect) const {
    const auto [x, y] = Centre(dialog, rect);
    x_->Click(x, y);
  }

  std::string Artifact(const std::string& name) const {
    return std::string(ARTIFACT_DIR) + "/" + name;
  }

  testing_support::TempDir dir_;
  std::unique_ptr<XSession> x_;
  std::unique_ptr<ChildProcess> demo_;
};

#define ASSERT_PRINTED(line) ASSERT_TRUE(Printed(line)) << Output()

TEST_F(DesktopDemo, ShowsTheDialogCentredWithItsIconAndNoMinimiseOrMaximise) {
  const unsigned long dialog = StartDialog();
  ASSERT_NE(dialog, 0u) << dir_.Read("err.txt");
  ASSERT_PRINTED("demo: started");

  // Centred on the 1024x768 screen: the client area across, the frame
  // (title bar included) down.
  const testing_support::WindowGeometry client = x_->Geometry(dialog);
  EXPECT_NEAR(client.x + client.width / 2, 512, 2);
  EXPECT_NEAR(client.y + client.height / 2, 384, 20);
  // Dialog units are wider than pixels and not square.
  EXPECT_GT(client.width, kDialogWidth);
  EXPECT_GT(client.height, kDialogHeight);

  // _MOTIF_WM_HINTS: flags, functions, decorations. No minimise (0x08)
  // nor maximise (0x10) function, no such buttons (0x20, 0x40); close (0x20)
  // and the title (0x08) are there.
  unsigned flags = 0, functions = 0, decorations = 0;
  const std::string hints = x_->Property(dialog, "_MOTIF_WM_HINTS");
  ASSERT_EQ(std::sscanf(hints.c_str(), "_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = %x, %x, %x", &flags,
                        &functions, &decorations),
            3)
      << hints;
  EXPECT_EQ(functions & 0x18u, 0u) << hints;
  EXPECT_EQ(decorations & 0x60u, 0u) << hints;
  EXPECT_NE(functions & 0x20u, 0u) << hints;
  EXPECT_NE(decorations & 0x08u, 0u) << hints;

  // The program's icon in both of its sizes, and the program's name as its class.
  const std::string icon = x_->Property(dialog, "_NET_WM_ICON");
  EXPECT_THAT(icon, HasSubstr("32 x 32"));
  EXPECT_THAT(icon, HasSubstr("16 x 16"));
  EXPECT_THAT(x_->Property(dialog, "WM_CLASS"), HasSubstr("\"framework_demo\""));
  EXPECT_EQ(x_->Property(dialog, "WM_TRANSIENT_FOR"), "") << "the main window has no owner";

  EXPECT_TRUE(x_->Screenshot(dialog, Artifact("desktop-demo-dialog.png")));

  x_->Keys("Escape");
  EXPECT_EQ(demo_->WaitForExit(std::chrono::seconds(10)), 0);
  EXPECT_EQ(Output(), "demo: started\ndemo: dialog ended with 2\n");
}

TEST_F(DesktopDemo, KeysGoThroughTheDialogManager) {
  const unsigned long dialog = StartDialog();
  ASSERT_NE(dialog, 0u) << dir_.Read("err.txt");

  // The focus starts on Install; Shift+Tab wraps to the list, where the
  // arrows select and Enter clicks Install.
  x_->Keys("shift+Tab Down Down Return");
  ASSERT_PRINTED("demo: install \"Gamma\" into \"/tmp/demo/system32\"");
  const unsigned long question = x_->WaitForWindow("Demo question");
  ASSERT_NE(question, 0u);
  EXPECT_THAT(x_->Property(question, "WM_TRANSIENT_FOR"),
              HasSubstr("window id # 0x" + [&] {
                std::ostringstream hex;
                hex << std::hex << dialog;
                return hex.str();
              }()))
      << "the box is owned by the dialog";
  EXPECT_TRUE(x_->Screenshot(question, Artifact("desktop-demo-question.png")));
  x_->Keys("y");  // a button's first letter
  ASSERT_PRINTED("demo: answer Yes");
  // A box without a caption of its own is captioned with the program's name.
  ASSERT_NE(x_->WaitForWindow("framework_demo"), 0u);
  x_->Keys("Return");
  ASSERT_TRUE(x_->WaitUntilNoWindow("framework_demo"));

  // Shift+Tab to the Directory field, edited in place; Enter there clicks Install.
  x_->Keys("shift+Tab End BackSpace BackSpace");
  x_->Type("64");
  x_->Keys("Return");
  ASSERT_PRINTED("demo: install \"Gamma\" into \"/tmp/demo/system64\"");
  ASSERT_NE(x_->WaitForWindow("Demo question"), 0u);
  x_->Keys("Escape");  // Yes/No: Escape is No
  ASSERT_PRINTED("demo: answer No");
  ASSERT_NE(x_->WaitForWindow("framework_demo"), 0u);
  x_->Keys("Return");
  ASSERT_TRUE(x_->WaitUntilNoWindow("framework_demo"));

  // Tab: list, Install, Exit; Enter on Exit ends the dialog.
  x_->Keys("Tab Tab Tab Return");
  EXPECT_EQ(demo_->WaitForExit(std::chrono::seconds(10)), 0);
  EXPECT_EQ(Output(),
            "demo: started\n"
            "demo: install \"Gamma\" into \"/tmp/demo/system32\"\n"
            "demo: answer Yes\n"
            "demo: install \"Gamma\" into \"/tmp/demo/system64\"\n"
            "demo: answer No\n"
            "demo: dialog ended with 2\n")
      << "each key acted once";
}

TEST_F(DesktopDemo, ClicksLandOnTheTemplatesRectangles) {
  const unsigned long dialog = StartDialog();
  ASSERT_NE(dialog, 0u) << dir_.Read("err.txt");

  ClickAt(dialog, kDirectory);
  x_->Keys("ctrl+a");
  x_->Type("/srv/layouts");
  ClickAt(dialog, kInstall);
  ASSERT_PRINTED("demo: install \"Alpha\" into \"/srv/layouts\"");
  ASSERT_NE(x_->WaitForWindow("Demo question"), 0u);
  x_->Keys("n");
  ASSERT_PRINTED("demo: answer No");
  ASSERT_NE(x_->WaitForWindow("framework_demo"), 0u);
  x_->Keys("Return");
  ASSERT_TRUE(x_->WaitUntilNoWindow("framework_demo"));

  ClickAt(dialog, kExit);
  EXPECT_EQ(demo_->WaitForExit(std::chrono::seconds(10)), 0);
  EXPECT_THAT(Output(), HasSubstr("demo: dialog ended with 2\n"));
}

TEST_F(DesktopDemo, CloseBoxCancels) {
  const unsigned long dialog = StartDialog();
  ASSERT_NE(dialog, 0u) << dir_.Read("err.txt");
  x_->Close(dialog);
  EXPECT_EQ(demo_->WaitForExit(std::chrono::seconds(10)), 0);
  EXPECT_EQ(Output(), "demo: started\ndemo: dialog ended with 2\n");
}

TEST_F(DesktopDemo, StartUpBoxHasNoOwnerAndComesToTheFront) {
  Start({{"DEMO_FAIL", "1"}});
  const unsigned long box = x_->WaitForWindow("MV-Bx Installation");
  ASSERT_NE(box, 0u) << dir_.Read("err.txt");
  EXPECT_EQ(x_->Property(box, "WM_TRANSIENT_FOR"), "");
  EXPECT_TRUE(PollUntil([&] { return x_->ActiveWindow() == box; }));
  EXPECT_TRUE(x_->Screenshot(box, Artifact("desktop-demo-startup-box.png")));
  x_->Keys("Return");
  EXPECT_EQ(demo_->WaitForExit(std::chrono::seconds(10)), 1);
  EXPECT_EQ(Output(), "");
}

// A DISPLAY that names no display (a stale one, say) leaves the dialog to
// the terminal.
TEST(DesktopBackend, ADisplayThatDoesNotOpenLeavesTheDialogToTheTerminal) {
  if (testing_support::Shell("command -v tmux").empty()) {
    GTEST_SKIP() << "tmux is not installed (scripts/install-deps installs it)";
  }
  testing_support::TmuxPane pane("DISPLAY=:4242 NO_AT_BRIDGE=1 " +
                                 testing_support::Quote(DEMO_PROGRAM));
  EXPECT_TRUE(pane.Shows({"Keyboards Installation", "F10 [x]"})) << pane.screen();
  pane.Keys("Escape");
  EXPECT_TRUE(pane.Shows("EXIT=0")) << pane.screen();
  EXPECT_THAT(pane.Output(), HasSubstr("dialog ended with 2"));
}

}  // namespace
