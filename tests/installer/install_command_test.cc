// The install command and procedure: whole conversations with the user.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include <string>
#include <vector>

#include "installer/dialog/resource.h"
#include "tests/installer/installer_fixture.h"

namespace installer_test {
namespace {

using BoxList = std::vector<framework::BoxRecord>;

constexpr char kCatalogue[] =
    "[OptionsTextENG]\n0408=\"Greek\"\n0418=\"Romanian\"\n041d=\"Swedish\"\n[Options]\n"
    "0408=ellkeys.so\n0418=romakeys.so\n041d=svenkeys.so\n";

class InstallCommandTest : public InstallerTest {
 protected:
  InstallCommandTest() {
    dir_.Write("kit/keyboard.ini", kCatalogue);
    for (const char* file : {"ellkeys.so", "romakeys.so", "svenkeys.so"}) {
      dir_.Write(std::string("kit/") + file, std::string("library ") + file);
    }
  }

  // Opens the dialog, runs `script` (then Escape), returns the boxes shown.
  BoxList Run(const std::function<void(framework::ScriptedUi&)>& script) {
    dialog_.reset();
    ui_.ClearBoxes();
    script(ui_);
    ui_.Escape();
    dialog().DoModal();
    return ui_.boxes();
  }

  framework::BoxRecord Success(const std::string& label) {
    return {owner(), "Keyboard \"" + label + "\"  succesfully installed ", "Keyboard installation", 64};
  }
  framework::BoxRecord Failure(const std::string& label) {
    return {owner(), "The keyboard \"" + label + "\" is NOT correctly installed !",
            "Keyboard installation failed !!", 48};
  }
  framework::BoxRecord Question(const std::string& label) {
    return {owner(), "\"" + label + "\" is already installed \n Do you want to rewrite it ?",
            "WARNING  Keyboard already exists !", 36};
  }
  std::string Installed(const char* file) { return dir_.Read(std::string("station/system32/") + file); }
  std::string Layout(const char* key) {
    auto values = Get(HKEY_LOCAL_MACHINE, std::string(kLayoutsKey) + "\\" + key);
    if (!values) return "none";
    std::string text;
    for (const auto& [name, data] : *values) text += name + "=" + data + ";";
    return text;
  }

  // Captures the dialog's window for the expected boxes.
  std::function<void(framework::ScriptedUi&)> Click(std::function<void(framework::ScriptedUi&)> before = {}) {
    return [this, before](framework::ScriptedUi& ui) {
      ui.Do([this](HWND window) { owner_ = window; });
      if (before) before(ui);
      ui.Click(IDC_INSTALL);
    };
  }
};

TEST_F(InstallCommandTest, FirstLabelInstallsAtOnce) {
  const BoxList boxes = Run(Click());
  EXPECT_EQ(boxes, BoxList{Success("Greek")});
  EXPECT_EQ(Installed("ellkeys.so"), "library ellkeys.so");
  EXPECT_EQ(Layout("00000408"), "Layout File=ellkeys.so;Layout Text=Greek;Layout Id=0;");
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, kLayoutsKey), (Values{{"00000408", "ellkeys.so"}}));
  EXPECT_EQ(Get(HKEY_CURRENT_USER, kPreloadKey), (Values{{"1", "00000409"}, {"2", "00000408"}}));
  EXPECT_EQ(keyboard_.loads, (std::vector<std::pair<std::string, UINT>>{{"00000408", 29}}));
  EXPECT_EQ(ui_.wait_cursor_changes(), (std::vector<bool>{true, false}));
}

TEST_F(InstallCommandTest, EnterInstallsTheSelectedKeyboard) {
  const BoxList boxes = Run([this](framework::ScriptedUi& ui) {
    ui.Do([this](HWND window) { owner_ = window; }).Select(IDC_KEYBOARD_LIST, "Swedish").Enter();
  });
  EXPECT_EQ(boxes, BoxList{Success("Swedish")});
  EXPECT_EQ(Layout("0000041d"), "Layout File=svenkeys.so;Layout Text=Swedish;Layout Id=0;");
}

TEST_F(InstallCommandTest, EmptyCatalogueAsksForASelection) {
  dir_.Write("kit/keyboard.ini", "");
  const BoxList boxes = Run(Click());
  EXPECT_EQ(boxes, (BoxList{{owner(), "Please select a Keyboard", "Information", 0x30}}));
  EXPECT_TRUE(ui_.wait_cursor_changes().empty());
}

TEST_F(InstallCommandTest, LabelMissingFromTheMapIsNotAvailable) {
  const BoxList boxes = Run(Click([this](framework::ScriptedUi& ui) {
    ui.Do([this](HWND) { dialog().m_listKeyboards.AddString("Klingon"); })
        .Select(IDC_KEYBOARD_LIST, "Klingon");
  }));
  EXPECT_EQ(boxes, (BoxList{{owner(), "Keyboard Not Availaible", "Error", 0x30}}));
}

TEST_F(InstallCommandTest, OverwriteQuestion) {
  struct Row {
    const char* name;
    int answer;
    bool replaced;
    bool registered;
  } rows[] = {{"Yes replaces and installs", IDYES, true, true},
              {"No changes nothing", IDNO, false, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    dir_.Write("station/system32/ellkeys.so", "old");
    nt::DeleteKeyTree(*store_, HKEY_LOCAL_MACHINE, std::string(kLayoutsKey) + "\\00000408");
    keyboard_.loads.clear();
    ui_.Answer(row.answer);
    const BoxList boxes = Run(Click());
    EXPECT_EQ(boxes, row.replaced ? (BoxList{Question("Greek"), Success("Greek")}) : BoxList{Question("Greek")});
    EXPECT_EQ(Installed("ellkeys.so"), row.replaced ? "library ellkeys.so" : "old");
    EXPECT_EQ(Layout("00000408") != "none", row.registered);
    EXPECT_EQ(keyboard_.loads.size(), row.registered ? 1u : 0u);
    // The rewrite of Preload "1" runs either way.
    EXPECT_EQ(Get(HKEY_CURRENT_USER, kPreloadKey)->front(), (Value{"1", "00000409"}));
  }
}

TEST_F(InstallCommandTest, InstallingTwiceReusesTheRegistration) {
  ui_.Answer(IDOK).Answer(IDYES).Answer(IDOK);
  const BoxList boxes = Run(Click([](framework::ScriptedUi& ui) { ui.Click(IDC_INSTALL); }));
  EXPECT_EQ(boxes, (BoxList{Success("Greek"), Question("Greek"), Success("Greek")}));
  EXPECT_EQ(Subkeys(HKEY_LOCAL_MACHINE, kLayoutsKey), std::vector<std::string>{"00000408"});
  EXPECT_EQ(Get(HKEY_CURRENT_USER, kPreloadKey), (Values{{"1", "00000409"}, {"2", "00000408"}}));
}

TEST_F(InstallCommandTest, FailuresStillCopyAndEndInTheFailureMessage) {
  struct Row {
    const char* name;
    std::string catalogue;
    std::string directory;  // typed into the field; empty: as it is
    const char* copied;     // file expected in system32 afterwards, or null
  } rows[] = {
      {"text missing at install time",
       "[OptionsTextENG]\n[Options]\n0408=ellkeys.so\n", "", "ellkeys.so"},
      {"the label error is the not-found marker",
       "[OptionsTextENG]\n0408=\"error\"\n[Options]\n0408=ellkeys.so\n", "", "ellkeys.so"},
      {"no [Options] entry: a file named error, which is not there",
       "[OptionsTextENG]\n0408=\"Greek\"\n[Options]\n", "", nullptr},
      {"a destination that does not exist", kCatalogue, "/nonexistent/dir", nullptr},
      {"a file name with a directory part",
       "[OptionsTextENG]\n0408=\"Greek\"\n[Options]\n0408=..\\ellkeys.so\n", "", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove_all(dir_.path() + "/station/system32");
    dir_.Mkdir("station/system32");
    nt::DeleteKeyTree(*store_, HKEY_LOCAL_MACHINE, kLayoutsKey);
    Put(HKEY_LOCAL_MACHINE, kLayoutsKey, {});
    // The listing read the good catalogue when the dialog opened; the
    // install reads the changed one.
    const std::string catalogue = row.catalogue;
    const BoxList boxes = Run(Click([&](framework::ScriptedUi& ui) {
      ui.Do([&](HWND) { dir_.Write("kit/keyboard.ini", catalogue); });
      if (!row.directory.empty()) ui.SetText(IDC_DIRECTORY, row.directory);
    }));
    EXPECT_EQ(boxes, BoxList{Failure("Greek")});
    EXPECT_TRUE(Subkeys(HKEY_LOCAL_MACHINE, kLayoutsKey).empty());
    if (row.copied) EXPECT_EQ(Installed(row.copied), std::string("library ") + row.copied);
    dir_.Write("kit/keyboard.ini", kCatalogue);
  }
  EXPECT_FALSE(std::filesystem::exists(dir_.path() + "/station/ellkeys.so"))
      << "a file name with a directory part wrote outside the destination";
}

TEST_F(InstallCommandTest, ADirectoryInTheWayIsAskedAboutAndFailsToCopy) {
  dir_.Mkdir("station/system32/ellkeys.so");
  ui_.Answer(IDYES);
  const BoxList boxes = Run(Click());
  EXPECT_EQ(boxes, (BoxList{Question("Greek"), Failure("Greek")}));
}

TEST_F(InstallCommandTest, TheDestinationIsTakenAsTyped) {
  struct Row {
    const char* name;
    std::string typed;
    std::string target;
  } rows[] = {
      {"trailing separator gets a second one", dir_.path() + "/other\\",
       dir_.path() + "/other\\\\ellkeys.so"},
      {"an emptied field", "", "\\ellkeys.so"},
  };
  dir_.Mkdir("other");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    files_.copies.clear();
    Run(Click([&](framework::ScriptedUi& ui) { ui.SetText(IDC_DIRECTORY, row.typed); }));
    ASSERT_EQ(files_.copies.size(), 1u);
    EXPECT_EQ(files_.copies[0].second, row.target);
    EXPECT_EQ(files_.copies[0].first, dir_.path() + "/kit\\ellkeys.so");
  }
}

TEST_F(InstallCommandTest, AllocationFailureReleasesByTheCatalogueKey) {
  keyboard_.active = "0408";  // the catalogue key: released only if it were a layout name
  nt::FaultyRegistry faulty(*store_);
  faulty.DenyFullAccess("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts");
  nt::ScopedServices scope(nt::Services{.registry = &faulty});
  const BoxList boxes = Run(Click());
  EXPECT_EQ(boxes, (BoxList{{owner(), "RegOpenKeyEx Error",
                           "RegOpenKeyEx on HKLM\\CurrentControlSet\\Control\\Keyboard Layouts", 48},
                          Failure("Greek")}));
  EXPECT_EQ(Installed("ellkeys.so"), "library ellkeys.so");
  ASSERT_FALSE(keyboard_.loads.empty()) << "release loads Preload 1 for the matching name";
  EXPECT_EQ(keyboard_.loads[0], (std::pair<std::string, UINT>{"00000409", 5}));
}

TEST_F(InstallCommandTest, ReinstallOfTheActiveLayoutStepsOffItFirst) {
  Run(Click());
  keyboard_.active = "00000408";
  keyboard_.loads.clear();
  ui_.Answer(IDYES);
  Run(Click());
  EXPECT_EQ(keyboard_.loads, (std::vector<std::pair<std::string, UINT>>{{"00000409", 5}, {"00000408", 29}}));
}

}  // namespace
}  // namespace installer_test
