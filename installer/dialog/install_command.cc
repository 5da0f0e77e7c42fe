// The install command and the install procedure of one keyboard.
#include <vector>

#include "installer/catalogue/catalogue.h"
#include "installer/dialog/install_dlg.h"

namespace {

// A layout file name from the catalogue names a file in the source and in
// the destination directory; one with a directory part would reach outside.
bool IsPlainFileName(const CString& name) {
  const std::string& text = name.str();
  return !text.empty() && text != "." && text != ".." &&
         text.find_first_of("/\\") == std::string::npos;
}

}  // namespace

void CInstallDlg::OnInstall() {
  const int index = m_listKeyboards.GetCurSel();
  if (index == LB_ERR) {
    MessageBox("Please select a Keyboard", "Information", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  CString label;
  m_listKeyboards.GetText(index, label);
  CString key;
  if (!m_mapLabelToKey.Lookup(label, key)) {
    MessageBox("Keyboard Not Availaible", "Error", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  BeginWaitCursor();
  CString destination;
  m_editDirectory.GetWindowText(destination);
  InstallKeyboard(m_strSourceDirectory + "\\", destination, key, label);
  RewriteDefaultPreload();
  EndWaitCursor();
}

void CInstallDlg::InstallKeyboard(CString sourceDirectory, CString destinationDirectory,
                                  CString key, CString label) {
  std::vector<char> buffer(kCatalogueValueSize);
  BOOL success = TRUE;

  const CString layoutFileName = LookupCatalogue(sourceDirectory, "Options", key, buffer.data());
  const CString target = destinationDirectory + "\\" + layoutFileName;
  if (GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES) {
    const CString question = "\"" + label + "\" is already installed \n Do you want to rewrite it ?";
    if (MessageBox(question, "WARNING  Keyboard already exists !", MB_YESNO | MB_ICONQUESTION) ==
        IDNO) {
      return;
    }
  }

  const CString layoutText = LookupCatalogue(sourceDirectory, "OptionsTextENG", key, buffer.data());
  if (layoutText == "error") success = FALSE;

  CString layoutId;
  if (!AllocateLayoutKey(key, layoutId, layoutFileName)) success = FALSE;

  ReleaseActiveLayout(key);

  if (!IsPlainFileName(layoutFileName) ||
      !CopyFileA(sourceDirectory + layoutFileName, target, FALSE)) {
    success = FALSE;
  }

  const CString failure = "The keyboard \"" + label + "\" is NOT correctly installed !";
  if (!success || !RegisterLayout(key, layoutId, layoutFileName, layoutText)) {
    MessageBox(failure, "Keyboard installation failed !!", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (ActivateLayout(key)) {
    MessageBox("Keyboard \"" + label + "\"  succesfully installed ", "Keyboard installation",
               MB_OK | MB_ICONINFORMATION);
  } else {
    MessageBox(failure, "Keyboard installation failed !!", MB_OK | MB_ICONEXCLAMATION);
  }
}
